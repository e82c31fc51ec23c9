// OutlookSyncWindow.h - the Outlook sync settings window, as its logic sees it.
//
// The window ("Sync with Outlook Settings") shows the session settings: the
// MAPI profile, the "Use MAPI Enhancements" switch, the paths of Outlook's
// contacts, tasks and calendar folders and the "Allow Import of Completed
// Tasks/Appointments" switch. The logic (TZereZirurodAvavLaunchForm) reads
// and sets the controls through this interface and receives the window's
// events; the program makes the window with the Win32 adapter, tests with
// a fake:
//
//   std::unique_ptr<OutlookSyncWindow> window = Current<OutlookSyncWindows>().CreateOutlookSyncWindow();
//   window->SetEvents(&logic);                    // clicks, the 300 ms timer, closing
//   window->SetProfileText(L"Outlook");
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "foundation/VemClasses.h"

namespace ostrevin {

// The three folder boxes, each with its "..." button.
enum class TOutlookFolderBox { Contacts, Tasks, Calendar };

// What the session state makes of the controls (refreshed by the timer).
struct TOutlookSyncControlStates {
  bool ProfileBoxEnabled = true;
  bool UseMapiEnabled = true;
  bool InUseVisible = false;
  bool LogOffEnabled = false;
};

// The window's events, handled by the logic. An exception a handler lets
// out is shown with ShowCurrentException by the window.
class OutlookSyncWindowEvents {
 public:
  virtual void FormClose() = 0;
  virtual void UseMapiClick() = 0;
  // The profile box was clicked or left.
  virtual void ProfileBoxClickOrExit() = 0;
  virtual void EditPathBtnClick(TOutlookFolderBox box) = 0;
  // Every 300 ms while the window exists, shown or not.
  virtual void Timer1Timer() = 0;
  virtual void DbOptionsBtnClick() = 0;
  // A character typed anywhere in the window (the window previews keys).
  virtual void VemTrxFormKeyPress(wchar_t key) = 0;
  virtual void LogOffBtnClick() = 0;

 protected:
  ~OutlookSyncWindowEvents() = default;
};

class OutlookSyncWindow {
 public:
  virtual ~OutlookSyncWindow() = default;
  // Where the events go; null: nowhere.
  virtual void SetEvents(OutlookSyncWindowEvents* events) = 0;

  // The profile box: free text over a sorted list of profile names.
  virtual std::wstring ProfileText() const = 0;
  virtual void SetProfileText(std::wstring_view text) = 0;
  virtual void SetProfiles(const TVemStringList& names) = 0;
  // The "Use MAPI Enhancements" check box.
  virtual bool UseMapi() const = 0;
  virtual void SetUseMapi(bool checked) = 0;
  // The "Allow Import of Completed Tasks/Appointments" check box.
  virtual bool ImportOldTasks() const = 0;
  virtual void SetImportOldTasks(bool checked) = 0;
  virtual std::wstring FolderPath(TOutlookFolderBox box) const = 0;
  virtual void SetFolderPath(TOutlookFolderBox box, std::wstring_view path) = 0;
  virtual void SetControlStates(const TOutlookSyncControlStates& states) = 0;

  // A message box over the window.
  virtual void ShowMessage(std::wstring_view text) = 0;
  // Closes the window (FormClose runs); it is hidden, not destroyed.
  virtual void Close() = 0;
};

// The port that makes the windows.
class OutlookSyncWindows {
 public:
  static constexpr const wchar_t* kPortName = L"OutlookSyncWindows";
  virtual ~OutlookSyncWindows() = default;
  // A new, hidden window with the design's controls and empty settings.
  virtual std::unique_ptr<OutlookSyncWindow> CreateOutlookSyncWindow() = 0;
};

}  // namespace ostrevin
