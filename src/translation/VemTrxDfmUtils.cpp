// VemTrxDfmUtils.cpp - form-resource property kinds and their converters.
#include "translation/VemTrxDfmUtils.h"

#include <cstdint>
#include <deque>
#include <memory>

#include "foundation/Checks.h"
#include "foundation/Format.h"
#include "foundation/TextUtils.h"
#include "foundation/VemSysUtils.h"
#include "translation/DfmNotation.h"
#include "translation/VemTrxTypes.h"

namespace ostrevin {

namespace {

constexpr TDfmPropertyKind kStringKind{StringDfmValueToText, StringTextToDfmValue};
constexpr TDfmPropertyKind kShortCutKind{ShortCutDfmValueToText, ShortCutTextToDfmValue};

struct TRegistry {
  TVemStringList Paths;
  std::deque<TDfmPropertyKind> Kinds;  // stable addresses for Paths' objects
};

std::unique_ptr<TRegistry>& Registry() {
  static std::unique_ptr<TRegistry> registry;
  return registry;
}

TRegistry& CheckedRegistry() {
  CheckAssigned(Registry().get(), L"DfmPropertyKinds");
  return *Registry();
}

// The decimal number of a shortcut property: optional sign, digits, blanks
// around. Out of range however many digits it has.
std::uint16_t ShortCutValue(std::wstring_view dfmValue) {
  const std::wstring number = Trim(dfmValue);
  std::size_t i = 0;
  const bool negative = !number.empty() && number[0] == L'-';
  if (!number.empty() && (number[0] == L'-' || number[0] == L'+')) ++i;
  if (i == number.size()) throw EConvertError(Format(L"'%s' is not a valid integer value", {number}));
  std::uint32_t value = 0;
  bool overflow = false;
  for (; i < number.size(); ++i) {
    if (number[i] < L'0' || number[i] > L'9')
      throw EConvertError(Format(L"'%s' is not a valid integer value", {number}));
    value = value * 10 + static_cast<std::uint32_t>(number[i] - L'0');
    overflow = overflow || value > 0xFFFF;
    if (overflow) value = 0x10000;  // keeps the product small
  }
  if (overflow || (negative && value != 0)) throw ERangeError(L"Range check error");
  return static_cast<std::uint16_t>(value);
}

}  // namespace

std::wstring StringDfmValueToText(std::wstring_view dfmValue) { return DfmStringToText(dfmValue); }

std::wstring StringTextToDfmValue(std::wstring_view text) { return TextToDfmString(text); }

std::wstring ShortCutDfmValueToText(std::wstring_view dfmValue) {
  return TShortCutTranType::WideShortCutToText(ShortCutValue(dfmValue));
}

std::wstring ShortCutTextToDfmValue(std::wstring_view text) {
  return std::to_wstring(TShortCutTranType::WideTextToShortCut(text));
}

void InitializeVemTrxDfmUtils() {
  auto registry = std::make_unique<TRegistry>();
  registry->Paths.SetCaseSensitive(false);
  registry->Paths.SetDuplicates(TDuplicates::Ignore);
  registry->Paths.SetSorted(true);
  Registry() = std::move(registry);
  RegisterDfmPropertyKind(L"Caption", kStringKind);
  RegisterDfmPropertyKind(L"Title.Caption", kStringKind);
  RegisterDfmPropertyKind(L"Hint", kStringKind);
  RegisterDfmPropertyKind(L"ShortCut", kShortCutKind);
}

void FinalizeVemTrxDfmUtils() noexcept { Registry().reset(); }

const TVemStringList& DfmPropertyKinds() { return CheckedRegistry().Paths; }

void RegisterDfmPropertyKind(std::wstring_view path, const TDfmPropertyKind& kind) {
  TRegistry& registry = CheckedRegistry();
  if (registry.Paths.IndexOf(path) >= 0) return;
  registry.Kinds.push_back(kind);
  registry.Paths.AddObject(std::wstring(path), &registry.Kinds.back());
}

const TDfmPropertyKind* FindDfmPropertyKind(std::wstring_view path) {
  const TVemStringList& paths = CheckedRegistry().Paths;
  const int index = paths.IndexOf(path);
  return index < 0 ? nullptr : static_cast<const TDfmPropertyKind*>(paths.Objects(index));
}

}  // namespace ostrevin
