// WindowPorts_win.cpp - installs the Win32 adapters of the ports that show the program's windows.
#include "app/WindowPorts_win.h"

#include "forms/Shell_win.h"
#include "outlook/OutlookSyncSettingsFrm_win.h"
#include "platform/Ports.h"
#include "progress/VemLXCancelableFrm_win.h"

namespace ostrevin {

struct Win32WindowPorts::Adapters {
  std::unique_ptr<CancelableWindows> Progress = MakeWin32CancelableWindows();
  std::unique_ptr<OutlookSyncWindows> OutlookSync = MakeWin32OutlookSyncWindows();
  std::unique_ptr<Shell> Dialogs = MakeWin32Shell();

  ScopedPort<CancelableWindows> ProgressPort{*Progress};
  ScopedPort<OutlookSyncWindows> OutlookSyncPort{*OutlookSync};
  ScopedPort<Shell> DialogsPort{*Dialogs};
};

Win32WindowPorts::Win32WindowPorts() : FAdapters(std::make_unique<Adapters>()) {}

Win32WindowPorts::~Win32WindowPorts() = default;

}  // namespace ostrevin
