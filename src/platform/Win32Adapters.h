// Win32Adapters.h - the Win32 adapters of the platform ports.
//
// Each adapter is thin: it converts arguments, calls the platform and turns a
// failure into the port's result or the system's exception at the call.
// Win32Platform installs them all.
#pragma once

#include <memory>

#include "platform/AnsiCodePage.h"
#include "platform/Clock.h"
#include "platform/DragDrop.h"
#include "platform/Environment.h"
#include "platform/ExtendedMapi.h"
#include "platform/FileSystem.h"
#include "platform/KeyboardLayout.h"
#include "platform/Modules.h"
#include "platform/OutlookObjectModel.h"
#include "platform/RegistryStore.h"
#include "platform/SystemInfo.h"

namespace ostrevin {

std::unique_ptr<RegistryStore> MakeWin32RegistryStore();
std::unique_ptr<FileSystem> MakeWin32FileSystem();
std::unique_ptr<Modules> MakeWin32Modules();
std::unique_ptr<Environment> MakeWin32Environment();
std::unique_ptr<AnsiCodePage> MakeWin32AnsiCodePage();
std::unique_ptr<SystemInfo> MakeWin32SystemInfo();
std::unique_ptr<Clock> MakeWin32Clock();
// OLE drag and drop. A registration initialises OLE on the calling thread,
// which must be the window's thread and a single-threaded apartment (or not
// yet initialised for COM); a thread in the multi-threaded apartment cannot
// register and gets EOleSysError.
std::unique_ptr<DragDrop> MakeWin32DragDrop();
// The layout of the calling thread, asked at every call, so a layout the
// user switches to while the program runs is the one used.
std::unique_ptr<KeyboardLayout> MakeWin32KeyboardLayout();
// Outlook through late-bound COM; each connection initialises COM on the
// calling thread as a single-threaded apartment while its objects live.
std::unique_ptr<OutlookServer> MakeWin32OutlookServer();
// MAPI32.DLL loaded at run time, its functions found by name.
std::unique_ptr<ExtendedMapi> MakeWin32ExtendedMapi();

}  // namespace ostrevin
