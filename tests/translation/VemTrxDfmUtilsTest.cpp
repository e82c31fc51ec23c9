// VemTrxDfmUtilsTest.cpp - the registry of form-resource property kinds and
// the string and shortcut converters.
#include "translation/VemTrxDfmUtils.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeKeyboardLayout.h"
#include "platform/Ports.h"
#include "translation/DfmNotation.h"
#include "support/RaisedMessage.h"

namespace ostrevin {
namespace {

using ::testing::ElementsAre;

class VemTrxDfmUtilsTest : public ::testing::Test {
 protected:
  void SetUp() override { InitializeVemTrxDfmUtils(); }
  void TearDown() override { FinalizeVemTrxDfmUtils(); }

  FakeKeyboardLayout layout;
  ScopedPort<KeyboardLayout> install{layout};
};

TEST_F(VemTrxDfmUtilsTest, RegistersTheFourPathsWithTheirConverters) {
  const TVemStringList& kinds = DfmPropertyKinds();
  EXPECT_THAT(std::vector<std::wstring>(kinds.begin(), kinds.end()),
              ElementsAre(L"Caption", L"Hint", L"ShortCut", L"Title.Caption"));
  for (const wchar_t* path : {L"Caption", L"title.caption", L"HINT"}) {
    const TDfmPropertyKind* kind = FindDfmPropertyKind(path);
    ASSERT_NE(kind, nullptr) << path;
    EXPECT_EQ(kind->DfmValueToText(L"'Save'#13#10'all'"), L"Save\r\nall") << path;
    EXPECT_EQ(kind->TextToDfmValue(L"It's"), L"'It'#39's'") << path;
  }
  const TDfmPropertyKind* shortCut = FindDfmPropertyKind(L"shortcut");
  ASSERT_NE(shortCut, nullptr);
  EXPECT_EQ(shortCut->DfmValueToText(L"16467"), L"Ctrl+S");
  EXPECT_EQ(shortCut->TextToDfmValue(L"Ctrl+S"), L"16467");
  EXPECT_EQ(FindDfmPropertyKind(L"Font.Name"), nullptr);
}

TEST_F(VemTrxDfmUtilsTest, APathRegisteredAgainKeepsItsFirstConverters) {
  const TDfmPropertyKind shortCutKind{ShortCutDfmValueToText, ShortCutTextToDfmValue};
  RegisterDfmPropertyKind(L"caption", shortCutKind);
  EXPECT_EQ(DfmPropertyKinds().Count(), 4);
  EXPECT_EQ(FindDfmPropertyKind(L"Caption")->DfmValueToText, &StringDfmValueToText);

  RegisterDfmPropertyKind(L"Items.Caption", shortCutKind);
  EXPECT_EQ(FindDfmPropertyKind(L"items.caption")->TextToDfmValue(L"F5"), L"116");

  // Starting again gives the four paths alone.
  InitializeVemTrxDfmUtils();
  EXPECT_EQ(DfmPropertyKinds().Count(), 4);

  FinalizeVemTrxDfmUtils();
  EXPECT_EQ(RaisedMessage<EVemInternalError>([] { DfmPropertyKinds(); }),
            L"Internal Error: DfmPropertyKinds not assigned.");
  EXPECT_THROW(RegisterDfmPropertyKind(L"Hint", shortCutKind), EVemInternalError);
}

TEST_F(VemTrxDfmUtilsTest, StringConvertersWriteLinesOf64Characters) {
  const std::wstring text = std::wstring(64, L'a') + L"bcdefg";
  EXPECT_EQ(StringTextToDfmValue(text), L"\r\n'" + std::wstring(64, L'a') + L"' +\r\n'bcdefg'");
  EXPECT_EQ(StringDfmValueToText(StringTextToDfmValue(text)), text);
  EXPECT_EQ(StringTextToDfmValue(L""), L"''");
  EXPECT_THROW(StringDfmValueToText(L"Save"), EParserError);
}

TEST_F(VemTrxDfmUtilsTest, ShortCutConvertersCheckTheNumber) {
  const struct {
    std::wstring Value, Text;
  } values[] = {
      {L"16467", L"Ctrl+S"}, {L" 116 ", L"F5"}, {L"+46", L"Del"}, {L"0", L""}, {L"-0", L""}, {L"65535", L""},
  };
  for (const auto& v : values) EXPECT_EQ(ShortCutDfmValueToText(v.Value), v.Text) << v.Value;

  for (const wchar_t* value : {L"65536", L"-1", L"99999999999999999999"})
    EXPECT_EQ(RaisedMessage<ERangeError>([&] { ShortCutDfmValueToText(value); }), L"Range check error") << value;
  for (const wchar_t* value : {L"abc", L"", L"12a", L"-", L"0x10"})
    EXPECT_EQ(RaisedMessage<EConvertError>([&] { ShortCutDfmValueToText(value); }),
              L"'" + std::wstring(value) + L"' is not a valid integer value")
        << value;

  EXPECT_EQ(ShortCutTextToDfmValue(L"Shift+Ctrl+Alt+Del"), L"57390");
  EXPECT_EQ(ShortCutTextToDfmValue(L"nonsense"), L"0");
}

}  // namespace
}  // namespace ostrevin
