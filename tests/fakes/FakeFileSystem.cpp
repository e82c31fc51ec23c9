// FakeFileSystem.cpp - an in-memory FileSystem for native tests.
#include "fakes/FakeFileSystem.h"

#include "foundation/Format.h"
#include "foundation/TextCompare.h"
#include "foundation/VemSysUtils.h"

namespace ostrevin {

FakeFileSystem::FakeFileSystem() { FFolders.insert(L"c:"); }

std::wstring FakeFileSystem::Key(std::wstring_view path) {
  std::wstring key = FoldCase(path);
  while (!key.empty() && key.back() == L'\\') key.pop_back();
  return key;
}

std::wstring FakeFileSystem::ParentKey(const std::wstring& key) {
  const auto slash = key.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : key.substr(0, slash);
}

bool FakeFileSystem::FileExists(std::wstring_view path) const {
  ++FProbes;
  return FFiles.count(Key(path)) != 0;
}

bool FakeFileSystem::FolderExists(std::wstring_view path) const { return FFolders.count(Key(path)) != 0; }

bool FakeFileSystem::MakeFolder(std::wstring_view path) {
  const std::wstring key = Key(path);
  if (key.empty() || FRefused.count(key) || FFolders.count(key) || FFiles.count(key) ||
      !FFolders.count(ParentKey(key)))
    return false;
  FFolders.insert(key);
  ++FFoldersMade;
  return true;
}

std::optional<std::wstring> FakeFileSystem::SpecialFolder(int csidl) const {
  auto it = FSpecialFolders.find(csidl);
  if (it == FSpecialFolders.end()) return std::nullopt;
  return it->second;
}

std::vector<std::uint8_t> FakeFileSystem::ReadAllBytes(std::wstring_view path) const {
  auto it = FFiles.find(Key(path));
  if (it == FFiles.end())
    throw EFOpenError(Format(L"Cannot open file \"%s\". %s", {path, L"The system cannot find the file specified."}));
  return it->second;
}

void FakeFileSystem::WriteAllBytes(std::wstring_view path, const std::vector<std::uint8_t>& bytes) {
  const std::wstring key = Key(path);
  if (FRefused.count(key) || FFolders.count(key) || !FFolders.count(ParentKey(key)))
    throw EFCreateError(Format(L"Cannot create file \"%s\". %s", {path, L"Access is denied."}));
  FFiles[key] = bytes;
}

bool FakeFileSystem::CreateNewFile(std::wstring_view path) {
  if (BeforeCreateNewFile) BeforeCreateNewFile(path);
  ++FProbes;
  const std::wstring key = Key(path);
  if (FFiles.count(key) || FFolders.count(key)) return false;
  if (FRefused.count(key) || FRefused.count(ParentKey(key)) || !FFolders.count(ParentKey(key)))
    throw EFCreateError(Format(L"Cannot create file \"%s\". %s", {path, L"Access is denied."}));
  FFiles[key] = {};
  return true;
}

bool FakeFileSystem::RemoveFile(std::wstring_view path) { return FFiles.erase(Key(path)) != 0; }

std::vector<std::wstring> FakeFileSystem::FileNames(std::wstring_view folder) const {
  const std::wstring parent = Key(folder);
  std::vector<std::wstring> names;
  for (const auto& [key, bytes] : FFiles)
    if (ParentKey(key) == parent) names.push_back(key.substr(parent.size() + 1));
  return names;
}

void FakeFileSystem::AddFolder(std::wstring_view path) {
  for (std::wstring key = Key(path); !key.empty(); key = ParentKey(key)) FFolders.insert(key);
}

void FakeFileSystem::AddFile(std::wstring_view path, std::vector<std::uint8_t> bytes) {
  const std::wstring key = Key(path);
  AddFolder(ParentKey(key));
  FFiles[key] = std::move(bytes);
}

void FakeFileSystem::Refuse(std::wstring_view path) { FRefused.insert(Key(path)); }

}  // namespace ostrevin
