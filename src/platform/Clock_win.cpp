// Clock_win.cpp - the Clock port over the system's tick counter.
#include "platform/Win32Adapters.h"
#include "platform/WinApi_win.h"

namespace ostrevin {

namespace {

class Win32Clock : public Clock {
 public:
  std::uint32_t TickCount() const override { return GetTickCount(); }
};

}  // namespace

std::unique_ptr<Clock> MakeWin32Clock() { return std::make_unique<Win32Clock>(); }

}  // namespace ostrevin
