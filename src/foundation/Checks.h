// Checks.h - one-line checks that raise the system's internal-error messages.
//
//   Assert(!key.empty());                      // "Assertion failure (Foo.cpp, line 12)"
//   CheckAssigned(list, L"GarbageCollectedFileList");
//   CheckFileExists(fileName);
#pragma once

#include <cstdint>
#include <initializer_list>
#include <source_location>
#include <string>
#include <string_view>

#include "foundation/Format.h"

namespace ostrevin {

// A precondition. Raises EAssertionFailed "Assertion failure (<file>, line
// <n>)" naming the caller's file and line when `condition` is false.
void Assert(bool condition, std::source_location where = std::source_location::current());

// Raises Exception(message) when `condition` is false.
void InternalCheck(bool condition, std::wstring_view message);
void InternalCheckFmt(bool condition, std::wstring_view format, std::initializer_list<FormatArg> args);

// Raises EVemInternalError "Internal Error: <name> not assigned." when
// `reference` is null.
void CheckAssigned(const void* reference, std::wstring_view name);

// 32-bit integer arithmetic that raises EIntOverflow "Arithmetic overflow"
// instead of wrapping.
std::int32_t CheckedAdd(std::int32_t a, std::int32_t b);
std::int32_t CheckedSub(std::int32_t a, std::int32_t b);
std::int32_t CheckedMul(std::int32_t a, std::int32_t b);

// Raises Exception "Internal Error: File does not exist: <fileName>" when the
// file does not exist (FileSystem port).
void CheckFileExists(std::wstring_view fileName);

}  // namespace ostrevin
