// StandInDriver_win.cpp - the benchmark's side of the stand-in Outlook: fixtures, registration, control members.
#include "StandInDriver_win.h"

#include <stdexcept>
#include <vector>

#include "foundation/TextEncoding.h"
#include "platform/ComPtr_win.h"
#include "platform/FileSystem.h"
#include "platform/Ports.h"
#include "platform/WinApi_win.h"
#include "platform/WinHandles_win.h"

#include <oleauto.h>

namespace ostrevin::bench {

namespace {

constexpr CLSID kOutlookClsid = {0x0006F03A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr DWORD kWaitMs = 60000;

using UniqueProcess = UniqueKernelHandle;

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

// Waits for the object, handling this thread's messages (and so incoming
// COM calls) meanwhile. False when the time is up.
bool WaitPumping(HANDLE object, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    const DWORD result = MsgWaitForMultipleObjects(1, &object, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    if (result == WAIT_OBJECT_0) return true;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

// The running stand-in's application object, or null when none runs.
ComPtr<IDispatch> RunningStandIn() {
  ComPtr<IUnknown> running;
  ComPtr<IDispatch> application;
  if (SUCCEEDED(GetActiveObject(kOutlookClsid, nullptr, running.Put())) && running)
    running.QueryInterface(IID_IDispatch, application);
  return application;
}

// Calls a control member by name; the result of the call.
HRESULT CallMember(IDispatch& object, const wchar_t* name, WORD flags, VARIANT* argument, VARIANT* result) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (const HRESULT hr = object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id); FAILED(hr)) return hr;
  DISPPARAMS parameters{argument, nullptr, argument != nullptr ? 1u : 0u, 0};
  return object.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, nullptr, nullptr);
}

}  // namespace

std::string FixtureHeader() {
  return "folder contacts \"Contacts\" \"Mailbox - Bench\"\n"
         "folder tasks \"Tasks\" \"Mailbox - Bench\"\n"
         "folder calendar \"Calendar\" \"Mailbox - Bench\"\n"
         "window hidden\n";
}

void WriteFixture(const std::wstring& fixtureFolder, const std::string& text) {
  FileSystem& files = Current<FileSystem>();
  if (!files.FolderExists(fixtureFolder) && !files.MakeFolder(fixtureFolder))
    Fail("cannot make the fixture folder " + WideToUtf8(fixtureFolder));
  files.WriteAllBytes(fixtureFolder + L"\\mailbox.txt", std::vector<std::uint8_t>(text.begin(), text.end()));
}

StandInDriver::StandInDriver(std::wstring_view exe) : FExe(exe) {
  if (FExe.size() > 1 && FExe[0] == L'/') {
    FExe.insert(0, L"Z:");
    for (wchar_t& c : FExe)
      if (c == L'/') c = L'\\';
  }
}

void StandInDriver::Register(const std::wstring& fixtureFolder) const {
  // No backslash before the closing quote: it would escape the quote.
  std::wstring commandLine = L"\"" + FExe + L"\" /regserver \"" + fixtureFolder + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    Fail("cannot start " + WideToUtf8(FExe));
  CloseHandle(process.hThread);
  const UniqueProcess owned(process.hProcess);
  DWORD code = 0;
  if (WaitForSingleObject(owned.Get(), kWaitMs) != WAIT_OBJECT_0 || !GetExitCodeProcess(owned.Get(), &code) || code != 0)
    Fail("the stand-in refused the fixture " + WideToUtf8(fixtureFolder) + " (exit code " + std::to_string(code) + ")");
}

void StandInDriver::Select(std::wstring_view list) const {
  ComPtr<IDispatch> application = RunningStandIn();
  if (!application) Fail("no stand-in runs to select in");
  VARIANT argument;
  argument.vt = VT_BSTR;
  argument.bstrVal = SysAllocStringLen(list.data(), static_cast<UINT>(list.size()));
  const HRESULT hr = CallMember(*application.Get(), L"StandInSetSelection", DISPATCH_METHOD, &argument, nullptr);
  VariantClear(&argument);
  if (FAILED(hr)) Fail("StandInSetSelection failed");
}

void StandInDriver::Quit() const {
  ComPtr<IDispatch> application = RunningStandIn();
  if (!application) return;
  VARIANT id;
  VariantInit(&id);
  if (FAILED(CallMember(*application.Get(), L"StandInProcessId", DISPATCH_PROPERTYGET, nullptr, &id)) || id.vt != VT_I4)
    Fail("the stand-in does not tell its process");
  const UniqueProcess process(OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id.lVal)));
  if (!process) Fail("cannot open the stand-in's process");
  // It may end while it answers; the wait below tells.
  CallMember(*application.Get(), L"StandInQuit", DISPATCH_METHOD, nullptr, nullptr);
  application.Reset();
  if (!WaitPumping(process.Get(), kWaitMs)) Fail("the stand-in did not end after StandInQuit");
}

StandInDriver::CallTimes StandInDriver::TimeCalls(int calls) const {
  ComPtr<IDispatch> application = RunningStandIn();
  if (!application) Fail("no stand-in runs to call");
  LARGE_INTEGER frequency, start, named, invoked;
  QueryPerformanceFrequency(&frequency);
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"Name")};
  QueryPerformanceCounter(&start);
  for (int i = 0; i < calls; ++i)
    if (FAILED(application->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) Fail("no member Name");
  QueryPerformanceCounter(&named);
  for (int i = 0; i < calls; ++i) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    if (FAILED(application->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                                   nullptr)))
      Fail("Application.Name failed");
    VariantClear(&result);
  }
  QueryPerformanceCounter(&invoked);
  const auto mean = [&](LARGE_INTEGER from, LARGE_INTEGER to) {
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart) / calls;
  };
  return {mean(start, named), mean(named, invoked)};
}

}  // namespace ostrevin::bench
