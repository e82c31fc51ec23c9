// Registry.h - TRegistry, the registry wrapper over the RegistryStore port.
//
// An object has a root key, an access mask and at most one open key, which
// it owns. Paths that start with "\" are absolute (from the root key); any
// other path is relative to the open key, or to the root when none is open.
//
//   TRegistry reg;                       // HKEY_CURRENT_USER, full access
//   if (reg.OpenKey(L"\\Software\\Wine", false))
//     std::wstring tricks = reg.ReadString(L"HalvornWineTricks");
//
// Values are typed as the platform stores them: strings as REG_SZ
// (REG_EXPAND_SZ is read too, without expansion), integers and Booleans as
// REG_DWORD, floating-point numbers as REG_BINARY of 8 bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryStore.h"

namespace ostrevin {

class TRegistry {
 public:
  TRegistry() = default;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;
  virtual ~TRegistry() = default;

  RegistryRoot RootKey() const noexcept { return FRootKey; }
  // Closes the open key; the current path becomes empty.
  void SetRootKey(RegistryRoot root);
  std::uint32_t Access() const noexcept { return FAccess; }
  // The mask used for every later open, view flags included.
  void SetAccess(std::uint32_t access) noexcept { FAccess = access; }
  // The open key's path relative to the root, without a leading "\"; empty
  // at the root or when no key is open.
  const std::wstring& CurrentPath() const noexcept { return FCurrentPath; }
  bool HasOpenKey() const noexcept { return FCurrentKey != nullptr; }

  // Opens Key, creating missing keys when `canCreate`. On success the key
  // replaces the open one; false on any failure, which leaves the open key.
  bool OpenKey(std::wstring_view key, bool canCreate);
  void CloseKey() noexcept;
  // Whether the key can be opened for reading (in the view of Access).
  bool KeyExists(std::wstring_view key);
  // Deletes the key with its subkeys; false when it cannot.
  bool DeleteKey(std::wstring_view key);

  // Whether the open key holds the value; "" is the key's default value.
  bool ValueExists(std::wstring_view name) const;
  // A missing value reads as "". A value of another type raises
  // ERegistryException "Invalid data type for '%s'".
  std::wstring ReadString(std::wstring_view name) const;
  // A missing value raises ERegistryException "Failed to get data for '%s'";
  // one of another type "Invalid data type for '%s'".
  std::int32_t ReadInteger(std::wstring_view name) const;
  bool ReadBool(std::wstring_view name) const;  // any non-zero value is true
  double ReadFloat(std::wstring_view name) const;

  // Create or overwrite the value; a refused write raises
  // ERegistryException "Failed to set data for '%s'".
  void WriteString(std::wstring_view name, std::wstring_view value);
  void WriteInteger(std::wstring_view name, std::int32_t value);
  void WriteBool(std::wstring_view name, bool value);
  void WriteFloat(std::wstring_view name, double value);
  // False when the value does not exist or cannot be deleted.
  bool DeleteValue(std::wstring_view name);

  // Names in the open key; empty when none is open.
  std::vector<std::wstring> GetValueNames() const;
  std::vector<std::wstring> GetKeyNames() const;

 private:
  // The path from the root of Key as OpenKey reads it.
  std::wstring ResolvePath(std::wstring_view key) const;
  RegistryValue ReadData(std::wstring_view name) const;
  void WriteData(std::wstring_view name, const RegistryValue& value);

  RegistryRoot FRootKey = RegistryRoot::CurrentUser;
  std::uint32_t FAccess = RegAccess::AllAccess;
  std::unique_ptr<RegistryKey> FCurrentKey;
  std::wstring FCurrentPath;
};

// String values as the platform stores them: UTF-16 LE with a final zero.
RegistryValue MakeStringValue(std::wstring_view text);
RegistryValue MakeDwordValue(std::uint32_t value);

}  // namespace ostrevin
