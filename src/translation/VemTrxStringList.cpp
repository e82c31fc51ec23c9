// VemTrxStringList.cpp - the string lists a translatable form keeps.
#include "translation/VemTrxStringList.h"

#include <algorithm>

#include "foundation/Format.h"
#include "foundation/TextCompare.h"
#include "foundation/VemSysUtils.h"
#include "platform/FileSystem.h"
#include "platform/Ports.h"
#include "translation/DfmNotation.h"

namespace ostrevin {

namespace {

// Runs `body` inside one update bracket of the list, which a failure ends
// too. (EndUpdate runs the change handlers, so it must not be in a
// destructor.)
template <class Body>
void InOneUpdate(TVemStringList& list, Body&& body) {
  list.BeginUpdate();
  try {
    body();
  } catch (...) {
    list.EndUpdate();
    throw;
  }
  list.EndUpdate();
}

void ReplaceEntries(TVemStringList& list, const std::vector<std::wstring>& entries) {
  InOneUpdate(list, [&] {
    list.Clear();
    for (const std::wstring& entry : entries) list.Add(entry);
  });
}

}  // namespace

TextEncoding CodePageToEncoding(unsigned codePage) {
  switch (codePage) {
    case 0: return TextEncoding::Ansi;
    case 1200: return TextEncoding::Utf16LE;
    case 1201: return TextEncoding::Utf16BE;
    case 65001: return TextEncoding::Utf8;
    default: break;
  }
  throw EConvertError(Format(L"Code page %d is not supported", {codePage}));
}

TVemTrxStringList::TVemTrxStringList() {
  SetDuplicates(TDuplicates::Ignore);
  SetCaseSensitive(false);
  SetSorted(true);
}

void TVemTrxStringList::LoadFromFile(std::wstring_view fileName, unsigned codePage) {
  const TextEncoding encoding = CodePageToEncoding(codePage);
  Bytes bytes = Current<FileSystem>().ReadAllBytes(fileName);
  if (encoding != TextEncoding::Ansi) {
    const Bytes mark = EncodeText(L"", encoding, /*withBom=*/true);
    if (bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin()))
      bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(mark.size()));
  }
  const std::wstring text = DecodeTextAs(bytes, encoding);
  SetEncoding(encoding);
  SetText(text);
}

void TVemTrxStringList::SaveToFile(std::wstring_view fileName, unsigned codePage) const {
  SaveToFile(fileName, CodePageToEncoding(codePage));
}

std::vector<std::wstring> TVemTrxStringList::ToArray() const { return std::vector<std::wstring>(begin(), end()); }

bool TVemTrxStringList::Contains(std::wstring_view value) const { return IndexOf(value) >= 0; }

void TVemTrxStringList::AssignStrings(const TVemStringList& source) {
  if (&source == this) return;
  InOneUpdate(*this, [&] {
    Clear();
    AddStrings(source);
  });
}

void TVemTrxStringList::ReadStrings(std::wstring_view dfmValue) {
  ReplaceEntries(*this, ReadDfmStringListValue(dfmValue));
}

std::wstring TVemTrxStringList::WriteStrings(std::wstring_view indent) const {
  return WriteDfmStringListValue(ToArray(), indent);
}

bool TVemTrxStringList::StringsStored(const TVemTrxStringList* ancestor) const {
  return Count() > 0 || (ancestor != nullptr && !ancestor->Equals(*this));
}

void TVemTrxTranslatableProps::RenameComponent(std::wstring_view curName, std::wstring_view newName) {
  if (curName.empty() || newName.empty()) return;
  std::vector<std::wstring> entries = ToArray();
  bool renamed = false;
  for (std::wstring& entry : entries) {
    const std::size_t dot = entry.rfind(L'.');
    if (dot == std::wstring::npos || !SameText(std::wstring_view(entry).substr(0, dot), curName)) continue;
    entry = std::wstring(newName) + L"." + entry.substr(dot + 1);
    renamed = true;
  }
  if (renamed) ReplaceEntries(*this, entries);
}

}  // namespace ostrevin
