// VersionBlockBuilder.cpp - builds version resource blocks for native tests.
//
// Nodes are written depth first into their own buffers: a child is appended
// to its parent after padding the parent to four bytes, and a node's wLength
// is the size of its buffer at the end, so it never counts trailing padding.
#include "fakes/VersionBlockBuilder.h"

#include "foundation/TextEncoding.h"

namespace ostrevin {
namespace {

using Block = std::vector<std::uint8_t>;

void PutWord(Block& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutDWord(Block& out, std::uint32_t value) {
  PutWord(out, static_cast<std::uint16_t>(value & 0xFFFF));
  PutWord(out, static_cast<std::uint16_t>(value >> 16));
}

void PutText(Block& out, std::wstring_view text) {
  for (char16_t unit : ToUtf16(text)) PutWord(out, static_cast<std::uint16_t>(unit));
  PutWord(out, 0);
}

void Pad(Block& out) {
  while (out.size() % 4 != 0) out.push_back(0);
}

// One node. `value` is in bytes; `valueLength` is what wValueLength says.
Block Node(std::wstring_view key, bool isText, std::uint16_t valueLength, const Block& value,
           const std::vector<Block>& children) {
  Block out;
  PutWord(out, 0);  // wLength, set below
  PutWord(out, valueLength);
  PutWord(out, isText ? 1 : 0);
  PutText(out, key);
  Pad(out);
  out.insert(out.end(), value.begin(), value.end());
  for (const Block& child : children) {
    Pad(out);
    out.insert(out.end(), child.begin(), child.end());
  }
  out[0] = static_cast<std::uint8_t>(out.size() & 0xFF);
  out[1] = static_cast<std::uint8_t>(out.size() >> 8);
  return out;
}

Block StringNode(std::wstring_view name, std::wstring_view value) {
  Block text;
  PutText(text, value);
  return Node(name, true, static_cast<std::uint16_t>(text.size() / 2), text, {});
}

}  // namespace

VersionBlockBuilder& VersionBlockBuilder::FileVersion(TVersion v) {
  FFixedInfo.FFileVersionMS = static_cast<std::uint32_t>(v.FMajor) << 16 | v.FMinor;
  FFixedInfo.FFileVersionLS = static_cast<std::uint32_t>(v.FRelease) << 16 | v.FBuild;
  return *this;
}

VersionBlockBuilder& VersionBlockBuilder::ProductVersion(TVersion v) {
  FFixedInfo.FProductVersionMS = static_cast<std::uint32_t>(v.FMajor) << 16 | v.FMinor;
  FFixedInfo.FProductVersionLS = static_cast<std::uint32_t>(v.FRelease) << 16 | v.FBuild;
  return *this;
}

VersionBlockBuilder& VersionBlockBuilder::WithoutFixedInfo() {
  FHasFixedInfo = false;
  return *this;
}

VersionBlockBuilder& VersionBlockBuilder::Translations(
    std::vector<std::pair<std::uint16_t, std::uint16_t>> languageAndCodePage) {
  FTranslations = std::move(languageAndCodePage);
  return *this;
}

VersionBlockBuilder& VersionBlockBuilder::StringTable(std::wstring key) {
  FStringTable = std::move(key);
  return *this;
}

VersionBlockBuilder& VersionBlockBuilder::String(std::wstring name, std::wstring value) {
  FStrings.emplace_back(std::move(name), std::move(value));
  return *this;
}

std::vector<std::uint8_t> VersionBlockBuilder::Build() const {
  std::vector<Block> sections;
  if (!FStrings.empty()) {
    std::vector<Block> strings;
    for (const auto& [name, value] : FStrings) strings.push_back(StringNode(name, value));
    sections.push_back(Node(L"StringFileInfo", true, 0, {}, {Node(FStringTable, true, 0, {}, strings)}));
  }
  if (!FTranslations.empty()) {
    Block translations;
    for (const auto& [language, codePage] : FTranslations) {
      PutWord(translations, language);
      PutWord(translations, codePage);
    }
    sections.push_back(Node(L"VarFileInfo", true, 0, {},
                            {Node(L"Translation", false, static_cast<std::uint16_t>(translations.size()),
                                  translations, {})}));
  }

  Block fixed;
  if (FHasFixedInfo) {
    const TVsFixedFileInfo& f = FFixedInfo;
    for (std::uint32_t field : {f.FSignature, f.FStrucVersion, f.FFileVersionMS, f.FFileVersionLS,
                                f.FProductVersionMS, f.FProductVersionLS, f.FFileFlagsMask, f.FFileFlags, f.FFileOS,
                                f.FFileType, f.FFileSubtype, f.FFileDateMS, f.FFileDateLS})
      PutDWord(fixed, field);
  }
  return Node(L"VS_VERSION_INFO", false, static_cast<std::uint16_t>(fixed.size()), fixed, sections);
}

}  // namespace ostrevin
