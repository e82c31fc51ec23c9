// FakeUserInterface.h - an in-memory UserInterface port for native tests.
//
// Flash windows are records the test can inspect while they exist; a
// caption needs 7 pixels per character; new windows are 320 pixels wide. The program
// counts as a GUI program on its main thread until a test says otherwise,
// and standard output is a list of lines.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "platform/UserInterface.h"

namespace ostrevin {

class FakeUserInterface : public UserInterface {
 public:
  static constexpr int kCharWidth = 7;
  static constexpr int kInitialWidth = 320;

  class Window : public FlashWindow {
   public:
    Window(FakeUserInterface& owner, WindowHandle handle) : FOwner(owner), FHandle(handle) {}
    ~Window() override {
      auto& windows = FOwner.FWindows;
      windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
      if (FOwner.FActive == FHandle) FOwner.FActive = 0;
    }
    WindowHandle Handle() const override { return FHandle; }
    std::wstring Caption() const override { return FCaption; }
    void SetCaption(std::wstring_view caption) override { FCaption = caption; }
    int Width() const override { return FWidth; }
    void SetWidth(int width) override { FWidth = width; }
    int CaptionWidth(std::wstring_view text) const override { return kCharWidth * static_cast<int>(text.size()); }
    bool Visible() const override { return FVisible; }
    void Show() override {
      FVisible = true;
      FOwner.FActive = FHandle;  // a shown form becomes the active window
    }
    void RefreshFrame() override { ++FFrameRefreshes; }

    int FrameRefreshes() const { return FFrameRefreshes; }

   private:
    FakeUserInterface& FOwner;
    WindowHandle FHandle;
    std::wstring FCaption;
    int FWidth = kInitialWidth;
    bool FVisible = false;
    int FFrameRefreshes = 0;
  };

  bool IsConsoleProgram() const override { return FConsole; }
  void WriteLine(std::wstring_view text) override { FOutput.emplace_back(text); }
  TCursor ScreenCursor() const override { return FCursor; }
  void SetScreenCursor(TCursor cursor) override { FCursor = cursor; }
  std::unique_ptr<FlashWindow> CreateFlashWindow() override {
    auto window = std::make_unique<Window>(*this, FNextHandle++);
    FWindows.push_back(window.get());
    return window;
  }
  WindowHandle ActiveWindow() const override { return FActive; }
  void ActivateWindow(WindowHandle window) override { FActive = window; }
  bool IsMainThread() const override { return FMainThread; }

  // Set-up and inspection.
  void SetConsole(bool console) { FConsole = console; }
  void SetMainThread(bool mainThread) { FMainThread = mainThread; }
  const std::vector<std::wstring>& Output() const { return FOutput; }
  // The flash windows that exist, oldest first.
  const std::vector<Window*>& Windows() const { return FWindows; }

 private:
  bool FConsole = false;
  bool FMainThread = true;
  TCursor FCursor = crDefault;
  WindowHandle FActive = 0;
  WindowHandle FNextHandle = 0x100;
  std::vector<std::wstring> FOutput;
  std::vector<Window*> FWindows;
};

}  // namespace ostrevin
