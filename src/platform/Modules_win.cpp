// Modules_win.cpp - the Modules port over the Win32 loader and version API.
#include "platform/Win32Adapters.h"

#include "platform/WinHandles_win.h"

namespace ostrevin {

namespace {

// The module's file name; empty when the loader has none.
std::wstring ModuleFileName(HMODULE module) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return buffer.substr(0, length);
    buffer.resize(buffer.size() * 2);
  }
}

class Win32Modules : public Modules {
 public:
  std::wstring ExecutableFileName() const override { return ModuleFileName(nullptr); }

  std::wstring DataModuleFileName(std::wstring_view moduleName) const override {
    const std::wstring name(moduleName);
    UniqueModule module(LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) return {};
    std::wstring fileName = ModuleFileName(module.Get());
    // A module mapped only as data has no loader entry, and so no file name,
    // unless the process had loaded it already; then its loaded image names it.
    if (fileName.empty()) fileName = ModuleFileName(GetModuleHandleW(name.c_str()));
    return fileName;
  }

  std::vector<std::uint8_t> VersionResource(std::wstring_view fileName) const override {
    const std::wstring name(fileName);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(name.c_str(), &handle);
    std::vector<std::uint8_t> block(size);
    if (size == 0 || !GetFileVersionInfoW(name.c_str(), 0, size, block.data())) block.clear();
    return block;
  }
};

class Win32Environment : public Environment {
 public:
  std::optional<std::wstring> Variable(std::wstring_view name) const override {
    const std::wstring variable(name);
    std::wstring buffer(256, L'\0');
    for (;;) {
      SetLastError(ERROR_SUCCESS);
      const DWORD length = GetEnvironmentVariableW(variable.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
      if (length == 0)
        return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt : std::optional<std::wstring>(L"");
      if (length < buffer.size()) return buffer.substr(0, length);
      buffer.resize(length);
    }
  }
};

class Win32AnsiCodePage : public AnsiCodePage {
 public:
  std::string FromWide(std::wstring_view text) const override {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
  }

  std::wstring ToWide(std::string_view bytes) const override {
    if (bytes.empty()) return {};
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), size);
    return text;
  }
};

}  // namespace

std::unique_ptr<Modules> MakeWin32Modules() { return std::make_unique<Win32Modules>(); }
std::unique_ptr<Environment> MakeWin32Environment() { return std::make_unique<Win32Environment>(); }
std::unique_ptr<AnsiCodePage> MakeWin32AnsiCodePage() { return std::make_unique<Win32AnsiCodePage>(); }

}  // namespace ostrevin
