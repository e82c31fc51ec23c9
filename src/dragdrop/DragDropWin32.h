// DragDropWin32.h - the OLE adapter of the DragDrop port.
//
// The program installs it before it creates a drop target:
//
//   Win32DragDropPort dragDrop;   // Current<DragDrop>() is OLE now
//   auto target = std::make_unique<TShellDropTarget>(reinterpret_cast<WindowHandle>(hwnd));
//
// Registrations made through it initialise OLE on the calling thread, which
// must be the window's thread and a single-threaded apartment (or not yet
// initialised for COM); a thread in the multi-threaded apartment cannot
// register and gets EOleSysError.
#pragma once

#include <memory>

#include "platform/DragDrop.h"
#include "platform/Ports.h"

namespace ostrevin {

std::unique_ptr<DragDrop> MakeWin32DragDrop();

// Makes the adapter and installs it for its lifetime.
class Win32DragDropPort {
 public:
  Win32DragDropPort() : FAdapter(MakeWin32DragDrop()), FPort(*FAdapter) {}
  Win32DragDropPort(const Win32DragDropPort&) = delete;
  Win32DragDropPort& operator=(const Win32DragDropPort&) = delete;

 private:
  std::unique_ptr<DragDrop> FAdapter;
  ScopedPort<DragDrop> FPort;
};

}  // namespace ostrevin
