// CancelableWindow.h - the window of the cancelable progress message, as its logic sees it.
//
// The window has a message label that sizes itself to its text and a Cancel
// button; the logic (VemLXCancelableFrm) decides the layout. Sizes and
// positions are pixels of the screen. The program makes the windows with
// the Win32 adapter, tests with a fake:
//
//   std::unique_ptr<CancelableWindow> window = Current<CancelableWindows>().CreateCancelableWindow();
//   window->SetOnCancel([&] { cancelled = true; });
//   window->StartModal();
//   window->SetMessage(L"Processing 1 of 3 messages from Outlook");
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace ostrevin {

// A rectangle in pixels: of a control, relative to its window's client area.
struct TBounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

class CancelableWindow {
 public:
  virtual ~CancelableWindow() = default;

  // The message label's text. Setting it sizes the label to the text.
  virtual std::wstring Message() const = 0;
  virtual void SetMessage(std::wstring_view text) = 0;
  virtual TBounds MessageBounds() const = 0;

  virtual TBounds CancelButtonBounds() const = 0;
  virtual void MoveCancelButton(int left, int top) = 0;

  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  // Sizes the window to that client area; its top-left corner stays.
  virtual void SetClientSize(int width, int height) = 0;
  // The outer width, frame included.
  virtual int Width() const = 0;
  // Moves the window's left edge; the vertical position stays.
  virtual void SetLeft(int left) = 0;
  // The width of the primary screen.
  virtual int ScreenWidth() const = 0;
  // Paints the window now rather than at the next paint message.
  virtual void Repaint() = 0;

  // Shows the window as modal without blocking: the program's other windows
  // are disabled until StopModal, which hides it again.
  virtual void StartModal() = 0;
  virtual void StopModal() = 0;
  // Handles the window messages waiting for the program (a click on Cancel
  // among them) and returns.
  virtual void ProcessMessages() = 0;
  // Called when the user presses Cancel, or Escape in the window. It must
  // not throw.
  virtual void SetOnCancel(std::function<void()> onCancel) = 0;
};

// The port that makes the windows.
class CancelableWindows {
 public:
  static constexpr const wchar_t* kPortName = L"CancelableWindows";
  virtual ~CancelableWindows() = default;
  // A new, hidden window with its design's layout at the screen's dpi,
  // captioned "Please Wait..." with the message "Please wait..." and the
  // button "Cancel" (texts of the program's resources).
  virtual std::unique_ptr<CancelableWindow> CreateCancelableWindow() = 0;
};

}  // namespace ostrevin
