// Win32Error.h - operating-system errors of the Win32 adapters.
//
//   if (!CreateDirectoryW(path, nullptr)) RaiseLastOSError();
#pragma once

#include <cstdint>
#include <string>

namespace ostrevin {

// The system's description of the error code, without a final line break;
// empty when the system has none.
std::wstring SysErrorMessage(std::uint32_t errorCode);

// Raise EOSError "System Error.  Code: %d.\r\n%s" for the code, or for the
// calling thread's last error.
[[noreturn]] void RaiseOSError(std::uint32_t errorCode);
[[noreturn]] void RaiseLastOSError();

}  // namespace ostrevin
