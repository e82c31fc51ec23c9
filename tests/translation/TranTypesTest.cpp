// TranTypesTest.cpp - the format and placeholder rules of the translation
// types, and their registry.
#include "translation/VemTrxTypes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "support/RaisedMessage.h"
#include "translation/VemTrxStringList.h"

namespace ostrevin {
namespace {

using ::testing::ElementsAre;

constexpr const wchar_t* kValid = L"(nothing raised)";

struct TRuleCase {
  const TTranType& Type;
  std::wstring Ref, Tran;
  std::wstring Error;  // kValid when the translation is acceptable
};

void ExpectRule(const TRuleCase& c) {
  SCOPED_TRACE(std::wstring(c.Type.Code()) + L": " + c.Ref + L" / " + c.Tran);
  EXPECT_EQ(c.Type.IsValid(c.Ref, c.Tran), c.Error == kValid);
  EXPECT_EQ(RaisedMessage<EFormatSpecError>([&] { c.Type.ForceIsValid(c.Ref, c.Tran); }), c.Error);
}

TEST(ResourceStringTranTypeTest, SpecifiersMustAgreeInNumberAndKind) {
  const TTranType& type = TResourceStringTranType::Instance();
  const TRuleCase cases[] = {
      {type, L"%s %d", L"%d %s", L"Argument types for index 0 do not match. (%0:s <> %0:d)"},
      {type, L"%s", L"%0:s", kValid},
      {type, L"%s %s", L"%s",
       L"Number of format specifiers do not match.\r\n\r\n> %s %s\r\n> %s"},
      {type, L"%s and %d", L"%1:d und %0:s", kValid},
      {type, L"%d items", L"%u Elemente", kValid},
      {type, L"%.2f", L"%g", kValid},
      {type, L"%p", L"%x", L"Argument types for index 0 do not match. (%0:p <> %0:x)"},
      {type, L"Save %s", L"SAVE %s", kValid},
      {type, L"100%%", L"100 %", kValid},
      // The width argument of "*" is an integer without a specifier.
      {type, L"%5*d %s", L"%0:d %2:s", kValid},
      {type, L"%5*d %s", L"%0:d %1:s %2:s", L"Argument types for index 1 do not match. ( <> %1:s)"},
      // A translation that cannot be read is not valid.
      {type, L"%s", L"%q", L"Invalid Format Specifier: %q"},
      {type, L"%s", L"%s %0:d", L"Argument types for index 0 do not match. (%0:s <> %0:d)"},
  };
  for (const TRuleCase& c : cases) ExpectRule(c);
}

TEST(ResourceStringTranTypeTest, CanonicalTextsCompareTheirIndexedForms) {
  const TTranType& type = TResourceStringTranType::Instance();
  EXPECT_EQ(type.GetCanonical(L"%s %d"), L"%0:s %1:d");
  EXPECT_EQ(type.GetCanonical(L"%s"), L"%s");
  EXPECT_TRUE(type.IsSameCanonicalText(L"%s %d", L"%0:S %1:D"));
  EXPECT_TRUE(type.IsSameCanonicalText(L"Text", L"TEXT"));
  EXPECT_FALSE(type.IsSameCanonicalText(L"%s %d", L"%1:s %0:d"));
  // A single specifier keeps its form, so these two differ.
  EXPECT_FALSE(type.IsSameCanonicalText(L"%s", L"%0:s"));
  EXPECT_THROW(type.IsSameCanonicalText(L"%s", L"%1234567d"), EFormatSpecError);
}

TEST(PlaceholderTranTypeTest, PlaceholderSetsMustAgree) {
  const TTranType& format = TFormatStringTranType::Instance();
  const TTranType& cs = TCsTemplateTranType::Instance();
  const TTranType& html = TCsTemplateHtmlTranType::Instance();
  const TTranType& ia = TInstallAwareTranType::Instance();
  const std::wstring problem = L"There is a problem with the placeholders in this text.";
  const TRuleCase cases[] = {
      {format, L"{{literal}} {name}", L"{Name}", kValid},
      {format, L"{a} {a} {b}", L"{B} {A}", kValid},
      {format, L"Hello {name}", L"Hallo", problem + L"\r\nThis placeholder is missing: {name}."},
      {format, L"{a} {b}", L"{a} {c} {d}",
       problem + L"\r\nThis placeholder is missing: {b}.\r\nThese placeholders are unexpected: {c},{d}."},
      {format, L"{a} {b}", L"", problem + L"\r\nThese placeholders are missing: {a},{b}."},
      {format, L"{first name} {x}", L"{x} {y}",
       problem + L"\r\nThis placeholder is missing: {first name}.\r\nThis placeholder is unexpected: {y}."},
      {format, L"{a} {b,c}", L"", problem + L"\r\nThese placeholders are missing: {a},\"{b,c}\"."},
      // An opening brace without its closing one ends the search.
      {format, L"{a} {b", L"{a}", kValid},
      {format, L"{a} [b]", L"{a}", kValid},
      {cs, L"[Name] {x}", L"[name]", kValid},
      {cs, L"[a]", L"[b]", problem + L"\r\nThis placeholder is missing: [a].\r\nThis placeholder is unexpected: [b]."},
      {html, L"<b>[Total]</b>", L"<i>[total]</i>", kValid},
      {html, L"<b>[Total]</b>", L"<b>Total</b>", problem + L"\r\nThis placeholder is missing: [Total]."},
      // "$a b$" holds a blank, so the search goes on from its closing "$".
      {ia, L"$a b$c$", L"$c$", kValid},
      {ia, L"$a b$c$", L"$a b$", problem + L"\r\nThis placeholder is missing: $c$."},
      {ia, L"Cost: 5$ or 6$", L"Preis: 5 oder 6", kValid},
      {ia, L"$x$$y$", L"$y$", problem + L"\r\nThis placeholder is missing: $x$."},
  };
  for (const TRuleCase& c : cases) ExpectRule(c);
}

TEST(PlaceholderTranTypeTest, CollectsAndStripsPlaceholders) {
  TVemTrxStringList list;
  TFormatStringTranType::Instance().GetPlaceholders(L"{{literal}} {name} {Name} {x}", list);
  EXPECT_THAT(list.ToArray(), ElementsAre(L"{name}", L"{x}"));

  EXPECT_EQ(TFormatStringTranType::Instance().GetCanonical(L"{A} {{b}}"), L"{A} {{b}}");
  EXPECT_EQ(TInstallAwareTranType::Instance().GetCanonical(L"$A$"), L"$A$");

  struct {
    std::wstring Text, Stripped;
  } cases[] = {
      {L"Install $App$ now", L"Install  now"},
      {L"$a b$c$", L"$a b"},
      {L"no placeholders", L"no placeholders"},
      // One removal per distinct placeholder, letter case ignored.
      {L"$A$ and $a$", L" and $a$"},
  };
  for (const auto& c : cases) EXPECT_EQ(TInstallAwareTranType::StripPlaceholders(c.Text), c.Stripped) << c.Text;
}

class TranTypeRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { InitializeVemTrxTypes(); }
  void TearDown() override { FinalizeVemTrxTypes(); }
};

TEST_F(TranTypeRegistryTest, HoldsTheSixTypesByCode) {
  const struct {
    const TTranType& Type;
    std::wstring Code;
    bool IsHtml;
  } types[] = {
      {TResourceStringTranType::Instance(), L"resourcestring", false},
      {TShortCutTranType::Instance(), L"ShortCut", false},
      {TFormatStringTranType::Instance(), L"formatstring", false},
      {TCsTemplateTranType::Instance(), L"CsTemplate", false},
      {TCsTemplateHtmlTranType::Instance(), L"CsTemplateHtml", true},
      {TInstallAwareTranType::Instance(), L"IAString", false},
  };
  for (const auto& t : types) {
    EXPECT_EQ(t.Type.Code(), t.Code);
    EXPECT_EQ(t.Type.IsHtml(), t.IsHtml) << t.Code;
    EXPECT_EQ(FindTranType(t.Code), &t.Type) << t.Code;
  }
  // Sorted by the folded codes; letter case would only decide between codes
  // that differ in nothing else.
  EXPECT_THAT(std::vector<std::wstring>(TranTypeRegistry().begin(), TranTypeRegistry().end()),
              ElementsAre(L"CsTemplate", L"CsTemplateHtml", L"formatstring", L"IAString", L"resourcestring",
                          L"ShortCut"));
  EXPECT_EQ(FindTranType(L"shortcut"), nullptr);
}

TEST_F(TranTypeRegistryTest, DuplicateCodesRaiseAndFinalizeFrees) {
  EXPECT_EQ(RaisedMessage<EStringListError>([] { RegisterTranType(TShortCutTranType::Instance()); }),
            L"String list does not allow duplicates");
  EXPECT_EQ(TranTypeRegistry().Count(), 6);

  FinalizeVemTrxTypes();
  EXPECT_EQ(RaisedMessage<EVemInternalError>([] { TranTypeRegistry(); }),
            L"Internal Error: TranTypeRegistry not assigned.");
  EXPECT_THROW(RegisterTranType(TShortCutTranType::Instance()), EVemInternalError);
  FinalizeVemTrxTypes();  // a second time does nothing
}

}  // namespace
}  // namespace ostrevin
