// FileSystem_win.cpp - the FileSystem port over Win32 files and the shell.
#include "platform/Win32Adapters.h"

#include <shlobj.h>

#include <algorithm>

#include "foundation/Format.h"
#include "foundation/VemSysUtils.h"
#include "platform/Win32Error.h"
#include "platform/WinHandles_win.h"

namespace ostrevin {

namespace {

bool HasAttributes(std::wstring_view path, bool folder) {
  const DWORD attributes = GetFileAttributesW(std::wstring(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folder;
}

class Win32FileSystem : public FileSystem {
 public:
  bool FileExists(std::wstring_view path) const override { return HasAttributes(path, false); }
  bool FolderExists(std::wstring_view path) const override { return HasAttributes(path, true); }

  bool MakeFolder(std::wstring_view path) override {
    return CreateDirectoryW(std::wstring(path).c_str(), nullptr) != FALSE;
  }

  std::optional<std::wstring> SpecialFolder(int csidl) const override {
    wchar_t buffer[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer) != S_OK || buffer[0] == L'\0')
      return std::nullopt;
    return std::wstring(buffer);
  }

  std::vector<std::uint8_t> ReadAllBytes(std::wstring_view path) const override {
    const std::wstring name(path);
    UniqueFileHandle file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size)) RaiseFileError<EFOpenError>(L"Cannot open file \"%s\". %s", name);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
      DWORD read = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
      if (!::ReadFile(file.Get(), bytes.data() + done, chunk, &read, nullptr))
        RaiseFileError<EFOpenError>(L"Cannot open file \"%s\". %s", name);
      if (read == 0) break;
      done += read;
    }
    bytes.resize(done);
    return bytes;
  }

  void WriteAllBytes(std::wstring_view path, const std::vector<std::uint8_t>& bytes) override {
    const std::wstring name(path);
    UniqueFileHandle file(
        CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) RaiseFileError<EFCreateError>(L"Cannot create file \"%s\". %s", name);
    std::size_t done = 0;
    while (done < bytes.size()) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
      if (!::WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr))
        RaiseFileError<EFCreateError>(L"Cannot create file \"%s\". %s", name);
      done += written;
    }
  }

  bool CreateNewFile(std::wstring_view path) override {
    const std::wstring name(path);
    UniqueFileHandle file(
        CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return true;
    const DWORD error = GetLastError();
    // A folder of that name answers "access denied" rather than "exists".
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
        GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES)
      return false;
    SetLastError(error);
    RaiseFileError<EFCreateError>(L"Cannot create file \"%s\". %s", name);
  }

  bool RemoveFile(std::wstring_view path) override { return ::DeleteFileW(std::wstring(path).c_str()) != FALSE; }

 private:
  template <class E>
  [[noreturn]] static void RaiseFileError(const wchar_t* format, const std::wstring& name) {
    throw E(Format(format, {name, SysErrorMessage(GetLastError())}));
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakeWin32FileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace ostrevin
