// Win32Platform_win.cpp - installs the Win32 adapter of every port.
#include "platform/Win32Platform.h"

#include "platform/Ports.h"
#include "platform/Win32Adapters.h"

namespace ostrevin {

struct Win32Platform::Adapters {
  std::unique_ptr<RegistryStore> Registry = MakeWin32RegistryStore();
  std::unique_ptr<FileSystem> Files = MakeWin32FileSystem();
  std::unique_ptr<Modules> Loader = MakeWin32Modules();
  std::unique_ptr<Environment> Variables = MakeWin32Environment();
  std::unique_ptr<AnsiCodePage> Ansi = MakeWin32AnsiCodePage();

  ScopedPort<RegistryStore> RegistryPort{*Registry};
  ScopedPort<FileSystem> FilesPort{*Files};
  ScopedPort<Modules> LoaderPort{*Loader};
  ScopedPort<Environment> VariablesPort{*Variables};
  ScopedPort<AnsiCodePage> AnsiPort{*Ansi};
};

Win32Platform::Win32Platform() : FAdapters(std::make_unique<Adapters>()) {}

Win32Platform::~Win32Platform() = default;

}  // namespace ostrevin
