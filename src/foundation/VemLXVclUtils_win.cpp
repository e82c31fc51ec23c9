// VemLXVclUtils_win.cpp - the UserInterface port over Win32: console, cursor, flash windows.
//
// Flash windows are popup tool windows with a caption and no system menu
// (so no border icons), sized so that their client area has height 0. The
// screen cursor is one value for the process: while it is not the default
// cursor, a flash window under the mouse shows it too.
#include "foundation/VemLXVclUtilsWin32.h"

#include <string>
#include <string_view>

#include "platform/Win32Error.h"
#include "platform/WinHandles_win.h"

namespace ostrevin {

namespace {

constexpr DWORD kFlashStyle = WS_POPUP | WS_CAPTION;
constexpr DWORD kFlashExStyle = WS_EX_TOOLWINDOW;
constexpr UINT kRefreshFrameFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
static_assert(kRefreshFrameFlags == 0x37);
constexpr int kInitialWidth = 320;  // at 96 dpi

TCursor gScreenCursor = crDefault;

HCURSOR CursorHandle(TCursor cursor) {
  const wchar_t* id = IDC_ARROW;
  switch (cursor) {
    case -3: id = IDC_CROSS; break;
    case -4: id = IDC_IBEAM; break;
    case crHourGlass: id = IDC_WAIT; break;
    case -18: id = IDC_NO; break;
    case -19: id = IDC_APPSTARTING; break;
    case -20: id = IDC_HELP; break;
    case -21: id = IDC_HAND; break;
    case -22: id = IDC_SIZEALL; break;
    default: break;
  }
  return LoadCursorW(nullptr, id);
}

LRESULT CALLBACK FlashWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETCURSOR && gScreenCursor != crDefault) {
    SetCursor(CursorHandle(gScreenCursor));
    return TRUE;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterFlashWindowClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = FlashWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kFlashWindowClassName;
  if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) RaiseLastOSError();
  registered = true;
}

struct FontTraits {
  using Handle = HFONT;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { DeleteObject(h); }
};
using UniqueFont = UniqueHandle<FontTraits>;

struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { DestroyWindow(h); }
};
using UniqueWindow = UniqueHandle<WindowTraits>;

// The font of tool-window title bars.
UniqueFont CaptionFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return UniqueFont();
  return UniqueFont(CreateFontIndirectW(&metrics.lfSmCaptionFont));
}

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

class Win32FlashWindow : public FlashWindow {
 public:
  Win32FlashWindow() : FFont(CaptionFont()) {
    RegisterFlashWindowClass();
    RECT frame{0, 0, MulDiv(kInitialWidth, ScreenDpi(), 96), 0};  // client height 0
    AdjustWindowRectEx(&frame, kFlashStyle, FALSE, kFlashExStyle);
    FWindow.Reset(CreateWindowExW(kFlashExStyle, kFlashWindowClassName, L"", kFlashStyle, 0, 0,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr));
    if (!FWindow) RaiseLastOSError();
  }

  WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(FWindow.Get()); }

  std::wstring Caption() const override {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(FWindow.Get())) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(FWindow.Get(), text.data(), static_cast<int>(text.size()))));
    return text;
  }

  void SetCaption(std::wstring_view caption) override { SetWindowTextW(FWindow.Get(), std::wstring(caption).c_str()); }

  int Width() const override {
    RECT rect{};
    GetWindowRect(FWindow.Get(), &rect);
    return rect.right - rect.left;
  }

  void SetWidth(int width) override {
    RECT rect{};
    GetWindowRect(FWindow.Get(), &rect);
    SetWindowPos(FWindow.Get(), nullptr, 0, 0, width, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  int CaptionWidth(std::wstring_view text) const override {
    const HDC dc = GetDC(FWindow.Get());
    if (dc == nullptr) return 0;
    const HGDIOBJ previous = FFont ? SelectObject(dc, FFont.Get()) : nullptr;
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    if (previous != nullptr) SelectObject(dc, previous);
    ReleaseDC(FWindow.Get(), dc);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, kFlashStyle, FALSE, kFlashExStyle);
    // The title is drawn inset from the frame; an average character on each
    // side keeps its end from being cut off.
    return size.cx + (frame.right - frame.left) + 2 * metrics.tmAveCharWidth;
  }

  bool Visible() const override { return IsWindowVisible(FWindow.Get()) != FALSE; }

  void Show() override {
    if (!FShown) CentreOnScreen();
    FShown = true;
    ShowWindow(FWindow.Get(), SW_SHOWNORMAL);
    UpdateWindow(FWindow.Get());
  }

  void RefreshFrame() override { SetWindowPos(FWindow.Get(), nullptr, 0, 0, 0, 0, kRefreshFrameFlags); }

 private:
  void CentreOnScreen() {
    RECT rect{};
    GetWindowRect(FWindow.Get(), &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    SetWindowPos(FWindow.Get(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  UniqueFont FFont;  // declared first: the window goes before its font
  UniqueWindow FWindow;
  bool FShown = false;
};

bool ExecutableIsConsoleProgram() {
  const auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
  if (base == nullptr) return false;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  return nt->Signature == IMAGE_NT_SIGNATURE && nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI;
}

class Win32UserInterface : public UserInterface {
 public:
  bool IsConsoleProgram() const override { return FConsole; }

  void WriteLine(std::wstring_view text) override {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
    const std::wstring line = std::wstring(text) + L"\r\n";
    DWORD written = 0;
    DWORD mode = 0;
    if (GetConsoleMode(output, &mode)) {
      WriteConsoleW(output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
      return;
    }
    // Redirected: bytes in the console's code page, as a console would show them.
    const UINT codePage = GetConsoleOutputCP() != 0 ? GetConsoleOutputCP() : CP_ACP;
    const int length = static_cast<int>(line.size());
    const int size = WideCharToMultiByte(codePage, 0, line.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, line.data(), length, bytes.data(), size, nullptr, nullptr);
    WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }

  TCursor ScreenCursor() const override { return gScreenCursor; }

  void SetScreenCursor(TCursor cursor) override {
    gScreenCursor = cursor;
    if (cursor == crDefault) {
      // Let the window of this thread under the mouse choose its cursor.
      POINT point{};
      GetCursorPos(&point);
      const HWND window = WindowFromPoint(point);
      if (window != nullptr && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
        const LRESULT hit = SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
        SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(hit, WM_MOUSEMOVE));
        return;
      }
    }
    SetCursor(CursorHandle(cursor));
  }

  std::unique_ptr<FlashWindow> CreateFlashWindow() override { return std::make_unique<Win32FlashWindow>(); }

  WindowHandle ActiveWindow() const override { return reinterpret_cast<WindowHandle>(GetActiveWindow()); }

  void ActivateWindow(WindowHandle window) override {
    const HWND handle = reinterpret_cast<HWND>(window);
    if (IsWindow(handle)) SetActiveWindow(handle);
  }

  bool IsMainThread() const override { return GetCurrentThreadId() == FMainThreadId; }

 private:
  bool FConsole = ExecutableIsConsoleProgram();
  DWORD FMainThreadId = GetCurrentThreadId();
};

}  // namespace

std::unique_ptr<UserInterface> MakeWin32UserInterface() { return std::make_unique<Win32UserInterface>(); }

}  // namespace ostrevin
