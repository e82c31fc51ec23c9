// VemMapiUtils.h - the Extended MAPI helpers: initialisation, logon, profiles, property values.
//
// The session broker and the Outlook settings window reach Extended MAPI
// only through these functions (over the ExtendedMapi port):
//
//   std::shared_ptr<MapiSession> session;          // empty: not logged on
//   MapiLogon(session, L"Work", /*showFlash=*/true);  // "Connecting to MAPI..."
//   ...
//   MapiLogoff(session, true);                     // "Logging off MAPI..."; empty again
//
//   TVemStringList profiles;  std::wstring defaultProfile;
//   GetMapiProfiles(&profiles, defaultProfile);    // never raises for MAPI's sake
//
// MAPI belongs to one thread: the first thread that initialises it (or
// tries to). MAPI is initialised once and stays so until
// FinalizeMapiHelperLibrary. Nothing here is locked.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "foundation/VemClasses.h"
#include "foundation/Variant.h"
#include "platform/ExtendedMapi.h"

namespace ostrevin {

// Initialises MAPI once per process. The first call records the calling
// thread; a call from any other thread raises EVemInternalError "Internal
// Error: MAPIInitialize(nil) is not configured for multithreaded access.",
// whether MAPI is initialised or not. A failure to initialise (an
// EOleSysError with MAPI's result, or EVemGeneralError when MAPI32.DLL is
// missing) propagates and the next call tries again; when Outlook is
// installed its message begins with the hint to make Outlook the default
// e-mail program.
void MapiInitializeOnce();

// Whether MAPI can be initialised. ErrorText is cleared, or on failure holds
// the message of what MapiInitializeOnce raised.
bool CheckMapiAvailable(std::wstring& errorText);

// Logs Session off (MapiLogoff), initialises MAPI and logs on to Profile
// (converted to the ANSI code page; an empty name lets MAPI choose) with
// MAPI's logon dialog allowed, parented to the foreground window. On failure
// Session is empty and the error propagates. ShowFlash shows "Connecting to
// MAPI..." meanwhile.
void MapiLogon(std::shared_ptr<MapiSession>& session, std::wstring_view profile, bool showFlash);

// Logs Session off, parented to the foreground window, ignoring MAPI's
// result, and empties it, also when logging off raises. Nothing when Session
// is empty. ShowFlash shows "Logging off MAPI..." meanwhile.
void MapiLogoff(std::shared_ptr<MapiSession>& session, bool showFlash);

// Fills Profiles with the display names of MAPI's profiles (in the list's
// own order: a sorted list sorts them) and DefaultProfile with the profile
// marked PR_DEFAULT_PROFILE, else the first of Profiles, else "". A null
// Profiles raises EVemInternalError "Internal Error:
// GetMapiProfiles.Profiles not assigned."; every other error is swallowed,
// leaving the names read so far and DefaultProfile empty.
void GetMapiProfiles(TVemStringList* profiles, std::wstring& defaultProfile);

// A MAPI property value as a variant. PT_LONG and PT_MV_LONG give LongWord
// values when `isUnsigned`, else Integer. PT_SYSTIME becomes a local Date,
// PT_CLSID "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", PT_BINARY its
// BinaryToHexText, PT_STRING8 text from the ANSI code page. Multi-valued
// types give arrays (an empty one for a count of 0). PT_ERROR raises
// EVemInternalError "Internal Error: Error reading property PT_ERROR
// (8000FFFF)." and a type outside the table "Internal Error: Unexpected type
// in PROP TAG: 0x3001FFFF".
TVariant PropValueToVariant(const TMapiPropValue& value, bool isUnsigned);

// The bytes as upper-case hexadecimal, two digits each: 0A FF gives "0AFF",
// no bytes give "".
std::wstring BinaryToHexText(std::span<const std::uint8_t> bytes);

// Module state, run by the start-up table. Initialize loads MAPI32.DLL
// (ExtendedMapi port) if it is there; a missing library is no error, but
// every later MapiInitializeOnce raises. Finalize calls MAPIUninitialize if
// MAPI was initialised, releases the library and forgets the MAPI thread.
// The session's owner must have logged its session off before Finalize:
// at exit the session window goes with the application object, which the
// start-up table outlives.
void InitializeMapiHelperLibrary();
void FinalizeMapiHelperLibrary();

}  // namespace ostrevin
