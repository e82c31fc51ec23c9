// FakeFileSystem.h - an in-memory FileSystem for native tests.
//
// Paths compare ignoring case, with or without a trailing "\". The drive C:
// exists from the start; folders and files need an existing parent.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace ostrevin {

class FakeFileSystem : public FileSystem {
 public:
  FakeFileSystem();

  bool FileExists(std::wstring_view path) const override;
  bool FolderExists(std::wstring_view path) const override;
  bool MakeFolder(std::wstring_view path) override;
  std::optional<std::wstring> SpecialFolder(int csidl) const override;
  std::vector<std::uint8_t> ReadAllBytes(std::wstring_view path) const override;
  void WriteAllBytes(std::wstring_view path, const std::vector<std::uint8_t>& bytes) override;
  bool CreateNewFile(std::wstring_view path) override;
  bool RemoveFile(std::wstring_view path) override;

  // Set-up and inspection.
  void AddFolder(std::wstring_view path);  // with its parents
  void AddFile(std::wstring_view path, std::vector<std::uint8_t> bytes = {});  // with its folders
  void SetSpecialFolder(int csidl, std::wstring path) { FSpecialFolders[csidl] = std::move(path); }
  // MakeFolder, WriteAllBytes and CreateNewFile of this path fail as if
  // access were denied; so does CreateNewFile of a file in it.
  void Refuse(std::wstring_view path);
  // Number of successful MakeFolder calls.
  int FoldersMade() const { return FFoldersMade; }
  // Names of the files in Folder (not in its sub-folders), lower case, sorted.
  std::vector<std::wstring> FileNames(std::wstring_view folder) const;
  // Runs before every CreateNewFile, with its path: a test can make a file
  // appear just before the call takes the name.
  std::function<void(std::wstring_view path)> BeforeCreateNewFile;
  // Calls of FileExists and CreateNewFile so far.
  int Probes() const { return FProbes; }

 private:
  static std::wstring Key(std::wstring_view path);
  static std::wstring ParentKey(const std::wstring& key);

  std::set<std::wstring> FFolders;
  std::map<std::wstring, std::vector<std::uint8_t>> FFiles;
  std::set<std::wstring> FRefused;
  std::map<int, std::wstring> FSpecialFolders;
  int FFoldersMade = 0;
  mutable int FProbes = 0;
};

}  // namespace ostrevin
