// RaisedMessage.h - the message of the exception an action raises, for
// tests that check the system's exact texts.
#pragma once

#include <string>

#include "foundation/VemSysUtils.h"

namespace ostrevin {

// The message of the E that `action` raises; "(nothing raised)" when it
// raises nothing. Other exceptions propagate and fail the test.
template <class E, class Action>
std::wstring RaisedMessage(Action&& action) {
  try {
    action();
  } catch (const E& e) {
    return e.Message();
  }
  return L"(nothing raised)";
}

}  // namespace ostrevin
