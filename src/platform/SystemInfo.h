// SystemInfo.h - port: the machine's system information.
//
// Two readings of the platform's system information: the native one, which
// describes the machine even to a program that runs emulated (a 32-bit
// program on 64-bit Windows), and the ordinary one, which describes the
// machine as the program sees it.
#pragma once

#include <cstdint>
#include <optional>

namespace ostrevin {

// Processor architectures by the platform's numbers.
enum class ProcessorArchitecture : std::uint16_t {
  Intel = 0,  // x86
  Arm = 5,
  IA64 = 6,
  AMD64 = 9,  // x64
  Arm64 = 12,
  Unknown = 0xFFFF,
};

// The fields of the platform's system information record that the system
// keeps.
struct TSystemInfo {
  ProcessorArchitecture FProcessorArchitecture = ProcessorArchitecture::Unknown;
  std::uint32_t FPageSize = 0;
  std::uint32_t FNumberOfProcessors = 0;
  std::uint32_t FAllocationGranularity = 0;
  std::uint16_t FProcessorLevel = 0;
  std::uint16_t FProcessorRevision = 0;
};

class SystemInfo {
 public:
  static constexpr const wchar_t* kPortName = L"SystemInfo";
  virtual ~SystemInfo() = default;
  // The native system information; nothing when the platform cannot give it
  // (a system that predates the call, or a call that fails).
  virtual std::optional<TSystemInfo> NativeSystemInfo() const = 0;
  // The system information as the running program sees it.
  virtual TSystemInfo OrdinarySystemInfo() const = 0;
};

}  // namespace ostrevin
