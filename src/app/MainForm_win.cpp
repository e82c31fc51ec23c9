// MainForm_win.cpp - TForm1, the program's only main window.
#include "app/MainForm_win.h"

#include "dragdrop/VemFxShellDragDrop.h"
#include "foundation/ExceptionDisplay.h"

namespace ostrevin {

TForm1::TForm1() = default;

// Releasing the drop target revokes the window's registration.
TForm1::~TForm1() { FDropTarget.reset(); }

void TForm1::FormCreate() {
  try {
    FDropTarget = std::make_unique<TShellDropTarget>(reinterpret_cast<WindowHandle>(Handle()));
  } catch (...) {
    ShowCurrentException();
  }
}

}  // namespace ostrevin
