// Modules.h - port: executable modules and their version resources.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevin {

class Modules {
 public:
  static constexpr const wchar_t* kPortName = L"Modules";
  virtual ~Modules() = default;
  // The full path of the running executable.
  virtual std::wstring ExecutableFileName() const = 0;
  // Loads the module as a data file (references not resolved), takes its
  // file name and releases it. Empty when it cannot be loaded.
  virtual std::wstring DataModuleFileName(std::wstring_view moduleName) const = 0;
  // The file's whole version resource; empty when it has none or it cannot
  // be read.
  virtual std::vector<std::uint8_t> VersionResource(std::wstring_view fileName) const = 0;
};

}  // namespace ostrevin
