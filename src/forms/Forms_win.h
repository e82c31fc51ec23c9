// Forms_win.h - the application object and the plain form: thin HWND wrappers.
//
// One static window procedure finds the form (stored at WM_NCCREATE from
// CREATESTRUCT::lpCreateParams) and calls its virtual message handler. A
// form is created in two steps, so that its design is looked up through the
// class chain of the most derived class:
//
//   auto form = CreateForm<TForm1>();       // reads the "TForm1" design, runs FormCreate
//   Application().SetMainForm(form.get());
//   Application().Run();
//
// Sizes of the design are at 96 dpi and scaled to the screen's dpi (the
// environment variable OSTREVIN_DPI overrides it, to try other scales).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/FormDesign.h"
#include "platform/WinApi_win.h"

namespace ostrevin {

class TForm;

// The design value scaled to the screen's dpi.
int ScaleForDpi(int value96);
int ScreenDpi();

// The text of a design: its string resource, else its literal.
std::wstring ResolveDesignText(const DesignText& text);

// A window's text: a control's caption or contents, a form's caption.
std::wstring WindowText(HWND window);

// Disables the calling thread's visible, enabled top-level windows other
// than `except` and returns them, for EnableWindows.
std::vector<HWND> DisableThreadWindows(HWND except);
// Enables the windows again; those that no longer exist are skipped.
void EnableWindows(const std::vector<HWND>& windows);

class TApplication {
 public:
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // The application's own window: hidden, created with the object.
  HWND Handle() const noexcept { return FHandle; }
  TForm* MainForm() const noexcept { return FMainForm; }
  // The main form ends the message loop when it is closed.
  void SetMainForm(TForm* form) noexcept { FMainForm = form; }
  bool MainFormOnTaskBar = true;
  bool ModalPopupModeAuto = true;

  // Runs the message loop until the main form is closed.
  void Run();
  // Handles the messages waiting in the queue and returns.
  void ProcessMessages();
  // The forms that exist, oldest first.
  const std::vector<TForm*>& Forms() const noexcept { return FForms; }

  // A hook sees every message of the application's window first; it never
  // consumes one. Returns an id for UnhookMainWindow.
  int HookMainWindow(std::function<void(UINT, WPARAM, LPARAM)> hook);
  void UnhookMainWindow(int id);

 private:
  friend class TForm;
  static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
  bool DispatchShortCut(MSG& msg);

  HWND FHandle = nullptr;
  TForm* FMainForm = nullptr;
  std::vector<TForm*> FForms;
  std::vector<std::pair<int, std::function<void(UINT, WPARAM, LPARAM)>>> FHooks;
  int FNextHookId = 1;
};

// The process's application object; it exists between InitializeApplication
// and FinalizeApplication (the start-up table calls them).
TApplication& Application();
bool HasApplication() noexcept;
void InitializeApplication();
void FinalizeApplication();

// A control of a form, created from its design.
struct TControlWindow {
  std::wstring Name;
  HWND Handle = nullptr;
  ControlDesign Design;
};

class TForm {
 public:
  TForm();
  virtual ~TForm();
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  // Reads the design of the first class of ClassChain that has one, creates
  // the window and its controls, then runs FormCreate. A missing design
  // raises EResNotFound "Resource %s not found" with the class name.
  virtual void Create();
  // Creates the window without a design.
  void CreateNew();

  // The form's class followed by its base classes, most derived first.
  virtual std::vector<std::wstring> ClassChain() const { return {L"TForm"}; }

  HWND Handle() const noexcept { return FHandle; }
  bool HandleAllocated() const noexcept { return FHandle != nullptr; }
  const std::wstring& Name() const noexcept { return FName; }
  const FormDesign& Design() const noexcept { return FDesign; }
  const std::vector<TControlWindow>& Controls() const noexcept { return FControls; }
  // The control of that name; null when there is none.
  TControlWindow* FindControl(std::wstring_view name);
  const TControlWindow* FindControl(std::wstring_view name) const;

  bool Visible() const;
  void Show();
  void Hide();
  void Close();

  // Keyboard shortcuts of the form; true when the key was consumed. Escape
  // presses the design's cancel button and Enter its default button.
  virtual bool IsShortCut(const MSG& msg);

  // Gives the control `curName` the name `newName`, after ValidateRename.
  void RenameControl(std::wstring_view curName, std::wstring_view newName);

 protected:
  // Runs once the window and its controls exist.
  virtual void FormCreate() {}
  // Reads the design's further properties; runs before FormCreate.
  virtual void ReadDesignProperties(const FormDesign&) {}
  // Raises EComponentError "A component named %s already exists" when
  // another control has the new name.
  virtual void ValidateRename(TControlWindow* component, std::wstring_view curName, std::wstring_view newName);
  // The form's messages. Set `handled` to keep the default handling away.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

  // Window styles of the design; a derived form may adjust them.
  virtual DWORD WindowStyle() const;
  virtual DWORD WindowExStyle() const;
  virtual HWND OwnerWindow() const;

 private:
  static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
  void CreateWindowFromDesign();
  void CreateControls();
  HFONT FontFor(const FontDesign& font);
  LRESULT ColorControl(UINT message, HDC dc, HWND control);

  HWND FHandle = nullptr;
  std::wstring FName;
  FormDesign FDesign;
  std::vector<TControlWindow> FControls;
  std::vector<HFONT> FFonts;
  HBRUSH FBackground = nullptr;
};

// Creates the form and runs its creation (design, window, FormCreate).
template <class F, class... Args>
std::unique_ptr<F> CreateForm(Args&&... args) {
  auto form = std::make_unique<F>(std::forward<Args>(args)...);
  form->Create();
  return form;
}

// The form whose window is `window` or an ancestor of it; null when none.
TForm* FindForm(HWND window);

}  // namespace ostrevin
