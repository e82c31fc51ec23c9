// ShortCutTranTypeTest.cpp - shortcut texts on the US layout and on layouts
// that label keys differently, and the "ShortCut" translation rule.
#include "translation/VemTrxTypes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "fakes/FakeKeyboardLayout.h"
#include "platform/Ports.h"

namespace ostrevin {
namespace {

class ShortCutTranTypeTest : public ::testing::Test {
 protected:
  static std::wstring ToText(std::uint16_t shortCut) { return TShortCutTranType::WideShortCutToText(shortCut); }
  static std::uint16_t ToShortCut(std::wstring_view text) { return TShortCutTranType::WideTextToShortCut(text); }

  FakeKeyboardLayout layout;
  ScopedPort<KeyboardLayout> install{layout};
};

struct TShortCutCase {
  std::uint16_t ShortCut;
  std::wstring Text;
};

TEST_F(ShortCutTranTypeTest, ShortCutTexts) {
  const TShortCutCase cases[] = {
      {0x4053, L"Ctrl+S"},       {0x0074, L"F5"},          {0x002E, L"Del"},         {0x0008, L"BkSp"},
      {0x0009, L"Tab"},          {0x000D, L"Enter"},       {0x001B, L"Esc"},         {0x0020, L"Space"},
      {0x0021, L"PgUp"},         {0x0022, L"PgDn"},        {0x0023, L"End"},         {0x0024, L"Home"},
      {0x0025, L"Left"},         {0x0026, L"Up"},          {0x0027, L"Right"},       {0x0028, L"Down"},
      {0x002D, L"Ins"},          {0x0070, L"F1"},          {0x0087, L"F24"},         {0x0030, L"0"},
      {0x0039, L"9"},            {0x0061, L"1"},           {0xA041, L"Shift+Alt+A"}, {0xE02E, L"Shift+Ctrl+Alt+Del"},
      // Other keys by the layout's name.
      {0x00BA, L";"},            {0x0014, L"Caps Lock"},   {0x406B, L"Ctrl+Num +"},
      // Keys without a name give no text, modifiers or not.
      {0x0000, L""},             {0x6000, L""},            {0x0007, L""},
  };
  for (const TShortCutCase& c : cases) EXPECT_EQ(ToText(c.ShortCut), c.Text) << c.ShortCut;
}

TEST_F(ShortCutTranTypeTest, TextsToShortCuts) {
  const TShortCutCase cases[] = {
      {0x4053, L"Ctrl+S"},
      {0x4053, L"Ctrl+s"},  // the key name ignores letter case ...
      {0x0000, L"ctrl+S"},  // ... the prefixes do not
      {0x0000, L"SHIFT+A"},
      {0x4053, L"^S"},
      {0xA074, L"Alt+Shift+F5"},
      {0xE02E, L"Shift+Ctrl+Alt+Del"},
      {0x2041, L"Shift+Shift+A"},
      {0x0014, L"caps lock"},
      {0x406B, L"Ctrl+Num +"},
      {0x0087, L"f24"},
      {0x0000, L""},
      {0x0000, L"Ctrl+"},
      {0x0000, L"Ctrl+Foo"},
      {0x0000, L" Ctrl+S"},
  };
  for (const TShortCutCase& c : cases) EXPECT_EQ(ToShortCut(c.Text), c.ShortCut) << c.Text;
}

TEST_F(ShortCutTranTypeTest, EveryNamedShortCutReadsBackAsTheSameText) {
  for (int key = 0; key <= 0xFF; ++key) {
    for (std::uint16_t modifiers : {0x0000, 0x2000, 0x4000, 0x8000, 0xE000}) {
      const auto shortCut = static_cast<std::uint16_t>(key | modifiers);
      const std::wstring text = ToText(shortCut);
      if (text.empty()) continue;
      // Keys that share a name ("Num Del", "Shift") read back as the first.
      const std::uint16_t back = ToShortCut(text);
      EXPECT_EQ(back & 0xFF00, modifiers) << text;
      EXPECT_LE(back & 0xFF, key) << text;
      EXPECT_EQ(ToText(back), text);
    }
  }
}

TEST_F(ShortCutTranTypeTest, KeysAreNamedAsTheLayoutLabelsThem) {
  // French: the "1" key types "&" and, with Shift, "1": it is still "1".
  layout.SetKey(0x31, L'&', L"&");
  layout.SetCharKey(L'1', 0x31);
  // A digit key typing another character, the digit being on another key.
  layout.SetKey(0x32, L'\u00E9', L"\u00E9");
  layout.SetCharKey(L'2', 0x62);
  // Russian: the "A" key types "Ф".
  layout.SetKey(0x41, L'\u0424', L"\u0424");
  // A letter key that types nothing has no name.
  layout.SetKey(0x42, 0, L"");

  const TShortCutCase cases[] = {
      {0x4031, L"Ctrl+1"}, {0x4032, L"Ctrl+\u00E9"}, {0x4041, L"Ctrl+\u0424"}, {0x4042, L""},
  };
  for (const TShortCutCase& c : cases) {
    EXPECT_EQ(ToText(c.ShortCut), c.Text) << c.ShortCut;
    if (!c.Text.empty()) {
      EXPECT_EQ(ToShortCut(c.Text), c.ShortCut) << c.Text;
    }
  }
  EXPECT_EQ(ToShortCut(L"Ctrl+\u0444"), 0x4041);  // "ф" ignoring letter case
}

TEST_F(ShortCutTranTypeTest, TranslationIsEmptyOrAValidShortCut) {
  const TTranType& type = TShortCutTranType::Instance();
  const struct {
    std::wstring Ref, Tran;
    bool Valid;
  } cases[] = {
      {L"Ctrl+S", L"Ctrl+G", true},  {L"Ctrl+S", L"", true},        {L"Ctrl+S", L"^g", true},
      {L"Ctrl+S", L"Strg+S", false}, {L"Ctrl+G", L"ctrl+S", false}, {L"", L"Shift+", false},
      // Equal to the reference ignoring letter case: accepted unread.
      {L"Ctrl+S", L"CTRL+S", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Tran);
    EXPECT_EQ(type.IsValid(c.Ref, c.Tran), c.Valid);
    try {
      type.ForceIsValid(c.Ref, c.Tran);
      EXPECT_TRUE(c.Valid);
    } catch (const Exception& e) {
      EXPECT_FALSE(c.Valid);
      EXPECT_EQ(e.ClassName(), L"Exception");  // a plain error, not a format error
      EXPECT_EQ(e.Message(), L"\"" + c.Tran + L"\" is not a valid keyboard shortcut.");
    }
  }
}

TEST_F(ShortCutTranTypeTest, CanonicalFormIsTheTextOfTheShortCut) {
  const TTranType& type = TShortCutTranType::Instance();
  EXPECT_EQ(type.GetCanonical(L"^s"), L"Ctrl+S");
  EXPECT_EQ(type.GetCanonical(L"Alt+Ctrl+f5"), L"Ctrl+Alt+F5");
  EXPECT_EQ(type.GetCanonical(L""), L"");
  EXPECT_THROW(type.GetCanonical(L"Strg+S"), Exception);
  EXPECT_TRUE(type.IsSameCanonicalText(L"Ctrl+S", L"^S"));
  EXPECT_FALSE(type.IsSameCanonicalText(L"Ctrl+S", L"Ctrl+G"));
}

}  // namespace
}  // namespace ostrevin
