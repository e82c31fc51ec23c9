// StandInOutlook_win.cpp - standin-outlook.exe: registration, and running as the Outlook.Application server.
//
//   standin-outlook.exe /regserver FIXTURE      register in HKLM\Software\Classes, exit 0
//   standin-outlook.exe /unregserver            remove that registration, exit 0
//   standin-outlook.exe [/Embedding] FIXTURE    serve the mailbox of FIXTURE
//
// Switches may start with "/" or "-" and are matched without regard to
// case (COM appends "-Embedding" or "/Embedding" to the registered command
// line). FIXTURE is a folder; a path that starts with "/" is taken as a
// path of the Linux host, on Wine's drive Z:.
//
// Serving registers the class object (REGCLS_MULTIPLEUSE: every
// CoCreateInstance gets the one Application) and the Application in the
// running object table (so that GetActiveObject finds it),
// and shows the "Stand-in Outlook" window. The server ends, firing the
// Quit event first, when its window is closed, when StandInQuit or Quit is
// called, or, when COM started it (/Embedding), as soon as no other
// process holds a reference any more; StandInCrash ends it without the
// event. Ending revokes both registrations, so that the next
// CoCreateInstance starts a new server. (A server that is killed cannot:
// Wine's rpcss then keeps its class registration, and CoCreateInstance
// fails with 0x800706BA until the prefix's wineserver ends.)
//
// Exit codes: 0 done; 1 bad command line; 2 the fixture cannot be read;
// 3 registration or start-up failed. The reason goes to stderr.
#include "platform/WinApi_win.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "standin/outlook/DispatchObject_win.h"
#include "standin/outlook/MailboxWindow_win.h"
#include "standin/outlook/Mailbox_win.h"
#include "standin/outlook/ObjectModel_win.h"
#include "standin/outlook/Registration_win.h"

#include <ole2.h>

namespace ostrevin::standin {

namespace {

enum class TCommand { Serve, Register, Unregister };

struct TOptions {
  TCommand Command = TCommand::Serve;
  bool Embedding = false;
  std::wstring Fixture;
};

void ReportError(const std::wstring& message) {
  const std::wstring line = L"standin-outlook: " + message + L"\n";
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
  const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(), size, nullptr, nullptr);
  DWORD written = 0;
  WriteFile(error, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring HexCode(HRESULT code) {
  wchar_t text[16];
  wsprintfW(text, L"0x%08lX", static_cast<unsigned long>(code));
  return text;
}

bool IsSwitch(const std::wstring& argument, const wchar_t* name) {
  return argument.size() > 1 && (argument[0] == L'/' || argument[0] == L'-') &&
         CompareStringOrdinal(argument.c_str() + 1, -1, name, -1, TRUE) == CSTR_EQUAL;
}

bool ParseCommandLine(TOptions& options) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr) return false;
  bool valid = true;
  for (int i = 1; i < count; ++i) {
    const std::wstring argument = arguments[i];
    if (IsSwitch(argument, L"regserver")) {
      options.Command = TCommand::Register;
    } else if (IsSwitch(argument, L"unregserver")) {
      options.Command = TCommand::Unregister;
    } else if (IsSwitch(argument, L"Embedding")) {
      options.Embedding = true;
    } else if (options.Fixture.empty() && !argument.empty() && argument[0] != L'-' &&
               !(argument[0] == L'/' && argument.find(L'/', 1) == std::wstring::npos)) {
      options.Fixture = argument;
    } else {
      valid = false;
    }
  }
  LocalFree(arguments);
  return valid && (options.Command == TCommand::Unregister || !options.Fixture.empty());
}

// The fixture folder as a full Windows path. A quote at the end is what is
// left of "C:\folder\" (whose last backslash escaped the quote): no folder
// name holds one, so it is dropped.
std::wstring FixtureFolder(std::wstring path) {
  if (!path.empty() && path.back() == L'"') path.pop_back();
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  wchar_t full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr);
  if (length == 0 || length >= MAX_PATH * 4) return path;
  std::wstring result(full, length);
  while (result.size() > 3 && (result.back() == L'\\')) result.pop_back();
  return result;
}

std::wstring ExePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

// ---- The class object --------------------------------------------------------

class TClassFactory final : public IClassFactory {
 public:
  TClassFactory(TApplication& application, const bool& stopping) : FApplication(application), FStopping(stopping) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  // Lives as long as the server; COM's references do not own it.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  // Outlook is one application: every instance is the same object.
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (FStopping) return CO_E_SERVER_STOPPING;
    return FApplication.QueryInterface(iid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    FLocks += lock ? 1 : (FLocks > 0 ? -1 : 0);
    return S_OK;
  }

  LONG Locks() const noexcept { return FLocks; }

 private:
  TApplication& FApplication;
  const bool& FStopping;
  LONG FLocks = 0;
};

// ---- Serving -----------------------------------------------------------------

int Serve(const TOptions& options) {
  TMailbox mailbox;
  try {
    mailbox = LoadMailbox(FixtureFolder(options.Fixture));
  } catch (const TMailboxError& error) {
    ReportError(error.Message());
    return 2;
  }
  if (FAILED(OleInitialize(nullptr))) {
    ReportError(L"OleInitialize failed");
    return 3;
  }
  std::wstring failure;
  const HRESULT library = EnsureTypeLibrary(failure);
  if (FAILED(library)) ReportError(L"the type library cannot be registered (" + failure + L", " + HexCode(library) + L")");

  bool stopping = false;
  TMailboxWindow* window = nullptr;
  auto quit = [&]() {
    if (stopping) return;
    stopping = true;
    if (window != nullptr) window->Destroy();
  };
  TApplication* application = nullptr;
  TServerHooks hooks;
  // The event goes out first, while the server still answers the calls
  // subscribers make from their handlers (a logoff, say).
  hooks.Quit = [&]() {
    if (stopping) return;
    application->FireQuit();
    quit();
  };
  hooks.Crash = quit;
  hooks.SelectionChanged = [&]() {
    if (window != nullptr) window->ShowSelection();
  };
  TComPtr<TApplication> owner = TComPtr<TApplication>::Attach(new TApplication(mailbox, hooks));
  application = owner.Get();
  // Set below once the server is registered (only when COM started it).
  std::function<bool()> unused = []() { return false; };
  TMailboxWindow mailboxWindow(
      *application, [&]() { hooks.Quit(); },
      [&]() {
        if (unused()) hooks.Quit();
      });
  if (!mailboxWindow.Create(mailbox.NoExplorer || mailbox.WindowHidden)) {
    ReportError(L"the window cannot be created");
    OleUninitialize();
    return 3;
  }
  window = &mailboxWindow;

  TClassFactory factory(*application, stopping);
  DWORD activeCookie = 0;
  // A weak registration: the server keeps the Application alive itself, and
  // a strong one would count as an external connection of its own that
  // never goes (Wine reports an object's connections only when they go from
  // none to some and back), hiding the clients' references.
  const HRESULT active = RegisterActiveObject(static_cast<IDispatch*>(application), kClsidOutlookApplication,
                                              ACTIVEOBJECT_WEAK, &activeCookie);
  if (FAILED(active)) ReportError(L"RegisterActiveObject failed (" + HexCode(active) + L")");
  // What the registration itself holds, should COM count it.
  const LONG baseline = ExternalConnectionCount();
  if (options.Embedding) {
    // Asked again when the message comes: a client may have come since.
    unused = [&]() { return ExternalConnectionCount() <= baseline && factory.Locks() == 0; };
    SetExternalConnectionReleasedHandler([&](LONG) {
      if (!stopping && unused() && window != nullptr && window->Handle() != nullptr)
        PostMessageW(window->Handle(), TMailboxWindow::kIdleCheck, 0, 0);
    });
  }
  DWORD classCookie = 0;
  const HRESULT registered =
      CoRegisterClassObject(kClsidOutlookApplication, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &classCookie);
  if (FAILED(registered)) {
    ReportError(L"CoRegisterClassObject failed (" + HexCode(registered) + L")");
    stopping = true;
    mailboxWindow.Destroy();
  }

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }

  // The registrations go first, so that COM starts a new server for the
  // next client. Subscribers are not released and COM is not
  // uninitialised: both would call into client processes, and a client may
  // be waiting for this one to end without pumping messages (a test in
  // WaitForSingleObject, say), which would hold the exit up until it stops
  // waiting. The process ends with its references.
  stopping = true;
  window = nullptr;
  SetExternalConnectionReleasedHandler(nullptr);
  if (SUCCEEDED(registered)) CoRevokeClassObject(classCookie);
  if (SUCCEEDED(active)) RevokeActiveObject(activeCookie, nullptr);
  application->AbandonSubscribers();
  return FAILED(registered) ? 3 : 0;
}

int Register(const TOptions& options) {
  const std::wstring fixture = FixtureFolder(options.Fixture);
  try {
    LoadMailbox(fixture);
  } catch (const TMailboxError& error) {
    ReportError(error.Message());
    return 2;
  }
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
  std::wstring failure;
  const HRESULT result = RegisterServer(ExePath(), fixture, failure);
  CoUninitialize();
  if (FAILED(result)) {
    ReportError(L"registration failed at " + failure + L" (" + HexCode(result) + L")");
    return 3;
  }
  return 0;
}

int Unregister() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
  const HRESULT result = UnregisterServer();
  CoUninitialize();
  if (FAILED(result)) {
    ReportError(L"unregistration failed (" + HexCode(result) + L")");
    return 3;
  }
  return 0;
}

}  // namespace

}  // namespace ostrevin::standin

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace ostrevin::standin;
  TOptions options;
  if (!ParseCommandLine(options)) {
    ReportError(L"usage: standin-outlook.exe /regserver FIXTURE | /unregserver | [/Embedding] FIXTURE");
    return 1;
  }
  switch (options.Command) {
    case TCommand::Register: return Register(options);
    case TCommand::Unregister: return Unregister();
    case TCommand::Serve: break;
  }
  return Serve(options);
}
