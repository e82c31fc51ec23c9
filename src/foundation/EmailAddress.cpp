// EmailAddress.cpp - turning what a user types into an address field into entries.
//
// Positions below are 0-based; npos stands for "not found".
#include "foundation/EmailAddress.h"

#include "foundation/TextCompare.h"
#include "foundation/TextUtils.h"
#include "foundation/VemClasses.h"

namespace ostrevin {

namespace {

constexpr auto npos = std::wstring_view::npos;

bool Contains(std::wstring_view s, wchar_t c) { return s.find(c) != npos; }

std::size_t Count(std::wstring_view s, wchar_t c) {
  std::size_t n = 0;
  for (wchar_t x : s)
    if (x == c) ++n;
  return n;
}

// Starts with C and ends with C (a lone C counts).
bool IsEnclosedIn(std::wstring_view s, wchar_t c) { return !s.empty() && s.front() == c && s.back() == c; }

// The text between the opening double quote of `s` and the next lone one,
// a doubled quote inside standing for one. Without a closing quote, all the
// rest.
std::wstring ExtractQuotedString(std::wstring_view s) {
  std::wstring result;
  for (std::size_t i = 1; i < s.size(); ++i) {
    if (s[i] == L'"') {
      if (i + 1 < s.size() && s[i + 1] == L'"') {
        result += L'"';
        ++i;
      } else {
        break;
      }
    } else {
      result += s[i];
    }
  }
  return result;
}

std::wstring Unquote(std::wstring_view p) {
  if (p == L"\"\"\"") return L"\"";
  if (IsEnclosedIn(p, L'"')) {
    std::wstring quoted = ExtractQuotedString(p);
    if (quoted.empty() && p != L"\"\"") return Trim(p);
    return Trim(quoted);
  }
  if (!p.empty() && p.front() == L'"') return Trim(p.substr(1));
  if (!p.empty() && p.back() == L'"') return Trim(p.substr(0, p.size() - 1));
  return std::wstring(p);
}

std::wstring Without(std::wstring_view s, wchar_t a, wchar_t b) {
  std::wstring result;
  for (wchar_t c : s)
    if (c != a && c != b) result += c;
  return result;
}

// "Comes after": a position that is not found counts as -1, before all.
bool After(std::size_t p, std::size_t q) {
  return p != npos && (q == npos || p > q);
}

// The position of the separator ("," or ";") that ends the first entry of
// `t`, or npos when `t` holds a single entry. A separator inside double
// quotes, or one that follows a display name without an address yet
// ("Doe, Jane <jane@x.org>"), does not end it.
std::size_t FindEndOfFirstAddress(std::wstring_view t) {
  bool inQuotes = false;
  for (std::size_t p = 0; p < t.size(); ++p) {
    const wchar_t c = t[p];
    if (c == L'"') {
      inQuotes = !inQuotes;
      continue;
    }
    if (inQuotes || (c != L',' && c != L';')) continue;
    const std::wstring part = Trim(t.substr(0, p));
    if (part.empty()) return p;
    const std::size_t lastQuote = part.rfind(L'"');
    if (part.back() == L'>' && After(part.rfind(L'<'), lastQuote)) return p;
    if (After(part.rfind(L'@'), lastQuote)) return p;
  }
  return npos;
}

}  // namespace

void SplitEmailAddress(std::wstring_view text, std::wstring_view defaultName, std::wstring& address,
                       std::wstring& name) {
  address.clear();
  name.clear();
  std::wstring t = Trim(text);
  if (Count(t, L'\'') == 2 && IsEnclosedIn(t, L'\'')) t = t.substr(1, t.size() - 2);

  if (!t.empty() && t.back() == L'>') {
    const std::size_t lt = t.rfind(L'<');
    const std::size_t start = lt == npos ? 0 : lt + 1;
    if (lt != npos) name = Trim(std::wstring_view(t).substr(0, lt));
    // The closing ">" goes before trimming, so "<a@x.org >" reads as a@x.org.
    address = Trim(std::wstring_view(t).substr(start, t.size() - 1 - start));
  } else {
    address = t;
  }

  if (name.empty()) {
    const std::size_t space = address.rfind(L' ');
    if (space != npos && Contains(std::wstring_view(address).substr(space), L'@')) {
      name = Trim(std::wstring_view(address).substr(0, space));
      address = Trim(std::wstring_view(address).substr(space + 1));
    }
  }

  address = Unquote(address);
  name = Unquote(name);

  if (name.empty() && !Contains(address, L'@')) {
    name = std::move(address);
    address.clear();
  } else if (address.empty()) {
    const std::size_t at = name.find(L'@');
    if (at != npos && at > 0 && !Contains(name, L' ')) {
      address = std::move(name);
      name.clear();
    }
  }

  address = Without(RemoveWhiteSpace(address), L'<', L'>');
  if (name.empty() && !address.empty()) name = defaultName;

  for (wchar_t& c : name) {
    if (c == L'"') c = L'\'';
    else if (c == L'<') c = L'{';
    else if (c == L'>') c = L'}';
  }
}

std::wstring FormatEmailAddress(std::wstring_view entry, std::wstring_view defaultName, bool withName,
                                bool keepNameOnly) {
  std::wstring address, name;
  SplitEmailAddress(entry, defaultName, address, name);
  if (!withName || name.empty()) return address;
  if (address.empty() && !keepNameOnly) return {};
  for (const wchar_t* separator : {L"\r\n", L"\r", L"\n", L", ", L",", L"; ", L";"})
    name = StringReplaceAll(name, separator, L" ");
  return L"\"" + name + L"\" <" + address + L">";
}

void ParseEmailAddressList(TVemStringList& list, std::wstring_view text, std::wstring_view defaultName,
                           bool keepNameOnly, bool withName) {
  std::wstring t = Trim(text);
  const std::size_t opening = Count(t, L'<');
  if (opening > 0 && opening == Count(t, L'>')) {
    t = StringReplaceAll(t, L">", L">,");
    if (!t.empty() && t.back() == L',') t.pop_back();
  } else if (Count(t, L'@') > 1) {
    // Bare addresses: spaces and line breaks between them separate them.
    for (wchar_t& c : t)
      if (c == L' ' || c == L'\t' || c == L'\r' || c == L'\n') c = L',';
  }

  list.Clear();
  for (;;) {
    const std::size_t p = FindEndOfFirstAddress(t);
    const std::wstring_view first = p == npos ? std::wstring_view(t) : std::wstring_view(t).substr(0, p);
    std::wstring entry = FormatEmailAddress(first, defaultName, withName, keepNameOnly);
    if (!entry.empty()) {
      bool known = false;
      for (int i = 0; i < list.Count() && !known; ++i) known = SameText(list.Strings(i), entry);
      if (!known) list.Add(std::move(entry));
    }
    if (p == npos) break;
    t.erase(0, p + 1);
  }
}

}  // namespace ostrevin
