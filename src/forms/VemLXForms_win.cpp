// VemLXForms_win.cpp - TVemFormLX, the framework's form base class.
#include "forms/VemLXForms_win.h"

#include <algorithm>
#include <utility>

#include "foundation/VemSysUtils.h"

namespace ostrevin {

namespace {

bool gApplicationWindowRestyled = false;

// The application's hidden window never shows a task-bar button.
void RestyleApplicationWindowOnce() {
  if (gApplicationWindowRestyled || !HasApplication()) return;
  gApplicationWindowRestyled = true;
  HWND window = Application().Handle();
  const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
  SetWindowLongPtrW(window, GWL_EXSTYLE, (exStyle & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW);
}

bool IsThemeActive() {
  using IsAppThemedFunction = BOOL(WINAPI*)();
  HMODULE theme = GetModuleHandleW(L"uxtheme.dll");
  if (theme == nullptr) return false;
  auto isAppThemed = reinterpret_cast<IsAppThemedFunction>(
      reinterpret_cast<void*>(GetProcAddress(theme, "IsAppThemed")));
  return isAppThemed != nullptr && isAppThemed();
}

}  // namespace

void TVemFormLX::CheckModalAllowed() const {
  if (HasApplication() && Application().MainForm() == this)
    throw EVemInternalError(L"Internal Error: This operation is not valid for a main or MDI form.");
  if (FTaskBarButton)
    throw EVemInternalError(L"Internal Error: This operation is not valid for a form with a TaskBar button.");
}

void TVemFormLX::StartModal() {
  CheckModalAllowed();
  if (Visible()) throw EInvalidOperation(L"Cannot make a visible window modal");
  if (!IsWindowEnabled(Handle())) throw EVemGeneralError(L"Cannot make a disabled window modal");
  if (FParentForm != nullptr)
    throw EVemInternalError(L"Internal Error: StartModal cannot be used with a parented form.");
  SaveActiveWindow = GetActiveWindow();
  WindowList = DisableThreadWindows(Handle());
  FModal = true;
  Show();
}

void TVemFormLX::StopModal() {
  CheckModalAllowed();
  if (GetActiveWindow() != Handle()) SaveActiveWindow = nullptr;
  Hide();
  FModal = false;
  EnableWindows(std::exchange(WindowList, {}));
  if (SaveActiveWindow != nullptr) {
    if (IsWindow(SaveActiveWindow)) SetActiveWindow(SaveActiveWindow);
    SaveActiveWindow = nullptr;
  }
}

bool TVemFormLX::IsShortCut(const MSG& msg) {
  if (TForm::IsShortCut(msg)) return true;
  if (msg.message != WM_KEYDOWN) return false;
  const bool onlyCtrl = GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0;
  if (!onlyCtrl) return false;
  HWND focus = GetFocus();
  switch (msg.wParam) {
    case 'X':
    case 'C':
    case 'V':
      if (focus == nullptr) return false;
      SendMessageW(focus, msg.wParam == 'X' ? WM_CUT : msg.wParam == 'C' ? WM_COPY : WM_PASTE, 0, 0);
      return true;
    case 'Z':
      return focus != nullptr && SendMessageW(focus, EM_UNDO, 0, 0) != 0;
    case 'A': {
      // A plain edit control, or the edit part of a combo box.
      wchar_t className[32] = {};
      if (focus == nullptr || GetClassNameW(focus, className, 32) == 0 || lstrcmpiW(className, L"Edit") != 0)
        return false;
      SendMessageW(focus, EM_SETSEL, 0, -1);
      return true;
    }
    default:
      return false;
  }
}

LRESULT TVemFormLX::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !IsWindowEnabled(Handle()) && HasApplication())
        SetForegroundWindow(Application().Handle());
      break;
    case WM_SETCURSOR:
      if (HIWORD(lParam) == WM_LBUTTONDOWN && !IsWindowEnabled(Handle()) && HasApplication())
        SetForegroundWindow(Application().Handle());
      break;
    case WM_SHOWWINDOW:
      RestyleApplicationWindowOnce();
      break;
    case WM_SETICON: {
      handled = true;
      const LRESULT result = DefaultHandling(message, wParam, lParam);
      if (IsThemeActive())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
      return result;
    }
    default:
      break;
  }
  return TForm::HandleMessage(message, wParam, lParam, handled);
}

void InitializeVemLXForms() {
  Application().MainFormOnTaskBar = true;
  Application().ModalPopupModeAuto = true;
}

void FinalizeVemLXForms() { gApplicationWindowRestyled = false; }

}  // namespace ostrevin
