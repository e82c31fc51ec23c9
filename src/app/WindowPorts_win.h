// WindowPorts_win.h - installs the Win32 adapters of the ports that show the program's windows.
//
// These adapters are built on the window base classes, so they come with the
// program rather than with Win32Platform:
//
//   Win32Platform platform;
//   Win32WindowPorts windows;   // progress windows, the Outlook settings window, the folder browser
#pragma once

#include <memory>

namespace ostrevin {

class Win32WindowPorts {
 public:
  Win32WindowPorts();
  ~Win32WindowPorts();
  Win32WindowPorts(const Win32WindowPorts&) = delete;
  Win32WindowPorts& operator=(const Win32WindowPorts&) = delete;

 private:
  struct Adapters;
  std::unique_ptr<Adapters> FAdapters;
};

}  // namespace ostrevin
