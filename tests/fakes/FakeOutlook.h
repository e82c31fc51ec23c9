// FakeOutlook.h - an in-memory Outlook for native tests.
//
// A mailbox of items (mail items with attachments, and items of other
// kinds), the selection of the active explorer, the profile in use, a tree of
// folders with the default folders among them. Attachments are saved through
// the FileSystem port, so a FakeFileSystem receives them:
//
//   FakeOutlook outlook;
//   ScopedPort<OutlookServer> install(outlook);
//   outlook.Mailbox = {FakeOutlookItem::Mail({{L"a.txt", {'h', 'i'}}}), FakeOutlookItem::Other()};
//   outlook.Selected = {1, 2};
//   outlook.Fail(L"Attachment.SaveAsFile", 0x80070005);
//
// Outlook is not running at first; Connect starts it. Quit() fires the quit
// callback of every subscribed connection and ends it, Kill() ends it
// without a word. Objects of an Outlook that has ended raise EOleSysError
// 0x800706BA (the RPC server is unavailable) at every call; the next
// Connect starts a new Outlook whose objects work again.
//
// Operation names, for Fail and Calls: "Server.Connect",
// "Application.Version", "Application.GetNamespace",
// "Application.ActiveExplorer", "NameSpace.Logon", "NameSpace.Logoff",
// "NameSpace.CurrentProfileName", "NameSpace.Application",
// "NameSpace.GetDefaultFolder", "NameSpace.PickFolder",
// "Explorer.Selection", "Selection.Count", "Selection.Item",
// "Item.AsMailItem", "MailItem.Attachments", "Attachments.Count",
// "Attachments.Item", "Attachment.FileName", "Attachment.SaveAsFile",
// "Folder.Name", "Folder.Parent". Every call counts, also one that fails.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/OutlookObjectModel.h"

namespace ostrevin {

struct FakeOutlookAttachment {
  std::wstring FileName;
  std::vector<std::uint8_t> Content;
  // When set, saving this attachment raises EOleSysError with it and writes
  // nothing.
  std::optional<std::int32_t> SaveFailure;
};

struct FakeOutlookItem {
  // False for appointments, contacts, meeting requests and the like.
  bool IsMail = true;
  std::vector<FakeOutlookAttachment> Attachments;

  static FakeOutlookItem Mail(std::vector<FakeOutlookAttachment> attachments = {}) {
    return {true, std::move(attachments)};
  }
  static FakeOutlookItem Other() { return {false, {}}; }
};

struct FakeOutlookFolder {
  std::wstring Name;
  // Index into FakeOutlook::Folders, or kTopFolder: the parent is the namespace.
  int Parent;
};

class FakeOutlook : public OutlookServer {
 public:
  static constexpr int kTopFolder = -1;
  // Outlook's error for a default folder the store lacks (MAPI_E_NOT_FOUND).
  static constexpr std::int32_t kNotFound = static_cast<std::int32_t>(0x8004010Fu);
  // The error of a save that the file system refuses (E_ACCESSDENIED).
  static constexpr std::int32_t kSaveRefused = static_cast<std::int32_t>(0x80070005u);
  // An index out of range (DISP_E_BADINDEX).
  static constexpr std::int32_t kBadIndex = static_cast<std::int32_t>(0x8002000Bu);

  FakeOutlook() = default;
  FakeOutlook(const FakeOutlook&) = delete;
  FakeOutlook& operator=(const FakeOutlook&) = delete;

  std::unique_ptr<OutlookConnection> Connect(std::function<void()> onQuit) override;

  // What Outlook holds and shows. Read at every call, so a test may change
  // them between calls.
  std::vector<FakeOutlookItem> Mailbox;
  // The active explorer's selection: 1-based indexes into Mailbox.
  std::vector<int> Selected;
  bool HasActiveExplorer = true;
  bool HasSelection = true;  // false: the explorer gives no selection object
  std::wstring Version = L"16.0.0.10000";
  // CurrentProfileName; a logon that names a profile makes it that one.
  std::wstring ProfileName = L"Outlook";
  std::vector<FakeOutlookFolder> Folders;
  std::map<OutlookFolderKind, int> DefaultFolders;  // kind -> index into Folders
  // What the folder picker returns: an index into Folders, or nothing when
  // the user cancels it.
  std::optional<int> PickedFolder;
  // Runs inside every logon after it is recorded, before it succeeds; what
  // it raises leaves the logon.
  std::function<void()> OnLogon;
  // Runs at the start of every call, after it is counted, with the
  // operation's name; what it raises leaves the call. A test advances a
  // clock here, or makes Outlook quit in the middle of something.
  std::function<void(std::wstring_view operation)> OnCall;

  // Adds a folder and returns its index.
  int AddFolder(std::wstring name, int parent = kTopFolder);

  // The next `times` calls of `operation` (every call when negative) raise
  // EOleSysError with `code`. An unknown operation name raises
  // EVemInternalError.
  void Fail(std::wstring_view operation, std::int32_t code, int times = -1);
  void ClearFailures() { FFailures.clear(); }

  // Outlook shuts down: the quit callback of every subscribed connection of
  // the running Outlook (they may still call it meanwhile), then it is gone.
  void Quit();
  // The Outlook process dies.
  void Kill() { FRunning = false; }
  bool Running() const { return FRunning; }

  // Inspection.
  int Calls(std::wstring_view operation) const;
  int Connects() const { return Calls(L"Server.Connect"); }
  int Logons() const { return Calls(L"NameSpace.Logon"); }
  int Logoffs() const { return Calls(L"NameSpace.Logoff"); }
  // Connections that were disconnected (or destroyed).
  int Disconnects() const { return FDisconnects; }
  // Outlooks that Connect started.
  int Starts() const { return FStarts; }
  // Connections subscribed to the quit event now.
  int Subscribers() const { return static_cast<int>(FSubscribers.size()); }
  // Logged on: a logon succeeded since the last logoff of this Outlook.
  bool LoggedOn() const { return FRunning && FLoggedOn; }
  struct LogonCall {
    std::wstring Profile;
    bool ShowDialog;
    bool NewSession;
  };
  std::vector<LogonCall> LogonCalls;    // every logon, in order
  std::vector<std::wstring> SavePaths;  // every path an attachment was asked to be saved to

 private:
  friend class FakeOutlookObject;
  friend class FakeOutlookConnection;

  // Counts the call and raises what it must: an Outlook that has ended
  // (`instance` is the Outlook the calling object belongs to), an injected
  // failure.
  void Enter(std::wstring_view operation, int instance);

  struct Failure {
    std::int32_t Code;
    int Remaining;  // negative: always
  };
  struct Subscriber {
    int Instance;
    std::function<void()> OnQuit;
  };

  std::map<std::wstring, int, std::less<>> FCalls;
  std::map<std::wstring, Failure, std::less<>> FFailures;
  std::map<int, Subscriber> FSubscribers;
  int FNextSubscription = 1;
  int FInstance = 0;
  bool FRunning = false;
  bool FLoggedOn = false;
  int FStarts = 0;
  int FDisconnects = 0;
};

}  // namespace ostrevin
