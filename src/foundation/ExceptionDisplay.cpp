// ExceptionDisplay.cpp - ShowCurrentException, the one way to show an exception.
#include "foundation/ExceptionDisplay.h"

#include <cstdio>
#include <typeinfo>
#include <utility>

#include "foundation/TextEncoding.h"
#include "foundation/VemSysUtils.h"

namespace ostrevin {

namespace {

// Without a GUI the plain display writes to the standard error stream.
void WriteToStandardError(const std::exception& e, bool /*isCurrent*/) {
  const std::string text =
      WideToUtf8(L"Exception " + ExceptionClassName(e) + L": " + ExceptionMessage(e)) + "\n";
  std::fputs(text.c_str(), stderr);
}

ShowExceptionRoutine& InstalledRoutine() {
  static ShowExceptionRoutine routine;
  return routine;
}

PlainExceptionDisplay& InstalledPlainDisplay() {
  static PlainExceptionDisplay display = WriteToStandardError;
  return display;
}

void Show(const std::exception& e, bool isCurrent) {
  if (dynamic_cast<const EAbort*>(&e) != nullptr) return;
  try {
    if (ShowExceptionRoutine& routine = InstalledRoutine()) {
      routine(e);
    } else if (PlainExceptionDisplay& display = InstalledPlainDisplay()) {
      display(e, isCurrent);
    }
  } catch (...) {
    // A display that fails has nowhere left to report to.
  }
}

}  // namespace

ShowExceptionRoutine SetShowExceptionRoutine(ShowExceptionRoutine routine) {
  return std::exchange(InstalledRoutine(), std::move(routine));
}

PlainExceptionDisplay SetPlainExceptionDisplay(PlainExceptionDisplay display) {
  return std::exchange(InstalledPlainDisplay(), std::move(display));
}

void ShowCurrentException(const std::exception* e) noexcept {
  if (e != nullptr) {
    Show(*e, false);
    return;
  }
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  try {
    std::rethrow_exception(current);
  } catch (const std::exception& handled) {
    Show(handled, true);
  } catch (...) {
    Show(Exception(L"Unknown exception"), true);
  }
}

std::wstring ExceptionClassName(const std::exception& e) {
  if (const auto* own = dynamic_cast<const Exception*>(&e)) return std::wstring(own->ClassName());
  return Utf8ToWide(typeid(e).name());
}

std::wstring ExceptionMessage(const std::exception& e) {
  if (const auto* own = dynamic_cast<const Exception*>(&e)) return own->Message();
  return Utf8ToWide(e.what());
}

}  // namespace ostrevin
