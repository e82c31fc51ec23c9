// OutlookSyncSettingsFrm.h - the Outlook sync launch window: session settings and the shared session.
//
// One hidden instance holds the settings of the Outlook session (registry
// key HKEY_CURRENT_USER "Software\Halvorn\VemKarto\ZereZirurodAvav") in its
// controls and the state of the session the broker (VemOutlookUtils) hands
// out: the use count, the MAPI session, the Outlook connection and
// namespace. The broker makes it on first use:
//
//   TZereZirurodAvavLaunchForm& form = GetOutlookSyncLaunchForm();
//   form.SaveSettings();
//   form.ConnectOutlook();   // as needed; raises while another profile is in use
//   form.ConnectMapi();
//
// Portable: the window is reached through the OutlookSyncWindows port.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "outlook/OutlookSyncWindow.h"
#include "outlook/VemOutlookUtils.h"
#include "platform/ExtendedMapi.h"
#include "platform/OutlookObjectModel.h"

namespace ostrevin {

// The settings key below HKEY_CURRENT_USER.
inline constexpr const wchar_t* kOutlookSyncSettingsKey = L"Software\\Halvorn\\VemKarto\\ZereZirurodAvav";

// A database connection of the contact database; this program has none.
class TVemDbConnection;

class TZereZirurodAvavLaunchForm final : private OutlookSyncWindowEvents {
 public:
  // Makes the Outlook server component and the hidden window, then runs
  // FormCreate in the busy state; an error of FormCreate is shown with
  // ShowCurrentException and the window exists all the same.
  TZereZirurodAvavLaunchForm();
  // LogOffSessions, ignoring any error.
  ~TZereZirurodAvavLaunchForm();
  TZereZirurodAvavLaunchForm(const TZereZirurodAvavLaunchForm&) = delete;
  TZereZirurodAvavLaunchForm& operator=(const TZereZirurodAvavLaunchForm&) = delete;

  OutlookSyncWindow& Window() const noexcept { return *FWindow; }

  // The session state, read-only for everyone but the broker.
  std::int32_t RefCount() const noexcept { return FRefCount; }
  const std::shared_ptr<MapiSession>& Session() const noexcept { return FSession; }
  const std::shared_ptr<OutlookNameSpace>& NameSpace() const noexcept { return FOutlookNameSpace; }
  bool OutlookConnected() const noexcept { return FOutlookApp2_Connected; }
  bool OutlookQuit() const noexcept { return FOutlookQuit; }
  const std::wstring& LastOutlookProfile() const noexcept { return FLastOutlookProfile; }
  const std::wstring& LastMapiProfile() const noexcept { return FLastMapiProfile; }
  const TOutlookApplication& OutlookApp() const noexcept { return *FOutlookApp2; }

  // Fills the profile list with MAPI's profiles (unless Outlook's build
  // cannot share MAPI with this program), reads the settings into the
  // controls and, when a folder box is empty, asks Outlook for its default
  // folders.
  void FormCreate();
  // Writes the six settings from the controls, creating the key. Registry
  // errors raise.
  void SaveSettings();
  // ConnectOutlook, then the paths of Outlook's default contacts, tasks and
  // calendar folders into their boxes.
  void LoadDefaultFolders();

  // Nothing when Outlook is connected with the profile box's profile.
  // Otherwise connects anew (OutlookConnect), unless the session is in use:
  // EVemInternalError "Outlook session is currently being used.". The
  // profile Outlook reports it uses replaces the profile box's text.
  void ConnectOutlook();
  // Nothing when a MAPI session with the profile box's profile exists, or
  // when MAPI is switched off and there is no session. Otherwise logs the
  // session off and, with MAPI switched on, logs on with the profile box's
  // profile; refused while the session is in use: EVemInternalError "MAPI
  // session is currently in use.".
  void ConnectMapi();
  // Logs MAPI and Outlook off and forgets the connection, whatever fails on
  // the way (the first error then propagates). Refused while in use:
  // EVemInternalError "Internal Error: Can't logoff. Sessions are currently
  // being used in other windows.".
  void LogOffSessions();
  // Outlook's quit event: remembered; logs off at once when nobody holds the
  // session, else when the last user gives it back.
  void DoOutlookQuit();

  // OutlookSyncWindowEvents.
  void FormClose() override;
  void UseMapiClick() override;
  void ProfileBoxClickOrExit() override;
  void EditPathBtnClick(TOutlookFolderBox box) override;
  void Timer1Timer() override;
  void DbOptionsBtnClick() override;
  void VemTrxFormKeyPress(wchar_t key) override;
  void LogOffBtnClick() override;

 private:
  friend void AcquireOutlookSession(std::shared_ptr<MapiSession>&, std::shared_ptr<OutlookNameSpace>&);
  friend void ReleaseOutlookSession(std::shared_ptr<MapiSession>&, std::shared_ptr<OutlookNameSpace>&);

  std::int32_t FRefCount = 0;
  std::shared_ptr<MapiSession> FSession;
  std::unique_ptr<TOutlookApplication> FOutlookApp2;
  bool FOutlookApp2_Connected = false;
  std::shared_ptr<OutlookNameSpace> FOutlookNameSpace;
  bool FOutlookQuit = false;
  std::wstring FLastOutlookProfile;
  std::wstring FLastMapiProfile;
  TVemDbConnection* FConnection_ForSettingsForm = nullptr;
  std::wstring FCheckedProfile;
  std::unique_ptr<OutlookSyncWindow> FWindow;
};

// The folder's name behind the names of the folders above it, "/" between
// them: "Mailbox - Ada/Inbox/Projects".
std::wstring GetOutlookFolderPath(OutlookFolder& folder);

}  // namespace ostrevin
