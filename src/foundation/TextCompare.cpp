// TextCompare.cpp - case folding and the comparison rule of the system's texts.
#include "foundation/TextCompare.h"

#include <algorithm>

namespace ostrevin {

wchar_t FoldCase(wchar_t c) noexcept {
  const auto u = static_cast<unsigned>(c);
  if (u < 0x80) return (u >= 'A' && u <= 'Z') ? static_cast<wchar_t>(u + 32) : c;
  // Latin-1: À..Þ except the multiplication sign.
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<wchar_t>(u + 32);
  // Latin Extended-A: pairs of upper (even) and lower (odd) letters, with the
  // ranges that pair the other way round.
  if (u >= 0x100 && u <= 0x17F) {
    if (u == 0x130 || u == 0x131 || u == 0x138 || u == 0x149 || u == 0x17F) return c;
    const bool oddUpper = (u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E);
    const bool isUpper = oddUpper ? (u % 2 == 1) : (u % 2 == 0);
    if (u == 0x178) return static_cast<wchar_t>(0xFF);
    return isUpper ? static_cast<wchar_t>(u + 1) : c;
  }
  // Greek capitals Α..Ω (no letter at U+03A2) and the accented ones.
  if (u >= 0x391 && u <= 0x3AB && u != 0x3A2) return static_cast<wchar_t>(u + 32);
  if (u == 0x386) return static_cast<wchar_t>(0x3AC);
  if (u >= 0x388 && u <= 0x38A) return static_cast<wchar_t>(u + 37);
  if (u == 0x38C) return static_cast<wchar_t>(0x3CC);
  if (u == 0x38E || u == 0x38F) return static_cast<wchar_t>(u + 63);
  // Cyrillic: Ѐ..Џ, А..Я, and the paired letters Ѡ..ҿ and Ӑ..ӿ.
  if (u >= 0x400 && u <= 0x40F) return static_cast<wchar_t>(u + 80);
  if (u >= 0x410 && u <= 0x42F) return static_cast<wchar_t>(u + 32);
  if (((u >= 0x460 && u <= 0x4BF) || (u >= 0x4D0 && u <= 0x4FF)) && u % 2 == 0)
    return static_cast<wchar_t>(u + 1);
  // Fullwidth Latin capitals.
  if (u >= 0xFF21 && u <= 0xFF3A) return static_cast<wchar_t>(u + 32);
  return c;
}

std::wstring FoldCase(std::wstring_view text) {
  std::wstring result(text);
  for (wchar_t& c : result) c = FoldCase(c);
  return result;
}

namespace {
int CompareUnits(wchar_t a, wchar_t b) noexcept {
  return static_cast<unsigned>(a) < static_cast<unsigned>(b) ? -1 : (a == b ? 0 : 1);
}
}  // namespace

int CompareText(std::wstring_view a, std::wstring_view b) noexcept {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i)
    if (int c = CompareUnits(FoldCase(a[i]), FoldCase(b[i])); c != 0) return c;
  return a.size() < b.size() ? -1 : (a.size() == b.size() ? 0 : 1);
}

int CompareStr(std::wstring_view a, std::wstring_view b) noexcept {
  if (int c = CompareText(a, b); c != 0) return c;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

}  // namespace ostrevin
