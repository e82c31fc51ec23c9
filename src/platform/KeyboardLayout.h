// KeyboardLayout.h - port: the keyboard layout of the current thread.
//
// Shortcut texts name keys as the user's layout labels them: the character a
// letter or digit key types, and the layout's own name of any other key.
//
//   Current<KeyboardLayout>().CharOfKey(0x41);   // L'A' on most layouts
//   Current<KeyboardLayout>().KeyOfChar(L'1');   // 0x31, also where Shift is needed
//   Current<KeyboardLayout>().KeyName(0x14);     // L"Caps Lock"
#pragma once

#include <cstdint>
#include <string>

namespace ostrevin {

class KeyboardLayout {
 public:
  static constexpr const wchar_t* kPortName = L"KeyboardLayout";
  virtual ~KeyboardLayout() = default;

  // The character the virtual key types without modifiers (letters in upper
  // case; a dead key gives its accent), or 0 when the key types none.
  virtual wchar_t CharOfKey(std::uint8_t virtualKey) const = 0;
  // The virtual key that types `c`, with or without Shift, or -1 when no key
  // of the layout types it.
  virtual int KeyOfChar(wchar_t c) const = 0;
  // The layout's name of the key, looked up by its scan code; "" when the key
  // has no scan code or the layout gives it no name.
  virtual std::wstring KeyName(std::uint8_t virtualKey) const = 0;
};

}  // namespace ostrevin
