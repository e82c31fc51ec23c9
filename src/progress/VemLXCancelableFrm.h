// VemLXCancelableFrm.h - the cancelable progress window with its stack of messages.
//
// Long work on the main thread reports progress in one shared window and
// stays cancelable:
//
//   StartCancelableMessage(L"Processing 0 of 3 messages from Outlook");
//   try {
//     for (int i = 1; i <= 3; ++i) {
//       UpdateCancelableMessage(Format(L"Processing %d of %d messages from Outlook", {i, 3}));  // EAbort after Cancel
//       ...
//     }
//   } catch (...) { StopCancelableMessage(); throw; }
//   StopCancelableMessage();
//
// The first start opens the window; a nested start pushes its message and
// its stop brings the outer one back; the stop that empties the stack
// closes the window. Cancel only sets a flag: the next update (or flash
// message) raises the silent abort, once per window. Every update handles
// the program's waiting window messages, which keeps it responsive. Main
// thread only.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "foundation/VemClasses.h"
#include "progress/CancelableWindow.h"

namespace ostrevin {

class TVemCancelableForm {
 public:
  // Makes the window (CancelableWindows port) and makes UpdateMessage the
  // current global message handler, so that flash messages show in the
  // window and check for Cancel while it exists.
  TVemCancelableForm();
  // Ends the message handler (a failure to end it is shown with
  // ShowCurrentException) and destroys the window.
  ~TVemCancelableForm();
  TVemCancelableForm(const TVemCancelableForm&) = delete;
  TVemCancelableForm& operator=(const TVemCancelableForm&) = delete;

  bool CancelPressed() const noexcept { return FCancelPressed; }
  CancelableWindow& Window() const noexcept { return *FWindow; }
  // The messages that StopMessage restores, the next one last.
  const TVemStringList& MessageStack() const noexcept { return FMsgStack; }

  // Pushes the shown message and shows Msg.
  void StartMessage(std::wstring_view msg);
  // Shows the last pushed message again and drops it from the stack. With
  // an empty stack: EAssertionFailed.
  void StopMessage();
  // CheckCancel, then shows Text.
  void UpdateMessage(std::wstring_view text);
  // Handles the program's waiting window messages; then, after a Cancel,
  // raises EAbort, but only the first time.
  void CheckCancel();
  // Shows Value and fits the window to it: it grows to hold the label with
  // its margins and the button below it, never shrinks, stays centred
  // horizontally on the screen, keeps the button centred at the bottom, and
  // is painted at once. A size that does not fit in 32 bits raises
  // EIntOverflow.
  void SetMessage(std::wstring_view value);
  // What the Cancel button does: remember that the user cancelled.
  void CancelBtnClick() noexcept { FCancelPressed = true; }

 private:
  std::unique_ptr<CancelableWindow> FWindow;
  TVemStringList FMsgStack;
  bool FCancelPressed = false;
  bool FCancelPressed_AbortRaised = false;
};

// Opens the shared window when none is open (remembering the screen cursor
// and showing it modal), then starts Msg in it. When the window cannot be
// shown, nothing stays open and the error propagates.
void StartCancelableMessage(std::wstring_view msg);
// Updates the shared window's message; raises EAbort after a Cancel (once).
// Without an open window: EAssertionFailed.
void UpdateCancelableMessage(std::wstring_view text);
// Stops the shared window's message; the stop that empties its stack
// closes and frees the window, sets the default screen cursor and then the
// one remembered at the opening. Without an open window: EAssertionFailed.
void StopCancelableMessage();
// The shared window, or null when none is open.
TVemCancelableForm* CancelableForm() noexcept;

// StartCancelableMessage for the lifetime of the object, so the message is
// stopped however the work ends.
class TCancelableMessageScope {
 public:
  explicit TCancelableMessageScope(std::wstring_view msg) { StartCancelableMessage(msg); }
  // A failing stop is shown with ShowCurrentException.
  ~TCancelableMessageScope();
  TCancelableMessageScope(const TCancelableMessageScope&) = delete;
  TCancelableMessageScope& operator=(const TCancelableMessageScope&) = delete;
};

}  // namespace ostrevin
