// VemLXVerUtilsTest.cpp - version numbers, their texts and the version resources of files.
#include "foundation/VemLXVerUtils.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "fakes/FakePlatform.h"
#include "fakes/VersionBlockBuilder.h"
#include "foundation/TextEncoding.h"
#include "foundation/VemSysUtils.h"

namespace ostrevin {

void PrintTo(const TVersion& v, std::ostream* os) {
  *os << v.FMajor << '.' << v.FMinor << '.' << v.FRelease << '.' << v.FBuild;
}

namespace {

TEST(VemLXVerUtilsVersion, FixedInfoHalvesAndOrderingNumber) {
  const TVersion v = VersionFromFixedInfo(0x00010002, 0x00030004);
  EXPECT_EQ(v, MakeVersion(1, 2, 3, 4));
  EXPECT_EQ(VersionToInt64(v), 0x0001000200030004u);
  EXPECT_EQ(VersionFromFixedInfo(0xFFFE0001, 0x8000FFFF), MakeVersion(0xFFFE, 1, 0x8000, 0xFFFF));
  EXPECT_TRUE(IsNullVersion(TVersion{}));
  EXPECT_FALSE(IsNullVersion(MakeVersion(0, 0, 0, 1)));
}

TEST(VemLXVerUtilsVersion, LessOrEqualOrdersByParts) {
  struct Case {
    TVersion FA, FB;
    bool FExpected;
  };
  const Case cases[] = {
      {MakeVersion(1, 2, 3, 4), MakeVersion(1, 2, 3, 4), true},
      {MakeVersion(1, 3, 0, 0), MakeVersion(1, 2, 9, 9), false},
      {MakeVersion(1, 2, 9, 9), MakeVersion(1, 3, 0, 0), true},
      {MakeVersion(1, 2, 3, 5), MakeVersion(1, 2, 3, 4), false},
      {MakeVersion(0, 65535, 65535, 65535), MakeVersion(1, 0, 0, 0), true},
      {MakeVersion(2, 0, 0, 0), MakeVersion(1, 65535, 65535, 65535), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << testing::PrintToString(c.FA) << " <= " << testing::PrintToString(c.FB));
    EXPECT_EQ(VersionLessOrEqual(c.FA, c.FB), c.FExpected);
  }
}

TEST(VemLXVerUtilsVersion, VersionToStrStyles) {
  const TVersion v = MakeVersion(1, 2, 3, 4);
  EXPECT_EQ(VersionToStr(v, 0), L"1.2.3.4");
  EXPECT_EQ(VersionToStr(v, 1), L"1.2.3");
  EXPECT_EQ(VersionToStr(v, 2), L"1.2 r3");
  EXPECT_EQ(VersionToStr(v, 3), L"1.2");
  EXPECT_EQ(VersionToStr(MakeVersion(65535, 0, 10, 0), 0), L"65535.0.10.0");
}

TEST(VemLXVerUtilsVersion, VersionToStrRejectsOtherStyles) {
  for (int style : {-1, 4}) EXPECT_THROW(VersionToStr(MakeVersion(1, 2, 3, 4), style), EAssertionFailed);
}

TEST(VemLXVerUtilsVersion, StrToVersionReadsTheKnownForms) {
  struct Case {
    const wchar_t* FText;
    TVersion FExpected;
  };
  const Case cases[] = {
      {L"", MakeVersion(0, 0, 0, 0)},
      {L"   ", MakeVersion(0, 0, 0, 0)},
      {L"1.2.3.4", MakeVersion(1, 2, 3, 4)},
      {L"  1.2.3.4\t", MakeVersion(1, 2, 3, 4)},
      {L"1.2 r3", MakeVersion(1, 2, 3, 0)},
      {L"1.2r3", MakeVersion(1, 2, 3, 0)},
      {L"1.2 r3.4", MakeVersion(1, 2, 3, 4)},
      {L"5", MakeVersion(5, 0, 0, 0)},
      {L"2.x", MakeVersion(2, 0, 0, 0)},
      {L"1 . 2", MakeVersion(1, 2, 0, 0)},
      {L"1 . 2 . 3 . 4", MakeVersion(1, 2, 3, 4)},
      {L"1.2.3", MakeVersion(1, 2, 3, 0)},
      {L"1.2.3.", MakeVersion(1, 2, 3, 0)},
      {L"x.2.y.4", MakeVersion(0, 2, 0, 4)},
      {L"1.2.3.4.5", MakeVersion(1, 2, 3, 0)},  // "4.5" is not a number
      {L"1.2.3 r4", MakeVersion(1, 0, 4, 0)},   // the "r" wins over the next "."
      {L"+7.-0", MakeVersion(7, 0, 0, 0)},
      {L"65535.65535.65535.65535", MakeVersion(65535, 65535, 65535, 65535)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.FText));
    EXPECT_EQ(StrToVersion(c.FText), c.FExpected);
  }
}

TEST(VemLXVerUtilsVersion, StrToVersionRaisesForPartsOutOfRange) {
  for (const wchar_t* text : {L"1.70000", L"65536", L"1.2.3.65536", L"1.2 r70000", L"-1.0", L"1.2.-3",
                              L"1.99999999999999999999999"}) {
    SCOPED_TRACE(WideToUtf8(text));
    try {
      StrToVersion(text);
      ADD_FAILURE() << "no exception";
    } catch (const ERangeError& e) {
      EXPECT_EQ(e.Message(), L"Range check error");
    }
  }
}

constexpr const wchar_t* kTool = L"C:\\Tools\\tool.exe";

class VemLXVerUtilsTest : public ::testing::Test {
 protected:
  void SetUp() override { InitializeVemLXVerUtils(); }
  void TearDown() override { FinalizeVemLXVerUtils(); }

  void AddTool(const VersionBlockBuilder& builder) {
    platform.Files.AddFile(kTool);
    platform.Modules.SetVersionResource(kTool, builder.Build());
  }

  FakePlatform platform;
};

TEST_F(VemLXVerUtilsTest, ReadsVersionTranslationAndStrings) {
  AddTool(VersionBlockBuilder()
              .FileVersion(MakeVersion(1, 2, 3, 4))
              .ProductVersion(MakeVersion(9, 9, 9, 9))
              .String(L"ProductName", L"Ostrevin")
              .String(L"Comments", std::wstring(L"first\0second", 12)));
  const TFileVersionInfo info(kTool);
  EXPECT_EQ(GetFileVersion(kTool), MakeVersion(1, 2, 3, 4));
  EXPECT_EQ(info.FirstTranslation(), 0x04B00409u);
  EXPECT_EQ(info.FixedInfo().FProductVersionMS, 0x00090009u);
  EXPECT_EQ(GetVersionInfoString(info, L"ProductName", 0, 0), L"Ostrevin");
  EXPECT_EQ(GetVersionInfoString(info, L"productname", 0x0409, 0x04B0), L"Ostrevin");
  EXPECT_EQ(GetVersionInfoString(info, L"Comments", 0, 0), L"first");
  EXPECT_EQ(GetVersionInfoString(info, L"CompanyName", 0, 0), L"");
  EXPECT_EQ(GetVersionInfoString(info, L"ProductName", 0x0407, 0x04E4), L"");
}

TEST_F(VemLXVerUtilsTest, BlockIsReadOnceAndKeptByTheInfo) {
  AddTool(VersionBlockBuilder().String(L"ProductName", L"Ostrevin"));
  const TFileVersionInfo info(kTool);
  info.FixedInfo();
  info.FirstTranslation();
  GetVersionInfoString(info, L"ProductName", 0, 0);
  EXPECT_EQ(platform.Modules.VersionReads(), 1);
  EXPECT_FALSE(info.VersionBlock().empty());
}

// A zero language or code page takes both from the first translation, so the
// code page given is dropped.
TEST_F(VemLXVerUtilsTest, ZeroLanguageOrCodePageUsesTheFirstTranslation) {
  AddTool(VersionBlockBuilder()
              .Translations({{0x0407, 0x04E4}, {0x0409, 0x04B0}})
              .StringTable(L"040704e4")
              .String(L"ProductName", L"Ostrevin DE"));
  const TFileVersionInfo info(kTool);
  EXPECT_EQ(GetVersionInfoString(info, L"ProductName", 0, 0x04B0), L"Ostrevin DE");
  EXPECT_EQ(GetVersionInfoString(info, L"ProductName", 0x0409, 0), L"Ostrevin DE");
  EXPECT_EQ(GetVersionInfoString(info, L"ProductName", 0x0409, 0x04B0), L"");
  EXPECT_EQ(GetVersionInfoString(info, L"ProductName", 0x0407, 0x04E4), L"Ostrevin DE");
}

TEST_F(VemLXVerUtilsTest, PartsMissingFromTheBlockGiveNullAndEmpty) {
  struct Case {
    const char* FWhat;
    VersionBlockBuilder FBuilder;
    TVersion FVersion;
    std::uint32_t FTranslation;
    std::wstring FProductName;
  };
  const Case cases[] = {
      {"no StringFileInfo", VersionBlockBuilder().FileVersion(MakeVersion(1, 2, 3, 4)), MakeVersion(1, 2, 3, 4),
       0x04B00409u, L""},
      {"no fixed info", VersionBlockBuilder().WithoutFixedInfo().String(L"ProductName", L"Ostrevin"), TVersion{},
       0x04B00409u, L"Ostrevin"},
      {"no translation", VersionBlockBuilder().Translations({}).String(L"ProductName", L"Ostrevin"), TVersion{},
       0u, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.FWhat);
    AddTool(c.FBuilder);
    const TFileVersionInfo info(kTool);
    EXPECT_EQ(GetFileVersion(kTool), c.FVersion);
    EXPECT_EQ(info.FirstTranslation(), c.FTranslation);
    EXPECT_EQ(GetVersionInfoString(info, L"ProductName", 0, 0), c.FProductName);
  }
}

TEST_F(VemLXVerUtilsTest, FixedInfoWithABadSignatureCountsAsNone) {
  std::vector<std::uint8_t> block = VersionBlockBuilder().FileVersion(MakeVersion(1, 2, 3, 4)).Build();
  block[40] ^= 0xFF;  // first byte of the fixed info's signature
  platform.Files.AddFile(kTool);
  platform.Modules.SetVersionResource(kTool, block);
  EXPECT_EQ(TFileVersionInfo(kTool).FixedInfo(), TVsFixedFileInfo{});
  EXPECT_EQ(GetFileVersion(kTool), TVersion{});
}

TEST_F(VemLXVerUtilsTest, FileWithoutVersionResource) {
  platform.Files.AddFile(kTool);
  const TFileVersionInfo info(kTool);
  EXPECT_EQ(GetFileVersion(kTool), TVersion{});
  EXPECT_EQ(info.FirstTranslation(), 0u);
  EXPECT_EQ(GetVersionInfoString(info, L"ProductName", 0, 0), L"");
}

TEST_F(VemLXVerUtilsTest, MissingFileRaisesExceptForStrings) {
  const std::wstring missing = L"C:\\Tools\\missing.exe";
  platform.Modules.SetVersionResource(missing, VersionBlockBuilder().String(L"ProductName", L"Ghost").Build());
  const TFileVersionInfo info(missing);
  try {
    info.VersionBlock();
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), L"Internal Error: File does not exist: " + missing);
  }
  EXPECT_THROW(GetFileVersion(missing), Exception);
  EXPECT_EQ(GetVersionInfoString(info, L"ProductName", 0, 0), L"");
  EXPECT_EQ(platform.Modules.VersionReads(), 0);
}

TEST_F(VemLXVerUtilsTest, AppVersionIsReadOnceAndForgottenByFinalize) {
  const std::wstring exe = platform.Modules.ExecutableFileName();
  platform.Files.AddFile(exe);
  platform.Modules.SetVersionResource(exe, VersionBlockBuilder().FileVersion(MakeVersion(1, 2, 3, 4)).Build());
  EXPECT_EQ(GetAppVersion(), MakeVersion(1, 2, 3, 4));
  platform.Modules.SetVersionResource(exe, VersionBlockBuilder().FileVersion(MakeVersion(2, 0, 0, 0)).Build());
  EXPECT_EQ(GetAppVersion(), MakeVersion(1, 2, 3, 4));
  EXPECT_EQ(platform.Modules.VersionReads(), 1);

  FinalizeVemLXVerUtils();
  InitializeVemLXVerUtils();
  EXPECT_EQ(GetAppVersion(), MakeVersion(2, 0, 0, 0));
}

TEST_F(VemLXVerUtilsTest, NullAppVersionIsComputedAgain) {
  const std::wstring exe = platform.Modules.ExecutableFileName();
  platform.Files.AddFile(exe);
  EXPECT_EQ(GetAppVersion(), TVersion{});
  platform.Modules.SetVersionResource(exe, VersionBlockBuilder().FileVersion(MakeVersion(0, 0, 0, 7)).Build());
  EXPECT_EQ(GetAppVersion(), MakeVersion(0, 0, 0, 7));
  EXPECT_EQ(GetAppVersion(), MakeVersion(0, 0, 0, 7));
  EXPECT_EQ(platform.Modules.VersionReads(), 2);
}

}  // namespace
}  // namespace ostrevin
