// TextEncoding.cpp - explicit conversions between text and bytes.
//
// Portable: std::wstring holds UTF-16 code units where wchar_t has 16 bits
// (Windows) and code points where it has 32 (the native build). The only
// platform service used is the AnsiCodePage port.
#include "foundation/TextEncoding.h"

#include "platform/AnsiCodePage.h"
#include "platform/Ports.h"

namespace ostrevin {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

constexpr bool IsHighSurrogate(char32_t u) noexcept { return u >= 0xD800 && u <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t u) noexcept { return u >= 0xDC00 && u <= 0xDFFF; }
constexpr bool IsSurrogate(char32_t u) noexcept { return u >= 0xD800 && u <= 0xDFFF; }

constexpr char32_t CombineSurrogates(char32_t high, char32_t low) noexcept {
  return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// Appends one code point to the text: a surrogate pair beyond U+FFFF when
// wchar_t holds UTF-16.
void AppendCodePoint(std::wstring& text, char32_t cp) {
  if (kWideIsUtf16 && cp >= 0x10000) {
    cp -= 0x10000;
    text.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
    text.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    text.push_back(static_cast<wchar_t>(cp));
  }
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendUtf16Bytes(Bytes& out, std::u16string_view units, bool bigEndian) {
  out.reserve(out.size() + units.size() * 2);
  for (char16_t unit : units) {
    const auto lo = static_cast<std::uint8_t>(unit & 0xFF);
    const auto hi = static_cast<std::uint8_t>(unit >> 8);
    out.push_back(bigEndian ? hi : lo);
    out.push_back(bigEndian ? lo : hi);
  }
}

// The text of UTF-16 bytes from `start`; an odd last byte becomes U+FFFD.
std::wstring DecodeUtf16Bytes(const Bytes& bytes, std::size_t start, bool bigEndian) {
  std::u16string units;
  units.reserve((bytes.size() - start) / 2 + 1);
  std::size_t i = start;
  for (; i + 1 < bytes.size(); i += 2) {
    const unsigned first = bytes[i], second = bytes[i + 1];
    units.push_back(static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
  }
  if (i < bytes.size()) units.push_back(static_cast<char16_t>(kReplacement));
  return FromUtf16(units);
}

std::wstring DecodeUtf8Bytes(const Bytes& bytes, std::size_t start) {
  return Utf8ToWide(std::string_view(reinterpret_cast<const char*>(bytes.data()) + start, bytes.size() - start));
}

std::wstring DecodeAnsiBytes(const Bytes& bytes) {
  return Current<AnsiCodePage>().ToWide(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool StartsWith(const Bytes& bytes, std::initializer_list<std::uint8_t> mark) {
  if (bytes.size() < mark.size()) return false;
  std::size_t i = 0;
  for (std::uint8_t b : mark)
    if (bytes[i++] != b) return false;
  return true;
}

}  // namespace

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = static_cast<char32_t>(text[i]);
    if (kWideIsUtf16) cp &= 0xFFFF;
    if (kWideIsUtf16 && IsHighSurrogate(cp) && i + 1 < text.size() &&
        IsLowSurrogate(static_cast<char32_t>(text[i + 1]) & 0xFFFF)) {
      cp = CombineSurrogates(cp, static_cast<char32_t>(text[i + 1]) & 0xFFFF);
      ++i;
    } else if (IsSurrogate(cp) || cp > 0x10FFFF) {
      cp = kReplacement;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

// Malformed input is replaced per maximal subpart (the Unicode Standard's
// recommended practice): each lead byte with its valid continuation bytes
// gives one U+FFFD when the sequence is cut short; a stray byte gives one.
std::wstring Utf8ToWide(std::string_view utf8) {
  std::wstring text;
  text.reserve(utf8.size());
  const std::size_t n = utf8.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned b0 = static_cast<unsigned char>(utf8[i]);
    if (b0 < 0x80) {
      text.push_back(static_cast<wchar_t>(b0));
      ++i;
      continue;
    }
    std::size_t length = 0;
    char32_t cp = 0;
    unsigned lowest = 0x80, highest = 0xBF;  // range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
      length = 2;
      cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      length = 3;
      cp = b0 & 0x0F;
      if (b0 == 0xE0) lowest = 0xA0;   // no overlong forms
      if (b0 == 0xED) highest = 0x9F;  // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
      length = 4;
      cp = b0 & 0x07;
      if (b0 == 0xF0) lowest = 0x90;   // no overlong forms
      if (b0 == 0xF4) highest = 0x8F;  // nothing beyond U+10FFFF
    } else {
      text.push_back(static_cast<wchar_t>(kReplacement));
      ++i;
      continue;
    }
    std::size_t j = 1;
    for (; j < length && i + j < n; ++j) {
      const unsigned b = static_cast<unsigned char>(utf8[i + j]);
      if (b < (j == 1 ? lowest : 0x80) || b > (j == 1 ? highest : 0xBF)) break;
      cp = (cp << 6) | (b & 0x3F);
    }
    if (j == length) {
      AppendCodePoint(text, cp);
      i += length;
    } else {
      text.push_back(static_cast<wchar_t>(kReplacement));
      i += j;
    }
  }
  return text;
}

std::u16string ToUtf16(std::wstring_view text) {
  std::u16string units;
  units.reserve(text.size());
  for (wchar_t c : text) {
    if (kWideIsUtf16) {
      units.push_back(static_cast<char16_t>(c));
      continue;
    }
    char32_t cp = static_cast<char32_t>(c);
    if (cp > 0x10FFFF) cp = kReplacement;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      units.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(cp));  // a lone surrogate stays as it is
    }
  }
  return units;
}

std::wstring FromUtf16(std::u16string_view units) {
  std::wstring text;
  text.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char32_t unit = units[i];
    if (!kWideIsUtf16 && IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
      text.push_back(static_cast<wchar_t>(CombineSurrogates(unit, units[i + 1])));
      ++i;
    } else {
      text.push_back(static_cast<wchar_t>(unit));  // a lone surrogate stays as it is
    }
  }
  return text;
}

Bytes EncodeText(std::wstring_view text, TextEncoding encoding, bool withBom) {
  Bytes bytes;
  switch (encoding) {
    case TextEncoding::Ansi: {
      const std::string ansi = Current<AnsiCodePage>().FromWide(text);
      bytes.assign(ansi.begin(), ansi.end());
      break;
    }
    case TextEncoding::Utf8: {
      if (withBom) bytes = {0xEF, 0xBB, 0xBF};
      const std::string utf8 = WideToUtf8(text);
      bytes.insert(bytes.end(), utf8.begin(), utf8.end());
      break;
    }
    case TextEncoding::Utf16BE:
      if (withBom) bytes = {0xFE, 0xFF};
      AppendUtf16Bytes(bytes, ToUtf16(text), /*bigEndian=*/true);
      break;
    case TextEncoding::None:
    case TextEncoding::Utf16LE:
      if (withBom) bytes = {0xFF, 0xFE};
      AppendUtf16Bytes(bytes, ToUtf16(text), /*bigEndian=*/false);
      break;
  }
  return bytes;
}

std::wstring DecodeText(const Bytes& bytes, TextEncoding* found) {
  TextEncoding encoding = TextEncoding::Ansi;
  std::size_t markLength = 0;
  if (StartsWith(bytes, {0xEF, 0xBB, 0xBF})) {
    encoding = TextEncoding::Utf8;
    markLength = 3;
  } else if (StartsWith(bytes, {0xFF, 0xFE})) {
    encoding = TextEncoding::Utf16LE;
    markLength = 2;
  } else if (StartsWith(bytes, {0xFE, 0xFF})) {
    encoding = TextEncoding::Utf16BE;
    markLength = 2;
  }
  std::wstring text;
  switch (encoding) {
    case TextEncoding::Utf8: text = DecodeUtf8Bytes(bytes, markLength); break;
    case TextEncoding::Utf16LE: text = DecodeUtf16Bytes(bytes, markLength, false); break;
    case TextEncoding::Utf16BE: text = DecodeUtf16Bytes(bytes, markLength, true); break;
    default: text = DecodeAnsiBytes(bytes); break;
  }
  if (found != nullptr) *found = encoding;
  return text;
}

std::wstring DecodeTextAs(const Bytes& bytes, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Ansi: return DecodeAnsiBytes(bytes);
    case TextEncoding::Utf8: return DecodeUtf8Bytes(bytes, 0);
    case TextEncoding::Utf16BE: return DecodeUtf16Bytes(bytes, 0, true);
    case TextEncoding::None:
    case TextEncoding::Utf16LE: break;
  }
  return DecodeUtf16Bytes(bytes, 0, false);
}

}  // namespace ostrevin
