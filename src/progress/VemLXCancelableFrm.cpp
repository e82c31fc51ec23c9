// VemLXCancelableFrm.cpp - the cancelable progress window with its stack of messages.
//
// Portable: the window is reached through the CancelableWindows port, the
// screen cursor through the UserInterface port.
#include "progress/VemLXCancelableFrm.h"

#include <algorithm>
#include <utility>

#include "foundation/BusyState.h"
#include "foundation/Checks.h"
#include "foundation/ExceptionDisplay.h"
#include "foundation/VemSysUtils.h"
#include "platform/Ports.h"
#include "platform/UserInterface.h"

namespace ostrevin {

namespace {

std::unique_ptr<TVemCancelableForm> gCancelableForm;
TCursor gSavedCursor = crDefault;  // the screen cursor when the window opened

}  // namespace

TVemCancelableForm::TVemCancelableForm() : FWindow(Current<CancelableWindows>().CreateCancelableWindow()) {
  FWindow->SetOnCancel([this] { CancelBtnClick(); });
  PushGlobalMessageHandler([this](const std::wstring& text) { UpdateMessage(text); }, this);
}

TVemCancelableForm::~TVemCancelableForm() {
  try {
    PopGlobalMessageHandler(this);
  } catch (...) {
    ShowCurrentException();
  }
}

void TVemCancelableForm::StartMessage(std::wstring_view msg) {
  FMsgStack.Add(FWindow->Message());
  SetMessage(msg);
}

void TVemCancelableForm::StopMessage() {
  Assert(FMsgStack.Count() > 0);
  const int last = FMsgStack.Count() - 1;
  SetMessage(FMsgStack[last]);
  FMsgStack.Delete(last);
}

void TVemCancelableForm::UpdateMessage(std::wstring_view text) {
  CheckCancel();
  SetMessage(text);
}

void TVemCancelableForm::CheckCancel() {
  FWindow->ProcessMessages();
  if (FCancelPressed && !FCancelPressed_AbortRaised) {
    FCancelPressed_AbortRaised = true;
    throw EAbort();
  }
}

void TVemCancelableForm::SetMessage(std::wstring_view value) {
  CancelableWindow& window = *FWindow;
  window.SetMessage(value);
  const TBounds label = window.MessageBounds();
  const TBounds button = window.CancelButtonBounds();
  const int clientWidth = std::max(window.ClientWidth(), CheckedAdd(label.Width, CheckedMul(2, label.Left)));
  const int clientHeight = std::max(
      window.ClientHeight(), CheckedAdd(CheckedAdd(label.Height, CheckedMul(3, label.Top)), button.Height));
  window.SetClientSize(clientWidth, clientHeight);
  window.SetLeft(CheckedSub(window.ScreenWidth(), window.Width()) / 2);
  window.MoveCancelButton(CheckedSub(clientWidth, button.Width) / 2,
                          CheckedSub(CheckedSub(clientHeight, label.Top), button.Height));
  window.Repaint();
}

void StartCancelableMessage(std::wstring_view msg) {
  if (!gCancelableForm) {
    const TCursor cursor = Current<UserInterface>().ScreenCursor();
    auto form = std::make_unique<TVemCancelableForm>();
    form->Window().StartModal();
    gSavedCursor = cursor;
    gCancelableForm = std::move(form);
  }
  gCancelableForm->StartMessage(msg);
}

void UpdateCancelableMessage(std::wstring_view text) {
  Assert(gCancelableForm != nullptr);
  gCancelableForm->UpdateMessage(text);
}

void StopCancelableMessage() {
  Assert(gCancelableForm != nullptr);
  gCancelableForm->StopMessage();
  if (gCancelableForm->MessageStack().Count() > 0) return;
  std::unique_ptr<TVemCancelableForm> form = std::move(gCancelableForm);
  form->Window().StopModal();
  form.reset();
  UserInterface& ui = Current<UserInterface>();
  ui.SetScreenCursor(crDefault);
  ui.SetScreenCursor(gSavedCursor);
}

TVemCancelableForm* CancelableForm() noexcept { return gCancelableForm.get(); }

TCancelableMessageScope::~TCancelableMessageScope() {
  try {
    StopCancelableMessage();
  } catch (...) {
    ShowCurrentException();
  }
}

}  // namespace ostrevin
