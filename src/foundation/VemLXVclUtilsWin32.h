// VemLXVclUtilsWin32.h - the Win32 adapter of the UserInterface port.
//
// Win32Platform installs it; the window utilities' start-up then installs
// the windowed busy hooks over it (InstallWindowedBusyHooks):
//
//   std::unique_ptr<UserInterface> ui = MakeWin32UserInterface();
//   ScopedPort<UserInterface> install(*ui);
#pragma once

#include <memory>

#include "platform/UserInterface.h"

namespace ostrevin {

// The window class of the flash windows.
inline constexpr const wchar_t* kFlashWindowClassName = L"TVemFlashForm";

// The thread that calls this is the program's main thread for IsMainThread.
std::unique_ptr<UserInterface> MakeWin32UserInterface();

}  // namespace ostrevin
