// Main_win.cpp - the entry point of ostrevin.exe.
//
// Installs the Win32 adapters of the ports, starts the modules in their
// order, creates the main window and runs the message loop until it is
// closed; then the modules stop in reverse order. Command-line arguments
// are ignored.
#include "app/MainForm_win.h"
#include "app/ModuleTable_win.h"
#include "app/WindowPorts_win.h"
#include "foundation/ExceptionDisplay.h"
#include "platform/WinApi_win.h"
#include "platform/Win32Platform.h"

namespace {

// The runtime's plain display of an exception that nothing else shows, such
// as one that ends the start-up.
void ShowInMessageBox(const std::exception& e, bool) {
  MessageBoxW(nullptr, ostrevin::ExceptionMessage(e).c_str(), L"Ostrevin", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace ostrevin;
  SetPlainExceptionDisplay(ShowInMessageBox);
  try {
    Win32Platform platform;
    Win32WindowPorts windows;
    TModuleStartUp modules(ProgramModules());

    RegisterFormDesign(MainFormDesign());
    Application().MainFormOnTaskBar = true;
    std::unique_ptr<TForm1> mainForm = std::make_unique<TForm1>();
    Application().SetMainForm(mainForm.get());
    mainForm->Create();
    mainForm->Show();
    Application().Run();
    mainForm.reset();
    return 0;
  } catch (...) {
    ShowCurrentException();
    return 1;
  }
}
