// OutlookAdapterWinTest.cpp - the late-bound Outlook adapter against the stand-in Outlook under Wine.
//
// The suite registers standin-outlook.exe as "Outlook.Application" in the
// test prefix (with the fixture mailbox of fixtures/outlook-adapter) and
// removes the registration at the end. Each test starts from no running
// stand-in and kills every stand-in it leaves. The tests drive the stand-in
// through its control members (StandInSetSelection, StandInQuit, ...),
// which they call late-bound on the object the stand-in puts in the running
// object table.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "foundation/TextEncoding.h"
#include "platform/ComPtr_win.h"
#include "platform/FileSystem.h"
#include "platform/OleError.h"
#include "platform/OutlookObjectModel.h"
#include "platform/Ports.h"
#include "platform/Win32Adapters.h"
#include "platform/Win32Platform.h"
#include "platform/WinApi_win.h"
#include "platform/WinHandles_win.h"

#include <oleauto.h>

namespace ostrevin {
namespace {

constexpr CLSID kOutlookClsid = {0x0006F03A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr DWORD kStartTimeoutMs = 30000;

// A path of the Linux host as Wine shows it: on drive Z:.
std::wstring HostPath(const char* path) {
  std::wstring result = L"Z:" + Utf8ToWide(path);
  for (wchar_t& c : result)
    if (c == L'/') c = L'\\';
  return result;
}

const std::wstring& StandInExe() {
  static const std::wstring path = HostPath(OSTREVIN_STANDIN_OUTLOOK_EXE);
  return path;
}
std::wstring Fixture(const wchar_t* name = L"") {
  std::wstring folder = HostPath(OSTREVIN_OUTLOOK_ADAPTER_FIXTURES);
  if (*name != L'\0') folder += std::wstring(L"\\") + name;
  return folder;
}

using UniqueProcess = UniqueKernelHandle;

// Starts `arguments` after the quoted stand-in path.
UniqueProcess StartStandIn(const std::wstring& arguments, DWORD* processId = nullptr) {
  std::wstring commandLine = L"\"" + StandInExe() + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return UniqueProcess();
  CloseHandle(process.hThread);
  if (processId != nullptr) *processId = process.dwProcessId;
  return UniqueProcess(process.hProcess);
}

// Runs the stand-in with `arguments` to its end: its exit code, or -1.
long RunStandIn(const std::wstring& arguments) {
  UniqueProcess process = StartStandIn(arguments);
  if (!process || WaitForSingleObject(process.Get(), kStartTimeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  return GetExitCodeProcess(process.Get(), &code) ? static_cast<long>(code) : -1;
}

// Handles this thread's messages (and so incoming COM calls) until `done`
// says so or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = kStartTimeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

bool HasExited(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }

// The stand-in's control members, called late-bound.
class StandInControl {
 public:
  // The running stand-in, or nothing when none is registered as running.
  static std::optional<StandInControl> Find() {
    ComPtr<IUnknown> running;
    if (FAILED(GetActiveObject(kOutlookClsid, nullptr, running.Put())) || !running) return std::nullopt;
    StandInControl control;
    if (FAILED(running.QueryInterface(IID_IDispatch, control.FApplication))) return std::nullopt;
    return control;
  }

  // Zero when the stand-in does not answer.
  DWORD ProcessId() {
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr = Call(L"StandInProcessId", DISPATCH_PROPERTYGET, nullptr, 0, &result);
    const DWORD id = SUCCEEDED(hr) && result.vt == VT_I4 ? static_cast<DWORD>(result.lVal) : 0;
    VariantClear(&result);
    return id;
  }
  std::int32_t Counter(const wchar_t* name) {
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(Call(name, DISPATCH_PROPERTYGET, nullptr, 0, &result), S_OK) << WideToUtf8(name);
    const std::int32_t value = result.vt == VT_I4 ? result.lVal : -1;
    VariantClear(&result);
    return value;
  }
  std::wstring Text(const wchar_t* name) {
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(Call(name, DISPATCH_PROPERTYGET, nullptr, 0, &result), S_OK) << WideToUtf8(name);
    std::wstring text;
    if (result.vt == VT_BSTR && result.bstrVal != nullptr) text.assign(result.bstrVal, SysStringLen(result.bstrVal));
    VariantClear(&result);
    return text;
  }
  void SetSelection(const wchar_t* indexes) {
    VARIANT argument;
    argument.vt = VT_BSTR;
    argument.bstrVal = SysAllocString(indexes);
    EXPECT_EQ(Call(L"StandInSetSelection", DISPATCH_METHOD, &argument, 1, nullptr), S_OK);
    VariantClear(&argument);
  }
  // The stand-in may be gone before it answers; that is no failure here.
  void Quit() { Call(L"StandInQuit", DISPATCH_METHOD, nullptr, 0, nullptr); }

 private:
  HRESULT Call(const wchar_t* name, WORD flags, VARIANT* arguments, UINT count, VARIANT* result) {
    if (!FApplication) return E_POINTER;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = FApplication->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    DISPPARAMS parameters{arguments, nullptr, count, 0};
    return FApplication->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, nullptr, nullptr);
  }

  ComPtr<IDispatch> FApplication;
};

// The code of the EOleSysError that `call` raises, or 0 when it raises none.
std::int32_t RaisedCode(const std::function<void()>& call) {
  try {
    call();
  } catch (const EOleSysError& e) {
    return e.ErrorCode();
  }
  return 0;
}

class OutlookAdapterWin : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(RunStandIn(L"/regserver \"" + Fixture() + L"\""), 0) << "the stand-in did not register";
  }
  static void TearDownTestSuite() { RunStandIn(L"/unregserver"); }

  void SetUp() override {
    EndRunningStandIns();
    Current<FileSystem>().MakeFolder(SaveFolder());
  }
  void TearDown() override {
    connection.reset();
    EndRunningStandIns();
    for (const std::wstring& file : FSavedFiles) DeleteFileW(file.c_str());
    RemoveDirectoryW(SaveFolder().c_str());
  }

  // The running stand-in's control members; fails the test when none runs.
  StandInControl Control() {
    std::optional<StandInControl> control;
    EXPECT_TRUE(PumpUntil([&] { return (control = StandInControl::Find()).has_value(); })) << "no stand-in runs";
    return control ? *control : StandInControl();
  }

  // Starts a stand-in as a user would, not through COM, and waits until it
  // is registered as running.
  UniqueProcess StartRunningStandIn(const std::wstring& fixture, DWORD& processId) {
    UniqueProcess process = StartStandIn(L"\"" + fixture + L"\"", &processId);
    EXPECT_TRUE(process) << "the stand-in did not start";
    EXPECT_TRUE(PumpUntil([&] {
      std::optional<StandInControl> control = StandInControl::Find();
      return control && control->ProcessId() == processId;
    })) << "the stand-in did not register as running";
    return process;
  }

  std::wstring SaveFolder() const {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"ostrevin-outlook-adapter";
  }
  std::wstring SavePath(const std::wstring& name) {
    FSavedFiles.push_back(SaveFolder() + L"\\" + name);
    return FSavedFiles.back();
  }

  Win32Platform platform;
  ComInitialization com;
  std::unique_ptr<OutlookServer> server = MakeWin32OutlookServer();
  std::unique_ptr<OutlookConnection> connection;
  int quits = 0;

 private:
  // Ends every stand-in registered as running (a test may have left one):
  // asked to quit, so that it withdraws its class registration, and killed
  // only when it does not.
  static void EndRunningStandIns() {
    for (int round = 0; round < 5; ++round) {
      std::optional<StandInControl> control = StandInControl::Find();
      const DWORD id = control ? control->ProcessId() : 0;
      if (id == 0) return;
      UniqueProcess process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
      if (!process) return;
      control->Quit();
      control.reset();
      if (!PumpUntil([&] { return HasExited(process.Get()); }, 10000)) TerminateProcess(process.Get(), 1);
      WaitForSingleObject(process.Get(), kStartTimeoutMs);
    }
  }

  std::vector<std::wstring> FSavedFiles;
};

TEST_F(OutlookAdapterWin, AttachesToTheRunningOutlook) {
  DWORD processId = 0;
  UniqueProcess running = StartRunningStandIn(Fixture(), processId);
  StandInControl control = Control();

  connection = server->Connect([&] { ++quits; });
  std::shared_ptr<OutlookApplication> application = connection->Application();
  ASSERT_NE(application, nullptr);
  EXPECT_EQ(application->Version(), L"16.0.4711.1000");

  // The logon reached the stand-in that was running: no second one started.
  std::shared_ptr<OutlookNameSpace> nameSpace = application->GetNamespace(L"MAPI");
  nameSpace->Logon(L"Adapter Tests", true, true);
  EXPECT_EQ(control.Counter(L"StandInLogonCount"), 1);
  EXPECT_EQ(StandInControl::Find()->ProcessId(), processId);
  EXPECT_EQ(control.Counter(L"StandInAdviseCount"), 1);

  // Disconnecting unsubscribes and leaves Outlook running.
  connection->Disconnect();
  EXPECT_EQ(connection->Application(), nullptr);
  EXPECT_EQ(control.Counter(L"StandInAdviseCount"), 0);
  EXPECT_FALSE(HasExited(running.Get()));
  EXPECT_EQ(control.Counter(L"StandInLogoffCount"), 0);
  connection->Disconnect();
}

TEST_F(OutlookAdapterWin, StartsOutlookWhenNoneRuns) {
  ASSERT_FALSE(StandInControl::Find().has_value());

  connection = server->Connect([&] { ++quits; });

  EXPECT_EQ(connection->Application()->Version(), L"16.0.4711.1000");
  EXPECT_NE(Control().ProcessId(), 0u);
}

TEST_F(OutlookAdapterWin, NameSpaceLogsOnAndReachesItsFolders) {
  connection = server->Connect([&] { ++quits; });
  std::shared_ptr<OutlookNameSpace> nameSpace = connection->Application()->GetNamespace(L"MAPI");
  StandInControl control = Control();

  // The password goes as the omitted parameter.
  nameSpace->Logon(L"Work \u00C5", true, false);
  EXPECT_EQ(control.Text(L"StandInLastLogonArguments"),
            L"VT_BSTR \"Work \u00C5\", VT_ERROR 0x80020004, VT_BOOL -1, VT_BOOL 0");
  EXPECT_EQ(nameSpace->CurrentProfileName(), L"Adapter Tests");
  EXPECT_EQ(nameSpace->Application()->Version(), L"16.0.4711.1000");
  nameSpace->Logoff();
  EXPECT_EQ(control.Counter(L"StandInLogonCount"), 1);
  EXPECT_EQ(control.Counter(L"StandInLogoffCount"), 1);

  // A folder's parent is a folder up to the store's top folder, whose
  // parent (the namespace) is not.
  std::unique_ptr<OutlookFolder> calendar = nameSpace->GetDefaultFolder(OutlookFolderKind::Calendar);
  ASSERT_NE(calendar, nullptr);
  EXPECT_EQ(calendar->Name(), L"Calendar");
  std::unique_ptr<OutlookFolder> team = calendar->Parent();
  ASSERT_NE(team, nullptr);
  EXPECT_EQ(team->Name(), L"Team");
  std::unique_ptr<OutlookFolder> top = team->Parent();
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->Name(), L"Mailbox - Ada");
  EXPECT_EQ(top->Parent(), nullptr);

  EXPECT_EQ(nameSpace->GetDefaultFolder(OutlookFolderKind::Contacts)->Name(), L"Contacts");
  EXPECT_EQ(nameSpace->GetDefaultFolder(OutlookFolderKind::Tasks)->Name(), L"Tasks");
  std::unique_ptr<OutlookFolder> picked = nameSpace->PickFolder();
  ASSERT_NE(picked, nullptr);
  EXPECT_EQ(picked->Name(), L"Projects");
  EXPECT_EQ(picked->Parent()->Name(), L"Inbox");
}

TEST_F(OutlookAdapterWin, RefusalsAndAbsences) {
  DWORD processId = 0;
  UniqueProcess running = StartRunningStandIn(Fixture(L"refusing"), processId);
  connection = server->Connect([&] { ++quits; });
  std::shared_ptr<OutlookApplication> application = connection->Application();
  std::shared_ptr<OutlookNameSpace> nameSpace = application->GetNamespace(L"MAPI");

  EXPECT_EQ(RaisedCode([&] { nameSpace->Logon(L"Anyone", true, true); }), static_cast<std::int32_t>(0x80040111u));
  EXPECT_EQ(application->ActiveExplorer(), nullptr);
  EXPECT_EQ(nameSpace->PickFolder(), nullptr);
  EXPECT_LT(RaisedCode([&] { nameSpace->GetDefaultFolder(OutlookFolderKind::Contacts); }), 0);
}

TEST_F(OutlookAdapterWin, SelectionTellsMailItemsFromOtherItems) {
  connection = server->Connect([&] { ++quits; });
  Control().SetSelection(L"1,2,3,4,5");

  std::unique_ptr<OutlookExplorer> explorer = connection->Application()->ActiveExplorer();
  ASSERT_NE(explorer, nullptr);
  std::unique_ptr<OutlookSelection> selection = explorer->Selection();
  ASSERT_NE(selection, nullptr);
  ASSERT_EQ(selection->Count(), 5);

  struct Case {
    std::int32_t Index;
    bool IsMail;
    std::int32_t Attachments;
  };
  const Case cases[] = {{1, true, 3}, {2, false, 0}, {3, true, 0}, {4, false, 0}, {5, false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Index);
    std::unique_ptr<OutlookMailItem> mail = selection->Item(c.Index)->AsMailItem();
    EXPECT_EQ(mail != nullptr, c.IsMail);
    if (mail) {
      EXPECT_EQ(mail->Attachments()->Count(), c.Attachments);
    }
  }
  EXPECT_LT(RaisedCode([&] { selection->Item(6); }), 0);

  Control().SetSelection(L"");
  EXPECT_EQ(connection->Application()->ActiveExplorer()->Selection()->Count(), 0);
}

TEST_F(OutlookAdapterWin, AttachmentsKeepTheirNamesAndSaveTheirContent) {
  connection = server->Connect([&] { ++quits; });
  Control().SetSelection(L"1,7");
  std::unique_ptr<OutlookSelection> selection = connection->Application()->ActiveExplorer()->Selection();
  std::unique_ptr<OutlookAttachments> attachments = selection->Item(1)->AsMailItem()->Attachments();
  ASSERT_EQ(attachments->Count(), 3);

  const std::wstring nonAscii = L"Gr\u00FC\u00DFe \u4E2D\u6587 \U0001F600.txt";
  EXPECT_EQ(attachments->Item(1)->FileName(), L"report.txt");
  EXPECT_EQ(attachments->Item(2)->FileName(), nonAscii);
  EXPECT_EQ(attachments->Item(3)->FileName(), L"big.bin");

  const std::wstring report = SavePath(L"report.txt");
  const std::wstring greeting = SavePath(nonAscii);
  const std::wstring big = SavePath(L"big.bin");
  // Saving replaces a longer file that is there.
  Current<FileSystem>().WriteAllBytes(report, std::vector<std::uint8_t>(100, 'x'));
  attachments->Item(1)->SaveAsFile(report);
  attachments->Item(2)->SaveAsFile(greeting);
  attachments->Item(3)->SaveAsFile(big);

  const std::string reportText = "Numbers\r\nand more numbers\r\n";
  EXPECT_EQ(Current<FileSystem>().ReadAllBytes(report), std::vector<std::uint8_t>(reportText.begin(), reportText.end()));
  const std::string greetingText = "Gr\xC3\xBC\xC3\x9F" "e";
  EXPECT_EQ(Current<FileSystem>().ReadAllBytes(greeting),
            std::vector<std::uint8_t>(greetingText.begin(), greetingText.end()));
  const std::vector<std::uint8_t> bigContent = Current<FileSystem>().ReadAllBytes(big);
  ASSERT_EQ(bigContent.size(), 70000u);
  EXPECT_EQ(bigContent[0], 'a');
  EXPECT_EQ(bigContent[26], 'a');
  EXPECT_EQ(bigContent[69999], 'a' + 69999 % 26);

  // An attachment without a name answers the empty name.
  EXPECT_EQ(selection->Item(2)->AsMailItem()->Attachments()->Item(1)->FileName(), L"");
}

TEST_F(OutlookAdapterWin, FailedSaveRaisesOutlooksCode) {
  connection = server->Connect([&] { ++quits; });
  Control().SetSelection(L"6");
  std::unique_ptr<OutlookAttachments> attachments =
      connection->Application()->ActiveExplorer()->Selection()->Item(1)->AsMailItem()->Attachments();
  const std::wstring path = SavePath(L"locked.txt");

  EXPECT_EQ(RaisedCode([&] { attachments->Item(1)->SaveAsFile(path); }), static_cast<std::int32_t>(0x80070020u));
  EXPECT_FALSE(Current<FileSystem>().FileExists(path));
  // A folder that does not exist cannot be written either.
  EXPECT_LT(RaisedCode([&] { attachments->Item(1)->SaveAsFile(SaveFolder() + L"\\missing\\locked.txt"); }), 0);
}

TEST_F(OutlookAdapterWin, QuitEventReachesTheCallbackWhichMayDisconnect) {
  connection = server->Connect([&] {
    ++quits;
    connection->Disconnect();  // as the session broker does when nobody holds the session
  });
  StandInControl control = Control();
  UniqueProcess standIn(OpenProcess(SYNCHRONIZE, FALSE, control.ProcessId()));
  ASSERT_TRUE(standIn);

  control.Quit();

  EXPECT_TRUE(PumpUntil([&] { return quits > 0; })) << "no quit event arrived";
  EXPECT_TRUE(PumpUntil([&] { return HasExited(standIn.Get()); })) << "the stand-in did not exit";
  EXPECT_EQ(quits, 1);
  EXPECT_EQ(connection->Application(), nullptr);
}

TEST_F(OutlookAdapterWin, DisconnectedConnectionHearsNoQuit) {
  connection = server->Connect([&] { ++quits; });
  StandInControl control = Control();
  UniqueProcess standIn(OpenProcess(SYNCHRONIZE, FALSE, control.ProcessId()));
  ASSERT_TRUE(standIn);

  connection->Disconnect();
  control.Quit();

  EXPECT_TRUE(PumpUntil([&] { return HasExited(standIn.Get()); })) << "the stand-in did not exit";
  EXPECT_EQ(quits, 0);
}

// Wine's rpcss keeps the class registration of a server that was killed
// until the wineserver ends, so after this test no stand-in can be started
// through COM in this run: the suite is the last of the program.
class OutlookAdapterWinKilled : public OutlookAdapterWin {};

TEST_F(OutlookAdapterWinKilled, KilledOutlookAnswersRpcServerUnavailable) {
  connection = server->Connect([&] { ++quits; });
  std::shared_ptr<OutlookApplication> application = connection->Application();
  std::shared_ptr<OutlookNameSpace> nameSpace = application->GetNamespace(L"MAPI");
  std::unique_ptr<OutlookSelection> selection = application->ActiveExplorer()->Selection();
  UniqueProcess standIn(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, Control().ProcessId()));
  ASSERT_TRUE(standIn);

  TerminateProcess(standIn.Get(), 1);
  ASSERT_EQ(WaitForSingleObject(standIn.Get(), kStartTimeoutMs), WAIT_OBJECT_0);

  EXPECT_EQ(RaisedCode([&] { application->Version(); }), OutlookError::RpcServerUnavailable);
  EXPECT_EQ(RaisedCode([&] { nameSpace->Logoff(); }), OutlookError::RpcServerUnavailable);
  EXPECT_EQ(RaisedCode([&] { selection->Count(); }), OutlookError::RpcServerUnavailable);
  connection->Disconnect();  // nothing to unsubscribe from, and no error
  EXPECT_EQ(quits, 0);

  // Outlook started again by the user: the next connection attaches to it.
  DWORD processId = 0;
  UniqueProcess restarted = StartRunningStandIn(Fixture(), processId);
  connection = server->Connect([&] { ++quits; });
  EXPECT_EQ(connection->Application()->Version(), L"16.0.4711.1000");
  EXPECT_EQ(Control().ProcessId(), processId);
}

}  // namespace
}  // namespace ostrevin
