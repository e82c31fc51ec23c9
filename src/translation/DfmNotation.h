// DfmNotation.h - string values in form-resource notation.
//
// A form resource writes a text as quoted runs of printable ASCII and "#"
// character codes, joined with "+" where it continues on the next line, and
// a string list as a parenthesised, blank-separated list of such texts:
//
//   Caption = 'Can''t save'#13#10'Try again'
//   VemTranslatableProps.Strings = (
//     'Caption'
//     'CancelBtn.Caption')
//
//   DfmStringToText(L"'a' +\r\n  'b'#9");          // L"ab\t"
//   ReadDfmStringListValue(L"('Caption' 'OKBtn.Caption')");
//
// Character codes are UTF-16 code units, so a character beyond U+FFFF is
// written as its two surrogates and the notation is the same in both builds.
// Malformed notation raises EParserError, "<what> on line <n>".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "foundation/VemSysUtils.h"

namespace ostrevin {

// Form-resource notation that cannot be read.
OSTREVIN_DECLARE_EXCEPTION(EParserError, Exception);

// The text of one string value: a string token, then any number of "+" each
// followed by a further string token, with blanks and line breaks around
// them. A string token is a run of quoted parts ('' inside one stands for a
// quote) and character codes (#nnn decimal, #$hh hexadecimal, at most
// 65535) with nothing between them. Raises "String expected" when a token is
// missing, "Unterminated string" when a quoted part does not end on its
// line, "Invalid string constant" for a bad character code, and "Unexpected
// text" when anything but blanks follows the value.
std::wstring DfmStringToText(std::wstring_view notation);

// The notation of `text`: "''" when empty. A text longer than 64 code units
// starts on a new line (CR LF + indent). Printable characters 32..127 except
// the quote go in quoted runs, every other code unit is "#" and its decimal
// code; when a line holds 64 code units of the text and text remains, " +",
// CR LF and indent start the next one.
std::wstring TextToDfmString(std::wstring_view text, std::wstring_view indent = {});

// The items of a list value "( item item ... )", each item a string value
// as DfmStringToText reads it; "()" is an empty list. Raises EParserError
// ("'(' expected", "')' expected", ...) on anything else, so a caller can
// read a list completely before it changes anything.
std::vector<std::wstring> ReadDfmStringListValue(std::wstring_view notation);

// "(", each item on a new line (CR LF, indent, then the item as
// TextToDfmString writes it, except that a long item gets no second line
// break before its first run), then ")"; "()" for no items.
std::wstring WriteDfmStringListValue(const std::vector<std::wstring>& items, std::wstring_view indent = L"  ");

}  // namespace ostrevin
