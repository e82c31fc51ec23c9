// FakeClock.h - a tick counter that moves only when a test moves it.
#pragma once

#include <cstdint>

#include "platform/Clock.h"

namespace ostrevin {

class FakeClock : public Clock {
 public:
  std::uint32_t TickCount() const override { return Now; }
  void Advance(std::uint32_t milliseconds) { Now += milliseconds; }

  // Starts close to the wrap of the 32-bit counter, which must be no error.
  std::uint32_t Now = 0xFFFFFE00u;
};

}  // namespace ostrevin
