// VemLXForms_win.h - TVemFormLX, the framework's form base class.
//
// Adds to the plain form: a modal show that does not block (the caller goes
// on and must process messages itself, then call StopModal), pop-up
// ownership by the active form, clipboard shortcuts in every edit control,
// bringing the application to the front when a disabled window is clicked,
// and a repaint of themed windows after their icon changes.
//
//   form->StartModal();
//   while (working) { Application().ProcessMessages(); ... }
//   form->StopModal();
#pragma once

#include <vector>

#include "forms/Forms_win.h"

namespace ostrevin {

class TVemFormLX : public TForm {
 public:
  std::vector<std::wstring> ClassChain() const override { return {L"TVemFormLX"}; }

  // Shows the form as modal: every other top-level window of the thread is
  // disabled until StopModal. Refused, before anything changes, for the main
  // form (EVemInternalError "Internal Error: This operation is not valid for
  // a main or MDI form."), a form with its own task-bar button, a visible
  // form (EInvalidOperation "Cannot make a visible window modal"), a disabled
  // form (EVemGeneralError "Cannot make a disabled window modal") and a
  // parented form.
  void StartModal();
  // Hides the form, enables the windows StartModal disabled and activates
  // the window that was active before, unless the form had lost the
  // activation meanwhile.
  void StopModal();
  bool IsModal() const noexcept { return FModal; }

  // Ctrl+X, Ctrl+C, Ctrl+V, Ctrl+Z and Ctrl+A for the focused edit control.
  bool IsShortCut(const MSG& msg) override;

  bool TaskBarButton() const noexcept { return FTaskBarButton; }
  TForm* ParentForm() const noexcept { return FParentForm; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  void CheckModalAllowed() const;

  TForm* FParentForm = nullptr;
  std::vector<HWND> WindowList;
  HWND SaveActiveWindow = nullptr;
  bool FTaskBarButton = false;
  bool FModal = false;
};

// Module state: the application's task-bar and pop-up options. Called by the
// start-up table after the application object exists.
void InitializeVemLXForms();
void FinalizeVemLXForms();

}  // namespace ostrevin
