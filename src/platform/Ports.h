// Ports.h - the process's current implementation of each platform port.
//
// A port is an abstract class shaped after one platform service. The process
// holds one current implementation of each: the program installs the Win32
// adapters at start-up, a test installs fakes. Installation borrows:
//
//   FakeFileSystem files;
//   ScopedPort<FileSystem> install(files);
//   Current<FileSystem>().FileExists(L"C:\\a.txt");
//
// Every port class names itself with `static constexpr const wchar_t* kPortName`.
#pragma once

#include <string>

#include "foundation/VemSysUtils.h"

namespace ostrevin {

template <class Port>
Port*& PortSlot() noexcept {
  static Port* slot = nullptr;
  return slot;
}

// The installed implementation. Using a port that nothing installed is a
// programming error and raises EVemInternalError.
template <class Port>
Port& Current() {
  Port* port = PortSlot<Port>();
  if (port == nullptr)
    throw EVemInternalError(std::wstring(L"Internal Error: ") + Port::kPortName + L" not assigned.");
  return *port;
}

// Installs `port` for its lifetime and puts the previous one back after.
template <class Port>
class ScopedPort {
 public:
  explicit ScopedPort(Port& port) noexcept : FPrevious(PortSlot<Port>()) { PortSlot<Port>() = &port; }
  ~ScopedPort() { PortSlot<Port>() = FPrevious; }
  ScopedPort(const ScopedPort&) = delete;
  ScopedPort& operator=(const ScopedPort&) = delete;

 private:
  Port* FPrevious;
};

}  // namespace ostrevin
