// OutlookDragDropHandlerTest.cpp - the Outlook drop handler against in-memory Outlook, files and windows.
#include "outlook/OutlookDragDropHandler.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fakes/FakeCancelableWindows.h"
#include "fakes/FakeDragDrop.h"
#include "fakes/FakeOutlook.h"
#include "fakes/FakeOutlookSyncWindows.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeShell.h"
#include "foundation/ExceptionDisplay.h"
#include "foundation/OfficeInstall.h"
#include "outlook/OutlookSyncSettingsFrm.h"
#include "outlook/VemMapiUtils.h"
#include "outlook/VemOutlookUtils.h"
#include "platform/OleError.h"

namespace ostrevin {
namespace {

using Strings = std::vector<std::wstring>;
using Bytes = std::vector<std::uint8_t>;
constexpr const wchar_t* kDesktop = L"C:\\Users\\Ada\\Desktop";
constexpr const wchar_t* kChosen = L"C:\\Saved";
constexpr std::int32_t kSaveFailed = static_cast<std::int32_t>(0x80070020u);

Bytes Text(const char* text) { return Bytes(text, text + std::char_traits<char>::length(text)); }
FakeOutlookAttachment Attachment(std::wstring name, const char* content = "x") {
  return {std::move(name), Text(content), std::nullopt};
}

class OutlookDropHandler : public ::testing::Test {
 protected:
  OutlookDropHandler() {
    const int top = outlook.AddFolder(L"Mailbox - Ada");
    for (OutlookFolderKind kind : {OutlookFolderKind::Contacts, OutlookFolderKind::Tasks, OutlookFolderKind::Calendar})
      outlook.DefaultFolders[kind] = outlook.AddFolder(L"Folder", top);
    platform.Mapi.AddProfile("Outlook", true);
    platform.Files.AddFolder(kDesktop);
    platform.Files.SetSpecialFolder(16, kDesktop);
    platform.Files.AddFolder(kChosen);
    shell.Answer = kChosen;
    fromOutlook.Formats = {1, dragDrop.RegisterFormat(L"RenPrivateSourceFolder")};
    FinalizeOfficeInstall();
    InitializeMapiHelperLibrary();
    FPreviousDisplay = SetShowExceptionRoutine([this](const std::exception& e) { Shown.push_back(ExceptionMessage(e)); });
  }
  ~OutlookDropHandler() override {
    handler.reset();
    FinalizeVemOutlookUtils();
    FinalizeMapiHelperLibrary();
    FinalizeOfficeInstall();
    SetShowExceptionRoutine(std::move(FPreviousDisplay));
  }

  // The mailbox, all of it selected.
  void Select(std::vector<FakeOutlookItem> items) {
    outlook.Mailbox = std::move(items);
    outlook.Selected.clear();
    for (std::size_t i = 1; i <= outlook.Mailbox.size(); ++i) outlook.Selected.push_back(static_cast<int>(i));
  }
  bool Enter(DataObject& data) {
    std::uint32_t effect = DropEffect::Copy;
    return handler->DragEnter(data, 0, effect);
  }
  bool Enter() { return Enter(fromOutlook); }
  void Drop() {
    std::uint32_t effect = DropEffect::Copy;
    handler->Drop(fromOutlook, 0, effect);
  }
  // A drag that enters and drops; false when the probe refused it.
  bool DragAndDrop() {
    if (!Enter()) return false;
    Drop();
    return true;
  }
  int UseCount() { return GetOutlookSyncLaunchForm().RefCount(); }
  Strings Saved() const { return platform.Files.FileNames(kChosen); }
  Bytes SavedContent(const wchar_t* name) const {
    return platform.Files.ReadAllBytes(std::wstring(kChosen) + L"\\" + name);
  }

  FakePlatform platform;
  FakeOutlook outlook;
  ScopedPort<OutlookServer> outlookPort{outlook};
  FakeOutlookSyncWindows syncWindows;
  ScopedPort<OutlookSyncWindows> syncWindowsPort{syncWindows};
  FakeCancelableWindows progress;
  ScopedPort<CancelableWindows> progressPort{progress};
  FakeShell shell;
  ScopedPort<Shell> shellPort{shell};
  FakeDragDrop dragDrop;
  ScopedPort<DragDrop> dragDropPort{dragDrop};
  FakeDataObject fromOutlook;
  std::unique_ptr<TOutlookEmailDragDropHandler> handler = std::make_unique<TOutlookEmailDragDropHandler>();
  Strings Shown;

 private:
  ShowExceptionRoutine FPreviousDisplay;
};

// --- The probe ---------------------------------------------------------------------

TEST_F(OutlookDropHandler, ADragWithoutOutlooksFormatNeverTouchesOutlook) {
  FakeDataObject text({1, 13});
  EXPECT_FALSE(Enter(text));
  EXPECT_EQ(outlook.Connects(), 0);
  EXPECT_EQ(syncWindows.Created, 0);
}

TEST_F(OutlookDropHandler, TheProbeAcceptsAMailOrALongLookAndRefusesEverythingElse) {
  struct Case {
    const char* Name;
    std::vector<FakeOutlookItem> Items;
    std::uint32_t MillisecondsPerItem;
    bool HasExplorer, HasSelection, Accepted;
  };
  const Case cases[] = {
      {"a mail", {FakeOutlookItem::Mail()}, 0, true, true, true},
      {"a mail after other items", {FakeOutlookItem::Other(), FakeOutlookItem::Mail()}, 0, true, true, true},
      {"other items, quickly", {FakeOutlookItem::Other(), FakeOutlookItem::Other()}, 400, true, true, false},
      {"other items, slowly", {FakeOutlookItem::Other(), FakeOutlookItem::Other(), FakeOutlookItem::Other()}, 400,
       true, true, true},
      {"nothing selected", {}, 0, true, true, false},
      {"no explorer", {FakeOutlookItem::Mail()}, 0, false, true, false},
      {"no selection", {FakeOutlookItem::Mail()}, 0, true, false, false},
  };
  for (const Case& c : cases) {
    Select(c.Items);
    outlook.HasActiveExplorer = c.HasExplorer;
    outlook.HasSelection = c.HasSelection;
    outlook.OnCall = [&](std::wstring_view operation) {
      if (operation == L"Selection.Item") platform.Ticks.Advance(c.MillisecondsPerItem);
    };
    EXPECT_EQ(Enter(), c.Accepted) << c.Name;
    EXPECT_EQ(UseCount(), c.Accepted ? 1 : 0) << c.Name;
    EXPECT_EQ(handler->NameSpace() != nullptr, c.Accepted) << c.Name;
    handler->DragLeave();
    EXPECT_EQ(UseCount(), 0) << c.Name;
  }
  EXPECT_TRUE(Shown.empty());
}

TEST_F(OutlookDropHandler, AnOutlookThatCannotBeReachedRefusesSilently) {
  outlook.Fail(L"Server.Connect", static_cast<std::int32_t>(0x80080005u));
  Select({FakeOutlookItem::Mail()});
  EXPECT_FALSE(Enter());
  EXPECT_FALSE(Enter());
  EXPECT_EQ(UseCount(), 0);
  EXPECT_EQ(Shown.size(), 1u);  // only the window's creation shows its error
}

TEST_F(OutlookDropHandler, AFailingCallInTheProbeRaisesAndGivesTheSessionBack) {
  Select({FakeOutlookItem::Mail()});
  outlook.Fail(L"Selection.Item", static_cast<std::int32_t>(0x80010108u));
  EXPECT_THROW(Enter(), EOleSysError);
  EXPECT_EQ(UseCount(), 0);
  EXPECT_FALSE(handler->NameSpace());
}

// --- The save ------------------------------------------------------------------------

TEST_F(OutlookDropHandler, AttachmentsAreSavedUnderNamesNoFileHad) {
  platform.Files.AddFile(std::wstring(kChosen) + L"\\b.txt", Text("kept"));
  Select({FakeOutlookItem::Mail({Attachment(L"a.txt", "one"), Attachment(L"README")}),
          FakeOutlookItem::Other(),
          FakeOutlookItem::Mail({Attachment(L"a.txt", "two"), Attachment(L"b.txt", "new b")}),
          FakeOutlookItem::Mail(), FakeOutlookItem::Mail({Attachment(L"A.TXT", "three"), Attachment(L"README")})});
  ASSERT_TRUE(DragAndDrop());

  EXPECT_EQ(Saved(), (Strings{L"a (2).txt", L"a (3).txt", L"a.txt", L"b (2).txt", L"b.txt", L"readme",
                              L"readme (2)"}));
  EXPECT_EQ(SavedContent(L"a.txt"), Text("one"));
  EXPECT_EQ(SavedContent(L"a (2).txt"), Text("two"));
  EXPECT_EQ(SavedContent(L"a (3).txt"), Text("three"));
  EXPECT_EQ(SavedContent(L"b.txt"), Text("kept"));
  EXPECT_EQ(outlook.SavePaths[4], L"C:\\Saved\\A (3).TXT");
  EXPECT_EQ(UseCount(), 0);
  EXPECT_EQ(progress.Open(), nullptr);
  EXPECT_TRUE(Shown.empty());
}

TEST_F(OutlookDropHandler, TheFolderDialogOffersTheDesktopAndTheProgressCountsMessages) {
  Select({FakeOutlookItem::Mail({Attachment(L"a.txt")}), FakeOutlookItem::Mail()});
  ASSERT_TRUE(DragAndDrop());
  ASSERT_EQ(shell.Requests.size(), 1u);
  EXPECT_EQ(shell.Requests[0].Caption, L"Choose a folder where you'd like save the attachements.");
  EXPECT_EQ(shell.Requests[0].InitialFolder, kDesktop);
  EXPECT_EQ(progress.Messages, (Strings{L"Processing 0 of 2 messages from Outlook",
                                        L"Processing 1 of 2 messages from Outlook",
                                        L"Processing 2 of 2 messages from Outlook", L"Please wait..."}));

  platform.Files.SetSpecialFolder(16, L"C:\\Users\\Ada\\Gone");  // a desktop that does not exist
  ASSERT_TRUE(DragAndDrop());
  EXPECT_EQ(shell.Requests[1].InitialFolder, L"");
}

TEST_F(OutlookDropHandler, CancellingTheFolderDialogSavesNothing) {
  shell.Answer.reset();
  Select({FakeOutlookItem::Mail({Attachment(L"a.txt")})});
  ASSERT_TRUE(DragAndDrop());
  EXPECT_TRUE(Saved().empty());
  EXPECT_EQ(progress.Created, 0);
  EXPECT_EQ(UseCount(), 0);
}

TEST_F(OutlookDropHandler, NonMailItemsAcceptedByASlowLookSaveNothingButShowProgress) {
  Select({FakeOutlookItem::Other(), FakeOutlookItem::Other()});
  outlook.Mailbox[0].Attachments = {Attachment(L"agenda.txt")};
  outlook.OnCall = [&](std::wstring_view operation) {
    if (operation == L"Selection.Item") platform.Ticks.Advance(700);
  };
  ASSERT_TRUE(DragAndDrop());
  EXPECT_TRUE(Saved().empty());
  EXPECT_EQ(progress.Created, 1);
  EXPECT_EQ(progress.Open(), nullptr);
}

TEST_F(OutlookDropHandler, CancelInTheProgressWindowStopsBeforeTheNextMessageAndKeepsTheFiles) {
  Select({FakeOutlookItem::Mail({Attachment(L"first.txt")}), FakeOutlookItem::Mail({Attachment(L"second.txt")})});
  int updates = 0;
  // The click is handled at the second update, before the second message.
  progress.OnProcessMessages = [&] {
    if (++updates == 2) progress.Open()->PressCancel();
  };
  EXPECT_THROW(DragAndDrop(), EAbort);
  EXPECT_EQ(Saved(), (Strings{L"first.txt"}));
  EXPECT_EQ(progress.Open(), nullptr);
  EXPECT_EQ(UseCount(), 0);
}

TEST_F(OutlookDropHandler, AFailingSaveStopsThereKeepsEarlierFilesAndLeavesNoReservation) {
  Select({FakeOutlookItem::Mail({Attachment(L"one.txt")}),
          FakeOutlookItem::Mail({Attachment(L"locked.txt"), Attachment(L"never.txt")})});
  outlook.Mailbox[1].Attachments[0].SaveFailure = kSaveFailed;
  ASSERT_TRUE(Enter());
  try {
    Drop();
    FAIL() << "the failing save raised nothing";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.ErrorCode(), kSaveFailed);
  }
  EXPECT_EQ(Saved(), (Strings{L"one.txt"}));
  EXPECT_EQ(progress.Open(), nullptr);
  EXPECT_EQ(UseCount(), 0);
}

TEST_F(OutlookDropHandler, AFileMadeBetweenTheCheckAndTheSaveIsNotOverwritten) {
  const std::wstring intruder = std::wstring(kChosen) + L"\\a.txt";
  platform.Files.BeforeCreateNewFile = [&](std::wstring_view path) {
    if (path == intruder && !platform.Files.FileExists(intruder)) platform.Files.AddFile(intruder, Text("theirs"));
  };
  Select({FakeOutlookItem::Mail({Attachment(L"a.txt", "ours")})});
  ASSERT_TRUE(DragAndDrop());
  EXPECT_EQ(SavedContent(L"a.txt"), Text("theirs"));
  EXPECT_EQ(SavedContent(L"a (2).txt"), Text("ours"));
}

TEST_F(OutlookDropHandler, HostileNamesStayInTheChosenFolder) {
  const std::wstring tooLong = std::wstring(300, L'n') + L".pdf";
  Select({FakeOutlookItem::Mail({Attachment(L"..\\..\\evil.txt"), Attachment(L"C:\\Windows\\system.ini"),
                                 Attachment(L"../up.txt"), Attachment(L"CON"), Attachment(L""), Attachment(L".."),
                                 Attachment(L"a:stream"), Attachment(tooLong), Attachment(tooLong)})});
  ASSERT_TRUE(DragAndDrop());
  for (const std::wstring& path : outlook.SavePaths) {
    EXPECT_EQ(path.rfind(L"C:\\Saved\\", 0), 0u) << path;
    EXPECT_EQ(path.find(L'\\', 9), std::wstring::npos) << path;
    EXPECT_LE(path.size(), TUniquePaths::kMaxPath) << path;
  }
  const Strings saved = Saved();
  EXPECT_EQ(saved.size(), 9u);
  for (const wchar_t* name : {L"evil.txt", L"system.ini", L"up.txt", L"_con", L"attachment", L"attachment (2)",
                              L"stream"})
    EXPECT_NE(std::find(saved.begin(), saved.end(), name), saved.end()) << name;
  EXPECT_EQ(outlook.SavePaths[7].substr(outlook.SavePaths[7].size() - 4), L".pdf");
  EXPECT_EQ(outlook.SavePaths[8].substr(outlook.SavePaths[8].size() - 8), L" (2).pdf");
}

// --- Names -----------------------------------------------------------------------------

TEST(AttachmentFileNames, AreReducedToOneSafeName) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"report.pdf", L"report.pdf"},
      {L"..\\..\\Windows\\evil.exe", L"evil.exe"},
      {L"/etc/passwd", L"passwd"},
      {L"C:evil.txt", L"evil.txt"},
      {L"a<b>c\"d|e?f*g.txt", L"a_b_c_d_e_f_g.txt"},
      {std::wstring(L"tab\there\x01.txt"), L"tab_here_.txt"},
      {L"trailing. . .", L"trailing"},
      {L"", L"Attachment"},
      {L".", L"Attachment"},
      {L"..", L"Attachment"},
      {L"  ", L"Attachment"},
      {L"dir\\", L"Attachment"},
      {L"CON", L"_CON"},
      {L"con.txt", L"_con.txt"},
      {L"Lpt9.log", L"_Lpt9.log"},
      {L"COM\u00B2", L"_COM\u00B2"},
      {L"CONOUT$", L"_CONOUT$"},
      {L"nul .tar.gz", L"_nul .tar.gz"},
      {L"CONSOLE.txt", L"CONSOLE.txt"},
      {L"COM10", L"COM10"},
      {L".profile", L".profile"},
      {L"Gr\u00FC\u00DFe \U0001F600.txt", L"Gr\u00FC\u00DFe \U0001F600.txt"},
  };
  for (const auto& [name, safe] : cases) EXPECT_EQ(SafeAttachmentFileName(name), safe) << name;
  // A lone half of a surrogate pair has no place in a file name.
  EXPECT_EQ(SafeAttachmentFileName(std::wstring(L"a") + wchar_t(0xD800) + L"b"), L"a_b");
}

class UniquePaths : public ::testing::Test {
 protected:
  UniquePaths() { platform.Files.AddFolder(L"C:\\out"); }
  std::wstring Make(TUniquePaths& paths, std::wstring path) {
    paths.MakePathUnique(path);
    return path;
  }
  FakePlatform platform;
};

TEST_F(UniquePaths, NumbersTakenNamesBeforeTheExtensionAndReservesTheFile) {
  platform.Files.AddFile(L"C:\\out\\report.pdf");
  platform.Files.AddFolder(L"C:\\out\\data");  // a folder takes the name too
  TUniquePaths paths;
  EXPECT_EQ(Make(paths, L"C:\\out\\report.pdf"), L"C:\\out\\report (2).pdf");
  EXPECT_EQ(Make(paths, L"C:\\out\\report.pdf"), L"C:\\out\\report (3).pdf");
  EXPECT_EQ(Make(paths, L"C:\\out\\data"), L"C:\\out\\data (2)");
  EXPECT_EQ(Make(paths, L"C:\\out\\new.txt"), L"C:\\out\\new.txt");
  EXPECT_TRUE(platform.Files.FileExists(L"C:\\out\\new.txt"));
  EXPECT_THROW(Make(paths, L"C:\\missing\\a.txt"), EFCreateError);
}

TEST_F(UniquePaths, ManyFilesOfOneNameCostOneReservationEach) {
  TUniquePaths paths;
  for (int i = 0; i < 500; ++i) Make(paths, L"C:\\out\\a.txt");
  EXPECT_EQ(Make(paths, L"C:\\out\\A.TXT"), L"C:\\out\\A (501).TXT");
  EXPECT_EQ(platform.Files.Probes(), 501);
}

TEST_F(UniquePaths, LongNamesAreShortenedKeepingNumberAndExtension) {
  const std::wstring folder = L"C:\\out\\" + std::wstring(200, L'f');
  platform.Files.AddFolder(folder);
  TUniquePaths paths;
  const std::wstring first = Make(paths, folder + L"\\" + std::wstring(100, L'n') + L".docx");
  const std::wstring second = Make(paths, folder + L"\\" + std::wstring(100, L'n') + L".docx");
  EXPECT_EQ(first.size(), TUniquePaths::kMaxPath);
  EXPECT_EQ(second.size(), TUniquePaths::kMaxPath);
  EXPECT_EQ(first.substr(first.size() - 5), L".docx");
  EXPECT_EQ(second.substr(second.size() - 9), L" (2).docx");
  // An extension that leaves no room is cut with the name.
  const std::wstring odd = Make(paths, folder + L"\\x." + std::wstring(100, L'e'));
  EXPECT_EQ(odd.size(), TUniquePaths::kMaxPath);
}

// --- Module ------------------------------------------------------------------------------

TEST(OutlookDragDropHandlerModule, RegistersOneHandlerUntilFinalised) {
  InitializeVemFxShellDragDrop();
  InitializeOutlookDragDropHandler();
  ASSERT_EQ(DropHandlers()->size(), 1u);
  EXPECT_NE(dynamic_cast<TOutlookEmailDragDropHandler*>(DropHandlers()->front().get()), nullptr);
  FinalizeOutlookDragDropHandler();
  EXPECT_TRUE(DropHandlers()->empty());
  FinalizeVemFxShellDragDrop();
}

}  // namespace
}  // namespace ostrevin
