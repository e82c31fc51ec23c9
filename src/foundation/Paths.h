// Paths.h - path arithmetic, the running executable and the special folders.
//
// Paths use "\" as the separator. Special folders come back without a
// trailing "\"; a lookup that fails gives the empty string or the fallback
// below, and never raises.
#pragma once

#include <string>
#include <string_view>

namespace ostrevin {

// Shell special-folder identifiers (CSIDL values).
namespace Csidl {
inline constexpr int Personal = 5;
inline constexpr int MyMusic = 13;
inline constexpr int MyVideo = 14;
inline constexpr int DesktopDirectory = 16;
inline constexpr int MyPictures = 39;
}  // namespace Csidl

// Path unchanged when it ends with "\", else Path + "\" ("" gives "\").
std::wstring AddBackslash(std::wstring_view path);
// Path without one final "\".
std::wstring RemoveBackslash(std::wstring_view path);
// The file name (after the last "\" or ":") without its extension (from its
// last "."): C:\a\b.tar.gz gives b.tar; ".profile" gives "".
std::wstring ExtractFileBaseName(std::wstring_view path);
// The folder part of Path up to and including its last "\" or ":"; ""
// when it has none: C:\a\b.txt gives C:\a\.
std::wstring ExtractFilePath(std::wstring_view path);
// The extension of the file name, from its last "." on; "" when it has
// none: C:\a.b\c gives "", "x.tar.gz" gives ".gz".
std::wstring ExtractFileExt(std::wstring_view path);
// The folder part of Path without a trailing "\" (a drive root keeps it:
// C:\a gives C:\).
std::wstring ExtractFileDir(std::wstring_view path);

// Full path of the running executable.
std::wstring GetAppExeName();

// The special folder, or "" when the shell has none.
std::wstring GetSpecialFolder(int csidl);
std::wstring GetDesktopFolder();
// The documents folder; "C:\My Documents" (created) when the shell has none.
std::wstring GetMyDocumentsFolder();
// Pictures, videos and music; when the shell has none, a folder of that name
// in the documents folder, created.
std::wstring GetMyPicturesFolder();
std::wstring GetMyVideosFolder();
std::wstring GetMyMusicFolder();

// Creates Folder and any missing parents. Raises EVemGeneralError
// "Could not create %s" when it cannot.
void ForceFolder(std::wstring_view folder);

}  // namespace ostrevin
