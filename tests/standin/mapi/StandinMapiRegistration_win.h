// StandinMapiRegistration_win.h - makes the stand-in MAPI provider the prefix's default mail client.
//
// Wine's MAPI32.DLL hands its calls to the DLLs that the default mail client
// names under HKEY_LOCAL_MACHINE\Software\Clients\Mail: "DLLPath" for Simple
// MAPI, "DLLPathEx" for Extended MAPI. It reads them when it is loaded, so a
// registration counts for every MAPI32.DLL loaded after it:
//
//   TStandinMapiRegistration mapi(dllPath, configFile);   // until it goes
//
// The provider's own DllRegisterServer does the same for regsvr32 (without a
// configuration file), DllUnregisterServer what the destructor does.
#pragma once

#include <string>
#include <string_view>

#include "platform/WinApi_win.h"

namespace ostrevin::standin {

// The mail client's name under HKLM\Software\Clients\Mail.
inline constexpr const wchar_t* kClientName = L"Ostrevin Stand-in MAPI";
inline constexpr const wchar_t* kMailClientsKey = L"Software\\Clients\\Mail";
inline constexpr const wchar_t* kStandinClientKey = L"Software\\Clients\\Mail\\Ostrevin Stand-in MAPI";

namespace registration {

inline bool SetString(HKEY key, const wchar_t* name, std::wstring_view value) {
  const std::wstring text(value);
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// The string value, or nothing (`found` false) when there is none.
inline std::wstring GetString(const wchar_t* key, const wchar_t* name, bool* found = nullptr) {
  DWORD size = 0;
  std::wstring text;
  LSTATUS status = RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    text.resize(size / sizeof(wchar_t));
    status = RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, text.data(), &size);
    text.resize(status == ERROR_SUCCESS ? wcslen(text.c_str()) : 0);
  }
  if (found != nullptr) *found = status == ERROR_SUCCESS;
  return text;
}

}  // namespace registration

// The previous default client is kept in "PreviousDefault" ("" when there
// was none), unless the stand-in is the default already.
inline bool RegisterStandinMapi(std::wstring_view dllPath, std::wstring_view configFile) {
  bool hadDefault = false;
  const std::wstring previous = registration::GetString(kMailClientsKey, nullptr, &hadDefault);
  HKEY clients = nullptr;
  HKEY client = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kMailClientsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &clients, nullptr) !=
      ERROR_SUCCESS)
    return false;
  bool ok = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kStandinClientKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &client,
                            nullptr) == ERROR_SUCCESS;
  if (ok) {
    if (previous != kClientName) ok = registration::SetString(client, L"PreviousDefault", previous);
    ok = ok && registration::SetString(client, nullptr, kClientName) &&
         registration::SetString(client, L"DLLPath", dllPath) && registration::SetString(client, L"DLLPathEx", dllPath);
    if (configFile.empty()) RegDeleteValueW(client, L"ConfigFile");
    else ok = ok && registration::SetString(client, L"ConfigFile", configFile);
    ok = ok && registration::SetString(clients, nullptr, kClientName);
    RegCloseKey(client);
  }
  RegCloseKey(clients);
  return ok;
}

// Puts the previous default client back (removing the default when there
// was none) and deletes the stand-in's key. True also when it was not there.
inline bool UnregisterStandinMapi() {
  bool registered = false;
  const std::wstring previous = registration::GetString(kStandinClientKey, L"PreviousDefault", &registered);
  if (!registered) return true;
  HKEY clients = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMailClientsKey, 0, KEY_ALL_ACCESS, &clients) != ERROR_SUCCESS) return false;
  bool ok = true;
  if (previous.empty()) RegDeleteValueW(clients, nullptr);
  else ok = registration::SetString(clients, nullptr, previous);
  RegCloseKey(clients);
  return ok && RegDeleteTreeW(HKEY_LOCAL_MACHINE, kStandinClientKey) == ERROR_SUCCESS;
}

// The registered "ConfigFile"; empty when there is none.
inline std::wstring RegisteredConfigFile() { return registration::GetString(kStandinClientKey, L"ConfigFile"); }

// Registered for the lifetime of the object.
class TStandinMapiRegistration {
 public:
  TStandinMapiRegistration(std::wstring_view dllPath, std::wstring_view configFile)
      : FRegistered(RegisterStandinMapi(dllPath, configFile)) {}
  ~TStandinMapiRegistration() { UnregisterStandinMapi(); }
  TStandinMapiRegistration(const TStandinMapiRegistration&) = delete;
  TStandinMapiRegistration& operator=(const TStandinMapiRegistration&) = delete;

  bool Registered() const noexcept { return FRegistered; }

 private:
  bool FRegistered;
};

}  // namespace ostrevin::standin
