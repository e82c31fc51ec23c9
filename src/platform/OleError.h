// OleError.h - failing OLE and COM result codes as the system's exception.
//
// EOleSysError carries the failing result; the error report prints it as
// "OLE Exception Code: 0x%0:.8x (%0:d)". The Win32 side raises it at the
// call that failed:
//
//   OleCheck(RegisterDragDrop(window, target));   // EOleSysError when it fails
//
// The class itself is portable, so fakes raise the same exception.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/Format.h"
#include "foundation/VemSysUtils.h"

namespace ostrevin {

class EOleSysError : public Exception {
 public:
  // The message is `systemText`, the system's description of the code, or
  // "OLE error XXXXXXXX" (eight hexadecimal digits) when the system has none.
  EOleSysError(std::int32_t errorCode, std::wstring_view systemText)
      : Exception(systemText.empty()
                      ? Format(L"OLE error %.8x", {static_cast<std::uint64_t>(static_cast<std::uint32_t>(errorCode))})
                      : std::wstring(systemText)),
        FErrorCode(errorCode) {}

  std::wstring_view ClassName() const noexcept override { return L"EOleSysError"; }
  // The failing 32-bit result (an HRESULT: negative for every failure).
  std::int32_t ErrorCode() const noexcept { return FErrorCode; }

 private:
  std::int32_t FErrorCode;
};

// Win32 only (OleError_win.cpp): raises EOleSysError with the system's text
// for the code.
[[noreturn]] void RaiseOleError(std::int32_t errorCode);
// Raises for a failing result (below zero); success codes such as S_FALSE
// pass.
void OleCheck(std::int32_t result);

}  // namespace ostrevin
