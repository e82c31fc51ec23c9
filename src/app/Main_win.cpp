// Main_win.cpp - the entry point of ostrevin.exe.
//
// Installs the Win32 adapters of the platform ports and runs the start-up
// checks of the foundation. Command-line arguments are ignored.
#include "foundation/ExceptionDisplay.h"
#include "foundation/VemLXCRC32.h"
#include "platform/WinApi_win.h"
#include "platform/Win32Platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace ostrevin;
  try {
    Win32Platform platform;
    InitializeVemLXCRC32();
    return 0;
  } catch (...) {
    ShowCurrentException();
    return 1;
  }
}
