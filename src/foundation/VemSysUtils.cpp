// VemSysUtils.cpp - the system's exception classes.
#include "foundation/VemSysUtils.h"

#include <utility>

#include "foundation/Format.h"
#include "foundation/TextEncoding.h"

namespace ostrevin {

namespace {
Exception::StackCaptureHook gStackCaptureHook = nullptr;
}  // namespace

Exception::Exception(std::wstring message) : Exception(std::move(message), nullptr) {}

Exception::Exception(std::wstring message, std::exception_ptr inner)
    : FInnerException(std::move(inner)) {
  SetMessage(std::move(message));
  if (gStackCaptureHook != nullptr) FStackInfo = gStackCaptureHook();
}

void Exception::SetMessage(std::wstring message) {
  FWhat = WideToUtf8(message);
  FMessage = std::move(message);
}

void Exception::SetStackCaptureHook(StackCaptureHook hook) noexcept { gStackCaptureHook = hook; }

EOSError::EOSError(std::uint32_t errorCode, std::wstring_view systemText)
    : Exception(Format(L"System Error.  Code: %d.\r\n%s",
                       {static_cast<std::int64_t>(errorCode), systemText})),
      FErrorCode(errorCode) {}

EExtraInfoException::EExtraInfoException(std::wstring message, std::wstring extraInfo)
    : Exception(std::move(message)), FExtraInfo(std::move(extraInfo)) {}

const IExtraErrorInfo* QueryExtraErrorInfo(const std::exception& e) noexcept {
  return dynamic_cast<const IExtraErrorInfo*>(&e);
}

}  // namespace ostrevin
