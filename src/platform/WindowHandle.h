// WindowHandle.h - a window as the portable code sees it.
#pragma once

#include <cstdint>

namespace ostrevin {

// A window as the platform identifies it (its HWND), opaque to the portable
// code; 0 is none.
using WindowHandle = std::uintptr_t;

}  // namespace ostrevin
