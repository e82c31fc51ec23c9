// TextCompare.h - the one comparison rule of the system's texts.
//
// Texts compare by their characters after simple case folding (ASCII, Latin-1,
// Latin Extended-A, Greek and Cyrillic letters), code unit by code unit.
// The case-sensitive rule orders by the folded text first and by the exact
// text only between texts that differ in case alone, so "a" < "B" < "b".
// Sorting, searching and prefix tests all use these functions, so they agree.
#pragma once

#include <string>
#include <string_view>

namespace ostrevin {

// The lower-case form of one character; other characters are unchanged.
wchar_t FoldCase(wchar_t c) noexcept;
std::wstring FoldCase(std::wstring_view text);

// < 0, 0 or > 0. CompareText ignores case; CompareStr does not.
int CompareText(std::wstring_view a, std::wstring_view b) noexcept;
int CompareStr(std::wstring_view a, std::wstring_view b) noexcept;

inline bool SameText(std::wstring_view a, std::wstring_view b) noexcept { return CompareText(a, b) == 0; }

// CompareText or CompareStr by `caseSensitive`.
inline int CompareByCase(std::wstring_view a, std::wstring_view b, bool caseSensitive) noexcept {
  return caseSensitive ? CompareStr(a, b) : CompareText(a, b);
}

}  // namespace ostrevin
