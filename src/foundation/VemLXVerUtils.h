// VemLXVerUtils.h - four-part version numbers and the version resources of files.
//
// A TVersion is major.minor.release.build, each part 0..65535, and orders as
// the 64-bit number of its parts; 0.0.0.0 stands for "unknown". The version
// resource of a file is read through the Modules port and parsed by
// VersionResource.h, so everything here runs against fakes.
//
//   TFileVersionInfo info(fileName);
//   TVersion v = VersionFromFixedInfo(info.FixedInfo().FFileVersionMS, info.FixedInfo().FFileVersionLS);
//   std::wstring product = GetVersionInfoString(info, L"ProductName", 0, 0);
//   VersionToStr(GetAppVersion(), 2);   // "1.2 r3"
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/VersionResource.h"

namespace ostrevin {

struct TVersion {
  std::uint16_t FMajor = 0;
  std::uint16_t FMinor = 0;
  std::uint16_t FRelease = 0;
  std::uint16_t FBuild = 0;

  bool operator==(const TVersion&) const = default;
};

TVersion MakeVersion(std::uint16_t major, std::uint16_t minor, std::uint16_t release, std::uint16_t build);
// MS = major shl 16 + minor, LS = release shl 16 + build.
TVersion VersionFromFixedInfo(std::uint32_t ms, std::uint32_t ls);
// major shl 48 + minor shl 32 + release shl 16 + build: the order of versions.
std::uint64_t VersionToInt64(const TVersion& v);
bool IsNullVersion(const TVersion& v);
bool VersionLessOrEqual(const TVersion& a, const TVersion& b);

// Reads "major.minor.release.build", "major.minor rRelease" and shorter
// forms; spaces around the parts do not matter. A part that is not a decimal
// number counts as 0 ("2.x" gives 2.0.0.0, "" gives 0.0.0.0). A part outside
// 0..65535 raises ERangeError "Range check error".
TVersion StrToVersion(std::wstring_view s);

// Style 0 "1.2.3.4", 1 "1.2.3", 2 "1.2 r3", 3 "1.2". Any other style is a
// programming error and raises EAssertionFailed.
std::wstring VersionToStr(const TVersion& v, int style);

// The version resource of one file, read on first use and kept. Copies carry
// the cached block with them.
class TFileVersionInfo {
 public:
  explicit TFileVersionInfo(std::wstring fileName) : FFileName(std::move(fileName)) {}

  const std::wstring& FileName() const noexcept { return FFileName; }

  // The whole version resource, read on the first call that finds one (an
  // empty result is not kept, so a later call asks again). Empty when the file
  // has none. Raises Exception "Internal Error: File does not exist: <name>"
  // when the file does not exist.
  const std::vector<std::uint8_t>& VersionBlock() const;
  // Language in the low 16 bits, code page in the high 16 bits of the first
  // entry of "\VarFileInfo\Translation"; 0 when there is none.
  std::uint32_t FirstTranslation() const;
  // The fixed info at the root; all zero when there is none or it is not a
  // valid record. Raises as VersionBlock.
  TVsFixedFileInfo FixedInfo() const;

 private:
  std::wstring FFileName;
  mutable std::vector<std::uint8_t> FCachedVerBlock;
};

// The string Name of the string table for Language and CodePage
// ("\StringFileInfo\040904b0\ProductName"), cut at its first zero character.
// When Language or CodePage is 0, both come from the first translation.
// Empty when the file does not exist, has no version resource or no such
// string; never raises for a missing file.
std::wstring GetVersionInfoString(const TFileVersionInfo& info, std::wstring_view name, std::uint16_t language,
                                  std::uint16_t codePage);

// The file version in the file's fixed info; 0.0.0.0 when the file has no
// version resource. Raises as TFileVersionInfo::VersionBlock for a missing
// file.
TVersion GetFileVersion(std::wstring_view fileName);

// GetFileVersion of the running executable, kept for the life of the process
// once it is not 0.0.0.0 (a null result is computed again on the next call).
TVersion GetAppVersion();

// Process-wide state of this module (the cached program version), called by
// the start-up table. Finalize forgets the cache.
void InitializeVemLXVerUtils();
void FinalizeVemLXVerUtils();

}  // namespace ostrevin
