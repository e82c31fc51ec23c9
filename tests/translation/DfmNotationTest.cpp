// DfmNotationTest.cpp - string values and string lists in form-resource notation.
#include "translation/DfmNotation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/RaisedMessage.h"

namespace ostrevin {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::wstring k64(64, L'x');
const std::wstring k70 = std::wstring(64, L'a') + L"bcdefg";

struct TCase {
  std::wstring Notation;
  std::wstring Text;
};

TEST(DfmNotationTest, ReadsQuotedRunsCodesAndConcatenations) {
  const TCase cases[] = {
      {L"'Save'", L"Save"},
      {L"''", L""},
      {L"'Can''t'", L"Can't"},
      {L"''''", L"'"},
      {L"'a'#13#10'b'", L"a\r\nb"},
      {L"#$41#66#$6a", L"ABj"},
      {L"'abc' +\r\n    'def'", L"abcdef"},
      {L"  'a'+#9+'b'  \r\n", L"a\tb"},
      {L"'Gr'#252#223'e'", L"Gr\u00FC\u00DFe"},
      {L"'caf\u00E9'", L"caf\u00E9"},
      // Codes are UTF-16 units: a surrogate pair is one character natively.
      {L"#55357#56832", L"\U0001F600"},
  };
  for (const TCase& c : cases) EXPECT_EQ(DfmStringToText(c.Notation), c.Text) << c.Notation;
}

TEST(DfmNotationTest, MalformedValuesRaiseWithTheirLine) {
  const TCase cases[] = {
      {L"", L"String expected on line 1"},
      {L"Save", L"String expected on line 1"},
      {L"'abc", L"Unterminated string on line 1"},
      {L"'ab\r\ncd'", L"Unterminated string on line 1"},
      {L"'a' +", L"String expected on line 1"},
      {L"'a' +\r\n\r\n  5", L"String expected on line 3"},
      {L"#", L"Invalid string constant on line 1"},
      {L"#$", L"Invalid string constant on line 1"},
      {L"#65536", L"Invalid string constant on line 1"},
      {L"#99999999999999999999", L"Invalid string constant on line 1"},
      {L"'a' 'b'", L"Unexpected text on line 1"},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(RaisedMessage<EParserError>([&] { DfmStringToText(c.Notation); }), c.Text) << c.Notation;
}

TEST(DfmNotationTest, WritesRunsCodesAndLinesOf64Characters) {
  const TCase cases[] = {
      {L"''", L""},
      {L"'Save'", L"Save"},
      {L"'Can'#39't'", L"Can't"},
      {L"'a'#13#10'b'", L"a\r\nb"},
      {L"'Gr'#252#223'e'", L"Gr\u00FC\u00DFe"},
      {L"'~\x7F'#128", L"~\x7F\x80"},
      {L"#55357#56832", L"\U0001F600"},
      {L"'" + k64 + L"'", k64},
      // 70 characters: a line break first, then 64 and 6.
      {L"\r\n'" + k70.substr(0, 64) + L"' +\r\n'bcdefg'", k70},
      {L"\r\n'" + k64 + L"' +\r\n'y'", k64 + L"y"},
      // A character code that fills the line ends it too.
      {L"\r\n'" + std::wstring(63, L'x') + L"'#10 +\r\n'ab'", std::wstring(63, L'x') + L"\nab"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(TextToDfmString(c.Text), c.Notation) << c.Notation;
    EXPECT_EQ(DfmStringToText(c.Notation), c.Text) << c.Notation;
  }
  EXPECT_EQ(TextToDfmString(k70, L"    "), L"\r\n    '" + k70.substr(0, 64) + L"' +\r\n    'bcdefg'");
}

TEST(DfmNotationTest, LongMixedTextsRoundTrip) {
  std::wstring mixed;
  for (int i = 0; i < 300; ++i)
    mixed += i % 7 == 0 ? L'\'' : static_cast<wchar_t>(i % 11 == 0 ? 0xE9 : L'a' + i % 26);
  for (const std::wstring& text : {mixed, std::wstring(200, L'\t'), std::wstring(129, L'z') + L"\U0001F600"})
    EXPECT_EQ(DfmStringToText(TextToDfmString(text, L"  ")), text);
}

TEST(DfmNotationTest, ReadsListValues) {
  EXPECT_THAT(ReadDfmStringListValue(L"('Caption' 'CancelBtn.Caption')"), ElementsAre(L"Caption", L"CancelBtn.Caption"));
  EXPECT_THAT(ReadDfmStringListValue(L"(\r\n    'Caption'\r\n    'CancelBtn.Caption')\r\n"),
              ElementsAre(L"Caption", L"CancelBtn.Caption"));
  EXPECT_THAT(ReadDfmStringListValue(L"('a' + 'b' #13 'it''s')"), ElementsAre(L"ab", L"\r", L"it's"));
  EXPECT_THAT(ReadDfmStringListValue(L"()"), IsEmpty());
  EXPECT_THAT(ReadDfmStringListValue(L" ( \r\n ) "), IsEmpty());
}

TEST(DfmNotationTest, MalformedListsRaise) {
  const TCase cases[] = {
      {L"'Caption'", L"'(' expected on line 1"},
      {L"('Caption'", L"')' expected on line 1"},
      {L"(\r\n  'a'\r\n", L"')' expected on line 3"},
      {L"('Caption' Hint)", L"String expected on line 1"},
      {L"('a') 'b'", L"Unexpected text on line 1"},
      {L"('a' +)", L"String expected on line 1"},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(RaisedMessage<EParserError>([&] { ReadDfmStringListValue(c.Notation); }), c.Text) << c.Notation;
}

TEST(DfmNotationTest, WritesListValuesThatReadBack) {
  EXPECT_EQ(WriteDfmStringListValue({L"Caption", L"CancelBtn.Caption"}),
            L"(\r\n  'Caption'\r\n  'CancelBtn.Caption')");
  EXPECT_EQ(WriteDfmStringListValue({}), L"()");
  // A long item continues on indented lines, without a second line break.
  EXPECT_EQ(WriteDfmStringListValue({k70, L""}, L"    "),
            L"(\r\n    '" + k70.substr(0, 64) + L"' +\r\n    'bcdefg'\r\n    '')");

  const std::vector<std::wstring> items = {L"", L"Caption", L"It's\r\n", k70 + k70, L"\U0001F600"};
  EXPECT_EQ(ReadDfmStringListValue(WriteDfmStringListValue(items)), items);
}

}  // namespace
}  // namespace ostrevin
