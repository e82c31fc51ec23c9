// VemOutlookUtils.h - the session broker: one shared, counted Outlook and MAPI session.
//
// Every user of Outlook in the program shares one connection to Outlook and
// one Extended MAPI session, held by the hidden Outlook sync launch window
// (TZereZirurodAvavLaunchForm). A user acquires both, works, and gives them
// back however its work ends:
//
//   std::shared_ptr<MapiSession> session;          // empty when MAPI is not used
//   std::shared_ptr<OutlookNameSpace> nameSpace;
//   AcquireOutlookSession(session, nameSpace);     // connects as needed; raises when it cannot
//   ...
//   ReleaseOutlookSession(session, nameSpace);     // empties both
//
// The broker reconnects when the profile changed or Outlook stopped
// answering (once per request), and logs off when Outlook quits and nobody
// holds the session any more. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ExtendedMapi.h"
#include "platform/OutlookObjectModel.h"

namespace ostrevin {

class TZereZirurodAvavLaunchForm;

// The Outlook automation server as one component: a connection that is made
// and dropped again, with Outlook's quit event routed to OnQuit.
class TOutlookApplication {
 public:
  TOutlookApplication() = default;
  ~TOutlookApplication() { Disconnect(); }
  TOutlookApplication(const TOutlookApplication&) = delete;
  TOutlookApplication& operator=(const TOutlookApplication&) = delete;

  // Called when the connected Outlook shuts down. Must not throw: what it
  // lets out is shown with ShowCurrentException.
  std::function<void()> OnQuit;

  // Attaches to the running Outlook, else starts one, and subscribes to its
  // quit event (OutlookServer port); a connection in place is dropped first.
  // Raises when Outlook can be neither found nor started.
  void Connect();
  // Unsubscribes and lets go of Outlook; Outlook keeps running. Nothing when
  // not connected; may be called from OnQuit.
  void Disconnect() noexcept;
  bool Connected() const noexcept { return FApplication != nullptr; }
  // Outlook's application object. Raises EVemInternalError "Internal Error:
  // Outlook is not connected." when there is no connection.
  OutlookApplication& Application() const;

 private:
  std::unique_ptr<OutlookConnection> FConnection;
  std::shared_ptr<OutlookApplication> FApplication;
};

// The launch window; created on the first call (running its creation
// handler, whose errors are shown with ShowCurrentException) and kept until
// FinalizeVemOutlookUtils.
TZereZirurodAvavLaunchForm& GetOutlookSyncLaunchForm();

// Empties both outputs, saves the window's settings, connects Outlook and
// MAPI as needed and counts one more user. When nobody held the session and
// Outlook no longer answers, logs off and tries once more from the start.
// Connection and logon errors propagate and nothing is counted; Session
// stays empty when MAPI is not used.
void AcquireOutlookSession(std::shared_ptr<MapiSession>& session, std::shared_ptr<OutlookNameSpace>& nameSpace);
// Empties both references and counts one user less (never below 0); the
// release that leaves nobody after Outlook has quit logs off.
void ReleaseOutlookSession(std::shared_ptr<MapiSession>& session, std::shared_ptr<OutlookNameSpace>& nameSpace);

// Whether Outlook answers a question for its version; any failure, or no
// connection, is false.
bool IsOutlookResponsive(const TOutlookApplication& app);

// Logs NameSpace off (OutlookLogoff), connects the server (a failure gets
// the Office installation hints appended to its message), takes its "MAPI"
// namespace and logs on to Profile with Outlook's dialog allowed and a new
// session; a failing logon logs off again before the error propagates.
// ShowFlash shows "Connecting to Outlook..." meanwhile.
void OutlookConnect(TOutlookApplication& app, std::shared_ptr<OutlookNameSpace>& nameSpace, std::wstring_view profile,
                    bool showFlash);
// Logs NameSpace off, empties it and disconnects the server. An Outlook that
// has gone away (0x800706BA) is no error; any other failure to log off
// propagates after the namespace is emptied and the server disconnected.
// ShowFlash shows "Logging off Outlook..." meanwhile.
void OutlookLogoff(TOutlookApplication& app, std::shared_ptr<OutlookNameSpace>& nameSpace, bool showFlash);
// The profile the namespace uses; "" for no namespace or on any failure.
std::wstring GetCurrentProfileName(OutlookNameSpace* nameSpace);

// Module state, run by the start-up table after the MAPI helper library:
// finalisation destroys the launch window, which logs off Outlook and MAPI
// (ignoring errors) before MAPI is uninitialised.
void FinalizeVemOutlookUtils() noexcept;

}  // namespace ostrevin
