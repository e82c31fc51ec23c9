// EmptyParam.cpp - the shared value for an omitted automation parameter.
#include "foundation/EmptyParam.h"

#include "foundation/VemSysUtils.h"

namespace ostrevin {

namespace {

constexpr TAutomationError kOmitted{kVtError, kDispEParamNotFound};

void CheckEmptyParam(const wchar_t* message) {
  TAutomationError& value = EmptyParam();
  if (value == kOmitted) return;
  value = kOmitted;
  throw Exception(message);
}

}  // namespace

TAutomationError& EmptyParam() noexcept {
  static TAutomationError value = kOmitted;
  return value;
}

void CheckEmptyParamBefore() { CheckEmptyParam(L"Internal Error: EmptyParam is invalid."); }

void CheckEmptyParamAfter() { CheckEmptyParam(L"Internal Error: EmptyParam is no longer valid."); }

}  // namespace ostrevin
