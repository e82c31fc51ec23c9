// RegistryStore.h - port: the platform's registry of keys and typed values.
//
// Key paths given to the store are relative to a root key, without a leading
// backslash; the empty path is the root key itself. Values are what the
// platform stores: a type and its bytes (strings as UTF-16 LE with their
// terminating zero). Interpreting them is the registry classes' work.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevin {

// Root keys, with the platform's handle values.
enum class RegistryRoot : std::uint32_t {
  ClassesRoot = 0x80000000u,
  CurrentUser = 0x80000001u,
  LocalMachine = 0x80000002u,
};

// Access masks.
namespace RegAccess {
inline constexpr std::uint32_t AllAccess = 0xF003F;
inline constexpr std::uint32_t Read = 0x20019;
// View flags: the 64-bit or the 32-bit view of a redirected key. Without
// either, the process's own view is used.
inline constexpr std::uint32_t Wow64_64Key = 0x0100;
inline constexpr std::uint32_t Wow64_32Key = 0x0200;
inline constexpr std::uint32_t ViewMask = Wow64_64Key | Wow64_32Key;
}  // namespace RegAccess

enum class RegistryDataType : std::uint32_t {
  None = 0,
  String = 1,        // REG_SZ
  ExpandString = 2,  // REG_EXPAND_SZ
  Binary = 3,        // REG_BINARY
  Dword = 4,         // REG_DWORD
  MultiString = 7,   // REG_MULTI_SZ
  Qword = 11,        // REG_QWORD
};

struct RegistryValue {
  RegistryDataType Type = RegistryDataType::None;
  std::vector<std::uint8_t> Data;
};

// An open key. Closed when destroyed.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // The value, or nothing when it does not exist or cannot be read. The
  // empty name is the key's default value.
  virtual std::optional<RegistryValue> QueryValue(std::wstring_view name) const = 0;
  // Creates or replaces the value; false when the platform refuses.
  virtual bool SetValue(std::wstring_view name, const RegistryValue& value) = 0;
  // False when the value does not exist or cannot be deleted.
  virtual bool DeleteValue(std::wstring_view name) = 0;
  virtual std::vector<std::wstring> ValueNames() const = 0;
  virtual std::vector<std::wstring> SubKeyNames() const = 0;
};

class RegistryStore {
 public:
  static constexpr const wchar_t* kPortName = L"RegistryStore";
  virtual ~RegistryStore() = default;
  // Opens `path` under `root` with `access` (including its view flags),
  // creating missing keys when `create` is set. Null on any failure.
  virtual std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, std::wstring_view path,
                                               std::uint32_t access, bool create) = 0;
  // Deletes the key with its subkeys and values. False when it does not
  // exist or cannot be deleted.
  virtual bool DeleteKeyTree(RegistryRoot root, std::wstring_view path, std::uint32_t access) = 0;
};

}  // namespace ostrevin
