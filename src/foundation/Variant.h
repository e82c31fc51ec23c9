// Variant.h - TVariant, the system's variant value.
//
// A value that carries its own type, as automation and MAPI hand values
// around: empty, null, a Boolean, an integer of 16, 32 or 64 bits, an
// unsigned 32-bit integer, a single or double, a date-time, a string, or a
// one-dimensional array of variants (bounds 0 to count - 1) that records its
// element type. The type numbers are the platform's VARIANT numbers, so an
// adapter can map them one to one:
//
//   TVariant n = TVariant::Integer(-1);
//   TVariant when = TVariant::Date(FileTimeToOleDate(localFileTime));
//   TVariant names = TVariant::Array(TVarType::String, {TVariant::String(L"a"), TVariant::String(L"b")});
//   for (const TVariant& name : names.Elements()) Use(name.AsString());
//
// A date-time is an OLE date: days since 1899-12-30 with the time of day as
// the fraction, in local time. Integers of every width are kept as 64-bit
// values and a single as the double of the same value, so equality and the
// accessors need no conversions of their own. Portable: no platform code.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "foundation/VemSysUtils.h"

namespace ostrevin {

// Variant types, numbered as the platform's VARTYPE.
enum class TVarType : std::uint16_t {
  Empty = 0,
  Null = 1,
  SmallInt = 2,   // 16-bit signed
  Integer = 3,    // 32-bit signed
  Single = 4,
  Double = 5,
  Date = 7,
  String = 8,
  Boolean = 11,
  Variant = 12,   // an array element type: elements of mixed types
  LongWord = 19,  // 32-bit unsigned
  Int64 = 20,
  Array = 0x2000,
};

// "Integer", "String", ...; "Array" for the array flag.
std::wstring_view VarTypeName(TVarType type) noexcept;

// An accessor asked for a type the variant does not hold:
// "Could not convert variant of type (Integer) into type (String)".
OSTREVIN_DECLARE_EXCEPTION(EVariantTypeCastError, Exception);

class TVariant {
 public:
  // Empty.
  TVariant() = default;

  static TVariant Null();
  static TVariant Boolean(bool value);
  static TVariant SmallInt(std::int16_t value);
  static TVariant Integer(std::int32_t value);
  static TVariant LongWord(std::uint32_t value);
  static TVariant Int64(std::int64_t value);
  static TVariant Single(float value);
  static TVariant Double(double value);
  // An OLE date in local time.
  static TVariant Date(double oleDate);
  static TVariant String(std::wstring value);
  // Elements should be of `elementType` (any type for TVarType::Variant);
  // this is not checked. An array may be empty.
  static TVariant Array(TVarType elementType, std::vector<TVariant> elements);

  // The type; Array for an array, whose element type is ElementType().
  TVarType Type() const noexcept { return FType; }
  TVarType ElementType() const noexcept { return FElementType; }
  bool IsEmpty() const noexcept { return FType == TVarType::Empty; }
  bool IsNull() const noexcept { return FType == TVarType::Null; }
  bool IsArray() const noexcept { return FType == TVarType::Array; }

  // Each raises EVariantTypeCastError for a type it does not take.
  bool AsBoolean() const;                           // Boolean
  std::int64_t AsInt64() const;                     // SmallInt, Integer, LongWord, Int64
  double AsDouble() const;                          // the integers, Single, Double, Date
  const std::wstring& AsString() const;             // String
  const std::vector<TVariant>& Elements() const;    // Array

  // Equal when of the same type (and element type) with equal values;
  // arrays compare element by element. An Integer 1 is not a SmallInt 1.
  friend bool operator==(const TVariant& a, const TVariant& b);

  // For test output and logs: "Integer(-1)", "String(\"0AFF\")", "Null",
  // "Array<Smallint>[Smallint(1), Smallint(2)]".
  std::wstring DebugText() const;

 private:
  using Value = std::variant<std::monostate, bool, std::int64_t, double, std::wstring, std::vector<TVariant>>;
  TVariant(TVarType type, Value value) : FType(type), FValue(std::move(value)) {}
  [[noreturn]] void RaiseCastError(TVarType wanted) const;

  TVarType FType = TVarType::Empty;
  TVarType FElementType = TVarType::Empty;
  Value FValue;
};

// GoogleTest prints variants with this (found by argument-dependent lookup).
void PrintTo(const TVariant& value, std::ostream* os);

// A file time (100-nanosecond intervals since 1601-01-01) as an OLE date of
// the same wall-clock time. Before 1899-12-30 the OLE form keeps the time of
// day as a positive fraction behind a negative day number (-1.25 is
// 1899-12-29 06:00), as the platform's dates do.
double FileTimeToOleDate(std::uint64_t fileTime) noexcept;

}  // namespace ostrevin
