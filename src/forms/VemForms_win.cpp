// VemForms_win.cpp - TVemApplication: keeps the forms in step with system colours.
#include "forms/VemForms_win.h"

#include <memory>

#include "forms/Forms_win.h"

namespace ostrevin {

namespace {
std::unique_ptr<TVemApplication> gVemApplication;
}  // namespace

TVemApplication::TVemApplication() {
  FHookId = Application().HookMainWindow([](UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_SYSCOLORCHANGE) return;
    for (TForm* form : Application().Forms())
      if (form->HandleAllocated()) SendMessageW(form->Handle(), WM_SYSCOLORCHANGE, wParam, lParam);
  });
}

TVemApplication::~TVemApplication() {
  if (HasApplication()) Application().UnhookMainWindow(FHookId);
}

void InitializeVemForms() { gVemApplication = std::make_unique<TVemApplication>(); }

void FinalizeVemForms() { gVemApplication.reset(); }

}  // namespace ostrevin
