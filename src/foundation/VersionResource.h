// VersionResource.h - a portable reader of version resource blocks.
//
// A version block is the tree the platform's GetFileVersionInfo hands out.
// Every node is: wLength (bytes of the node with its children), wValueLength,
// wType (1 = text, 0 = binary), a zero-terminated UTF-16 key, padding to four
// bytes, the value (wValueLength counts UTF-16 units for text and bytes for
// binary values), padding to four bytes, then the child nodes up to wLength.
// All numbers are little-endian. The root holds the fixed file information;
// its children are "StringFileInfo" (string tables keyed by language and code
// page) and "VarFileInfo" (with "Translation").
//
//   auto fixed = QueryVersionValue(block, L"\\");
//   auto name = QueryVersionValue(block, L"\\StringFileInfo\\040904b0\\ProductName");
//   if (name) use(name->Text());
//
// The reader never reads outside the block: a node whose length runs past its
// parent (or past the block), a length shorter than a node header or a key
// without its terminating zero makes that node and the nodes after it in the
// same parent unreadable, so a truncated or corrupt block gives "not found".
// A value longer than its node is cut at the node's end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevin {

// The fixed part of a version resource (the platform's VS_FIXEDFILEINFO, 52
// bytes). Versions are held in two halves: MS = first shl 16 + second part,
// LS = third shl 16 + fourth part.
struct TVsFixedFileInfo {
  static constexpr std::uint32_t kSignature = 0xFEEF04BD;
  static constexpr std::size_t kSize = 52;

  std::uint32_t FSignature = 0;
  std::uint32_t FStrucVersion = 0;
  std::uint32_t FFileVersionMS = 0;
  std::uint32_t FFileVersionLS = 0;
  std::uint32_t FProductVersionMS = 0;
  std::uint32_t FProductVersionLS = 0;
  std::uint32_t FFileFlagsMask = 0;
  std::uint32_t FFileFlags = 0;
  std::uint32_t FFileOS = 0;
  std::uint32_t FFileType = 0;
  std::uint32_t FFileSubtype = 0;
  std::uint32_t FFileDateMS = 0;
  std::uint32_t FFileDateLS = 0;

  bool operator==(const TVsFixedFileInfo&) const = default;
};

// The fixed info stored in `bytes` (the value at "\"). Nothing when there are
// fewer than 52 bytes or the signature is not 0xFEEF04BD; bytes beyond the
// 52 are ignored.
std::optional<TVsFixedFileInfo> DecodeFixedFileInfo(const std::vector<std::uint8_t>& bytes);

// One value found in a version block.
struct TVersionValue {
  // wType of the node: true for text.
  bool FIsText = false;
  // The value's bytes as stored: for text, wValueLength UTF-16 LE units
  // (usually with the terminating zero); for binary, wValueLength bytes.
  std::vector<std::uint8_t> FData;

  // FData read as UTF-16 LE text, whatever FIsText says; an odd last byte is
  // dropped. Zero characters are kept: callers cut where they need to.
  std::wstring Text() const;
};

// The value at `path` in `block`, with the platform's query rules: the path
// is a list of keys separated by "\" that are looked up from the root, each
// among the children of the one before, ignoring case; empty components are
// skipped, so "\" (and "") names the root itself, whose value is the fixed
// info. Nothing when a key is not found or the block is empty or corrupt.
// Bytes after the root node (the platform's buffer is larger) are ignored.
std::optional<TVersionValue> QueryVersionValue(const std::vector<std::uint8_t>& block, std::wstring_view path);

}  // namespace ostrevin
