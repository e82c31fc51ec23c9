// FakeKeyboardLayout.h - the US keyboard layout for native tests.
//
// Letters and digits type themselves, the punctuation keys their US
// characters, and the keys a US keyboard names (Shift, Caps Lock, Num +,
// the punctuation keys) have the names the system gives them. A test can
// change single keys to stand for another layout:
//
//   FakeKeyboardLayout layout;
//   layout.SetKey(0x31, L'&', L"&");   // the "1" key of a French keyboard
//   layout.SetCharKey(L'1', 0x31);     // ... which types "1" with Shift
#pragma once

#include <map>
#include <string>

#include "platform/KeyboardLayout.h"

namespace ostrevin {

class FakeKeyboardLayout : public KeyboardLayout {
 public:
  FakeKeyboardLayout();

  wchar_t CharOfKey(std::uint8_t virtualKey) const override;
  int KeyOfChar(wchar_t c) const override;
  std::wstring KeyName(std::uint8_t virtualKey) const override;

  // The key types `c` (0: nothing) and is called `name` ("": no scan code).
  // The character's own key is not changed; see SetCharKey.
  void SetKey(std::uint8_t virtualKey, wchar_t c, std::wstring name);
  // The key that types `c`; -1: none.
  void SetCharKey(wchar_t c, int virtualKey);

 private:
  struct TKey {
    wchar_t Char = 0;
    std::wstring Name;
  };
  std::map<std::uint8_t, TKey> FKeys;
  std::map<wchar_t, int> FCharKeys;
};

}  // namespace ostrevin
