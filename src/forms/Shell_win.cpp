// Shell_win.cpp - the Shell port over the Win32 shell's dialogs.
#include "forms/Shell_win.h"

#include <shlobj.h>

#include <vector>

#include "forms/Forms_win.h"

namespace ostrevin {

namespace {

// Disables the thread's enabled, visible top-level windows for its lifetime
// (the dialog itself disables only its owner).
class TDisabledWindows {
 public:
  TDisabledWindows() : FWindows(DisableThreadWindows(nullptr)) {}
  ~TDisabledWindows() { EnableWindows(FWindows); }
  TDisabledWindows(const TDisabledWindows&) = delete;
  TDisabledWindows& operator=(const TDisabledWindows&) = delete;

 private:
  std::vector<HWND> FWindows;
};

// The critical-error boxes of the system (a drive without a disk) stay away
// for the object's lifetime.
class TQuietErrorMode {
 public:
  TQuietErrorMode() : FPrevious(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~TQuietErrorMode() { SetErrorMode(FPrevious); }
  TQuietErrorMode(const TQuietErrorMode&) = delete;
  TQuietErrorMode& operator=(const TQuietErrorMode&) = delete;

 private:
  UINT FPrevious;
};

HWND MainWindow() {
  if (!HasApplication() || Application().MainForm() == nullptr) return nullptr;
  return Application().MainForm()->Handle();
}

// The program to the front: its main window restored and in the foreground.
void BringApplicationToFront(HWND mainWindow) {
  if (mainWindow == nullptr) return;
  if (IsIconic(mainWindow)) ShowWindow(mainWindow, SW_RESTORE);
  SetForegroundWindow(mainWindow);
}

void CentreOnMonitorOf(HWND dialog, HWND window) {
  const HMONITOR monitor = MonitorFromWindow(window != nullptr ? window : dialog, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  RECT rect{};
  if (!GetMonitorInfoW(monitor, &info) || !GetWindowRect(dialog, &rect)) return;
  const RECT& area = info.rcWork;
  const int left = area.left + (area.right - area.left - (rect.right - rect.left)) / 2;
  const int top = area.top + (area.bottom - area.top - (rect.bottom - rect.top)) / 2;
  SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

class Win32Shell final : public Shell {
 public:
  std::optional<std::wstring> BrowseForFolder(const TFolderBrowseRequest& request) override {
    const HWND owner = MainWindow();
    BringApplicationToFront(owner);
    TFolderBrowseState state{request.InitialFolder, owner};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = request.Caption.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX | BIF_SHAREABLE | BIF_BROWSEINCLUDEFILES |
                   BIF_VALIDATE;
    info.lpfn = BrowseForFolderCallback;
    info.lParam = reinterpret_cast<LPARAM>(&state);
    PIDLIST_ABSOLUTE chosen = nullptr;
    {
      TDisabledWindows disabled;
      TQuietErrorMode quiet;
      chosen = SHBrowseForFolderW(&info);
    }
    if (chosen == nullptr) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    const bool isPath = SHGetPathFromIDListW(chosen, path) != FALSE;
    CoTaskMemFree(chosen);
    if (!isPath) return std::nullopt;
    return std::wstring(path);
  }
};

}  // namespace

int CALLBACK BrowseForFolderCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data) {
  const auto* state = reinterpret_cast<const TFolderBrowseState*>(data);
  switch (message) {
    case BFFM_INITIALIZED:
      CentreOnMonitorOf(dialog, state->CentreOn);
      if (!state->InitialFolder.empty())
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(state->InitialFolder.c_str()));
      return 0;
    case BFFM_VALIDATEFAILEDW: {
      const std::wstring text = L"\"" + std::wstring(reinterpret_cast<const wchar_t*>(lParam)) + L"\" is an invalid path";
      MessageBoxW(dialog, text.c_str(), nullptr, MB_OK | MB_ICONERROR);
      return 1;  // the dialog stays open
    }
    default:
      return 0;
  }
}

std::unique_ptr<Shell> MakeWin32Shell() { return std::make_unique<Win32Shell>(); }

}  // namespace ostrevin
