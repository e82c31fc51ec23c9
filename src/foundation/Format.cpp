// Format.cpp - the "%" formats of the system's messages.
//
// A single left-to-right pass over the format: literal text is copied, each
// specifier is parsed, its argument converted and padded. Numbers are written
// with invariant rules ("." decimal point, "," thousands separator, "$"), so
// the result does not depend on the C locale.
#include "foundation/Format.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "foundation/VemSysUtils.h"

namespace ostrevin {

namespace {

// Widths and precisions count UTF-16 code units, so both builds pad alike.
constexpr bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Whether `c` lies beyond U+FFFF; only possible where wchar_t is 32-bit.
constexpr bool IsSupplementary(wchar_t c) { return (static_cast<std::uint32_t>(c) >> 16) != 0; }

std::size_t Utf16Length(std::wstring_view text) {
  std::size_t n = text.size();
  for (wchar_t c : text)
    if (IsSupplementary(c)) ++n;
  return n;
}

// The longest start of `text` of at most `maxUnits` UTF-16 code units that
// does not cut a character in two.
std::wstring_view Utf16Prefix(std::wstring_view text, std::size_t maxUnits) {
  std::size_t units = 0, i = 0;
  while (i < text.size()) {
    // One character: a code unit, a surrogate pair, or one 32-bit character
    // that UTF-16 would write as a pair.
    std::size_t step = 1, width = IsSupplementary(text[i]) ? 2 : 1;
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) step = width = 2;
    if (units + width > maxUnits) break;
    units += width;
    i += step;
  }
  return text.substr(0, i);
}

std::wstring Widen(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::wstring UnsignedDigits(std::uint64_t value, bool hex) {
  wchar_t buffer[24];
  wchar_t* end = buffer + 24;
  wchar_t* p = end;
  const unsigned base = hex ? 16 : 10;
  do {
    *--p = L"0123456789ABCDEF"[value % base];
    value /= base;
  } while (value != 0);
  return std::wstring(p, end);
}

// The bit pattern that u and x print: a negative value that fits in 32 bits
// prints as its 32-bit two's complement, any other one as 64 bits.
std::uint64_t UnsignedBits(const FormatArg::Value& v) {
  if (const auto* u = std::get_if<std::uint64_t>(&v)) return *u;
  const std::int64_t s = std::get<std::int64_t>(v);
  if (s < 0 && s >= INT32_MIN) return static_cast<std::uint32_t>(static_cast<std::int32_t>(s));
  return static_cast<std::uint64_t>(s);
}

// "-" and the digits of a d conversion: an unsigned value above INT64_MAX
// prints as the signed value of its bits.
std::wstring SignedDecimal(const FormatArg::Value& v, std::wstring& sign) {
  std::int64_t s;
  if (const auto* u = std::get_if<std::uint64_t>(&v)) {
    if (*u <= static_cast<std::uint64_t>(INT64_MAX)) return UnsignedDigits(*u, false);
    s = static_cast<std::int64_t>(*u);
  } else {
    s = std::get<std::int64_t>(v);
  }
  if (s >= 0) return UnsignedDigits(static_cast<std::uint64_t>(s), false);
  sign = L"-";
  return UnsignedDigits(0 - static_cast<std::uint64_t>(s), false);
}

// std::to_chars in the given form; `precision` as printf's.
std::string FloatChars(double value, std::chars_format form, int precision) {
  // 1e308 in fixed form with 18 decimals needs about 330 characters.
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, form, precision);
  return std::string(buffer, result.ptr);
}

// Splits "d.ddde+XX" into its mantissa and its exponent.
int SplitExponent(const std::string& scientific, std::string& mantissa) {
  const std::size_t e = scientific.find('e');
  mantissa = scientific.substr(0, e);
  return std::stoi(scientific.substr(e + 1));
}

void StripTrailingZeros(std::string& number) {
  if (number.find('.') == std::string::npos) return;
  while (number.back() == '0') number.pop_back();
  if (number.back() == '.') number.pop_back();
}

// Inserts "," between the groups of three digits of the integer part.
std::string GroupThousands(const std::string& number) {
  const std::size_t start = number[0] == '-' ? 1 : 0;
  std::size_t end = number.find('.');
  if (end == std::string::npos) end = number.size();
  std::string result = number.substr(0, start);
  for (std::size_t i = start; i < end; ++i) {
    if (i > start && (end - i) % 3 == 0) result += ',';
    result += number[i];
  }
  return result + number.substr(end);
}

std::wstring FormatFloat(double value, wchar_t type, int precision) {
  if (std::isnan(value)) return L"NAN";
  if (std::isinf(value)) return value < 0 ? L"-INF" : L"INF";
  if (value == 0) value = 0;  // no "-0"
  switch (type) {
    case L'E': {
      const int digits = precision < 0 ? 15 : std::clamp(precision, 1, 18);
      std::string mantissa;
      const int exponent = SplitExponent(FloatChars(value, std::chars_format::scientific, digits - 1), mantissa);
      std::string e = std::to_string(exponent < 0 ? -exponent : exponent);
      if (e.size() < 3) e.insert(0, 3 - e.size(), '0');
      return Widen(mantissa + (exponent < 0 ? "E-" : "E+") + e);
    }
    case L'G': {
      const int digits = precision < 0 ? 15 : std::clamp(precision, 1, 18);
      if (value == 0) return L"0";
      std::string mantissa;
      const int exponent = SplitExponent(FloatChars(value, std::chars_format::scientific, digits - 1), mantissa);
      if (exponent < digits && std::fabs(value) >= 0.00001) {
        std::string fixed = FloatChars(value, std::chars_format::fixed, std::max(digits - 1 - exponent, 0));
        StripTrailingZeros(fixed);
        return Widen(fixed);
      }
      StripTrailingZeros(mantissa);
      return Widen(mantissa + "E" + std::to_string(exponent));
    }
    default: {  // F, N, M
      const std::string fixed = FloatChars(value, std::chars_format::fixed, precision < 0 ? 2 : std::min(precision, 18));
      if (type == L'F') return Widen(fixed);
      const std::string grouped = GroupThousands(fixed);
      if (type == L'N') return Widen(grouped);
      return grouped[0] == '-' ? Widen("-$" + grouped.substr(1)) : Widen("$" + grouped);
    }
  }
}

class TFormatter {
 public:
  TFormatter(std::wstring_view format, std::initializer_list<FormatArg> args)
      : FFormat(format), FArgs(args.begin()), FArgCount(args.size()) {}

  std::wstring Run() {
    while (FPos < FFormat.size()) {
      const std::size_t percent = FFormat.find(L'%', FPos);
      FResult.append(FFormat.substr(FPos, percent - FPos));
      if (percent == std::wstring_view::npos) break;
      FPos = percent + 1;
      if (FPos < FFormat.size() && FFormat[FPos] == L'%') {
        FResult += L'%';
        ++FPos;
      } else {
        Specifier();
      }
    }
    return std::move(FResult);
  }

 private:
  // A number or "*" in a specifier, not yet resolved.
  struct TNumber {
    bool Present = false;
    bool Star = false;
    int Value = 0;
  };

  [[noreturn]] void Invalid() const {
    throw EConvertError(L"Format '" + std::wstring(FFormat) + L"' invalid or incompatible with argument");
  }

  wchar_t Peek() const { return FPos < FFormat.size() ? FFormat[FPos] : L'\0'; }

  TNumber ParseNumber() {
    TNumber n;
    if (Peek() == L'*') {
      n.Present = n.Star = true;
      ++FPos;
      return n;
    }
    while (Peek() >= L'0' && Peek() <= L'9') {
      const int digit = Peek() - L'0';
      if (n.Value > (INT_MAX - digit) / 10) Invalid();
      n.Value = n.Value * 10 + digit;
      n.Present = true;
      ++FPos;
    }
    return n;
  }

  const FormatArg::Value& NextArg() {
    if (FNextArg >= FArgCount) Invalid();
    return FArgs[FNextArg++].Get();
  }

  // A width or precision; "*" takes the next argument, which must be an
  // integer. A negative value counts as not given (-1).
  int Resolve(const TNumber& n) {
    if (!n.Present) return -1;
    if (!n.Star) return n.Value;
    const FormatArg::Value& v = NextArg();
    if (const auto* s = std::get_if<std::int64_t>(&v)) {
      if (*s > INT_MAX) Invalid();
      return *s < 0 ? -1 : static_cast<int>(*s);
    }
    if (const auto* u = std::get_if<std::uint64_t>(&v)) {
      if (*u > static_cast<std::uint64_t>(INT_MAX)) Invalid();
      return static_cast<int>(*u);
    }
    Invalid();
  }

  void Specifier() {
    TNumber first = ParseNumber();
    if (Peek() == L':') {
      if (!first.Present || first.Star) Invalid();
      FNextArg = static_cast<std::size_t>(first.Value);
      ++FPos;
      first = TNumber{};
    }
    bool leftAlign = false;
    if (!first.Present && Peek() == L'-') {
      leftAlign = true;
      ++FPos;
    }
    const int width = Resolve(first.Present ? first : ParseNumber());
    int precision = -1;
    if (Peek() == L'.') {
      ++FPos;
      const TNumber p = ParseNumber();
      if (!p.Present) Invalid();
      precision = Resolve(p);
    }
    if (FPos >= FFormat.size()) Invalid();
    const wchar_t c = FFormat[FPos++];
    const wchar_t type = (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
    const std::wstring text = Convert(type, precision);
    const std::size_t length = Utf16Length(text);
    const std::size_t pad = width > 0 && static_cast<std::size_t>(width) > length ? width - length : 0;
    if (!leftAlign) FResult.append(pad, L' ');
    FResult += text;
    if (leftAlign) FResult.append(pad, L' ');
  }

  std::wstring Convert(wchar_t type, int precision) {
    switch (type) {
      case L'D':
      case L'U':
      case L'X': {
        const FormatArg::Value& v = NextArg();
        if (!std::holds_alternative<std::int64_t>(v) && !std::holds_alternative<std::uint64_t>(v)) Invalid();
        std::wstring sign;
        std::wstring digits =
            type == L'D' ? SignedDecimal(v, sign) : UnsignedDigits(UnsignedBits(v), type == L'X');
        if (precision > 0 && digits.size() < static_cast<std::size_t>(precision))
          digits.insert(0, precision - digits.size(), L'0');
        return sign + digits;
      }
      case L'S': {
        const auto* s = std::get_if<std::wstring_view>(&NextArg());
        if (!s) Invalid();
        return std::wstring(precision >= 0 ? Utf16Prefix(*s, precision) : *s);
      }
      case L'P': {
        const auto* p = std::get_if<const void*>(&NextArg());
        if (!p) Invalid();
        std::wstring digits = UnsignedDigits(reinterpret_cast<std::uintptr_t>(*p), true);
        return std::wstring(16 - digits.size(), L'0') + digits;
      }
      case L'E':
      case L'F':
      case L'G':
      case L'N':
      case L'M': {
        const auto* d = std::get_if<double>(&NextArg());
        if (!d) Invalid();
        return FormatFloat(*d, type, precision);
      }
      default:
        Invalid();
    }
  }

  std::wstring_view FFormat;
  const FormatArg* FArgs;
  std::size_t FArgCount;
  std::size_t FPos = 0;
  std::size_t FNextArg = 0;
  std::wstring FResult;
};

}  // namespace

std::wstring Format(std::wstring_view format, std::initializer_list<FormatArg> args) {
  return TFormatter(format, args).Run();
}

}  // namespace ostrevin
