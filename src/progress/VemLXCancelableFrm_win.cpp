// VemLXCancelableFrm_win.cpp - the Win32 windows of the cancelable progress message.
//
// A small dialog-bordered TVemFormLX with the message label MsgLbl, which is
// sized to its text like an auto-sizing label, and the Cancel button
// CancelBtn, which Escape presses too. The layout itself is the logic's
// (VemLXCancelableFrm); the window only measures, moves and paints.
#include "progress/VemLXCancelableFrm_win.h"

#include <functional>
#include <string>
#include <utility>

#include "forms/VemLXForms_win.h"
#include "progress/ProgressResources.h"

namespace ostrevin {

namespace {

FormDesign CancelableFormDesign() {
  FormDesign design;
  design.ClassName = kCancelableFormClassName;
  design.Caption = {0, L"Please wait"};
  design.ClientWidth = 272;
  design.ClientHeight = 72;
  design.BorderStyle = FormBorderStyle::Dialog;
  design.Icons = {.SystemMenu = false, .Minimize = false, .Maximize = false};
  design.Position = FormPosition::ScreenCenter;
  design.Font = {L"MS Shell Dlg 2", 11, kDefaultColor};

  ControlDesign label =
      MakeControlDesign(ControlKind::Label, L"MsgLbl", 103, 10, 66, 13, {IDS_CANCELABLE_MESSAGE, L"Please wait..."});
  ControlDesign button =
      MakeControlDesign(ControlKind::Button, L"CancelBtn", 86, 36, 100, 25, {IDS_CANCELABLE_CANCEL, L"Cancel"});
  button.Cancel = true;

  design.Controls = {label, button};
  return design;
}

class TVemCancelableWindow final : public TVemFormLX, public CancelableWindow {
 public:
  std::vector<std::wstring> ClassChain() const override { return {kCancelableFormClassName, L"TVemFormLX"}; }

  std::wstring Message() const override { return WindowText(FLabel); }

  void SetMessage(std::wstring_view text) override {
    SetWindowTextW(FLabel, std::wstring(text).c_str());
    FitLabelToText();
  }

  TBounds MessageBounds() const override { return BoundsOf(FLabel); }
  TBounds CancelButtonBounds() const override { return BoundsOf(FButton); }

  void MoveCancelButton(int left, int top) override {
    SetWindowPos(FButton, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  int ClientWidth() const override { return ClientRect().right; }
  int ClientHeight() const override { return ClientRect().bottom; }

  void SetClientSize(int width, int height) override {
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(Handle(), GWL_EXSTYLE)));
    SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  int Width() const override {
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    return rect.right - rect.left;
  }

  void SetLeft(int left) override {
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    SetWindowPos(Handle(), nullptr, left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  int ScreenWidth() const override { return GetSystemMetrics(SM_CXSCREEN); }

  void Repaint() override {
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }

  void StartModal() override { TVemFormLX::StartModal(); }
  void StopModal() override { TVemFormLX::StopModal(); }
  void ProcessMessages() override { Application().ProcessMessages(); }
  void SetOnCancel(std::function<void()> onCancel) override { FOnCancel = std::move(onCancel); }

 protected:
  void FormCreate() override {
    FLabel = FindControl(L"MsgLbl")->Handle;
    FButton = FindControl(L"CancelBtn")->Handle;
    SetWindowTextW(Handle(), ResolveDesignText({IDS_CANCELABLE_CAPTION, L"Please Wait..."}).c_str());
    FitLabelToText();
  }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
    const bool cancelClicked =
        message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && reinterpret_cast<HWND>(lParam) == FButton;
    // Closing the window any other way (Alt+F4) means the same as Cancel.
    if (cancelClicked || message == WM_CLOSE) {
      handled = true;
      if (FOnCancel) FOnCancel();
      return 0;
    }
    return TVemFormLX::HandleMessage(message, wParam, lParam, handled);
  }

 private:
  RECT ClientRect() const {
    RECT rect{};
    GetClientRect(Handle(), &rect);
    return rect;
  }

  TBounds BoundsOf(HWND control) const {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
  }

  // The label takes the size of its text in its font, as an auto-sizing
  // label does; an empty text keeps the height of one line.
  void FitLabelToText() {
    const std::wstring text = WindowText(FLabel);
    const HDC dc = GetDC(FLabel);
    if (dc == nullptr) return;
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(FLabel, WM_GETFONT, 0, 0)));
    RECT extent{0, 0, 0, 0};
    if (text.empty()) {
      TEXTMETRICW metrics{};
      GetTextMetricsW(dc, &metrics);
      extent.bottom = metrics.tmHeight;
    } else {
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent, DT_CALCRECT | DT_NOPREFIX | DT_LEFT);
    }
    SelectObject(dc, previous);
    ReleaseDC(FLabel, dc);
    SetWindowPos(FLabel, nullptr, 0, 0, extent.right, extent.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  HWND FLabel = nullptr;
  HWND FButton = nullptr;
  std::function<void()> FOnCancel;
};

class Win32CancelableWindows final : public CancelableWindows {
 public:
  Win32CancelableWindows() { RegisterFormDesign(CancelableFormDesign()); }

  std::unique_ptr<CancelableWindow> CreateCancelableWindow() override { return CreateForm<TVemCancelableWindow>(); }
};

}  // namespace

std::unique_ptr<CancelableWindows> MakeWin32CancelableWindows() { return std::make_unique<Win32CancelableWindows>(); }

}  // namespace ostrevin
