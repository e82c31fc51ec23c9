// ProgramWindowsWinTest.cpp - the progress window, the Outlook settings window and the folder browser under Wine.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "forms/Forms_win.h"
#include "forms/Shell_win.h"
#include "forms/VemForms_win.h"
#include "forms/VemLXForms_win.h"
#include "foundation/VemSysUtils.h"
#include "outlook/OutlookSyncSettingsFrm_win.h"
#include "platform/Ports.h"
#include "platform/UserInterface.h"
#include "platform/Win32Platform.h"
#include "progress/VemLXCancelableFrm.h"
#include "progress/VemLXCancelableFrm_win.h"

#include <shlobj.h>

namespace ostrevin {
namespace {

class TMainWindow : public TForm {
 public:
  std::vector<std::wstring> ClassChain() const override { return {L"TProgramWindowsMain", L"TForm"}; }
};

std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

struct ChildSearch {
  std::wstring Class;
  std::wstring Text;  // empty: any text
  HWND Found = nullptr;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM context) {
  auto* search = reinterpret_cast<ChildSearch*>(context);
  wchar_t name[64] = {};
  GetClassNameW(child, name, 64);
  if (lstrcmpiW(name, search->Class.c_str()) != 0 || (!search->Text.empty() && TextOf(child) != search->Text))
    return TRUE;
  search->Found = child;
  return FALSE;
}

HWND Child(HWND window, const wchar_t* windowClass, const std::wstring& text = {}) {
  ChildSearch search{windowClass, text};
  EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

RECT ClientBoundsOf(HWND control, HWND parent) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Waits on another thread for a top-level window of the class and caption,
// then runs `act` on it there.
std::thread WhenShown(const wchar_t* windowClass, const wchar_t* caption, std::function<void(HWND)> act) {
  return std::thread([=] {
    for (int waited = 0; waited < 20000; waited += 50) {
      if (HWND window = FindWindowW(windowClass, caption); window != nullptr && IsWindowVisible(window)) {
        act(window);
        return;
      }
      Sleep(50);
    }
  });
}

class ProgramWindowsWin : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeApplication();
    InitializeVemForms();
    InitializeVemLXForms();
    FormDesign design;
    design.ClassName = L"TProgramWindowsMain";
    design.Caption.Literal = L"Program windows";
    design.Position = FormPosition::ScreenCenter;
    RegisterFormDesign(design);
    FMain = CreateForm<TMainWindow>();
    Application().SetMainForm(FMain.get());
    FMain->Show();
    Application().ProcessMessages();
  }
  void TearDown() override {
    while (CancelableForm() != nullptr) StopCancelableMessage();
    FMain.reset();
    UnregisterFormDesign(L"TProgramWindowsMain");
    FinalizeVemLXForms();
    FinalizeVemForms();
    FinalizeApplication();
  }

  HWND Main() const { return FMain->Handle(); }
  static HWND ProgressWindow() { return FindWindowW(kCancelableFormClassName, nullptr); }

  Win32Platform platform;
  std::unique_ptr<CancelableWindows> progress = MakeWin32CancelableWindows();
  ScopedPort<CancelableWindows> progressPort{*progress};
  std::unique_ptr<TMainWindow> FMain;
};

TEST_F(ProgramWindowsWin, TheProgressWindowIsModalGrowsCentredAndGoesAtTheLastStop) {
  UserInterface& ui = Current<UserInterface>();
  ui.SetScreenCursor(crArrow);
  StartCancelableMessage(L"Processing 0 of 2 messages from Outlook");
  const HWND window = ProgressWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(TextOf(window), L"Please Wait...");
  EXPECT_FALSE(IsWindowEnabled(Main()));
  const HWND label = Child(window, L"Static");
  const HWND button = Child(window, L"Button", L"Cancel");
  ASSERT_TRUE(label != nullptr && button != nullptr);
  EXPECT_EQ(TextOf(label), L"Processing 0 of 2 messages from Outlook");

  ui.SetScreenCursor(crHourGlass);
  UpdateCancelableMessage(std::wstring(120, L'W'));
  RECT client{}, outer{}, screen{0, 0, GetSystemMetrics(SM_CXSCREEN), 0};
  GetClientRect(window, &client);
  GetWindowRect(window, &outer);
  const RECT labelRect = ClientBoundsOf(label, window);
  const RECT buttonRect = ClientBoundsOf(button, window);
  EXPECT_GT(labelRect.right - labelRect.left, 272);  // the label fits its text
  EXPECT_EQ(client.right, (labelRect.right - labelRect.left) + 2 * labelRect.left);
  EXPECT_EQ(outer.left, (screen.right - (outer.right - outer.left)) / 2);
  EXPECT_EQ(buttonRect.left, (client.right - (buttonRect.right - buttonRect.left)) / 2);
  EXPECT_EQ(buttonRect.bottom, client.bottom - labelRect.top);

  StartCancelableMessage(L"inner");
  StopCancelableMessage();
  EXPECT_EQ(TextOf(label), std::wstring(120, L'W'));
  StopCancelableMessage();
  EXPECT_EQ(ProgressWindow(), nullptr);
  EXPECT_TRUE(IsWindowEnabled(Main()));
  EXPECT_EQ(ui.ScreenCursor(), crArrow);
}

TEST_F(ProgramWindowsWin, CancelAndEscapeAbortTheNextUpdateOnce) {
  StartCancelableMessage(L"working");
  SendMessageW(Child(ProgressWindow(), L"Button", L"Cancel"), BM_CLICK, 0, 0);
  EXPECT_THROW(UpdateCancelableMessage(L"step 1"), EAbort);
  EXPECT_NO_THROW(UpdateCancelableMessage(L"step 2"));
  StopCancelableMessage();

  StartCancelableMessage(L"working again");
  const HWND window = ProgressWindow();
  SetForegroundWindow(window);
  SetFocus(window);
  PostMessageW(GetFocus() != nullptr ? GetFocus() : window, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_THROW(UpdateCancelableMessage(L"step 1"), EAbort);
  StopCancelableMessage();
}

// --- The Outlook sync settings window -----------------------------------------------

class RecordedEvents : public OutlookSyncWindowEvents {
 public:
  void FormClose() override { Events.push_back(L"FormClose"); }
  void UseMapiClick() override { Events.push_back(L"UseMapiClick"); }
  void ProfileBoxClickOrExit() override { Events.push_back(L"ProfileBoxClickOrExit"); }
  void EditPathBtnClick(TOutlookFolderBox box) override {
    Events.push_back(L"EditPathBtnClick " + std::to_wstring(static_cast<int>(box)));
  }
  void Timer1Timer() override { ++Ticks; }
  void DbOptionsBtnClick() override { Events.push_back(L"DbOptionsBtnClick"); }
  void VemTrxFormKeyPress(wchar_t key) override { Events.push_back(L"KeyPress " + std::to_wstring(key)); }
  void LogOffBtnClick() override { Events.push_back(L"LogOffBtnClick"); }

  std::vector<std::wstring> Events;
  std::atomic<int> Ticks = 0;
};

TEST_F(ProgramWindowsWin, TheSettingsWindowIsMadeHiddenAndHandsItsControlsAndEventsToItsLogic) {
  std::unique_ptr<OutlookSyncWindows> windows = MakeWin32OutlookSyncWindows();
  std::unique_ptr<OutlookSyncWindow> window = windows->CreateOutlookSyncWindow();
  RecordedEvents events;
  window->SetEvents(&events);
  const HWND handle = FindWindowW(kOutlookSyncFormClassName, nullptr);
  ASSERT_NE(handle, nullptr);
  EXPECT_FALSE(IsWindowVisible(handle));
  EXPECT_EQ(TextOf(handle), L"Sync with Outlook Settings");

  TVemStringList profiles{L"Work", L"Outlook", L"Archive"};
  window->SetProfileText(L"Typed");
  window->SetProfiles(profiles);
  EXPECT_EQ(window->ProfileText(), L"Typed");
  const HWND box = Child(handle, L"ComboBox");
  wchar_t first[32] = {};
  SendMessageW(box, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_STREQ(first, L"Archive");  // the list sorts

  window->SetUseMapi(true);
  window->SetImportOldTasks(false);
  window->SetFolderPath(TOutlookFolderBox::Calendar, L"Mailbox/Calendar");
  EXPECT_TRUE(window->UseMapi());
  EXPECT_FALSE(window->ImportOldTasks());
  EXPECT_EQ(window->FolderPath(TOutlookFolderBox::Calendar), L"Mailbox/Calendar");
  EXPECT_EQ(window->FolderPath(TOutlookFolderBox::Contacts), L"");

  const HWND inUse = Child(handle, L"Static", L"In Use");
  ASSERT_NE(inUse, nullptr);
  EXPECT_FALSE(IsWindowVisible(inUse) || (GetWindowLongW(inUse, GWL_STYLE) & WS_VISIBLE));
  window->SetControlStates({.ProfileBoxEnabled = false, .UseMapiEnabled = false, .InUseVisible = true,
                            .LogOffEnabled = false});
  EXPECT_TRUE(GetWindowLongW(inUse, GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(IsWindowEnabled(box));

  // The timer runs while the window is hidden.
  for (int waited = 0; events.Ticks < 2 && waited < 3000; waited += 50) {
    Application().ProcessMessages();
    Sleep(50);
  }
  EXPECT_GE(events.Ticks, 2);

  window->SetControlStates({});
  SendMessageW(Child(handle, L"Button", L"Use MAPI Enhancements"), BM_CLICK, 0, 0);
  EXPECT_FALSE(window->UseMapi());
  SendMessageW(Child(handle, L"Button", L"..."), BM_CLICK, 0, 0);
  SendMessageW(Child(handle, L"Button", L"Logoff"), BM_CLICK, 0, 0);
  SendMessageW(Child(handle, L"Button", L"Contact Sync Options For This Database..."), BM_CLICK, 0, 0);
  PostMessageW(Child(handle, L"Edit"), WM_KEYDOWN, VK_ESCAPE, 0);
  Application().ProcessMessages();
  SendMessageW(handle, WM_CLOSE, 0, 0);
  EXPECT_EQ(events.Events, (std::vector<std::wstring>{L"UseMapiClick", L"EditPathBtnClick 0", L"LogOffBtnClick",
                                                      L"DbOptionsBtnClick", L"KeyPress 27", L"FormClose"}));
  EXPECT_FALSE(IsWindowVisible(handle));
}

// --- The folder browser ---------------------------------------------------------------

TEST_F(ProgramWindowsWin, ATypedPathThatIsNotValidIsRefusedAndTheDialogStaysOpen) {
  std::wstring shown;
  std::thread answer = WhenShown(L"#32770", nullptr, [&](HWND box) {
    for (HWND text = FindWindowExW(box, nullptr, L"Static", nullptr); text != nullptr;
         text = FindWindowExW(box, text, L"Static", nullptr))
      if (!TextOf(text).empty()) shown = TextOf(text);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  TFolderBrowseState state{L"", Main()};
  const int keepOpen = BrowseForFolderCallback(Main(), BFFM_VALIDATEFAILEDW,
                                               reinterpret_cast<LPARAM>(L"Q:\\nowhere"), reinterpret_cast<LPARAM>(&state));
  answer.join();
  EXPECT_NE(keepOpen, 0);
  EXPECT_EQ(shown, L"\"Q:\\nowhere\" is an invalid path");
}

TEST_F(ProgramWindowsWin, TheFolderBrowserIsModalCentredAndCancellable) {
  std::unique_ptr<Shell> shell = MakeWin32Shell();
  bool mainEnabled = true;
  RECT dialogRect{};
  std::thread answer = WhenShown(L"#32770", L"Browse for Folder", [&](HWND dialog) {
    Sleep(300);  // the dialog centres itself once it is shown
    mainEnabled = IsWindowEnabled(Main()) != FALSE;
    GetWindowRect(dialog, &dialogRect);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  TFolderBrowseRequest request;
  request.Caption = L"Choose a folder where you'd like save the attachements.";
  const std::optional<std::wstring> chosen = shell->BrowseForFolder(request);
  answer.join();
  EXPECT_FALSE(chosen.has_value());
  EXPECT_FALSE(mainEnabled);
  EXPECT_TRUE(IsWindowEnabled(Main()));
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_NEAR((dialogRect.left + dialogRect.right) / 2, (area.left + area.right) / 2, 2);
  EXPECT_NEAR((dialogRect.top + dialogRect.bottom) / 2, (area.top + area.bottom) / 2, 2);
}

}  // namespace
}  // namespace ostrevin
