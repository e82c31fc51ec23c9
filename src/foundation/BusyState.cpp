// BusyState.cpp - the busy state, flash messages and the global message handlers.
//
// Portable: the windowed hooks reach cursors and windows only through the
// UserInterface port.
#include "foundation/BusyState.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "foundation/Checks.h"
#include "foundation/ExceptionDisplay.h"
#include "foundation/VemSysUtils.h"
#include "platform/Ports.h"
#include "platform/UserInterface.h"

namespace ostrevin {

namespace {

constexpr const wchar_t* kPleaseWait = L"Please Wait...";

TBusyStateHooks gHooks;
int gBusyCount = 0;  // headless nesting depth

struct TMessageHandlerPair {
  TMessageHandler FHandler;
  const void* FForm;
};
std::vector<TMessageHandlerPair> gMessageHandlers;  // the last one is current

bool HasCurrentMessageHandler() { return !gMessageHandlers.empty(); }

void WriteToConsole(std::wstring_view text) {
  UserInterface& ui = Current<UserInterface>();
  if (ui.IsConsoleProgram()) ui.WriteLine(text);
}

// --- the windowed hooks ---

class TVemFlashForm;

std::vector<TCursor> gCursorStack;
std::vector<TVemFlashForm*> gFlashForms;  // open flash windows, oldest first

void NotifyMessageHandler(UserInterface& ui);

class TVemFlashForm final : public TFlashObject {
 public:
  explicit TVemFlashForm(UserInterface& ui)
      : FUserInterface(ui), FWindow(ui.CreateFlashWindow()), FActiveFocusWnd(ui.ActiveWindow()) {}

  ~TVemFlashForm() override {
    if (!FListed) return;
    WindowHandle active = 0;
    try {
      active = FUserInterface.ActiveWindow();
      if (FWaiting) StopWait();
    } catch (...) {
      ShowCurrentException();
    }
    Unlist();
    try {
      NotifyMessageHandler(FUserInterface);
      if (active == FWindow->Handle() && FActiveFocusWnd != 0) FUserInterface.ActivateWindow(FActiveFocusWnd);
    } catch (...) {
      ShowCurrentException();
    }
  }

  // Joins the flash-window list and the busy state.
  void List() {
    gFlashForms.push_back(this);
    FListed = true;
    StartWait();
    FWaiting = true;
  }
  // Leaves the list without ending the busy state: the hooks are gone.
  void Detach() noexcept {
    FListed = false;
    FWaiting = false;
  }

  FlashWindow& Window() const noexcept { return *FWindow; }

  void SetMessage(std::wstring_view text) {
    if (!FUserInterface.IsMainThread()) return;
    SetMsg(text);
    FWindow->SetCaption(text);
    NotifyMessageHandler(FUserInterface);
    if (HasCurrentMessageHandler()) return;
    const int width = FWindow->CaptionWidth(text);
    if (width > FWindow->Width()) FWindow->SetWidth(width);
    if (FWindow->Visible()) FWindow->RefreshFrame();
  }

  void ShowWithFrame() {
    FWindow->Show();
    FWindow->RefreshFrame();
  }

 private:
  void Unlist() noexcept {
    gFlashForms.erase(std::remove(gFlashForms.begin(), gFlashForms.end(), this), gFlashForms.end());
    FListed = false;
  }

  UserInterface& FUserInterface;
  std::unique_ptr<FlashWindow> FWindow;
  WindowHandle FActiveFocusWnd;  // active when the form was made
  bool FListed = false;
  bool FWaiting = false;
};

// Gives the current handler the newest flash text ("" when there is none).
void NotifyMessageHandler(UserInterface& ui) {
  if (!ui.IsMainThread() || !HasCurrentMessageHandler()) return;
  const std::wstring text = gFlashForms.empty() ? std::wstring() : gFlashForms.back()->Window().Caption();
  // A copy: the handler may push or pop handlers.
  const TMessageHandler handler = gMessageHandlers.back().FHandler;
  handler(text);
}

void WindowedStartWait() {
  UserInterface& ui = Current<UserInterface>();
  gCursorStack.push_back(ui.ScreenCursor());
  ui.SetScreenCursor(crHourGlass);
}

void WindowedStopWait() {
  TCursor cursor = crDefault;
  if (!gCursorStack.empty()) {
    cursor = gCursorStack.back();
    gCursorStack.pop_back();
  }
  Current<UserInterface>().SetScreenCursor(cursor);
}

std::unique_ptr<TFlashObject> CreateFlashForm(std::wstring_view text) {
  auto form = std::make_unique<TVemFlashForm>(Current<UserInterface>());
  // From here on a failure frees the form, which leaves list and busy state.
  form->List();
  form->SetMessage(text);
  if (!HasCurrentMessageHandler()) form->ShowWithFrame();
  return form;
}

void SetFlashFormText(TFlashObject& obj, std::wstring_view text) {
  auto* form = dynamic_cast<TVemFlashForm*>(&obj);
  Assert(form != nullptr);
  form->SetMessage(text);
}

std::wstring GetFlashFormText(const TFlashObject& obj) {
  if (const auto* form = dynamic_cast<const TVemFlashForm*>(&obj)) return form->Window().Caption();
  return obj.Msg();
}

}  // namespace

void StartWait() {
  if (gHooks.FStartWait) return gHooks.FStartWait();
  if (gBusyCount == 0) WriteToConsole(kPleaseWait);
  ++gBusyCount;
}

void StopWait() {
  if (gHooks.FStopWait) return gHooks.FStopWait();
  if (gBusyCount > 0) --gBusyCount;
}

TWaitScope::~TWaitScope() {
  try {
    StopWait();
  } catch (...) {
    ShowCurrentException();
  }
}

std::unique_ptr<TFlashObject> FlashMessage(std::wstring_view text) {
  if (gHooks.FCreateFlashMessage) return gHooks.FCreateFlashMessage(text);
  auto obj = std::make_unique<TFlashObject>(std::wstring(text));
  WriteToConsole(text);
  return obj;
}

void UpdateFlashMessage(TFlashObject& obj, std::wstring_view text) {
  if (gHooks.FSetFlashMessage) return gHooks.FSetFlashMessage(obj, text);
  obj.SetMsg(text);
  WriteToConsole(text);
}

std::wstring GetFlashMessage(const TFlashObject& obj) {
  if (gHooks.FGetFlashMessage) return gHooks.FGetFlashMessage(obj);
  return obj.Msg();
}

void PushGlobalMessageHandler(TMessageHandler handler, const void* form) {
  Assert(static_cast<bool>(handler));
  gMessageHandlers.push_back({std::move(handler), form});
}

void PopGlobalMessageHandler(const void* form) {
  if (gMessageHandlers.empty()) throw EVemInternalError(L"Internal Error: No global message handlers to end.");
  if (gMessageHandlers.back().FForm != form)
    throw EVemInternalError(L"Internal Error: Last global message handlers has changed.");
  gMessageHandlers.pop_back();
  if (HasCurrentMessageHandler() || gFlashForms.empty()) return;
  TVemFlashForm& last = *gFlashForms.back();
  last.SetMessage(last.Window().Caption());
  last.ShowWithFrame();
}

TBusyStateHooks SetBusyStateHooks(TBusyStateHooks hooks) { return std::exchange(gHooks, std::move(hooks)); }

void InstallWindowedBusyHooks() {
  gCursorStack.clear();
  SetBusyStateHooks({WindowedStartWait, WindowedStopWait, CreateFlashForm, SetFlashFormText, GetFlashFormText});
}

void RemoveWindowedBusyHooks() {
  SetBusyStateHooks({});
  for (TVemFlashForm* form : gFlashForms) form->Detach();
  gFlashForms.clear();
  gCursorStack.clear();
}

}  // namespace ostrevin
