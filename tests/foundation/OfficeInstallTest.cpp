// OfficeInstallTest.cpp - the system information, the Office table and the install hint.
#include "foundation/OfficeInstall.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>

#include "fakes/FakePlatform.h"
#include "fakes/FakeSystemInfo.h"
#include "foundation/Format.h"
#include "foundation/Registry.h"

namespace ostrevin {
namespace {

constexpr std::uint32_t k64 = RegAccess::Wow64_64Key;
constexpr std::uint32_t k32 = RegAccess::Wow64_32Key;

class OfficeInstall : public ::testing::Test {
 protected:
  void SetUp() override { FinalizeOfficeInstall(); }
  void TearDown() override { FinalizeOfficeInstall(); }

  // The InstallRoot key of the application in one view of HKEY_LOCAL_MACHINE,
  // with its "Path" value.
  FakeRegistryStore::Node& InstallRoot(int version, const wchar_t* app, std::uint32_t view) {
    return platform.Registry.KeyNode(
        RegistryRoot::LocalMachine,
        Format(L"Software\\Microsoft\\Office\\%d.0\\%s\\InstallRoot", {version, app}), view);
  }
  void SetPath(int version, const wchar_t* app, std::uint32_t view, const std::wstring& folder) {
    InstallRoot(version, app, view).Values[L"path"] = {L"Path", MakeStringValue(folder)};
  }
  // An installation: the registry entry and the executable in its folder.
  std::wstring Install(int version, const wchar_t* app, const wchar_t* exe, std::uint32_t view) {
    const std::wstring folder = Format(L"C:\\Program Files%s\\Microsoft Office\\Office%d\\",
                                       {view == k32 ? L" (x86)" : L"", version});
    SetPath(version, app, view, folder);
    platform.Files.AddFile(folder + exe);
    return folder + exe;
  }
  std::wstring InstallOutlook(int version, std::uint32_t view) {
    return Install(version, L"Outlook", L"OUTLOOK.EXE", view);
  }
  static const TOfficeAppInfo& Outlook() { return GetOfficeAppInfo(TOfficeApp::Outlook); }

  FakePlatform platform;
  FakeSystemInfo system;
  ScopedPort<SystemInfo> systemPort{system};
};

TEST_F(OfficeInstall, OutlookBuildFromTheRegistryView) {
  struct Case {
    const char* Name;
    ProcessorArchitecture Machine;
    int Version64;  // 0: no installation in that view
    int Version32;
    const wchar_t* VersionName;
    bool Is64Bit;
    bool DiffersFromProgram;
  };
  const Case cases[] = {
      {"64-bit build only", ProcessorArchitecture::AMD64, 16, 0, L"16.0 [x64]", true, false},
      {"32-bit build only", ProcessorArchitecture::AMD64, 0, 16, L"16.0", false, true},
      {"none", ProcessorArchitecture::AMD64, 0, 0, L"", false, false},
      {"both: the 64-bit build is probed first", ProcessorArchitecture::AMD64, 15, 15, L"15.0 [x64]", true, false},
      {"newer 32-bit build wins over older 64-bit", ProcessorArchitecture::AMD64, 14, 16, L"16.0", false, true},
      {"IA64 reads the 64-bit view", ProcessorArchitecture::IA64, 12, 0, L"12.0 [x64]", true, false},
      {"32-bit Windows has no 64-bit view", ProcessorArchitecture::Intel, 16, 0, L"", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    platform.Registry = FakeRegistryStore();
    platform.Files = FakeFileSystem();
    system.SetNativeArchitecture(c.Machine);
    std::wstring exe64, exe32;
    if (c.Version64 != 0) exe64 = InstallOutlook(c.Version64, k64);
    if (c.Version32 != 0) exe32 = InstallOutlook(c.Version32, k32);
    InitializeOfficeInstall();
    EXPECT_EQ(Outlook().FVersionName, c.VersionName);
    EXPECT_EQ(IsOutlook64Bit(), c.Is64Bit);
    EXPECT_EQ(IsOutlookBitnessDifferentFromProgram(), c.DiffersFromProgram);
    const bool found = *c.VersionName != L'\0';
    EXPECT_EQ(Outlook().FExePath, !found ? L"" : c.Is64Bit ? exe64 : exe32);
    EXPECT_EQ(Outlook().FMajorVersion, !found ? 0 : c.Is64Bit ? c.Version64 : c.Version32);
  }
}

TEST_F(OfficeInstall, OnlyVersionsTwentyDownToNineAreLookedFor) {
  const std::pair<int, const wchar_t*> cases[] = {{21, L""}, {20, L"20.0"}, {9, L"9.0"}, {8, L""}};
  for (auto [version, expected] : cases) {
    platform.Registry = FakeRegistryStore();
    platform.Files = FakeFileSystem();
    InstallOutlook(version, k32);
    InitializeOfficeInstall();
    EXPECT_EQ(Outlook().FVersionName, expected) << version;
  }
}

TEST_F(OfficeInstall, AnEntryWithoutItsExecutableIsNotAnInstallation) {
  // The 64-bit entry points at a folder without OUTLOOK.EXE; the 32-bit one is real.
  SetPath(16, L"Outlook", k64, L"C:\\Program Files\\Microsoft Office\\Office16\\");
  platform.Files.AddFile(L"C:\\Program Files\\Microsoft Office\\Office16\\WINWORD.EXE");
  // Path and file name are joined as they are: no separator is added.
  SetPath(15, L"Outlook", k32, L"C:\\Office15");
  platform.Files.AddFile(L"C:\\Office15\\OUTLOOK.EXE");
  platform.Files.AddFile(L"C:\\Office15OUTLOOK.EXE");
  // An empty path must not find an OUTLOOK.EXE in the current folder.
  SetPath(14, L"Outlook", k32, L"");
  platform.Files.AddFile(L"OUTLOOK.EXE");
  // A value that is not a string is no path either, and raises nothing.
  InstallRoot(13, L"Outlook", k64).Values[L"path"] = {L"Path", MakeDwordValue(1)};
  InstallRoot(13, L"Outlook", k32);  // key without the value
  InstallOutlook(12, k32);

  InitializeOfficeInstall();
  EXPECT_EQ(Outlook().FVersionName, L"15.0");
  EXPECT_EQ(Outlook().FExePath, L"C:\\Office15OUTLOOK.EXE");
}

TEST_F(OfficeInstall, EveryRowIsLookedUpWithItsOwnNames) {
  const std::wstring word = Install(16, L"Word", L"WINWORD.EXE", k64);
  const std::wstring access = Install(14, L"Access", L"MSACCESS.EXE", k32);
  // Excel's entry points at a folder that holds another application only.
  SetPath(16, L"Excel", k64, L"C:\\Program Files\\Microsoft Office\\Office16\\");
  InitializeOfficeInstall();

  const std::tuple<TOfficeApp, const wchar_t*, const wchar_t*, std::wstring> rows[] = {
      {TOfficeApp::Word, L"Word", L"16.0 [x64]", word},
      {TOfficeApp::Excel, L"Excel", L"", L""},
      {TOfficeApp::Outlook, L"Outlook", L"", L""},
      {TOfficeApp::Access, L"Access", L"14.0", access},
  };
  for (const auto& [row, regName, versionName, exePath] : rows) {
    EXPECT_EQ(GetOfficeAppInfo(row).FRegName, regName);
    EXPECT_EQ(GetOfficeAppInfo(row).FVersionName, versionName) << regName;
    EXPECT_EQ(GetOfficeAppInfo(row).FExePath, exePath) << regName;
  }
  EXPECT_EQ(GetOfficeAppInfo(TOfficeApp::Excel).FExeName, L"EXCEL.EXE");
}

TEST_F(OfficeInstall, AnswersAreKeptUntilFinalized) {
  InstallOutlook(16, k64);
  InitializeOfficeInstall();
  EXPECT_TRUE(IsOutlook64Bit());

  platform.Registry = FakeRegistryStore();
  system.SetNativeArchitecture(ProcessorArchitecture::Intel);
  EXPECT_TRUE(IsOutlook64Bit());
  EXPECT_TRUE(IsWin64());

  FinalizeOfficeInstall();
  EXPECT_FALSE(IsOutlook64Bit());  // looked up again at the first question
  EXPECT_FALSE(IsWin64());
}

TEST_F(OfficeInstall, IsWin64FromTheNativeProcessorArchitecture) {
  const std::pair<ProcessorArchitecture, bool> cases[] = {
      {ProcessorArchitecture::AMD64, true}, {ProcessorArchitecture::IA64, true},
      {ProcessorArchitecture::Intel, false}, {ProcessorArchitecture::Arm64, false},
      {ProcessorArchitecture::Unknown, false}};
  for (auto [architecture, expected] : cases) {
    FinalizeOfficeInstall();
    system.SetNativeArchitecture(architecture);
    system.SetOrdinary(FakeSystemInfo::Machine(ProcessorArchitecture::Intel));
    EXPECT_EQ(IsWin64(), expected) << static_cast<int>(architecture);
  }
  // A 32-bit program on 64-bit Windows sees x86 in the ordinary reading:
  // only the native one tells.
  FinalizeOfficeInstall();
  system.SetNativeArchitecture(ProcessorArchitecture::AMD64);
  EXPECT_TRUE(IsWin64());
}

TEST_F(OfficeInstall, WithoutANativeReadingTheOrdinaryOneIsUsed) {
  system.SetNative(std::nullopt);
  system.SetOrdinary(FakeSystemInfo::Machine(ProcessorArchitecture::AMD64));
  InitializeOfficeInstall();
  EXPECT_TRUE(IsWin64());
  EXPECT_EQ(GetSystemInformation().FPageSize, 4096u);
}

TEST_F(OfficeInstall, HintIsAppendedAfterAnEmptyLine) {
  EVemGeneralError e(L"Server execution failed");
  AddOfficeInstallHint(e);
  EXPECT_EQ(e.Message(),
            L"Server execution failed\r\n\r\n"
            L"There is some problem with the way Office is installed on your machine.  "
            L"The problem may have to do with anti-virus software (\"script-blocking\" features).  "
            L"The problem may be resolved by uninstalling and reinstalling Microsoft Office.");
  EXPECT_EQ(e.ClassName(), L"EVemGeneralError");
}

}  // namespace
}  // namespace ostrevin
