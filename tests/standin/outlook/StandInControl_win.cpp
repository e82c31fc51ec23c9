// StandInControl_win.cpp - standin-control.exe: drives the running stand-in Outlook from a script.
//
//   standin-control.exe COMMAND [ARG] [--wait SECONDS]
//
// Finds the stand-in through the running object table (GetActiveObject of
// Outlook.Application's class) and calls one of its control members
// late-bound, by name:
//
//   select LIST           StandInSetSelection(LIST), LIST such as "1,3" or ""
//   selection             prints StandInSelection
//   quit                  StandInQuit(): Quit goes to the subscribers, the server ends
//   crash                 StandInCrash(): the server ends without the event
//   pid                   prints StandInProcessId
//   logons, logoffs       print StandInLogonCount, StandInLogoffCount
//   advises               prints StandInAdviseCount
//   last-logon-profile    prints StandInLastLogonProfile
//   running               prints 1 when a stand-in runs and answers, else 0
//   wait-exit [PID]       waits until the stand-in's process has ended
//
// --wait SECONDS (default 0) first waits that long for a stand-in to appear
// in the running object table. wait-exit waits for the process of PID, or
// of the running stand-in's StandInProcessId without one, for --wait
// seconds too (30 when --wait is not given). A script that quits the
// stand-in and then waits for it passes the PID it read before: the
// stand-in leaves the running object table before its process ends, so a
// wait-exit after the quit may find no stand-in at all.
//
// A value goes to stdout as one line (UTF-8; numbers in decimal); select,
// quit, crash and wait-exit print nothing.
// Exit codes: 0 done; 1 bad usage; 2 no stand-in runs (after the wait);
// 3 the call failed, or wait-exit's process was still there when the time
// was up: the HRESULT (0x80070102, WAIT_TIMEOUT, for the latter) goes to
// stderr as eight hexadecimal digits. running always exits 0. quit and
// crash succeed when the call reports that the server went away while
// answering (RPC_E_DISCONNECTED, 0x800706BA, 0x800706BE): it ends as it
// answers.
#include "platform/ComPtr_win.h"
#include "platform/WinApi_win.h"
#include "platform/WinHandles_win.h"

#include <oleauto.h>

#include <cstdio>
#include <cwchar>
#include <string>

using ostrevin::ComInitialization;
using ostrevin::ComPtr;
using ostrevin::UniqueKernelHandle;

namespace {

constexpr CLSID kOutlookClsid = {0x0006F03A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr DWORD kDefaultExitWaitMilliseconds = 30000;
constexpr DWORD kPollMilliseconds = 100;

constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitNotRunning = 2;
constexpr int kExitFailed = 3;

using UniqueProcess = UniqueKernelHandle;

// What a command does with its member.
enum class Kind {
  SetText,   // a method with one text argument
  Ending,    // a method without arguments that ends the server
  Number,    // a property printed in decimal
  Text,      // a property printed as text
  Running,   // no member of its own
  WaitExit,  // no member of its own
};

struct Command {
  const wchar_t* Name;
  const wchar_t* Member;
  Kind What;
};

const Command kCommands[] = {
    {L"select", L"StandInSetSelection", Kind::SetText},
    {L"selection", L"StandInSelection", Kind::Text},
    {L"quit", L"StandInQuit", Kind::Ending},
    {L"crash", L"StandInCrash", Kind::Ending},
    {L"pid", L"StandInProcessId", Kind::Number},
    {L"logons", L"StandInLogonCount", Kind::Number},
    {L"logoffs", L"StandInLogoffCount", Kind::Number},
    {L"advises", L"StandInAdviseCount", Kind::Number},
    {L"last-logon-profile", L"StandInLastLogonProfile", Kind::Text},
    {L"running", nullptr, Kind::Running},
    {L"wait-exit", nullptr, Kind::WaitExit},
};

struct Options {
  const Command* Chosen = nullptr;
  bool HasArgument = false;
  std::wstring Argument;
  bool HasWait = false;
  DWORD WaitMilliseconds = 0;
};

void PrintUsage() {
  std::fputs(
      "usage: standin-control.exe COMMAND [ARG] [--wait SECONDS]\n"
      "  select LIST | selection | quit | crash | pid | logons | logoffs | advises\n"
      "  | last-logon-profile | running | wait-exit [PID]\n",
      stderr);
}

bool ParseArguments(int argc, wchar_t** argv, Options& options) {
  std::wstring name;
  bool hasName = false;
  for (int i = 1; i < argc; ++i) {
    const std::wstring argument = argv[i];
    if (argument == L"--wait") {
      if (i + 1 >= argc) return false;
      wchar_t* end = nullptr;
      const double seconds = std::wcstod(argv[++i], &end);
      if (end == argv[i] || *end != L'\0' || !(seconds >= 0) || seconds > 3600) return false;
      options.HasWait = true;
      options.WaitMilliseconds = static_cast<DWORD>(seconds * 1000);
    } else if (!hasName) {
      name = argument;
      hasName = true;
    } else if (!options.HasArgument) {
      // May be empty: select "" empties the selection.
      options.Argument = argument;
      options.HasArgument = true;
    } else {
      return false;
    }
  }
  for (const Command& command : kCommands)
    if (hasName && name == command.Name) options.Chosen = &command;
  if (options.Chosen == nullptr) return false;
  switch (options.Chosen->What) {
    case Kind::SetText:
      return options.HasArgument;
    case Kind::WaitExit:
      return !options.HasArgument || (!options.Argument.empty() &&
                                      options.Argument.find_first_not_of(L"0123456789") == std::wstring::npos);
    default:
      return !options.HasArgument;
  }
}

bool TimeIsUp(DWORD start, DWORD milliseconds) { return GetTickCount() - start >= milliseconds; }

// Sleeps, handling this thread's messages meanwhile (COM of an apartment
// thread may post some to it).
void Pause(DWORD milliseconds) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// The stand-in's Application, waiting up to `milliseconds` for one to be
// registered as running; empty when none is.
ComPtr<IDispatch> FindStandIn(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    ComPtr<IUnknown> running;
    ComPtr<IDispatch> application;
    if (SUCCEEDED(GetActiveObject(kOutlookClsid, nullptr, running.Put())) && running &&
        SUCCEEDED(running.QueryInterface(IID_IDispatch, application)) && application)
      return application;
    if (TimeIsUp(start, milliseconds)) return ComPtr<IDispatch>();
    Pause(kPollMilliseconds);
  }
}

// Calls `member` by name. A raised exception gives its code (EXCEPINFO's
// scode, or the one its deferred fill-in supplies) rather than
// DISP_E_EXCEPTION.
HRESULT Call(IDispatch& application, const wchar_t* member, WORD flags, VARIANT* arguments, UINT count,
             VARIANT* result) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(member)};
  HRESULT hr = application.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  DISPPARAMS parameters{arguments, nullptr, count, 0};
  EXCEPINFO exception{};
  hr = application.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, &exception, nullptr);
  if (hr == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
    if (FAILED(exception.scode)) hr = exception.scode;
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
  return hr;
}

void PrintLine(const std::wstring& text) {
  std::string bytes;
  if (!text.empty()) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(size > 0 ? size : 0));
    if (size > 0)
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  }
  bytes += '\n';
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

int Failed(HRESULT hr) {
  std::fprintf(stderr, "%08lX\n", static_cast<unsigned long>(hr));
  return kExitFailed;
}

int NotRunning() {
  std::fputs("standin-control: no stand-in Outlook is running\n", stderr);
  return kExitNotRunning;
}

// The ends of a call that took the server with it.
bool ServerWentAway(HRESULT hr) {
  return hr == RPC_E_DISCONNECTED || hr == static_cast<HRESULT>(0x800706BA) ||  // RPC server unavailable
         hr == static_cast<HRESULT>(0x800706BE);                               // remote procedure call failed
}

// The stand-in's process identifier, or 0 with `hr` failing.
DWORD ProcessIdOf(IDispatch& application, HRESULT& hr) {
  VARIANT result;
  VariantInit(&result);
  hr = Call(application, L"StandInProcessId", DISPATCH_PROPERTYGET, nullptr, 0, &result);
  if (SUCCEEDED(hr)) hr = VariantChangeType(&result, &result, 0, VT_I4);
  const DWORD id = SUCCEEDED(hr) ? static_cast<DWORD>(result.lVal) : 0;
  VariantClear(&result);
  return id;
}

// Waits for the process `id` to end. A process that cannot be opened has
// ended already (or never was).
int WaitForExit(DWORD id, DWORD milliseconds) {
  UniqueProcess process(OpenProcess(SYNCHRONIZE, FALSE, id));
  if (!process) return kExitOk;
  const DWORD start = GetTickCount();
  for (;;) {
    if (WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0) return kExitOk;
    if (TimeIsUp(start, milliseconds)) return Failed(HRESULT_FROM_WIN32(WAIT_TIMEOUT));
    Pause(kPollMilliseconds);
  }
}

int Run(const Options& options) {
  const Command& command = *options.Chosen;
  const DWORD exitWait = options.HasWait ? options.WaitMilliseconds : kDefaultExitWaitMilliseconds;
  if (command.What == Kind::WaitExit && options.HasArgument)
    return WaitForExit(static_cast<DWORD>(std::wcstoul(options.Argument.c_str(), nullptr, 10)), exitWait);

  ComPtr<IDispatch> application = FindStandIn(options.WaitMilliseconds);
  if (command.What == Kind::Running) {
    // Found and answering: an entry of a server that is going counts as none.
    HRESULT hr = E_FAIL;
    const bool answers = application && ProcessIdOf(*application.Get(), hr) != 0;
    PrintLine(answers ? L"1" : L"0");
    return kExitOk;
  }
  if (!application) return NotRunning();

  if (command.What == Kind::WaitExit) {
    HRESULT hr = S_OK;
    const DWORD id = ProcessIdOf(*application.Get(), hr);
    // The server must not be held while it ends.
    application.Reset();
    if (FAILED(hr)) return ServerWentAway(hr) ? kExitOk : Failed(hr);
    return WaitForExit(id, exitWait);
  }

  VARIANT argument;
  VariantInit(&argument);
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = S_OK;
  switch (command.What) {
    case Kind::SetText:
      argument.vt = VT_BSTR;
      argument.bstrVal = SysAllocStringLen(options.Argument.data(), static_cast<UINT>(options.Argument.size()));
      hr = argument.bstrVal != nullptr ? Call(*application.Get(), command.Member, DISPATCH_METHOD, &argument, 1, nullptr)
                                       : E_OUTOFMEMORY;
      break;
    case Kind::Ending:
      hr = Call(*application.Get(), command.Member, DISPATCH_METHOD, nullptr, 0, nullptr);
      if (ServerWentAway(hr)) hr = S_OK;
      break;
    case Kind::Number:
      hr = Call(*application.Get(), command.Member, DISPATCH_PROPERTYGET, nullptr, 0, &result);
      if (SUCCEEDED(hr)) hr = VariantChangeType(&result, &result, 0, VT_I4);
      if (SUCCEEDED(hr)) PrintLine(std::to_wstring(result.lVal));
      break;
    case Kind::Text:
      hr = Call(*application.Get(), command.Member, DISPATCH_PROPERTYGET, nullptr, 0, &result);
      if (SUCCEEDED(hr)) hr = VariantChangeType(&result, &result, 0, VT_BSTR);
      if (SUCCEEDED(hr))
        PrintLine(result.bstrVal != nullptr ? std::wstring(result.bstrVal, SysStringLen(result.bstrVal)) : L"");
      break;
    case Kind::Running:
    case Kind::WaitExit:
      break;
  }
  VariantClear(&argument);
  VariantClear(&result);
  return FAILED(hr) ? Failed(hr) : kExitOk;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseArguments(argc, argv, options)) {
    PrintUsage();
    return kExitUsage;
  }
  // Every reference is released inside Run, before COM goes.
  ComInitialization com;
  if (FAILED(com.Result())) {
    std::fputs("standin-control: CoInitialize failed\n", stderr);
    return Failed(com.Result());
  }
  return Run(options);
}
