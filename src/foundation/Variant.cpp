// Variant.cpp - TVariant, the system's variant value.
#include "foundation/Variant.h"

#include <cmath>
#include <ostream>

#include "foundation/Format.h"
#include "foundation/TextEncoding.h"

namespace ostrevin {

std::wstring_view VarTypeName(TVarType type) noexcept {
  switch (type) {
    case TVarType::Empty: return L"Empty";
    case TVarType::Null: return L"Null";
    case TVarType::SmallInt: return L"Smallint";
    case TVarType::Integer: return L"Integer";
    case TVarType::Single: return L"Single";
    case TVarType::Double: return L"Double";
    case TVarType::Date: return L"Date";
    case TVarType::String: return L"String";
    case TVarType::Boolean: return L"Boolean";
    case TVarType::Variant: return L"Variant";
    case TVarType::LongWord: return L"LongWord";
    case TVarType::Int64: return L"Int64";
    case TVarType::Array: return L"Array";
  }
  return L"Unknown";
}

TVariant TVariant::Null() { return {TVarType::Null, std::monostate()}; }
TVariant TVariant::Boolean(bool value) { return {TVarType::Boolean, value}; }
TVariant TVariant::SmallInt(std::int16_t value) { return {TVarType::SmallInt, std::int64_t{value}}; }
TVariant TVariant::Integer(std::int32_t value) { return {TVarType::Integer, std::int64_t{value}}; }
TVariant TVariant::LongWord(std::uint32_t value) { return {TVarType::LongWord, std::int64_t{value}}; }
TVariant TVariant::Int64(std::int64_t value) { return {TVarType::Int64, value}; }
TVariant TVariant::Single(float value) { return {TVarType::Single, static_cast<double>(value)}; }
TVariant TVariant::Double(double value) { return {TVarType::Double, value}; }
TVariant TVariant::Date(double oleDate) { return {TVarType::Date, oleDate}; }
TVariant TVariant::String(std::wstring value) { return {TVarType::String, std::move(value)}; }

TVariant TVariant::Array(TVarType elementType, std::vector<TVariant> elements) {
  TVariant result(TVarType::Array, std::move(elements));
  result.FElementType = elementType;
  return result;
}

void TVariant::RaiseCastError(TVarType wanted) const {
  throw EVariantTypeCastError(Format(L"Could not convert variant of type (%s) into type (%s)",
                                     {VarTypeName(FType), VarTypeName(wanted)}));
}

bool TVariant::AsBoolean() const {
  if (FType != TVarType::Boolean) RaiseCastError(TVarType::Boolean);
  return std::get<bool>(FValue);
}

std::int64_t TVariant::AsInt64() const {
  if (!std::holds_alternative<std::int64_t>(FValue)) RaiseCastError(TVarType::Int64);
  return std::get<std::int64_t>(FValue);
}

double TVariant::AsDouble() const {
  if (const auto* i = std::get_if<std::int64_t>(&FValue)) return static_cast<double>(*i);
  if (!std::holds_alternative<double>(FValue)) RaiseCastError(TVarType::Double);
  return std::get<double>(FValue);
}

const std::wstring& TVariant::AsString() const {
  if (FType != TVarType::String) RaiseCastError(TVarType::String);
  return std::get<std::wstring>(FValue);
}

const std::vector<TVariant>& TVariant::Elements() const {
  if (FType != TVarType::Array) RaiseCastError(TVarType::Array);
  return std::get<std::vector<TVariant>>(FValue);
}

bool operator==(const TVariant& a, const TVariant& b) {
  return a.FType == b.FType && a.FElementType == b.FElementType && a.FValue == b.FValue;
}

std::wstring TVariant::DebugText() const {
  switch (FType) {
    case TVarType::Empty:
    case TVarType::Null: return std::wstring(VarTypeName(FType));
    case TVarType::Boolean: return AsBoolean() ? L"Boolean(True)" : L"Boolean(False)";
    case TVarType::String: return L"String(\"" + AsString() + L"\")";
    case TVarType::Array: {
      std::wstring text = L"Array<" + std::wstring(VarTypeName(FElementType)) + L">[";
      const auto& elements = Elements();
      for (std::size_t i = 0; i < elements.size(); ++i) text += (i == 0 ? L"" : L", ") + elements[i].DebugText();
      return text + L"]";
    }
    default: break;
  }
  const std::wstring value = std::holds_alternative<std::int64_t>(FValue)
                                 ? Format(L"%d", {static_cast<long long>(AsInt64())})
                                 : Format(L"%g", {AsDouble()});
  return std::wstring(VarTypeName(FType)) + L"(" + value + L")";
}

void PrintTo(const TVariant& value, std::ostream* os) { *os << WideToUtf8(value.DebugText()); }

double FileTimeToOleDate(std::uint64_t fileTime) noexcept {
  // 1899-12-30 as a file time, and one day in file-time ticks.
  constexpr std::int64_t kOleEpoch = 94353120000000000;
  constexpr std::int64_t kTicksPerDay = 864000000000;
  const std::int64_t ticks = static_cast<std::int64_t>(fileTime) - kOleEpoch;
  std::int64_t days = ticks / kTicksPerDay;
  std::int64_t rest = ticks % kTicksPerDay;
  if (rest < 0) {
    --days;
    rest += kTicksPerDay;
  }
  const double fraction = static_cast<double>(rest) / static_cast<double>(kTicksPerDay);
  return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

}  // namespace ostrevin
