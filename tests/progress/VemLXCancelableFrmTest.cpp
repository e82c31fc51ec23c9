// VemLXCancelableFrmTest.cpp - the cancelable progress window against in-memory windows.
#include "progress/VemLXCancelableFrm.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fakes/FakeCancelableWindows.h"
#include "fakes/FakePlatform.h"
#include "foundation/BusyState.h"
#include "foundation/VemSysUtils.h"
#include "support/RaisedMessage.h"

namespace ostrevin {
namespace {

using Strings = std::vector<std::wstring>;

class CancelableMessage : public ::testing::Test {
 protected:
  ~CancelableMessage() override {
    while (CancelableForm() != nullptr) StopCancelableMessage();
  }

  // The labels set since the last call.
  Strings TakeMessages() { return std::exchange(windows.Messages, {}); }
  // Whether a progress window's handler is still installed: ending one
  // without any raises "No global message handlers to end.".
  static bool HandlerInstalled() {
    const std::wstring raised =
        RaisedMessage<EVemInternalError>([] { PopGlobalMessageHandler(reinterpret_cast<const void*>(1)); });
    return raised != L"Internal Error: No global message handlers to end.";
  }

  FakePlatform platform;
  FakeCancelableWindows windows;
  ScopedPort<CancelableWindows> install{windows};
};

TEST_F(CancelableMessage, OpensWithTheFirstMessageShowsUpdatesAndClosesRestoringTheCursor) {
  platform.Screen.SetScreenCursor(crArrow);
  StartCancelableMessage(L"Processing 0 of 3 messages from Outlook");
  ASSERT_NE(windows.Open(), nullptr);
  EXPECT_TRUE(windows.Open()->Modal());
  platform.Screen.SetScreenCursor(crHourGlass);  // work in between changes it
  for (int i = 1; i <= 3; ++i) UpdateCancelableMessage(L"Processing " + std::to_wstring(i) + L" of 3");
  EXPECT_EQ(windows.MessagesProcessed, 3);
  EXPECT_EQ(TakeMessages(), (Strings{L"Processing 0 of 3 messages from Outlook", L"Processing 1 of 3",
                                     L"Processing 2 of 3", L"Processing 3 of 3"}));

  StopCancelableMessage();
  EXPECT_EQ(windows.Open(), nullptr);
  EXPECT_EQ(CancelableForm(), nullptr);
  EXPECT_EQ(platform.Screen.ScreenCursor(), crArrow);
  EXPECT_FALSE(HandlerInstalled());
}

TEST_F(CancelableMessage, NestedMessagesShareOneWindowAndRestoreTheOuterMessage) {
  StartCancelableMessage(L"outer");
  StartCancelableMessage(L"inner");
  UpdateCancelableMessage(L"inner 1");
  StopCancelableMessage();
  ASSERT_NE(windows.Open(), nullptr);
  EXPECT_EQ(windows.Open()->Message(), L"outer");
  StopCancelableMessage();
  EXPECT_EQ(windows.Open(), nullptr);
  EXPECT_EQ(windows.Created, 1);
  // The outermost stop shows the window's first text before it closes.
  EXPECT_EQ(TakeMessages(), (Strings{L"outer", L"inner", L"inner 1", L"outer", L"Please wait..."}));
}

TEST_F(CancelableMessage, CancelRaisesTheSilentAbortAtTheNextUpdateOnlyOnce) {
  StartCancelableMessage(L"working");
  windows.OnProcessMessages = [&] { windows.Open()->PressCancel(); };  // the click waits in the queue
  EXPECT_THROW(UpdateCancelableMessage(L"step 1"), EAbort);
  EXPECT_TRUE(CancelableForm()->CancelPressed());
  EXPECT_NO_THROW(UpdateCancelableMessage(L"step 2"));
  EXPECT_EQ(windows.Open()->Message(), L"step 2");
}

TEST_F(CancelableMessage, TheWindowGrowsToItsMessageStaysCentredAndNeverShrinks) {
  using W = FakeCancelableWindows;
  StartCancelableMessage(L"short");
  W::Window& window = *windows.Open();
  // Design: label at 103,10 and 13 high, button 100x25, client 272x72.
  EXPECT_EQ(window.ClientWidth(), 272);
  EXPECT_EQ(window.ClientHeight(), 72);
  EXPECT_EQ(window.CancelButtonBounds().Left, 86);
  EXPECT_EQ(window.CancelButtonBounds().Top, 72 - 10 - 25);

  const std::wstring wide(60, L'x');  // label 360 wide: client 360 + 2 x 103
  UpdateCancelableMessage(wide);
  EXPECT_EQ(window.ClientWidth(), 566);
  EXPECT_EQ(window.Left(), (W::kScreenWidth - (566 + W::kFrameWidth)) / 2);
  EXPECT_EQ(window.CancelButtonBounds().Left, (566 - 100) / 2);
  EXPECT_GT(window.Repaints(), 0);

  UpdateCancelableMessage(L"short again");
  EXPECT_EQ(window.ClientWidth(), 566);
  EXPECT_EQ(window.ClientHeight(), 72);
}

TEST_F(CancelableMessage, FlashMessagesShowInTheOpenWindowAndCheckForCancel) {
  InstallWindowedBusyHooks();
  StartCancelableMessage(L"working");
  {
    auto flash = FlashMessage(L"Connecting to Outlook...");
    EXPECT_EQ(windows.Open()->Message(), L"Connecting to Outlook...");
    EXPECT_FALSE(platform.Screen.Windows().front()->Visible());
    windows.Open()->PressCancel();
    EXPECT_THROW(UpdateFlashMessage(*flash, L"Logging on..."), EAbort);
  }
  auto later = FlashMessage(L"still busy");
  StopCancelableMessage();
  // With the progress window gone the flash window shows itself.
  EXPECT_TRUE(platform.Screen.Windows().back()->Visible());
  later.reset();
  RemoveWindowedBusyHooks();
}

TEST_F(CancelableMessage, MisuseAndFailuresLeaveNothingOpen) {
  EXPECT_THROW(UpdateCancelableMessage(L"x"), EAssertionFailed);
  EXPECT_THROW(StopCancelableMessage(), EAssertionFailed);

  windows.FailStartModal = true;
  EXPECT_ANY_THROW(StartCancelableMessage(L"x"));
  EXPECT_EQ(CancelableForm(), nullptr);
  EXPECT_EQ(windows.Open(), nullptr);
  EXPECT_FALSE(HandlerInstalled());
}

}  // namespace
}  // namespace ostrevin
