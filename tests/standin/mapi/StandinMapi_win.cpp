// StandinMapi_win.cpp - the stand-in MAPI provider's entry points (standin-mapi.dll).
//
// Wine's MAPI32.DLL forwards these calls to the default mail client's
// DLLs (standin-mapi.def gives them their platform names): Extended MAPI's
// MAPIInitialize, MAPIUninitialize, MAPILogonEx, MAPIAdminProfiles and the
// buffer functions, Simple MAPI's MAPISendMail and MAPISendMailW. Each call
// is recorded; what it answers comes from the configuration (README.md).
// DllRegisterServer and DllUnregisterServer make the DLL the default mail
// client, for regsvr32.
#include <cwchar>
#include <string>

#include "platform/WinApi_win.h"

#include <mapi.h>
#include <mapix.h>

#include "standin/mapi/StandinMapiRegistration_win.h"
#include "standin/mapi/StandinObjects_win.h"
#include "standin/mapi/StandinState_win.h"

namespace ostrevin::standin {

namespace {

HINSTANCE gModule = nullptr;

// Simple MAPI's wide structures (the platform headers here have only the
// 8-bit ones); the layout is the same with wide strings.
struct MapiRecipDescW {
  ULONG ulReserved;
  ULONG ulRecipClass;
  PWSTR lpszName;
  PWSTR lpszAddress;
  ULONG ulEIDSize;
  PVOID lpEntryID;
};
struct MapiFileDescW {
  ULONG ulReserved;
  ULONG flFlags;
  ULONG nPosition;
  PWSTR lpszPathName;
  PWSTR lpszFileName;
  PVOID lpFileType;
};
struct MapiMessageW {
  ULONG ulReserved;
  PWSTR lpszSubject;
  PWSTR lpszNoteText;
  PWSTR lpszMessageType;
  PWSTR lpszDateReceived;
  PWSTR lpszConversationID;
  FLAGS flFlags;
  MapiRecipDescW* lpOriginator;
  ULONG nRecipCount;
  MapiRecipDescW* lpRecips;
  ULONG nFileCount;
  MapiFileDescW* lpFiles;
};

std::wstring Text(const char* text) { return FromAnsi(text); }
std::wstring Text(const wchar_t* text) { return text; }

// A string field; a null pointer writes no line at all.
template <class Char>
void AddText(TRecord& record, const std::wstring& key, const Char* text) {
  if (text != nullptr) record.Add(key, Text(text));
}

template <class Recip>
void AddRecipient(TRecord& record, const std::wstring& prefix, const Recip& recip) {
  record.AddInt(prefix + L".Class", recip.ulRecipClass);
  AddText(record, prefix + L".Name", recip.lpszName);
  AddText(record, prefix + L".Address", recip.lpszAddress);
}

std::wstring FileNameOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

template <class File>
void AddFile(TRecord& record, const TConfig& config, const std::wstring& prefix, const File& file) {
  record.AddInt(prefix + L".Position", static_cast<LONG>(file.nPosition));
  AddText(record, prefix + L".PathName", file.lpszPathName);
  AddText(record, prefix + L".FileName", file.lpszFileName);
  if (file.lpFileType != nullptr) record.Add(prefix + L".FileType", L"set");
  if (file.lpszPathName == nullptr) return;
  const std::wstring path = Text(file.lpszPathName);
  record.Add(prefix + L".Exists", GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ? L"1" : L"0");
  if (!config.KeepAttachmentsIn.empty()) {
    std::wstring copy = config.KeepAttachmentsIn;
    if (copy.back() != L'\\') copy += L'\\';
    copy += FileNameOf(path);
    if (CopyFileW(path.c_str(), copy.c_str(), FALSE)) record.Add(prefix + L".Copy", copy);
  }
}

template <class Message>
ULONG SendMail(const wchar_t* name, LHANDLE session, ULONG_PTR parent, const Message* message, FLAGS flags) {
  const TConfig config = ReadConfig();
  TRecord record(name);
  record.AddHex(L"Session", static_cast<std::uint32_t>(session))
      .Add(L"Parent", parent != 0 ? L"window" : L"none")
      .AddHex(L"Flags", flags);
  if (message != nullptr) {
    AddText(record, L"Subject", message->lpszSubject);
    AddText(record, L"NoteText", message->lpszNoteText);
    AddText(record, L"MessageType", message->lpszMessageType);
    if (message->lpOriginator != nullptr) AddRecipient(record, L"Originator", *message->lpOriginator);
    record.AddInt(L"RecipCount", message->nRecipCount);
    for (ULONG i = 0; message->lpRecips != nullptr && i < message->nRecipCount; ++i)
      AddRecipient(record, L"Recip" + std::to_wstring(i + 1), message->lpRecips[i]);
    record.AddInt(L"FileCount", message->nFileCount);
    for (ULONG i = 0; message->lpFiles != nullptr && i < message->nFileCount; ++i)
      AddFile(record, config, L"File" + std::to_wstring(i + 1), message->lpFiles[i]);
  }
  const ULONG result = message == nullptr ? MAPI_E_FAILURE : config.SendMailResult;
  record.AddInt(L"Result", result).Write(config);
  return result;
}

// The configured profile to log on to: the named one (names compare
// ignoring case), or for an empty name the default one (else the first),
// as a logon dialog would preselect it. Null when there is none.
const TProfile* FindProfile(const TConfig& config, const std::wstring& name) {
  for (const TProfile& profile : config.Profiles) {
    if (name.empty() ? profile.IsDefault
                     : CompareStringOrdinal(profile.Name.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL)
      return &profile;
  }
  return name.empty() && !config.Profiles.empty() ? &config.Profiles.front() : nullptr;
}

}  // namespace

}  // namespace ostrevin::standin

using namespace ostrevin::standin;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    gModule = module;
    DisableThreadLibraryCalls(module);
  }
  return TRUE;
}

HRESULT WINAPI StandinMAPIInitialize(LPVOID init) {
  const TConfig config = ReadConfig();
  const HRESULT result = config.InitializeResult;
  if (SUCCEEDED(result)) ++InitializeCount();
  TRecord record(L"MAPIInitialize");
  if (init == nullptr) record.Add(L"Options", L"nil");
  else record.AddHex(L"Options", static_cast<const MAPIINIT_0*>(init)->ulFlags);
  record.AddHex(L"Result", static_cast<std::uint32_t>(result)).Write(config);
  return result;
}

void WINAPI StandinMAPIUninitialize() {
  if (InitializeCount() > 0) --InitializeCount();
  TRecord(L"MAPIUninitialize")
      .AddInt(L"LiveBuffers", LiveBuffers())
      .AddInt(L"LiveObjects", LiveObjects())
      .Write(ReadConfig());
}

HRESULT WINAPI StandinMAPILogonEx(ULONG_PTR parent, LPSTR profile, LPSTR /*password*/, ULONG flags,
                                  LPMAPISESSION* session) {
  const TConfig config = ReadConfig();
  if (session != nullptr) *session = nullptr;
  const bool wide = (flags & MAPI_UNICODE) != 0;
  const std::wstring requested = profile == nullptr ? std::wstring()
                                 : wide ? std::wstring(reinterpret_cast<const wchar_t*>(profile))
                                        : FromAnsi(profile);
  const TProfile* chosen = FindProfile(config, requested);
  HRESULT result = S_OK;
  if (session == nullptr) result = E_INVALIDARG;
  else if (InitializeCount() == 0) result = MAPI_E_NOT_INITIALIZED;
  else if (FAILED(config.LogonResult)) result = config.LogonResult;
  else if (chosen == nullptr) result = MAPI_E_LOGON_FAILED;

  TRecord record(L"MAPILogonEx");
  if (profile != nullptr) record.Add(L"Profile", requested);
  record.AddHex(L"Flags", flags).Add(L"Parent", parent != 0 ? L"window" : L"none");
  if (SUCCEEDED(result)) {
    *session = NewSession(chosen->Name);
    record.Add(L"Session", chosen->Name);
  }
  record.AddHex(L"Result", static_cast<std::uint32_t>(result)).Write(config);
  return result;
}

HRESULT WINAPI StandinMAPIAdminProfiles(ULONG flags, LPPROFADMIN* admin) {
  const TConfig config = ReadConfig();
  if (admin != nullptr) *admin = nullptr;
  HRESULT result = config.AdminProfilesResult;
  if (admin == nullptr) result = E_INVALIDARG;
  else if (InitializeCount() == 0) result = MAPI_E_NOT_INITIALIZED;
  if (SUCCEEDED(result)) *admin = NewProfileAdmin();
  TRecord(L"MAPIAdminProfiles")
      .AddHex(L"Flags", flags)
      .AddHex(L"Result", static_cast<std::uint32_t>(result))
      .Write(config);
  return result;
}

SCODE WINAPI StandinMAPIAllocateBuffer(ULONG size, LPVOID* buffer) { return AllocateBuffer(size, buffer); }

SCODE WINAPI StandinMAPIAllocateMore(ULONG size, LPVOID parent, LPVOID* buffer) {
  return AllocateMore(size, parent, buffer);
}

ULONG WINAPI StandinMAPIFreeBuffer(LPVOID buffer) { return FreeBuffer(buffer); }

ULONG WINAPI StandinMAPISendMail(LHANDLE session, ULONG_PTR parent, lpMapiMessage message, FLAGS flags,
                                 ULONG /*reserved*/) {
  return SendMail(L"MAPISendMail", session, parent, message, flags);
}

ULONG WINAPI StandinMAPISendMailW(LHANDLE session, ULONG_PTR parent, MapiMessageW* message, FLAGS flags,
                                  ULONG /*reserved*/) {
  return SendMail(L"MAPISendMailW", session, parent, message, flags);
}

HRESULT WINAPI StandinDllRegisterServer() {
  wchar_t path[MAX_PATH * 2];
  const DWORD length = GetModuleFileNameW(gModule, path, static_cast<DWORD>(std::size(path)));
  if (length == 0 || length >= std::size(path)) return E_FAIL;
  return RegisterStandinMapi(std::wstring(path, length), L"") ? S_OK : E_FAIL;
}

HRESULT WINAPI StandinDllUnregisterServer() { return UnregisterStandinMapi() ? S_OK : E_FAIL; }

}  // extern "C"
