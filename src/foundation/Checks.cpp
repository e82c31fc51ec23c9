// Checks.cpp - one-line checks that raise the system's internal-error messages.
#include "foundation/Checks.h"

#include <cstdint>
#include <string>

#include "foundation/TextEncoding.h"
#include "foundation/VemSysUtils.h"
#include "platform/FileSystem.h"
#include "platform/Ports.h"

namespace ostrevin {

void Assert(bool condition, std::source_location where) {
  if (condition) return;
  std::string_view file = where.file_name();
  if (auto slash = file.find_last_of("/\\"); slash != std::string_view::npos) file.remove_prefix(slash + 1);
  throw EAssertionFailed(Format(L"Assertion failure (%s, line %d)",
                                {Utf8ToWide(file), static_cast<long long>(where.line())}));
}

void InternalCheck(bool condition, std::wstring_view message) {
  if (!condition) throw Exception(std::wstring(message));
}

void InternalCheckFmt(bool condition, std::wstring_view format, std::initializer_list<FormatArg> args) {
  if (!condition) throw Exception(Format(format, args));
}

void CheckAssigned(const void* reference, std::wstring_view name) {
  if (reference == nullptr) throw EVemInternalError(Format(L"Internal Error: %s not assigned.", {name}));
}

namespace {
// The 64-bit result of 32-bit operands, which cannot overflow, back in 32 bits.
std::int32_t Narrow(std::int64_t result) {
  if (result < INT32_MIN || result > INT32_MAX) throw EIntOverflow(L"Arithmetic overflow");
  return static_cast<std::int32_t>(result);
}
}  // namespace

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) { return Narrow(std::int64_t{a} + b); }
std::int32_t CheckedSub(std::int32_t a, std::int32_t b) { return Narrow(std::int64_t{a} - b); }
std::int32_t CheckedMul(std::int32_t a, std::int32_t b) { return Narrow(std::int64_t{a} * b); }

void CheckFileExists(std::wstring_view fileName) {
  InternalCheck(Current<FileSystem>().FileExists(fileName),
                std::wstring(L"Internal Error: File does not exist: ") + std::wstring(fileName));
}

}  // namespace ostrevin
