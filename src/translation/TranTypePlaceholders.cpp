// TranTypePlaceholders.cpp - the placeholder rules: "formatstring",
// "CsTemplate", "CsTemplateHtml" and "IAString".
#include "translation/VemTrxTypes.h"

#include "foundation/TextCompare.h"
#include "foundation/TextUtils.h"
#include "translation/VemTrxStringList.h"

namespace ostrevin {

namespace {

// Adds each run from `open` to the next `close` (both included).
void AddDelimited(std::wstring_view text, wchar_t open, wchar_t close, TVemStringList& list) {
  std::size_t start = text.find(open);
  while (start != std::wstring_view::npos) {
    const std::size_t end = text.find(close, start + 1);
    if (end == std::wstring_view::npos) return;
    list.Add(std::wstring(text.substr(start, end - start + 1)));
    start = text.find(open, end + 1);
  }
}

// "$" up to the next "$"; a run holding a blank is no placeholder, and its
// closing "$" may open the next one.
void AddDollarPlaceholders(std::wstring_view text, TVemStringList& list) {
  std::size_t start = text.find(L'$');
  while (start != std::wstring_view::npos) {
    const std::size_t end = text.find(L'$', start + 1);
    if (end == std::wstring_view::npos) return;
    const std::wstring_view candidate = text.substr(start, end - start + 1);
    if (candidate.find(L' ') == std::wstring_view::npos) {
      list.Add(std::wstring(candidate));
      start = text.find(L'$', end + 1);
    } else {
      start = end;
    }
  }
}

template <class Collect>
TVemTrxStringList PlaceholderSet(std::wstring_view text, Collect collect) {
  TVemTrxStringList list;
  collect(text, list);
  return list;
}

bool SamePlaceholders(const TVemStringList& reference, const TVemStringList& translation) {
  return SameText(reference.Text(), translation.Text());
}

// "This placeholder is missing: {a}." or "These placeholders are missing:
// {a},{b}." on a line of its own; nothing for an empty list.
std::wstring PlaceholderLine(const TVemStringList& placeholders, std::wstring_view what) {
  if (placeholders.Count() == 0) return {};
  if (placeholders.Count() == 1)
    return L"\r\nThis placeholder is " + std::wstring(what) + L": " + placeholders[0] + L".";
  return L"\r\nThese placeholders are " + std::wstring(what) + L": " + placeholders.CommaText() + L".";
}

void RaisePlaceholderDifference(TVemTrxStringList missing, TVemTrxStringList unexpected) {
  for (int i = missing.Count() - 1; i >= 0; --i) {
    const int other = unexpected.IndexOf(missing[i]);
    if (other < 0) continue;
    missing.Delete(i);
    unexpected.Delete(other);
  }
  throw EFormatSpecError(L"There is a problem with the placeholders in this text." +
                         PlaceholderLine(missing, L"missing") + PlaceholderLine(unexpected, L"unexpected"));
}

}  // namespace

// --- "formatstring" and its descendants -------------------------------------

const TFormatStringTranType& TFormatStringTranType::Instance() {
  static const TFormatStringTranType instance;
  return instance;
}

std::wstring TFormatStringTranType::GetCanonical(std::wstring_view value) const { return std::wstring(value); }

void TFormatStringTranType::GetPlaceholders(std::wstring_view text, TVemStringList& list) const {
  // Doubled braces are literal braces, not parts of a placeholder.
  std::wstring plain(text);
  if (plain.find(L"{{") != std::wstring::npos || plain.find(L"}}") != std::wstring::npos)
    plain = StringReplaceAll(StringReplaceAll(plain, L"{{", L" "), L"}}", L" ");
  AddDelimited(plain, L'{', L'}', list);
}

bool TFormatStringTranType::DoIsValid(std::wstring_view refValue, std::wstring_view tranValue) const {
  const auto collect = [this](std::wstring_view text, TVemStringList& list) { GetPlaceholders(text, list); };
  return SamePlaceholders(PlaceholderSet(refValue, collect), PlaceholderSet(tranValue, collect));
}

void TFormatStringTranType::DoForceIsValid(std::wstring_view refValue, std::wstring_view tranValue) const {
  const auto collect = [this](std::wstring_view text, TVemStringList& list) { GetPlaceholders(text, list); };
  TVemTrxStringList reference = PlaceholderSet(refValue, collect);
  TVemTrxStringList translation = PlaceholderSet(tranValue, collect);
  if (!SamePlaceholders(reference, translation)) RaisePlaceholderDifference(std::move(reference), std::move(translation));
}

const TCsTemplateTranType& TCsTemplateTranType::Instance() {
  static const TCsTemplateTranType instance;
  return instance;
}

void TCsTemplateTranType::GetPlaceholders(std::wstring_view text, TVemStringList& list) const {
  AddDelimited(text, L'[', L']', list);
}

const TCsTemplateHtmlTranType& TCsTemplateHtmlTranType::Instance() {
  static const TCsTemplateHtmlTranType instance;
  return instance;
}

void TCsTemplateHtmlTranType::GetPlaceholders(std::wstring_view text, TVemStringList& list) const {
  AddDelimited(text, L'[', L']', list);
}

// --- "IAString" -------------------------------------------------------------

const TInstallAwareTranType& TInstallAwareTranType::Instance() {
  static const TInstallAwareTranType instance;
  return instance;
}

std::wstring TInstallAwareTranType::GetCanonical(std::wstring_view value) const { return std::wstring(value); }

void TInstallAwareTranType::GetPlaceholders(std::wstring_view text, TVemStringList& list) {
  AddDollarPlaceholders(text, list);
}

std::wstring TInstallAwareTranType::StripPlaceholders(std::wstring_view value) {
  std::wstring text(value);
  for (const std::wstring& placeholder : PlaceholderSet(value, AddDollarPlaceholders)) {
    const std::size_t at = text.find(placeholder);
    if (at != std::wstring::npos) text.erase(at, placeholder.size());
  }
  return text;
}

bool TInstallAwareTranType::DoIsValid(std::wstring_view refValue, std::wstring_view tranValue) const {
  return SamePlaceholders(PlaceholderSet(refValue, AddDollarPlaceholders),
                          PlaceholderSet(tranValue, AddDollarPlaceholders));
}

void TInstallAwareTranType::DoForceIsValid(std::wstring_view refValue, std::wstring_view tranValue) const {
  TVemTrxStringList reference = PlaceholderSet(refValue, AddDollarPlaceholders);
  TVemTrxStringList translation = PlaceholderSet(tranValue, AddDollarPlaceholders);
  if (!SamePlaceholders(reference, translation)) RaisePlaceholderDifference(std::move(reference), std::move(translation));
}

}  // namespace ostrevin
