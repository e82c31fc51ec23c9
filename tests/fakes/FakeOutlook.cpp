// FakeOutlook.cpp - an in-memory Outlook for native tests.
//
// Every object remembers which Outlook (instance number) made it and goes
// through FakeOutlook::Enter at each call, so objects of an Outlook that
// has quit or been killed fail the way remote objects of a dead server do.
#include "fakes/FakeOutlook.h"

#include <algorithm>
#include <array>
#include <utility>

#include "foundation/ExceptionDisplay.h"
#include "foundation/TextCompare.h"
#include "foundation/VemSysUtils.h"
#include "platform/FileSystem.h"
#include "platform/OleError.h"
#include "platform/Ports.h"

namespace ostrevin {

namespace {

constexpr std::array<std::wstring_view, 21> kOperations = {
    L"Server.Connect",          L"Application.Version",       L"Application.GetNamespace",
    L"Application.ActiveExplorer", L"NameSpace.Logon",        L"NameSpace.Logoff",
    L"NameSpace.CurrentProfileName", L"NameSpace.Application", L"NameSpace.GetDefaultFolder",
    L"NameSpace.PickFolder",    L"Explorer.Selection",        L"Selection.Count",
    L"Selection.Item",          L"Item.AsMailItem",           L"MailItem.Attachments",
    L"Attachments.Count",       L"Attachments.Item",          L"Attachment.FileName",
    L"Attachment.SaveAsFile",   L"Folder.Name",               L"Folder.Parent",
};

constexpr std::int32_t kInvalidArgument = static_cast<std::int32_t>(0x80070057u);  // E_INVALIDARG

void CheckIndex(std::int32_t index, std::size_t count) {
  if (index < 1 || static_cast<std::size_t>(index) > count)
    throw EOleSysError(FakeOutlook::kBadIndex, L"Array index out of bounds.");
}

}  // namespace

// The base of the fake's objects: the Outlook they belong to.
class FakeOutlookObject {
 protected:
  explicit FakeOutlookObject(FakeOutlook& outlook) noexcept : FOutlook(outlook), FInstance(outlook.FInstance) {}
  FakeOutlookObject(FakeOutlook& outlook, int instance) noexcept : FOutlook(outlook), FInstance(instance) {}

  FakeOutlook& Enter(std::wstring_view operation) {
    FOutlook.Enter(operation, FInstance);
    return FOutlook;
  }
  FakeOutlook& Outlook() const noexcept { return FOutlook; }
  int Instance() const noexcept { return FInstance; }
  void SetLoggedOn(bool loggedOn) noexcept { FOutlook.FLoggedOn = loggedOn; }

  FakeOutlookItem& MailboxItem(std::size_t item) const {
    if (item >= FOutlook.Mailbox.size())
      throw EVemInternalError(L"Internal Error: FakeOutlook item is not in the mailbox.");
    return FOutlook.Mailbox[item];
  }

 private:
  FakeOutlook& FOutlook;
  int FInstance;
};

namespace {

class FakeFolder final : public OutlookFolder, private FakeOutlookObject {
 public:
  FakeFolder(FakeOutlook& outlook, int instance, int folder) : FakeOutlookObject(outlook, instance), FFolder(folder) {}

  std::wstring Name() override { return Folder(Enter(L"Folder.Name")).Name; }
  std::unique_ptr<OutlookFolder> Parent() override {
    const int parent = Folder(Enter(L"Folder.Parent")).Parent;
    if (parent == FakeOutlook::kTopFolder) return nullptr;
    return std::make_unique<FakeFolder>(Outlook(), Instance(), parent);
  }

 private:
  const FakeOutlookFolder& Folder(FakeOutlook& outlook) const {
    if (FFolder < 0 || static_cast<std::size_t>(FFolder) >= outlook.Folders.size())
      throw EVemInternalError(L"Internal Error: FakeOutlook folder does not exist.");
    return outlook.Folders[static_cast<std::size_t>(FFolder)];
  }

  int FFolder;
};

std::unique_ptr<OutlookFolder> MakeFakeFolder(FakeOutlook& outlook, int instance, int folder) {
  return std::make_unique<FakeFolder>(outlook, instance, folder);
}

class FakeAttachment final : public OutlookAttachment, private FakeOutlookObject {
 public:
  FakeAttachment(FakeOutlook& outlook, int instance, std::size_t item, std::size_t attachment)
      : FakeOutlookObject(outlook, instance), FItem(item), FAttachment(attachment) {}

  std::wstring FileName() override {
    Enter(L"Attachment.FileName");
    return Attachment().FileName;
  }
  void SaveAsFile(std::wstring_view path) override {
    Enter(L"Attachment.SaveAsFile").SavePaths.emplace_back(path);
    const FakeOutlookAttachment& attachment = Attachment();
    if (attachment.SaveFailure) throw EOleSysError(*attachment.SaveFailure, L"");
    try {
      Current<FileSystem>().WriteAllBytes(path, attachment.Content);
    } catch (const Exception& e) {
      throw EOleSysError(FakeOutlook::kSaveRefused, e.Message());
    }
  }

 private:
  const FakeOutlookAttachment& Attachment() const {
    const auto& attachments = MailboxItem(FItem).Attachments;
    if (FAttachment >= attachments.size())
      throw EVemInternalError(L"Internal Error: FakeOutlook attachment does not exist.");
    return attachments[FAttachment];
  }

  std::size_t FItem;
  std::size_t FAttachment;
};

class FakeAttachments final : public OutlookAttachments, private FakeOutlookObject {
 public:
  FakeAttachments(FakeOutlook& outlook, int instance, std::size_t item)
      : FakeOutlookObject(outlook, instance), FItem(item) {}

  std::int32_t Count() override {
    Enter(L"Attachments.Count");
    return static_cast<std::int32_t>(MailboxItem(FItem).Attachments.size());
  }
  std::unique_ptr<OutlookAttachment> Item(std::int32_t index) override {
    Enter(L"Attachments.Item");
    CheckIndex(index, MailboxItem(FItem).Attachments.size());
    return std::make_unique<FakeAttachment>(Outlook(), Instance(), FItem, static_cast<std::size_t>(index - 1));
  }

 private:
  std::size_t FItem;
};

class FakeMailItem final : public OutlookMailItem, private FakeOutlookObject {
 public:
  FakeMailItem(FakeOutlook& outlook, int instance, std::size_t item)
      : FakeOutlookObject(outlook, instance), FItem(item) {}

  std::unique_ptr<OutlookAttachments> Attachments() override {
    Enter(L"MailItem.Attachments");
    return std::make_unique<FakeAttachments>(Outlook(), Instance(), FItem);
  }

 private:
  std::size_t FItem;
};

class FakeItem final : public OutlookItem, private FakeOutlookObject {
 public:
  FakeItem(FakeOutlook& outlook, int instance, std::size_t item) : FakeOutlookObject(outlook, instance), FItem(item) {}

  std::unique_ptr<OutlookMailItem> AsMailItem() override {
    Enter(L"Item.AsMailItem");
    if (!MailboxItem(FItem).IsMail) return nullptr;
    return std::make_unique<FakeMailItem>(Outlook(), Instance(), FItem);
  }

 private:
  std::size_t FItem;
};

class FakeSelection final : public OutlookSelection, private FakeOutlookObject {
 public:
  FakeSelection(FakeOutlook& outlook, int instance) : FakeOutlookObject(outlook, instance) {}

  std::int32_t Count() override { return static_cast<std::int32_t>(Enter(L"Selection.Count").Selected.size()); }
  std::unique_ptr<OutlookItem> Item(std::int32_t index) override {
    const auto& selected = Enter(L"Selection.Item").Selected;
    CheckIndex(index, selected.size());
    const int mailboxIndex = selected[static_cast<std::size_t>(index - 1)];
    MailboxItem(static_cast<std::size_t>(mailboxIndex - 1));
    return std::make_unique<FakeItem>(Outlook(), Instance(), static_cast<std::size_t>(mailboxIndex - 1));
  }
};

class FakeExplorer final : public OutlookExplorer, private FakeOutlookObject {
 public:
  FakeExplorer(FakeOutlook& outlook, int instance) : FakeOutlookObject(outlook, instance) {}

  std::unique_ptr<OutlookSelection> Selection() override {
    if (!Enter(L"Explorer.Selection").HasSelection) return nullptr;
    return std::make_unique<FakeSelection>(Outlook(), Instance());
  }
};

class FakeApplication final : public OutlookApplication, private FakeOutlookObject {
 public:
  FakeApplication(FakeOutlook& outlook, int instance) : FakeOutlookObject(outlook, instance) {}

  std::wstring Version() override { return Enter(L"Application.Version").Version; }
  std::shared_ptr<OutlookNameSpace> GetNamespace(std::wstring_view type) override;
  std::unique_ptr<OutlookExplorer> ActiveExplorer() override {
    if (!Enter(L"Application.ActiveExplorer").HasActiveExplorer) return nullptr;
    return std::make_unique<FakeExplorer>(Outlook(), Instance());
  }
};

class FakeNameSpace final : public OutlookNameSpace, private FakeOutlookObject {
 public:
  FakeNameSpace(FakeOutlook& outlook, int instance) : FakeOutlookObject(outlook, instance) {}

  void Logon(std::wstring_view profile, bool showDialog, bool newSession) override {
    FakeOutlook& outlook = Enter(L"NameSpace.Logon");
    outlook.LogonCalls.push_back({std::wstring(profile), showDialog, newSession});
    if (outlook.OnLogon) outlook.OnLogon();
    if (!profile.empty()) outlook.ProfileName = profile;
    SetLoggedOn(true);
  }
  void Logoff() override {
    Enter(L"NameSpace.Logoff");
    SetLoggedOn(false);
  }
  std::wstring CurrentProfileName() override { return Enter(L"NameSpace.CurrentProfileName").ProfileName; }
  std::shared_ptr<OutlookApplication> Application() override {
    Enter(L"NameSpace.Application");
    return std::make_shared<FakeApplication>(Outlook(), Instance());
  }
  std::unique_ptr<OutlookFolder> GetDefaultFolder(OutlookFolderKind kind) override {
    const auto& folders = Enter(L"NameSpace.GetDefaultFolder").DefaultFolders;
    const auto it = folders.find(kind);
    if (it == folders.end()) throw EOleSysError(FakeOutlook::kNotFound, L"The folder was not found.");
    return MakeFakeFolder(Outlook(), Instance(), it->second);
  }
  std::unique_ptr<OutlookFolder> PickFolder() override {
    const auto& picked = Enter(L"NameSpace.PickFolder").PickedFolder;
    if (!picked) return nullptr;
    return MakeFakeFolder(Outlook(), Instance(), *picked);
  }
};

std::shared_ptr<OutlookNameSpace> FakeApplication::GetNamespace(std::wstring_view type) {
  Enter(L"Application.GetNamespace");
  if (!SameText(type, L"MAPI")) throw EOleSysError(kInvalidArgument, L"The parameter is incorrect.");
  return std::make_shared<FakeNameSpace>(Outlook(), Instance());
}

}  // namespace

class FakeOutlookConnection final : public OutlookConnection {
 public:
  FakeOutlookConnection(FakeOutlook& outlook, int subscription)
      : FOutlook(outlook),
        FSubscription(subscription),
        FApplication(std::make_shared<FakeApplication>(outlook, outlook.FInstance)) {}
  ~FakeOutlookConnection() override { Disconnect(); }

  std::shared_ptr<OutlookApplication> Application() override { return FApplication; }
  void Disconnect() noexcept override {
    if (!FApplication) return;
    FApplication.reset();
    FOutlook.FSubscribers.erase(FSubscription);
    ++FOutlook.FDisconnects;
  }

 private:
  FakeOutlook& FOutlook;
  int FSubscription;
  std::shared_ptr<OutlookApplication> FApplication;
};

std::unique_ptr<OutlookConnection> FakeOutlook::Connect(std::function<void()> onQuit) {
  Enter(L"Server.Connect", FInstance);
  if (!FRunning) {
    ++FInstance;
    ++FStarts;
    FRunning = true;
    FLoggedOn = false;
  }
  const int subscription = FNextSubscription++;
  FSubscribers[subscription] = {FInstance, std::move(onQuit)};
  return std::make_unique<FakeOutlookConnection>(*this, subscription);
}

int FakeOutlook::AddFolder(std::wstring name, int parent) {
  Folders.push_back({std::move(name), parent});
  return static_cast<int>(Folders.size()) - 1;
}

void FakeOutlook::Fail(std::wstring_view operation, std::int32_t code, int times) {
  if (std::find(kOperations.begin(), kOperations.end(), operation) == kOperations.end())
    throw EVemInternalError(L"Internal Error: FakeOutlook has no operation " + std::wstring(operation));
  FFailures.insert_or_assign(std::wstring(operation), Failure{code, times});
}

void FakeOutlook::Quit() {
  if (!FRunning) return;
  std::vector<int> subscriptions;
  for (const auto& [subscription, subscriber] : FSubscribers)
    if (subscriber.Instance == FInstance) subscriptions.push_back(subscription);
  for (int subscription : subscriptions) {
    // A callback may disconnect this or any other connection.
    const auto it = FSubscribers.find(subscription);
    if (it == FSubscribers.end()) continue;
    const std::function<void()> onQuit = it->second.OnQuit;
    try {
      if (onQuit) onQuit();
    } catch (...) {
      ShowCurrentException();
    }
  }
  FRunning = false;
}

int FakeOutlook::Calls(std::wstring_view operation) const {
  const auto it = FCalls.find(operation);
  return it == FCalls.end() ? 0 : it->second;
}

void FakeOutlook::Enter(std::wstring_view operation, int instance) {
  ++FCalls[std::wstring(operation)];
  if (OnCall) OnCall(operation);
  const bool connecting = operation == L"Server.Connect";
  if (!connecting && (!FRunning || instance != FInstance))
    throw EOleSysError(OutlookError::RpcServerUnavailable, L"The RPC server is unavailable.");
  const auto it = FFailures.find(operation);
  if (it == FFailures.end() || it->second.Remaining == 0) return;
  if (it->second.Remaining > 0) --it->second.Remaining;
  throw EOleSysError(it->second.Code, L"");
}

}  // namespace ostrevin
