// VemOutlookUtilsTest.cpp - the session broker and the launch window against in-memory Outlook and MAPI.
#include "outlook/VemOutlookUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeOutlook.h"
#include "fakes/FakeOutlookSyncWindows.h"
#include "fakes/FakePlatform.h"
#include "foundation/ExceptionDisplay.h"
#include "foundation/OfficeInstall.h"
#include "foundation/VemLXRegistry.h"
#include "outlook/OutlookSyncSettingsFrm.h"
#include "outlook/VemMapiUtils.h"
#include "platform/OleError.h"
#include "support/FlashJournal.h"
#include "support/OutlookInstall.h"
#include "support/RaisedMessage.h"

namespace ostrevin {
namespace {

using Strings = std::vector<std::wstring>;
constexpr std::int32_t kFailed = static_cast<std::int32_t>(0x80004005u);

class SessionBroker : public ::testing::Test {
 protected:
  SessionBroker() {
    outlook.ProfileName = L"Outlook";
    const int top = outlook.AddFolder(L"Mailbox - Ada");
    outlook.DefaultFolders[OutlookFolderKind::Contacts] = outlook.AddFolder(L"Contacts", top);
    outlook.DefaultFolders[OutlookFolderKind::Tasks] = outlook.AddFolder(L"Tasks", top);
    outlook.DefaultFolders[OutlookFolderKind::Calendar] = outlook.AddFolder(L"Calendar", top);
    platform.Mapi.AddProfile("Outlook", /*isDefault=*/true);
    platform.Mapi.AddProfile("Other", false);
    FinalizeOfficeInstall();
    InitializeMapiHelperLibrary();
    FPreviousDisplay = SetShowExceptionRoutine([this](const std::exception& e) { Shown.push_back(ExceptionMessage(e)); });
  }
  ~SessionBroker() override {
    FinalizeVemOutlookUtils();
    FinalizeMapiHelperLibrary();
    FinalizeOfficeInstall();
    SetShowExceptionRoutine(std::move(FPreviousDisplay));
  }

  void Acquire() { AcquireOutlookSession(session, nameSpace); }
  void Release() { ReleaseOutlookSession(session, nameSpace); }
  TZereZirurodAvavLaunchForm& Form() { return GetOutlookSyncLaunchForm(); }
  FakeOutlookSyncWindows::Window& Window() { return *windows.Open(); }

  std::wstring Setting(const wchar_t* name) {
    TVemRegistryLX reg;
    reg.GotoKey(kOutlookSyncSettingsKey, false);
    return reg.ValueExists(name) ? reg.ReadString(name) : L"(missing)";
  }
  void WriteSetting(const wchar_t* name, bool value) {
    RegWriteBool(RegistryRoot::CurrentUser, kOutlookSyncSettingsKey, name, value);
  }
  int MapiLogoffs() const { return static_cast<int>(platform.Mapi.Logoffs.size()); }

  FakePlatform platform;
  FakeOutlook outlook;
  ScopedPort<OutlookServer> outlookPort{outlook};
  FakeOutlookSyncWindows windows;
  ScopedPort<OutlookSyncWindows> windowsPort{windows};
  std::shared_ptr<MapiSession> session;
  std::shared_ptr<OutlookNameSpace> nameSpace;
  Strings Shown;  // messages of the exceptions shown

 private:
  ShowExceptionRoutine FPreviousDisplay;
};

TEST_F(SessionBroker, FirstRunConnectsReadsOutlooksFoldersAndSavesAllSixSettings) {
  Acquire();
  ASSERT_TRUE(nameSpace);
  ASSERT_TRUE(session);
  EXPECT_EQ(Form().RefCount(), 1);
  EXPECT_EQ(windows.Created, 1);
  EXPECT_TRUE(Window().UseMapiChecked);
  EXPECT_EQ(Window().Profiles, (Strings{L"Other", L"Outlook"}));
  EXPECT_EQ(Window().FolderPath(TOutlookFolderBox::Tasks), L"Mailbox - Ada/Tasks");
  ASSERT_EQ(outlook.LogonCalls.size(), 1u);
  EXPECT_EQ(outlook.LogonCalls[0].Profile, L"Outlook");  // the default MAPI profile
  EXPECT_TRUE(outlook.LogonCalls[0].ShowDialog && outlook.LogonCalls[0].NewSession);
  ASSERT_EQ(platform.Mapi.Logons.size(), 1u);
  EXPECT_EQ(platform.Mapi.Logons[0].Profile, "Outlook");

  const std::vector<std::pair<const wchar_t*, std::wstring>> saved = {
      {L"Profile", L"Outlook"},
      {L"ContactsFolder", L"Mailbox - Ada/Contacts"},
      {L"TasksFolder", L"Mailbox - Ada/Tasks"},
      {L"CalendarFolder", L"Mailbox - Ada/Calendar"},
  };
  for (const auto& [name, value] : saved) EXPECT_EQ(Setting(name), value) << name;
  EXPECT_TRUE(RegReadIntegerDef(RegistryRoot::CurrentUser, kOutlookSyncSettingsKey, L"UseMapi", 7) == 1);
  EXPECT_EQ(RegReadIntegerDef(RegistryRoot::CurrentUser, kOutlookSyncSettingsKey, L"ImportCompletedTasksAndAppts", 7), 0);
  EXPECT_TRUE(Shown.empty());
}

TEST_F(SessionBroker, UsersAreCountedAndTheLastReleaseDoesNotLogOff) {
  Acquire();
  std::shared_ptr<MapiSession> secondSession;
  std::shared_ptr<OutlookNameSpace> secondNameSpace;
  AcquireOutlookSession(secondSession, secondNameSpace);
  EXPECT_EQ(Form().RefCount(), 2);
  EXPECT_EQ(secondNameSpace, nameSpace);
  ReleaseOutlookSession(secondSession, secondNameSpace);
  EXPECT_FALSE(secondNameSpace);
  EXPECT_EQ(Form().RefCount(), 1);
  Release();
  Release();  // once more than acquired
  EXPECT_EQ(Form().RefCount(), 0);
  EXPECT_EQ(outlook.Logoffs(), 0);
  EXPECT_EQ(MapiLogoffs(), 0);
  EXPECT_EQ(outlook.Connects(), 1);
}

TEST_F(SessionBroker, OutlookQuittingWhileInUseLogsOffWhenTheLastUserLeaves) {
  FlashJournal flashes;
  Acquire();
  outlook.Quit();
  EXPECT_TRUE(Form().OutlookQuit());
  EXPECT_EQ(MapiLogoffs(), 0);
  flashes.Events.clear();
  Release();
  EXPECT_EQ(MapiLogoffs(), 1);
  EXPECT_FALSE(Form().OutlookConnected());
  EXPECT_FALSE(Form().Session());
  EXPECT_EQ(flashes.Events, (Strings{L"show Logging off MAPI...", L"end Logging off MAPI...",
                                     L"show Logging off Outlook...", L"end Logging off Outlook..."}));
  Acquire();
  EXPECT_EQ(outlook.Starts(), 2);
  EXPECT_EQ(Form().RefCount(), 1);
}

TEST_F(SessionBroker, OutlookQuittingWhileUnusedLogsOffAtOnce) {
  Acquire();
  Release();
  outlook.Quit();
  EXPECT_EQ(MapiLogoffs(), 1);
  EXPECT_FALSE(Form().OutlookConnected());
  EXPECT_FALSE(Form().OutlookQuit());
}

TEST_F(SessionBroker, AnOutlookThatStoppedAnsweringIsReconnectedOnce) {
  Acquire();
  Release();
  outlook.Kill();  // restarted or crashed since the last drag
  Acquire();
  EXPECT_EQ(Form().RefCount(), 1);
  EXPECT_EQ(outlook.Starts(), 2);
  EXPECT_TRUE(IsOutlookResponsive(Form().OutlookApp()));
  Release();

  outlook.Kill();
  outlook.Fail(L"Server.Connect", kFailed, 1);
  EXPECT_THROW(Acquire(), EOleSysError);
  EXPECT_EQ(Form().RefCount(), 0);
  Acquire();  // the retry is allowed again
  EXPECT_EQ(Form().RefCount(), 1);
}

TEST_F(SessionBroker, AChangedProfileReconnectsWhileUnusedAndIsRefusedWhileInUse) {
  Acquire();
  Window().Profile = L"Other";
  EXPECT_EQ(RaisedMessage<EVemInternalError>([&] {
              std::shared_ptr<MapiSession> s;
              std::shared_ptr<OutlookNameSpace> n;
              AcquireOutlookSession(s, n);
            }),
            L"Outlook session is currently being used.");
  EXPECT_EQ(Form().RefCount(), 1);
  Release();

  Acquire();
  EXPECT_EQ(outlook.LogonCalls.back().Profile, L"Other");
  EXPECT_EQ(platform.Mapi.Logons.back().Profile, "Other");
  EXPECT_EQ(Setting(L"Profile"), L"Other");
}

TEST_F(SessionBroker, WithMapiSwitchedOffNoMapiSessionIsMadeAndUsersStillShare) {
  WriteSetting(L"UseMapi", false);
  Acquire();
  std::shared_ptr<MapiSession> secondSession;
  std::shared_ptr<OutlookNameSpace> secondNameSpace;
  AcquireOutlookSession(secondSession, secondNameSpace);
  EXPECT_FALSE(session);
  EXPECT_TRUE(nameSpace);
  EXPECT_TRUE(platform.Mapi.Logons.empty());
  EXPECT_EQ(Form().RefCount(), 2);
  ReleaseOutlookSession(secondSession, secondNameSpace);
}

TEST_F(SessionBroker, FailingMapiRefusesEveryAcquisition) {
  platform.Mapi.LogonResult = kMapiELogonFailed;
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_THROW(Acquire(), EOleSysError);
    EXPECT_FALSE(nameSpace);
    EXPECT_EQ(Form().RefCount(), 0);
  }
}

TEST_F(SessionBroker, ConnectionFailuresCarryTheOfficeHintAndAFailedLogonLetsGo) {
  outlook.Fail(L"Server.Connect", kFailed, 2);  // the window's creation, then the acquisition
  const std::wstring message = RaisedMessage<EOleSysError>([&] { Acquire(); });
  EXPECT_NE(message.find(L"\r\n\r\nThere is some problem with the way Office is installed"), std::wstring::npos);
  ASSERT_EQ(Shown.size(), 1u);  // the creation's failure is shown, the acquisition's raised

  outlook.Fail(L"NameSpace.Logon", kFailed, 1);
  EXPECT_THROW(Acquire(), EOleSysError);
  EXPECT_EQ(outlook.Subscribers(), 0);
  EXPECT_FALSE(Form().NameSpace());
}

TEST_F(SessionBroker, LoggingOffIgnoresAnOutlookThatHasGoneButNotOtherFailures) {
  Acquire();
  Release();
  outlook.Kill();
  EXPECT_NO_THROW(Form().LogOffSessions());
  EXPECT_FALSE(Form().OutlookConnected());

  Acquire();
  Release();
  outlook.Fail(L"NameSpace.Logoff", kFailed);
  EXPECT_THROW(Form().LogOffSessions(), EOleSysError);
  EXPECT_FALSE(Form().OutlookConnected());
  EXPECT_FALSE(Form().NameSpace());
  EXPECT_FALSE(Form().Session());
  EXPECT_EQ(outlook.Subscribers(), 0);

  Acquire();
  EXPECT_EQ(RaisedMessage<EVemInternalError>([&] { Form().LogOffSessions(); }),
            L"Internal Error: Can't logoff. Sessions are currently being used in other windows.");
}

TEST_F(SessionBroker, FirstConnectionShowsItsFlashMessages) {
  FlashJournal flashes;
  Acquire();
  EXPECT_EQ(flashes.Events,
            (Strings{L"show Logging off Outlook...", L"end Logging off Outlook...", L"show Connecting to Outlook...",
                     L"end Connecting to Outlook...", L"show Connecting to MAPI...", L"end Connecting to MAPI..."}));
}

TEST_F(SessionBroker, AStoredProfileIsReplacedByTheOneOutlookUses) {
  RegWriteString(RegistryRoot::CurrentUser, kOutlookSyncSettingsKey, L"Profile", L"Old");
  RegWriteString(RegistryRoot::CurrentUser, kOutlookSyncSettingsKey, L"ContactsFolder", L"a");
  RegWriteString(RegistryRoot::CurrentUser, kOutlookSyncSettingsKey, L"TasksFolder", L"b");
  RegWriteString(RegistryRoot::CurrentUser, kOutlookSyncSettingsKey, L"CalendarFolder", L"c");
  outlook.OnCall = [&](std::wstring_view operation) {  // Outlook logged on to a profile of its own
    if (operation == L"NameSpace.CurrentProfileName") outlook.ProfileName = L"Outlook";
  };
  Acquire();
  EXPECT_EQ(Window().Profile, L"Outlook");
  EXPECT_EQ(outlook.LogonCalls[0].Profile, L"Old");
  EXPECT_EQ(Window().FolderPath(TOutlookFolderBox::Contacts), L"a");  // stored folders are kept
  Release();
  Acquire();
  EXPECT_EQ(Setting(L"Profile"), L"Outlook");
}

TEST_F(SessionBroker, AnOutlookOfAnotherBuildSwitchesMapiOff) {
  InstallFakeOutlook(platform, /*is64Bit=*/false);  // beside this 64-bit program
  WriteSetting(L"UseMapi", true);
  Acquire();
  EXPECT_FALSE(session);
  EXPECT_FALSE(Window().UseMapiChecked);
  EXPECT_TRUE(Window().Profiles.empty());
  EXPECT_EQ(platform.Mapi.LibraryLoads, 1);  // loaded at start-up, never asked for profiles
  EXPECT_TRUE(platform.Mapi.Logons.empty());

  Window().UseMapiChecked = true;  // the user ticks it
  Window().Events->UseMapiClick();
  EXPECT_FALSE(Window().UseMapiChecked);
  EXPECT_EQ(Window().Messages,
            (Strings{L"MAPI Enhancements cannot be used and will be disabled.\r\n\r\n"
                     L"MAPI Enhancements are not available because Microsoft Outlook is compiled for x86."}));
}

TEST_F(SessionBroker, TheWindowsControlsFollowTheSession) {
  Acquire();
  OutlookSyncWindowEvents& events = *Window().Events;
  events.Timer1Timer();
  EXPECT_TRUE(Window().States.InUseVisible);
  EXPECT_FALSE(Window().States.ProfileBoxEnabled || Window().States.UseMapiEnabled || Window().States.LogOffEnabled);
  Release();
  events.Timer1Timer();
  EXPECT_FALSE(Window().States.InUseVisible);
  EXPECT_TRUE(Window().States.ProfileBoxEnabled && Window().States.LogOffEnabled);

  outlook.PickedFolder = outlook.DefaultFolders[OutlookFolderKind::Calendar];
  events.EditPathBtnClick(TOutlookFolderBox::Contacts);
  EXPECT_EQ(Window().FolderPath(TOutlookFolderBox::Contacts), L"Mailbox - Ada/Calendar");

  events.VemTrxFormKeyPress(27);
  EXPECT_EQ(Window().Closes, 1);
  EXPECT_EQ(Setting(L"ContactsFolder"), L"Mailbox - Ada/Calendar");  // closing saves

  events.LogOffBtnClick();
  EXPECT_FALSE(Form().OutlookConnected());

  Window().Profile = L"Other";
  events.ProfileBoxClickOrExit();  // logs off and reads the new profile's folders
  EXPECT_EQ(outlook.LogonCalls.back().Profile, L"Other");
  EXPECT_EQ(Window().FolderPath(TOutlookFolderBox::Contacts), L"Mailbox - Ada/Contacts");

  EXPECT_EQ(RaisedMessage<EVemInternalError>([&] { events.DbOptionsBtnClick(); }),
            L"Internal Error: Connection Not Assigned");

  Window().UseMapiChecked = false;
  events.UseMapiClick();
  EXPECT_FALSE(Form().Session());
}

TEST_F(SessionBroker, ShutdownLogsOffIgnoringErrors) {
  Acquire();
  Release();
  outlook.Fail(L"NameSpace.Logoff", kFailed);
  FinalizeVemOutlookUtils();
  EXPECT_EQ(MapiLogoffs(), 1);
  EXPECT_EQ(outlook.Subscribers(), 0);
  EXPECT_TRUE(Shown.empty());
}

}  // namespace
}  // namespace ostrevin
