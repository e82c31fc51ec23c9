// VemClassesTest.cpp - TVemStringList and TOnMsgStringList, and the compare rule they use.
#include "foundation/VemClasses.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakePlatform.h"
#include "foundation/OnMsgStringList.h"
#include "foundation/TextCompare.h"
#include "foundation/VemSysUtils.h"
#include "support/RaisedMessage.h"

namespace ostrevin {
namespace {

using ::testing::ElementsAre;

std::vector<std::wstring> Items(const TVemStringList& list) {
  return std::vector<std::wstring>(list.begin(), list.end());
}

// --- The compare rule ------------------------------------------------------

TEST(CompareRuleTest, IgnoresCaseAcrossLatin1AndCyrillic) {
  EXPECT_TRUE(SameText(L"ABC", L"abc"));
  EXPECT_TRUE(SameText(L"\u00C0\u00C9\u00CE\u00D6\u00DE", L"\u00E0\u00E9\u00EE\u00F6\u00FE"));
  // ПРИВЕТ, привет
  EXPECT_TRUE(SameText(L"\u041F\u0420\u0418\u0412\u0415\u0422", L"\u043F\u0440\u0438\u0432\u0435\u0442"));
  EXPECT_TRUE(SameText(L"\u0401\u0416", L"\u0451\u0436"));  // Ё Ж
  EXPECT_FALSE(SameText(L"\u00D7", L"\u00F7"));             // multiplication and division signs
  EXPECT_FALSE(SameText(L"abc", L"abd"));
}

TEST(CompareRuleTest, OrdersByFoldedTextThenExactly) {
  EXPECT_LT(CompareText(L"a", L"B"), 0);
  EXPECT_EQ(CompareText(L"b", L"B"), 0);
  EXPECT_LT(CompareStr(L"a", L"B"), 0);
  EXPECT_LT(CompareStr(L"B", L"b"), 0);
  EXPECT_EQ(CompareStr(L"b", L"b"), 0);
  EXPECT_LT(CompareText(L"ab", L"abc"), 0);
  EXPECT_LT(CompareText(L"\u0436", L"\u0416\u0430"), 0);  // Cyrillic zhe: equal letters, then the shorter first
  EXPECT_LT(CompareText(L"z", L"\u00E9"), 0);                // by code unit, not by alphabet
  EXPECT_LT(CompareByCase(L"B", L"b", true), 0);
  EXPECT_EQ(CompareByCase(L"B", L"b", false), 0);
}

// --- Construction and basic access -----------------------------------------

TEST(VemStringListTest, DefaultsOfAnEmptyList) {
  TVemStringList list;
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(list.Sorted());
  EXPECT_EQ(list.Duplicates(), TDuplicates::Ignore);
  EXPECT_FALSE(list.CaseSensitive());
  EXPECT_EQ(list.LineBreak(), L"\r\n");
  EXPECT_EQ(list.NameValueSeparator(), L'=');
  EXPECT_EQ(list.Delimiter(), L',');
  EXPECT_EQ(list.QuoteChar(), L'"');
  EXPECT_FALSE(list.StrictDelimiter());
  EXPECT_EQ(list.Encoding(), TextEncoding::None);
  EXPECT_EQ(list.UpdateCount(), 0);
  EXPECT_EQ(list.Text(), L"");
}

TEST(VemStringListTest, CreateFromValuesAddsThemInOrder) {
  TVemStringList list{L"b", L"a", L"b"};
  EXPECT_THAT(Items(list), ElementsAre(L"b", L"a", L"b"));
  TVemStringList fromVector(std::vector<std::wstring>{L"x", L"y"});
  EXPECT_THAT(Items(fromVector), ElementsAre(L"x", L"y"));
}

TEST(VemStringListTest, CreateWithAnEmptyArrayGivesAnEmptyList) {
  TVemStringList fromVector(std::vector<std::wstring>{});
  EXPECT_EQ(fromVector.Count(), 0);
  TVemStringList fromList(std::initializer_list<std::wstring>{});
  EXPECT_EQ(fromList.Count(), 0);
}

TEST(VemStringListTest, StringsAndObjects) {
  int one = 1, two = 2;
  TVemStringList list;
  EXPECT_EQ(list.AddObject(L"a", &one), 0);
  EXPECT_EQ(list.Add(L"b"), 1);
  EXPECT_EQ(list.Objects(0), &one);
  EXPECT_EQ(list.Objects(1), nullptr);
  list.SetObjects(1, &two);
  list.SetStrings(0, L"A");
  EXPECT_EQ(list.Strings(0), L"A");
  EXPECT_EQ(list[1], L"b");
  EXPECT_EQ(list.Objects(1), &two);
  EXPECT_EQ(list.IndexOfObject(&two), 1);
  EXPECT_EQ(list.IndexOfObject(nullptr), -1);
}

TEST(VemStringListTest, IndexOutOfBoundsRaisesWithTheIndex) {
  TVemStringList list{L"a", L"b"};
  EXPECT_EQ(RaisedMessage<EStringListError>([&] { (void)list.Strings(2); }), L"List index out of bounds (2)");
  EXPECT_EQ(RaisedMessage<EStringListError>([&] { (void)list.Strings(-1); }), L"List index out of bounds (-1)");
  EXPECT_EQ(RaisedMessage<EStringListError>([&] { list.SetStrings(5, L"x"); }), L"List index out of bounds (5)");
  EXPECT_EQ(RaisedMessage<EStringListError>([&] { (void)list.Objects(2); }), L"List index out of bounds (2)");
  EXPECT_EQ(RaisedMessage<EStringListError>([&] { list.SetObjects(-3, nullptr); }), L"List index out of bounds (-3)");
  EXPECT_EQ(RaisedMessage<EStringListError>([&] { list.Delete(2); }), L"List index out of bounds (2)");
  EXPECT_EQ(RaisedMessage<EStringListError>([&] { list.Insert(3, L"x"); }), L"List index out of bounds (3)");
  EXPECT_EQ(RaisedMessage<EStringListError>([&] { (void)list.Names(2); }), L"List index out of bounds (2)");
  EXPECT_EQ(RaisedMessage<EStringListError>([] { (void)TVemStringList().Strings(0); }), L"List index out of bounds (0)");
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"b"));
}

TEST(VemStringListTest, InsertDeleteClear) {
  TVemStringList list{L"a", L"c"};
  list.Insert(1, L"b");
  list.Insert(3, L"d");  // at Count: appends
  list.Insert(0, L"0");
  EXPECT_THAT(Items(list), ElementsAre(L"0", L"a", L"b", L"c", L"d"));
  list.Delete(0);
  list.Delete(3);
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"b", L"c"));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(VemStringListTest, InsertOnSortedListIsNotAllowed) {
  TVemStringList list{L"b", L"a"};
  list.SetSorted(true);
  EXPECT_EQ(RaisedMessage<EStringListError>([&] { list.Insert(0, L"c"); }), L"Operation not allowed on sorted list");
  // The sorted check comes before the index check.
  EXPECT_EQ(RaisedMessage<EStringListError>([&] { list.Insert(9, L"c"); }), L"Operation not allowed on sorted list");
  EXPECT_EQ(RaisedMessage<EStringListError>([&] { list.SetStrings(0, L"c"); }), L"Operation not allowed on sorted list");
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"b"));
  // Objects may still be set.
  int x = 0;
  list.SetObjects(0, &x);
  EXPECT_EQ(list.Objects(0), &x);
}

TEST(VemStringListTest, EnumerationYieldsTheStringsInOrder) {
  TVemStringList list{L"one", L"two", L"three"};
  std::wstring seen;
  for (const std::wstring& s : list) seen += s + L";";
  EXPECT_EQ(seen, L"one;two;three;");
  for (const std::wstring& s : TVemStringList()) ADD_FAILURE() << "empty list yielded " << WideToUtf8(s);
  static_assert(std::random_access_iterator<TVemStringList::const_iterator>);
}

// --- Sorting, searching and duplicates -------------------------------------

TEST(VemStringListTest, SettingSortedSortsByTheCompareRule) {
  TVemStringList list{L"c", L"B", L"a", L"b"};
  list.SetSorted(true);
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"B", L"b", L"c"));  // stable among equal ones
  EXPECT_EQ(list.Add(L"Ab"), 1);
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"Ab", L"B", L"b", L"c"));
  list.SetSorted(false);
  EXPECT_EQ(list.Add(L"0"), 5);
}

TEST(VemStringListTest, SortOfAnUnsortedList) {
  TVemStringList list{L"\u0431", L"\u0410", L"z", L"\u00C9", L"e"};  // б А z É e
  list.Sort();
  EXPECT_FALSE(list.Sorted());
  EXPECT_THAT(Items(list), ElementsAre(L"e", L"z", L"\u00C9", L"\u0410", L"\u0431"));
}

TEST(VemStringListTest, CaseSensitiveChangeResortsASortedList) {
  TVemStringList list{L"b", L"B", L"a", L"A"};
  list.SetSorted(true);
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"A", L"b", L"B"));
  list.SetCaseSensitive(true);
  EXPECT_THAT(Items(list), ElementsAre(L"A", L"a", L"B", L"b"));
}

TEST(VemStringListTest, DuplicatesIgnoreReturnsTheExistingIndex) {
  TVemStringList list{L"b", L"a"};
  list.SetSorted(true);
  EXPECT_EQ(list.Add(L"B"), 1);
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"b"));
}

TEST(VemStringListTest, DuplicatesAcceptInsertsBeforeTheEqualOnes) {
  TVemStringList list{L"b", L"a"};
  list.SetSorted(true);
  list.SetDuplicates(TDuplicates::Accept);
  EXPECT_EQ(list.Add(L"B"), 1);
  EXPECT_EQ(list.Add(L"b"), 1);
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"b", L"B", L"b"));
}

TEST(VemStringListTest, DuplicatesErrorRaises) {
  TVemStringList list{L"b", L"a"};
  list.SetSorted(true);
  list.SetDuplicates(TDuplicates::Error);
  EXPECT_EQ(RaisedMessage<EStringListError>([&] { list.Add(L"A"); }), L"String list does not allow duplicates");
  EXPECT_EQ(list.Add(L"c"), 2);
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"b", L"c"));
  // With CaseSensitive, "A" is no duplicate of "a".
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.Add(L"A"), 0);
}

TEST(VemStringListTest, DuplicatesDoNotMatterOnAnUnsortedList) {
  TVemStringList list{L"a"};
  list.SetDuplicates(TDuplicates::Error);
  EXPECT_EQ(list.Add(L"a"), 1);
  EXPECT_EQ(list.Count(), 2);
}

TEST(VemStringListTest, FindWithDuplicatesGivesTheFirstEqualItem) {
  TVemStringList list;
  list.SetSorted(true);
  list.SetDuplicates(TDuplicates::Accept);
  for (const wchar_t* s : {L"c", L"a", L"b", L"B", L"b", L"d"}) list.Add(s);
  int index = -1;
  EXPECT_TRUE(list.Find(L"b", index));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(list.IndexOf(L"B"), 1);
  EXPECT_FALSE(list.Find(L"bb", index));
  EXPECT_EQ(index, 4);
  EXPECT_FALSE(list.Find(L"0", index));
  EXPECT_EQ(index, 0);
  EXPECT_FALSE(list.Find(L"e", index));
  EXPECT_EQ(index, list.Count());
  EXPECT_EQ(list.IndexOf(L"e"), -1);
}

TEST(VemStringListTest, FindOnAnEmptyList) {
  TVemStringList list;
  list.SetSorted(true);
  int index = -1;
  EXPECT_FALSE(list.Find(L"a", index));
  EXPECT_EQ(index, 0);
}

TEST(VemStringListTest, IndexOfUsesTheCompareRule) {
  TVemStringList list{L"x", L"Abc", L"abc"};
  EXPECT_EQ(list.IndexOf(L"ABC"), 1);
  EXPECT_EQ(list.IndexOf(L"q"), -1);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf(L"abc"), 2);
  EXPECT_EQ(list.IndexOf(L"ABC"), -1);
  TVemStringList cyrillic{L"\u0416\u0443\u043A"};  // Жук
  EXPECT_EQ(cyrillic.IndexOf(L"\u0436\u0423\u041A"), 0);
}

// --- Names and values -------------------------------------------------------

TEST(VemStringListTest, NamesAndValues) {
  TVemStringList list{L"Name=1", L"Other=a=b", L"NoSeparator", L"=x", L"Empty="};
  EXPECT_EQ(list.Names(0), L"Name");
  EXPECT_EQ(list.Names(1), L"Other");
  EXPECT_EQ(list.Names(2), L"");
  EXPECT_EQ(list.Names(3), L"");
  EXPECT_EQ(list.ValueFromIndex(1), L"a=b");
  EXPECT_EQ(list.ValueFromIndex(2), L"");
  EXPECT_EQ(list.Values(L"name"), L"1");
  EXPECT_EQ(list.Values(L"OTHER"), L"a=b");
  EXPECT_EQ(list.Values(L"Empty"), L"");
  EXPECT_EQ(list.Values(L""), L"x");
  EXPECT_EQ(list.Values(L"NoSeparator"), L"");
  EXPECT_EQ(list.IndexOfName(L"NoSeparator"), -1);
  EXPECT_EQ(list.IndexOfName(L"Nam"), -1);
  EXPECT_EQ(list.IndexOfName(L"EMPTY"), 4);
}

TEST(VemStringListTest, OtherNameValueSeparator) {
  TVemStringList list{L"a:1", L"b=2"};
  list.SetNameValueSeparator(L':');
  EXPECT_EQ(list.Values(L"A"), L"1");
  EXPECT_EQ(list.IndexOfName(L"b"), -1);
  list.SetValues(L"c", L"3");
  EXPECT_EQ(list.Strings(2), L"c:3");
}

TEST(VemStringListTest, SettingValues) {
  TVemStringList list{L"Name=1", L"Other=2"};
  list.SetValues(L"NAME", L"10");  // replaced in place, with the given name
  list.SetValues(L"New", L"3");    // added
  EXPECT_THAT(Items(list), ElementsAre(L"NAME=10", L"Other=2", L"New=3"));
  list.SetValues(L"other", L"");   // an empty value deletes
  list.SetValues(L"Missing", L"");  // nothing to delete
  EXPECT_THAT(Items(list), ElementsAre(L"NAME=10", L"New=3"));
}

TEST(VemStringListTest, SettingValuesOnASortedList) {
  TVemStringList list{L"b=2", L"a=1"};
  list.SetSorted(true);
  list.SetValues(L"A", L"9");
  list.SetValues(L"c", L"3");
  list.SetValues(L"0", L"x");
  EXPECT_THAT(Items(list), ElementsAre(L"0=x", L"A=9", L"b=2", L"c=3"));
  list.SetValues(L"B", L"");
  EXPECT_THAT(Items(list), ElementsAre(L"0=x", L"A=9", L"c=3"));
}

TEST(VemStringListTest, SortedIndexOfNameIgnoresCase) {
  TVemStringList list{L"Other=2", L"Name=1"};
  list.SetSorted(true);
  EXPECT_THAT(Items(list), ElementsAre(L"Name=1", L"Other=2"));
  EXPECT_EQ(list.IndexOfName(L"name"), 0);
  EXPECT_EQ(list.IndexOfName(L"NAME"), 0);
  EXPECT_EQ(list.IndexOfName(L"Name"), 0);
  EXPECT_EQ(list.IndexOfName(L"Nam"), -1);
  EXPECT_EQ(list.IndexOfName(L"Names"), -1);
  EXPECT_EQ(list.IndexOfName(L"other"), 1);
  EXPECT_EQ(list.IndexOfName(L"Zzz"), -1);  // past the end
  EXPECT_EQ(list.IndexOfName(L"A"), -1);    // before the first, which differs
  EXPECT_EQ(list.Values(L"oTHER"), L"2");
}

TEST(VemStringListTest, SortedIndexOfNameCaseSensitive) {
  TVemStringList list{L"Other=2", L"Name=1"};
  list.SetSorted(true);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOfName(L"Name"), 0);
  EXPECT_EQ(list.IndexOfName(L"name"), -1);
  EXPECT_EQ(list.IndexOfName(L"Other"), 1);
  EXPECT_EQ(list.IndexOfName(L"OTHER"), -1);
}

TEST(VemStringListTest, SortedIndexOfNameDecidesByThePrefixOfTheFoundItem) {
  // "Name" without separator sorts before "Name=" and is never a name.
  TVemStringList list{L"Name", L"Name=", L"Namex=1"};
  list.SetSorted(true);
  EXPECT_EQ(list.IndexOfName(L"name"), 1);
  EXPECT_EQ(list.Values(L"name"), L"");
  EXPECT_EQ(list.IndexOfName(L"NAMEX"), 2);
  EXPECT_EQ(list.Values(L"NAMEX"), L"1");
}

// --- Text -------------------------------------------------------------------

TEST(VemStringListTest, TextEndsEveryItemWithTheLineBreak) {
  EXPECT_EQ((TVemStringList{L"a", L"b"}).Text(), L"a\r\nb\r\n");
  EXPECT_EQ((TVemStringList{L""}).Text(), L"\r\n");
  EXPECT_EQ(TVemStringList().Text(), L"");
  TVemStringList list{L"a", L"b"};
  list.SetLineBreak(L"|");
  EXPECT_EQ(list.Text(), L"a|b|");
}

TEST(VemStringListTest, SetTextSplitsAtCrLfLoneCrAndLoneLf) {
  TVemStringList list;
  list.SetText(L"a\rb\nc\r\n");
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"b", L"c"));
  list.SetText(L"a\r\n\r\n");
  EXPECT_THAT(Items(list), ElementsAre(L"a", L""));
  list.SetText(L"a\n\rb");  // LF then CR are two breaks
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"", L"b"));
  list.SetText(L"\r\nx");
  EXPECT_THAT(Items(list), ElementsAre(L"", L"x"));
  list.SetText(L"last");
  EXPECT_THAT(Items(list), ElementsAre(L"last"));
  list.SetText(L"");
  EXPECT_EQ(list.Count(), 0);
  list.SetText(L"\r\n");
  EXPECT_THAT(Items(list), ElementsAre(L""));
}

TEST(VemStringListTest, SetTextKeepsNulCharacters) {
  TVemStringList list;
  list.SetText(std::wstring(L"a\0b\r\nc", 6));
  EXPECT_THAT(Items(list), ElementsAre(std::wstring(L"a\0b", 3), L"c"));
}

TEST(VemStringListTest, SetTextWithAnotherLineBreakSplitsOnlyAtIt) {
  TVemStringList list;
  list.SetLineBreak(L"\n");
  list.SetText(L"a\r\nb\rc\n");
  EXPECT_THAT(Items(list), ElementsAre(L"a\r", L"b\rc"));
  list.SetLineBreak(L"<>");
  list.SetText(L"x<>y<<>>z<>");
  EXPECT_THAT(Items(list), ElementsAre(L"x", L"y<", L">z"));
  list.SetText(L"<><>");
  EXPECT_THAT(Items(list), ElementsAre(L"", L""));
  list.SetLineBreak(L"");
  list.SetText(L"whole\r\ntext");
  EXPECT_THAT(Items(list), ElementsAre(L"whole\r\ntext"));
}

TEST(VemStringListTest, SetTextOnASortedList) {
  TVemStringList list;
  list.SetSorted(true);
  list.SetText(L"b\r\na\r\nB\r\n");
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"b"));
}

TEST(VemStringListTest, SetTextClosesTheUpdateBracketWhenAddRaises) {
  TVemStringList list;
  list.SetSorted(true);
  list.SetDuplicates(TDuplicates::Error);
  EXPECT_THROW(list.SetText(L"a\r\na\r\n"), EStringListError);
  EXPECT_EQ(list.UpdateCount(), 0);
}

// --- CommaText --------------------------------------------------------------

TEST(VemStringListTest, CommaTextQuotesWhereNeeded) {
  EXPECT_EQ((TVemStringList{L"a b", L"c"}).CommaText(), L"\"a b\",c");
  EXPECT_EQ((TVemStringList{L""}).CommaText(), L"\"\"");
  EXPECT_EQ(TVemStringList().CommaText(), L"");
  EXPECT_EQ((TVemStringList{L"a", L"", L"b"}).CommaText(), L"a,,b");
  EXPECT_EQ((TVemStringList{L"", L""}).CommaText(), L",");
  EXPECT_EQ((TVemStringList{L"say \"hi\"", L"x,y"}).CommaText(), L"\"say \"\"hi\"\"\",\"x,y\"");
  EXPECT_EQ((TVemStringList{L"tab\there", L"\x01"}).CommaText(), L"\"tab\there\",\"\x01\"");
  EXPECT_EQ((TVemStringList{L"\u00E9t\u00E9"}).CommaText(), L"\u00E9t\u00E9");
}

TEST(VemStringListTest, CommaTextWithStrictDelimiterQuotesOnlyQuotesAndDelimiters) {
  TVemStringList list{L"a b", L"c;d", L"e\"f"};
  list.SetStrictDelimiter(true);
  EXPECT_EQ(list.CommaText(), L"a b,c;d,\"e\"\"f\"");
  list.SetDelimiter(L';');
  list.SetQuoteChar(L'\'');
  EXPECT_EQ(list.CommaText(), L"a b;'c;d';e\"f");
}

TEST(VemStringListTest, SetCommaTextSplitsAtDelimitersAndSpaces) {
  TVemStringList list;
  list.SetCommaText(L".doc, .pdf");
  EXPECT_THAT(Items(list), ElementsAre(L".doc", L".pdf"));
  list.SetCommaText(L"a b,c");
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"b", L"c"));
  list.SetCommaText(L"  a ,\t b  ");
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"b"));
  list.SetCommaText(L"");
  EXPECT_EQ(list.Count(), 0);
  list.SetCommaText(L"   ");
  EXPECT_EQ(list.Count(), 0);
}

TEST(VemStringListTest, SetCommaTextQuotedItems) {
  TVemStringList list;
  list.SetCommaText(L"\"a b\",c");
  EXPECT_THAT(Items(list), ElementsAre(L"a b", L"c"));
  list.SetCommaText(L"\"say \"\"hi\"\"\",\"x,y\"");
  EXPECT_THAT(Items(list), ElementsAre(L"say \"hi\"", L"x,y"));
  list.SetCommaText(L"\"\"");
  EXPECT_THAT(Items(list), ElementsAre(L""));
  list.SetCommaText(L"\"unterminated, still");
  EXPECT_THAT(Items(list), ElementsAre(L"unterminated, still"));
  list.SetCommaText(L"\"a\"b,c");  // text after the closing quote is the next item
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"b", L"c"));
  list.SetCommaText(L"x\"y,z");  // a quote inside an unquoted item is text
  EXPECT_THAT(Items(list), ElementsAre(L"x\"y", L"z"));
}

TEST(VemStringListTest, SetCommaTextEmptyItemsAndTrailingDelimiter) {
  TVemStringList list;
  list.SetCommaText(L"a,,b");
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"", L"b"));
  list.SetCommaText(L",a");
  EXPECT_THAT(Items(list), ElementsAre(L"", L"a"));
  list.SetCommaText(L"a,");  // a delimiter at the very end adds one empty item
  EXPECT_THAT(Items(list), ElementsAre(L"a", L""));
  list.SetCommaText(L"a, ");  // but not when blanks follow it
  EXPECT_THAT(Items(list), ElementsAre(L"a"));
  list.SetCommaText(L",");
  EXPECT_THAT(Items(list), ElementsAre(L"", L""));
  list.SetCommaText(L"a,,");
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"", L""));
}

TEST(VemStringListTest, SetCommaTextWithStrictDelimiter) {
  TVemStringList list;
  list.SetStrictDelimiter(true);
  list.SetCommaText(L" a b , c");
  EXPECT_THAT(Items(list), ElementsAre(L" a b ", L" c"));
  list.SetCommaText(L"a, ");
  EXPECT_THAT(Items(list), ElementsAre(L"a", L" "));
  list.SetCommaText(L"a,");
  EXPECT_THAT(Items(list), ElementsAre(L"a", L""));
  list.SetCommaText(L"\"q,1\" ,x");  // after a quoted item nothing is skipped
  EXPECT_THAT(Items(list), ElementsAre(L"q,1", L" ", L"x"));
  list.SetDelimiter(L';');
  list.SetCommaText(L"a,b;c d");
  EXPECT_THAT(Items(list), ElementsAre(L"a,b", L"c d"));
}

TEST(VemStringListTest, SetCommaTextWithOtherQuoteAndDelimiter) {
  TVemStringList list;
  list.SetDelimiter(L'|');
  list.SetQuoteChar(L'\'');
  list.SetCommaText(L"'a|b'|'it''s'|\"x\"");
  EXPECT_THAT(Items(list), ElementsAre(L"a|b", L"it's", L"\"x\""));
}

TEST(VemStringListTest, SetCommaTextEndsAtNul) {
  TVemStringList list;
  list.SetCommaText(std::wstring(L"a,b\0c,d", 7));
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"b"));
}

TEST(VemStringListTest, CommaTextRoundTrips) {
  const TVemStringList original{L"plain", L"with space", L"", L"quote\"d", L"comma,", L" lead", L"\u0416"};
  TVemStringList copy;
  copy.SetCommaText(original.CommaText());
  EXPECT_TRUE(copy.Equals(original));
  TVemStringList strict = original;
  strict.SetStrictDelimiter(true);
  TVemStringList strictCopy;
  strictCopy.SetStrictDelimiter(true);
  strictCopy.SetCommaText(strict.CommaText());
  EXPECT_TRUE(strictCopy.Equals(original));
}

// --- Notification -------------------------------------------------------------

TEST(VemStringListTest, ChangesNotifyBeforeAndAfter) {
  TVemStringList list;
  std::vector<std::wstring> log;
  list.SetOnChanging([&](TVemStringList& sender) { log.push_back(L"changing " + std::to_wstring(sender.Count())); });
  list.SetOnChange([&](TVemStringList& sender) { log.push_back(L"change " + std::to_wstring(sender.Count())); });
  list.Add(L"a");
  list.Delete(0);
  list.Clear();  // empty: nothing to tell
  EXPECT_THAT(log, ElementsAre(L"changing 0", L"change 1", L"changing 1", L"change 0"));
}

TEST(VemStringListTest, UpdateBracketHoldsNotificationsBack) {
  TVemStringList list;
  int changing = 0, changed = 0;
  list.SetOnChanging([&](TVemStringList&) { ++changing; });
  list.SetOnChange([&](TVemStringList&) { ++changed; });
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add(L"a");
  list.Add(L"b");
  list.EndUpdate();
  EXPECT_EQ(list.UpdateCount(), 1);
  EXPECT_EQ(changed, 0);
  list.EndUpdate();
  EXPECT_EQ(changing, 1);
  EXPECT_EQ(changed, 1);
  list.SetText(L"x\r\ny\r\nz");  // one bracket
  list.SetCommaText(L"p,q");     // one bracket
  EXPECT_EQ(changing, 3);
  EXPECT_EQ(changed, 3);
  EXPECT_THROW(list.EndUpdate(), EVemInternalError);
}

TEST(VemStringListTest, IgnoredDuplicateDoesNotNotify) {
  TVemStringList list{L"a"};
  list.SetSorted(true);
  int changed = 0;
  list.SetOnChange([&](TVemStringList&) { ++changed; });
  list.Add(L"A");
  EXPECT_EQ(changed, 0);
}

// --- Assign, Equals and copies --------------------------------------------------

TEST(VemStringListTest, AssignCopiesItemsAndProperties) {
  int object = 0;
  TVemStringList source;
  source.SetCaseSensitive(true);
  source.SetDuplicates(TDuplicates::Accept);
  source.AddObject(L"b", &object);
  source.Add(L"a");
  source.SetSorted(true);
  source.SetLineBreak(L"\n");
  source.SetNameValueSeparator(L':');
  source.SetDelimiter(L';');
  source.SetQuoteChar(L'\'');
  source.SetStrictDelimiter(true);
  source.SetEncoding(TextEncoding::Utf8);

  TVemStringList target{L"old"};
  target.Assign(source);
  EXPECT_THAT(Items(target), ElementsAre(L"a", L"b"));
  EXPECT_EQ(target.Objects(1), &object);
  EXPECT_TRUE(target.Sorted());
  EXPECT_TRUE(target.CaseSensitive());
  EXPECT_EQ(target.Duplicates(), TDuplicates::Accept);
  EXPECT_EQ(target.LineBreak(), L"\n");
  EXPECT_EQ(target.NameValueSeparator(), L':');
  EXPECT_EQ(target.Delimiter(), L';');
  EXPECT_EQ(target.QuoteChar(), L'\'');
  EXPECT_TRUE(target.StrictDelimiter());
  EXPECT_EQ(target.Encoding(), TextEncoding::Utf8);
}

TEST(VemStringListTest, AssignKeepsTheOrderOfTheSourceWithoutResorting) {
  TVemStringList source{L"b", L"a", L"b"};
  TVemStringList target;
  target.SetSorted(true);
  target.Assign(source);
  EXPECT_FALSE(target.Sorted());
  EXPECT_THAT(Items(target), ElementsAre(L"b", L"a", L"b"));
}

TEST(VemStringListTest, AssignNotifiesOnceAndToItselfDoesNothing) {
  TVemStringList list{L"a"};
  int changed = 0;
  list.SetOnChange([&](TVemStringList&) { ++changed; });
  list.Assign(list);
  EXPECT_THAT(Items(list), ElementsAre(L"a"));
  EXPECT_EQ(changed, 0);
  list.Assign(TVemStringList{L"x", L"y"});
  EXPECT_EQ(changed, 1);
}

TEST(VemStringListTest, EqualsComparesStringsExactly) {
  int object = 0;
  TVemStringList a{L"x", L"Y"};
  TVemStringList b{L"x", L"Y"};
  EXPECT_TRUE(a.Equals(b));
  b.SetObjects(0, &object);  // objects do not count
  b.SetCaseSensitive(true);  // nor do properties
  EXPECT_TRUE(a.Equals(b));
  EXPECT_FALSE(a.Equals(TVemStringList{L"x", L"y"}));
  EXPECT_FALSE(a.Equals(TVemStringList{L"Y", L"x"}));
  EXPECT_FALSE(a.Equals(TVemStringList{L"x"}));
  EXPECT_TRUE(TVemStringList().Equals(TVemStringList(std::vector<std::wstring>{})));
}

TEST(VemStringListTest, CopiesDoNotCarryHandlers) {
  TVemStringList list{L"a"};
  int changed = 0;
  list.SetOnChange([&](TVemStringList&) { ++changed; });
  list.SetSorted(true);
  TVemStringList copy = list;
  copy.Add(L"b");
  EXPECT_EQ(changed, 0);
  EXPECT_TRUE(copy.Sorted());
  EXPECT_FALSE(static_cast<bool>(copy.OnChange()));
  EXPECT_THAT(Items(copy), ElementsAre(L"a", L"b"));
  EXPECT_THAT(Items(list), ElementsAre(L"a"));
}

TEST(VemStringListTest, AddStringsAddsEachItem) {
  int object = 0;
  TVemStringList source;
  source.AddObject(L"b", &object);
  source.Add(L"a");
  TVemStringList target{L"c"};
  target.SetSorted(true);
  target.AddStrings(source);
  EXPECT_THAT(Items(target), ElementsAre(L"a", L"b", L"c"));
  EXPECT_EQ(target.Objects(1), &object);
  TVemStringList self{L"x"};
  self.AddStrings(self);
  EXPECT_THAT(Items(self), ElementsAre(L"x", L"x"));
}

// --- Files ------------------------------------------------------------------

class VemStringListFileTest : public ::testing::Test {
 protected:
  FakePlatform platform;  // ANSI code page Windows-1252
};

TEST_F(VemStringListFileTest, SaveOfANeverLoadedListWritesUtf16LittleEndianWithMark) {
  TVemStringList list{L"a", L"\u00E9"};
  list.SaveToFile(L"C:\\out.txt");
  EXPECT_EQ(platform.Files.ReadAllBytes(L"C:\\out.txt"),
            (Bytes{0xFF, 0xFE, 'a', 0, '\r', 0, '\n', 0, 0xE9, 0, '\r', 0, '\n', 0}));
  EXPECT_EQ(list.Encoding(), TextEncoding::None);
}

TEST_F(VemStringListFileTest, SaveOfAnEmptyListWritesTheMarkOnly) {
  TVemStringList().SaveToFile(L"C:\\empty.txt");
  EXPECT_EQ(platform.Files.ReadAllBytes(L"C:\\empty.txt"), (Bytes{0xFF, 0xFE}));
}

TEST_F(VemStringListFileTest, LoadsUtf8WithMarkAndSavesItBackTheSame) {
  const Bytes bytes{0xEF, 0xBB, 0xBF, 'a', '\r', '\n', 0xC3, 0xA9, 0xF0, 0x9F, 0x98, 0x80, '\r', '\n'};
  platform.Files.AddFile(L"C:\\in\\utf8.txt", bytes);
  TVemStringList list;
  list.LoadFromFile(L"C:\\in\\utf8.txt");
  EXPECT_EQ(list.Encoding(), TextEncoding::Utf8);
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"\u00E9\U0001F600"));
  list.SaveToFile(L"C:\\in\\back.txt");
  EXPECT_EQ(platform.Files.ReadAllBytes(L"C:\\in\\back.txt"), bytes);
}

TEST_F(VemStringListFileTest, LoadsUtf16LittleEndian) {
  const Bytes bytes{0xFF, 0xFE, 'x', 0, '\n', 0, 0x16, 0x04, 0x3D, 0xD8, 0x00, 0xDE};
  platform.Files.AddFile(L"C:\\le.txt", bytes);
  TVemStringList list;
  list.LoadFromFile(L"C:\\le.txt");
  EXPECT_EQ(list.Encoding(), TextEncoding::Utf16LE);
  EXPECT_THAT(Items(list), ElementsAre(L"x", L"\u0416\U0001F600"));
  list.SaveToFile(L"C:\\le2.txt");
  EXPECT_EQ(platform.Files.ReadAllBytes(L"C:\\le2.txt"),
            (Bytes{0xFF, 0xFE, 'x', 0, '\r', 0, '\n', 0, 0x16, 0x04, 0x3D, 0xD8, 0x00, 0xDE, '\r', 0, '\n', 0}));
}

TEST_F(VemStringListFileTest, LoadsUtf16BigEndianAndSavesItBack) {
  const Bytes bytes{0xFE, 0xFF, 0, 'x', 0, '\r', 0, '\n', 0x04, 0x16, 0, '\r', 0, '\n'};
  platform.Files.AddFile(L"C:\\be.txt", bytes);
  TVemStringList list;
  list.LoadFromFile(L"C:\\be.txt");
  EXPECT_EQ(list.Encoding(), TextEncoding::Utf16BE);
  EXPECT_THAT(Items(list), ElementsAre(L"x", L"\u0416"));
  list.SaveToFile(L"C:\\be2.txt");
  EXPECT_EQ(platform.Files.ReadAllBytes(L"C:\\be2.txt"), bytes);
}

TEST_F(VemStringListFileTest, LoadsAnsiWithoutMarkAndSavesItBackAsAnsi) {
  const Bytes bytes{'C', 'a', 'f', 0xE9, '\r', '\n', 0x80, '\r', '\n'};
  platform.Files.AddFile(L"C:\\ansi.txt", bytes);
  TVemStringList list;
  list.LoadFromFile(L"C:\\ansi.txt");
  EXPECT_EQ(list.Encoding(), TextEncoding::Ansi);
  EXPECT_THAT(Items(list), ElementsAre(L"Caf\u00E9", L"\u20AC"));
  list.SaveToFile(L"C:\\ansi2.txt");
  EXPECT_EQ(platform.Files.ReadAllBytes(L"C:\\ansi2.txt"), bytes);
}

TEST_F(VemStringListFileTest, LoadReplacesTheItemsAndSplitsLikeText) {
  platform.Files.AddFile(L"C:\\mixed.txt", Bytes{'a', '\r', 'b', '\n', 'c'});
  TVemStringList list{L"old"};
  list.LoadFromFile(L"C:\\mixed.txt");
  EXPECT_THAT(Items(list), ElementsAre(L"a", L"b", L"c"));
}

TEST_F(VemStringListFileTest, LoadOfAnEmptyFile) {
  platform.Files.AddFile(L"C:\\empty.txt", Bytes{});
  TVemStringList list{L"old"};
  list.LoadFromFile(L"C:\\empty.txt");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Encoding(), TextEncoding::Ansi);
}

TEST_F(VemStringListFileTest, SaveWithAnExplicitEncoding) {
  TVemStringList list{L"\u00E9"};
  list.SaveToFile(L"C:\\u8.txt", TextEncoding::Utf8);
  EXPECT_EQ(platform.Files.ReadAllBytes(L"C:\\u8.txt"), (Bytes{0xEF, 0xBB, 0xBF, 0xC3, 0xA9, '\r', '\n'}));
  list.SaveToFile(L"C:\\be.txt", TextEncoding::Utf16BE);
  EXPECT_EQ(platform.Files.ReadAllBytes(L"C:\\be.txt"), (Bytes{0xFE, 0xFF, 0, 0xE9, 0, '\r', 0, '\n'}));
  list.SaveToFile(L"C:\\ansi.txt", TextEncoding::Ansi);
  EXPECT_EQ(platform.Files.ReadAllBytes(L"C:\\ansi.txt"), (Bytes{0xE9, '\r', '\n'}));
  // The explicit encoding is not remembered.
  EXPECT_EQ(list.Encoding(), TextEncoding::None);
  list.SaveToFile(L"C:\\default.txt", TextEncoding::None);
  EXPECT_EQ(platform.Files.ReadAllBytes(L"C:\\default.txt"), (Bytes{0xFF, 0xFE, 0xE9, 0, '\r', 0, '\n', 0}));
}

TEST_F(VemStringListFileTest, SaveUsesAnEncodingSetExplicitlyAndTheLineBreak) {
  TVemStringList list{L"a", L"b"};
  list.SetEncoding(TextEncoding::Utf8);
  list.SetLineBreak(L"\n");
  list.SaveToFile(L"C:\\lf.txt");
  EXPECT_EQ(platform.Files.ReadAllBytes(L"C:\\lf.txt"), (Bytes{0xEF, 0xBB, 0xBF, 'a', '\n', 'b', '\n'}));
}

TEST_F(VemStringListFileTest, FileErrorsAreThePlatforms) {
  TVemStringList list{L"keep"};
  EXPECT_THROW(list.LoadFromFile(L"C:\\missing.txt"), EFOpenError);
  EXPECT_THAT(Items(list), ElementsAre(L"keep"));
  EXPECT_EQ(list.Encoding(), TextEncoding::None);
  EXPECT_THROW(list.SaveToFile(L"C:\\no\\such\\folder.txt"), EFCreateError);
}

// --- TOnMsgStringList ---------------------------------------------------------

TEST(OnMsgStringListTest, OnMsgAddsTheLine) {
  TOnMsgStringList list;
  list.OnMsg(L"first");
  list.OnMsg(L"");
  EXPECT_THAT(Items(list), ElementsAre(L"first", L""));
}

TEST(OnMsgStringListTest, CallbackIsBoundToTheList) {
  TOnMsgStringList list;
  TOnMsgEvent callback = list.OnMsgCallback();
  auto produce = [](const TOnMsgEvent& onLine) {
    for (const wchar_t* line : {L"one", L"two"})
      if (onLine) onLine(line);
  };
  produce(callback);
  EXPECT_THAT(Items(list), ElementsAre(L"one", L"two"));
  EXPECT_EQ(list.Text(), L"one\r\ntwo\r\n");
  TVemStringList& base = list;  // it is a TVemStringList
  EXPECT_EQ(base.Count(), 2);
}

}  // namespace
}  // namespace ostrevin
