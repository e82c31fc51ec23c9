// Registry.cpp - TRegistry, the registry wrapper over the RegistryStore port.
#include "foundation/Registry.h"

#include <cstring>

#include "foundation/Format.h"
#include "foundation/TextEncoding.h"
#include "foundation/VemSysUtils.h"
#include "platform/Ports.h"

namespace ostrevin {

namespace {

// STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS.
constexpr std::uint32_t kQueryAccess = 0x20000 | 0x0001 | 0x0008;

[[noreturn]] void RaiseRegistryError(const wchar_t* format, std::wstring_view name) {
  throw ERegistryException(Format(format, {name}));
}

std::wstring DecodeStringData(const std::vector<std::uint8_t>& data) {
  std::u16string units(data.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  if (auto zero = units.find(u'\0'); zero != std::u16string::npos) units.resize(zero);
  return FromUtf16(units);
}

}  // namespace

RegistryValue MakeStringValue(std::wstring_view text) {
  std::u16string units = ToUtf16(text);
  RegistryValue value{RegistryDataType::String, {}};
  value.Data.reserve(2 * units.size() + 2);
  for (char16_t unit : units) {
    value.Data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    value.Data.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  value.Data.insert(value.Data.end(), {0, 0});
  return value;
}

RegistryValue MakeDwordValue(std::uint32_t v) {
  return {RegistryDataType::Dword,
          {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
           static_cast<std::uint8_t>(v >> 24)}};
}

void TRegistry::SetRootKey(RegistryRoot root) {
  CloseKey();
  FRootKey = root;
}

void TRegistry::CloseKey() noexcept {
  FCurrentKey.reset();
  FCurrentPath.clear();
}

std::wstring TRegistry::ResolvePath(std::wstring_view key) const {
  if (!key.empty() && key.front() == L'\\') return std::wstring(key.substr(1));
  if (FCurrentKey == nullptr || FCurrentPath.empty()) return std::wstring(key);
  if (key.empty()) return FCurrentPath;
  return FCurrentPath + L"\\" + std::wstring(key);
}

bool TRegistry::OpenKey(std::wstring_view key, bool canCreate) {
  std::wstring path = ResolvePath(key);
  std::unique_ptr<RegistryKey> opened =
      Current<RegistryStore>().OpenKey(FRootKey, path, FAccess, canCreate && !path.empty());
  if (opened == nullptr) return false;
  FCurrentKey = std::move(opened);
  FCurrentPath = std::move(path);
  return true;
}

bool TRegistry::KeyExists(std::wstring_view key) {
  const std::uint32_t access = kQueryAccess | (FAccess & RegAccess::ViewMask);
  return Current<RegistryStore>().OpenKey(FRootKey, ResolvePath(key), access, false) != nullptr;
}

bool TRegistry::DeleteKey(std::wstring_view key) {
  return Current<RegistryStore>().DeleteKeyTree(FRootKey, ResolvePath(key), FAccess);
}

bool TRegistry::ValueExists(std::wstring_view name) const {
  return FCurrentKey != nullptr && FCurrentKey->QueryValue(name).has_value();
}

RegistryValue TRegistry::ReadData(std::wstring_view name) const {
  std::optional<RegistryValue> value;
  if (FCurrentKey != nullptr) value = FCurrentKey->QueryValue(name);
  if (!value) RaiseRegistryError(L"Failed to get data for '%s'", name);
  return *std::move(value);
}

std::wstring TRegistry::ReadString(std::wstring_view name) const {
  std::optional<RegistryValue> value;
  if (FCurrentKey != nullptr) value = FCurrentKey->QueryValue(name);
  if (!value) return {};
  if (value->Type != RegistryDataType::String && value->Type != RegistryDataType::ExpandString)
    RaiseRegistryError(L"Invalid data type for '%s'", name);
  return DecodeStringData(value->Data);
}

std::int32_t TRegistry::ReadInteger(std::wstring_view name) const {
  RegistryValue value = ReadData(name);
  if (value.Type != RegistryDataType::Dword || value.Data.size() != 4)
    RaiseRegistryError(L"Invalid data type for '%s'", name);
  std::uint32_t bits = 0;
  for (int i = 3; i >= 0; --i) bits = (bits << 8) | value.Data[i];
  return static_cast<std::int32_t>(bits);
}

bool TRegistry::ReadBool(std::wstring_view name) const { return ReadInteger(name) != 0; }

double TRegistry::ReadFloat(std::wstring_view name) const {
  RegistryValue value = ReadData(name);
  double result = 0;
  if (value.Type != RegistryDataType::Binary || value.Data.size() != sizeof result)
    RaiseRegistryError(L"Invalid data type for '%s'", name);
  std::memcpy(&result, value.Data.data(), sizeof result);
  return result;
}

void TRegistry::WriteData(std::wstring_view name, const RegistryValue& value) {
  if (FCurrentKey == nullptr || !FCurrentKey->SetValue(name, value))
    RaiseRegistryError(L"Failed to set data for '%s'", name);
}

void TRegistry::WriteString(std::wstring_view name, std::wstring_view value) {
  WriteData(name, MakeStringValue(value));
}

void TRegistry::WriteInteger(std::wstring_view name, std::int32_t value) {
  WriteData(name, MakeDwordValue(static_cast<std::uint32_t>(value)));
}

void TRegistry::WriteBool(std::wstring_view name, bool value) { WriteInteger(name, value ? 1 : 0); }

void TRegistry::WriteFloat(std::wstring_view name, double value) {
  RegistryValue data{RegistryDataType::Binary, std::vector<std::uint8_t>(sizeof value)};
  std::memcpy(data.Data.data(), &value, sizeof value);
  WriteData(name, data);
}

bool TRegistry::DeleteValue(std::wstring_view name) {
  return FCurrentKey != nullptr && FCurrentKey->DeleteValue(name);
}

std::vector<std::wstring> TRegistry::GetValueNames() const {
  return FCurrentKey != nullptr ? FCurrentKey->ValueNames() : std::vector<std::wstring>();
}

std::vector<std::wstring> TRegistry::GetKeyNames() const {
  return FCurrentKey != nullptr ? FCurrentKey->SubKeyNames() : std::vector<std::wstring>();
}

}  // namespace ostrevin
