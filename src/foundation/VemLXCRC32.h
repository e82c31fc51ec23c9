// VemLXCRC32.h - CRC-32 of streams and strings, with a start-up self-test.
//
// The standard CRC-32 of zlib, PKZIP and Ethernet: reflected polynomial
// 0xEDB88320, register starting at 0xFFFFFFFF, result inverted. The check
// value of the ASCII text "123456789" is 0xCBF43926.
//
//   std::uint32_t crc = Crc32OfString(L"This is a test!");   // 0x29492415
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "foundation/Streams.h"

namespace ostrevin {

// Entry n is the CRC of the byte n, without the initial and final inversion.
extern const std::array<std::uint32_t, 256> Crc32Table;

// Moves the stream to position 0 and feeds every byte into `reg`. The
// stream must not be empty (callers check its size first).
void Crc32Update(TStream& stream, std::uint32_t& reg);
// The CRC of the whole stream, whatever its current position.
std::uint32_t Crc32OfStream(TStream& stream);
// The CRC of the text's UTF-16 code units, each low byte first.
std::uint32_t Crc32OfString(std::wstring_view s);
// Feeds the 256 table entries, four bytes each low byte first, into `reg`.
void Crc32OfTable(std::uint32_t& reg);

// The self-test run once at start-up: the CRC of the table and of a test
// string. A mismatch raises Exception ("CRC32 Table CRC32 is ...").
void InitializeVemLXCRC32();

}  // namespace ostrevin
