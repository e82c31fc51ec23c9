// FakeKeyboardLayout.cpp - the US keyboard layout for native tests.
//
// The names are those the system gives the keys' scan codes without the
// extended-key bit, which is how shortcut texts look them up: the arrow and
// page keys are named after the number-pad keys that share their scan codes.
#include "fakes/FakeKeyboardLayout.h"

#include <utility>

namespace ostrevin {

FakeKeyboardLayout::FakeKeyboardLayout() {
  struct TEntry {
    std::uint8_t Key;
    wchar_t Char;
    const wchar_t* Name;
  };
  static const TEntry kKeys[] = {
      {0x08, L'\b', L"Backspace"}, {0x09, L'\t', L"Tab"},        {0x0D, L'\r', L"Enter"},
      {0x10, 0, L"Shift"},         {0x11, 0, L"Ctrl"},           {0x12, 0, L"Alt"},
      {0x13, 0, L"Pause"},         {0x14, 0, L"Caps Lock"},      {0x1B, L'\x1B', L"Esc"},
      {0x20, L' ', L"Space"},      {0x21, 0, L"Num 9"},          {0x22, 0, L"Num 3"},
      {0x23, 0, L"Num 1"},         {0x24, 0, L"Num 7"},          {0x25, 0, L"Num 4"},
      {0x26, 0, L"Num 8"},         {0x27, 0, L"Num 6"},          {0x28, 0, L"Num 2"},
      {0x2C, 0, L"Sys Req"},       {0x2D, 0, L"Num 0"},          {0x2E, 0, L"Num Del"},
      {0x6A, L'*', L"Num *"},      {0x6B, L'+', L"Num +"},       {0x6D, L'-', L"Num -"},
      {0x6E, L'.', L"Num Del"},    {0x6F, L'/', L"/"},           {0x90, 0, L"Num Lock"},
      {0x91, 0, L"Scroll Lock"},   {0xA0, 0, L"Shift"},          {0xA1, 0, L"Right Shift"},
      {0xA2, 0, L"Ctrl"},          {0xA3, 0, L"Ctrl"},           {0xA4, 0, L"Alt"},
      {0xA5, 0, L"Alt"},           {0xBA, L';', L";"},           {0xBB, L'=', L"="},
      {0xBC, L',', L","},          {0xBD, L'-', L"-"},           {0xBE, L'.', L"."},
      {0xBF, L'/', L"/"},          {0xC0, L'`', L"`"},           {0xDB, L'[', L"["},
      {0xDC, L'\\', L"\\"},        {0xDD, L']', L"]"},           {0xDE, L'\'', L"'"},
  };
  for (const TEntry& entry : kKeys) FKeys[entry.Key] = TKey{entry.Char, entry.Name};
  for (wchar_t c = L'0'; c <= L'9'; ++c) {
    FKeys[static_cast<std::uint8_t>(c)] = TKey{c, std::wstring(1, c)};
    FKeys[static_cast<std::uint8_t>(0x60 + (c - L'0'))] = TKey{c, L"Num " + std::wstring(1, c)};
    FCharKeys[c] = c;
  }
  for (wchar_t c = L'A'; c <= L'Z'; ++c) {
    FKeys[static_cast<std::uint8_t>(c)] = TKey{c, std::wstring(1, c)};
    FCharKeys[c] = c;
    FCharKeys[static_cast<wchar_t>(c - L'A' + L'a')] = c;
  }
  for (int f = 1; f <= 24; ++f)
    FKeys[static_cast<std::uint8_t>(0x6F + f)] = TKey{0, L"F" + std::to_wstring(f)};

  // The characters of the main keyboard, shifted or not.
  static const std::pair<const wchar_t*, std::uint8_t> kTyped[] = {
      {L")!@#$%^&*(", 0}, {L" ", 0x20},    {L";:", 0xBA}, {L"=+", 0xBB}, {L",<", 0xBC}, {L"-_", 0xBD},
      {L".>", 0xBE},      {L"/?", 0xBF},   {L"`~", 0xC0}, {L"[{", 0xDB}, {L"\\|", 0xDC}, {L"]}", 0xDD},
      {L"'\"", 0xDE},     {L"\b", 0x08},   {L"\t", 0x09}, {L"\r", 0x0D}, {L"\x1B", 0x1B},
  };
  for (const auto& [chars, key] : kTyped) {
    const std::wstring text(chars);
    for (std::size_t i = 0; i < text.size(); ++i)
      FCharKeys[text[i]] = key != 0 ? key : static_cast<int>(L'0' + i);  // ")!@#..." are Shift+0..9
  }
}

wchar_t FakeKeyboardLayout::CharOfKey(std::uint8_t virtualKey) const {
  const auto it = FKeys.find(virtualKey);
  return it == FKeys.end() ? 0 : it->second.Char;
}

int FakeKeyboardLayout::KeyOfChar(wchar_t c) const {
  const auto it = FCharKeys.find(c);
  return it == FCharKeys.end() ? -1 : it->second;
}

std::wstring FakeKeyboardLayout::KeyName(std::uint8_t virtualKey) const {
  const auto it = FKeys.find(virtualKey);
  return it == FKeys.end() ? std::wstring() : it->second.Name;
}

void FakeKeyboardLayout::SetKey(std::uint8_t virtualKey, wchar_t c, std::wstring name) {
  FKeys[virtualKey] = TKey{c, std::move(name)};
}

void FakeKeyboardLayout::SetCharKey(wchar_t c, int virtualKey) {
  if (virtualKey < 0)
    FCharKeys.erase(c);
  else
    FCharKeys[c] = virtualKey;
}

}  // namespace ostrevin
