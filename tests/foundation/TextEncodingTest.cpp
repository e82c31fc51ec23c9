// TextEncodingTest.cpp - UTF-8, UTF-16 and ANSI conversions with byte-order marks.
#include "foundation/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/FakePlatform.h"

namespace ostrevin {
namespace {

// U+1F600 GRINNING FACE: a surrogate pair on Windows, one wchar_t natively.
const std::wstring kGrin = L"\U0001F600";
const wchar_t kReplacementChar = static_cast<wchar_t>(0xFFFD);

std::string Chars(std::initializer_list<unsigned char> bytes) { return std::string(bytes.begin(), bytes.end()); }

class TextEncodingTest : public ::testing::Test {
 protected:
  FakePlatform platform;  // the ANSI code page is Windows-1252
};

// --- UTF-8 -----------------------------------------------------------------

TEST(Utf8Test, EncodesOneToFourBytes) {
  EXPECT_EQ(WideToUtf8(L""), "");
  EXPECT_EQ(WideToUtf8(L"Az"), "Az");
  EXPECT_EQ(WideToUtf8(L"\u00E9"), Chars({0xC3, 0xA9}));
  EXPECT_EQ(WideToUtf8(L"\u0416"), Chars({0xD0, 0x96}));  // Cyrillic Zhe
  EXPECT_EQ(WideToUtf8(L"\u20AC"), Chars({0xE2, 0x82, 0xAC}));
  EXPECT_EQ(WideToUtf8(kGrin), Chars({0xF0, 0x9F, 0x98, 0x80}));
}

TEST(Utf8Test, DecodesOneToFourBytes) {
  EXPECT_EQ(Utf8ToWide(""), L"");
  EXPECT_EQ(Utf8ToWide("Az"), L"Az");
  EXPECT_EQ(Utf8ToWide(Chars({0xC3, 0xA9, 0xD0, 0x96, 0xE2, 0x82, 0xAC})), L"\u00E9\u0416\u20AC");
  EXPECT_EQ(Utf8ToWide(Chars({0xF0, 0x9F, 0x98, 0x80})), kGrin);
}

TEST(Utf8Test, NonBmpCharacterRoundTrips) {
  const std::wstring text = L"a" + kGrin + L"b";
  EXPECT_EQ(text.size(), sizeof(wchar_t) == 2 ? 4u : 3u);
  EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
}

TEST(Utf8Test, EmbeddedNulIsKept) {
  const std::wstring text(L"a\0b", 3);
  EXPECT_EQ(WideToUtf8(text), std::string("a\0b", 3));
  EXPECT_EQ(Utf8ToWide(std::string("a\0b", 3)), text);
}

TEST(Utf8Test, InvalidBytesBecomeReplacementCharacters) {
  const std::wstring r(1, kReplacementChar);
  EXPECT_EQ(Utf8ToWide(Chars({0x80})), r);                      // stray continuation byte
  EXPECT_EQ(Utf8ToWide(Chars({'a', 0xFF, 'b'})), L"a" + r + L"b");
  EXPECT_EQ(Utf8ToWide(Chars({0xE2, 0x82})), r);                // cut short at the end: one
  EXPECT_EQ(Utf8ToWide(Chars({0xE2, 0x82, 'x'})), r + L"x");    // cut short inside
  EXPECT_EQ(Utf8ToWide(Chars({0xC0, 0xAF})), r + r);            // overlong form
  EXPECT_EQ(Utf8ToWide(Chars({0xE0, 0x80, 0xAF})), r + r + r);  // overlong three-byte form
  EXPECT_EQ(Utf8ToWide(Chars({0xED, 0xA0, 0x80})), r + r + r);  // encoded surrogate
  EXPECT_EQ(Utf8ToWide(Chars({0xF4, 0x90, 0x80, 0x80})), r + r + r + r);  // beyond U+10FFFF
  EXPECT_EQ(Utf8ToWide(Chars({0xF5})), r);
}

TEST(Utf8Test, UnpairedSurrogatesAreWrittenAsReplacementCharacters) {
  const std::string replacement = Chars({0xEF, 0xBF, 0xBD});
  EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), replacement);
  EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xDC00)) + L"a"), replacement + "a");
}

// --- UTF-16 code units -----------------------------------------------------

TEST(Utf16Test, NonBmpCharacterIsASurrogatePair) {
  EXPECT_EQ(ToUtf16(kGrin), (std::u16string{0xD83D, 0xDE00}));
  EXPECT_EQ(FromUtf16(std::u16string{0xD83D, 0xDE00}), kGrin);
  EXPECT_EQ(ToUtf16(L"A\u00E9"), u"A\u00E9");
  EXPECT_EQ(FromUtf16(u"A\u00E9"), L"A\u00E9");
}

TEST(Utf16Test, LoneSurrogatesPassThrough) {
  const std::u16string units{u'a', 0xDC00, 0xD800};
  const std::wstring text = FromUtf16(units);
  ASSERT_EQ(text.size(), 3u);
  EXPECT_EQ(static_cast<unsigned>(text[1]), 0xDC00u);
  EXPECT_EQ(ToUtf16(text), units);
}

// --- EncodeText ------------------------------------------------------------

TEST_F(TextEncodingTest, EncodesWithAndWithoutByteOrderMark) {
  EXPECT_EQ(EncodeText(L"A\u00E9", TextEncoding::Utf16LE, true), (Bytes{0xFF, 0xFE, 0x41, 0x00, 0xE9, 0x00}));
  EXPECT_EQ(EncodeText(L"A\u00E9", TextEncoding::Utf16LE, false), (Bytes{0x41, 0x00, 0xE9, 0x00}));
  EXPECT_EQ(EncodeText(L"A\u00E9", TextEncoding::Utf16BE, true), (Bytes{0xFE, 0xFF, 0x00, 0x41, 0x00, 0xE9}));
  EXPECT_EQ(EncodeText(L"A\u00E9", TextEncoding::Utf16BE, false), (Bytes{0x00, 0x41, 0x00, 0xE9}));
  EXPECT_EQ(EncodeText(L"A\u00E9", TextEncoding::Utf8, true), (Bytes{0xEF, 0xBB, 0xBF, 0x41, 0xC3, 0xA9}));
  EXPECT_EQ(EncodeText(L"A\u00E9", TextEncoding::Utf8, false), (Bytes{0x41, 0xC3, 0xA9}));
}

TEST_F(TextEncodingTest, NoneWritesUtf16LittleEndian) {
  EXPECT_EQ(EncodeText(L"A", TextEncoding::None, true), (Bytes{0xFF, 0xFE, 0x41, 0x00}));
  EXPECT_EQ(EncodeText(L"A", TextEncoding::None, false), (Bytes{0x41, 0x00}));
}

TEST_F(TextEncodingTest, EmptyTextIsJustTheMark) {
  EXPECT_EQ(EncodeText(L"", TextEncoding::Utf16LE, true), (Bytes{0xFF, 0xFE}));
  EXPECT_EQ(EncodeText(L"", TextEncoding::Utf8, false), Bytes{});
}

TEST_F(TextEncodingTest, AnsiUsesTheCodePageAndHasNoMark) {
  EXPECT_EQ(EncodeText(L"A\u00E9\u20AC", TextEncoding::Ansi, true), (Bytes{0x41, 0xE9, 0x80}));
  // A character that Windows-1252 lacks becomes "?".
  EXPECT_EQ(EncodeText(L"\u0416", TextEncoding::Ansi, false), (Bytes{'?'}));
}

TEST(TextEncodingNoPortTest, AnsiWithoutCodePageRaises) {
  EXPECT_THROW(EncodeText(L"A", TextEncoding::Ansi, false), EVemInternalError);
}

TEST_F(TextEncodingTest, NonBmpCharacterEncodesExactly) {
  EXPECT_EQ(EncodeText(kGrin, TextEncoding::Utf8, false), (Bytes{0xF0, 0x9F, 0x98, 0x80}));
  EXPECT_EQ(EncodeText(kGrin, TextEncoding::Utf16LE, false), (Bytes{0x3D, 0xD8, 0x00, 0xDE}));
  EXPECT_EQ(EncodeText(kGrin, TextEncoding::Utf16BE, false), (Bytes{0xD8, 0x3D, 0xDE, 0x00}));
}

// --- DecodeText ------------------------------------------------------------

TEST_F(TextEncodingTest, DecodesByByteOrderMark) {
  TextEncoding found = TextEncoding::None;
  EXPECT_EQ(DecodeText(Bytes{0xEF, 0xBB, 0xBF, 0x41, 0xC3, 0xA9}, &found), L"A\u00E9");
  EXPECT_EQ(found, TextEncoding::Utf8);
  EXPECT_EQ(DecodeText(Bytes{0xFF, 0xFE, 0x41, 0x00, 0xE9, 0x00}, &found), L"A\u00E9");
  EXPECT_EQ(found, TextEncoding::Utf16LE);
  EXPECT_EQ(DecodeText(Bytes{0xFE, 0xFF, 0x00, 0x41, 0x00, 0xE9}, &found), L"A\u00E9");
  EXPECT_EQ(found, TextEncoding::Utf16BE);
}

TEST_F(TextEncodingTest, WithoutMarkDecodesAsAnsi) {
  TextEncoding found = TextEncoding::None;
  EXPECT_EQ(DecodeText(Bytes{0x41, 0xE9, 0x80}, &found), L"A\u00E9\u20AC");
  EXPECT_EQ(found, TextEncoding::Ansi);
  // UTF-8 without a mark is read as ANSI too.
  EXPECT_EQ(DecodeText(Bytes{0xC3, 0xA9}, &found), L"\u00C3\u00A9");
  EXPECT_EQ(found, TextEncoding::Ansi);
}

TEST_F(TextEncodingTest, EmptyAndMarkOnly) {
  TextEncoding found = TextEncoding::None;
  EXPECT_EQ(DecodeText(Bytes{}, &found), L"");
  EXPECT_EQ(found, TextEncoding::Ansi);
  EXPECT_EQ(DecodeText(Bytes{0xFF, 0xFE}, &found), L"");
  EXPECT_EQ(found, TextEncoding::Utf16LE);
  EXPECT_EQ(DecodeText(Bytes{0xEF, 0xBB, 0xBF}, &found), L"");
  EXPECT_EQ(found, TextEncoding::Utf8);
  // A partial UTF-8 mark is no mark.
  EXPECT_EQ(DecodeText(Bytes{0xEF, 0xBB}, &found), L"\u00EF\u00BB");
  EXPECT_EQ(found, TextEncoding::Ansi);
}

TEST_F(TextEncodingTest, FoundIsOptional) { EXPECT_EQ(DecodeText(Bytes{0xFF, 0xFE, 0x41, 0x00}), L"A"); }

TEST_F(TextEncodingTest, OddUtf16ByteBecomesReplacementCharacter) {
  EXPECT_EQ(DecodeText(Bytes{0xFF, 0xFE, 0x41, 0x00, 0x42}), std::wstring(L"A") + kReplacementChar);
  EXPECT_EQ(DecodeTextAs(Bytes{0x00}, TextEncoding::Utf16BE), std::wstring(1, kReplacementChar));
}

TEST_F(TextEncodingTest, DecodesAsTheGivenEncoding) {
  EXPECT_EQ(DecodeTextAs(Bytes{0x41, 0xC3, 0xA9}, TextEncoding::Utf8), L"A\u00E9");
  EXPECT_EQ(DecodeTextAs(Bytes{0x41, 0x00, 0xE9, 0x00}, TextEncoding::Utf16LE), L"A\u00E9");
  EXPECT_EQ(DecodeTextAs(Bytes{0x41, 0x00}, TextEncoding::None), L"A");
  EXPECT_EQ(DecodeTextAs(Bytes{0x00, 0x41, 0x00, 0xE9}, TextEncoding::Utf16BE), L"A\u00E9");
  EXPECT_EQ(DecodeTextAs(Bytes{0x41, 0x80}, TextEncoding::Ansi), L"A\u20AC");
  // A mark is not looked for: it stays in the text as U+FEFF.
  EXPECT_EQ(DecodeTextAs(Bytes{0xEF, 0xBB, 0xBF, 0x41}, TextEncoding::Utf8), L"\uFEFFA");
}

TEST_F(TextEncodingTest, NonBmpCharacterRoundTripsThroughEveryUnicodeEncoding) {
  const std::wstring text = L"x" + kGrin + L"\u00E9\r\n";
  for (TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Utf16LE, TextEncoding::Utf16BE}) {
    TextEncoding found = TextEncoding::None;
    EXPECT_EQ(DecodeText(EncodeText(text, encoding, true), &found), text);
    EXPECT_EQ(found, encoding);
    EXPECT_EQ(DecodeTextAs(EncodeText(text, encoding, false), encoding), text);
  }
}

TEST_F(TextEncodingTest, AnsiRoundTripsItsCharacters) {
  const std::wstring text = L"Caf\u00E9 \u20AC\u0160\u017D";
  TextEncoding found = TextEncoding::None;
  EXPECT_EQ(DecodeText(EncodeText(text, TextEncoding::Ansi, true), &found), text);
  EXPECT_EQ(found, TextEncoding::Ansi);
}

}  // namespace
}  // namespace ostrevin
