// RegistryStore_win.cpp - the RegistryStore port over the Win32 registry API.
#include "platform/Win32Adapters.h"

#include "platform/WinHandles_win.h"

namespace ostrevin {

namespace {

HKEY RootHandle(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::CurrentUser: break;
  }
  return HKEY_CURRENT_USER;
}

class Win32RegistryKey : public RegistryKey {
 public:
  explicit Win32RegistryKey(UniqueRegKey key) : FKey(std::move(key)) {}

  std::optional<RegistryValue> QueryValue(std::wstring_view name) const override {
    const std::wstring valueName(name);
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(FKey.Get(), valueName.c_str(), nullptr, &type, nullptr, &size);
    RegistryValue value;
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
      value.Data.resize(size);
      status = RegQueryValueExW(FKey.Get(), valueName.c_str(), nullptr, &type, value.Data.data(), &size);
      if (status == ERROR_SUCCESS) {
        value.Data.resize(size);
        value.Type = static_cast<RegistryDataType>(type);
        return value;
      }
    }
    return std::nullopt;
  }

  bool SetValue(std::wstring_view name, const RegistryValue& value) override {
    return RegSetValueExW(FKey.Get(), std::wstring(name).c_str(), 0, static_cast<DWORD>(value.Type),
                          value.Data.data(), static_cast<DWORD>(value.Data.size())) == ERROR_SUCCESS;
  }

  bool DeleteValue(std::wstring_view name) override {
    return RegDeleteValueW(FKey.Get(), std::wstring(name).c_str()) == ERROR_SUCCESS;
  }

  std::vector<std::wstring> ValueNames() const override { return Enumerate(false); }
  std::vector<std::wstring> SubKeyNames() const override { return Enumerate(true); }

 private:
  std::vector<std::wstring> Enumerate(bool keys) const {
    DWORD count = 0;
    DWORD maxLength = 0;
    LSTATUS status = keys ? RegQueryInfoKeyW(FKey.Get(), nullptr, nullptr, nullptr, &count, &maxLength, nullptr,
                                             nullptr, nullptr, nullptr, nullptr, nullptr)
                          : RegQueryInfoKeyW(FKey.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                             &count, &maxLength, nullptr, nullptr, nullptr);
    std::vector<std::wstring> names;
    if (status != ERROR_SUCCESS) return names;
    std::wstring buffer(maxLength + 1, L'\0');
    for (DWORD i = 0; i < count; ++i) {
      DWORD length = static_cast<DWORD>(buffer.size());
      status = keys ? RegEnumKeyExW(FKey.Get(), i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr)
                    : RegEnumValueW(FKey.Get(), i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
      if (status == ERROR_SUCCESS) names.emplace_back(buffer.data(), length);
    }
    return names;
  }

  UniqueRegKey FKey;
};

class Win32RegistryStore : public RegistryStore {
 public:
  std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, std::wstring_view path, std::uint32_t access,
                                       bool create) override {
    const std::wstring subKey(path);
    HKEY key = nullptr;
    const LSTATUS status =
        create ? RegCreateKeyExW(RootHandle(root), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                 nullptr, &key, nullptr)
               : RegOpenKeyExW(RootHandle(root), subKey.c_str(), 0, access, &key);
    if (status != ERROR_SUCCESS) return nullptr;
    return std::make_unique<Win32RegistryKey>(UniqueRegKey(key));
  }

  bool DeleteKeyTree(RegistryRoot root, std::wstring_view path, std::uint32_t access) override {
    const std::wstring subKey(path);
    if (subKey.empty()) return false;
    const REGSAM view = access & RegAccess::ViewMask;
    HKEY key = nullptr;
    if (RegOpenKeyExW(RootHandle(root), subKey.c_str(), 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS)
      return false;
    const UniqueRegKey owner(key);
    if (RegDeleteTreeW(key, nullptr) != ERROR_SUCCESS) return false;
    return RegDeleteKeyExW(RootHandle(root), subKey.c_str(), view, 0) == ERROR_SUCCESS;
  }
};

}  // namespace

std::unique_ptr<RegistryStore> MakeWin32RegistryStore() { return std::make_unique<Win32RegistryStore>(); }

}  // namespace ostrevin
