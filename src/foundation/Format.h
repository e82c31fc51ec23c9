// Format.h - the "%" formats of the system's messages.
//
//   Format(L"Could not create %s", {folder});
//   Format(L"Log_%.4d%.2d%.2d_", {year, month, day});
//   Format(L"OLE Exception Code: 0x%0:.8x (%0:d)", {code});
//
// A specifier is "%" [index ":"] ["-"] [width] ["." precision] type, where
// width and precision may be "*" (taken from the next argument) and "%%" is
// a percent sign. Types:
//   d  signed decimal; precision = minimum number of digits (zero padded)
//   u  unsigned decimal, as d
//   x  upper-case hexadecimal, as d
//   s  string; precision = maximum number of characters
//   p  pointer, as 16 upper-case hexadecimal digits
//   e f g n m  floating point (scientific, fixed, general, thousands, money)
// Width pads on the left with spaces, or on the right after "-". An index
// selects the argument; following specifiers without an index take the
// arguments after it. A specifier that does not match its argument, or a
// missing argument, raises EConvertError
// "Format '%s' invalid or incompatible with argument".
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
  FormatArg(const wchar_t* v) : FValue(std::wstring_view(v)) {}
  FormatArg(std::wstring_view v) : FValue(v) {}
  FormatArg(const std::wstring& v) : FValue(std::wstring_view(v)) {}
  FormatArg(const void* v) : FValue(v) {}

  // Signed and unsigned integers both print with d, u and x; an unsigned
  // value prints as the same bits with d, as the platform's Format does.
  using Value = std::variant<std::int64_t, std::uint64_t, double, std::wstring_view, const void*>;
  const Value& Get() const noexcept { return FValue; }

 private:
  Value FValue;
};

// The arguments are borrowed for the duration of the call.
std::wstring Format(std::wstring_view format, std::initializer_list<FormatArg> args);

}  // namespace ostrevin
