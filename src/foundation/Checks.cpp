// Checks.cpp - one-line checks that raise the system's internal-error messages.
#include "foundation/Checks.h"

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

void CheckFileExists(std::wstring_view fileName) {
  InternalCheck(Current<FileSystem>().FileExists(fileName),
                std::wstring(L"Internal Error: File does not exist: ") + std::wstring(fileName));
}

}  // namespace ostrevin
