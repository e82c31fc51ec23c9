// VemOutlookUtils.cpp - the session broker: one shared, counted Outlook and MAPI session.
//
// Portable: Outlook is reached through the OutlookServer port, MAPI through
// the MAPI helpers.
#include "outlook/VemOutlookUtils.h"

#include <exception>
#include <utility>

#include "foundation/BusyState.h"
#include "foundation/Checks.h"
#include "foundation/EmptyParam.h"
#include "foundation/OfficeInstall.h"
#include "foundation/VemSysUtils.h"
#include "outlook/OutlookSyncSettingsFrm.h"
#include "platform/OleError.h"
#include "platform/Ports.h"

namespace ostrevin {

namespace {

std::unique_ptr<TZereZirurodAvavLaunchForm> gLaunchForm;
bool gRetry = true;  // whether an acquisition may log off and try once more

// The flash message for the scope of the object, when asked for.
std::unique_ptr<TFlashObject> FlashIf(bool showFlash, std::wstring_view text) {
  return showFlash ? FlashMessage(text) : nullptr;
}

bool IsOutlookGone(const std::exception& e) {
  const auto* ole = dynamic_cast<const EOleSysError*>(&e);
  return ole != nullptr && ole->ErrorCode() == OutlookError::RpcServerUnavailable;
}

}  // namespace

// --- TOutlookApplication -----------------------------------------------------

void TOutlookApplication::Connect() {
  Disconnect();
  // The component outlives its connections; the handler is looked up when
  // Outlook quits, so a later OnQuit counts too.
  FConnection = Current<OutlookServer>().Connect([this] {
    if (OnQuit) OnQuit();
  });
  FApplication = FConnection->Application();
}

void TOutlookApplication::Disconnect() noexcept {
  FApplication.reset();
  // Disconnecting keeps the object: this may run inside its quit callback.
  if (FConnection) FConnection->Disconnect();
}

OutlookApplication& TOutlookApplication::Application() const {
  if (!FApplication) throw EVemInternalError(L"Internal Error: Outlook is not connected.");
  return *FApplication;
}

// --- the broker ------------------------------------------------------------

TZereZirurodAvavLaunchForm& GetOutlookSyncLaunchForm() {
  if (!gLaunchForm) gLaunchForm = std::make_unique<TZereZirurodAvavLaunchForm>();
  return *gLaunchForm;
}

void AcquireOutlookSession(std::shared_ptr<MapiSession>& session, std::shared_ptr<OutlookNameSpace>& nameSpace) {
  session.reset();
  nameSpace.reset();
  TZereZirurodAvavLaunchForm& form = GetOutlookSyncLaunchForm();
  form.SaveSettings();
  form.ConnectOutlook();
  form.ConnectMapi();
  if (form.FRefCount != 0 || IsOutlookResponsive(*form.FOutlookApp2) || !gRetry) {
    form.FRefCount = CheckedAdd(form.FRefCount, 1);
    session = form.FSession;
    nameSpace = form.FOutlookNameSpace;
    return;
  }
  // A connection nobody uses whose Outlook no longer answers (it was
  // restarted, or died): start again, once.
  try {
    form.LogOffSessions();
  } catch (...) {
  }
  gRetry = false;
  try {
    AcquireOutlookSession(session, nameSpace);
  } catch (...) {
    gRetry = true;
    throw;
  }
  gRetry = true;
}

void ReleaseOutlookSession(std::shared_ptr<MapiSession>& session, std::shared_ptr<OutlookNameSpace>& nameSpace) {
  session.reset();
  nameSpace.reset();
  TZereZirurodAvavLaunchForm& form = GetOutlookSyncLaunchForm();
  if (form.FRefCount > 0) --form.FRefCount;
  if (form.FRefCount == 0 && form.FOutlookQuit) form.LogOffSessions();
}

bool IsOutlookResponsive(const TOutlookApplication& app) {
  try {
    app.Application().Version();
    return true;
  } catch (...) {
    return false;
  }
}

void OutlookConnect(TOutlookApplication& app, std::shared_ptr<OutlookNameSpace>& nameSpace, std::wstring_view profile,
                    bool showFlash) {
  OutlookLogoff(app, nameSpace, showFlash);
  const auto flash = FlashIf(showFlash, L"Connecting to Outlook...");
  try {
    app.Connect();
  } catch (Exception& e) {
    AddOfficeInstallHint(e);
    throw;
  }
  nameSpace = app.Application().GetNamespace(L"MAPI");
  try {
    CheckEmptyParamBefore();
    nameSpace->Logon(profile, /*showDialog=*/true, /*newSession=*/true);
    CheckEmptyParamAfter();
  } catch (...) {
    OutlookLogoff(app, nameSpace, showFlash);
    throw;
  }
}

void OutlookLogoff(TOutlookApplication& app, std::shared_ptr<OutlookNameSpace>& nameSpace, bool showFlash) {
  const auto flash = FlashIf(showFlash, L"Logging off Outlook...");
  std::exception_ptr failure;
  if (nameSpace) {
    try {
      nameSpace->Logoff();
    } catch (const std::exception& e) {
      if (!IsOutlookGone(e)) failure = std::current_exception();
    }
  }
  nameSpace.reset();
  app.Disconnect();
  if (failure) std::rethrow_exception(failure);
}

std::wstring GetCurrentProfileName(OutlookNameSpace* nameSpace) {
  if (nameSpace == nullptr) return {};
  try {
    return nameSpace->CurrentProfileName();
  } catch (...) {
    return {};
  }
}

void FinalizeVemOutlookUtils() noexcept {
  gLaunchForm.reset();
  gRetry = true;
}

}  // namespace ostrevin
