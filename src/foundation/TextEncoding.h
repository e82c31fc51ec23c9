// TextEncoding.h - explicit conversions between text and bytes.
//
// Text is std::wstring: UTF-16 on Windows, UTF-32 in the native build. These
// functions convert at the edge, where text meets files and the platform:
//
//   auto bytes = EncodeText(text, TextEncoding::Utf16LE, /*withBom=*/true);
//   TextEncoding found;  std::wstring back = DecodeText(bytes, &found);
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevin {

enum class TextEncoding {
  None,      // not known (a string list that was never loaded)
  Ansi,      // the system's ANSI code page, no byte-order mark
  Utf8,      // EF BB BF
  Utf16LE,   // FF FE
  Utf16BE,   // FE FF
};

using Bytes = std::vector<std::uint8_t>;

// UTF-8 <-> text. Invalid input bytes become U+FFFD (one for each maximal
// ill-formed subsequence: a stray byte, a cut-short sequence, an overlong
// form, an encoded surrogate or a value beyond U+10FFFF); unpaired surrogates
// in text are written as U+FFFD. Neither raises.
std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view utf8);

// The UTF-16 code units of the text (surrogate pairs for characters beyond
// U+FFFF in the native build) and back. Unpaired surrogates pass through
// unchanged both ways, so on Windows both are plain copies.
std::u16string ToUtf16(std::wstring_view text);
std::wstring FromUtf16(std::u16string_view units);

// Text in the given encoding, preceded by its byte-order mark when `withBom`
// is set and the encoding has one. None writes UTF-16 LE. Ansi uses the
// current AnsiCodePage port.
Bytes EncodeText(std::wstring_view text, TextEncoding encoding, bool withBom);

// Decodes `bytes` by its byte-order mark (UTF-8, UTF-16 LE, UTF-16 BE), or as
// the ANSI code page when it has none (found = Ansi, also for no bytes). The
// mark is not part of the text; the encoding found is stored in `found` when
// given.
std::wstring DecodeText(const Bytes& bytes, TextEncoding* found = nullptr);

// Decodes `bytes` (without a byte-order mark) in the given encoding; a mark
// at the start is kept as U+FEFF. None reads UTF-16 LE. In UTF-16 an odd
// last byte becomes U+FFFD (also in DecodeText).
std::wstring DecodeTextAs(const Bytes& bytes, TextEncoding encoding);

}  // namespace ostrevin
