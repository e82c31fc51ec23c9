// FakeAnsiCodePage.cpp - Windows-1252 as the ANSI code page of native tests.
#include "fakes/FakeAnsiCodePage.h"

#include <cstdint>

namespace ostrevin {

namespace {
// Bytes 0x80..0x9F; 0 where the code page has no character (kept as is).
constexpr char16_t kHighControls[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
}  // namespace

std::string FakeAnsiCodePage::FromWide(std::wstring_view text) const {
  std::string bytes;
  bytes.reserve(text.size());
  for (wchar_t c : text) {
    const auto u = static_cast<std::uint32_t>(c);
    char byte = '?';
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
      byte = static_cast<char>(u);
    } else {
      for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == u || (kHighControls[i] == 0 && u == 0x80u + i)) byte = static_cast<char>(0x80 + i);
    }
    bytes.push_back(byte);
  }
  return bytes;
}

std::wstring FakeAnsiCodePage::ToWide(std::string_view bytes) const {
  std::wstring text;
  text.reserve(bytes.size());
  for (char b : bytes) {
    const auto u = static_cast<unsigned char>(b);
    if (u >= 0x80 && u <= 0x9F && kHighControls[u - 0x80] != 0)
      text.push_back(static_cast<wchar_t>(kHighControls[u - 0x80]));
    else
      text.push_back(static_cast<wchar_t>(u));
  }
  return text;
}

}  // namespace ostrevin
