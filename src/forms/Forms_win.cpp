// Forms_win.cpp - the application object and the plain form: thin HWND wrappers.
#include "forms/Forms_win.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "foundation/ExceptionDisplay.h"
#include "foundation/Format.h"
#include "foundation/TextCompare.h"
#include "foundation/VemSysUtils.h"
#include "platform/Ports.h"
#include "platform/UserInterface.h"

namespace ostrevin {

namespace {

constexpr const wchar_t* kApplicationClass = L"TApplication";
std::unique_ptr<TApplication> gApplication;

COLORREF ToColorRef(std::uint32_t color) { return static_cast<COLORREF>(color); }

}  // namespace

int ScreenDpi() {
  static const int dpi = [] {
    if (const wchar_t* forced = _wgetenv(L"OSTREVIN_DPI")) {
      const int value = _wtoi(forced);
      if (value >= 48 && value <= 480) return value;
    }
    HDC screen = GetDC(nullptr);
    const int value = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return value > 0 ? value : 96;
  }();
  return dpi;
}

int ScaleForDpi(int value96) { return MulDiv(value96, ScreenDpi(), 96); }

std::wstring ResolveDesignText(const DesignText& text) {
  if (text.ResourceId != 0) {
    const wchar_t* resource = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), text.ResourceId, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length > 0 && resource != nullptr) return std::wstring(resource, static_cast<std::size_t>(length));
  }
  return text.Literal;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

namespace {

struct DisableContext {
  HWND Except;
  std::vector<HWND>* Disabled;
};

BOOL CALLBACK DisableWindow(HWND window, LPARAM context) {
  auto* disable = reinterpret_cast<DisableContext*>(context);
  if (window != disable->Except && IsWindowVisible(window) && IsWindowEnabled(window)) {
    disable->Disabled->push_back(window);
    EnableWindow(window, FALSE);
  }
  return TRUE;
}

}  // namespace

std::vector<HWND> DisableThreadWindows(HWND except) {
  std::vector<HWND> disabled;
  DisableContext context{except, &disabled};
  EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&context));
  return disabled;
}

void EnableWindows(const std::vector<HWND>& windows) {
  for (HWND window : windows)
    if (IsWindow(window)) EnableWindow(window, TRUE);
}

// --- TApplication ----------------------------------------------------------

TApplication::TApplication() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kApplicationClass;
  RegisterClassExW(&windowClass);
  FHandle = CreateWindowExW(0, kApplicationClass, L"Ostrevin", WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU,
                            0, 0, 0, 0, nullptr, nullptr, windowClass.hInstance, this);
}

TApplication::~TApplication() {
  if (FHandle != nullptr) DestroyWindow(FHandle);
}

LRESULT CALLBACK TApplication::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TApplication*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr) {
    // A hook may remove itself; walk a copy.
    const auto hooks = self->FHooks;
    for (const auto& [id, hook] : hooks) {
      try {
        hook(message, wParam, lParam);
      } catch (...) {
        ShowCurrentException();
      }
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int TApplication::HookMainWindow(std::function<void(UINT, WPARAM, LPARAM)> hook) {
  FHooks.emplace_back(FNextHookId, std::move(hook));
  return FNextHookId++;
}

void TApplication::UnhookMainWindow(int id) {
  std::erase_if(FHooks, [id](const auto& entry) { return entry.first == id; });
}

bool TApplication::DispatchShortCut(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  TForm* form = FindForm(msg.hwnd);
  return form != nullptr && form->IsShortCut(msg);
}

void TApplication::Run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (DispatchShortCut(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (DispatchShortCut(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

TApplication& Application() {
  if (!gApplication) throw EVemInternalError(L"Internal Error: Application not assigned.");
  return *gApplication;
}

bool HasApplication() noexcept { return gApplication != nullptr; }

void InitializeApplication() {
  if (!gApplication) gApplication = std::make_unique<TApplication>();
}

void FinalizeApplication() { gApplication.reset(); }

// --- TForm -----------------------------------------------------------------

TForm::TForm() {
  if (HasApplication()) Application().FForms.push_back(this);
}

TForm::~TForm() {
  if (FHandle != nullptr) {
    SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
    DestroyWindow(FHandle);
  }
  for (HFONT font : FFonts) DeleteObject(font);
  if (FBackground != nullptr) DeleteObject(FBackground);
  if (HasApplication()) {
    std::erase(Application().FForms, this);
    if (Application().MainForm() == this) Application().SetMainForm(nullptr);
  }
}

void TForm::Create() {
  const std::vector<std::wstring> chain = ClassChain();
  const FormDesign* design = FindFormDesign(chain);
  if (design == nullptr) throw EResNotFound(Format(L"Resource %s not found", {chain.front()}));
  FDesign = *design;
  FDesign.ClassName = chain.front();
  CreateWindowFromDesign();
  CreateControls();
  ReadDesignProperties(FDesign);
  FormCreate();
}

void TForm::CreateNew() {
  FDesign = FormDesign{};
  FDesign.ClassName = ClassChain().front();
  CreateWindowFromDesign();
}

DWORD TForm::WindowStyle() const {
  DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  switch (FDesign.BorderStyle) {
    case FormBorderStyle::Sizeable: style |= WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME; break;
    case FormBorderStyle::Single: style |= WS_OVERLAPPED | WS_CAPTION; break;
    case FormBorderStyle::Dialog: style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME; break;
    case FormBorderStyle::ToolWindow: style |= WS_POPUP | WS_CAPTION; break;
    case FormBorderStyle::None: style |= WS_POPUP; break;
  }
  if (FDesign.BorderStyle != FormBorderStyle::None && FDesign.Icons.SystemMenu) {
    style |= WS_SYSMENU;
    if (FDesign.BorderStyle != FormBorderStyle::Dialog && FDesign.BorderStyle != FormBorderStyle::ToolWindow) {
      if (FDesign.Icons.Minimize) style |= WS_MINIMIZEBOX;
      if (FDesign.Icons.Maximize) style |= WS_MAXIMIZEBOX;
    }
  }
  return style;
}

DWORD TForm::WindowExStyle() const {
  DWORD exStyle = 0;
  if (FDesign.BorderStyle == FormBorderStyle::ToolWindow) exStyle |= WS_EX_TOOLWINDOW;
  if (FDesign.BorderStyle == FormBorderStyle::Dialog) exStyle |= WS_EX_DLGMODALFRAME;
  if (HasApplication() && Application().MainForm() == this && Application().MainFormOnTaskBar) exStyle |= WS_EX_APPWINDOW;
  return exStyle;
}

HWND TForm::OwnerWindow() const {
  if (!HasApplication()) return nullptr;
  TApplication& app = Application();
  if (app.MainForm() == this || app.MainForm() == nullptr) return nullptr;
  // Pop-up ownership: the active form of the application, else the main form.
  HWND active = GetActiveWindow();
  if (active != nullptr && FindForm(active) != nullptr && active != FHandle) return active;
  return app.MainForm()->Handle();
}

void TForm::CreateWindowFromDesign() {
  const std::wstring& className = FDesign.ClassName;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (!GetClassInfoExW(instance, className.c_str(), &windowClass)) {
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.lpszClassName = className.c_str();
    RegisterClassExW(&windowClass);
  }
  if (FDesign.Color != kDefaultColor) FBackground = CreateSolidBrush(ToColorRef(FDesign.Color));

  const DWORD style = WindowStyle();
  const DWORD exStyle = WindowExStyle();
  RECT frame{0, 0, ScaleForDpi(FDesign.ClientWidth), ScaleForDpi(FDesign.ClientHeight)};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  int left = ScaleForDpi(FDesign.Left);
  int top = ScaleForDpi(FDesign.Top);
  if (FDesign.Position != FormPosition::Designed) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (FDesign.Position == FormPosition::MainFormCenter && HasApplication() && Application().MainForm() != nullptr &&
        Application().MainForm() != this)
      GetWindowRect(Application().MainForm()->Handle(), &area);
    left = area.left + (area.right - area.left - width) / 2;
    top = area.top + (area.bottom - area.top - height) / 2;
  }
  FHandle = CreateWindowExW(exStyle, className.c_str(), ResolveDesignText(FDesign.Caption).c_str(), style, left, top,
                            width, height, OwnerWindow(), nullptr, instance, this);
  if (FHandle == nullptr) throw EVemInternalError(L"Internal Error: Cannot create the window of " + className);
  SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(FDesign.Font)), FALSE);
}

HFONT TForm::FontFor(const FontDesign& font) {
  LOGFONTW description{};
  description.lfHeight = -ScaleForDpi(font.Height);
  description.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(description.lfFaceName, font.Name.c_str(), LF_FACESIZE);
  HFONT handle = CreateFontIndirectW(&description);
  FFonts.push_back(handle);
  return handle;
}

void TForm::CreateControls() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  int id = 100;
  for (const ControlDesign& design : FDesign.Controls) {
    const wchar_t* windowClass = L"STATIC";
    DWORD style = WS_CHILD | (design.Visible ? WS_VISIBLE : 0);
    DWORD exStyle = 0;
    switch (design.Kind) {
      case ControlKind::Label:
        style |= SS_NOPREFIX | (design.Alignment == TextAlignment::Center  ? SS_CENTER
                                : design.Alignment == TextAlignment::Right ? SS_RIGHT
                                                                           : SS_LEFT);
        break;
      case ControlKind::Button:
        windowClass = L"BUTTON";
        style |= WS_TABSTOP | (design.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        break;
      case ControlKind::FlatButton: windowClass = L"BUTTON"; style |= BS_PUSHBUTTON | BS_FLAT; break;
      case ControlKind::CheckBox: windowClass = L"BUTTON"; style |= WS_TABSTOP | BS_AUTOCHECKBOX; break;
      case ControlKind::Edit:
        windowClass = L"EDIT";
        style |= WS_TABSTOP | ES_AUTOHSCROLL;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::MultiLineEdit:
        windowClass = L"EDIT";
        style |= WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | ES_WANTRETURN;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::ComboBox:
        windowClass = L"COMBOBOX";
        style |= WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | (design.Sorted ? CBS_SORT : 0);
        break;
      case ControlKind::ListBox:
        windowClass = L"LISTBOX";
        style |= WS_TABSTOP | LBS_NOTIFY | WS_VSCROLL;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::Bevel: style |= SS_ETCHEDHORZ; break;
    }
    HWND control = CreateWindowExW(exStyle, windowClass, ResolveDesignText(design.Caption).c_str(), style,
                                   ScaleForDpi(design.Left), ScaleForDpi(design.Top), ScaleForDpi(design.Width),
                                   ScaleForDpi(design.Height), FHandle, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)),
                                   instance, nullptr);
    HFONT font = FontFor(design.HasFont ? design.Font : FDesign.Font);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    FControls.push_back({design.Name, control, design});
  }
}

TControlWindow* TForm::FindControl(std::wstring_view name) {
  return const_cast<TControlWindow*>(std::as_const(*this).FindControl(name));
}

const TControlWindow* TForm::FindControl(std::wstring_view name) const {
  for (const TControlWindow& control : FControls)
    if (control.Name == name) return &control;
  return nullptr;
}

void TForm::ValidateRename(TControlWindow* component, std::wstring_view, std::wstring_view newName) {
  for (const TControlWindow& control : FControls)
    if (&control != component && !newName.empty() && SameText(control.Name, newName))
      throw EComponentError(Format(L"A component named %s already exists", {newName}));
}

void TForm::RenameControl(std::wstring_view curName, std::wstring_view newName) {
  TControlWindow* control = FindControl(curName);
  if (control == nullptr) throw EComponentError(Format(L"Component %s not found", {curName}));
  ValidateRename(control, curName, newName);
  control->Name = newName;
}

bool TForm::Visible() const { return FHandle != nullptr && IsWindowVisible(FHandle); }

void TForm::Show() {
  ShowWindow(FHandle, SW_SHOW);
  UpdateWindow(FHandle);
}

void TForm::Hide() { ShowWindow(FHandle, SW_HIDE); }

void TForm::Close() { PostMessageW(FHandle, WM_CLOSE, 0, 0); }

bool TForm::IsShortCut(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || (msg.wParam != VK_ESCAPE && msg.wParam != VK_RETURN)) return false;
  // Escape presses the form's cancel button, Enter its default button.
  for (const TControlWindow& control : FControls) {
    const bool presses = msg.wParam == VK_ESCAPE ? control.Design.Cancel : control.Design.Default;
    if (!presses || !IsWindowEnabled(control.Handle)) continue;
    SendMessageW(FHandle, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control.Handle), BN_CLICKED),
                 reinterpret_cast<LPARAM>(control.Handle));
    return true;
  }
  return false;
}

LRESULT TForm::ColorControl(UINT message, HDC dc, HWND control) {
  LRESULT brush = 0;
  if (FBackground != nullptr) {
    SetBkColor(dc, ToColorRef(FDesign.Color));
    brush = reinterpret_cast<LRESULT>(FBackground);
  } else {
    brush = DefWindowProcW(FHandle, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
  }
  for (const TControlWindow& entry : FControls) {
    if (entry.Handle != control) continue;
    const FontDesign& font = entry.Design.HasFont ? entry.Design.Font : FDesign.Font;
    if (font.Color != kDefaultColor) SetTextColor(dc, ToColorRef(font.Color));
    break;
  }
  return brush;
}

LRESULT TForm::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(FHandle, message, wParam, lParam);
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  switch (message) {
    case WM_ERASEBKGND:
      if (FBackground == nullptr) break;
      {
        RECT client;
        GetClientRect(FHandle, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, FBackground);
      }
      handled = true;
      return 1;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      handled = true;
      return ColorControl(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
      // While the program is busy its cursor shows over every window.
      if (UserInterface* screen = PortSlot<UserInterface>(); screen != nullptr && LOWORD(lParam) == HTCLIENT &&
                                                              screen->ScreenCursor() != crDefault) {
        screen->SetScreenCursor(screen->ScreenCursor());
        handled = true;
        return TRUE;
      }
      break;
    case WM_CLOSE:
      handled = true;
      if (HasApplication() && Application().MainForm() == this) {
        DestroyWindow(FHandle);
      } else {
        Hide();
      }
      return 0;
    case WM_DESTROY:
      if (HasApplication() && Application().MainForm() == this) PostQuitMessage(0);
      break;
    default:
      break;
  }
  return 0;
}

LRESULT CALLBACK TForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* form = static_cast<TForm*>(create->lpCreateParams);
    form->FHandle = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    form->FHandle = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  try {
    bool handled = false;
    const LRESULT result = form->HandleMessage(message, wParam, lParam, handled);
    if (handled) return result;
  } catch (...) {
    ShowCurrentException();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TForm* FindForm(HWND window) {
  if (!HasApplication()) return nullptr;
  for (HWND current = window; current != nullptr; current = GetParent(current)) {
    for (TForm* form : Application().Forms())
      if (form->Handle() == current) return form;
    if ((GetWindowLongW(current, GWL_STYLE) & WS_CHILD) == 0) break;
  }
  return nullptr;
}

}  // namespace ostrevin
