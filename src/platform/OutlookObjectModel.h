// OutlookObjectModel.h - port: the operations Ostrevin performs on Outlook's object model.
//
// Outlook is an automation server in a process of its own. The port reaches
// it through one entry, OutlookServer::Connect, which attaches to a running
// Outlook or starts one and hands back a connection holding the application
// object; every other object is reached from there:
//
//   auto connection = Current<OutlookServer>().Connect([&] { OnOutlookQuit(); });
//   auto nameSpace = connection->Application()->GetNamespace(L"MAPI");
//   nameSpace->Logon(profile, true, true);
//   auto explorer = nameSpace->Application()->ActiveExplorer();   // null: no Outlook window
//   ...
//   connection->Disconnect();                      // Outlook keeps running
//
// Outlook's own interfaces are called `_Application`, `_NameSpace`,
// `_Explorer`, ...; here they are OutlookApplication, OutlookNameSpace,
// OutlookExplorer and so on, one abstract class each with exactly the
// members Ostrevin calls.
//
// Failures: every member raises EOleSysError (platform/OleError.h) with the
// failing result when Outlook or the transport refuses the call. When the
// error comes from Outlook itself (DISP_E_EXCEPTION), the code is the one
// Outlook reported; an Outlook that has gone away gives 0x800706BA (the RPC
// server is unavailable). Members that may legitimately find nothing say so
// and return null instead of raising.
//
// Ownership: the namespace and the application are shared (several holders
// keep references to them, as automation references are counted); every
// other object belongs to its caller. An object stays usable after the
// connection that produced it is disconnected; it keeps its Outlook object
// alive, not the subscription. All objects are used on the thread that
// connected (the program's main thread).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace ostrevin {

// Result codes the callers look at.
namespace OutlookError {
// The RPC server is unavailable: Outlook has gone away.
inline constexpr std::int32_t RpcServerUnavailable = static_cast<std::int32_t>(0x800706BAu);
}  // namespace OutlookError

// Outlook's default folders that Ostrevin asks for (Outlook's own numbers).
enum class OutlookFolderKind : std::int32_t {
  Calendar = 9,
  Contacts = 10,
  Tasks = 13,
};

// A folder of a mail store (MAPIFolder).
class OutlookFolder {
 public:
  virtual ~OutlookFolder() = default;
  // The folder's display name.
  virtual std::wstring Name() = 0;
  // The folder that holds this one, or null when the parent is not a folder:
  // the parent of a store's top folder is the namespace.
  virtual std::unique_ptr<OutlookFolder> Parent() = 0;
};

// One attachment of a mail item.
class OutlookAttachment {
 public:
  virtual ~OutlookAttachment() = default;
  // Its file name; may be empty.
  virtual std::wstring FileName() = 0;
  // Outlook writes the attachment's content to `path` (a full path),
  // replacing a file that is there. A path Outlook cannot write raises.
  virtual void SaveAsFile(std::wstring_view path) = 0;
};

// The attachments of one mail item.
class OutlookAttachments {
 public:
  virtual ~OutlookAttachments() = default;
  virtual std::int32_t Count() = 0;
  // `index` counts from 1. An index out of range raises.
  virtual std::unique_ptr<OutlookAttachment> Item(std::int32_t index) = 0;
};

// An item that answers the mail-item interface.
class OutlookMailItem {
 public:
  virtual ~OutlookMailItem() = default;
  virtual std::unique_ptr<OutlookAttachments> Attachments() = 0;
};

// Any item of a folder: mail, appointment, contact, meeting request, ...
class OutlookItem {
 public:
  virtual ~OutlookItem() = default;
  // The item as a mail item, or null when it is some other kind of item
  // (it does not answer the mail-item interface). Other failures raise.
  virtual std::unique_ptr<OutlookMailItem> AsMailItem() = 0;
};

// The items selected in an explorer.
class OutlookSelection {
 public:
  virtual ~OutlookSelection() = default;
  virtual std::int32_t Count() = 0;
  // `index` counts from 1. An index out of range raises.
  virtual std::unique_ptr<OutlookItem> Item(std::int32_t index) = 0;
};

// An Outlook window that shows a folder.
class OutlookExplorer {
 public:
  virtual ~OutlookExplorer() = default;
  // The explorer's selection, or null when Outlook gives none.
  virtual std::unique_ptr<OutlookSelection> Selection() = 0;
};

class OutlookApplication;

// Outlook's "MAPI" namespace: the logged-on session and its stores.
class OutlookNameSpace {
 public:
  virtual ~OutlookNameSpace() = default;
  // Logs on with the profile's name (empty: Outlook's choice); the password
  // is passed as the omitted parameter, EmptyParam() (foundation/EmptyParam.h).
  virtual void Logon(std::wstring_view profile, bool showDialog, bool newSession) = 0;
  // A namespace whose Outlook has gone away raises with
  // OutlookError::RpcServerUnavailable; callers decide whether that matters.
  virtual void Logoff() = 0;
  // The name of the profile in use.
  virtual std::wstring CurrentProfileName() = 0;
  virtual std::shared_ptr<OutlookApplication> Application() = 0;
  // Raises when the store has no folder of that kind.
  virtual std::unique_ptr<OutlookFolder> GetDefaultFolder(OutlookFolderKind kind) = 0;
  // Shows Outlook's folder picker: the chosen folder, or null when the user
  // cancels it.
  virtual std::unique_ptr<OutlookFolder> PickFolder() = 0;
};

// Outlook's application object.
class OutlookApplication {
 public:
  virtual ~OutlookApplication() = default;
  // Outlook's version as text ("16.0.0.10000"). A call that returns shows
  // that Outlook still answers.
  virtual std::wstring Version() = 0;
  // The namespace of that type; Outlook has only "MAPI".
  virtual std::shared_ptr<OutlookNameSpace> GetNamespace(std::wstring_view type) = 0;
  // The front Outlook window, or null when Outlook shows none.
  virtual std::unique_ptr<OutlookExplorer> ActiveExplorer() = 0;
};

// One attachment to Outlook with a subscription to its quit event.
// Destroying it disconnects.
class OutlookConnection {
 public:
  virtual ~OutlookConnection() = default;
  // The application object, the same one for the life of the connection;
  // null after Disconnect.
  virtual std::shared_ptr<OutlookApplication> Application() = 0;
  // Unsubscribes from the events and lets go of the connection's reference.
  // Outlook is not asked to quit. Never fails: an Outlook that has gone
  // away has nothing to unsubscribe. A second call does nothing. The quit
  // callback is not called after it, and may itself call it.
  virtual void Disconnect() noexcept = 0;
};

// The port: Outlook, the automation server.
class OutlookServer {
 public:
  static constexpr const wchar_t* kPortName = L"OutlookServer";
  virtual ~OutlookServer() = default;
  // Attaches to the running Outlook, or starts one when none runs, and
  // subscribes `onQuit` to its quit event: Outlook calls it (on this
  // thread, from inside the message loop or an outgoing call) when it shuts
  // down. `onQuit` must not throw; an exception it lets out is shown with
  // ShowCurrentException. Raises when Outlook can be neither found nor
  // started, or refuses the subscription.
  virtual std::unique_ptr<OutlookConnection> Connect(std::function<void()> onQuit) = 0;
};

}  // namespace ostrevin
