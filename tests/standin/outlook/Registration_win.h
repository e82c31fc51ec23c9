// Registration_win.h - the identifiers the stand-in Outlook answers to, and its registration.
//
// The stand-in registers itself where COM looks for Outlook:
// HKLM\Software\Classes (Wine does not consult HKCU\Software\Classes for
// class look-ups), as the class {0006F03A-0000-0000-C000-000000000046} with
// the ProgID "Outlook.Application". A type library made at run time
// describes the dispinterfaces that callers query for across processes
// (mail item, folder, application, application events), so that COM can
// marshal them as IDispatch.
#pragma once

#include <string>

#include "platform/WinApi_win.h"

#include <oaidl.h>

namespace ostrevin::standin {

inline constexpr GUID kClsidOutlookApplication = {0x0006F03A, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID kIidApplication = {0x00063001, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID kIidMapiFolder = {0x00063006, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID kIidMailItem = {0x00063034, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID kIidApplicationEvents = {0x0006304E, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// The stand-in's own type library (not Outlook's).
inline constexpr GUID kLibidStandIn = {0x3b7142cc, 0xc9fa, 0x47a4, {0xb4, 0x80, 0x0b, 0x88, 0x88, 0x58, 0x41, 0x42}};

inline constexpr const wchar_t* kProgId = L"Outlook.Application";
// The DISPID of ApplicationEvents' Quit.
inline constexpr DISPID kDispidQuit = 0xF007;

// Writes the class, the ProgID, the type library and the interfaces.
// LocalServer32 becomes "exe" "fixture", both full paths. Returns a failing
// HRESULT at the first step that fails, with what failed in `failure`.
HRESULT RegisterServer(const std::wstring& exePath, const std::wstring& fixtureFolder, std::wstring& failure);

// Removes what RegisterServer wrote; what is not there counts as removed.
HRESULT UnregisterServer();

// Registers the type library and the interfaces unless they are registered
// already (the running server needs them to hand out its dispinterfaces).
HRESULT EnsureTypeLibrary(std::wstring& failure);

}  // namespace ostrevin::standin
