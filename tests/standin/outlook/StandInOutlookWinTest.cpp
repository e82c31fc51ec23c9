// StandInOutlookWinTest.cpp - standin-outlook.exe under Wine, driven with plain IDispatch calls.
//
// The suite writes a mailbox fixture of its own, registers the stand-in
// with it in the test prefix, and lets COM start it for every test (each
// test's last release ends it again). The calls go by name, through
// GetIDsOfNames and Invoke, across processes, as a client of Outlook makes
// them.
#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "platform/WinApi_win.h"
#include "standin/outlook/ComSupport_win.h"

#include <commctrl.h>
#include <ocidl.h>
#include <ole2.h>

namespace ostrevin::standin {
namespace {

const GUID kClsidOutlookApplication = {0x0006F03A, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kIidMapiFolder = {0x00063006, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kIidMailItem = {0x00063034, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kIidApplicationEvents = {0x0006304E, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr DISPID kDispidQuit = 0xF007;
constexpr DWORD kExitWaitMilliseconds = 10000;

// Bytes that a text conversion anywhere on the way would change.
const std::string kBinaryContent("\x00\xFF\r\n\x1A" "PK\x03\x04 end", 13);

std::wstring HostPath(const char* path) {
  std::wstring result = L"Z:";
  for (const char* c = path; *c != '\0'; ++c) result += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
  return result;
}

std::wstring TempFolder() {
  wchar_t buffer[MAX_PATH];
  GetTempPathW(MAX_PATH, buffer);
  return std::wstring(buffer) + L"standin-outlook-tests\\";
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

DWORD RunStandIn(const std::wstring& arguments) {
  std::wstring command = L"\"" + HostPath(STANDIN_OUTLOOK_EXE) + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return 0xFFFFFFFF;
  WaitForSingleObject(process.hProcess, 60000);
  DWORD exitCode = 0xFFFFFFFF;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exitCode;
}

// ---- Calls by name ------------------------------------------------------------

struct TOutcome {
  HRESULT Result = E_FAIL;
  SCODE Scode = S_OK;
  TVariant Value;
};

TOutcome Call(IDispatch* object, const wchar_t* name, std::vector<TVariant> arguments = {}) {
  TOutcome outcome;
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  outcome.Result = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(outcome.Result)) return outcome;
  // Invoke takes the arguments last first.
  std::vector<VARIANT> reversed;
  for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) reversed.push_back(it->Get());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  EXCEPINFO exception{};
  UINT argumentError = 0;
  outcome.Result = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params,
                                  outcome.Value.Receive(), &exception, &argumentError);
  outcome.Scode = exception.scode;
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return outcome;
}

std::vector<TVariant> Arguments(std::initializer_list<LONG> numbers) {
  std::vector<TVariant> result;
  for (const LONG number : numbers) result.push_back(TVariant::Int(number));
  return result;
}

std::vector<TVariant> TextArgument(const std::wstring& text) {
  std::vector<TVariant> result;
  result.push_back(TVariant::Text(text));
  return result;
}

TComPtr<IDispatch> Object(IDispatch* object, const wchar_t* name, std::vector<TVariant> arguments = {}) {
  TOutcome outcome = Call(object, name, std::move(arguments));
  EXPECT_EQ(outcome.Result, S_OK) << testing::PrintToString(std::wstring(name));
  if (outcome.Value.Get().vt != VT_DISPATCH) return {};
  return TComPtr<IDispatch>::Share(outcome.Value.Get().pdispVal);
}

std::wstring Text(IDispatch* object, const wchar_t* name) {
  TOutcome outcome = Call(object, name);
  EXPECT_EQ(outcome.Result, S_OK) << testing::PrintToString(std::wstring(name));
  if (outcome.Value.Get().vt != VT_BSTR) return L"<not a text>";
  return outcome.Value.Get().bstrVal == nullptr ? L"" : std::wstring(outcome.Value.Get().bstrVal, SysStringLen(outcome.Value.Get().bstrVal));
}

LONG Int(IDispatch* object, const wchar_t* name) {
  TOutcome outcome = Call(object, name);
  EXPECT_EQ(outcome.Result, S_OK) << testing::PrintToString(std::wstring(name));
  EXPECT_EQ(outcome.Value.Get().vt, VT_I4) << testing::PrintToString(std::wstring(name));
  return outcome.Value.Get().vt == VT_I4 ? outcome.Value.Get().lVal : -1;
}

HRESULT QueryFor(IDispatch* object, const GUID& iid) {
  TComPtr<IUnknown> answer;
  return object->QueryInterface(iid, answer.ReceiveVoid());
}

// ---- An event subscriber --------------------------------------------------------

class TQuitSink final : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) && !IsEqualIID(iid, kIidApplicationEvents))
      return E_NOINTERFACE;
    *object = static_cast<IDispatch*>(this);
    return S_OK;
  }
  // Lives on the test's stack.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    Calls.push_back(id);
    return S_OK;
  }

  std::vector<DISPID> Calls;
};

// ---- The suite --------------------------------------------------------------------

class StandInOutlook : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::wstring folder = TempFolder();
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"content").c_str(), nullptr);
    WriteBytes(folder + L"content\\binary.bin", kBinaryContent);
    WriteBytes(folder + L"mailbox.txt",
               "profile \"Test Profile\"\n"
               "folder contacts \"Contacts\" \"Personal\" \"Mailbox - Test\"\n"
               "selection 2\n"
               "mail \"First\"\n"
               "attachment \"r\\u00E9sum\\u00E9.txt\" file \"content/binary.bin\"\n"
               "attachment \"\" text \"no name\"\n"
               "attachment \"denied.txt\" text \"never written\" save-fails 0x80070005\n"
               "appointment \"Not a mail\"\n"
               "mail \"Second\"   # no attachments\n");
    // Without the trailing backslash, which would escape the closing quote.
    ASSERT_EQ(RunStandIn(L"/regserver \"" + folder.substr(0, folder.size() - 1) + L"\""), 0u);
  }

  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    StartServer();
  }

  // Lets COM start the stand-in (again, once an earlier one has ended).
  void StartServer() {
    if (server != nullptr) CloseHandle(server);
    server = nullptr;
    ASSERT_EQ(CoCreateInstance(kClsidOutlookApplication, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                               application.ReceiveVoid()),
              S_OK);
    const LONG id = Int(application.Get(), L"StandInProcessId");
    server = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, static_cast<DWORD>(id));
    ASSERT_NE(server, nullptr);
  }

  // Lets go of the server and waits until it has ended, as it does when
  // its last client has gone; one that does not is ended here.
  void TearDown() override {
    application.Reset();
    nameSpace.Reset();
    if (server != nullptr) {
      const DWORD waited = WaitForSingleObject(server, kExitWaitMilliseconds);
      EXPECT_EQ(waited, WAIT_OBJECT_0) << "the stand-in did not end after its last client went";
      if (waited != WAIT_OBJECT_0) TerminateProcess(server, 1);
      CloseHandle(server);
    }
    OleUninitialize();
  }

  TComPtr<IDispatch> Selection() {
    const TComPtr<IDispatch> explorer = Object(application.Get(), L"ActiveExplorer");
    return explorer ? Object(explorer.Get(), L"Selection") : TComPtr<IDispatch>();
  }

  TComPtr<IDispatch> application;
  TComPtr<IDispatch> nameSpace;
  HANDLE server = nullptr;
  // A server that ends does not release its subscribers: this process's
  // stub holds the sink until OleUninitialize, after TearDown's.
  TQuitSink sink;
};

TEST_F(StandInOutlook, RegistrationRefusesABrokenFixtureAndKeepsTheOneBefore) {
  const char* const broken[] = {
      "mial \"typo\"\n",
      "attachment \"a.txt\" text \"no item before it\"\n",
      "mail \"unclosed\n",
      "mail \"One\"\nselection 1,2\n",
      "mail \"One\"\nattachment \"a.txt\" text \"x\" save-fails 5\n",
      "mail \"One\"\nattachment \"a.txt\" file \"content/missing.bin\"\n",
      "mail \"bad \\q escape\"\n",
  };
  const std::wstring folder = TempFolder() + L"broken";
  CreateDirectoryW(folder.c_str(), nullptr);
  for (const char* mailbox : broken) {
    WriteBytes(folder + L"\\mailbox.txt", mailbox);
    EXPECT_EQ(RunStandIn(L"/regserver \"" + folder + L"\""), 2u) << mailbox;
  }
  // A server started now still serves the suite's fixture.
  ASSERT_EQ(Call(application.Get(), L"StandInCrash").Result, S_OK);
  ASSERT_EQ(WaitForSingleObject(server, kExitWaitMilliseconds), WAIT_OBJECT_0);
  StartServer();
  EXPECT_EQ(Text(Object(application.Get(), L"GetNamespace", TextArgument(L"MAPI")).Get(), L"CurrentProfileName"),
            L"Test Profile");
}

TEST_F(StandInOutlook, SelectionHoldsTheChosenItemsAndOnlyMailsAreMailItems) {
  const TComPtr<IDispatch> initial = Selection();
  ASSERT_TRUE(initial);
  EXPECT_EQ(Int(initial.Get(), L"Count"), 1);
  const TComPtr<IDispatch> appointment = Object(initial.Get(), L"Item", Arguments({1}));
  EXPECT_EQ(Text(appointment.Get(), L"Subject"), L"Not a mail");
  EXPECT_EQ(QueryFor(appointment.Get(), kIidMailItem), E_NOINTERFACE);

  ASSERT_EQ(Call(application.Get(), L"StandInSetSelection", TextArgument(L"3, 1")).Result, S_OK);
  const TComPtr<IDispatch> selection = Selection();
  ASSERT_EQ(Int(selection.Get(), L"Count"), 2);
  const TComPtr<IDispatch> second = Object(selection.Get(), L"Item", Arguments({1}));
  EXPECT_EQ(Text(second.Get(), L"Subject"), L"Second");
  EXPECT_EQ(QueryFor(second.Get(), kIidMailItem), S_OK);
  EXPECT_EQ(Text(Object(selection.Get(), L"Item", Arguments({2})).Get(), L"Subject"), L"First");
  // A selection read earlier keeps the items it had.
  EXPECT_EQ(Int(initial.Get(), L"Count"), 1);

  const TOutcome outside = Call(selection.Get(), L"Item", Arguments({3}));
  EXPECT_EQ(outside.Result, DISP_E_EXCEPTION);
  EXPECT_EQ(outside.Scode, DISP_E_BADINDEX);
  EXPECT_EQ(Call(application.Get(), L"StandInSetSelection", TextArgument(L"4")).Scode, E_INVALIDARG);
}

TEST_F(StandInOutlook, AttachmentsSaveTheirBytesAndAnInjectedFailureComesAsItsCode) {
  ASSERT_EQ(Call(application.Get(), L"StandInSetSelection", TextArgument(L"1")).Result, S_OK);
  const TComPtr<IDispatch> mail = Object(Selection().Get(), L"Item", Arguments({1}));
  const TComPtr<IDispatch> attachments = Object(mail.Get(), L"Attachments");
  ASSERT_EQ(Int(attachments.Get(), L"Count"), 3);
  const TComPtr<IDispatch> first = Object(attachments.Get(), L"Item", Arguments({1}));
  EXPECT_EQ(Text(first.Get(), L"FileName"), L"r\u00E9sum\u00E9.txt");
  EXPECT_EQ(Text(Object(attachments.Get(), L"Item", Arguments({2})).Get(), L"FileName"), L"");

  const std::wstring saved = TempFolder() + L"saved.bin";
  WriteBytes(saved, std::string(100, 'x'));  // longer than the attachment: it must be replaced
  ASSERT_EQ(Call(first.Get(), L"SaveAsFile", TextArgument(saved)).Result, S_OK);
  EXPECT_EQ(ReadBytes(saved), kBinaryContent);

  // A nameless attachment is saved to the folder's own path, which cannot be written.
  const TOutcome folderPath = Call(first.Get(), L"SaveAsFile", TextArgument(TempFolder()));
  EXPECT_EQ(folderPath.Result, DISP_E_EXCEPTION);
  EXPECT_TRUE(FAILED(folderPath.Scode)) << std::hex << folderPath.Scode;

  const std::wstring denied = TempFolder() + L"denied.txt";
  DeleteFileW(denied.c_str());
  const TOutcome failure = Call(Object(attachments.Get(), L"Item", Arguments({3})).Get(), L"SaveAsFile", TextArgument(denied));
  EXPECT_EQ(failure.Result, DISP_E_EXCEPTION);
  EXPECT_EQ(static_cast<unsigned long>(failure.Scode), 0x80070005ul);
  EXPECT_EQ(GetFileAttributesW(denied.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(StandInOutlook, DefaultFolderLeadsUpThroughFoldersToTheNameSpace) {
  nameSpace = Object(application.Get(), L"GetNamespace", TextArgument(L"MAPI"));
  ASSERT_TRUE(nameSpace);
  TComPtr<IDispatch> folder = Object(nameSpace.Get(), L"GetDefaultFolder", Arguments({10}));
  for (const wchar_t* name : {L"Contacts", L"Personal", L"Mailbox - Test"}) {
    ASSERT_TRUE(folder);
    EXPECT_EQ(QueryFor(folder.Get(), kIidMapiFolder), S_OK) << testing::PrintToString(std::wstring(name));
    EXPECT_EQ(Text(folder.Get(), L"Name"), name);
    folder = Object(folder.Get(), L"Parent");
  }
  ASSERT_TRUE(folder);
  EXPECT_EQ(QueryFor(folder.Get(), kIidMapiFolder), E_NOINTERFACE);
  EXPECT_EQ(Text(folder.Get(), L"CurrentProfileName"), L"Test Profile");
  EXPECT_EQ(Call(nameSpace.Get(), L"GetDefaultFolder", Arguments({13})).Scode, static_cast<SCODE>(0x8004010F));
}

TEST_F(StandInOutlook, LogonIsCountedWithTheArgumentsAsTheyCame) {
  nameSpace = Object(application.Get(), L"GetNamespace", TextArgument(L"MAPI"));
  std::vector<TVariant> logon;
  logon.push_back(TVariant::Text(L"Test Profile"));
  logon.push_back(TVariant::Omitted());
  logon.push_back(TVariant::Bool(true));
  logon.push_back(TVariant::Bool(true));
  ASSERT_EQ(Call(nameSpace.Get(), L"Logon", std::move(logon)).Result, S_OK);
  ASSERT_EQ(Call(nameSpace.Get(), L"Logoff").Result, S_OK);
  EXPECT_EQ(Int(application.Get(), L"StandInLogonCount"), 1);
  EXPECT_EQ(Int(application.Get(), L"StandInLogoffCount"), 1);
  EXPECT_EQ(Text(application.Get(), L"StandInLastLogonArguments"),
            L"VT_BSTR \"Test Profile\", VT_ERROR 0x80020004, VT_BOOL -1, VT_BOOL -1");
}

TEST_F(StandInOutlook, StandInQuitFiresQuitToTheSubscriberBeforeItReturnsThenEnds) {
  TComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(application->QueryInterface(IID_IConnectionPointContainer, container.ReceiveVoid()), S_OK);
  TComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(kIidApplicationEvents, point.Receive()), S_OK);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
  EXPECT_EQ(Int(application.Get(), L"StandInAdviseCount"), 1);

  ASSERT_EQ(Call(application.Get(), L"StandInQuit").Result, S_OK);
  EXPECT_EQ(sink.Calls, std::vector<DISPID>{kDispidQuit});
  EXPECT_EQ(WaitForSingleObject(server, kExitWaitMilliseconds), WAIT_OBJECT_0);
  const TOutcome after = Call(application.Get(), L"Version");
  EXPECT_TRUE(FAILED(after.Result)) << std::hex << after.Result;
}

TEST_F(StandInOutlook, StandInCrashEndsWithoutQuitAndTheNextCreationStartsAFreshServer) {
  TComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(application->QueryInterface(IID_IConnectionPointContainer, container.ReceiveVoid()), S_OK);
  TComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(kIidApplicationEvents, point.Receive()), S_OK);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
  ASSERT_EQ(Call(application.Get(), L"StandInCrash").Result, S_OK);
  ASSERT_EQ(WaitForSingleObject(server, kExitWaitMilliseconds), WAIT_OBJECT_0);
  EXPECT_TRUE(sink.Calls.empty());
  EXPECT_EQ(static_cast<unsigned long>(Call(application.Get(), L"Version").Result), 0x800706BAul);

  point.Reset();
  container.Reset();
  StartServer();
  EXPECT_EQ(Text(application.Get(), L"Version"), L"16.0.0.0");
}

TEST_F(StandInOutlook, TheWindowListsTheItemsAndSharesTheSelection) {
  const HWND window = FindWindowW(L"OstrevinStandInOutlook", L"Stand-in Outlook");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  const HWND list = FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);

  ASSERT_EQ(Call(application.Get(), L"StandInSetSelection", TextArgument(L"1,3")).Result, S_OK);
  EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 2);
  // Keys reach the list as they would from a person: End selects the last item alone.
  SendMessageW(list, WM_KEYDOWN, VK_END, 0);
  SendMessageW(list, WM_KEYUP, VK_END, 0);
  EXPECT_EQ(Text(application.Get(), L"StandInSelection"), L"3");
}

TEST_F(StandInOutlook, ClosingTheWindowFiresQuitAndEnds) {
  TComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(application->QueryInterface(IID_IConnectionPointContainer, container.ReceiveVoid()), S_OK);
  TComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(kIidApplicationEvents, point.Receive()), S_OK);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
  const HWND window = FindWindowW(L"OstrevinStandInOutlook", L"Stand-in Outlook");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(PostMessageW(window, WM_CLOSE, 0, 0));
  // The event is a call into this apartment: the wait must let it in.
  DWORD signalled = 0;
  EXPECT_EQ(CoWaitForMultipleHandles(0, kExitWaitMilliseconds, 1, &server, &signalled), S_OK);
  EXPECT_EQ(sink.Calls, std::vector<DISPID>{kDispidQuit});
}

// Last of all: after a kill, Wine's rpcss keeps the dead server's class
// registration until the wineserver ends, so no later test of this run
// could start the stand-in again.
TEST_F(StandInOutlook, CallsFailWithAnRpcErrorOnceTheServerIsKilled) {
  ASSERT_TRUE(TerminateProcess(server, 9));
  ASSERT_EQ(WaitForSingleObject(server, kExitWaitMilliseconds), WAIT_OBJECT_0);
  EXPECT_EQ(static_cast<unsigned long>(Call(application.Get(), L"Version").Result), 0x800706BAul);
}

}  // namespace
}  // namespace ostrevin::standin
