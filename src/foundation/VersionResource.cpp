// VersionResource.cpp - a portable reader of version resource blocks.
//
// Every offset is checked against the end of the node that holds it before
// a byte is read, so the reader is safe on any input. Offsets are absolute
// within the block and aligned to four bytes from the block's start, as the
// platform lays the block out.
#include "foundation/VersionResource.h"

#include <algorithm>

#include "foundation/TextCompare.h"
#include "foundation/TextEncoding.h"

namespace ostrevin {
namespace {

using Block = std::vector<std::uint8_t>;

// wLength, wValueLength, wType.
constexpr std::size_t kHeaderSize = 6;

std::size_t Align4(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

std::uint16_t ReadWord(const Block& block, std::size_t at) {
  return static_cast<std::uint16_t>(block[at] | (block[at + 1] << 8));
}

std::uint32_t ReadDWord(const Block& block, std::size_t at) {
  return static_cast<std::uint32_t>(ReadWord(block, at)) |
         (static_cast<std::uint32_t>(ReadWord(block, at + 2)) << 16);
}

struct TNode {
  std::size_t FEnd = 0;  // one past the node's last byte (wLength, no padding)
  std::u16string FKey;
  bool FIsText = false;
  std::size_t FValueStart = 0;
  std::size_t FValueEnd = 0;
  std::size_t FChildrenStart = 0;
};

// The node at `start`; it must end at or before `limit`, the end of its
// parent. Nothing when the node is corrupt.
std::optional<TNode> ReadNode(const Block& block, std::size_t start, std::size_t limit) {
  if (start > limit || limit - start < kHeaderSize) return std::nullopt;
  const std::size_t length = ReadWord(block, start);
  if (length < kHeaderSize || length > limit - start) return std::nullopt;

  TNode node;
  node.FEnd = start + length;
  const std::size_t valueLength = ReadWord(block, start + 2);
  // The platform treats any non-zero type as text.
  node.FIsText = ReadWord(block, start + 4) != 0;

  std::size_t at = start + kHeaderSize;
  for (;;) {
    if (node.FEnd - at < 2) return std::nullopt;  // key not terminated inside the node
    const auto unit = static_cast<char16_t>(ReadWord(block, at));
    at += 2;
    if (unit == 0) break;
    node.FKey.push_back(unit);
  }

  const std::size_t valueBytes = node.FIsText ? valueLength * 2 : valueLength;
  node.FValueStart = std::min(Align4(at), node.FEnd);
  node.FValueEnd = std::min(node.FValueStart + valueBytes, node.FEnd);
  node.FChildrenStart = std::min(Align4(node.FValueStart + valueBytes), node.FEnd);
  return node;
}

// The first child of `parent` whose key is `key`, ignoring case. The search
// stops at the first corrupt child.
std::optional<TNode> FindChild(const Block& block, const TNode& parent, std::wstring_view key) {
  std::size_t at = parent.FChildrenStart;
  while (at < parent.FEnd) {
    std::optional<TNode> child = ReadNode(block, at, parent.FEnd);
    if (!child) return std::nullopt;
    if (SameText(FromUtf16(child->FKey), key)) return child;
    at = Align4(child->FEnd);
  }
  return std::nullopt;
}

}  // namespace

std::optional<TVsFixedFileInfo> DecodeFixedFileInfo(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < TVsFixedFileInfo::kSize) return std::nullopt;
  std::uint32_t fields[13];
  for (std::size_t i = 0; i < 13; ++i) fields[i] = ReadDWord(bytes, i * 4);
  if (fields[0] != TVsFixedFileInfo::kSignature) return std::nullopt;
  return TVsFixedFileInfo{fields[0], fields[1], fields[2],  fields[3],  fields[4], fields[5], fields[6],
                          fields[7], fields[8], fields[9], fields[10], fields[11], fields[12]};
}

std::wstring TVersionValue::Text() const {
  std::u16string units;
  units.reserve(FData.size() / 2);
  for (std::size_t at = 0; at + 1 < FData.size(); at += 2) units.push_back(static_cast<char16_t>(ReadWord(FData, at)));
  return FromUtf16(units);
}

std::optional<TVersionValue> QueryVersionValue(const std::vector<std::uint8_t>& block, std::wstring_view path) {
  std::optional<TNode> node = ReadNode(block, 0, block.size());
  while (node && !path.empty()) {
    const std::size_t slash = path.find(L'\\');
    const std::wstring_view key = path.substr(0, slash);
    path.remove_prefix(slash == std::wstring_view::npos ? path.size() : slash + 1);
    if (!key.empty()) node = FindChild(block, *node, key);
  }
  if (!node) return std::nullopt;
  TVersionValue value;
  value.FIsText = node->FIsText;
  value.FData.assign(block.begin() + static_cast<std::ptrdiff_t>(node->FValueStart),
                     block.begin() + static_cast<std::ptrdiff_t>(node->FValueEnd));
  return value;
}

}  // namespace ostrevin
