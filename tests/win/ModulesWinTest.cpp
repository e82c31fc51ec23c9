// ModulesWinTest.cpp - modules, version resources and Wine detection under Wine.
#include <gtest/gtest.h>

#include "foundation/Paths.h"
#include "foundation/TextCompare.h"
#include "foundation/TextEncoding.h"
#include "foundation/TextUtils.h"
#include "foundation/VemLXVerUtils.h"
#include "foundation/WineDetection.h"
#include "platform/Environment.h"
#include "platform/Modules.h"
#include "platform/Ports.h"
#include "platform/Win32Platform.h"

namespace ostrevin {
namespace {

// A path of the Linux host as Wine shows it: on drive Z:.
std::wstring HostPath(const char* path) {
  std::wstring result = L"Z:" + Utf8ToWide(path);
  for (wchar_t& c : result)
    if (c == L'/') c = L'\\';
  return result;
}

class ModulesWin : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeVemLXVerUtils();
    InitializeWineDetection();
  }
  void TearDown() override {
    FinalizeWineDetection();
    FinalizeVemLXVerUtils();
  }

  Win32Platform platform;
};

TEST_F(ModulesWin, RunningProgramReadsItsOwnVersionResource) {
  const std::wstring exe = GetAppExeName();
  EXPECT_TRUE(EndsText(exe, L"\\win_platform_tests.exe")) << testing::PrintToString(exe);
  EXPECT_EQ(GetAppVersion(), MakeVersion(1, 2, 3, 4));
  EXPECT_EQ(VersionToStr(GetAppVersion(), 2), L"1.2 r3");

  const TFileVersionInfo info(exe);
  EXPECT_EQ(info.FirstTranslation(), 0x04E40407u);  // German, code page 1252
  EXPECT_EQ(GetVersionInfoString(info, L"ProductName", 0, 0), L"Ostrevin Tests");
  EXPECT_EQ(GetVersionInfoString(info, L"Comments", 0x0407, 0x04E4), L"Gr\u00FC\u00DFe");
  EXPECT_EQ(GetVersionInfoString(info, L"Missing", 0, 0), L"");
}

TEST_F(ModulesWin, ProgramCarriesItsVersionAndProductName) {
  const std::wstring program = HostPath(OSTREVIN_EXE_PATH);
  EXPECT_EQ(GetFileVersion(program), MakeVersion(OSTREVIN_VERSION_MAJOR, OSTREVIN_VERSION_MINOR,
                                                 OSTREVIN_VERSION_PATCH, OSTREVIN_VERSION_TWEAK));
  EXPECT_EQ(GetVersionInfoString(TFileVersionInfo(program), L"ProductName", 0, 0), L"Ostrevin");
}

TEST_F(ModulesWin, Kernel32NamesWineAsItsProduct) {
  const std::wstring kernel = Current<Modules>().DataModuleFileName(L"kernel32");
  ASSERT_FALSE(kernel.empty());
  EXPECT_TRUE(EndsText(kernel, L"\\kernel32.dll")) << testing::PrintToString(kernel);
  EXPECT_FALSE(IsNullVersion(GetFileVersion(kernel)));
  EXPECT_TRUE(SameText(GetVersionInfoString(TFileVersionInfo(kernel), L"ProductName", 0, 0), L"Wine"));
  EXPECT_TRUE(IsWine());
  EXPECT_EQ(Current<Modules>().DataModuleFileName(L"no-such-module-here"), L"");
}

TEST_F(ModulesWin, FileWithoutVersionResourceHasTheNullVersion) {
  const std::wstring exe = GetAppExeName();
  const std::wstring folder = exe.substr(0, exe.rfind(L'\\'));
  // The test's own CTest file is a plain text file beside it.
  const std::wstring plain = folder + L"\\CTestTestfile.cmake";
  EXPECT_TRUE(IsNullVersion(GetFileVersion(plain)));
  EXPECT_EQ(GetVersionInfoString(TFileVersionInfo(plain), L"ProductName", 0, 0), L"");
  EXPECT_EQ(GetVersionInfoString(TFileVersionInfo(folder + L"\\missing.exe"), L"ProductName", 0, 0), L"");
}

TEST_F(ModulesWin, EnvironmentVariables) {
  const auto path = Current<Environment>().Variable(L"PATH");
  ASSERT_TRUE(path.has_value());
  EXPECT_FALSE(path->empty());
  EXPECT_FALSE(Current<Environment>().Variable(L"OSTREVIN_SURELY_NOT_SET").has_value());
}

}  // namespace
}  // namespace ostrevin
