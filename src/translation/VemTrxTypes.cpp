// VemTrxTypes.cpp - the base translation type, "resourcestring" and the
// registry of translation types.
#include "translation/VemTrxTypes.h"

#include <memory>

#include "foundation/Checks.h"
#include "foundation/Format.h"
#include "foundation/TextCompare.h"

namespace ostrevin {

// --- TTranType --------------------------------------------------------------

bool TTranType::IsValid(std::wstring_view refValue, std::wstring_view tranValue) const {
  return SameText(refValue, tranValue) || DoIsValid(refValue, tranValue);
}

void TTranType::ForceIsValid(std::wstring_view refValue, std::wstring_view tranValue) const {
  if (!SameText(refValue, tranValue)) DoForceIsValid(refValue, tranValue);
}

bool TTranType::IsSameCanonicalText(std::wstring_view refValue, std::wstring_view tranValue) const {
  return SameText(refValue, tranValue) || SameText(GetCanonical(refValue), GetCanonical(tranValue));
}

bool TTranType::DoIsValid(std::wstring_view refValue, std::wstring_view tranValue) const {
  try {
    DoForceIsValid(refValue, tranValue);
    return true;
  } catch (const EFormatSpecError&) {
    return false;
  }
}

void TTranType::DoForceIsValid(std::wstring_view, std::wstring_view) const {}

// --- "resourcestring" -------------------------------------------------------

const TResourceStringTranType& TResourceStringTranType::Instance() {
  static const TResourceStringTranType instance;
  return instance;
}

std::wstring TResourceStringTranType::GetCanonical(std::wstring_view value) const {
  return CanonicalFormatString(value);
}

void TResourceStringTranType::DoForceIsValid(std::wstring_view refValue, std::wstring_view tranValue) const {
  const TFormatSpecifierTable reference = BuildFormatSpecifierTable(refValue);
  const TFormatSpecifierTable translation = BuildFormatSpecifierTable(tranValue);
  if (reference.Size != translation.Size)
    throw EFormatSpecError(std::wstring(L"Number of format specifiers do not match.\r\n\r\n> ") +
                           std::wstring(refValue) + L"\r\n> " + std::wstring(tranValue));
  for (int index = 0; index < reference.Size; ++index) {
    if (reference.TypeClassAt(index) != translation.TypeClassAt(index))
      throw EFormatSpecError(Format(L"Argument types for index %d do not match. (%s <> %s)",
                                    {index, reference.SpecifierAt(index), translation.SpecifierAt(index)}));
  }
}

// --- The registry -----------------------------------------------------------

namespace {

std::unique_ptr<TVemStringList>& Registry() {
  static std::unique_ptr<TVemStringList> registry;
  return registry;
}

TVemStringList& CheckedRegistry() {
  CheckAssigned(Registry().get(), L"TranTypeRegistry");
  return *Registry();
}

}  // namespace

void InitializeVemTrxTypes() {
  auto registry = std::make_unique<TVemStringList>();
  registry->SetCaseSensitive(true);
  registry->SetDuplicates(TDuplicates::Error);
  registry->SetSorted(true);
  Registry() = std::move(registry);
  RegisterTranType(TResourceStringTranType::Instance());
  RegisterTranType(TShortCutTranType::Instance());
  RegisterTranType(TFormatStringTranType::Instance());
  RegisterTranType(TCsTemplateTranType::Instance());
  RegisterTranType(TCsTemplateHtmlTranType::Instance());
  RegisterTranType(TInstallAwareTranType::Instance());
}

void FinalizeVemTrxTypes() noexcept { Registry().reset(); }

const TVemStringList& TranTypeRegistry() { return CheckedRegistry(); }

void RegisterTranType(const TTranType& tranType) {
  // The registry only hands the types back as const.
  CheckedRegistry().AddObject(std::wstring(tranType.Code()), const_cast<TTranType*>(&tranType));
}

const TTranType* FindTranType(std::wstring_view code) {
  const TVemStringList& registry = CheckedRegistry();
  const int index = registry.IndexOf(code);
  return index < 0 ? nullptr : static_cast<const TTranType*>(registry.Objects(index));
}

}  // namespace ostrevin
