// VemLXCancelableFrm_win.h - the Win32 windows of the cancelable progress message.
//
// The program installs the adapter with the other window adapters:
//
//   std::unique_ptr<CancelableWindows> windows = MakeWin32CancelableWindows();
//   ScopedPort<CancelableWindows> install(*windows);
#pragma once

#include <memory>

#include "progress/CancelableWindow.h"

namespace ostrevin {

// The window class of the progress windows.
inline constexpr const wchar_t* kCancelableFormClassName = L"TVemCancelableForm";

// Registers the window's design; the windows need the application object.
std::unique_ptr<CancelableWindows> MakeWin32CancelableWindows();

}  // namespace ostrevin
