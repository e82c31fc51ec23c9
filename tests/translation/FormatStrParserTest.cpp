// FormatStrParserTest.cpp - reading "%" specifiers, canonical forms and
// specifier tables.
#include "translation/FormatStrParser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "support/RaisedMessage.h"

namespace ostrevin {
namespace {

using ::testing::ElementsAre;

TEST(FormatStrParserTest, ParseFormatSpecifierReadsOneSpecifier) {
  struct {
    std::wstring Text;
    bool IsSpecifier;
    std::wstring Parsed;
    int NextIndex;
    int LastIndex, ExplicitCount, ImplicitCount;
  } cases[] = {
      {L"%s rest", true, L"%0:s", 3, 0, 0, 1},
      {L"%1:d", true, L"%1:d", 5, 1, 1, 0},
      {L"%123456:x", true, L"%123456:x", 10, 123456, 1, 0},
      {L"%-10.3f", true, L"%0:-10.3f", 8, 0, 0, 1},
      {L"%999999S", true, L"%0:999999S", 9, 0, 0, 1},
      {L"%.*s", true, L"%0:.*s", 5, 0, 0, 1},
      // A first "*" is read as part of the index; a width "*" after digits
      // takes one more argument.
      {L"%*d", true, L"%0:*d", 4, 0, 0, 1},
      {L"%5*d", true, L"%0:5*d", 5, 1, 0, 2},
      {L"%2:*m", true, L"%2:*m", 6, 3, 1, 1},
      // No specifier: a doubled percent sign, a blank after it, the end.
      {L"%%d", false, L"%%", 3, -1, 0, 0},
      {L"% d", false, L"% ", 3, -1, 0, 0},
      {L"%", false, L"%", 2, -1, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    TFormatStrParser parser(c.Text);
    EXPECT_EQ(parser.ParseFormatSpecifier(), c.IsSpecifier);
    EXPECT_EQ(parser.ParsedString, c.Parsed);
    EXPECT_EQ(parser.PFormatString_Index, c.NextIndex);
    EXPECT_EQ(parser.LastIndex, c.LastIndex);
    EXPECT_EQ(parser.ExplicitCount, c.ExplicitCount);
    EXPECT_EQ(parser.ImplicitCount, c.ImplicitCount);
  }
}

TEST(FormatStrParserTest, MalformedSpecifiersRaiseWithTheWholeText) {
  for (const wchar_t* text : {L"%1234567d", L"%1234567:d", L"%.1234567f", L"%q", L"%5", L"%-", L"%1:", L"%*:d",
                              L"%.-d", L"Saved %z files"}) {
    TFormatStrParser parser(text);
    EXPECT_EQ(RaisedMessage<EFormatSpecError>([&] { parser.ParseAll(); }),
              std::wstring(L"Invalid Format Specifier: ") + text)
        << text;
  }
}

TEST(FormatStrParserTest, ParseAllCollectsIndexedSpecifiers) {
  TFormatStrParser parser(L"%1:s of %s, 100%% done in %d%");
  EXPECT_THAT(parser.ParseAll(), ElementsAre(L"%1:s", L"%2:s", L"%3:d"));
  EXPECT_EQ(parser.ParsedString, L"%1:s of %2:s, 100%% done in %3:d%");
}

TEST(FormatStrParserTest, CanonicalFormGivesEveryImplicitSpecifierItsIndex) {
  struct {
    std::wstring Text, Canonical;
  } cases[] = {
      {L"%s", L"%s"},
      {L"Saved %d files (100%%)", L"Saved %d files (100%%)"},
      {L"%s %d", L"%0:s %1:d"},
      {L"%0:s %1:d", L"%0:s %1:d"},
      {L"%1:s %0:s", L"%1:s %0:s"},
      {L"%s %0:s", L"%0:s %0:s"},
      {L"%1:s %s", L"%1:s %2:s"},
      {L"%5*d %s", L"%0:5*d %2:s"},
      {L"no arguments", L"no arguments"},
  };
  for (const auto& c : cases) EXPECT_EQ(CanonicalFormatString(c.Text), c.Canonical) << c.Text;
}

TEST(FormatStrParserTest, TypeClassesByTheLastCharacter) {
  struct {
    std::wstring Specifier;
    TFormatTypeClass TypeClass;
  } cases[] = {
      {L"%0:d", TFormatTypeClass::Integer},       {L"%0:U", TFormatTypeClass::Integer},
      {L"%0:x", TFormatTypeClass::Integer},       {L"%0:e", TFormatTypeClass::FloatingPoint},
      {L"%0:F", TFormatTypeClass::FloatingPoint}, {L"%0:g", TFormatTypeClass::FloatingPoint},
      {L"%0:m", TFormatTypeClass::FloatingPoint}, {L"%0:n", TFormatTypeClass::FloatingPoint},
      {L"%0:p", TFormatTypeClass::Pointer},       {L"%0:S", TFormatTypeClass::String},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatTypeClassOf(c.Specifier), c.TypeClass) << c.Specifier;
  EXPECT_EQ(RaisedMessage<EVemInternalError>([] { FormatTypeClassOf(L"%0:q"); }),
            L"Internal Error: Unexpected format type (%0:q)");
}

TEST(FormatStrParserTest, SpecifierTableHasASlotPerIndex) {
  const TFormatSpecifierTable table = BuildFormatSpecifierTable(L"%s %d %0:s %3:p");
  EXPECT_EQ(table.Size, 4);
  EXPECT_EQ(table.SpecifierAt(0), L"%0:s");  // the first one at the index
  EXPECT_EQ(table.TypeClassAt(0), TFormatTypeClass::String);
  EXPECT_EQ(table.TypeClassAt(1), TFormatTypeClass::Integer);
  EXPECT_EQ(table.SpecifierAt(2), L"");  // unused: counts as integer
  EXPECT_EQ(table.TypeClassAt(2), TFormatTypeClass::Integer);
  EXPECT_EQ(table.TypeClassAt(3), TFormatTypeClass::Pointer);
  EXPECT_EQ(BuildFormatSpecifierTable(L"no arguments").Size, 0);

  EXPECT_EQ(RaisedMessage<EFormatSpecError>([] { BuildFormatSpecifierTable(L"%s or %0:d"); }),
            L"Argument types for index 0 do not match. (%0:s <> %0:d)");
}

}  // namespace
}  // namespace ostrevin
