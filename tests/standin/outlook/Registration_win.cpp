// Registration_win.cpp - registry entries and the run-time type library of the stand-in Outlook.
//
// The type library is made with CreateTypeLib2 and saved to
// %ProgramData%\Ostrevin Stand-ins\standin-outlook.tlb, one per Wine prefix.
// Its dispinterfaces derive from stdole's IDispatch and carry no members
// except ApplicationEvents' Quit; COM needs no more to marshal them as
// IDispatch (ProxyStubClsid32 = PSDispatch).
#include "standin/outlook/Registration_win.h"

#include <initializer_list>
#include <vector>

#include "platform/WinHandles_win.h"
#include "standin/outlook/ComSupport_win.h"

#include <oleauto.h>
#include <shlobj.h>

namespace ostrevin::standin {

namespace {

constexpr const wchar_t* kClassesRoot = L"Software\\Classes\\";
constexpr const wchar_t* kPsDispatch = L"{00020420-0000-0000-C000-000000000046}";
constexpr const wchar_t* kServerName = L"Stand-in Outlook";
constexpr WORD kLibraryMajor = 1;
constexpr WORD kLibraryMinor = 0;

struct TDispinterface {
  const wchar_t* Name;
  const GUID* Iid;
  bool HasQuit;
};

const TDispinterface kDispinterfaces[] = {
    {L"_Application", &kIidApplication, false},
    {L"MAPIFolder", &kIidMapiFolder, false},
    {L"MailItem", &kIidMailItem, false},
    {L"ApplicationEvents", &kIidApplicationEvents, true},
};

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40];
  StringFromGUID2(guid, text, 40);
  return text;
}

// Sets the value `name` ("" = the default value) of the key below
// HKLM\Software\Classes, making the key as needed.
LONG SetClassesValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY raw = nullptr;
  const std::wstring path = kClassesRoot + key;
  LONG status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr);
  if (status != ERROR_SUCCESS) return status;
  const UniqueRegKey opened(raw);
  return RegSetValueExW(opened.Get(), *name == L'\0' ? nullptr : name, 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LONG DeleteClassesTree(const std::wstring& key) {
  const std::wstring path = kClassesRoot + key;
  const LONG status = RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
    return ERROR_SUCCESS;
  }
  return status;
}

std::wstring TypeLibraryPath() {
  wchar_t folder[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder))) return {};
  std::wstring path = std::wstring(folder) + L"\\Ostrevin Stand-ins";
  CreateDirectoryW(path.c_str(), nullptr);
  return path + L"\\standin-outlook.tlb";
}

HRESULT Step(HRESULT result, const wchar_t* what, std::wstring& failure) {
  if (FAILED(result) && failure.empty()) failure = what;
  return result;
}

HRESULT RegistryStep(LONG status, const wchar_t* what, std::wstring& failure) {
  return Step(status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(status)), what, failure);
}

HRESULT CreateTypeLibraryFile(const std::wstring& path, std::wstring& failure) {
  TComPtr<ICreateTypeLib2> library;
  HRESULT result = Step(CreateTypeLib2(SYS_WIN64, path.c_str(), library.Receive()), L"CreateTypeLib2", failure);
  if (FAILED(result)) return result;
  library->SetGuid(kLibidStandIn);
  library->SetName(const_cast<LPOLESTR>(L"StandInOutlook"));
  library->SetVersion(kLibraryMajor, kLibraryMinor);
  library->SetLcid(LOCALE_NEUTRAL);

  TComPtr<ITypeLib> stdole;
  result = Step(LoadTypeLib(L"stdole2.tlb", stdole.Receive()), L"LoadTypeLib(stdole2.tlb)", failure);
  if (FAILED(result)) return result;
  TComPtr<ITypeInfo> dispatchInfo;
  result = Step(stdole->GetTypeInfoOfGuid(IID_IDispatch, dispatchInfo.Receive()), L"IDispatch's type info", failure);
  if (FAILED(result)) return result;

  for (const TDispinterface& entry : kDispinterfaces) {
    TComPtr<ICreateTypeInfo> info;
    result = Step(library->CreateTypeInfo(const_cast<LPOLESTR>(entry.Name), TKIND_DISPATCH, info.Receive()),
                  L"CreateTypeInfo", failure);
    if (FAILED(result)) return result;
    info->SetGuid(*entry.Iid);
    HREFTYPE dispatchReference = 0;
    result = Step(info->AddRefTypeInfo(dispatchInfo.Get(), &dispatchReference), L"AddRefTypeInfo", failure);
    if (SUCCEEDED(result)) result = Step(info->AddImplType(0, dispatchReference), L"AddImplType", failure);
    if (SUCCEEDED(result) && entry.HasQuit) {
      FUNCDESC quit{};
      quit.memid = kDispidQuit;
      quit.funckind = FUNC_DISPATCH;
      quit.invkind = INVOKE_FUNC;
      quit.callconv = CC_STDCALL;
      quit.elemdescFunc.tdesc.vt = VT_VOID;
      result = Step(info->AddFuncDesc(0, &quit), L"AddFuncDesc(Quit)", failure);
      LPOLESTR names[] = {const_cast<LPOLESTR>(L"Quit")};
      if (SUCCEEDED(result)) result = Step(info->SetFuncAndParamNames(0, names, 1), L"SetFuncAndParamNames", failure);
    }
    if (SUCCEEDED(result)) result = Step(info->LayOut(), L"LayOut", failure);
    if (FAILED(result)) return result;
  }
  return Step(library->SaveAllChanges(), L"SaveAllChanges", failure);
}

HRESULT RegisterTypeLibrary(std::wstring& failure) {
  const std::wstring path = TypeLibraryPath();
  if (path.empty()) return Step(E_FAIL, L"the common application data folder", failure);
  HRESULT result = CreateTypeLibraryFile(path, failure);
  if (FAILED(result)) return result;
  TComPtr<ITypeLib> library;
  result = Step(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Receive()), L"LoadTypeLibEx", failure);
  if (FAILED(result)) return result;
  result = Step(RegisterTypeLib(library.Get(), const_cast<LPOLESTR>(path.c_str()), nullptr), L"RegisterTypeLib", failure);
  if (FAILED(result)) return result;
  // RegisterTypeLib writes these as well; they are written here so that
  // they do not depend on which interfaces it chooses to register.
  const std::wstring libid = GuidText(kLibidStandIn);
  const std::wstring version = std::to_wstring(kLibraryMajor) + L"." + std::to_wstring(kLibraryMinor);
  for (const TDispinterface& entry : kDispinterfaces) {
    const std::wstring key = L"Interface\\" + GuidText(*entry.Iid);
    for (LONG status : {SetClassesValue(key, L"", entry.Name), SetClassesValue(key + L"\\ProxyStubClsid32", L"", kPsDispatch),
                        SetClassesValue(key + L"\\TypeLib", L"", libid),
                        SetClassesValue(key + L"\\TypeLib", L"Version", version)}) {
      result = RegistryStep(status, L"the Interface keys", failure);
      if (FAILED(result)) return result;
    }
  }
  return S_OK;
}

}  // namespace

HRESULT RegisterServer(const std::wstring& exePath, const std::wstring& fixtureFolder, std::wstring& failure) {
  const std::wstring clsid = GuidText(kClsidOutlookApplication);
  const std::wstring command = L"\"" + exePath + L"\" \"" + fixtureFolder + L"\"";
  for (LONG status : {SetClassesValue(L"CLSID\\" + clsid, L"", kServerName),
                      SetClassesValue(L"CLSID\\" + clsid + L"\\LocalServer32", L"", command),
                      SetClassesValue(L"CLSID\\" + clsid + L"\\ProgID", L"", kProgId),
                      SetClassesValue(kProgId, L"", kServerName),
                      SetClassesValue(std::wstring(kProgId) + L"\\CLSID", L"", clsid)}) {
    const HRESULT result = RegistryStep(status, L"the class and ProgID keys", failure);
    if (FAILED(result)) return result;
  }
  return RegisterTypeLibrary(failure);
}

HRESULT UnregisterServer() {
  HRESULT result = S_OK;
  auto remove = [&](const std::wstring& key) {
    const LONG status = DeleteClassesTree(key);
    if (status != ERROR_SUCCESS && SUCCEEDED(result)) result = HRESULT_FROM_WIN32(static_cast<DWORD>(status));
  };
  remove(L"CLSID\\" + GuidText(kClsidOutlookApplication));
  remove(kProgId);
  for (const TDispinterface& entry : kDispinterfaces) remove(L"Interface\\" + GuidText(*entry.Iid));
  UnRegisterTypeLib(kLibidStandIn, kLibraryMajor, kLibraryMinor, LOCALE_NEUTRAL, SYS_WIN64);
  remove(L"TypeLib\\" + GuidText(kLibidStandIn));
  const std::wstring path = TypeLibraryPath();
  if (!path.empty()) DeleteFileW(path.c_str());
  return result;
}

HRESULT EnsureTypeLibrary(std::wstring& failure) {
  TComPtr<ITypeLib> library;
  if (SUCCEEDED(LoadRegTypeLib(kLibidStandIn, kLibraryMajor, kLibraryMinor, LOCALE_NEUTRAL, library.Receive()))) {
    TComPtr<ITypeInfo> info;
    if (SUCCEEDED(library->GetTypeInfoOfGuid(kIidMailItem, info.Receive()))) return S_OK;
  }
  return RegisterTypeLibrary(failure);
}

}  // namespace ostrevin::standin
