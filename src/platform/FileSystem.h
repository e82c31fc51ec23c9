// FileSystem.h - port: files, folders and the shell's special folders.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevin {

class FileSystem {
 public:
  static constexpr const wchar_t* kPortName = L"FileSystem";
  virtual ~FileSystem() = default;
  // True for an existing file; false for a folder or nothing.
  virtual bool FileExists(std::wstring_view path) const = 0;
  // True for an existing folder.
  virtual bool FolderExists(std::wstring_view path) const = 0;
  // Creates one folder whose parent exists. False on failure, also when
  // something of that name exists already.
  virtual bool MakeFolder(std::wstring_view path) = 0;
  // The path of a shell special folder (a CSIDL value) without creating it;
  // nothing when the shell has none.
  virtual std::optional<std::wstring> SpecialFolder(int csidl) const = 0;
  // The whole file. Raises EFOpenError "Cannot open file "%s". %s".
  virtual std::vector<std::uint8_t> ReadAllBytes(std::wstring_view path) const = 0;
  // Creates or replaces the file. Raises EFCreateError "Cannot create file "%s". %s".
  virtual void WriteAllBytes(std::wstring_view path, const std::vector<std::uint8_t>& bytes) = 0;
  // Creates an empty file at Path only if nothing of that name (file or
  // folder) exists: true when this call made it, false when the name is
  // taken, so two callers never get the same new file. Any other failure
  // (missing folder, no access, a name the platform refuses) raises
  // EFCreateError "Cannot create file "%s". %s".
  virtual bool CreateNewFile(std::wstring_view path) = 0;
  // Deletes the file. False when it cannot: missing, a folder, in use.
  virtual bool RemoveFile(std::wstring_view path) = 0;
};

}  // namespace ostrevin
