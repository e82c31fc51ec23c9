// ShellDropTargetWinTest_win.cpp - the drop target on a real window under OLE, dragged onto by dragsource.exe.
#include "dragdrop/VemFxShellDragDrop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Ports.h"
#include "platform/Win32Adapters.h"
#include "foundation/ExceptionDisplay.h"
#include "foundation/VemSysUtils.h"
#include "platform/OleError.h"
#include "platform/Win32Error.h"
#include "platform/WinApi_win.h"

#include <ole2.h>

namespace ostrevin {
namespace {

constexpr const wchar_t* kCaption = L"Ostrevin drop test";
constexpr DWORD kToolLimitMilliseconds = 60000;

// A visible top-level window with the test caption.
class TTestWindow {
 public:
  TTestWindow() {
    static const ATOM windowClass = [] {
      WNDCLASSW description{};
      description.lpfnWndProc = DefWindowProcW;
      description.hInstance = GetModuleHandleW(nullptr);
      description.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      description.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
      description.lpszClassName = L"OstrevinDropTestWindow";
      return RegisterClassW(&description);
    }();
    FWindow = CreateWindowExW(0, MAKEINTATOM(windowClass), kCaption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200,
                              480, 320, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (FWindow == nullptr) RaiseLastOSError();
    UpdateWindow(FWindow);
    SetForegroundWindow(FWindow);
  }
  ~TTestWindow() { DestroyWindow(FWindow); }
  TTestWindow(const TTestWindow&) = delete;
  TTestWindow& operator=(const TTestWindow&) = delete;

  WindowHandle Handle() const { return reinterpret_cast<WindowHandle>(FWindow); }

 private:
  HWND FWindow;
};

// The tool's path as this process sees it: a path of the Linux host (under
// Wine) is on drive Z:.
std::wstring DragSourcePath() {
  std::wstring path = OSTREVIN_DRAGSOURCE_PATH;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path.starts_with(L'\\') ? L"Z:" + path : path;
}

struct ToolRun {
  DWORD ExitCode = 0;
  std::string Output;
};

// Runs dragsource.exe with `arguments`, dispatching this thread's messages
// (OLE's calls into the drop target arrive through them) until it ends.
ToolRun RunDragSource(const std::wstring& arguments) {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) RaiseLastOSError();
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::wstring commandLine = L"\"" + DragSourcePath() + L"\" " + arguments;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                      &startup, &process);
  const DWORD startError = GetLastError();
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    RaiseOSError(startError);
  }
  CloseHandle(process.hThread);

  const DWORD limit = GetTickCount() + kToolLimitMilliseconds;
  for (;;) {
    const DWORD wait = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 100, QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0) break;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (static_cast<LONG>(GetTickCount() - limit) >= 0) {
      TerminateProcess(process.hProcess, 99);
      WaitForSingleObject(process.hProcess, INFINITE);
      break;
    }
  }
  ToolRun run;
  GetExitCodeProcess(process.hProcess, &run.ExitCode);
  CloseHandle(process.hProcess);

  char buffer[512];
  DWORD count = 0;
  while (ReadFile(readEnd, buffer, sizeof(buffer), &count, nullptr) && count > 0) run.Output.append(buffer, count);
  CloseHandle(readEnd);
  while (!run.Output.empty() && (run.Output.back() == '\n' || run.Output.back() == '\r')) run.Output.pop_back();
  return run;
}

// Writes each call into the log ("DragEnter(1)", effect as given); a run of
// DragOver calls is written once.
class TRecordingHandler : public TShellDropHandler {
 public:
  explicit TRecordingHandler(std::vector<std::wstring>& log) : FLog(log) {}

  bool DragEnter(DataObject& dataObject, std::uint32_t, std::uint32_t& effect) override {
    Record(L"DragEnter(" + std::to_wstring(effect) + L")");
    if (RaiseInDragEnter) throw EVemGeneralError(L"Outlook is not running");
    return HasRenPrivateSourceFolder(dataObject);
  }
  void DragOver(std::uint32_t, std::uint32_t& effect) override {
    Record(L"DragOver(" + std::to_wstring(effect) + L")");
  }
  void DragLeave() override { Record(L"DragLeave"); }
  void Drop(DataObject& dataObject, std::uint32_t, std::uint32_t& effect) override {
    // The data object is still readable during the drop.
    Record(L"Drop(" + std::to_wstring(effect) + (HasRenPrivateSourceFolder(dataObject) ? L", Outlook)" : L")"));
    if (DropMilliseconds > 0) Sleep(DropMilliseconds);
  }

  bool RaiseInDragEnter = false;
  DWORD DropMilliseconds = 0;  // how long Drop keeps the drag source waiting

 private:
  void Record(const std::wstring& entry) {
    if (FLog.empty() || FLog.back() != entry) FLog.push_back(entry);
  }
  std::vector<std::wstring>& FLog;
};

class ShellDropTargetWin : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeVemFxShellDragDrop();
    auto handler = std::make_unique<TRecordingHandler>(Log);
    Handler = handler.get();
    RegisterDropHandler(std::move(handler));
    FPreviousRoutine = SetShowExceptionRoutine(
        [this](const std::exception& e) { Shown.push_back(ExceptionClassName(e) + L": " + ExceptionMessage(e)); });
  }
  void TearDown() override {
    FinalizeVemFxShellDragDrop();
    SetShowExceptionRoutine(FPreviousRoutine);
  }

  static std::wstring DragOnto(const std::wstring& options) {
    return L"--window \"" + std::wstring(kCaption) + L"\" --timeout 20 " + options;
  }

  const std::unique_ptr<DragDrop> dragDrop = MakeWin32DragDrop();
  const ScopedPort<DragDrop> dragDropPort{*dragDrop};
  TTestWindow window;
  TRecordingHandler* Handler = nullptr;
  std::vector<std::wstring> Log;
  std::vector<std::wstring> Shown;

 private:
  ShowExceptionRoutine FPreviousRoutine;
};

TEST_F(ShellDropTargetWin, DragFromOutlookIsTakenAndDropped) {
  TShellDropTarget target(window.Handle());
  const ToolRun run = RunDragSource(DragOnto(L"--format CF_TEXT --format RenPrivateSourceFolder --format CF_HDROP"));
  EXPECT_EQ(run.ExitCode, 0u);
  EXPECT_EQ(run.Output, "effect=1 feedback=1 dropped=yes result=drop");
  EXPECT_EQ(Log, (std::vector<std::wstring>{L"DragEnter(1)", L"DragOver(1)", L"Drop(1, Outlook)"}));
  EXPECT_EQ(ActiveDropHandler(), nullptr);
  EXPECT_TRUE(Shown.empty());
}

TEST_F(ShellDropTargetWin, OtherDataIsRefusedAndNeverDropped) {
  TShellDropTarget target(window.Handle());
  const ToolRun run = RunDragSource(DragOnto(L"--format FileGroupDescriptorW --format CF_UNICODETEXT"));
  EXPECT_EQ(run.ExitCode, 0u);
  EXPECT_EQ(run.Output, "effect=0 feedback=0 dropped=no result=drop");
  EXPECT_EQ(Log, std::vector<std::wstring>{L"DragEnter(1)"});
}

TEST_F(ShellDropTargetWin, LeavingTheWindowEndsTheDragWithoutDrop) {
  TShellDropTarget target(window.Handle());
  const ToolRun run = RunDragSource(DragOnto(L"--format RenPrivateSourceFolder --leave"));
  EXPECT_EQ(run.ExitCode, 0u);
  EXPECT_EQ(run.Output, "effect=0 feedback=0 dropped=no result=cancel");
  EXPECT_EQ(Log, (std::vector<std::wstring>{L"DragEnter(1)", L"DragOver(1)", L"DragLeave"}));
  EXPECT_EQ(ActiveDropHandler(), nullptr);
}

TEST_F(ShellDropTargetWin, ExceptionInAHandlerIsShownAndTheDragRefused) {
  TShellDropTarget target(window.Handle());
  Handler->RaiseInDragEnter = true;
  const ToolRun run = RunDragSource(DragOnto(L"--format RenPrivateSourceFolder"));
  EXPECT_EQ(run.ExitCode, 0u);
  EXPECT_EQ(run.Output, "effect=0 feedback=0 dropped=no result=drop");
  // Wine asks a target whose DragEnter failed again at every move; each
  // failure is shown, and nothing else reaches the handler.
  ASSERT_FALSE(Shown.empty());
  for (const std::wstring& shown : Shown) EXPECT_EQ(shown, L"EVemGeneralError: Outlook is not running");
  EXPECT_EQ(Log, std::vector<std::wstring>{L"DragEnter(1)"});
  EXPECT_EQ(ActiveDropHandler(), nullptr);
}

TEST_F(ShellDropTargetWin, DragSourceGivesUpOnADropThatDoesNotReturn) {
  TShellDropTarget target(window.Handle());
  Handler->DropMilliseconds = 4000;
  const ToolRun run = RunDragSource(L"--window \"" + std::wstring(kCaption) +
                                    L"\" --timeout 1 --format RenPrivateSourceFolder");
  EXPECT_EQ(run.ExitCode, 3u);
  EXPECT_EQ(run.Output, "effect=0 feedback=-1 dropped=no result=timeout");
  ASSERT_FALSE(Log.empty());
  EXPECT_EQ(Log.back(), L"Drop(1, Outlook)");
}

TEST_F(ShellDropTargetWin, RevokedWindowRefusesDrags) {
  { TShellDropTarget target(window.Handle()); }
  const ToolRun run = RunDragSource(DragOnto(L"--format RenPrivateSourceFolder"));
  EXPECT_EQ(run.ExitCode, 0u);
  EXPECT_EQ(run.Output, "effect=0 feedback=0 dropped=no result=drop");
  EXPECT_TRUE(Log.empty());
}

TEST_F(ShellDropTargetWin, RegistrationErrorsRaiseTheOleError) {
  // DRAGDROP_E_ALREADYREGISTERED while registered; after the revoke the
  // window registers again.
  {
    TShellDropTarget target(window.Handle());
    try {
      TShellDropTarget second(window.Handle());
      ADD_FAILURE() << "registered twice";
    } catch (const EOleSysError& e) {
      EXPECT_EQ(static_cast<std::uint32_t>(e.ErrorCode()), 0x80040101u);
    }
  }
  EXPECT_NO_THROW(TShellDropTarget again(window.Handle()));

  HWND destroyed = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(destroyed);
  try {
    TShellDropTarget gone(reinterpret_cast<WindowHandle>(destroyed));
    ADD_FAILURE() << "registered a destroyed window";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(static_cast<std::uint32_t>(e.ErrorCode()), 0x80040102u);  // DRAGDROP_E_INVALIDHWND
  }
}

TEST_F(ShellDropTargetWin, MissingWindowEndsTheToolWithCodeTwo) {
  const ToolRun run = RunDragSource(L"--window \"No such window\" --timeout 1");
  EXPECT_EQ(run.ExitCode, 2u);
  EXPECT_EQ(run.Output, "");
}

TEST(DragDropWin, RegisteredFormatNamesThroughThePlatform) {
  const std::unique_ptr<DragDrop> dragDrop = MakeWin32DragDrop();
  const ScopedPort<DragDrop> dragDropPort{*dragDrop};
  const UINT registered = RegisterClipboardFormatW(L"Ostrevin Test Format \u00E4\u4E2D");
  ASSERT_NE(registered, 0u);
  EXPECT_EQ(ClipboardFormatName(static_cast<std::uint16_t>(registered)), L"Ostrevin Test Format \u00E4\u4E2D");
  EXPECT_EQ(Current<DragDrop>().RegisteredClipboardFormatName(1), L"");
  EXPECT_EQ(ClipboardFormatName(1), L"CF_TEXT");
  EXPECT_EQ(ClipboardFormatName(17), L"");

  // Names up to the buffer's 254 characters come back whole.
  const std::wstring longest(254, L'n');
  const UINT longFormat = RegisterClipboardFormatW(longest.c_str());
  ASSERT_NE(longFormat, 0u);
  EXPECT_EQ(ClipboardFormatName(static_cast<std::uint16_t>(longFormat)), longest);
}

TEST(OleError, CarriesTheResultAndTheSystemText) {
  try {
    RaiseOleError(E_NOINTERFACE);
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<std::int32_t>(E_NOINTERFACE));
    // The system's text where it has one (Windows does, Wine does not).
    const std::wstring text = SysErrorMessage(static_cast<std::uint32_t>(E_NOINTERFACE));
    EXPECT_EQ(e.Message(), text.empty() ? L"OLE error 80004002" : text);
    EXPECT_EQ(e.ClassName(), L"EOleSysError");
  }
  // A code the system has no text for.
  EXPECT_EQ(EOleSysError(static_cast<std::int32_t>(0x8004DEADu), L"").Message(), L"OLE error 8004DEAD");
  EXPECT_NO_THROW(OleCheck(S_FALSE));
  EXPECT_THROW(OleCheck(E_FAIL), EOleSysError);
}

}  // namespace
}  // namespace ostrevin
