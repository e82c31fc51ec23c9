// OutlookSyncSettingsFrm_win.cpp - the Win32 window of the Outlook sync settings.
//
// A translatable, dialog-bordered form with the controls of the settings
// ("Sync with Outlook Settings"). It never decides anything itself: clicks,
// leaving the profile box, Escape, closing and its 300 ms timer go to the
// logic's event handlers (TZereZirurodAvavLaunchForm), which read and set
// the controls through OutlookSyncWindow.
#include "outlook/OutlookSyncSettingsFrm_win.h"

#include <string>
#include <utility>

#include "forms/VemTrxForms_win.h"
#include "outlook/OutlookResources.h"

namespace ostrevin {

namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 300;

// The controls in tab order: profile box, the three folder boxes, the two
// check boxes, the database options, OK and Logoff; the labels, rules and
// "..." buttons are no tab stops.
FormDesign OutlookSyncFormDesign() {
  FormDesign design;
  design.ClassName = kOutlookSyncFormClassName;
  design.Caption = {IDS_OUTLOOKSYNC_CAPTION, L"Sync with Outlook Settings"};
  design.ClientWidth = 417;
  design.ClientHeight = 359;
  design.BorderStyle = FormBorderStyle::Dialog;
  design.Icons = {.SystemMenu = false, .Minimize = false, .Maximize = false};
  design.Position = FormPosition::ScreenCenter;
  design.Font = {L"MS Shell Dlg 2", 11, kDefaultColor};

  using K = ControlKind;
  ControlDesign inUse = MakeControlDesign(K::Label, L"InUseLbl", 93, 4, 40, 13, {IDS_OUTLOOKSYNC_INUSE, L"In Use"});
  inUse.HasFont = true;
  inUse.Font = {L"MS Shell Dlg 2", 11, kMaroon, /*Bold=*/true};
  inUse.Visible = false;
  ControlDesign profileBox = MakeControlDesign(K::ComboBox, L"ProfileBox", 93, 19, 293, 21);
  profileBox.Sorted = true;
  ControlDesign ok = MakeControlDesign(K::Button, L"OKBtn", 311, 314, 75, 25, {IDS_OUTLOOKSYNC_OK, L"OK"});
  ok.Default = true;

  design.Controls = {
      MakeControlDesign(K::Label, L"ProfileLbl", 22, 22, 60, 13, {IDS_OUTLOOKSYNC_PROFILE, L"Profile"}),
      inUse,
      profileBox,
      MakeControlDesign(K::Label, L"SyncContacts", 22, 61, 60, 13, {IDS_OUTLOOKSYNC_CONTACTS, L"Contacts"}),
      MakeControlDesign(K::Edit, L"ContactsPathEdit", 93, 58, 269, 21),
      MakeControlDesign(K::FlatButton, L"EditContactsPathBtn", 363, 58, 23, 22, {0, L"..."}),
      MakeControlDesign(K::Label, L"SyncTasks", 22, 100, 60, 13, {IDS_OUTLOOKSYNC_TASKS, L"Tasks"}),
      MakeControlDesign(K::Edit, L"TasksPathEdit", 93, 97, 269, 21),
      MakeControlDesign(K::FlatButton, L"EditTasksPathBtn", 363, 97, 23, 22, {0, L"..."}),
      MakeControlDesign(K::Label, L"SyncCalendar", 22, 139, 60, 13, {IDS_OUTLOOKSYNC_CALENDAR, L"Calendar"}),
      MakeControlDesign(K::Edit, L"CalendarPathEdit", 93, 136, 269, 21),
      MakeControlDesign(K::FlatButton, L"EditCalendarPathBtn", 363, 136, 23, 22, {0, L"..."}),
      MakeControlDesign(K::Bevel, L"VemBevel1", 14, 177, 390, 2),
      MakeControlDesign(K::Label, L"OptionsLbl", 22, 195, 60, 13, {IDS_OUTLOOKSYNC_OPTIONS, L"Options"}),
      MakeControlDesign(K::CheckBox, L"UseMapi", 93, 194, 293, 17, {IDS_OUTLOOKSYNC_USEMAPI, L"Use MAPI Enhancements"}),
      MakeControlDesign(K::CheckBox, L"ImportOldTasksBox", 93, 222, 293, 17,
              {IDS_OUTLOOKSYNC_IMPORTOLD, L"Allow Import of Completed Tasks/Appointments"}),
      MakeControlDesign(K::Button, L"DbOptionsBtn", 93, 250, 293, 25,
              {IDS_OUTLOOKSYNC_DBOPTIONS, L"Contact Sync Options For This Database..."}),
      MakeControlDesign(K::Bevel, L"VemBevel2", 14, 295, 390, 2),
      ok,
      MakeControlDesign(K::Button, L"LogOffBtn", 14, 314, 75, 25, {IDS_OUTLOOKSYNC_LOGOFF, L"Logoff"}),
  };
  design.Properties[L"VemTranslatableProps.Strings"] =
      L"('Caption' 'DbOptionsBtn.Caption' 'InUseLbl.Caption' 'LogOffBtn.Caption' 'OKBtn.Caption' "
      L"'ProfileLbl.Caption' 'SyncCalendar.Caption' 'SyncContacts.Caption' 'SyncTasks.Caption' "
      L"'UseMapi.Caption')";
  return design;
}

const wchar_t* FolderEditName(TOutlookFolderBox box) {
  switch (box) {
    case TOutlookFolderBox::Contacts: return L"ContactsPathEdit";
    case TOutlookFolderBox::Tasks: return L"TasksPathEdit";
    case TOutlookFolderBox::Calendar: return L"CalendarPathEdit";
  }
  return L"";
}

class TZereZirurodAvavLaunchWindow final : public TVemTrxForm, public OutlookSyncWindow {
 public:
  std::vector<std::wstring> ClassChain() const override {
    return {kOutlookSyncFormClassName, L"TVemTrxForm", L"TVemFormLX"};
  }

  void SetEvents(OutlookSyncWindowEvents* events) override { FEvents = events; }

  std::wstring ProfileText() const override { return WindowText(Child(L"ProfileBox")); }
  void SetProfileText(std::wstring_view text) override {
    SetWindowTextW(Child(L"ProfileBox"), std::wstring(text).c_str());
  }
  void SetProfiles(const TVemStringList& names) override {
    const HWND box = Child(L"ProfileBox");
    const std::wstring text = WindowText(box);  // emptying the list empties the text too
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& name : names) SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SetWindowTextW(box, text.c_str());
  }

  bool UseMapi() const override { return IsChecked(L"UseMapi"); }
  void SetUseMapi(bool checked) override { SetChecked(L"UseMapi", checked); }
  bool ImportOldTasks() const override { return IsChecked(L"ImportOldTasksBox"); }
  void SetImportOldTasks(bool checked) override { SetChecked(L"ImportOldTasksBox", checked); }

  std::wstring FolderPath(TOutlookFolderBox box) const override { return WindowText(Child(FolderEditName(box))); }
  void SetFolderPath(TOutlookFolderBox box, std::wstring_view path) override {
    SetWindowTextW(Child(FolderEditName(box)), std::wstring(path).c_str());
  }

  void SetControlStates(const TOutlookSyncControlStates& states) override {
    EnableWindow(Child(L"ProfileBox"), states.ProfileBoxEnabled);
    EnableWindow(Child(L"UseMapi"), states.UseMapiEnabled);
    ShowWindow(Child(L"InUseLbl"), states.InUseVisible ? SW_SHOWNA : SW_HIDE);
    EnableWindow(Child(L"LogOffBtn"), states.LogOffEnabled);
  }

  void ShowMessage(std::wstring_view text) override {
    MessageBoxW(Handle(), std::wstring(text).c_str(), ResolveDesignText(Design().Caption).c_str(), MB_OK);
  }

  void Close() override { TVemTrxForm::Close(); }

  bool IsShortCut(const MSG& msg) override {
    // The form previews the keys of its controls: Escape is a key press of
    // the form's own.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && FEvents != nullptr) {
      FEvents->VemTrxFormKeyPress(static_cast<wchar_t>(VK_ESCAPE));
      return true;
    }
    return TVemTrxForm::IsShortCut(msg);
  }

 protected:
  void FormCreate() override { SetTimer(Handle(), kTimer1, kTimer1Interval, nullptr); }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
    if (FEvents != nullptr) {
      switch (message) {
        case WM_TIMER:
          if (wParam != kTimer1) break;
          handled = true;
          FEvents->Timer1Timer();
          return 0;
        case WM_CLOSE:
          FEvents->FormClose();
          break;  // the base class hides the window
        case WM_COMMAND:
          if (Command(reinterpret_cast<HWND>(lParam), HIWORD(wParam))) {
            handled = true;
            return 0;
          }
          break;
        default:
          break;
      }
    }
    return TVemTrxForm::HandleMessage(message, wParam, lParam, handled);
  }

 private:
  HWND Child(const wchar_t* name) const {
    const TControlWindow* control = FindControl(name);
    return control != nullptr ? control->Handle : nullptr;
  }
  bool IsChecked(const wchar_t* name) const { return SendMessageW(Child(name), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void SetChecked(const wchar_t* name, bool checked) {
    SendMessageW(Child(name), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }

  // A control's notification; true when it is one of the events.
  bool Command(HWND control, WORD code) {
    if (control == Child(L"ProfileBox")) {
      if (code == CBN_SELCHANGE) {
        // The box's text follows the selection only after this message.
        const HWND box = Child(L"ProfileBox");
        const LRESULT index = SendMessageW(box, CB_GETCURSEL, 0, 0);
        if (index != CB_ERR) {
          std::wstring item(static_cast<std::size_t>(SendMessageW(box, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
          item.resize(static_cast<std::size_t>(
              SendMessageW(box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item.data()))));
          SetWindowTextW(box, item.c_str());
        }
      }
      if (code != CBN_SELCHANGE && code != CBN_KILLFOCUS) return false;
      FEvents->ProfileBoxClickOrExit();
      return true;
    }
    if (code != BN_CLICKED) return false;
    if (control == Child(L"UseMapi")) {
      FEvents->UseMapiClick();
    } else if (control == Child(L"EditContactsPathBtn")) {
      FEvents->EditPathBtnClick(TOutlookFolderBox::Contacts);
    } else if (control == Child(L"EditTasksPathBtn")) {
      FEvents->EditPathBtnClick(TOutlookFolderBox::Tasks);
    } else if (control == Child(L"EditCalendarPathBtn")) {
      FEvents->EditPathBtnClick(TOutlookFolderBox::Calendar);
    } else if (control == Child(L"DbOptionsBtn")) {
      FEvents->DbOptionsBtnClick();
    } else if (control == Child(L"LogOffBtn")) {
      FEvents->LogOffBtnClick();
    } else if (control == Child(L"OKBtn")) {
      Close();
    } else {
      return false;
    }
    return true;
  }

  OutlookSyncWindowEvents* FEvents = nullptr;
};

class Win32OutlookSyncWindows final : public OutlookSyncWindows {
 public:
  Win32OutlookSyncWindows() { RegisterFormDesign(OutlookSyncFormDesign()); }

  std::unique_ptr<OutlookSyncWindow> CreateOutlookSyncWindow() override {
    return CreateForm<TZereZirurodAvavLaunchWindow>();
  }
};

}  // namespace

std::unique_ptr<OutlookSyncWindows> MakeWin32OutlookSyncWindows() { return std::make_unique<Win32OutlookSyncWindows>(); }

}  // namespace ostrevin
