// VemForms_win.h - TVemApplication: keeps the forms in step with system colours.
#pragma once

namespace ostrevin {

// A hook on the application's window: WM_SYSCOLORCHANGE is sent on to every
// form that has a window. It never consumes a message.
class TVemApplication {
 public:
  TVemApplication();
  ~TVemApplication();
  TVemApplication(const TVemApplication&) = delete;
  TVemApplication& operator=(const TVemApplication&) = delete;

 private:
  int FHookId = 0;
};

// Module state: one TVemApplication for the life of the application object.
void InitializeVemForms();
void FinalizeVemForms();

}  // namespace ostrevin
