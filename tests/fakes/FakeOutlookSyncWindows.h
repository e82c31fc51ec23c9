// FakeOutlookSyncWindows.h - in-memory Outlook sync settings windows for native tests.
//
// The controls are plain values a test reads and sets; the messages the
// window would show are recorded. The window that exists is Open().
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "outlook/OutlookSyncWindow.h"

namespace ostrevin {

class FakeOutlookSyncWindows : public OutlookSyncWindows {
 public:
  class Window : public OutlookSyncWindow {
   public:
    explicit Window(FakeOutlookSyncWindows& owner) : FOwner(owner) { FOwner.FOpen.push_back(this); }
    ~Window() override { std::erase(FOwner.FOpen, this); }

    void SetEvents(OutlookSyncWindowEvents* events) override { Events = events; }
    std::wstring ProfileText() const override { return Profile; }
    void SetProfileText(std::wstring_view text) override { Profile = text; }
    void SetProfiles(const TVemStringList& names) override {
      Profiles.clear();
      for (const std::wstring& name : names) Profiles.push_back(name);
    }
    bool UseMapi() const override { return UseMapiChecked; }
    void SetUseMapi(bool checked) override { UseMapiChecked = checked; }
    bool ImportOldTasks() const override { return ImportOldTasksChecked; }
    void SetImportOldTasks(bool checked) override { ImportOldTasksChecked = checked; }
    std::wstring FolderPath(TOutlookFolderBox box) const override {
      auto it = Folders.find(box);
      return it == Folders.end() ? std::wstring() : it->second;
    }
    void SetFolderPath(TOutlookFolderBox box, std::wstring_view path) override { Folders[box] = path; }
    void SetControlStates(const TOutlookSyncControlStates& states) override { States = states; }
    void ShowMessage(std::wstring_view text) override { Messages.emplace_back(text); }
    void Close() override {
      ++Closes;
      if (Events != nullptr) Events->FormClose();
    }

    OutlookSyncWindowEvents* Events = nullptr;
    std::wstring Profile;
    std::vector<std::wstring> Profiles;
    bool UseMapiChecked = false;
    bool ImportOldTasksChecked = false;
    std::map<TOutlookFolderBox, std::wstring> Folders;
    TOutlookSyncControlStates States;
    std::vector<std::wstring> Messages;
    int Closes = 0;

   private:
    FakeOutlookSyncWindows& FOwner;
  };

  std::unique_ptr<OutlookSyncWindow> CreateOutlookSyncWindow() override {
    ++Created;
    return std::make_unique<Window>(*this);
  }

  // The window that exists, or null.
  Window* Open() const { return FOpen.empty() ? nullptr : FOpen.back(); }
  int Created = 0;

 private:
  std::vector<Window*> FOpen;
};

}  // namespace ostrevin
