// FakeCancelableWindows.h - in-memory progress windows for native tests.
//
// A label is 6 pixels per character and 13 high; the frame adds 6 pixels
// to the width; the screen is 1280 wide. The design is the one of the
// program's window at 96 dpi. Every message shown is recorded, and a test
// can act while the window handles its messages (press Cancel, say):
//
//   FakeCancelableWindows windows;
//   ScopedPort<CancelableWindows> install(windows);
//   windows.OnProcessMessages = [&] { windows.Open()->PressCancel(); };
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "progress/CancelableWindow.h"

namespace ostrevin {

class FakeCancelableWindows : public CancelableWindows {
 public:
  static constexpr int kCharWidth = 6;
  static constexpr int kLabelHeight = 13;
  static constexpr int kFrameWidth = 6;
  static constexpr int kScreenWidth = 1280;

  class Window : public CancelableWindow {
   public:
    explicit Window(FakeCancelableWindows& owner) : FOwner(owner) { FOwner.FOpen.push_back(this); }
    ~Window() override { std::erase(FOwner.FOpen, this); }

    std::wstring Message() const override { return FMessage; }
    void SetMessage(std::wstring_view text) override {
      FMessage = text;
      FLabel.Width = kCharWidth * static_cast<int>(text.size());
      FOwner.Messages.emplace_back(text);
    }
    TBounds MessageBounds() const override { return FLabel; }
    TBounds CancelButtonBounds() const override { return FButton; }
    void MoveCancelButton(int left, int top) override {
      FButton.Left = left;
      FButton.Top = top;
    }
    int ClientWidth() const override { return FClientWidth; }
    int ClientHeight() const override { return FClientHeight; }
    void SetClientSize(int width, int height) override {
      FClientWidth = width;
      FClientHeight = height;
    }
    int Width() const override { return FClientWidth + kFrameWidth; }
    void SetLeft(int left) override { FLeft = left; }
    int ScreenWidth() const override { return kScreenWidth; }
    void Repaint() override { ++FRepaints; }
    void StartModal() override {
      if (FOwner.FailStartModal) throw std::runtime_error("StartModal refused");
      FModal = true;
    }
    void StopModal() override { FModal = false; }
    void ProcessMessages() override {
      ++FOwner.MessagesProcessed;
      if (FOwner.OnProcessMessages) FOwner.OnProcessMessages();
    }
    void SetOnCancel(std::function<void()> onCancel) override { FOnCancel = std::move(onCancel); }

    // What a click on Cancel does.
    void PressCancel() { FOnCancel(); }
    bool Modal() const { return FModal; }
    int Left() const { return FLeft; }
    int Repaints() const { return FRepaints; }

   private:
    FakeCancelableWindows& FOwner;
    std::wstring FMessage = L"Please wait...";
    TBounds FLabel{103, 10, 84, kLabelHeight};
    TBounds FButton{86, 36, 100, 25};
    int FClientWidth = 272;
    int FClientHeight = 72;
    int FLeft = 504;
    int FRepaints = 0;
    bool FModal = false;
    std::function<void()> FOnCancel;
  };

  std::unique_ptr<CancelableWindow> CreateCancelableWindow() override {
    ++Created;
    return std::make_unique<Window>(*this);
  }

  // The window that exists, or null.
  Window* Open() const { return FOpen.empty() ? nullptr : FOpen.back(); }

  // Every text set on a label, in order.
  std::vector<std::wstring> Messages;
  int Created = 0;
  int MessagesProcessed = 0;
  bool FailStartModal = false;
  std::function<void()> OnProcessMessages;

 private:
  std::vector<Window*> FOpen;
};

}  // namespace ostrevin
