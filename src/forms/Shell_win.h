// Shell_win.h - the Shell port over the Win32 shell's dialogs.
//
// The folder browser belongs to the program's windows: it comes up over the
// main form, which needs the application object, so the adapter lives with
// the window base classes. The program installs it with the window
// adapters:
//
//   std::unique_ptr<Shell> shell = MakeWin32Shell();
//   ScopedPort<Shell> install(*shell);
#pragma once

#include <memory>
#include <string>

#include "platform/Shell.h"
#include "platform/WinApi_win.h"

namespace ostrevin {

std::unique_ptr<Shell> MakeWin32Shell();

// What the folder browser's callback knows of its request.
struct TFolderBrowseState {
  std::wstring InitialFolder;  // empty: select nothing
  HWND CentreOn = nullptr;     // the dialog opens centred on this window's monitor
};

// The folder browser's callback (BFFCALLBACK); its data is a
// TFolderBrowseState. When the dialog opens it centres it and selects the
// initial folder; when a typed path is not valid it shows
// ""<path>" is an invalid path" and keeps the dialog open.
int CALLBACK BrowseForFolderCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data);

}  // namespace ostrevin
