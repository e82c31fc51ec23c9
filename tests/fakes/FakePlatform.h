// FakePlatform.h - every in-memory port, installed for the lifetime of a test.
//
//   class MyTest : public ::testing::Test {
//    protected:
//     FakePlatform platform;   // platform.Files, platform.Registry, ...
//   };
#pragma once

#include "fakes/FakeAnsiCodePage.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeEnvironment.h"
#include "fakes/FakeExtendedMapi.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeKeyboardLayout.h"
#include "fakes/FakeRegistryStore.h"
#include "fakes/FakeSystemInfo.h"
#include "fakes/FakeUserInterface.h"
#include "platform/Ports.h"

namespace ostrevin {

struct FakePlatform {
  FakeRegistryStore Registry;
  FakeFileSystem Files;
  FakeModules Modules;
  FakeEnvironment Environment;
  FakeAnsiCodePage Ansi;
  FakeSystemInfo System;
  FakeUserInterface Screen;
  FakeKeyboardLayout Keyboard;
  FakeExtendedMapi Mapi;
  FakeClock Ticks;

 private:
  ScopedPort<RegistryStore> FRegistryPort{Registry};
  ScopedPort<FileSystem> FFilesPort{Files};
  ScopedPort<ostrevin::Modules> FModulesPort{Modules};
  ScopedPort<ostrevin::Environment> FEnvironmentPort{Environment};
  ScopedPort<AnsiCodePage> FAnsiPort{Ansi};
  ScopedPort<SystemInfo> FSystemPort{System};
  ScopedPort<UserInterface> FScreenPort{Screen};
  ScopedPort<KeyboardLayout> FKeyboardPort{Keyboard};
  ScopedPort<ExtendedMapi> FMapiPort{Mapi};
  ScopedPort<Clock> FTicksPort{Ticks};
};

}  // namespace ostrevin
