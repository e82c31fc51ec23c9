// Win32Error_win.cpp - operating-system errors of the Win32 adapters.
#include "platform/Win32Error.h"

#include "foundation/VemSysUtils.h"
#include "platform/WinApi_win.h"

namespace ostrevin {

std::wstring SysErrorMessage(std::uint32_t errorCode) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
          FORMAT_MESSAGE_ARGUMENT_ARRAY,
      nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer != nullptr ? buffer : L"", length);
  LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  return text;
}

void RaiseOSError(std::uint32_t errorCode) { throw EOSError(errorCode, SysErrorMessage(errorCode)); }

void RaiseLastOSError() { RaiseOSError(GetLastError()); }

}  // namespace ostrevin
