// VemLXRegistry.cpp - TVemRegistryLX and the one-shot registry functions.
#include "foundation/VemLXRegistry.h"

#include "foundation/Checks.h"
#include "foundation/VemSysUtils.h"

namespace ostrevin {

std::wstring NormalizeKeyPath(std::wstring_view key) {
  std::wstring result(key);
  if (result.empty() || result.front() != L'\\') result.insert(result.begin(), L'\\');
  if (result != L"\\" && result.back() == L'\\') result.pop_back();
  return result;
}

std::wstring TVemRegistryLX::GetCurrentFullPath() const {
  std::wstring path = NormalizeKeyPath(CurrentPath());
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

std::wstring TVemRegistryLX::GetChildPath(std::wstring_view key) const {
  if (key.find(L'\\') != std::wstring_view::npos)
    throw EVemInternalError(L"Internal Error: Key contains a backslash: " + std::wstring(key) + L"\r\n  Path = " +
                            GetCurrentFullPath());
  return GetCurrentFullPath() + L"\\" + std::wstring(key);
}

void TVemRegistryLX::GotoKey(std::wstring_view key, bool canCreate) {
  const std::wstring path = NormalizeKeyPath(key);
  if (!OpenKey(path, canCreate)) throw EVemInternalError(L"Internal Error: Unable to open key: " + path);
}

bool TVemRegistryLX::CanDescend(std::wstring_view key) {
  const std::wstring child = GetChildPath(key);
  if (!KeyExists(child)) return false;
  TRegistry probe;
  probe.SetRootKey(RootKey());
  return probe.OpenKey(child, false);
}

void TVemRegistryLX::Descend(std::wstring_view key, bool canCreate) { GotoKey(GetChildPath(key), canCreate); }

void TVemRegistryLX::Ascend() {
  const std::wstring path = GetCurrentFullPath();
  const auto slash = path.rfind(L'\\');
  if (slash == std::wstring::npos) throw EVemInternalError(L"Internal Error: Cannot ascend any more.");
  GotoKey(path.substr(0, slash), false);
}

std::int32_t TVemRegistryLX::ReadIntegerDef(std::wstring_view name, std::int32_t def) const {
  return ValueExists(name) ? ReadInteger(name) : def;
}

double TVemRegistryLX::ReadFloatDef(std::wstring_view name, double def) const {
  return ValueExists(name) ? ReadFloat(name) : def;
}

std::wstring TVemRegistryLX::ReadStringDef(std::wstring_view name, std::wstring_view def) const {
  return ValueExists(name) ? ReadString(name) : std::wstring(def);
}

bool TVemRegistryLX::ReadBoolDef(std::wstring_view name, bool def) const {
  return ValueExists(name) ? ReadBool(name) : def;
}

namespace {

// A registry object at Key for one read.
void OpenForReading(TVemRegistryLX& reg, RegistryRoot root, std::wstring_view key) {
  Assert(!key.empty());
  reg.SetRootKey(root);
  reg.SetAccess(RegAccess::Read);
  reg.GotoKey(key, false);
}

// A registry object at Key, created if missing, for one write.
void OpenForWriting(TVemRegistryLX& reg, RegistryRoot root, std::wstring_view key) {
  Assert(!key.empty());
  reg.SetRootKey(root);
  reg.GotoKey(key, true);
}

}  // namespace

std::int32_t RegReadInteger(RegistryRoot root, std::wstring_view key, std::wstring_view name) {
  TVemRegistryLX reg;
  OpenForReading(reg, root, key);
  return reg.ReadInteger(name);
}

std::wstring RegReadString(RegistryRoot root, std::wstring_view key, std::wstring_view name) {
  TVemRegistryLX reg;
  OpenForReading(reg, root, key);
  return reg.ReadString(name);
}

std::int32_t RegReadIntegerDef(RegistryRoot root, std::wstring_view key, std::wstring_view name, std::int32_t def) {
  Assert(!key.empty());
  return RegValueExists(root, key, name) ? RegReadInteger(root, key, name) : def;
}

std::wstring RegReadStringDef(RegistryRoot root, std::wstring_view key, std::wstring_view name,
                              std::wstring_view def) {
  Assert(!key.empty());
  return RegValueExists(root, key, name) ? RegReadString(root, key, name) : std::wstring(def);
}

void RegWriteBool(RegistryRoot root, std::wstring_view key, std::wstring_view name, bool value) {
  TVemRegistryLX reg;
  OpenForWriting(reg, root, key);
  reg.WriteBool(name, value);
}

void RegWriteInteger(RegistryRoot root, std::wstring_view key, std::wstring_view name, std::int32_t value) {
  TVemRegistryLX reg;
  OpenForWriting(reg, root, key);
  reg.WriteInteger(name, value);
}

void RegWriteString(RegistryRoot root, std::wstring_view key, std::wstring_view name, std::wstring_view value) {
  TVemRegistryLX reg;
  OpenForWriting(reg, root, key);
  reg.WriteString(name, value);
}

bool RegValueExists(RegistryRoot root, std::wstring_view key, std::wstring_view name) {
  TVemRegistryLX reg;
  reg.SetRootKey(root);
  reg.SetAccess(RegAccess::Read);
  return reg.OpenKey(key, false) && reg.ValueExists(name);
}

}  // namespace ostrevin
