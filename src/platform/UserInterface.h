// UserInterface.h - port: the user-interface services of the busy state and flash messages.
//
// What the busy cursor and the flash-message windows need from the platform:
// whether the program is a console program and its standard output, the
// screen cursor, small title-bar-only tool windows, the active window and
// the identity of the main thread. The busy-state logic drives it:
//
//   UserInterface& ui = Current<UserInterface>();
//   ui.SetScreenCursor(crHourGlass);
//   std::unique_ptr<FlashWindow> window = ui.CreateFlashWindow();
//   window->SetCaption(L"Connecting to Outlook...");
//   window->Show();
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/WindowHandle.h"

namespace ostrevin {

// Screen cursors by the system's cursor numbers. The default cursor lets
// the window under the mouse choose its own cursor again.
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crHourGlass = -11;

// A flash window: a tool window without border icons whose client area has
// height 0, so that only its title bar shows. Created hidden; it is centred
// on the screen when it is first shown. Destroying the object destroys the
// window.
class FlashWindow {
 public:
  virtual ~FlashWindow() = default;
  virtual WindowHandle Handle() const = 0;
  virtual std::wstring Caption() const = 0;
  virtual void SetCaption(std::wstring_view caption) = 0;
  // The outer width in pixels, frame included.
  virtual int Width() const = 0;
  // Keeps the position of the left edge and the height.
  virtual void SetWidth(int width) = 0;
  // The outer width at which Text shows whole in the title bar: Text measured
  // in the window's device context with the font of its title bar, plus the
  // frame and the title's margins.
  virtual int CaptionWidth(std::wstring_view text) const = 0;
  virtual bool Visible() const = 0;
  // Shows the window the way a form is shown (it may become the active window).
  virtual void Show() = 0;
  // Has the frame recalculated and redrawn at once, without moving, sizing,
  // reordering or activating the window: the window-position flags 0x37.
  virtual void RefreshFrame() = 0;
};

class UserInterface {
 public:
  static constexpr const wchar_t* kPortName = L"UserInterface";
  virtual ~UserInterface() = default;

  // Whether the running program is a console program (one that has standard
  // output to write to).
  virtual bool IsConsoleProgram() const = 0;
  // Writes Text and a line end to standard output. Does nothing when there is
  // no standard output.
  virtual void WriteLine(std::wstring_view text) = 0;

  // The screen cursor last set (crDefault at first).
  virtual TCursor ScreenCursor() const = 0;
  // Sets the screen cursor. Cursor numbers the platform has no cursor for
  // show the arrow.
  virtual void SetScreenCursor(TCursor cursor) = 0;

  // A new, hidden flash window. Raises the platform's error when the window
  // cannot be created.
  virtual std::unique_ptr<FlashWindow> CreateFlashWindow() = 0;

  // The calling thread's active window; 0 when it has none.
  virtual WindowHandle ActiveWindow() const = 0;
  // Activates the window; a window that no longer exists is ignored.
  virtual void ActivateWindow(WindowHandle window) = 0;

  // Whether the caller runs on the program's main thread.
  virtual bool IsMainThread() const = 0;
};

}  // namespace ostrevin
