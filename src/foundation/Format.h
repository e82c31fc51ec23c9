// Format.h - the "%" formats of the system's messages.
//
//   Format(L"Could not create %s", {folder});
//   Format(L"Log_%.4d%.2d%.2d_", {year, month, day});
//   Format(L"OLE Exception Code: 0x%0:.8x (%0:d)", {code});
//
// A specifier is "%" [index ":"] ["-"] [width] ["." precision] type, where
// width and precision may be "*" (taken from the next argument, which must
// be an integer; a negative one counts as not given) and "%%" is a percent
// sign. Type letters may be upper or lower case. Types:
//   d  signed decimal; precision = minimum number of digits, zero padded
//      after the sign: %.3d of -5 gives -005
//   u  unsigned decimal, as d
//   x  upper-case hexadecimal, as d
//   s  string; precision = maximum number of characters
//   p  pointer, as 16 upper-case hexadecimal digits (precision ignored)
//   e  scientific, precision = significant digits (default 15), exponent of
//      at least three digits: %.3e of 1234.5 gives 1.23E+003
//   f  fixed, precision = decimals (default 2)
//   g  general: the shorter of fixed and scientific with precision
//      significant digits (default 15), trailing zeros removed; scientific
//      when the magnitude is below 0.00001 or has more integer digits than the
//      precision, with a plain exponent (1E20, 1.5E-7)
//   n  as f with "," between thousands: 1,234.50
//   m  money: as n behind "$", the minus sign in front: -$1,234.50
// Floating point uses "." whatever the locale; precision is at most 18; a
// value that lies exactly half-way rounds to even (%.1f of 0.25 gives 0.2);
// NaN and infinities print as NAN, INF and -INF.
// A negative integer that fits in 32 bits prints with u and x as its 32-bit
// two's complement (%x of -1 gives FFFFFFFF), a smaller one as 64 bits; an
// unsigned value prints with d as its value, or, above INT64_MAX, as the
// signed value of the same bits.
// Width pads on the left with spaces, or on the right after "-"; widths and
// precisions count UTF-16 code units, and a precision never splits a
// surrogate pair. There is no zero flag: %08x pads with spaces.
// An index selects the argument; following specifiers without an index take
// the arguments after it. A malformed specifier, an unknown type, a
// specifier that does not match its argument (d with a string, f with an
// integer) or a missing argument raises EConvertError
// "Format '%s' invalid or incompatible with argument", filled with the
// whole format string.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace ostrevin {

class FormatArg {
 public:
  FormatArg(int v) : FValue(static_cast<std::int64_t>(v)) {}
  FormatArg(long v) : FValue(static_cast<std::int64_t>(v)) {}
  FormatArg(long long v) : FValue(static_cast<std::int64_t>(v)) {}
  FormatArg(unsigned v) : FValue(static_cast<std::uint64_t>(v)) {}
  FormatArg(unsigned long v) : FValue(static_cast<std::uint64_t>(v)) {}
  FormatArg(unsigned long long v) : FValue(static_cast<std::uint64_t>(v)) {}
  FormatArg(double v) : FValue(v) {}
  FormatArg(const wchar_t* v) : FValue(v != nullptr ? std::wstring_view(v) : std::wstring_view()) {}
  FormatArg(std::wstring_view v) : FValue(v) {}
  FormatArg(const std::wstring& v) : FValue(std::wstring_view(v)) {}
  FormatArg(const void* v) : FValue(v) {}

  // Signed and unsigned integers both print with d, u and x (see above for
  // how a value crosses between signed and unsigned).
  using Value = std::variant<std::int64_t, std::uint64_t, double, std::wstring_view, const void*>;
  const Value& Get() const noexcept { return FValue; }

 private:
  Value FValue;
};

// The arguments are borrowed for the duration of the call.
std::wstring Format(std::wstring_view format, std::initializer_list<FormatArg> args);

}  // namespace ostrevin
