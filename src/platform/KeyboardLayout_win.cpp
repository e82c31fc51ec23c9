// KeyboardLayout_win.cpp - the KeyboardLayout port over MapVirtualKeyW,
// VkKeyScanW and GetKeyNameTextW.
#include "platform/Win32Adapters.h"

#include <cstdint>
#include <iterator>
#include <string>

#include "platform/WinApi_win.h"

namespace ostrevin {

namespace {

class Win32KeyboardLayout : public KeyboardLayout {
 public:
  wchar_t CharOfKey(std::uint8_t virtualKey) const override {
    // Bit 31 marks a dead key; the character is in the low word either way.
    const UINT c = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_CHAR);
    return static_cast<wchar_t>(c & 0xFFFF);
  }

  int KeyOfChar(wchar_t c) const override {
    // The low byte is the key, the high byte the shift state; both are -1
    // when no key types the character.
    const SHORT scan = VkKeyScanW(c);
    const int key = scan & 0xFF;
    return key == 0xFF ? -1 : key;
  }

  std::wstring KeyName(std::uint8_t virtualKey) const override {
    const UINT scanCode = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    if (scanCode == 0) return {};
    wchar_t name[64] = {};
    const int length = GetKeyNameTextW(static_cast<LONG>(scanCode << 16), name, static_cast<int>(std::size(name)));
    return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
  }
};

}  // namespace

std::unique_ptr<KeyboardLayout> MakeWin32KeyboardLayout() { return std::make_unique<Win32KeyboardLayout>(); }

}  // namespace ostrevin
