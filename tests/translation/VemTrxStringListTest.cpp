// VemTrxStringListTest.cpp - the translatable-property list: form-resource
// reading and writing, rename upkeep, files with code pages.
#include "translation/VemTrxStringList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakePlatform.h"
#include "translation/DfmNotation.h"
#include "support/RaisedMessage.h"

namespace ostrevin {
namespace {

using ::testing::ElementsAre;
using Entries = std::vector<std::wstring>;

TVemTrxTranslatableProps PropsOf(const Entries& entries) {
  TVemTrxTranslatableProps props;
  for (const std::wstring& entry : entries) props.Add(entry);
  return props;
}

TEST(VemTrxStringListTest, IsSortedAndDropsDuplicatesIgnoringCase) {
  TVemTrxStringList list;
  EXPECT_TRUE(list.Sorted());
  for (const wchar_t* entry : {L"OKBtn.Caption", L"Caption", L"okbtn.caption", L"Hint"}) list.Add(entry);
  EXPECT_THAT(list.ToArray(), ElementsAre(L"Caption", L"Hint", L"OKBtn.Caption"));
  EXPECT_TRUE(list.Contains(L"CAPTION"));
  EXPECT_FALSE(list.Contains(L"Caption2"));

  // Contents of an unsorted list with repeats come in sorted, once each.
  TVemStringList source{L"b", L"A", L"a", L"c"};
  int changes = 0;
  list.SetOnChange([&](TVemStringList&) { ++changes; });
  list.AssignStrings(source);
  EXPECT_THAT(list.ToArray(), ElementsAre(L"A", L"b", L"c"));
  EXPECT_TRUE(list.Sorted());
  EXPECT_EQ(changes, 1);
}

TEST(VemTrxStringListTest, FormResourceListLoadsSortedWithoutDuplicates) {
  TVemTrxTranslatableProps props = PropsOf({L"Old.Caption"});
  props.ReadStrings(L"(\r\n    'Caption'\r\n    'CancelBtn.Caption'\r\n    'Caption')");
  EXPECT_THAT(props.ToArray(), ElementsAre(L"CancelBtn.Caption", L"Caption"));

  // A malformed value leaves the list as it was.
  EXPECT_THROW(props.ReadStrings(L"('Hint' 'OKBtn.Caption'"), EParserError);
  EXPECT_THAT(props.ToArray(), ElementsAre(L"CancelBtn.Caption", L"Caption"));

  TVemTrxTranslatableProps copy;
  copy.ReadStrings(props.WriteStrings(L"    "));
  EXPECT_TRUE(copy.Equals(props));
  EXPECT_EQ(props.WriteStrings(), L"(\r\n  'CancelBtn.Caption'\r\n  'Caption')");
}

TEST(VemTrxStringListTest, StoredWhenItHasEntriesOrDiffersFromTheAncestor) {
  const TVemTrxStringList empty;
  const TVemTrxStringList one = PropsOf({L"Caption"});
  const TVemTrxStringList other = PropsOf({L"Hint"});
  struct {
    const TVemTrxStringList& List;
    const TVemTrxStringList* Ancestor;
    bool Stored;
  } cases[] = {
      {empty, nullptr, false}, {empty, &empty, false}, {empty, &one, true},
      {one, nullptr, true},    {one, &one, true},      {one, &other, true},
  };
  for (const auto& c : cases) EXPECT_EQ(c.List.StringsStored(c.Ancestor), c.Stored);
}

TEST(VemTrxTranslatablePropsTest, RenameComponentRenamesItsOwnEntriesOnly) {
  const Entries form = {L"CancelBtn.Caption", L"CancelBtn.Hint", L"Caption", L"OKBtn.Caption"};
  struct {
    Entries Before;
    std::wstring CurName, NewName;
    Entries After;
  } cases[] = {
      {form, L"CancelBtn", L"CloseBtn", {L"Caption", L"CloseBtn.Caption", L"CloseBtn.Hint", L"OKBtn.Caption"}},
      {form, L"cancelbtn", L"CloseBtn", {L"Caption", L"CloseBtn.Caption", L"CloseBtn.Hint", L"OKBtn.Caption"}},
      // Naming components while a form resource is read: CurName is empty.
      {form, L"", L"CancelBtn", form},
      {form, L"CancelBtn", L"", form},
      {form, L"Cancel", L"Close", form},
      // The form's own entries and deeper paths stay.
      {{L"CancelBtn", L"CancelBtn.Font.Name", L"Panel1.CancelBtn.Caption"}, L"CancelBtn", L"CloseBtn",
       {L"CancelBtn", L"CancelBtn.Font.Name", L"Panel1.CancelBtn.Caption"}},
      {{L"Panel1.Caption", L"Panel1.CancelBtn.Caption"}, L"Panel1.CancelBtn", L"Panel1.CloseBtn",
       {L"Panel1.Caption", L"Panel1.CloseBtn.Caption"}},
      // The renamed entry meets an existing one: one is kept.
      {{L"CancelBtn.Caption", L"CloseBtn.Caption"}, L"CancelBtn", L"CloseBtn", {L"CloseBtn.Caption"}},
      // Sorted again under the new name.
      {{L"Caption", L"Zed.Caption"}, L"Zed", L"Abc", {L"Abc.Caption", L"Caption"}},
  };
  for (const auto& c : cases) {
    TVemTrxTranslatableProps props = PropsOf(c.Before);
    props.RenameComponent(c.CurName, c.NewName);
    EXPECT_EQ(props.ToArray(), c.After) << c.CurName << L" -> " << c.NewName;
  }
}

class VemTrxStringListFileTest : public ::testing::Test {
 protected:
  FakePlatform platform;
};

TEST_F(VemTrxStringListFileTest, CodePagesSelectTheEncodingBothWays) {
  struct {
    unsigned CodePage;
    TextEncoding Encoding;
    Bytes File;  // of the list "b", "é"
  } cases[] = {
      {1200, TextEncoding::Utf16LE, {0xFF, 0xFE, 'b', 0, '\r', 0, '\n', 0, 0xE9, 0, '\r', 0, '\n', 0}},
      {1201, TextEncoding::Utf16BE, {0xFE, 0xFF, 0, 'b', 0, '\r', 0, '\n', 0, 0xE9, 0, '\r', 0, '\n'}},
      {65001, TextEncoding::Utf8, {0xEF, 0xBB, 0xBF, 'b', '\r', '\n', 0xC3, 0xA9, '\r', '\n'}},
      {0, TextEncoding::Ansi, {'b', '\r', '\n', 0xE9, '\r', '\n'}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.CodePage);
    TVemTrxStringList list;
    list.Add(L"\u00E9");
    list.Add(L"b");
    list.SaveToFile(L"C:\\props.txt", c.CodePage);
    EXPECT_EQ(platform.Files.ReadAllBytes(L"C:\\props.txt"), c.File);

    TVemTrxStringList loaded;
    loaded.LoadFromFile(L"C:\\props.txt", c.CodePage);
    EXPECT_THAT(loaded.ToArray(), ElementsAre(L"b", L"\u00E9"));
    EXPECT_EQ(loaded.Encoding(), c.Encoding);
  }
}

TEST_F(VemTrxStringListFileTest, LoadingSortsAndAcceptsFilesWithoutAMark) {
  platform.Files.AddFile(L"C:\\plain.txt", {'b', '\n', 'a', '\n', 'B', '\n'});
  TVemTrxStringList list;
  list.LoadFromFile(L"C:\\plain.txt", 65001);
  EXPECT_THAT(list.ToArray(), ElementsAre(L"a", L"b"));
}

TEST_F(VemTrxStringListFileTest, UnsupportedCodePagesRaiseAndChangeNothing) {
  platform.Files.AddFile(L"C:\\plain.txt", {'b', '\n'});
  TVemTrxStringList list;
  list.Add(L"kept");
  EXPECT_EQ(RaisedMessage<EConvertError>([&] { list.LoadFromFile(L"C:\\plain.txt", 1252); }),
            L"Code page 1252 is not supported");
  EXPECT_THROW(list.SaveToFile(L"C:\\out.txt", 437u), EConvertError);
  EXPECT_THAT(list.ToArray(), ElementsAre(L"kept"));
  EXPECT_FALSE(platform.Files.FileExists(L"C:\\out.txt"));
}

}  // namespace
}  // namespace ostrevin
