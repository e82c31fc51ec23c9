// OutlookSyncSettingsFrm.cpp - the Outlook sync launch window: session settings and the shared session.
#include "outlook/OutlookSyncSettingsFrm.h"

#include <exception>
#include <utility>

#include "foundation/BusyState.h"
#include "foundation/ExceptionDisplay.h"
#include "foundation/OfficeInstall.h"
#include "foundation/VemLXRegistry.h"
#include "foundation/VemSysUtils.h"
#include "outlook/VemMapiUtils.h"
#include "platform/Ports.h"

namespace ostrevin {

namespace {

constexpr wchar_t kEscape = 27;
constexpr const wchar_t* kMapiDisabled = L"MAPI Enhancements cannot be used and will be disabled.\r\n\r\n";

// The folder boxes with their default folders, in the order they are filled.
constexpr std::pair<TOutlookFolderBox, OutlookFolderKind> kDefaultFolders[] = {
    {TOutlookFolderBox::Contacts, OutlookFolderKind::Contacts},
    {TOutlookFolderBox::Tasks, OutlookFolderKind::Tasks},
    {TOutlookFolderBox::Calendar, OutlookFolderKind::Calendar},
};

// Extended MAPI loads into the program's process only from an Outlook of the
// program's own build (32 or 64 bits).
bool MapiUnusable() { return IsOutlookBitnessDifferentFromProgram(); }

void OpenSettingsKey(TVemRegistryLX& reg) { reg.GotoKey(kOutlookSyncSettingsKey, /*canCreate=*/true); }

}  // namespace

TZereZirurodAvavLaunchForm::TZereZirurodAvavLaunchForm()
    : FOutlookApp2(std::make_unique<TOutlookApplication>()),
      FWindow(Current<OutlookSyncWindows>().CreateOutlookSyncWindow()) {
  FOutlookApp2->OnQuit = [this] { DoOutlookQuit(); };
  FWindow->SetEvents(this);
  TWaitScope wait;
  try {
    FormCreate();
  } catch (...) {
    ShowCurrentException();
  }
}

TZereZirurodAvavLaunchForm::~TZereZirurodAvavLaunchForm() {
  FWindow->SetEvents(nullptr);
  try {
    LogOffSessions();
  } catch (...) {
  }
}

void TZereZirurodAvavLaunchForm::FormCreate() {
  std::wstring defaultProfile;
  if (!MapiUnusable()) {
    TVemStringList profiles;
    profiles.SetSorted(true);
    GetMapiProfiles(&profiles, defaultProfile);
    FWindow->SetProfiles(profiles);
  }
  TVemRegistryLX reg;
  OpenSettingsKey(reg);
  FWindow->SetUseMapi(reg.ReadBoolDef(L"UseMapi", true) && !MapiUnusable());
  FWindow->SetProfileText(reg.ReadStringDef(L"Profile", defaultProfile));
  FWindow->SetFolderPath(TOutlookFolderBox::Contacts, reg.ReadStringDef(L"ContactsFolder", L""));
  FWindow->SetFolderPath(TOutlookFolderBox::Tasks, reg.ReadStringDef(L"TasksFolder", L""));
  FWindow->SetFolderPath(TOutlookFolderBox::Calendar, reg.ReadStringDef(L"CalendarFolder", L""));
  FWindow->SetImportOldTasks(reg.ReadBoolDef(L"ImportCompletedTasksAndAppts", false));
  FCheckedProfile = FWindow->ProfileText();
  for (const auto& [box, kind] : kDefaultFolders) {
    if (FWindow->FolderPath(box).empty()) {
      LoadDefaultFolders();
      break;
    }
  }
}

void TZereZirurodAvavLaunchForm::SaveSettings() {
  TVemRegistryLX reg;
  OpenSettingsKey(reg);
  reg.WriteBool(L"UseMapi", FWindow->UseMapi());
  reg.WriteString(L"Profile", FWindow->ProfileText());
  reg.WriteString(L"ContactsFolder", FWindow->FolderPath(TOutlookFolderBox::Contacts));
  reg.WriteString(L"TasksFolder", FWindow->FolderPath(TOutlookFolderBox::Tasks));
  reg.WriteString(L"CalendarFolder", FWindow->FolderPath(TOutlookFolderBox::Calendar));
  reg.WriteBool(L"ImportCompletedTasksAndAppts", FWindow->ImportOldTasks());
}

void TZereZirurodAvavLaunchForm::LoadDefaultFolders() {
  ConnectOutlook();
  for (const auto& [box, kind] : kDefaultFolders)
    FWindow->SetFolderPath(box, GetOutlookFolderPath(*FOutlookNameSpace->GetDefaultFolder(kind)));
}

void TZereZirurodAvavLaunchForm::ConnectOutlook() {
  if (FOutlookApp2_Connected && FOutlookNameSpace && FWindow->ProfileText() == FLastOutlookProfile) return;
  if (FRefCount > 0) throw EVemInternalError(L"Outlook session is currently being used.");
  FLastOutlookProfile.clear();
  OutlookConnect(*FOutlookApp2, FOutlookNameSpace, FWindow->ProfileText(), /*showFlash=*/true);
  FOutlookApp2_Connected = true;
  FOutlookQuit = false;
  if (const std::wstring profile = GetCurrentProfileName(FOutlookNameSpace.get()); !profile.empty())
    FWindow->SetProfileText(profile);
  FLastOutlookProfile = FWindow->ProfileText();
}

void TZereZirurodAvavLaunchForm::ConnectMapi() {
  if (FSession && FLastMapiProfile == FWindow->ProfileText()) return;
  // With MAPI switched off there is nothing to connect; checking the count
  // here would refuse every second user.
  if (!FSession && !FWindow->UseMapi()) return;
  if (FRefCount > 0) throw EVemInternalError(L"MAPI session is currently in use.");
  FLastMapiProfile.clear();
  MapiLogoff(FSession, /*showFlash=*/true);
  if (FWindow->UseMapi()) {
    MapiLogon(FSession, FWindow->ProfileText(), /*showFlash=*/true);
    FLastMapiProfile = FWindow->ProfileText();
  }
}

void TZereZirurodAvavLaunchForm::LogOffSessions() {
  if (FRefCount != 0)
    throw EVemInternalError(L"Internal Error: Can't logoff. Sessions are currently being used in other windows.");
  std::exception_ptr failure;
  try {
    MapiLogoff(FSession, /*showFlash=*/true);
    OutlookLogoff(*FOutlookApp2, FOutlookNameSpace, /*showFlash=*/true);
  } catch (...) {
    failure = std::current_exception();
  }
  FOutlookApp2_Connected = false;
  FOutlookQuit = false;
  FSession.reset();
  FOutlookNameSpace.reset();
  FOutlookApp2->Disconnect();
  if (failure) std::rethrow_exception(failure);
}

void TZereZirurodAvavLaunchForm::DoOutlookQuit() {
  FOutlookQuit = true;
  if (FRefCount == 0 && FOutlookApp2_Connected) LogOffSessions();
}

void TZereZirurodAvavLaunchForm::FormClose() { SaveSettings(); }

void TZereZirurodAvavLaunchForm::UseMapiClick() {
  if (!FWindow->UseMapi()) {
    if (FRefCount > 0) throw EVemInternalError(L"MAPI session is currently in use.");
    MapiLogoff(FSession, /*showFlash=*/true);
    return;
  }
  if (MapiUnusable()) {
    FWindow->SetUseMapi(false);
    FWindow->ShowMessage(std::wstring(kMapiDisabled) +
                         L"MAPI Enhancements are not available because Microsoft Outlook is compiled for " +
                         (IsOutlook64Bit() ? L"x64." : L"x86."));
    return;
  }
  std::wstring errorText;
  const bool available = CheckMapiAvailable(errorText);
  FWindow->SetUseMapi(available);
  if (!available) FWindow->ShowMessage(kMapiDisabled + errorText);
}

void TZereZirurodAvavLaunchForm::ProfileBoxClickOrExit() {
  const std::wstring profile = FWindow->ProfileText();
  if (profile == FCheckedProfile) return;
  FCheckedProfile = profile;
  LogOffSessions();
  LoadDefaultFolders();
}

void TZereZirurodAvavLaunchForm::EditPathBtnClick(TOutlookFolderBox box) {
  switch (box) {
    case TOutlookFolderBox::Contacts:
    case TOutlookFolderBox::Tasks:
    case TOutlookFolderBox::Calendar:
      break;
    default:
      throw EVemInternalError(L"Internal Error: Unknown Sender.");
  }
  ConnectOutlook();
  if (std::unique_ptr<OutlookFolder> folder = FOutlookNameSpace->PickFolder())
    FWindow->SetFolderPath(box, GetOutlookFolderPath(*folder));
}

void TZereZirurodAvavLaunchForm::Timer1Timer() {
  const bool inUse = FRefCount > 0;
  FWindow->SetControlStates({.ProfileBoxEnabled = !inUse,
                             .UseMapiEnabled = !inUse,
                             .InUseVisible = inUse,
                             .LogOffEnabled = !inUse && FOutlookApp2_Connected});
}

void TZereZirurodAvavLaunchForm::DbOptionsBtnClick() {
  // The contact options live in the contact database. This program never
  // opens one, so no connection is ever assigned and the button stops here.
  if (FConnection_ForSettingsForm == nullptr) throw EVemInternalError(L"Internal Error: Connection Not Assigned");
}

void TZereZirurodAvavLaunchForm::VemTrxFormKeyPress(wchar_t key) {
  if (key == kEscape) FWindow->Close();
}

void TZereZirurodAvavLaunchForm::LogOffBtnClick() {
  if (FRefCount == 0 && FOutlookApp2_Connected) LogOffSessions();
}

std::wstring GetOutlookFolderPath(OutlookFolder& folder) {
  std::wstring path = folder.Name();
  for (std::unique_ptr<OutlookFolder> parent = folder.Parent(); parent; parent = parent->Parent())
    path = parent->Name() + L"/" + path;
  return path;
}

}  // namespace ostrevin
