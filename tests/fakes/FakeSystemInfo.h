// FakeSystemInfo.h - an in-memory SystemInfo port for native tests.
//
// It describes an x64 machine with a native reading until a test says
// otherwise.
#pragma once

#include <optional>

#include "platform/SystemInfo.h"

namespace ostrevin {

class FakeSystemInfo : public SystemInfo {
 public:
  std::optional<TSystemInfo> NativeSystemInfo() const override { return FNative; }
  TSystemInfo OrdinarySystemInfo() const override { return FOrdinary; }

  // Set-up: nothing as the native reading is a platform without one.
  void SetNative(std::optional<TSystemInfo> info) { FNative = info; }
  void SetOrdinary(TSystemInfo info) { FOrdinary = info; }
  void SetNativeArchitecture(ProcessorArchitecture architecture) { FNative = Machine(architecture); }

  static TSystemInfo Machine(ProcessorArchitecture architecture) {
    TSystemInfo info;
    info.FProcessorArchitecture = architecture;
    info.FPageSize = 4096;
    info.FNumberOfProcessors = 2;
    info.FAllocationGranularity = 65536;
    return info;
  }

 private:
  std::optional<TSystemInfo> FNative = Machine(ProcessorArchitecture::AMD64);
  TSystemInfo FOrdinary = Machine(ProcessorArchitecture::AMD64);
};

}  // namespace ostrevin
