// VemTrxDfmUtils.h - form-resource property kinds and their converters.
//
// A property kind converts between the form-resource notation of a
// property's value and the plain text a translator sees. The registry maps
// property paths ("Caption", "Title.Caption", "Hint", "ShortCut") to a pair
// of converters:
//
//   const TDfmPropertyKind* kind = FindDfmPropertyKind(L"caption");
//   kind->DfmValueToText(L"'Save'#13#10'all'");   // L"Save\r\nall"
//   ShortCutDfmValueToText(L"16467");             // L"Ctrl+S"
#pragma once

#include <string>
#include <string_view>

#include "foundation/VemClasses.h"

namespace ostrevin {

using TDfmValueToText = std::wstring (*)(std::wstring_view dfmValue);
using TTextToDfmValue = std::wstring (*)(std::wstring_view text);

struct TDfmPropertyKind {
  TDfmValueToText DfmValueToText = nullptr;
  TTextToDfmValue TextToDfmValue = nullptr;
};

// String literals (DfmNotation.h): the value's quoted runs, character codes
// and "+" concatenations as one text, raising EParserError when malformed;
// and back, with lines of 64 characters of text.
std::wstring StringDfmValueToText(std::wstring_view dfmValue);
std::wstring StringTextToDfmValue(std::wstring_view text);

// Shortcuts: the decimal shortcut value as its text ("16467" gives
// "Ctrl+S"); blanks around the number are allowed. A number below 0 or above
// 65535 raises ERangeError "Range check error", anything else that is not a
// decimal number EConvertError "'%s' is not a valid integer value". Back:
// the text's shortcut as a decimal number, "0" when it names none.
std::wstring ShortCutDfmValueToText(std::wstring_view dfmValue);
std::wstring ShortCutTextToDfmValue(std::wstring_view text);

// Creates DfmPropertyKinds (sorted, letter case ignored, duplicates ignored)
// and registers "Caption", "Title.Caption" and "Hint" with the string
// converters and "ShortCut" with the shortcut converters. Called once at
// start-up; a second call starts from a new registry.
void InitializeVemTrxDfmUtils();
// Frees the registry; nothing when there is none.
void FinalizeVemTrxDfmUtils() noexcept;

// Property paths; Objects point at their kinds, owned by the registry.
// Raises EVemInternalError "Internal Error: DfmPropertyKinds not assigned."
// outside Initialize/Finalize, as RegisterDfmPropertyKind does.
const TVemStringList& DfmPropertyKinds();
// Adds the path with a copy of the converters; a path already registered
// (ignoring letter case) keeps its first converters.
void RegisterDfmPropertyKind(std::wstring_view path, const TDfmPropertyKind& kind);
// The kind of the path (ignoring letter case), or null.
const TDfmPropertyKind* FindDfmPropertyKind(std::wstring_view path);

}  // namespace ostrevin
