// EmailAddressTest.cpp - tests of the address-field parser.
//
// Tables of what users type: bare addresses, display names with and without
// quotes, stray quotes and brackets, and lists with every kind of separator.
#include "foundation/EmailAddress.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "foundation/TextEncoding.h"
#include "foundation/VemClasses.h"

namespace ostrevin {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(EmailAddressTest, SplitEmailAddress) {
  struct Case {
    const wchar_t* Text;
    const wchar_t* Address;
    const wchar_t* Name;
  };
  const Case cases[] = {
      {L"john@x.com", L"john@x.com", L"Def"},
      {L"  John Smith <john@x.com>  ", L"john@x.com", L"John Smith"},
      {L"\"Smith, John\" <john@x.com>", L"john@x.com", L"Smith, John"},
      {L"<john@x.com>", L"john@x.com", L"Def"},
      {L"John Smith john@x.com", L"john@x.com", L"John Smith"},  // name before the last space
      {L"John Smith", L"", L"John Smith"},                      // no at sign: all name
      {L"", L"", L""},
      // Single quotes around the whole entry go.
      {L"'john@x.com'", L"john@x.com", L"Def"},
      {L"'jo'hn@x.com'", L"'jo'hn@x.com'", L"Def"},
      // Unquoting.
      {L"\"john@x.com\"", L"john@x.com", L"Def"},
      {L"\"O\"\"Brien\" <ob@x.com>", L"ob@x.com", L"O'Brien"},
      {L"\"\" <a@x.com>", L"a@x.com", L"Def"},
      {L"\"\" x\" <a@x.com>", L"a@x.com", L"'' x'"},  // reads as nothing, so it stays
      {L"\"John <j@x.com>", L"j@x.com", L"John"},
      {L"John\" <j@x.com>", L"j@x.com", L"John"},
      {L"\"\"\"", L"", L"'"},
      // Characters a name or an address must not carry.
      {L"Jo <Admin> <jo@x.com>", L"jo@x.com", L"Jo {Admin}"},
      {L"Jo \"Q\" Doe <jo@x.com>", L"jo@x.com", L"Jo 'Q' Doe"},
      {L"John <jo hn@x.\tcom\u00A0>", L"john@x.com", L"John"},
      {L"<\"john@x.com\" >", L"john@x.com", L"Def"},  // ">" goes before the trim
      // An address typed in the name's place.
      {L"john@x.com <>", L"john@x.com", L"Def"},
      {L"@x.com <>", L"", L"@x.com"},
      {L"john smith@x.com <>", L"", L"john smith@x.com"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.Text));
    std::wstring address = L"old", name = L"old";
    SplitEmailAddress(c.Text, L"Def", address, name);
    EXPECT_EQ(address, c.Address);
    EXPECT_EQ(name, c.Name);
  }
}

TEST(EmailAddressTest, FormatEmailAddress) {
  struct Case {
    const wchar_t* Entry;
    bool WithName, KeepNameOnly;
    const wchar_t* Expected;
  };
  const Case cases[] = {
      {L"John <john@x.com>", false, true, L"john@x.com"},
      {L"John <john@x.com>", true, false, L"\"John\" <john@x.com>"},
      {L"john@x.com", true, false, L"\"Def\" <john@x.com>"},
      {L"John Smith", true, true, L"\"John Smith\" <>"},
      {L"John Smith", true, false, L""},
      {L"John Smith", false, true, L""},
      {L"", true, true, L""},
      // Line breaks, commas and semicolons in a name become spaces.
      {L"Smith,\r\nJohn; Jr <j@x.com>", true, false, L"\"Smith John Jr\" <j@x.com>"},
      {L"\"A,B;C\rD\nE\" <a@x.com>", true, false, L"\"A B C D E\" <a@x.com>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.Entry));
    EXPECT_EQ(FormatEmailAddress(c.Entry, L"Def", c.WithName, c.KeepNameOnly), c.Expected);
  }
  // Without a default name a bare address stays bare.
  EXPECT_EQ(FormatEmailAddress(L"john@x.com", L"", true, true), L"john@x.com");
}

std::vector<std::wstring> Parse(std::wstring_view text, bool withName = true, bool keepNameOnly = true) {
  TVemStringList list;
  ParseEmailAddressList(list, text, L"Friend", keepNameOnly, withName);
  return std::vector<std::wstring>(list.begin(), list.end());
}

TEST(EmailAddressTest, ParseEmailAddressListSplitsAtSeparatorsOutsideNames) {
  EXPECT_THAT(Parse(L"\"Smith, John\" <john@x.com>; jane@y.com"),
              ElementsAre(L"\"Smith John\" <john@x.com>", L"\"Friend\" <jane@y.com>"));
  // An unquoted "Surname, Given" before its address is one name.
  EXPECT_THAT(Parse(L"Smith, John <john@x.com>, jane@y.com"),
              ElementsAre(L"\"Smith John\" <john@x.com>", L"\"Friend\" <jane@y.com>"));
  // Quotes protect separators and at signs alike.
  EXPECT_THAT(Parse(L"\"john@x.com, boss\" <j@x.com>"), ElementsAre(L"\"john@x.com boss\" <j@x.com>"));
  EXPECT_THAT(Parse(L"\"A; B\" <a@x.com>"), ElementsAre(L"\"A B\" <a@x.com>"));
  // Bracketed addresses end their entries even without a separator.
  EXPECT_THAT(Parse(L"A <a@x.com> B <b@y.com>"), ElementsAre(L"\"A\" <a@x.com>", L"\"B\" <b@y.com>"));
  // A bracketed address ends its entry even without an at sign (a local alias).
  EXPECT_THAT(Parse(L"\"Al\" <al>, b@y.com"), ElementsAre(L"\"Al\" <al>", L"\"Friend\" <b@y.com>"));
  // Bare addresses separated by spaces only, or by runs of separators.
  EXPECT_THAT(Parse(L"a@x.com b@y.com"), ElementsAre(L"\"Friend\" <a@x.com>", L"\"Friend\" <b@y.com>"));
  EXPECT_THAT(Parse(L" a@x.com;\r\n, ;b@y.com\r\n", false), ElementsAre(L"a@x.com", L"b@y.com"));
  // One address a line, as pasted from a list: never run together.
  EXPECT_THAT(Parse(L"a@x.com\r\nb@y.com\nc@z.com\td@w.com", false),
              ElementsAre(L"a@x.com", L"b@y.com", L"c@z.com", L"d@w.com"));
}

TEST(EmailAddressTest, ParseEmailAddressListDropsEmptyAndRepeatedEntries) {
  EXPECT_THAT(Parse(L"a@x.com, A@X.COM;a@x.com", false), ElementsAre(L"a@x.com"));
  EXPECT_THAT(Parse(L"\"Al\" <a@x.com>, \"AL\" <A@x.com>"), ElementsAre(L"\"Al\" <a@x.com>"));
  EXPECT_THAT(Parse(L" ;, "), IsEmpty());
  // A name without an address is kept only with KeepNameOnly.
  EXPECT_THAT(Parse(L"John Smith", true, true), ElementsAre(L"\"John Smith\" <>"));
  EXPECT_THAT(Parse(L"John Smith", true, false), IsEmpty());
}

TEST(EmailAddressTest, ParseEmailAddressListReplacesTheListAndIgnoresItsCaseSetting) {
  TVemStringList list{L"old@x.com"};
  list.SetCaseSensitive(true);
  ParseEmailAddressList(list, L"b@y.com B@Y.COM", L"Friend", true, false);
  EXPECT_THAT(std::vector<std::wstring>(list.begin(), list.end()), ElementsAre(L"b@y.com"));
  ParseEmailAddressList(list, L"", L"Friend", true, false);
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
}  // namespace ostrevin
