// VersionResourceTest.cpp - the version block reader on well-formed, truncated and corrupt blocks.
#include "foundation/VersionResource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "fakes/VersionBlockBuilder.h"
#include "foundation/TextEncoding.h"

namespace ostrevin {
namespace {

using Block = std::vector<std::uint8_t>;

constexpr const wchar_t* kProductName = L"\\StringFileInfo\\040904b0\\ProductName";
constexpr const wchar_t* kTranslation = L"\\VarFileInfo\\Translation";

// A typical block; "Ab" has an odd number of units so the next string starts
// after padding.
Block SampleBlock() {
  return VersionBlockBuilder()
      .FileVersion(MakeVersion(1, 2, 3, 4))
      .ProductVersion(MakeVersion(5, 6, 7, 8))
      .String(L"Comments", L"Ab")
      .String(L"ProductName", L"Ostrevin")
      .Build();
}

std::uint16_t WordAt(const Block& block, std::size_t at) {
  return static_cast<std::uint16_t>(block[at] | (block[at + 1] << 8));
}

void SetWord(Block& block, std::size_t at, std::uint16_t value) {
  block[at] = static_cast<std::uint8_t>(value & 0xFF);
  block[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// Offset of the node whose key is `key` (the key follows the 6-byte header).
std::size_t NodeOffset(const Block& block, std::wstring_view key) {
  Block pattern;
  for (wchar_t c : key) {
    pattern.push_back(static_cast<std::uint8_t>(c));
    pattern.push_back(0);
  }
  pattern.push_back(0);
  pattern.push_back(0);
  auto found = std::search(block.begin(), block.end(), pattern.begin(), pattern.end());
  EXPECT_NE(found, block.end()) << "no node for the key";
  return static_cast<std::size_t>(found - block.begin()) - 6;
}

// The builder is the fixture of every other test, so it must write what the
// resource compiler writes: VarFileInfo is 0x44 bytes, Translation 0x24, and
// both start after the 92 bytes of the root's header, key and fixed info.
TEST(VersionBlockBuilder, WritesTheResourceCompilerLayout) {
  const Block block = VersionBlockBuilder().Build();
  ASSERT_EQ(block.size(), 160u);
  EXPECT_EQ(WordAt(block, 0), 160);  // root wLength
  EXPECT_EQ(WordAt(block, 2), 52);   // fixed info
  EXPECT_EQ(WordAt(block, 4), 0);
  EXPECT_EQ(WordAt(block, 40), 0xFEEF04BD & 0xFFFF);
  EXPECT_EQ(WordAt(block, 92), 0x44);
  EXPECT_EQ(WordAt(block, 94), 0);
  EXPECT_EQ(WordAt(block, 96), 1);
  EXPECT_EQ(WordAt(block, 98), L'V');
  EXPECT_EQ(WordAt(block, 124), 0x24);
  EXPECT_EQ(WordAt(block, 126), 4);
  EXPECT_EQ(WordAt(block, 128), 0);
  EXPECT_EQ((Block(block.begin() + 156, block.end())), (Block{0x09, 0x04, 0xB0, 0x04}));
}

TEST(VersionResource, RootGivesTheFixedInfo) {
  const Block block = SampleBlock();
  for (const wchar_t* root : {L"\\", L"", L"\\\\"}) {
    SCOPED_TRACE(testing::Message() << "path '" << WideToUtf8(root) << "'");
    std::optional<TVersionValue> value = QueryVersionValue(block, root);
    ASSERT_TRUE(value);
    EXPECT_FALSE(value->FIsText);
    ASSERT_EQ(value->FData.size(), TVsFixedFileInfo::kSize);
    std::optional<TVsFixedFileInfo> fixed = DecodeFixedFileInfo(value->FData);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->FSignature, TVsFixedFileInfo::kSignature);
    EXPECT_EQ(fixed->FFileVersionMS, 0x00010002u);
    EXPECT_EQ(fixed->FFileVersionLS, 0x00030004u);
    EXPECT_EQ(fixed->FProductVersionMS, 0x00050006u);
    EXPECT_EQ(fixed->FProductVersionLS, 0x00070008u);
  }
}

TEST(VersionResource, DecodeFixedFileInfoRejectsShortOrUnsignedRecords) {
  Block record = QueryVersionValue(SampleBlock(), L"\\")->FData;
  EXPECT_FALSE(DecodeFixedFileInfo(Block(record.begin(), record.end() - 1)));
  record[0] ^= 1;
  EXPECT_FALSE(DecodeFixedFileInfo(record));
}

TEST(VersionResource, FindsTextAndBinaryValuesByPath) {
  const Block block = SampleBlock();
  struct Case {
    const wchar_t* FPath;
    bool FFound;
    std::wstring FText;  // checked for text values
  };
  const Case cases[] = {
      {kProductName, true, std::wstring(L"Ostrevin\0", 9)},
      {L"\\StringFileInfo\\040904b0\\Comments", true, std::wstring(L"Ab\0", 3)},
      {L"\\stringfileinfo\\040904B0\\PRODUCTNAME", true, std::wstring(L"Ostrevin\0", 9)},
      {L"StringFileInfo\\\\040904b0\\ProductName\\", true, std::wstring(L"Ostrevin\0", 9)},
      {L"\\StringFileInfo\\040904b0\\Product", false, L""},
      {L"\\StringFileInfo\\040904b0\\ProductNameX", false, L""},
      {L"\\StringFileInfo\\040704e4\\ProductName", false, L""},
      {L"\\StringFileInfo\\040904b0\\ProductName\\More", false, L""},
      {L"\\ProductName", false, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.FPath));
    std::optional<TVersionValue> value = QueryVersionValue(block, c.FPath);
    ASSERT_EQ(value.has_value(), c.FFound);
    if (!value) continue;
    EXPECT_TRUE(value->FIsText);
    EXPECT_EQ(value->Text(), c.FText);
  }

  std::optional<TVersionValue> translation = QueryVersionValue(block, kTranslation);
  ASSERT_TRUE(translation);
  EXPECT_FALSE(translation->FIsText);
  EXPECT_EQ(translation->FData, (Block{0x09, 0x04, 0xB0, 0x04}));
}

TEST(VersionResource, TextBeyondTheBasicPlaneReadsBack) {
  const std::wstring name = FromUtf16(u"Caf\u00E9 \U0001F600");
  const Block block = VersionBlockBuilder().String(L"ProductName", name).Build();
  std::optional<TVersionValue> value = QueryVersionValue(block, kProductName);
  ASSERT_TRUE(value);
  EXPECT_EQ(value->Text(), name + L'\0');
}

TEST(VersionResource, BlockWithoutStringFileInfoHasOnlyTheOtherValues) {
  const Block block = VersionBlockBuilder().Build();
  EXPECT_FALSE(QueryVersionValue(block, kProductName));
  EXPECT_FALSE(QueryVersionValue(block, L"\\StringFileInfo"));
  EXPECT_TRUE(QueryVersionValue(block, kTranslation));
  EXPECT_TRUE(QueryVersionValue(block, L"\\"));
}

TEST(VersionResource, RootWithoutFixedInfoHasAnEmptyValue) {
  const Block block = VersionBlockBuilder().WithoutFixedInfo().String(L"ProductName", L"Ostrevin").Build();
  std::optional<TVersionValue> root = QueryVersionValue(block, L"\\");
  ASSERT_TRUE(root);
  EXPECT_TRUE(root->FData.empty());
  EXPECT_FALSE(DecodeFixedFileInfo(root->FData));
  EXPECT_TRUE(QueryVersionValue(block, kProductName));
}

TEST(VersionResource, BytesAfterTheRootAreIgnored) {
  Block block = SampleBlock();
  const std::size_t length = block.size();
  block.resize(length * 2, 0xCC);
  std::optional<TVersionValue> value = QueryVersionValue(block, kProductName);
  ASSERT_TRUE(value);
  EXPECT_EQ(value->Text(), std::wstring(L"Ostrevin\0", 9));
  EXPECT_EQ(WordAt(block, 0), length);
}

TEST(VersionResource, EmptyBlockFindsNothing) {
  EXPECT_FALSE(QueryVersionValue({}, L"\\"));
  EXPECT_FALSE(QueryVersionValue({0x06, 0x00, 0x00, 0x00}, L"\\"));  // header only, key cut off
}

// The root's wLength no longer fits any shorter buffer, so nothing is found
// and nothing past the buffer is read (run under a sanitizer to see it).
TEST(VersionResource, TruncatedBlockFindsNothing) {
  const Block block = SampleBlock();
  for (std::size_t size = 0; size < block.size(); ++size) {
    const Block cut(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(size));
    for (const wchar_t* path : {L"\\", kProductName, kTranslation})
      EXPECT_FALSE(QueryVersionValue(cut, path)) << "size " << size << ", " << WideToUtf8(path);
  }
}

// A corrupt node hides itself and the nodes after it in the same parent;
// the rest of the block stays readable.
TEST(VersionResource, CorruptNodesAreNotFound) {
  struct Case {
    const char* FWhat;
    const wchar_t* FNode;
    std::size_t FField;  // byte offset in the node's header
    int FValue;          // -1: the end of the key, without its terminating zero
    bool FTranslationFound;
  };
  const Case cases[] = {
      {"root longer than the block", L"VS_VERSION_INFO", 0, 0xFFFF, false},
      {"root length zero", L"VS_VERSION_INFO", 0, 0, false},
      {"string table longer than its parent", L"040904b0", 0, 0x7FFF, true},
      {"string table length zero", L"040904b0", 0, 0, true},
      {"string length below a header", L"Comments", 0, 4, true},
      {"string key without its zero", L"Comments", 0, -1, true},
      {"StringFileInfo longer than the root", L"StringFileInfo", 0, 0x7FFF, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.FWhat);
    Block block = SampleBlock();
    const std::size_t node = NodeOffset(block, c.FNode);
    const std::uint16_t value =
        c.FValue >= 0 ? static_cast<std::uint16_t>(c.FValue) : static_cast<std::uint16_t>(6 + 2 * std::wcslen(c.FNode));
    SetWord(block, node + c.FField, value);
    EXPECT_FALSE(QueryVersionValue(block, kProductName));
    EXPECT_EQ(QueryVersionValue(block, kTranslation).has_value(), c.FTranslationFound);
  }
}

TEST(VersionResource, ValueLongerThanItsNodeIsCutAtTheNodeEnd) {
  Block block = SampleBlock();
  const std::size_t node = NodeOffset(block, L"ProductName");
  SetWord(block, node + 2, 1000);  // wValueLength
  std::optional<TVersionValue> value = QueryVersionValue(block, kProductName);
  ASSERT_TRUE(value);
  EXPECT_EQ(value->Text(), std::wstring(L"Ostrevin\0", 9));
  EXPECT_TRUE(QueryVersionValue(block, kTranslation));
}

}  // namespace
}  // namespace ostrevin
