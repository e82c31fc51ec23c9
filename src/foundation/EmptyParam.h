// EmptyParam.h - the shared value for an omitted automation parameter.
//
// Automation calls pass EmptyParam() for optional arguments they leave out:
// an error value with the code DISP_E_PARAMNOTFOUND. The value is shared by
// the whole process, so a callee that changed it would break every later
// call; the guards around such a call notice and repair that:
//
//   CheckEmptyParamBefore();
//   try { nameSpace.Logon(EmptyParam(), ...); } catch (...) { CheckEmptyParamAfter(); throw; }
//   CheckEmptyParamAfter();
#pragma once

#include <cstdint>

namespace ostrevin {

// An automation error value (VT_ERROR with its code).
struct TAutomationError {
  std::uint16_t VType;
  std::int32_t Code;
  friend bool operator==(const TAutomationError&, const TAutomationError&) = default;
};

inline constexpr std::uint16_t kVtError = 10;
inline constexpr std::int32_t kDispEParamNotFound = static_cast<std::int32_t>(0x80020004u);

// The shared value; automation adapters pass it as an omitted argument.
TAutomationError& EmptyParam() noexcept;

// When EmptyParam no longer holds its value, restore it and raise Exception
// "Internal Error: EmptyParam is invalid." (before the call) or
// "Internal Error: EmptyParam is no longer valid." (after it).
void CheckEmptyParamBefore();
void CheckEmptyParamAfter();

}  // namespace ostrevin
