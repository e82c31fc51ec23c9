// MapiAdapterWinTest.cpp - the MAPI helpers through Wine's MAPI32.DLL and the stand-in provider.
//
// Each test registers standin-mapi.dll as the prefix's default mail client
// with a configuration of its own, then loads MAPI32.DLL (which reads the
// registration when it is loaded) and reads what the provider recorded.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "foundation/TextEncoding.h"
#include "foundation/VemClasses.h"
#include "outlook/VemMapiUtils.h"
#include "platform/FileSystem.h"
#include "platform/OleError.h"
#include "platform/Ports.h"
#include "platform/Win32Adapters.h"
#include "platform/Win32Error.h"
#include "platform/Win32Platform.h"
#include "standin/mapi/StandinMapiRegistration_win.h"

namespace ostrevin {
namespace {

constexpr std::int32_t kMapiENotInitialized = static_cast<std::int32_t>(0x80040605u);
constexpr std::int32_t kMapiELogonFailed = static_cast<std::int32_t>(0x80040111u);

// A path of the Linux host as Wine shows it: on drive Z:.
std::wstring HostPath(const char* path) {
  std::wstring result = L"Z:" + Utf8ToWide(path);
  for (wchar_t& c : result)
    if (c == L'/') c = L'\\';
  return result;
}

// One block of the provider's record file.
struct TRecordBlock {
  std::string Name;
  std::map<std::string, std::string> Fields;
};

class MapiAdapterWin : public ::testing::Test {
 protected:
  void SetUp() override {
    Current<FileSystem>().MakeFolder(FFolder);
    Configure("");
    ASSERT_TRUE(FRegistration.Registered());
    InitializeMapiHelperLibrary();
  }
  void TearDown() override {
    FinalizeMapiHelperLibrary();
    DeleteFileW(ConfigFile().c_str());
    DeleteFileW(RecordFile().c_str());
    RemoveDirectoryW(FFolder.c_str());
  }

  std::wstring ConfigFile() const { return FFolder + L"standin-mapi.txt"; }
  std::wstring RecordFile() const { return FFolder + L"record.txt"; }

  // The provider's configuration: `settings` and the record file.
  void Configure(const std::string& settings) {
    const std::string text = "RecordFile=" + WideToUtf8(RecordFile()) + "\r\n" + settings;
    Current<FileSystem>().WriteAllBytes(ConfigFile(), std::vector<std::uint8_t>(text.begin(), text.end()));
  }

  std::vector<TRecordBlock> Records() const {
    std::vector<TRecordBlock> blocks;
    if (!Current<FileSystem>().FileExists(RecordFile())) return blocks;
    const std::vector<std::uint8_t> bytes = Current<FileSystem>().ReadAllBytes(RecordFile());
    const std::string text(bytes.begin(), bytes.end());
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find("\r\n", start);
      if (end == std::string::npos) end = text.size();
      const std::string line = text.substr(start, end - start);
      start = end + 2;
      if (line.starts_with("[")) blocks.push_back({line.substr(1, line.size() - 2), {}});
      else if (const std::size_t equals = line.find('='); equals != std::string::npos && !blocks.empty())
        blocks.back().Fields[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return blocks;
  }
  static std::vector<std::string> Names(const std::vector<TRecordBlock>& blocks) {
    std::vector<std::string> names;
    for (const TRecordBlock& block : blocks) names.push_back(block.Name);
    return names;
  }

  static std::wstring TestFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"OstrevinMapiTest" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  }

  Win32Platform platform;
  std::unique_ptr<ExtendedMapi> mapiAdapter = MakeWin32ExtendedMapi();
  ScopedPort<ExtendedMapi> mapiPort{*mapiAdapter};
  const std::wstring FFolder = TestFolder();
  // Registered until the fixture goes; the configuration file is written by SetUp.
  standin::TStandinMapiRegistration FRegistration{HostPath(OSTREVIN_STANDIN_MAPI_DLL), ConfigFile()};
};

TEST_F(MapiAdapterWin, InitializesOnceAndLogsOnAndOff) {
  Configure("Profile=Alpha\r\nDefaultProfile=Work\r\n");
  MapiInitializeOnce();
  MapiInitializeOnce();
  std::shared_ptr<MapiSession> session;
  MapiLogon(session, L"Work", true);
  ASSERT_TRUE(session);
  MapiLogon(session, L"", true);  // no name: the provider takes its default
  MapiLogoff(session, true);
  EXPECT_FALSE(session);
  FinalizeMapiHelperLibrary();

  const std::vector<TRecordBlock> records = Records();
  const std::vector<std::string> expected = {"MAPIInitialize", "MAPILogonEx",     "Logoff",
                                             "SessionReleased", "MAPILogonEx",    "Logoff",
                                             "SessionReleased", "MAPIUninitialize"};
  ASSERT_EQ(Names(records), expected);
  EXPECT_EQ(records[0].Fields.at("Options"), "nil");
  EXPECT_EQ(records[1].Fields.at("Profile"), "Work");
  EXPECT_EQ(records[1].Fields.at("Flags"), "0x00000021");
  EXPECT_EQ(records[1].Fields.at("Session"), "Work");
  EXPECT_EQ(records[2].Fields.at("Flags"), "0x00000002");
  EXPECT_EQ(records[3].Fields.at("LoggedOff"), "1");
  EXPECT_EQ(records[4].Fields.at("Profile"), "");
  EXPECT_EQ(records[4].Fields.at("Session"), "Work");
  EXPECT_EQ(records[7].Fields.at("LiveObjects"), "0");
}

TEST_F(MapiAdapterWin, ListsTheProfilesWithTheDefault) {
  Configure("DefaultProfile=Work\r\nProfile=Alpha\r\nProfile=Zulu\r\n");
  TVemStringList profiles;
  profiles.SetSorted(true);
  std::wstring defaultProfile;
  GetMapiProfiles(&profiles, defaultProfile);
  EXPECT_EQ(profiles.Text(), L"Alpha\r\nWork\r\nZulu\r\n");
  EXPECT_EQ(defaultProfile, L"Work");
  FinalizeMapiHelperLibrary();

  const std::vector<TRecordBlock> records = Records();
  const std::vector<std::string> expected = {"MAPIInitialize", "MAPIAdminProfiles", "GetProfileTable",
                                             "QueryRows",      "QueryRows",         "TableReleased",
                                             "ProfAdminReleased", "MAPIUninitialize"};
  ASSERT_EQ(Names(records), expected);
  EXPECT_EQ(records[1].Fields.at("Flags"), "0x00000000");
  EXPECT_EQ(records[3].Fields.at("RowCount"), "4096");
  EXPECT_EQ(records[3].Fields.at("Rows"), "3");
  EXPECT_EQ(records[4].Fields.at("Rows"), "0");
  // Every row set went back through MAPI32's MAPIFreeBuffer to the provider.
  EXPECT_EQ(records[7].Fields.at("LiveBuffers"), "0");
  EXPECT_EQ(records[7].Fields.at("LiveObjects"), "0");
}

TEST_F(MapiAdapterWin, FailingLogonLeavesTheSessionEmpty) {
  Configure("DefaultProfile=Work\r\n");
  std::shared_ptr<MapiSession> session;
  MapiLogon(session, L"Work", false);
  Configure("DefaultProfile=Work\r\nLogonResult=0x80040111\r\n");
  try {
    MapiLogon(session, L"Work", false);
    FAIL() << "no exception";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.ErrorCode(), kMapiELogonFailed);
  }
  EXPECT_FALSE(session);
  const std::vector<TRecordBlock> records = Records();
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[2].Name, "Logoff");  // the first session, before the second logon
  EXPECT_EQ(records[4].Name, "MAPILogonEx");
  EXPECT_EQ(records[4].Fields.at("Result"), "0x80040111");
  EXPECT_EQ(records[4].Fields.count("Session"), 0u);
}

TEST_F(MapiAdapterWin, WithoutTheProviderMapiIsNotAvailable) {
  FinalizeMapiHelperLibrary();
  ASSERT_TRUE(standin::UnregisterStandinMapi());
  InitializeMapiHelperLibrary();  // MAPI32.DLL again, now without a provider
  std::wstring errorText;
  EXPECT_FALSE(CheckMapiAvailable(errorText));
  // MAPI_E_NOT_INITIALIZED with the platform's text for it (Wine has none:
  // "OLE error 80040605").
  EXPECT_EQ(errorText,
            EOleSysError(kMapiENotInitialized, SysErrorMessage(static_cast<std::uint32_t>(kMapiENotInitialized)))
                .Message());

  TVemStringList profiles;
  std::wstring defaultProfile = L"stale";
  GetMapiProfiles(&profiles, defaultProfile);
  EXPECT_EQ(profiles.Count(), 0);
  EXPECT_EQ(defaultProfile, L"");
  EXPECT_TRUE(Records().empty());
}

}  // namespace
}  // namespace ostrevin
