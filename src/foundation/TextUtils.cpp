// TextUtils.cpp - small text functions shared across the system.
#include "foundation/TextUtils.h"

#include <climits>

#include "foundation/TextCompare.h"
#include "foundation/TextEncoding.h"

namespace ostrevin {

namespace {

constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";

bool IsTrimmed(wchar_t c) { return static_cast<std::uint32_t>(c) <= 0x20; }

// The upper-case letter that FoldCase lowers to `c`, or `c` itself. The
// offsets are those between the case pairs that FoldCase knows.
wchar_t UpperChar(wchar_t c) {
  const auto u = static_cast<std::uint32_t>(c);
  if (u < 0x80) return (u >= 'a' && u <= 'z') ? static_cast<wchar_t>(u - 32) : c;
  if (u == 0xFF) return static_cast<wchar_t>(0x178);
  for (std::uint32_t offset : {32u, 1u, 80u, 37u, 38u, 63u, 64u}) {
    if (u < offset) continue;
    const auto upper = static_cast<wchar_t>(u - offset);
    if (FoldCase(upper) == c) return upper;
  }
  return c;
}

}  // namespace

bool StartsText(std::wstring_view s, std::wstring_view prefix) noexcept {
  return prefix.size() <= s.size() && SameText(s.substr(0, prefix.size()), prefix);
}

bool EndsText(std::wstring_view s, std::wstring_view suffix) noexcept {
  return suffix.size() <= s.size() && SameText(s.substr(s.size() - suffix.size()), suffix);
}

void AppendDelimited(std::wstring& s, std::wstring_view item, std::wstring_view delimiter) {
  if (!s.empty()) s += delimiter;
  s += item;
}

int CountOccurrences(std::wstring_view sub, std::wstring_view s) noexcept {
  if (sub.empty()) return 0;
  int count = 0;
  for (std::size_t p = s.find(sub); p != std::wstring_view::npos; p = s.find(sub, p + sub.size())) ++count;
  return count;
}

std::wstring UrlEncode(std::wstring_view s, bool spaceAsPlus) {
  std::wstring result;
  for (unsigned char b : WideToUtf8(s)) {
    if (b == ' ') {
      result += spaceAsPlus ? L"+" : L"%20";
    } else if (b == ',' || b == '-' || b == '.' || b == '_' || (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') ||
               (b >= 'a' && b <= 'z')) {
      result += static_cast<wchar_t>(b);
    } else {
      result += L'%';
      result += ByteToHex(b);
    }
  }
  return result;
}

std::wstring ByteToHex(std::uint8_t b) { return {kHexDigits[b >> 4], kHexDigits[b & 0xF]}; }

std::wstring IntToHexBits(std::uint64_t bits, int digits) {
  std::wstring result;
  do {
    result.insert(result.begin(), kHexDigits[bits & 0xF]);
    bits >>= 4;
  } while (bits != 0);
  if (digits > 0 && result.size() < static_cast<std::size_t>(digits)) result.insert(0, digits - result.size(), L'0');
  return result;
}

std::wstring Trim(std::wstring_view s) { return TrimRight(TrimLeft(s)); }

std::wstring TrimLeft(std::wstring_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsTrimmed(s[i])) ++i;
  return std::wstring(s.substr(i));
}

std::wstring TrimRight(std::wstring_view s) {
  std::size_t n = s.size();
  while (n > 0 && IsTrimmed(s[n - 1])) --n;
  return std::wstring(s.substr(0, n));
}

bool IsUnicodeWhiteSpace(wchar_t c) noexcept {
  const auto u = static_cast<std::uint32_t>(c);
  return (u >= 0x09 && u <= 0x0D) || u == 0x20 || u == 0x85 || u == 0xA0 || u == 0x1680 ||
         (u >= 0x2000 && u <= 0x200A) || u == 0x2028 || u == 0x2029 || u == 0x202F || u == 0x205F || u == 0x3000;
}

std::wstring RemoveWhiteSpace(std::wstring_view s) {
  std::wstring result;
  result.reserve(s.size());
  for (wchar_t c : s)
    if (!IsUnicodeWhiteSpace(c)) result += c;
  return result;
}

std::wstring StringReplaceAll(std::wstring_view s, std::wstring_view oldPattern, std::wstring_view newPattern) {
  if (oldPattern.empty()) return std::wstring(s);
  std::wstring result;
  std::size_t start = 0;
  for (std::size_t p = s.find(oldPattern); p != std::wstring_view::npos; p = s.find(oldPattern, start)) {
    result.append(s.substr(start, p - start));
    result.append(newPattern);
    start = p + oldPattern.size();
  }
  result.append(s.substr(start));
  return result;
}

std::wstring LowerCase(std::wstring_view s) { return FoldCase(s); }

std::wstring UpperCase(std::wstring_view s) {
  std::wstring result(s);
  for (wchar_t& c : result) c = UpperChar(c);
  return result;
}

int StrToIntDef(std::wstring_view s, int def) noexcept {
  std::size_t i = 0;
  const bool negative = !s.empty() && s[0] == L'-';
  if (!s.empty() && (s[0] == L'-' || s[0] == L'+')) i = 1;
  if (i == s.size()) return def;
  // Accumulate the magnitude in 64 bits; stop as soon as it leaves int.
  long long value = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < L'0' || s[i] > L'9') return def;
    value = value * 10 + (s[i] - L'0');
    if (value > static_cast<long long>(INT_MAX) + 1) return def;
  }
  if (negative) value = -value;
  return value > INT_MAX ? def : static_cast<int>(value);
}

}  // namespace ostrevin
