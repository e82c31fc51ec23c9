// OfficeInstall.h - the machine's system information and the installed Office applications.
//
// Start-up records the native system information and looks up Word, Excel,
// Outlook and Access under HKEY_LOCAL_MACHINE
// "Software\Microsoft\Office\<N>.0\<application>\InstallRoot" (value "Path"),
// for the major versions 20 down to 9, the 64-bit build first:
//
//   InitializeOfficeInstall();
//   if (IsOutlookBitnessDifferentFromProgram()) ...   // no Extended MAPI with it
//   catch (Exception& e) { AddOfficeInstallHint(e); throw; }
//
// The answers are computed once (at start-up, or at the first question when
// start-up has not run) and kept until FinalizeOfficeInstall.
#pragma once

#include <string>

#include "foundation/VemSysUtils.h"
#include "platform/SystemInfo.h"

namespace ostrevin {

// The rows of the Office table.
enum class TOfficeApp { Word = 0, Excel = 1, Outlook = 2, Access = 3 };

struct TOfficeAppInfo {
  std::wstring FRegName;      // "Word", "Excel", "Outlook", "Access"
  std::wstring FExeName;      // "WINWORD.EXE", ...
  // Empty when the application was not found; else the major version and
  // ".0" ("16.0"), followed by " [x64]" for a 64-bit build.
  std::wstring FVersionName;
  std::wstring FExePath;      // the executable found; empty when none
  int FMajorVersion = 0;      // 0 when not found
};

// The newest and the oldest major version looked for.
inline constexpr int kNewestOfficeVersion = 20;
inline constexpr int kOldestOfficeVersion = 9;

// The native system information (SystemInfo port), or the ordinary one when
// the platform has no native reading.
const TSystemInfo& GetSystemInformation();

// Whether the native processor architecture is AMD64 or IA64.
bool IsWin64();

const TOfficeAppInfo& GetOfficeAppInfo(TOfficeApp app);

// Whether the Outlook found is the 64-bit build; false when none was found.
bool IsOutlook64Bit();

// Whether an Outlook was found whose build differs from this program's
// (a 32-bit Outlook beside this 64-bit program): its Extended MAPI cannot be
// loaded into this process. False when no Outlook was found.
bool IsOutlookBitnessDifferentFromProgram();

// Appends the hints about a broken Office installation to E's message, after
// an empty line.
void AddOfficeInstallHint(Exception& e);

// Module state. Initialize records the system information and fills the
// table: registry keys or values that are missing, unreadable or not
// strings, and paths whose executable does not exist, count as not found and
// raise nothing. Finalize forgets both, so the next question looks again.
void InitializeOfficeInstall();
void FinalizeOfficeInstall();

}  // namespace ostrevin
