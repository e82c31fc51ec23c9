// TextUtilsTest.cpp - tests of the small shared text functions.
#include "foundation/TextUtils.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "foundation/TextCompare.h"
#include "foundation/TextEncoding.h"

namespace ostrevin {
namespace {

TEST(TextUtilsTest, StartsTextAndEndsTextIgnoreCase) {
  struct Case {
    const wchar_t* S;
    const wchar_t* Affix;
    bool Starts, Ends;
  };
  const Case cases[] = {
      {L"name.TXT", L".txt", false, true},
      {L"Name.txt", L"NAME", true, false},
      {L"\u00C9cole", L"\u00E9CO", true, false},  // É and é
      {L"abc", L"", true, true},
      {L"", L"", true, true},
      {L"ab", L"abc", false, false},
      {L"ab", L"xab", false, false},
      {L"abab", L"ab", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(std::wstring(c.S) + L" / " + c.Affix));
    EXPECT_EQ(StartsText(c.S, c.Affix), c.Starts);
    EXPECT_EQ(EndsText(c.S, c.Affix), c.Ends);
  }
}

TEST(TextUtilsTest, AppendDelimitedPutsTheDelimiterBeforeEveryItemButTheFirst) {
  std::wstring s;
  AppendDelimited(s, L"", L", ");
  EXPECT_EQ(s, L"");
  s = L"x";
  AppendDelimited(s, L"", L", ");
  EXPECT_EQ(s, L"x, ");

  std::wstring line;
  for (const wchar_t* value : {L"Mac OS X", L"10.6.8", L"10K549"}) AppendDelimited(line, value, L", ");
  EXPECT_EQ(line, L"Mac OS X, 10.6.8, 10K549");
}

TEST(TextUtilsTest, CountOccurrencesCountsNonOverlappingMatches) {
  EXPECT_EQ(CountOccurrences(L"aa", L"aaa"), 1);
  EXPECT_EQ(CountOccurrences(L"aa", L"aaaa"), 2);
  EXPECT_EQ(CountOccurrences(L"ab", L"xabyabab"), 3);
  EXPECT_EQ(CountOccurrences(L"A", L"aaa"), 0);
  EXPECT_EQ(CountOccurrences(L"", L"abc"), 0);
  EXPECT_EQ(CountOccurrences(L"a", L""), 0);
}

TEST(TextUtilsTest, UrlEncodeWritesUtf8BytesOutsideTheSafeSetAsHex) {
  EXPECT_EQ(UrlEncode(L"a b", true), L"a+b");
  EXPECT_EQ(UrlEncode(L"a b", false), L"a%20b");
  EXPECT_EQ(UrlEncode(L",-._09AZaz", false), L",-._09AZaz");
  EXPECT_EQ(UrlEncode(L"~/:?&=+%*", true), L"%7E%2F%3A%3F%26%3D%2B%25%2A");
  EXPECT_EQ(UrlEncode(L"\u00E9", false), L"%C3%A9");
  EXPECT_EQ(UrlEncode(L"\U0001F600", false), L"%F0%9F%98%80");  // a surrogate pair on Windows
  EXPECT_EQ(UrlEncode(L"", false), L"");
}

TEST(TextUtilsTest, HexDigitsAreUpperCaseAndPadded) {
  EXPECT_EQ(ByteToHex(0), L"00");
  EXPECT_EQ(ByteToHex(10), L"0A");
  EXPECT_EQ(ByteToHex(0xFF), L"FF");
  EXPECT_EQ(IntToHex(255, 4), L"00FF");
  EXPECT_EQ(IntToHex(0x12345, 2), L"12345");
  EXPECT_EQ(IntToHex(0, 0), L"0");
  // Negative values print in their own type's width.
  EXPECT_EQ(IntToHex(-1, 1), L"FFFFFFFF");
  EXPECT_EQ(IntToHex(std::int64_t{-1}, 1), L"FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(std::int16_t{-2}, 1), L"FFFE");
  EXPECT_EQ(IntToHex(0x800706BAu, 8), L"800706BA");
}

TEST(TextUtilsTest, TrimRemovesControlCharactersAndSpacesOnly) {
  const std::wstring s = L" \t\r\n\x01" L"a b\x1F \x00A0";  // ends in a no-break space, which stays
  EXPECT_EQ(Trim(s), L"a b\x1F \x00A0");
  EXPECT_EQ(Trim(L"\r\n a b \t"), L"a b");
  EXPECT_EQ(TrimLeft(L"  a  "), L"a  ");
  EXPECT_EQ(TrimRight(L"  a  "), L"  a");
  EXPECT_EQ(Trim(L" \t "), L"");
  EXPECT_EQ(Trim(L""), L"");
}

TEST(TextUtilsTest, RemoveWhiteSpaceDeletesUnicodeWhiteSpaceEverywhere) {
  EXPECT_EQ(RemoveWhiteSpace(L" a\tb\r\nc\x000B\x000C" L"d\x0085" L"e\x00A0" L"f\x1680g\x2000h\x200Ai\x2028j\x2029k"
                             L"\x202Fl\x205Fm\x3000n "),
            L"abcdefghijklmn");
  // Look-alikes that are not white space in the Unicode sense stay.
  EXPECT_EQ(RemoveWhiteSpace(L"a\x200B" L"b\x0001" L"c\x00AD" L"d\xFEFF"), L"a\x200B" L"b\x0001" L"c\x00AD" L"d\xFEFF");
}

TEST(TextUtilsTest, StringReplaceAllReplacesLeftToRightWithoutRescanning) {
  EXPECT_EQ(StringReplaceAll(L"aaa", L"aa", L"b"), L"ba");
  EXPECT_EQ(StringReplaceAll(L"ab", L"a", L"aa"), L"aab");
  EXPECT_EQ(StringReplaceAll(L"a.b.c", L".", L""), L"abc");
  EXPECT_EQ(StringReplaceAll(L"xAx", L"a", L"y"), L"xAx");
  EXPECT_EQ(StringReplaceAll(L"abc", L"", L"x"), L"abc");
  EXPECT_EQ(StringReplaceAll(L"a>b>", L">", L">,"), L"a>,b>,");
}

TEST(TextUtilsTest, LowerAndUpperCase) {
  EXPECT_EQ(LowerCase(L"AbC \u00C0\u00DE\u0178"), L"abc \u00E0\u00FE\u00FF");
  EXPECT_EQ(UpperCase(L"abc stra\u00DFe \u00FF \u00F7 \u0131"), L"ABC STRA\u00DFE \u0178 \u00F7 \u0131");
  EXPECT_EQ(UpperCase(L"\u03C9\u03BC\u03AD\u03B3\u03B1 \u0436\u0451\u043B\u0442\u044B\u0439"),
            L"\u03A9\u039C\u0388\u0393\u0391 \u0416\u0401\u041B\u0422\u042B\u0419");
}

TEST(TextUtilsTest, UpperCaseRaisesEveryLetterThatFoldCaseLowers) {
  for (std::uint32_t u = 0; u <= 0xFFFF; ++u) {
    const auto upper = static_cast<wchar_t>(u);
    const wchar_t lower = FoldCase(upper);
    if (lower == upper) continue;
    ASSERT_EQ(UpperCase(std::wstring(1, lower)), std::wstring(1, upper)) << "U+" << std::hex << u;
  }
}

TEST(TextUtilsTest, StrToIntDefAcceptsOnlyPlainDecimalIntegers) {
  struct Case {
    const wchar_t* S;
    int Expected;
  };
  constexpr int def = -99;
  const Case cases[] = {
      {L"0", 0},           {L"42", 42},          {L"-42", -42},           {L"+7", 7},
      {L"007", 7},         {L"2147483647", 2147483647},                   {L"-2147483648", -2147483647 - 1},
      {L"2147483648", def}, {L"-2147483649", def}, {L"99999999999999999999", def},
      {L"", def},          {L"-", def},          {L"+", def},             {L" 1", def},
      {L"1 ", def},        {L"0x10", def},       {L"$10", def},           {L"12a", def},
      {L"1.5", def},       {L"--1", def},
  };
  for (const Case& c : cases) EXPECT_EQ(StrToIntDef(c.S, def), c.Expected) << WideToUtf8(c.S);
}

}  // namespace
}  // namespace ostrevin
