// OfficeInstall.cpp - the machine's system information and the installed Office applications.
//
// This program is 64-bit, so the registry's own view is the 64-bit one: the
// 64-bit builds are probed with the 64-bit view and the 32-bit builds with
// the 32-bit view explicitly (on 32-bit Windows the view flag is ignored).
#include "foundation/OfficeInstall.h"

#include <array>
#include <optional>
#include <string_view>

#include "foundation/Format.h"
#include "foundation/VemLXRegistry.h"
#include "platform/FileSystem.h"
#include "platform/Ports.h"

namespace ostrevin {

namespace {

constexpr std::uint32_t kRead64BitView = RegAccess::Read | RegAccess::Wow64_64Key;  // 0x20119
constexpr std::uint32_t kRead32BitView = RegAccess::Read | RegAccess::Wow64_32Key;  // 0x20219

constexpr bool kProgramIs64Bit = sizeof(void*) == 8;

using TOfficeTable = std::array<TOfficeAppInfo, 4>;

std::optional<TSystemInfo> gSystemInfo;
std::optional<TOfficeTable> gOfficeTable;

TSystemInfo ReadSystemInformation() {
  const SystemInfo& system = Current<SystemInfo>();
  if (std::optional<TSystemInfo> native = system.NativeSystemInfo()) return *native;
  return system.OrdinarySystemInfo();
}

// The "Path" of the application's InstallRoot key in one registry view;
// empty when the key or the value is missing, unreadable or not a string.
std::wstring ReadInstallRoot(int majorVersion, std::wstring_view regName, std::uint32_t access) {
  const std::wstring key = Format(L"Software\\Microsoft\\Office\\%s\\%s\\InstallRoot",
                                  {Format(L"%d.0", {majorVersion}), regName});
  try {
    TVemRegistryLX reg;
    reg.SetRootKey(RegistryRoot::LocalMachine);
    reg.SetAccess(access);
    if (!reg.OpenKey(NormalizeKeyPath(key), false)) return {};
    return reg.ReadStringDef(L"Path", L"");
  } catch (const ERegistryException&) {
    return {};
  }
}

// Fills the row from the newest version whose executable exists.
void FindOfficeApp(TOfficeAppInfo& app) {
  const FileSystem& files = Current<FileSystem>();
  const bool win64 = IsWin64();
  for (int n = kNewestOfficeVersion; n >= kOldestOfficeVersion; --n) {
    for (const bool x64 : {true, false}) {
      if (x64 && !win64) continue;
      const std::wstring root = ReadInstallRoot(n, app.FRegName, x64 ? kRead64BitView : kRead32BitView);
      // A missing path gives no executable: the bare file name would be
      // looked for in the current folder.
      if (root.empty()) continue;
      const std::wstring exePath = root + app.FExeName;
      if (!files.FileExists(exePath)) continue;
      app.FVersionName = Format(x64 ? L"%d.0 [x64]" : L"%d.0", {n});
      app.FExePath = exePath;
      app.FMajorVersion = n;
      return;
    }
  }
}

TOfficeTable ReadOfficeTable() {
  TOfficeTable table;
  table[0].FRegName = L"Word";
  table[0].FExeName = L"WINWORD.EXE";
  table[1].FRegName = L"Excel";
  table[1].FExeName = L"EXCEL.EXE";
  table[2].FRegName = L"Outlook";
  table[2].FExeName = L"OUTLOOK.EXE";
  table[3].FRegName = L"Access";
  table[3].FExeName = L"MSACCESS.EXE";
  for (TOfficeAppInfo& app : table) FindOfficeApp(app);
  return table;
}

const TOfficeTable& OfficeTable() {
  if (!gOfficeTable) gOfficeTable = ReadOfficeTable();
  return *gOfficeTable;
}

}  // namespace

const TSystemInfo& GetSystemInformation() {
  if (!gSystemInfo) gSystemInfo = ReadSystemInformation();
  return *gSystemInfo;
}

bool IsWin64() {
  const ProcessorArchitecture architecture = GetSystemInformation().FProcessorArchitecture;
  return architecture == ProcessorArchitecture::AMD64 || architecture == ProcessorArchitecture::IA64;
}

const TOfficeAppInfo& GetOfficeAppInfo(TOfficeApp app) { return OfficeTable()[static_cast<std::size_t>(app)]; }

bool IsOutlook64Bit() {
  return GetOfficeAppInfo(TOfficeApp::Outlook).FVersionName.find(L"x64") != std::wstring::npos;
}

bool IsOutlookBitnessDifferentFromProgram() {
  const TOfficeAppInfo& outlook = GetOfficeAppInfo(TOfficeApp::Outlook);
  return !outlook.FVersionName.empty() && IsOutlook64Bit() != kProgramIs64Bit;
}

void AddOfficeInstallHint(Exception& e) {
  e.SetMessage(e.Message() + L"\r\n\r\n" +
               L"There is some problem with the way Office is installed on your machine." + L"  " +
               L"The problem may have to do with anti-virus software (\"script-blocking\" features)." + L"  " +
               L"The problem may be resolved by uninstalling and reinstalling Microsoft Office.");
}

void InitializeOfficeInstall() {
  gSystemInfo.reset();
  gOfficeTable.reset();
  GetSystemInformation();
  OfficeTable();
}

void FinalizeOfficeInstall() {
  gSystemInfo.reset();
  gOfficeTable.reset();
}

}  // namespace ostrevin
