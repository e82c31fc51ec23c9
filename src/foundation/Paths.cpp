// Paths.cpp - path arithmetic, the running executable and the special folders.
#include "foundation/Paths.h"

#include "foundation/Format.h"
#include "foundation/VemSysUtils.h"
#include "platform/FileSystem.h"
#include "platform/Modules.h"
#include "platform/Ports.h"

namespace ostrevin {

std::wstring AddBackslash(std::wstring_view path) {
  std::wstring result(path);
  if (result.empty() || result.back() != L'\\') result.push_back(L'\\');
  return result;
}

std::wstring RemoveBackslash(std::wstring_view path) {
  if (!path.empty() && path.back() == L'\\') path.remove_suffix(1);
  return std::wstring(path);
}

std::wstring ExtractFileBaseName(std::wstring_view path) {
  if (auto sep = path.find_last_of(L"\\:"); sep != std::wstring_view::npos) path.remove_prefix(sep + 1);
  if (auto dot = path.rfind(L'.'); dot != std::wstring_view::npos) path = path.substr(0, dot);
  return std::wstring(path);
}

std::wstring ExtractFilePath(std::wstring_view path) {
  const auto sep = path.find_last_of(L"\\:");
  return sep == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, sep + 1));
}

std::wstring ExtractFileExt(std::wstring_view path) {
  const auto dot = path.find_last_of(L".\\:");
  if (dot == std::wstring_view::npos || path[dot] != L'.') return {};
  return std::wstring(path.substr(dot));
}

std::wstring ExtractFileDir(std::wstring_view path) {
  const auto sep = path.find_last_of(L"\\:");
  if (sep == std::wstring_view::npos) return {};
  std::wstring_view dir = path.substr(0, sep + 1);
  // A drive root ("C:\" or "C:") keeps its separator; any other folder loses it.
  const bool driveRoot = dir.size() <= 3 && dir.find(L':') != std::wstring_view::npos;
  if (!driveRoot && dir.size() > 1 && dir.back() == L'\\') dir.remove_suffix(1);
  return std::wstring(dir);
}

std::wstring GetAppExeName() { return Current<Modules>().ExecutableFileName(); }

std::wstring GetSpecialFolder(int csidl) {
  std::optional<std::wstring> folder = Current<FileSystem>().SpecialFolder(csidl);
  return folder ? RemoveBackslash(*folder) : std::wstring();
}

std::wstring GetDesktopFolder() { return GetSpecialFolder(Csidl::DesktopDirectory); }

namespace {

// The special folder, or `fallback` made when the shell has none.
std::wstring SpecialFolderOrMade(int csidl, const std::wstring& fallback) {
  std::wstring folder = GetSpecialFolder(csidl);
  if (!folder.empty()) return folder;
  ForceFolder(fallback);
  return fallback;
}

}  // namespace

std::wstring GetMyDocumentsFolder() { return SpecialFolderOrMade(Csidl::Personal, L"C:\\My Documents"); }

std::wstring GetMyPicturesFolder() {
  return SpecialFolderOrMade(Csidl::MyPictures, GetMyDocumentsFolder() + L"\\My Pictures");
}

std::wstring GetMyVideosFolder() {
  return SpecialFolderOrMade(Csidl::MyVideo, GetMyDocumentsFolder() + L"\\My Videos");
}

std::wstring GetMyMusicFolder() {
  return SpecialFolderOrMade(Csidl::MyMusic, GetMyDocumentsFolder() + L"\\My Music");
}

namespace {

// Creates the folder after its parents; false when one of them fails.
bool MakeFolderTree(FileSystem& files, const std::wstring& folder) {
  if (folder.empty() || files.FolderExists(folder)) return true;
  const std::wstring parent = ExtractFileDir(folder);
  // A drive root, a share's root or a bare name: nothing above to make.
  if (!parent.empty() && parent != folder && !MakeFolderTree(files, RemoveBackslash(parent))) return false;
  return files.MakeFolder(folder) || files.FolderExists(folder);
}

}  // namespace

void ForceFolder(std::wstring_view folder) {
  FileSystem& files = Current<FileSystem>();
  const std::wstring target = RemoveBackslash(folder);
  if (target.empty() || !MakeFolderTree(files, target))
    throw EVemGeneralError(Format(L"Could not create %s", {folder}));
}

}  // namespace ostrevin
