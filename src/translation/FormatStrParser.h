// FormatStrParser.h - the "%" specifiers of a translatable message text.
//
// A translation of a message must use the same arguments as the message:
// the same indexes with the same kinds of value. The parser reads each
// specifier and rewrites it with its argument index, so that "%s %d" and
// "%0:s %1:d" compare as the same:
//
//   TFormatStrParser parser(L"%s %d");
//   parser.ParseAll();          // {L"%0:s", L"%1:d"}
//   parser.ParsedString;        // L"%0:s %1:d"
//   CanonicalFormatString(L"%s");   // L"%s": a single implicit one stays
//
// A malformed specifier raises EFormatSpecError "Invalid Format Specifier:
// %s" filled with the whole text.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/VemSysUtils.h"

namespace ostrevin {

// A translation that breaks the rule of its translation type.
OSTREVIN_DECLARE_EXCEPTION(EFormatSpecError, EVemGeneralError);

class TFormatStrParser {
 public:
  explicit TFormatStrParser(std::wstring formatString) : FormatString(std::move(formatString)) {}

  std::wstring FormatString;
  // 1-based position of the next character to read.
  int PFormatString_Index = 1;
  // Everything read so far, each specifier carrying its argument index.
  std::wstring ParsedString;
  // The highest argument index used so far (-1: none).
  std::int32_t LastIndex = -1;
  int ExplicitCount = 0;
  int ImplicitCount = 0;

  // Reads the specifier at the "%" at PFormatString_Index, appending what it
  // reads to ParsedString; an implicit index is appended after the "%" as
  // "<LastIndex>:". Returns false, having read the "%" and the character
  // after it, for "%%", "% " and a "%" at the very end. A width "*" counts as
  // one more implicit argument. Raises EFormatSpecError for a run of more than
  // 6 digits, a "*:" index, a missing type or any character out of place.
  // Raises EAssertionFailed when not at a "%".
  bool ParseFormatSpecifier();

  // Reads the rest of the text, copying plain characters to ParsedString and
  // parsing every specifier; returns the parsed specifiers in order.
  std::vector<std::wstring> ParseAll();
};

// The text with every specifier rewritten with its index, unless it has
// exactly one implicit specifier and no explicit one, or only explicit ones:
// then the text unchanged.
std::wstring CanonicalFormatString(std::wstring_view text);

enum class TFormatTypeClass { Integer, FloatingPoint, Pointer, String };

// By the specifier's last character: d u x integer; e f g m n floating point;
// p pointer; s string (either case). Anything else raises EVemInternalError
// "Internal Error: Unexpected format type (%s)" filled with the specifier.
TFormatTypeClass FormatTypeClassOf(std::wstring_view specifier);

struct TFormatSpecifierSlot {
  std::wstring Specifier;  // the first parsed specifier at this index
  TFormatTypeClass TypeClass = TFormatTypeClass::Integer;
};

// The arguments a text uses: slots 0 to the highest index used. Indexes that
// no specifier uses are absent from Slots and count as integer (a width "*"
// takes such an argument).
struct TFormatSpecifierTable {
  int Size = 0;
  std::map<int, TFormatSpecifierSlot> Slots;

  // The type class at `index`; Integer for an index without a specifier.
  TFormatTypeClass TypeClassAt(int index) const;
  // The specifier at `index`, or "" for an index without one.
  std::wstring SpecifierAt(int index) const;
};

// Raises EFormatSpecError "Argument types for index %d do not match. (%s <>
// %s)" when two specifiers of the text use one index with different type
// classes, and the parser's errors for a malformed specifier.
TFormatSpecifierTable BuildFormatSpecifierTable(std::wstring_view text);

}  // namespace ostrevin
