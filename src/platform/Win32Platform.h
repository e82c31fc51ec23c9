// Win32Platform.h - installs the Win32 adapter of every port.
//
// The program and the Wine tests hold one for their lifetime:
//
//   Win32Platform platform;   // Current<RegistryStore>() is now the registry
#pragma once

#include <memory>

namespace ostrevin {

class Win32Platform {
 public:
  Win32Platform();
  ~Win32Platform();
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

 private:
  struct Adapters;
  std::unique_ptr<Adapters> FAdapters;
};

}  // namespace ostrevin
