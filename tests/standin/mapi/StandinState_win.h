// StandinState_win.h - the stand-in MAPI provider's configuration, record file and memory.
//
// The configuration is read afresh at every call that depends on it, so a
// test changes the provider's behaviour by rewriting one file. Every call
// the provider receives is appended to the record file as one block (the
// formats are in README.md):
//
//   const TConfig config = ReadConfig();
//   TRecord(L"MAPILogonEx").Add(L"Profile", name).AddHex(L"Result", result).Write(config);
//
// Memory handed to the caller comes from AllocateBuffer and AllocateMore and
// goes back through FreeBuffer, as MAPI's own buffers do; the number of
// buffers not yet freed is in the record at MAPIUninitialize.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/WinApi_win.h"
#include "standin/mapi/StandinMapiRegistration_win.h"

namespace ostrevin::standin {

// The environment variable that names the configuration file; it wins over
// the client key's "ConfigFile" value.
inline constexpr const wchar_t* kConfigVariable = L"OSTREVIN_STANDIN_MAPI_CONFIG";

struct TProfile {
  std::wstring Name;
  bool IsDefault = false;
};

struct TConfig {
  std::vector<TProfile> Profiles;  // in table order
  HRESULT InitializeResult = S_OK;
  HRESULT LogonResult = S_OK;  // a failure here fails every logon
  HRESULT AdminProfilesResult = S_OK;
  ULONG SendMailResult = 0;
  std::wstring RecordFile;         // empty: nothing is recorded
  std::wstring KeepAttachmentsIn;  // empty: attachments are not copied
};

// The configuration file's settings; the defaults when there is none.
TConfig ReadConfig();

// One block of the record file.
class TRecord {
 public:
  explicit TRecord(std::wstring_view name);
  TRecord& Add(std::wstring_view key, std::wstring_view value);
  TRecord& AddHex(std::wstring_view key, std::uint32_t value);
  TRecord& AddInt(std::wstring_view key, std::int64_t value);
  // Appends the block to the configured record file, if there is one.
  void Write(const TConfig& config) const;

 private:
  std::string FText;  // UTF-8
};

// 8-bit text of the ANSI code page as wide text.
std::wstring FromAnsi(const char* text);

// MAPI's buffer rules: AllocateMore links a buffer to one from
// AllocateBuffer, and freeing that frees both.
HRESULT AllocateBuffer(ULONG size, void** buffer);
HRESULT AllocateMore(ULONG size, void* parent, void** buffer);
ULONG FreeBuffer(void* buffer);
long LiveBuffers();

// Objects (sessions, profile admins, tables) not yet released.
long AddLiveObject();
long RemoveLiveObject();
long LiveObjects();

// MAPIInitialize calls not yet balanced by MAPIUninitialize.
long& InitializeCount();

}  // namespace ostrevin::standin
