// SystemInfo_win.cpp - the SystemInfo port over GetNativeSystemInfo and GetSystemInfo.
//
// GetNativeSystemInfo is looked up in kernel32 by name, so the program still
// starts on a system that lacks it; there the native reading is nothing.
#include <memory>

#include "platform/SystemInfo.h"
#include "platform/WinApi_win.h"

namespace ostrevin {

namespace {

TSystemInfo FromPlatform(const SYSTEM_INFO& info) {
  TSystemInfo result;
  result.FProcessorArchitecture = static_cast<ProcessorArchitecture>(info.wProcessorArchitecture);
  result.FPageSize = info.dwPageSize;
  result.FNumberOfProcessors = info.dwNumberOfProcessors;
  result.FAllocationGranularity = info.dwAllocationGranularity;
  result.FProcessorLevel = info.wProcessorLevel;
  result.FProcessorRevision = info.wProcessorRevision;
  return result;
}

class Win32SystemInfo : public SystemInfo {
 public:
  std::optional<TSystemInfo> NativeSystemInfo() const override {
    using GetNativeSystemInfoFunction = void(WINAPI*)(LPSYSTEM_INFO);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) return std::nullopt;
    const auto getNative = reinterpret_cast<GetNativeSystemInfoFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "GetNativeSystemInfo")));
    if (getNative == nullptr) return std::nullopt;
    SYSTEM_INFO info{};
    getNative(&info);
    return FromPlatform(info);
  }

  TSystemInfo OrdinarySystemInfo() const override {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return FromPlatform(info);
  }
};

}  // namespace

std::unique_ptr<SystemInfo> MakeWin32SystemInfo() { return std::make_unique<Win32SystemInfo>(); }

}  // namespace ostrevin
