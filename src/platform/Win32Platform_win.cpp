// Win32Platform_win.cpp - installs the Win32 adapter of every port.
#include "platform/Win32Platform.h"

#include "foundation/VemLXVclUtilsWin32.h"
#include "platform/Ports.h"
#include "platform/Win32Adapters.h"

namespace ostrevin {

struct Win32Platform::Adapters {
  std::unique_ptr<RegistryStore> Registry = MakeWin32RegistryStore();
  std::unique_ptr<FileSystem> Files = MakeWin32FileSystem();
  std::unique_ptr<Modules> Loader = MakeWin32Modules();
  std::unique_ptr<Environment> Variables = MakeWin32Environment();
  std::unique_ptr<AnsiCodePage> Ansi = MakeWin32AnsiCodePage();
  std::unique_ptr<SystemInfo> System = MakeWin32SystemInfo();
  std::unique_ptr<Clock> Ticks = MakeWin32Clock();
  std::unique_ptr<KeyboardLayout> Keyboard = MakeWin32KeyboardLayout();
  std::unique_ptr<DragDrop> Dragging = MakeWin32DragDrop();
  std::unique_ptr<OutlookServer> Outlook = MakeWin32OutlookServer();
  std::unique_ptr<ExtendedMapi> Mapi = MakeWin32ExtendedMapi();
  // Made on the thread that makes the platform: the main thread.
  std::unique_ptr<UserInterface> Screen = MakeWin32UserInterface();

  ScopedPort<RegistryStore> RegistryPort{*Registry};
  ScopedPort<FileSystem> FilesPort{*Files};
  ScopedPort<Modules> LoaderPort{*Loader};
  ScopedPort<Environment> VariablesPort{*Variables};
  ScopedPort<AnsiCodePage> AnsiPort{*Ansi};
  ScopedPort<SystemInfo> SystemPort{*System};
  ScopedPort<Clock> TicksPort{*Ticks};
  ScopedPort<KeyboardLayout> KeyboardPort{*Keyboard};
  ScopedPort<DragDrop> DraggingPort{*Dragging};
  ScopedPort<OutlookServer> OutlookPort{*Outlook};
  ScopedPort<ExtendedMapi> MapiPort{*Mapi};
  ScopedPort<UserInterface> ScreenPort{*Screen};
};

Win32Platform::Win32Platform() : FAdapters(std::make_unique<Adapters>()) {}

Win32Platform::~Win32Platform() = default;

}  // namespace ostrevin
