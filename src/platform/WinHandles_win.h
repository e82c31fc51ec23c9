// WinHandles_win.h - move-only owners of Win32 handles.
//
// One template with a traits type per kind of handle:
//
//   UniqueHandle<RegKeyTraits> key(opened);   // RegCloseKey when it goes
//   HKEY raw = key.Get();
//
// Closing keeps GetLastError() intact, so an error code read after a failed
// call is not lost when owners unwind.
#pragma once

#include <utility>

#include "platform/WinApi_win.h"

namespace ostrevin {

template <class Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle handle) noexcept : FHandle(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : FHandle(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  Handle Get() const noexcept { return FHandle; }
  explicit operator bool() const noexcept { return FHandle != Traits::Invalid(); }
  [[nodiscard]] Handle Release() noexcept { return std::exchange(FHandle, Traits::Invalid()); }
  void Reset(Handle handle = Traits::Invalid()) noexcept {
    if (FHandle != Traits::Invalid()) {
      const DWORD error = GetLastError();
      Traits::Close(FHandle);
      SetLastError(error);
    }
    FHandle = handle;
  }

 private:
  Handle FHandle = Traits::Invalid();
};

struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { RegCloseKey(h); }
};

struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { CloseHandle(h); }
};

// Kernel handles that are null when there is none: processes, threads, events.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { CloseHandle(h); }
};

struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { FreeLibrary(h); }
};

using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;

}  // namespace ostrevin
