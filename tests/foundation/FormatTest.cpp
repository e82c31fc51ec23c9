// FormatTest.cpp - tests of the "%" formats.
//
// The system's own format strings first, then the conversions where signed
// and unsigned values meet, padding, floating point, and malformed formats.
#include "foundation/Format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "foundation/TextEncoding.h"
#include "foundation/VemSysUtils.h"

namespace ostrevin {
namespace {

TEST(FormatTest, FormatsOfTheSystemsMessages) {
  EXPECT_EQ(Format(L"Could not create %s", {L"C:\\Data"}), L"Could not create C:\\Data");
  EXPECT_EQ(Format(L"Processing %d of %d messages from Outlook", {3, 12}),
            L"Processing 3 of 12 messages from Outlook");
  EXPECT_EQ(Format(L"Log_%.4d%.2d%.2d_%.2d%.2d%.2d_", {2024, 3, 7, 9, 5, 0}), L"Log_20240307_090500_");
  EXPECT_EQ(Format(L"%.3d.txt", {7}), L"007.txt");
  EXPECT_EQ(Format(L"%s\\%.4x%.4x\\%s", {L"\\StringFileInfo", 0x409, 0x4B0, L"ProductName"}),
            L"\\StringFileInfo\\040904B0\\ProductName");
  EXPECT_EQ(Format(L"%d.%d r%d", {2, 1, 51}), L"2.1 r51");
  EXPECT_EQ(Format(L"%d.%d.%d.%d", {2, 1, 51, 555}), L"2.1.51.555");
  EXPECT_EQ(Format(L"List index out of bounds (%d)", {-1}), L"List index out of bounds (-1)");
  EXPECT_EQ(Format(L"[%p] %s.%s (Line %u, \"%s\"%s)%s",
                   {reinterpret_cast<const void*>(std::uintptr_t{0x4A3F10}), L"Unit", L"Proc", 42u, L"Unit.pas",
                    L"", L""}),
            L"[00000000004A3F10] Unit.Proc (Line 42, \"Unit.pas\")");
  EXPECT_EQ(Format(L" + $%x", {0x1Fu}), L" + $1F");
  EXPECT_EQ(Format(L"100%% done", {}), L"100% done");
}

TEST(FormatTest, OleExceptionCodeShowsHexAndSignedDecimalOfOneArgument) {
  const auto code = static_cast<std::int32_t>(0x800706BAu);
  EXPECT_EQ(Format(L"OLE Exception Code: 0x%0:.8x (%0:d)", {code}),
            L"OLE Exception Code: 0x800706BA (-2147023174)");
  // The same bits passed unsigned are a positive number.
  EXPECT_EQ(Format(L"%0:.8x (%0:d)", {0x800706BAu}), L"800706BA (2147944122)");
}

TEST(FormatTest, IndexesSelectArgumentsAndLaterSpecifiersContinueAfterThem) {
  EXPECT_EQ(Format(L"%0:s", {L"a"}), L"a");
  EXPECT_EQ(Format(L"%0:d %1:d", {1, 2}), L"1 2");
  EXPECT_EQ(Format(L"%1:s %0:s %s", {L"a", L"b"}), L"b a b");
  EXPECT_EQ(Format(L"%s %0:s %s", {L"a", L"b"}), L"a a b");
}

TEST(FormatTest, IntegersAcrossSignedAndUnsigned) {
  constexpr auto int64Min = std::numeric_limits<std::int64_t>::min();
  constexpr auto uint64Max = std::numeric_limits<std::uint64_t>::max();
  EXPECT_EQ(Format(L"%d", {-42}), L"-42");
  EXPECT_EQ(Format(L"%d", {int64Min}), L"-9223372036854775808");
  EXPECT_EQ(Format(L"%d", {4000000000u}), L"4000000000");
  EXPECT_EQ(Format(L"%d", {uint64Max}), L"-1");
  EXPECT_EQ(Format(L"%u", {4000000000u}), L"4000000000");
  EXPECT_EQ(Format(L"%u", {-1}), L"4294967295");
  EXPECT_EQ(Format(L"%u", {-5000000000LL}), L"18446744068709551616");
  EXPECT_EQ(Format(L"%x", {-1}), L"FFFFFFFF");
  EXPECT_EQ(Format(L"%x", {int64Min}), L"8000000000000000");
  EXPECT_EQ(Format(L"%x", {uint64Max}), L"FFFFFFFFFFFFFFFF");
  EXPECT_EQ(Format(L"%x", {0xabcdefu}), L"ABCDEF");
  EXPECT_EQ(Format(L"%X %D %U", {255, 1, 2u}), L"FF 1 2");
}

TEST(FormatTest, PrecisionOfIntegersIsMinimumDigitsAfterTheSign) {
  EXPECT_EQ(Format(L"%.2d", {5}), L"05");
  EXPECT_EQ(Format(L"%.3d", {-5}), L"-005");
  EXPECT_EQ(Format(L"%.4x", {0x4B0}), L"04B0");
  EXPECT_EQ(Format(L"%.2d", {12345}), L"12345");
  EXPECT_EQ(Format(L"%.0d", {0}), L"0");
  EXPECT_EQ(Format(L"%.8u", {7u}), L"00000007");
  EXPECT_EQ(Format(L"%p", {static_cast<const void*>(nullptr)}), L"0000000000000000");
}

TEST(FormatTest, WidthPadsWithSpacesLeftOrRight) {
  EXPECT_EQ(Format(L"[%5d]", {42}), L"[   42]");
  EXPECT_EQ(Format(L"[%-5d]", {42}), L"[42   ]");
  EXPECT_EQ(Format(L"[%6.3d]", {-5}), L"[  -005]");
  EXPECT_EQ(Format(L"[%08x]", {255}), L"[      FF]");
  EXPECT_EQ(Format(L"[%2s]", {L"abcd"}), L"[abcd]");
  EXPECT_EQ(Format(L"[%.2s]", {L"abcd"}), L"[ab]");
  EXPECT_EQ(Format(L"[%-6.2s]", {L"abcd"}), L"[ab    ]");
  EXPECT_EQ(Format(L"[%0:-4s|%0:4s]", {L"ab"}), L"[ab  |  ab]");
  EXPECT_EQ(Format(L"[%20p]", {reinterpret_cast<const void*>(std::uintptr_t{0xAB})}),
            L"[    00000000000000AB]");
}

TEST(FormatTest, StarTakesWidthAndPrecisionFromTheArguments) {
  EXPECT_EQ(Format(L"[%*d]", {4, 7}), L"[   7]");
  EXPECT_EQ(Format(L"[%-*d]", {4, 7}), L"[7   ]");
  EXPECT_EQ(Format(L"[%.*d]", {3, 7}), L"[007]");
  EXPECT_EQ(Format(L"[%*.*s]", {5, 2u, L"abcd"}), L"[   ab]");
  EXPECT_EQ(Format(L"[%*d]", {-4, 7}), L"[7]");
  EXPECT_EQ(Format(L"[%1:*d]", {99, 3, 7}), L"[  7]");
}

TEST(FormatTest, WidthAndPrecisionCountUtf16UnitsAndKeepPairsWhole) {
  // U+1F600 is two UTF-16 units: one character natively, a pair on Windows.
  const std::wstring smiley = L"\U0001F600";
  EXPECT_EQ(Format(L"[%3s]", {smiley}), L"[ " + smiley + L"]");
  EXPECT_EQ(Format(L"[%.1s]", {smiley + L"x"}), L"[]");
  EXPECT_EQ(Format(L"[%.2s]", {smiley + L"x"}), L"[" + smiley + L"]");
  EXPECT_EQ(Format(L"[%.3s]", {L"a" + smiley + L"x"}), L"[a" + smiley + L"]");
}

TEST(FormatTest, FloatingPoint) {
  EXPECT_EQ(Format(L"%f", {3.14159}), L"3.14");
  EXPECT_EQ(Format(L"%.0f|%.4f", {2.75, -0.5}), L"3|-0.5000");
  EXPECT_EQ(Format(L"%e", {1234.5}), L"1.23450000000000E+003");
  EXPECT_EQ(Format(L"%.3e", {1234.5}), L"1.23E+003");
  EXPECT_EQ(Format(L"%.2e", {-0.000123}), L"-1.2E-004");
  EXPECT_EQ(Format(L"%.3e", {1e300}), L"1.00E+300");
  EXPECT_EQ(Format(L"%g", {0.5}), L"0.5");
  EXPECT_EQ(Format(L"%g", {123456.0}), L"123456");
  EXPECT_EQ(Format(L"%g", {0.1 + 0.2}), L"0.3");
  EXPECT_EQ(Format(L"%g", {1e20}), L"1E20");
  EXPECT_EQ(Format(L"%g", {0.00001}), L"0.00001");
  EXPECT_EQ(Format(L"%g", {0.0000015}), L"1.5E-6");
  EXPECT_EQ(Format(L"%.3g", {1234.5}), L"1.23E3");
  EXPECT_EQ(Format(L"%.3g", {999.7}), L"1E3");
  EXPECT_EQ(Format(L"%g", {0.0}), L"0");
  EXPECT_EQ(Format(L"%n", {1234567.891}), L"1,234,567.89");
  EXPECT_EQ(Format(L"%n", {999.999}), L"1,000.00");
  EXPECT_EQ(Format(L"%.0n", {-123456.0}), L"-123,456");
  EXPECT_EQ(Format(L"%m", {5.0}), L"$5.00");
  EXPECT_EQ(Format(L"%m", {-1234.5}), L"-$1,234.50");
  EXPECT_EQ(Format(L"[%8.1f]", {-2.26}), L"[    -2.3]");
  EXPECT_EQ(Format(L"%f", {-0.0}), L"0.00");
  EXPECT_EQ(Format(L"%f %g %e", {std::nan(""), std::numeric_limits<double>::infinity(),
                                 -std::numeric_limits<double>::infinity()}),
            L"NAN INF -INF");
}

// Format must raise the system's conversion error naming the whole format.
void ExpectInvalid(std::wstring_view format, std::initializer_list<FormatArg> args) {
  SCOPED_TRACE(WideToUtf8(format));
  try {
    Format(format, args);
    ADD_FAILURE() << "no error raised";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), L"Format '" + std::wstring(format) + L"' invalid or incompatible with argument");
  }
}

TEST(FormatTest, MalformedFormatsAndMismatchedArgumentsRaise) {
  ExpectInvalid(L"value %d", {});                  // missing argument
  ExpectInvalid(L"%d %d", {1});                    // second one missing
  ExpectInvalid(L"%1:d", {1});                     // index beyond the arguments
  ExpectInvalid(L"%d", {L"text"});                 // d with a string
  ExpectInvalid(L"%x", {1.5});
  ExpectInvalid(L"%s", {5});                       // s with a number
  ExpectInvalid(L"%f", {5});                       // f with an integer
  ExpectInvalid(L"%p", {5});
  ExpectInvalid(L"%*d", {L"wide", 5});             // * with a string
  ExpectInvalid(L"%.*s", {L"x"});                  // * takes the only argument
  ExpectInvalid(L"50%", {});                       // ends inside a specifier
  ExpectInvalid(L"%5", {1});
  ExpectInvalid(L"%q", {1});                       // unknown type
  ExpectInvalid(L"%5-d", {1});                     // "-" after the width
  ExpectInvalid(L"%.d", {1});                      // "." without a precision
  ExpectInvalid(L"%:d", {1});                      // ":" without an index
  ExpectInvalid(L"%*:d", {0, 1});
  ExpectInvalid(L"%99999999999d", {1});            // width beyond int
}

}  // namespace
}  // namespace ostrevin
