// VersionBlockBuilder.h - builds version resource blocks for native tests.
//
// The block has the layout the resource compiler writes and GetFileVersionInfo
// hands out: the root "VS_VERSION_INFO" with the fixed info, then
// "StringFileInfo" with one string table, then "VarFileInfo" with
// "Translation". Every node's wLength stops at the end of its last child
// (the padding after a node is not counted); text values carry their
// terminating zero in wValueLength.
//
//   auto block = VersionBlockBuilder()
//                    .FileVersion(MakeVersion(1, 2, 3, 4))
//                    .String(L"ProductName", L"Ostrevin")
//                    .Build();
//   platform.Modules.SetVersionResource(fileName, block);
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "foundation/VemLXVerUtils.h"

namespace ostrevin {

class VersionBlockBuilder {
 public:
  // Starts with versions 0.0.0.0, the translation 0409/04b0 (US English,
  // UTF-16), the string table "040904b0" and no strings.
  VersionBlockBuilder() = default;

  VersionBlockBuilder& FileVersion(TVersion v);
  VersionBlockBuilder& ProductVersion(TVersion v);
  // Leaves the root without a value.
  VersionBlockBuilder& WithoutFixedInfo();

  // Replaces the translations; none leaves out "VarFileInfo".
  VersionBlockBuilder& Translations(std::vector<std::pair<std::uint16_t, std::uint16_t>> languageAndCodePage);
  // The key of the string table, as written ("040904b0").
  VersionBlockBuilder& StringTable(std::wstring key);
  // Adds a string; without any, "StringFileInfo" is left out.
  VersionBlockBuilder& String(std::wstring name, std::wstring value);

  std::vector<std::uint8_t> Build() const;

 private:
  TVsFixedFileInfo FFixedInfo{TVsFixedFileInfo::kSignature, 0x00010000};
  bool FHasFixedInfo = true;
  std::vector<std::pair<std::uint16_t, std::uint16_t>> FTranslations{{0x0409, 0x04B0}};
  std::wstring FStringTable = L"040904b0";
  std::vector<std::pair<std::wstring, std::wstring>> FStrings;
};

}  // namespace ostrevin
