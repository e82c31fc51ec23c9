// VemClasses.cpp - TVemStringList, the system's string list.
//
// Portable: files go through the FileSystem port, bytes through
// TextEncoding, every comparison through TextCompare's CompareByCase.
#include "foundation/VemClasses.h"

#include <algorithm>
#include <cstdint>

#include "foundation/TextCompare.h"
#include "foundation/VemSysUtils.h"
#include "platform/FileSystem.h"
#include "platform/Ports.h"

namespace ostrevin {

namespace {

[[noreturn]] void RaiseIndexError(int index) {
  throw EStringListError(L"List index out of bounds (" + std::to_wstring(index) + L")");
}

[[noreturn]] void RaiseSortedListError() { throw EStringListError(L"Operation not allowed on sorted list"); }

[[noreturn]] void RaiseDuplicateError() { throw EStringListError(L"String list does not allow duplicates"); }

// Characters 1..32, which CommaText treats as separators unless strict.
bool IsBlank(wchar_t c) noexcept {
  const auto u = static_cast<std::uint32_t>(c);
  return u >= 1 && u <= 32;
}

}  // namespace

TVemStringList::TVemStringList(std::initializer_list<std::wstring> values) {
  for (const std::wstring& value : values) Add(value);
}

TVemStringList::TVemStringList(const std::vector<std::wstring>& values) {
  for (const std::wstring& value : values) Add(value);
}

// --- Notification -----------------------------------------------------------

void TVemStringList::Changing() {
  if (FObservers.UpdateCount == 0 && FObservers.OnChanging) FObservers.OnChanging(*this);
}

void TVemStringList::Changed() {
  if (FObservers.UpdateCount == 0 && FObservers.OnChange) FObservers.OnChange(*this);
}

void TVemStringList::BeginUpdate() {
  if (FObservers.UpdateCount == 0) Changing();
  ++FObservers.UpdateCount;
}

void TVemStringList::EndUpdate() {
  if (FObservers.UpdateCount <= 0)
    throw EVemInternalError(L"Internal Error: TVemStringList.EndUpdate without BeginUpdate");
  --FObservers.UpdateCount;
  if (FObservers.UpdateCount == 0) Changed();
}

// Runs `body` inside one update bracket, which is closed also when it raises.
template <class Body>
void TVemStringList::Updating(Body&& body) {
  BeginUpdate();
  try {
    body();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

// --- Items ------------------------------------------------------------------

void TVemStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) RaiseIndexError(index);
}

const std::wstring& TVemStringList::Strings(int index) const {
  CheckIndex(index);
  return FItems[static_cast<std::size_t>(index)].String;
}

void TVemStringList::SetStrings(int index, std::wstring value) {
  if (FSorted) RaiseSortedListError();
  CheckIndex(index);
  Changing();
  FItems[static_cast<std::size_t>(index)].String = std::move(value);
  Changed();
}

void* TVemStringList::Objects(int index) const {
  CheckIndex(index);
  return FItems[static_cast<std::size_t>(index)].Object;
}

void TVemStringList::SetObjects(int index, void* object) {
  CheckIndex(index);
  Changing();
  FItems[static_cast<std::size_t>(index)].Object = object;
  Changed();
}

void TVemStringList::InsertItem(int index, std::wstring value, void* object) {
  Changing();
  FItems.insert(FItems.begin() + index, TItem{std::move(value), object});
  Changed();
}

int TVemStringList::Add(std::wstring value) { return AddObject(std::move(value), nullptr); }

int TVemStringList::AddObject(std::wstring value, void* object) {
  int index = Count();
  if (FSorted && Find(value, index)) {
    switch (FDuplicates) {
      case TDuplicates::Ignore: return index;
      case TDuplicates::Error: RaiseDuplicateError();
      case TDuplicates::Accept: break;
    }
  }
  InsertItem(index, std::move(value), object);
  return index;
}

void TVemStringList::AddStrings(const TVemStringList& other) {
  if (&other == this) {
    const TVemStringList copy(other);
    AddStrings(copy);
    return;
  }
  Updating([&] {
    for (const TItem& item : other.FItems) AddObject(item.String, item.Object);
  });
}

void TVemStringList::Insert(int index, std::wstring value) { InsertObject(index, std::move(value), nullptr); }

void TVemStringList::InsertObject(int index, std::wstring value, void* object) {
  if (FSorted) RaiseSortedListError();
  if (index < 0 || index > Count()) RaiseIndexError(index);
  InsertItem(index, std::move(value), object);
}

void TVemStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  FItems.erase(FItems.begin() + index);
  Changed();
}

void TVemStringList::Clear() {
  if (FItems.empty()) return;
  Changing();
  FItems.clear();
  Changed();
}

int TVemStringList::CompareStrings(std::wstring_view a, std::wstring_view b) const noexcept {
  return CompareByCase(a, b, FCaseSensitive);
}

bool TVemStringList::Find(std::wstring_view value, int& index) const {
  // The lower bound, so that the index is the first of equal items.
  int low = 0, high = Count();
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (CompareStrings(FItems[static_cast<std::size_t>(middle)].String, value) < 0)
      low = middle + 1;
    else
      high = middle;
  }
  index = low;
  return low < Count() && CompareStrings(FItems[static_cast<std::size_t>(low)].String, value) == 0;
}

int TVemStringList::IndexOf(std::wstring_view value) const {
  if (FSorted) {
    int index = -1;
    return Find(value, index) ? index : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(FItems[static_cast<std::size_t>(i)].String, value) == 0) return i;
  return -1;
}

int TVemStringList::IndexOfObject(const void* object) const {
  for (int i = 0; i < Count(); ++i)
    if (FItems[static_cast<std::size_t>(i)].Object == object) return i;
  return -1;
}

void TVemStringList::SortItems() {
  if (Count() < 2) return;
  Changing();
  std::stable_sort(FItems.begin(), FItems.end(),
                   [this](const TItem& a, const TItem& b) { return CompareStrings(a.String, b.String) < 0; });
  Changed();
}

void TVemStringList::Sort() {
  if (!FSorted) SortItems();
}

void TVemStringList::SetSorted(bool sorted) {
  if (sorted == FSorted) return;
  if (sorted) SortItems();
  FSorted = sorted;
}

void TVemStringList::SetCaseSensitive(bool caseSensitive) {
  if (caseSensitive == FCaseSensitive) return;
  FCaseSensitive = caseSensitive;
  if (FSorted) SortItems();
}

// --- Names and values -------------------------------------------------------

std::wstring TVemStringList::Names(int index) const {
  const std::wstring& item = Strings(index);
  const auto separator = item.find(FNameValueSeparator);
  return separator == std::wstring::npos ? std::wstring() : item.substr(0, separator);
}

std::wstring TVemStringList::ValueFromIndex(int index) const {
  const std::wstring& item = Strings(index);
  const auto separator = item.find(FNameValueSeparator);
  return separator == std::wstring::npos ? std::wstring() : item.substr(separator + 1);
}

int TVemStringList::IndexOfName(std::wstring_view name) const {
  if (!FSorted) {
    for (int i = 0; i < Count(); ++i) {
      const std::wstring_view item = FItems[static_cast<std::size_t>(i)].String;
      const auto separator = item.find(FNameValueSeparator);
      if (separator != std::wstring_view::npos && CompareStrings(item.substr(0, separator), name) == 0) return i;
    }
    return -1;
  }
  // Sorted: the Find result itself is not used; the prefix of the item it
  // lands on decides.
  std::wstring key(name);
  key.push_back(FNameValueSeparator);
  int index = -1;
  Find(key, index);
  if (index < 0 || index >= Count()) return -1;
  const std::wstring_view item = FItems[static_cast<std::size_t>(index)].String;
  return CompareStrings(item.substr(0, key.size()), key) == 0 ? index : -1;
}

std::wstring TVemStringList::Values(std::wstring_view name) const {
  const int index = IndexOfName(name);
  if (index < 0) return std::wstring();
  const std::wstring& item = FItems[static_cast<std::size_t>(index)].String;
  return item.size() > name.size() ? item.substr(name.size() + 1) : std::wstring();
}

void TVemStringList::SetValues(std::wstring_view name, std::wstring_view value) {
  const int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
    return;
  }
  std::wstring item(name);
  item.push_back(FNameValueSeparator);
  item.append(value);
  if (index < 0) {
    Add(std::move(item));
  } else if (!FSorted) {
    SetStrings(index, std::move(item));
  } else {
    Updating([&] {
      Delete(index);
      Add(std::move(item));
    });
  }
}

// --- Text -------------------------------------------------------------------

std::wstring TVemStringList::Text() const {
  std::size_t length = 0;
  for (const TItem& item : FItems) length += item.String.size() + FLineBreak.size();
  std::wstring text;
  text.reserve(length);
  for (const TItem& item : FItems) {
    text += item.String;
    text += FLineBreak;
  }
  return text;
}

void TVemStringList::SetText(std::wstring_view text) {
  Updating([&] {
    Clear();
    const std::size_t n = text.size();
    std::size_t i = 0;
    if (FLineBreak == L"\r\n") {
      while (i < n) {
        const std::size_t start = i;
        while (i < n && text[i] != L'\r' && text[i] != L'\n') ++i;
        Add(std::wstring(text.substr(start, i - start)));
        if (i < n && text[i] == L'\r') ++i;
        if (i < n && text[i] == L'\n') ++i;
      }
    } else if (FLineBreak.empty()) {
      if (n > 0) Add(std::wstring(text));
    } else {
      while (i < n) {
        std::size_t end = text.find(FLineBreak, i);
        if (end == std::wstring_view::npos) end = n;
        Add(std::wstring(text.substr(i, end - i)));
        i = end == n ? n : end + FLineBreak.size();
      }
    }
  });
}

std::wstring TVemStringList::CommaText() const {
  if (Count() == 1 && FItems[0].String.empty()) return std::wstring(2, FQuoteChar);
  std::wstring text;
  bool first = true;
  for (const TItem& item : FItems) {
    if (!first) text.push_back(FDelimiter);
    first = false;
    const std::wstring& s = item.String;
    const bool quote = std::any_of(s.begin(), s.end(), [this](wchar_t c) {
      return c == FQuoteChar || c == FDelimiter || (!FStrictDelimiter && IsBlank(c));
    });
    if (!quote) {
      text += s;
      continue;
    }
    text.push_back(FQuoteChar);
    for (wchar_t c : s) {
      if (c == FQuoteChar) text.push_back(FQuoteChar);
      text.push_back(c);
    }
    text.push_back(FQuoteChar);
  }
  return text;
}

void TVemStringList::SetCommaText(std::wstring_view text) {
  Updating([&] {
    Clear();
    const std::size_t n = std::min(text.find(L'\0'), text.size());
    std::size_t i = 0;
    auto skipBlanks = [&] {
      if (!FStrictDelimiter)
        while (i < n && IsBlank(text[i])) ++i;
    };
    skipBlanks();
    while (i < n) {
      std::wstring item;
      if (text[i] == FQuoteChar) {
        // To the matching closing quote (or the end); a doubled quote is one.
        ++i;
        while (i < n) {
          if (text[i] == FQuoteChar) {
            if (i + 1 < n && text[i + 1] == FQuoteChar) {
              item.push_back(FQuoteChar);
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          item.push_back(text[i++]);
        }
      } else {
        const std::size_t start = i;
        while (i < n && text[i] != FDelimiter && (FStrictDelimiter || static_cast<std::uint32_t>(text[i]) > 32)) ++i;
        item.assign(text.substr(start, i - start));
      }
      Add(std::move(item));
      skipBlanks();
      if (i < n && text[i] == FDelimiter) {
        if (i + 1 == n) Add(std::wstring());
        ++i;
        skipBlanks();
      }
    }
  });
}

// --- Whole list -------------------------------------------------------------

void TVemStringList::Assign(const TVemStringList& other) {
  if (&other == this) return;
  Updating([&] {
    Clear();
    FEncoding = other.FEncoding;
    FNameValueSeparator = other.FNameValueSeparator;
    FQuoteChar = other.FQuoteChar;
    FDelimiter = other.FDelimiter;
    FLineBreak = other.FLineBreak;
    FStrictDelimiter = other.FStrictDelimiter;
    FItems = other.FItems;
    FCaseSensitive = other.FCaseSensitive;
    FDuplicates = other.FDuplicates;
    FSorted = other.FSorted;
  });
}

bool TVemStringList::Equals(const TVemStringList& other) const {
  if (Count() != other.Count()) return false;
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].String != other.FItems[i].String) return false;
  return true;
}

void TVemStringList::LoadFromFile(std::wstring_view fileName) {
  const Bytes bytes = Current<FileSystem>().ReadAllBytes(fileName);
  TextEncoding found = TextEncoding::None;
  const std::wstring text = DecodeText(bytes, &found);
  Updating([&] {
    FEncoding = found;
    SetText(text);
  });
}

void TVemStringList::SaveToFile(std::wstring_view fileName) const {
  const TextEncoding encoding = FEncoding == TextEncoding::None ? TextEncoding::Utf16LE : FEncoding;
  Current<FileSystem>().WriteAllBytes(fileName, EncodeText(Text(), encoding, /*withBom=*/true));
}

void TVemStringList::SaveToFile(std::wstring_view fileName, TextEncoding encoding) const {
  if (encoding == TextEncoding::None) {
    SaveToFile(fileName);
    return;
  }
  Current<FileSystem>().WriteAllBytes(fileName, EncodeText(Text(), encoding, /*withBom=*/true));
}

}  // namespace ostrevin
