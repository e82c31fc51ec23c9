// OleError_win.cpp - failing OLE and COM result codes as EOleSysError.
#include "platform/OleError.h"

#include "platform/Win32Error.h"
#include "platform/WinApi_win.h"

namespace ostrevin {

void RaiseOleError(std::int32_t errorCode) {
  throw EOleSysError(errorCode, SysErrorMessage(static_cast<std::uint32_t>(errorCode)));
}

void OleCheck(std::int32_t result) {
  if (FAILED(result)) RaiseOleError(result);
}

}  // namespace ostrevin
