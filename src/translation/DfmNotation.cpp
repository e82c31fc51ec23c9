// DfmNotation.cpp - string values in form-resource notation.
//
// Portable: the notation is read and written on UTF-16 code units, which
// the text is converted to and from at the two ends.
#include "translation/DfmNotation.h"

#include <cstddef>
#include <cstdint>

#include "foundation/Format.h"
#include "foundation/TextEncoding.h"

namespace ostrevin {

namespace {

constexpr std::size_t kLineLength = 64;

bool IsBlank(char16_t c) { return c <= u' '; }
bool IsPrintable(char16_t c) { return c >= u' ' && c <= 127 && c != u'\''; }

int DigitValue(char16_t c, bool hex) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (hex && c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (hex && c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

class TDfmReader {
 public:
  explicit TDfmReader(std::wstring_view notation) : FText(ToUtf16(notation)) {}

  bool AtEnd() const { return FPos >= FText.size(); }
  char16_t Peek() const { return AtEnd() ? u'\0' : FText[FPos]; }
  bool AtString() const { return Peek() == u'\'' || Peek() == u'#'; }
  void Skip() { ++FPos; }

  void SkipBlanks() {
    while (!AtEnd() && IsBlank(FText[FPos])) {
      if (FText[FPos] == u'\n') ++FLine;
      ++FPos;
    }
  }

  // A string token, then "+" and a further token as often as they come.
  std::u16string ReadStringValue() {
    SkipBlanks();
    if (!AtString()) Fail(L"String expected");
    std::u16string value = ReadStringToken();
    for (;;) {
      SkipBlanks();
      if (Peek() != u'+') return value;
      Skip();
      SkipBlanks();
      if (!AtString()) Fail(L"String expected");
      value += ReadStringToken();
    }
  }

  [[noreturn]] void Fail(const wchar_t* what) const { throw EParserError(Format(L"%s on line %d", {what, FLine})); }

 private:
  // Quoted parts and character codes with nothing between them.
  std::u16string ReadStringToken() {
    std::u16string token;
    for (;;) {
      if (Peek() == u'\'') {
        Skip();
        for (;;) {
          if (AtEnd() || FText[FPos] == u'\r' || FText[FPos] == u'\n') Fail(L"Unterminated string");
          const char16_t c = FText[FPos++];
          if (c != u'\'') {
            token.push_back(c);
          } else if (Peek() == u'\'') {
            token.push_back(u'\'');
            Skip();
          } else {
            break;
          }
        }
      } else if (Peek() == u'#') {
        Skip();
        const bool hex = Peek() == u'$';
        if (hex) Skip();
        std::uint32_t code = 0;
        int digits = 0;
        for (int d; !AtEnd() && (d = DigitValue(FText[FPos], hex)) >= 0; ++FPos, ++digits) {
          code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
          if (code > 0xFFFF) Fail(L"Invalid string constant");
        }
        if (digits == 0) Fail(L"Invalid string constant");
        token.push_back(static_cast<char16_t>(code));
      } else {
        return token;
      }
    }
  }

  std::u16string FText;
  std::size_t FPos = 0;
  int FLine = 1;
};

std::wstring WriteString(std::wstring_view text, std::wstring_view indent, bool breakLongText) {
  const std::u16string units = ToUtf16(text);
  const std::size_t length = units.size();
  if (length == 0) return L"''";
  std::wstring out;
  const auto newLine = [&] {
    out += L"\r\n";
    out += indent;
  };
  if (breakLongText && length > kLineLength) newLine();
  std::size_t i = 0;
  std::size_t lineStart = 0;
  while (i < length) {
    if (IsPrintable(units[i])) {
      out += L'\'';
      do {
        out += static_cast<wchar_t>(units[i]);
        ++i;
      } while (i < length && IsPrintable(units[i]) && i - lineStart < kLineLength);
      out += L'\'';
    } else {
      out += L'#';
      out += std::to_wstring(static_cast<unsigned>(units[i]));
      ++i;
    }
    if (i - lineStart >= kLineLength && i < length) {
      out += L" +";
      newLine();
      lineStart = i;
    }
  }
  return out;
}

}  // namespace

std::wstring DfmStringToText(std::wstring_view notation) {
  TDfmReader reader(notation);
  const std::u16string value = reader.ReadStringValue();
  reader.SkipBlanks();
  if (!reader.AtEnd()) reader.Fail(L"Unexpected text");
  return FromUtf16(value);
}

std::wstring TextToDfmString(std::wstring_view text, std::wstring_view indent) {
  return WriteString(text, indent, /*breakLongText=*/true);
}

std::vector<std::wstring> ReadDfmStringListValue(std::wstring_view notation) {
  TDfmReader reader(notation);
  reader.SkipBlanks();
  if (reader.Peek() != u'(') reader.Fail(L"'(' expected");
  reader.Skip();
  std::vector<std::wstring> items;
  for (;;) {
    reader.SkipBlanks();
    if (reader.Peek() == u')') break;
    if (reader.AtEnd()) reader.Fail(L"')' expected");
    if (!reader.AtString()) reader.Fail(L"String expected");
    items.push_back(FromUtf16(reader.ReadStringValue()));
  }
  reader.Skip();
  reader.SkipBlanks();
  if (!reader.AtEnd()) reader.Fail(L"Unexpected text");
  return items;
}

std::wstring WriteDfmStringListValue(const std::vector<std::wstring>& items, std::wstring_view indent) {
  std::wstring out = L"(";
  for (const std::wstring& item : items) {
    out += L"\r\n";
    out += indent;
    // The item starts on a line of its own already.
    out += WriteString(item, indent, /*breakLongText=*/false);
  }
  out += L")";
  return out;
}

}  // namespace ostrevin
