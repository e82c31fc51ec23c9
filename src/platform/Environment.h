// Environment.h - port: the process's environment variables.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ostrevin {

class Environment {
 public:
  static constexpr const wchar_t* kPortName = L"Environment";
  virtual ~Environment() = default;
  // The variable's value; nothing when it is not set.
  virtual std::optional<std::wstring> Variable(std::wstring_view name) const = 0;
};

}  // namespace ostrevin
