// BusyStateTest.cpp - busy state, flash messages and message handlers, headless and windowed.
#include "foundation/BusyState.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeUserInterface.h"
#include "foundation/ExceptionDisplay.h"
#include "foundation/VemSysUtils.h"
#include "platform/Ports.h"
#include "support/RaisedMessage.h"

namespace ostrevin {
namespace {

using Lines = std::vector<std::wstring>;

class HeadlessBusyState : public ::testing::Test {
 protected:
  FakeUserInterface ui;
  ScopedPort<UserInterface> port{ui};
};

TEST_F(HeadlessBusyState, ConsoleProgramIsToldOncePerOutermostWait) {
  ui.SetConsole(true);
  StopWait();  // unmatched: must not keep the next StartWait quiet
  StartWait();
  StartWait();
  StopWait();
  StopWait();
  StartWait();
  StopWait();
  EXPECT_EQ(ui.Output(), (Lines{L"Please Wait...", L"Please Wait..."}));

  ui.SetConsole(false);
  StartWait();
  StopWait();
  EXPECT_EQ(ui.Output().size(), 2u);
  EXPECT_EQ(ui.ScreenCursor(), crDefault);
}

TEST_F(HeadlessBusyState, FlashMessageIsAPlainObject) {
  for (bool console : {true, false}) {
    FakeUserInterface fresh;
    ScopedPort<UserInterface> install(fresh);
    fresh.SetConsole(console);
    auto flash = FlashMessage(L"Detecting web proxy...");
    UpdateFlashMessage(*flash, L"Connecting to Outlook...");
    EXPECT_EQ(flash->Msg(), L"Connecting to Outlook...");
    EXPECT_EQ(GetFlashMessage(*flash), L"Connecting to Outlook...");
    EXPECT_TRUE(fresh.Windows().empty());
    EXPECT_EQ(fresh.Output(), (console ? Lines{L"Detecting web proxy...", L"Connecting to Outlook..."} : Lines{}));
  }
}

class WindowedBusyState : public ::testing::Test {
 protected:
  void SetUp() override { InstallWindowedBusyHooks(); }
  void TearDown() override { RemoveWindowedBusyHooks(); }

  FakeUserInterface::Window& OnlyWindow() {
    EXPECT_EQ(ui.Windows().size(), 1u);
    return *ui.Windows().back();
  }
  // A handler bound to `form` that records what it receives.
  void PushRecorder(const void* form, Lines& received) {
    PushGlobalMessageHandler([&received](const std::wstring& text) { received.push_back(text); }, form);
  }

  FakeUserInterface ui;
  ScopedPort<UserInterface> port{ui};
  int progressForm = 0;  // stands for the progress window a handler is bound to
  int otherForm = 0;
};

TEST_F(WindowedBusyState, NestedWaitsRestoreCursorsInReverse) {
  ui.SetScreenCursor(crArrow);
  StartWait();
  EXPECT_EQ(ui.ScreenCursor(), crHourGlass);
  StartWait();
  StopWait();
  EXPECT_EQ(ui.ScreenCursor(), crHourGlass);
  StopWait();
  EXPECT_EQ(ui.ScreenCursor(), crArrow);
  StopWait();  // nothing saved: the default cursor
  EXPECT_EQ(ui.ScreenCursor(), crDefault);
  {
    TWaitScope wait;
    EXPECT_EQ(ui.ScreenCursor(), crHourGlass);
  }
  EXPECT_EQ(ui.ScreenCursor(), crDefault);
}

TEST_F(WindowedBusyState, FlashWindowShowsTheTextAndFitsItsWidth) {
  const WindowHandle previous = 0x42;
  ui.ActivateWindow(previous);
  auto flash = FlashMessage(L"Connecting to Outlook...");
  FakeUserInterface::Window& window = OnlyWindow();
  EXPECT_EQ(window.Caption(), L"Connecting to Outlook...");
  EXPECT_EQ(GetFlashMessage(*flash), L"Connecting to Outlook...");
  EXPECT_TRUE(window.Visible());
  EXPECT_EQ(window.FrameRefreshes(), 1);
  EXPECT_EQ(window.Width(), FakeUserInterface::kInitialWidth);  // short text: no change
  EXPECT_EQ(ui.ScreenCursor(), crHourGlass);
  EXPECT_EQ(ui.ActiveWindow(), window.Handle());

  const std::wstring longText(60, L'x');
  UpdateFlashMessage(*flash, longText);
  EXPECT_EQ(window.Caption(), longText);
  EXPECT_EQ(window.Width(), 60 * FakeUserInterface::kCharWidth);
  EXPECT_EQ(window.FrameRefreshes(), 2);
  UpdateFlashMessage(*flash, L"short");  // never narrower
  EXPECT_EQ(window.Width(), 60 * FakeUserInterface::kCharWidth);

  flash.reset();
  EXPECT_TRUE(ui.Windows().empty());
  EXPECT_EQ(ui.ScreenCursor(), crDefault);
  EXPECT_EQ(ui.ActiveWindow(), previous);  // the flash window was active: focus goes back
}

TEST_F(WindowedBusyState, FreeingAFlashWindowThatIsNotActiveLeavesTheActiveWindow) {
  ui.ActivateWindow(0x42);
  auto flash = FlashMessage(L"Detecting web proxy...");
  ui.ActivateWindow(0x77);  // the user went elsewhere meanwhile
  flash.reset();
  EXPECT_EQ(ui.ActiveWindow(), 0x77u);
}

TEST_F(WindowedBusyState, CurrentHandlerTakesFlashTextOverUntilPopped) {
  Lines received;
  PushRecorder(&progressForm, received);
  auto flash = FlashMessage(L"Connecting to Outlook...");
  FakeUserInterface::Window& window = OnlyWindow();
  EXPECT_FALSE(window.Visible());
  EXPECT_EQ(ui.ScreenCursor(), crHourGlass);
  const std::wstring longText(60, L'y');
  UpdateFlashMessage(*flash, longText);
  EXPECT_EQ(received, (Lines{L"Connecting to Outlook...", longText}));
  EXPECT_EQ(window.Width(), FakeUserInterface::kInitialWidth);  // not fitted while hidden behind a handler

  PopGlobalMessageHandler(&progressForm);
  EXPECT_TRUE(window.Visible());
  EXPECT_EQ(window.Caption(), longText);
  EXPECT_EQ(window.Width(), 60 * FakeUserInterface::kCharWidth);
  EXPECT_EQ(window.FrameRefreshes(), 1);
  EXPECT_EQ(received.size(), 2u);
}

TEST_F(WindowedBusyState, NestedHandlersKeepTheFlashWindowHiddenUntilTheLastIsPopped) {
  Lines outer, inner;
  PushRecorder(&otherForm, outer);
  PushRecorder(&progressForm, inner);
  auto flash = FlashMessage(L"a");
  PopGlobalMessageHandler(&progressForm);
  EXPECT_FALSE(OnlyWindow().Visible());
  UpdateFlashMessage(*flash, L"b");
  EXPECT_EQ(inner, Lines{L"a"});
  EXPECT_EQ(outer, Lines{L"b"});
  PopGlobalMessageHandler(&otherForm);
  EXPECT_TRUE(OnlyWindow().Visible());
}

TEST_F(WindowedBusyState, EndingAFlashMessageSendsThePreviousTextOrNothing) {
  Lines received;
  PushRecorder(&progressForm, received);
  auto first = FlashMessage(L"Connecting to Outlook...");
  auto second = FlashMessage(L"Logging on...");
  second.reset();
  first.reset();
  EXPECT_EQ(received, (Lines{L"Connecting to Outlook...", L"Logging on...", L"Connecting to Outlook...", L""}));
  EXPECT_EQ(ui.ScreenCursor(), crDefault);
  PopGlobalMessageHandler(&progressForm);
  EXPECT_TRUE(ui.Windows().empty());
}

TEST_F(WindowedBusyState, PopChecksTheStackAndLeavesItOnError) {
  EXPECT_EQ(RaisedMessage<EVemInternalError>([&] { PopGlobalMessageHandler(&progressForm); }),
            L"Internal Error: No global message handlers to end.");

  Lines first, second;
  PushRecorder(&progressForm, first);
  PushRecorder(&otherForm, second);  // same handler code, another form
  EXPECT_EQ(RaisedMessage<EVemInternalError>([&] { PopGlobalMessageHandler(&progressForm); }),
            L"Internal Error: Last global message handlers has changed.");
  auto flash = FlashMessage(L"still the other's");
  EXPECT_EQ(second, Lines{L"still the other's"});
  EXPECT_TRUE(first.empty());

  PopGlobalMessageHandler(&otherForm);
  PopGlobalMessageHandler(&progressForm);
  EXPECT_EQ(RaisedMessage<EVemInternalError>([&] { PopGlobalMessageHandler(&progressForm); }),
            L"Internal Error: No global message handlers to end.");
}

TEST_F(WindowedBusyState, OtherThreadsCannotChangeTheMessage) {
  Lines received;
  auto flash = FlashMessage(L"Connecting to Outlook...");
  PushRecorder(&progressForm, received);
  ui.SetMainThread(false);
  UpdateFlashMessage(*flash, L"from a worker");
  EXPECT_EQ(OnlyWindow().Caption(), L"Connecting to Outlook...");
  EXPECT_TRUE(received.empty());
  ui.SetMainThread(true);
  PopGlobalMessageHandler(&progressForm);
}

TEST_F(WindowedBusyState, HandlerThatRaisesLeavesNoFlashWindowBehind) {
  std::vector<std::wstring> shown;
  SetPlainExceptionDisplay([&](const std::exception& e, bool) { shown.push_back(ExceptionMessage(e)); });
  ShowExceptionRoutine routine = SetShowExceptionRoutine(nullptr);
  PushGlobalMessageHandler([](const std::wstring&) { throw EAbort(); }, &progressForm);

  EXPECT_THROW((void)FlashMessage(L"Connecting to Outlook..."), EAbort);
  EXPECT_TRUE(ui.Windows().empty());
  EXPECT_EQ(ui.ScreenCursor(), crDefault);  // the busy state was left
  EXPECT_TRUE(shown.empty());               // the cancel raised while ending is silent

  PopGlobalMessageHandler(&progressForm);
  SetShowExceptionRoutine(routine);
  SetPlainExceptionDisplay(nullptr);
}

TEST_F(WindowedBusyState, OnlyFlashWindowsCanBeUpdated) {
  TFlashObject plain(L"made before the hooks");
  EXPECT_THROW(UpdateFlashMessage(plain, L"x"), EAssertionFailed);
  EXPECT_EQ(GetFlashMessage(plain), L"made before the hooks");
}

TEST_F(WindowedBusyState, RemovingTheHooksRestoresTheFallbacks) {
  ui.SetConsole(true);
  auto flash = FlashMessage(L"Connecting to Outlook...");
  RemoveWindowedBusyHooks();
  ui.SetScreenCursor(crArrow);
  flash.reset();  // closes its window only
  EXPECT_TRUE(ui.Windows().empty());
  EXPECT_EQ(ui.ScreenCursor(), crArrow);

  auto plain = FlashMessage(L"Detecting web proxy...");
  EXPECT_TRUE(ui.Windows().empty());
  EXPECT_EQ(ui.Output(), Lines{L"Detecting web proxy..."});
}

}  // namespace
}  // namespace ostrevin
