// TextUtils.h - small text functions shared across the system.
//
//   if (EndsText(fileName, L".txt")) ...
//   AppendDelimited(line, value, L", ");        // "Mac OS X, 10.6.8, 10K549"
//   url += UrlEncode(Trim(searchText), true);   // "a b" -> "a+b"
//
// Case-insensitive tests use the system's one comparison rule (SameText and
// FoldCase in TextCompare.h), so they agree with sorting and searching.
// Nothing here raises except on allocation failure.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace ostrevin {

// Whether the first Prefix.size() characters of S equal Prefix, ignoring
// case. An empty Prefix gives true; a Prefix longer than S gives false.
bool StartsText(std::wstring_view s, std::wstring_view prefix) noexcept;
// Whether the last Suffix.size() characters of S equal Suffix, ignoring
// case. An empty Suffix gives true; a Suffix longer than S gives false.
bool EndsText(std::wstring_view s, std::wstring_view suffix) noexcept;

// Appends Delimiter to S unless S is empty, then Item (an empty Item too, so
// "x" with "" gives "x" + Delimiter, while "" with "" stays "").
void AppendDelimited(std::wstring& s, std::wstring_view item, std::wstring_view delimiter);

// Non-overlapping occurrences of Sub in S, counted left to right ("aa" is in
// "aaa" once); 0 when either is empty. Case-sensitive.
int CountOccurrences(std::wstring_view sub, std::wstring_view s) noexcept;

// S as UTF-8 with every byte except "," "-" "." "_" and ASCII letters and
// digits written as "%" and two upper-case hex digits; a space becomes "+"
// when SpaceAsPlus, else "%20". "é" gives "%C3%A9".
std::wstring UrlEncode(std::wstring_view s, bool spaceAsPlus);

// Two upper-case hexadecimal digits: 10 gives "0A".
std::wstring ByteToHex(std::uint8_t b);

// Upper-case hexadecimal digits of the value's bits in its own type's width,
// zero padded to at least `digits`: IntToHex(255, 4) is "00FF",
// IntToHex(-1, 1) of an int is "FFFFFFFF", of an int64_t 16 F's.
std::wstring IntToHexBits(std::uint64_t bits, int digits);
template <std::integral T>
std::wstring IntToHex(T value, int digits) {
  return IntToHexBits(static_cast<std::make_unsigned_t<T>>(value), digits);
}

// S without the characters <= U+0020 (spaces and control characters) at
// both ends, at the start, or at the end.
std::wstring Trim(std::wstring_view s);
std::wstring TrimLeft(std::wstring_view s);
std::wstring TrimRight(std::wstring_view s);

// White space in the Unicode sense: U+0009..U+000D, space, U+0085, U+00A0,
// U+1680, U+2000..U+200A, U+2028, U+2029, U+202F, U+205F and U+3000.
bool IsUnicodeWhiteSpace(wchar_t c) noexcept;
// S with every IsUnicodeWhiteSpace character deleted, wherever it stands.
std::wstring RemoveWhiteSpace(std::wstring_view s);

// S with every non-overlapping occurrence of OldPattern, searched left to
// right and case-sensitively, replaced by NewPattern. An empty OldPattern
// leaves S unchanged.
std::wstring StringReplaceAll(std::wstring_view s, std::wstring_view oldPattern, std::wstring_view newPattern);

// Lower case by FoldCase. Upper case is its inverse: the letters that
// FoldCase lowers (ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic) are
// raised, everything else (ß, ı) is unchanged.
std::wstring LowerCase(std::wstring_view s);
std::wstring UpperCase(std::wstring_view s);

// The decimal integer in S (an optional "+" or "-", then digits only: no
// spaces, no hex), or Def when S is anything else or outside int's range.
int StrToIntDef(std::wstring_view s, int def) noexcept;

}  // namespace ostrevin
