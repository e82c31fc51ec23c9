// KeyboardLayoutWinTest.cpp - shortcut texts through the Win32 keyboard
// layout adapter, on Wine's layout (US by default).
#include <gtest/gtest.h>

#include <memory>

#include "platform/Ports.h"
#include "platform/Win32Adapters.h"
#include "translation/VemTrxTypes.h"

namespace ostrevin {
namespace {

class KeyboardLayoutWin : public ::testing::Test {
 protected:
  std::unique_ptr<KeyboardLayout> layout = MakeWin32KeyboardLayout();
  ScopedPort<KeyboardLayout> install{*layout};
};

TEST_F(KeyboardLayoutWin, LettersAndDigitsTypeThemselves) {
  EXPECT_EQ(layout->CharOfKey(0x41), L'A');
  EXPECT_EQ(layout->CharOfKey(0x35), L'5');
  EXPECT_EQ(layout->KeyOfChar(L's'), 0x53);
  EXPECT_EQ(layout->KeyOfChar(L'S'), 0x53);
  EXPECT_EQ(layout->KeyOfChar(L'7'), 0x37);
  EXPECT_EQ(layout->KeyOfChar(L'\u4E2D'), -1);
  EXPECT_EQ(layout->KeyName(0x00), L"");
  EXPECT_NE(layout->KeyName(0x14), L"");  // Caps Lock
}

TEST_F(KeyboardLayoutWin, ShortCutTextsRoundTrip) {
  const struct {
    std::uint16_t ShortCut;
    const wchar_t* Text;
  } cases[] = {
      {0x4053, L"Ctrl+S"}, {0x0074, L"F5"}, {0x002E, L"Del"}, {0xA031, L"Shift+Alt+1"}, {0x0000, L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TShortCutTranType::WideShortCutToText(c.ShortCut), c.Text);
    EXPECT_EQ(TShortCutTranType::WideTextToShortCut(c.Text), c.ShortCut) << c.Text;
  }
  EXPECT_EQ(TShortCutTranType::WideTextToShortCut(L"Ctrl+s"), 0x4053);
  // A key named by the layout reads back as itself.
  const std::wstring capsLock = TShortCutTranType::WideShortCutToText(0x4014);
  EXPECT_EQ(capsLock, L"Ctrl+" + layout->KeyName(0x14));
  EXPECT_EQ(TShortCutTranType::WideTextToShortCut(capsLock), 0x4014);
}

}  // namespace
}  // namespace ostrevin
