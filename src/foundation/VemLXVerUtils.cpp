// VemLXVerUtils.cpp - four-part version numbers and the version resources of files.
//
// The only process-wide state is the cached version of the running program;
// it is not locked (main thread only).
#include "foundation/VemLXVerUtils.h"

#include "foundation/Checks.h"
#include "foundation/Paths.h"
#include "foundation/VemSysUtils.h"
#include "platform/FileSystem.h"
#include "platform/Modules.h"
#include "platform/Ports.h"

namespace ostrevin {
namespace {

TVersion CachedAppVersion;

// Spaces and control characters, as the system's Trim removes them.
bool IsBlank(wchar_t c) { return static_cast<std::uint32_t>(c) <= L' '; }

std::wstring_view TrimLeft(std::wstring_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::wstring_view TrimRight(std::wstring_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// One part of a version text: a decimal number with an optional sign, 0 for
// anything else. A number outside 0..65535, however long, is a range error.
std::uint16_t ToVersionPart(std::wstring_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
    negative = text.front() == L'-';
    text.remove_prefix(1);
  }
  if (text.empty()) return 0;
  std::uint32_t value = 0;
  bool tooLarge = false;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return 0;
    value = value * 10 + static_cast<std::uint32_t>(c - L'0');
    if (value > 0xFFFF) {
      tooLarge = true;
      value = 0x10000;  // keeps checking the remaining digits without overflow
    }
  }
  if (tooLarge || (negative && value != 0)) throw ERangeError(L"Range check error");
  return static_cast<std::uint16_t>(value);
}

std::wstring Hex4(std::uint16_t value) {
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring text(4, L'0');
  for (int i = 3; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
  return text;
}

}  // namespace

TVersion MakeVersion(std::uint16_t major, std::uint16_t minor, std::uint16_t release, std::uint16_t build) {
  return TVersion{major, minor, release, build};
}

TVersion VersionFromFixedInfo(std::uint32_t ms, std::uint32_t ls) {
  return MakeVersion(static_cast<std::uint16_t>(ms >> 16), static_cast<std::uint16_t>(ms & 0xFFFF),
                     static_cast<std::uint16_t>(ls >> 16), static_cast<std::uint16_t>(ls & 0xFFFF));
}

std::uint64_t VersionToInt64(const TVersion& v) {
  return (static_cast<std::uint64_t>(v.FMajor) << 48) | (static_cast<std::uint64_t>(v.FMinor) << 32) |
         (static_cast<std::uint64_t>(v.FRelease) << 16) | v.FBuild;
}

bool IsNullVersion(const TVersion& v) { return VersionToInt64(v) == 0; }

bool VersionLessOrEqual(const TVersion& a, const TVersion& b) { return VersionToInt64(a) <= VersionToInt64(b); }

TVersion StrToVersion(std::wstring_view s) {
  std::wstring_view rest = TrimLeft(TrimRight(s));
  // The part before `delimiter`; the rest continues after it.
  auto readPart = [&rest](std::size_t delimiter) {
    const std::uint16_t part = ToVersionPart(TrimRight(rest.substr(0, delimiter)));
    rest = TrimLeft(rest.substr(delimiter + 1));
    return part;
  };

  TVersion v;
  std::size_t delimiter = rest.find(L'.');
  if (delimiter == std::wstring_view::npos) {
    v.FMajor = ToVersionPart(rest);
    return v;
  }
  v.FMajor = readPart(delimiter);

  // "1.2 r3" names the release after an "r".
  delimiter = rest.find(L'r');
  if (delimiter == std::wstring_view::npos) delimiter = rest.find(L'.');
  if (delimiter == std::wstring_view::npos) {
    v.FMinor = ToVersionPart(rest);
    return v;
  }
  v.FMinor = readPart(delimiter);

  delimiter = rest.find(L'.');
  if (delimiter == std::wstring_view::npos) {
    v.FRelease = ToVersionPart(rest);
    return v;
  }
  v.FRelease = readPart(delimiter);
  if (!rest.empty()) v.FBuild = ToVersionPart(rest);
  return v;
}

std::wstring VersionToStr(const TVersion& v, int style) {
  Assert(style >= 0 && style <= 3);
  const std::wstring majorMinor = std::to_wstring(v.FMajor) + L'.' + std::to_wstring(v.FMinor);
  switch (style) {
    case 0:
      return majorMinor + L'.' + std::to_wstring(v.FRelease) + L'.' + std::to_wstring(v.FBuild);
    case 1:
      return majorMinor + L'.' + std::to_wstring(v.FRelease);
    case 2:
      return majorMinor + L" r" + std::to_wstring(v.FRelease);
    default:
      return majorMinor;
  }
}

const std::vector<std::uint8_t>& TFileVersionInfo::VersionBlock() const {
  if (!FCachedVerBlock.empty()) return FCachedVerBlock;
  CheckFileExists(FFileName);
  FCachedVerBlock = Current<Modules>().VersionResource(FFileName);
  return FCachedVerBlock;
}

std::uint32_t TFileVersionInfo::FirstTranslation() const {
  std::optional<TVersionValue> translation = QueryVersionValue(VersionBlock(), L"\\VarFileInfo\\Translation");
  if (!translation || translation->FData.size() < 4) return 0;
  const std::vector<std::uint8_t>& d = translation->FData;
  return static_cast<std::uint32_t>(d[0]) | (static_cast<std::uint32_t>(d[1]) << 8) |
         (static_cast<std::uint32_t>(d[2]) << 16) | (static_cast<std::uint32_t>(d[3]) << 24);
}

TVsFixedFileInfo TFileVersionInfo::FixedInfo() const {
  std::optional<TVersionValue> root = QueryVersionValue(VersionBlock(), L"\\");
  if (!root) return {};
  return DecodeFixedFileInfo(root->FData).value_or(TVsFixedFileInfo{});
}

std::wstring GetVersionInfoString(const TFileVersionInfo& info, std::wstring_view name, std::uint16_t language,
                                  std::uint16_t codePage) {
  if (!Current<FileSystem>().FileExists(info.FileName())) return {};
  const std::vector<std::uint8_t>& block = info.VersionBlock();
  if (block.empty()) return {};
  if (language == 0 || codePage == 0) {
    const std::uint32_t translation = info.FirstTranslation();
    language = static_cast<std::uint16_t>(translation & 0xFFFF);
    codePage = static_cast<std::uint16_t>(translation >> 16);
  }
  const std::wstring path = L"\\StringFileInfo\\" + Hex4(language) + Hex4(codePage) + L"\\" + std::wstring(name);
  std::optional<TVersionValue> value = QueryVersionValue(block, path);
  if (!value) return {};
  std::wstring text = value->Text();
  if (const std::size_t zero = text.find(L'\0'); zero != std::wstring::npos) text.resize(zero);
  return text;
}

TVersion GetFileVersion(std::wstring_view fileName) {
  const TVsFixedFileInfo fixed = TFileVersionInfo(std::wstring(fileName)).FixedInfo();
  return VersionFromFixedInfo(fixed.FFileVersionMS, fixed.FFileVersionLS);
}

TVersion GetAppVersion() {
  if (IsNullVersion(CachedAppVersion)) CachedAppVersion = GetFileVersion(GetAppExeName());
  return CachedAppVersion;
}

void InitializeVemLXVerUtils() { CachedAppVersion = TVersion{}; }

void FinalizeVemLXVerUtils() { CachedAppVersion = TVersion{}; }

}  // namespace ostrevin
