// FormatStrParser.cpp - the "%" specifiers of a translatable message text.
#include "translation/FormatStrParser.h"

#include <algorithm>
#include <cstddef>

#include "foundation/Checks.h"
#include "foundation/Format.h"

namespace ostrevin {

namespace {

constexpr int kMaxDigits = 6;

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool IsTypeChar(wchar_t c) {
  switch (c) {
    case L'd': case L'u': case L'x': case L'e': case L'f': case L'g': case L'm': case L'n': case L'p': case L's':
    case L'D': case L'U': case L'X': case L'E': case L'F': case L'G': case L'M': case L'N': case L'P': case L'S':
      return true;
    default:
      return false;
  }
}

// Reads the text for one call of ParseFormatSpecifier or ParseAll.
class TCursor {
 public:
  explicit TCursor(TFormatStrParser& parser) : FParser(parser) {}

  bool AtEnd() const { return Position() >= FParser.FormatString.size(); }
  // The current character, or NUL at the end.
  wchar_t Cur() const { return CharAt(Position()); }
  wchar_t CharAt(std::size_t position) const {
    return position < FParser.FormatString.size() ? FParser.FormatString[position] : L'\0';
  }
  // 0-based position of the current character.
  std::size_t Position() const { return static_cast<std::size_t>(FParser.PFormatString_Index - 1); }

  void Take() {
    FParser.ParsedString += Cur();
    ++FParser.PFormatString_Index;
  }
  void TakeDigits() {
    int digits = 0;
    while (IsDigit(Cur())) {
      if (++digits > kMaxDigits) Invalid();
      Take();
    }
  }
  [[noreturn]] void Invalid() const {
    throw EFormatSpecError(Format(L"Invalid Format Specifier: %s", {FParser.FormatString}));
  }

 private:
  TFormatStrParser& FParser;
};

// The index a parsed specifier carries ("%12:d" gives 12), or previous + 1.
int IndexOfSpecifier(std::wstring_view specifier, int previous) {
  std::size_t i = 1;
  int index = 0;
  while (i < specifier.size() && IsDigit(specifier[i])) index = index * 10 + (specifier[i++] - L'0');
  return i > 1 && i < specifier.size() && specifier[i] == L':' ? index : previous + 1;
}

}  // namespace

bool TFormatStrParser::ParseFormatSpecifier() {
  TCursor text(*this);
  Assert(text.Cur() == L'%');
  text.Take();
  if (text.AtEnd()) return false;
  if (text.Cur() == L' ' || text.Cur() == L'%') {
    text.Take();
    return false;
  }

  // The argument index: explicit when 1 to 6 digits and ":" follow.
  std::size_t digits = 0;
  while (IsDigit(text.CharAt(text.Position() + digits))) ++digits;
  if (digits >= 1 && digits <= kMaxDigits && text.CharAt(text.Position() + digits) == L':') {
    ++ExplicitCount;
    const int index = std::stoi(FormatString.substr(text.Position(), digits));
    LastIndex = std::max(LastIndex, static_cast<std::int32_t>(index));
  } else {
    ++ImplicitCount;
    ++LastIndex;
    ParsedString += std::to_wstring(LastIndex) + L":";
  }
  if (text.Cur() == L'*') {
    text.Take();
    if (text.Cur() == L':') text.Invalid();
  } else {
    text.TakeDigits();
    if (text.Cur() == L':') text.Take();
  }

  if (text.Cur() == L'-') text.Take();

  // Width.
  if (text.Cur() == L'*') {
    text.Take();
    ++ImplicitCount;
    ++LastIndex;
  } else {
    text.TakeDigits();
  }

  // Precision.
  if (text.Cur() == L'.') {
    text.Take();
    if (text.Cur() == L'*')
      text.Take();
    else
      text.TakeDigits();
  }

  if (!IsTypeChar(text.Cur())) text.Invalid();
  text.Take();
  return true;
}

std::vector<std::wstring> TFormatStrParser::ParseAll() {
  TCursor text(*this);
  std::vector<std::wstring> specifiers;
  while (!text.AtEnd()) {
    if (text.Cur() != L'%') {
      text.Take();
      continue;
    }
    const std::size_t start = ParsedString.size();
    if (ParseFormatSpecifier()) specifiers.push_back(ParsedString.substr(start));
  }
  return specifiers;
}

std::wstring CanonicalFormatString(std::wstring_view text) {
  TFormatStrParser parser{std::wstring(text)};
  parser.ParseAll();
  const bool unchanged = (parser.ExplicitCount == 0 && parser.ImplicitCount == 1) ||
                         (parser.ExplicitCount > 0 && parser.ImplicitCount == 0);
  return unchanged ? std::wstring(text) : parser.ParsedString;
}

TFormatTypeClass FormatTypeClassOf(std::wstring_view specifier) {
  switch (specifier.empty() ? L'\0' : specifier.back()) {
    case L'd': case L'D': case L'u': case L'U': case L'x': case L'X':
      return TFormatTypeClass::Integer;
    case L'e': case L'E': case L'f': case L'F': case L'g': case L'G': case L'm': case L'M': case L'n': case L'N':
      return TFormatTypeClass::FloatingPoint;
    case L'p': case L'P':
      return TFormatTypeClass::Pointer;
    case L's': case L'S':
      return TFormatTypeClass::String;
    default:
      break;
  }
  throw EVemInternalError(Format(L"Internal Error: Unexpected format type (%s)", {specifier}));
}

TFormatTypeClass TFormatSpecifierTable::TypeClassAt(int index) const {
  const auto it = Slots.find(index);
  return it == Slots.end() ? TFormatTypeClass::Integer : it->second.TypeClass;
}

std::wstring TFormatSpecifierTable::SpecifierAt(int index) const {
  const auto it = Slots.find(index);
  return it == Slots.end() ? std::wstring() : it->second.Specifier;
}

TFormatSpecifierTable BuildFormatSpecifierTable(std::wstring_view text) {
  TFormatStrParser parser{std::wstring(text)};
  TFormatSpecifierTable table;
  int previous = -1;
  for (const std::wstring& specifier : parser.ParseAll()) {
    const int index = IndexOfSpecifier(specifier, previous);
    previous = index;
    const TFormatTypeClass typeClass = FormatTypeClassOf(specifier);
    const auto [slot, added] = table.Slots.try_emplace(index, TFormatSpecifierSlot{specifier, typeClass});
    if (!added && slot->second.TypeClass != typeClass)
      throw EFormatSpecError(Format(L"Argument types for index %d do not match. (%s <> %s)",
                                    {index, slot->second.Specifier, specifier}));
    table.Size = std::max(table.Size, index + 1);
  }
  return table;
}

}  // namespace ostrevin
