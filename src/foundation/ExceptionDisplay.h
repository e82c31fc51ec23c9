// ExceptionDisplay.h - ShowCurrentException, the one way to show an exception.
//
// Code that must not let an exception escape (platform callbacks, event
// handlers) catches it and shows it here:
//
//   catch (...) { ShowCurrentException(); }
//
// A silent abort (EAbort) shows nothing. Otherwise the exception goes to the
// application's show-exception routine when one is installed (the exception
// dialog installs itself), else to the runtime's plain display.
#pragma once

#include <exception>
#include <functional>
#include <string>

namespace ostrevin {

// Receives every exception to show. Must not throw.
using ShowExceptionRoutine = std::function<void(const std::exception&)>;
// The runtime's plain display; `isCurrent` tells whether E is the exception
// being handled (so its raise address is known). Must not throw.
using PlainExceptionDisplay = std::function<void(const std::exception& e, bool isCurrent)>;

// An empty routine uninstalls it. Both return the previous routine.
ShowExceptionRoutine SetShowExceptionRoutine(ShowExceptionRoutine routine);
PlainExceptionDisplay SetPlainExceptionDisplay(PlainExceptionDisplay display);

// Shows E, or the exception currently being handled when E is null (nothing
// when there is none). Never throws.
void ShowCurrentException(const std::exception* e = nullptr) noexcept;

// The class name and message as the displays show them; for exceptions not
// rooted in Exception, the runtime's type name and what().
std::wstring ExceptionClassName(const std::exception& e);
std::wstring ExceptionMessage(const std::exception& e);

}  // namespace ostrevin
