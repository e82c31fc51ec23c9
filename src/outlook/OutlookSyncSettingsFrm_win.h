// OutlookSyncSettingsFrm_win.h - the Win32 window of the Outlook sync settings.
//
// The program installs the adapter with the other window adapters:
//
//   std::unique_ptr<OutlookSyncWindows> windows = MakeWin32OutlookSyncWindows();
//   ScopedPort<OutlookSyncWindows> install(*windows);
#pragma once

#include <memory>

#include "outlook/OutlookSyncWindow.h"

namespace ostrevin {

// The window class of the settings window.
inline constexpr const wchar_t* kOutlookSyncFormClassName = L"TZereZirurodAvavLaunchForm";

// Registers the window's design; the windows need the application object.
std::unique_ptr<OutlookSyncWindows> MakeWin32OutlookSyncWindows();

}  // namespace ostrevin
