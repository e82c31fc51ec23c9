// VemLXCRC32Test.cpp - CRC-32 values and the start-up self-test.
#include "foundation/VemLXCRC32.h"

#include <gtest/gtest.h>

namespace ostrevin {
namespace {

TEST(VemLXCRC32, KnownValues) {
  EXPECT_EQ(Crc32Table[1], 0x77073096u);
  EXPECT_EQ(Crc32Table[255], 0x2D02EF8Du);

  TMemoryStream check(std::vector<std::uint8_t>{'1', '2', '3', '4', '5', '6', '7', '8', '9'});
  EXPECT_EQ(Crc32OfStream(check), 0xCBF43926u);

  EXPECT_EQ(Crc32OfString(L""), 0u);
  EXPECT_EQ(Crc32OfString(L"This is a test!"), 0x29492415u);  // UTF-16 LE, not 8-bit (0x567CD4CC)
  // Outside the basic plane the text is hashed as its surrogate pair.
  TMemoryStream pair(std::vector<std::uint8_t>{0x3D, 0xD8, 0x00, 0xDE});
  EXPECT_EQ(Crc32OfString(L"\U0001F600"), Crc32OfStream(pair));

  std::uint32_t reg = 0xFFFFFFFF;
  Crc32OfTable(reg);
  EXPECT_EQ(~reg, 0x6FCF9E13u);
}

TEST(VemLXCRC32, StreamIsReadFromItsStartWhateverItsPosition) {
  TMemoryStream stream(std::vector<std::uint8_t>{'1', '2', '3', '4', '5', '6', '7', '8', '9'});
  stream.SetPosition(5);
  EXPECT_EQ(Crc32OfStream(stream), 0xCBF43926u);
  TMemoryStream empty;
  EXPECT_EQ(Crc32OfStream(empty), 0u);
  // A stream longer than one read buffer.
  TMemoryStream large(std::vector<std::uint8_t>(100000, 'a'));
  TMemoryStream again(std::vector<std::uint8_t>(100000, 'a'));
  again.SetPosition(99999);
  EXPECT_EQ(Crc32OfStream(large), Crc32OfStream(again));
}

TEST(VemLXCRC32, SelfTestPasses) { EXPECT_NO_THROW(InitializeVemLXCRC32()); }

}  // namespace
}  // namespace ostrevin
