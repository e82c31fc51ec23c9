// VariantTest.cpp - equality, accessors and dates of TVariant.
#include "foundation/Variant.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace ostrevin {
namespace {

TEST(Variant, EqualityIncludesTheType) {
  EXPECT_EQ(TVariant::Integer(1), TVariant::Integer(1));
  EXPECT_NE(TVariant::Integer(1), TVariant::SmallInt(1));
  EXPECT_NE(TVariant::Integer(-1), TVariant::LongWord(4294967295u));
  EXPECT_NE(TVariant::Double(2.0), TVariant::Date(2.0));
  EXPECT_NE(TVariant(), TVariant::Null());
  EXPECT_EQ(TVariant::Array(TVarType::Integer, {TVariant::Integer(1)}),
            TVariant::Array(TVarType::Integer, {TVariant::Integer(1)}));
  EXPECT_NE(TVariant::Array(TVarType::Integer, {}), TVariant::Array(TVarType::String, {}));
  EXPECT_NE(TVariant::Array(TVarType::Variant, {TVariant::Integer(1)}),
            TVariant::Array(TVarType::Variant, {TVariant::Int64(1)}));
}

TEST(Variant, AccessorsTakeOnlyTheirTypes) {
  EXPECT_EQ(TVariant::LongWord(4294967295u).AsInt64(), 4294967295);
  EXPECT_EQ(TVariant::SmallInt(-2).AsDouble(), -2.0);
  EXPECT_EQ(TVariant::Single(0.5f).AsDouble(), 0.5);
  EXPECT_TRUE(TVariant::Boolean(true).AsBoolean());
  EXPECT_EQ(TVariant::Array(TVarType::Integer, {TVariant::Integer(7)}).Elements().at(0), TVariant::Integer(7));
  try {
    static_cast<void>(TVariant::Integer(1).AsString());
    FAIL() << "no exception";
  } catch (const EVariantTypeCastError& e) {
    EXPECT_EQ(e.Message(), L"Could not convert variant of type (Integer) into type (String)");
  }
  EXPECT_THROW(TVariant::Null().AsInt64(), EVariantTypeCastError);
  EXPECT_THROW(TVariant::String(L"1").AsDouble(), EVariantTypeCastError);
  EXPECT_THROW(TVariant().Elements(), EVariantTypeCastError);
}

TEST(Variant, DebugTextNamesTypeAndValue) {
  EXPECT_EQ(TVariant::Array(TVarType::SmallInt, {TVariant::SmallInt(1), TVariant::String(L"x")}).DebugText(),
            L"Array<Smallint>[Smallint(1), String(\"x\")]");
  EXPECT_EQ(TVariant::Date(1.5).DebugText(), L"Date(1.5)");
  EXPECT_EQ(TVariant::Null().DebugText(), L"Null");
}

TEST(Variant, FileTimesAsOleDates) {
  constexpr std::uint64_t kTicksPerHour = 36000000000;
  constexpr std::uint64_t kOleEpoch = 94353120000000000;  // 1899-12-30 00:00
  struct Case {
    const char* Name;
    std::uint64_t FileTime;
    double OleDate;
  };
  const Case cases[] = {
      {"the epoch", kOleEpoch, 0.0},
      {"06:00 on the epoch", kOleEpoch + 6 * kTicksPerHour, 0.25},
      {"06:00 the day before", kOleEpoch - 18 * kTicksPerHour, -1.25},
      {"the day before", kOleEpoch - 24 * kTicksPerHour, -1.0},
      {"2024-03-01 18:00", (1709294400ull + 11644473600ull) * 10000000ull + 6 * kTicksPerHour, 45352.75},
      {"1601-01-01", 0, -109205.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(FileTimeToOleDate(c.FileTime), c.OleDate);
  }
}

}  // namespace
}  // namespace ostrevin
