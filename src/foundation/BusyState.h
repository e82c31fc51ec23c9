// BusyState.h - the busy state, flash messages and the global message handlers.
//
// Code that keeps the user waiting says so:
//
//   TWaitScope wait;                                            // hourglass until it goes
//   auto flash = FlashMessage(L"Connecting to Outlook...");     // until `flash` is freed
//   UpdateFlashMessage(*flash, L"Logging on...");
//
// A progress window takes flash text over while it is open:
//
//   PushGlobalMessageHandler([this](const std::wstring& text) { UpdateMessage(text); }, this);
//   ...
//   PopGlobalMessageHandler(this);
//
// Without hooks the busy state is a counter and a flash message is a plain
// TFlashObject; a console program also writes "Please Wait..." and each
// flash text to standard output (UserInterface port). The window utilities'
// start-up replaces both with windows: InstallWindowedBusyHooks. Everything
// here belongs to the main thread and is not locked.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace ostrevin {

// Enters the busy state; nestable. With the windowed hooks the current screen
// cursor is saved and the hourglass shown.
void StartWait();
// Leaves it again; with the windowed hooks the cursor saved by the matching
// StartWait comes back (the default cursor when none is saved). A StopWait
// without a StartWait leaves the headless counter at 0.
void StopWait();

// StartWait for the lifetime of the object.
class TWaitScope {
 public:
  TWaitScope() { StartWait(); }
  // A failing StopWait is shown through ShowCurrentException.
  ~TWaitScope();
  TWaitScope(const TWaitScope&) = delete;
  TWaitScope& operator=(const TWaitScope&) = delete;
};

// A flash message. Freeing the object ends the message. The windowed hooks
// hand out a flash window, which derives from this class.
class TFlashObject {
 public:
  explicit TFlashObject(std::wstring msg = {}) : FMsg(std::move(msg)) {}
  virtual ~TFlashObject() = default;
  TFlashObject(const TFlashObject&) = delete;
  TFlashObject& operator=(const TFlashObject&) = delete;

  // The text last set by FlashMessage or UpdateFlashMessage.
  const std::wstring& Msg() const noexcept { return FMsg; }

 protected:
  void SetMsg(std::wstring_view msg) { FMsg = msg; }
  friend void UpdateFlashMessage(TFlashObject& obj, std::wstring_view text);

 private:
  std::wstring FMsg;
};

// Shows Text as a flash message until the returned object is freed. With the
// windowed hooks that is a small window showing Text in its title bar,
// centred on the screen, and a busy state; while a message handler is
// current no window shows and the handler receives Text instead.
[[nodiscard]] std::unique_ptr<TFlashObject> FlashMessage(std::wstring_view text);
// Changes the text of the flash message. With the windowed hooks Obj must
// be one of their flash windows (EAssertionFailed otherwise); calls from
// another thread than the main thread are ignored.
void UpdateFlashMessage(TFlashObject& obj, std::wstring_view text);
// The flash message's current text.
std::wstring GetFlashMessage(const TFlashObject& obj);

// A message handler receives every flash text while it is current, and ""
// when the last flash message ends. It may raise (a progress window raises
// EAbort when the user has cancelled): the exception leaves FlashMessage or
// UpdateFlashMessage; one raised while a flash message ends is shown through
// ShowCurrentException.
using TMessageHandler = std::function<void(const std::wstring& text)>;

// Makes Handler, bound to Form, the current message handler. Form identifies
// the pair for PopGlobalMessageHandler. The handler must not be empty.
void PushGlobalMessageHandler(TMessageHandler handler, const void* form);
// Ends the current message handler, which must be the one bound to Form:
// EVemInternalError "Internal Error: No global message handlers to end."
// when there is none, "Internal Error: Last global message handlers has
// changed." when it is another's (the stack is left unchanged). The handler
// pushed before becomes current again; when none is, the newest open flash
// window shows again with its text.
void PopGlobalMessageHandler(const void* form);

// The hook points of the busy state and the flash messages. An empty hook
// leaves its function to the headless fallback.
struct TBusyStateHooks {
  std::function<void()> FStartWait;
  std::function<void()> FStopWait;
  std::function<std::unique_ptr<TFlashObject>(std::wstring_view text)> FCreateFlashMessage;
  std::function<void(TFlashObject& obj, std::wstring_view text)> FSetFlashMessage;
  std::function<std::wstring(const TFlashObject& obj)> FGetFlashMessage;
};
// Installs the hooks and returns the previous ones.
TBusyStateHooks SetBusyStateHooks(TBusyStateHooks hooks);

// The window utilities' hooks, over the UserInterface port: the hourglass
// with a stack of saved cursors, and flash windows (see FlashMessage and
// PopGlobalMessageHandler). Remove puts the headless fallbacks back; flash
// windows still open then only close their window when freed.
void InstallWindowedBusyHooks();
void RemoveWindowedBusyHooks();

}  // namespace ostrevin
