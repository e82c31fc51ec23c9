// Clock.h - port: the system's millisecond tick counter.
//
// Elapsed times are differences of two readings in 32-bit unsigned
// arithmetic, so the counter's wrap after about 49.7 days is no error:
//
//   const std::uint32_t start = Current<Clock>().TickCount();
//   ...
//   if (Current<Clock>().TickCount() - start > 1000) ...
#pragma once

#include <cstdint>

namespace ostrevin {

class Clock {
 public:
  static constexpr const wchar_t* kPortName = L"Clock";
  virtual ~Clock() = default;
  // Milliseconds since the system started, modulo 2^32.
  virtual std::uint32_t TickCount() const = 0;
};

}  // namespace ostrevin
