// FileSystemWinTest.cpp - paths, special folders and files against Wine.
#include <gtest/gtest.h>

#include "foundation/Paths.h"
#include "foundation/TextEncoding.h"
#include "foundation/VemSysUtils.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/Ports.h"
#include "platform/Win32Platform.h"

namespace ostrevin {
namespace {

class FileSystemWin : public ::testing::Test {
 protected:
  void SetUp() override {
    FRoot = Current<Environment>().Variable(L"TEMP").value_or(L"C:\\windows\\temp") + L"\\ostrevin-fs-" +
            std::to_wstring(::testing::UnitTest::GetInstance()->random_seed()) +
            Utf8ToWide(::testing::UnitTest::GetInstance()->current_test_info()->name());
  }

  Win32Platform platform;
  std::wstring FRoot;
};

TEST_F(FileSystemWin, DesktopFolderExistsWithoutTrailingBackslash) {
  const std::wstring desktop = GetDesktopFolder();
  ASSERT_FALSE(desktop.empty());
  EXPECT_NE(desktop.back(), L'\\');
  EXPECT_TRUE(Current<FileSystem>().FolderExists(desktop));
  const std::wstring documents = GetMyDocumentsFolder();
  EXPECT_TRUE(Current<FileSystem>().FolderExists(documents));
}

TEST_F(FileSystemWin, ForceFolderMakesEveryMissingParent) {
  const std::wstring deep = FRoot + L"\\a\\b\\c\\";
  ForceFolder(deep);
  EXPECT_TRUE(Current<FileSystem>().FolderExists(FRoot + L"\\a\\b\\c"));
  ForceFolder(deep);  // already there: nothing to do
}

TEST_F(FileSystemWin, ForceFolderUnderAFileRaises) {
  ForceFolder(FRoot);
  const std::wstring file = FRoot + L"\\plain.txt";
  Current<FileSystem>().WriteAllBytes(file, {'x'});
  try {
    ForceFolder(file + L"\\sub");
    FAIL() << "no exception";
  } catch (const EVemGeneralError& e) {
    EXPECT_EQ(e.Message(), L"Could not create " + file + L"\\sub");
  }
}

TEST_F(FileSystemWin, FilesRoundTripAndMissingFilesRaise) {
  ForceFolder(FRoot);
  const std::wstring file = FRoot + L"\\Grüße.bin";
  const std::vector<std::uint8_t> bytes = {0, 1, 2, 0xFF};
  FileSystem& files = Current<FileSystem>();
  files.WriteAllBytes(file, bytes);
  EXPECT_TRUE(files.FileExists(file));
  EXPECT_FALSE(files.FolderExists(file));
  EXPECT_EQ(files.ReadAllBytes(file), bytes);
  try {
    files.ReadAllBytes(FRoot + L"\\missing.bin");
    FAIL() << "no exception";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message().rfind(L"Cannot open file \"" + FRoot + L"\\missing.bin\". ", 0), 0u) << e.what();
  }
  EXPECT_THROW(files.WriteAllBytes(FRoot + L"\\no\\such\\folder.bin", bytes), EFCreateError);
}

TEST_F(FileSystemWin, ANewFileIsMadeOnlyWhereNothingOfThatNameIs) {
  ForceFolder(FRoot + L"\\Folder");
  FileSystem& files = Current<FileSystem>();
  const std::wstring file = FRoot + L"\\Report.txt";
  EXPECT_TRUE(files.CreateNewFile(file));
  EXPECT_TRUE(files.ReadAllBytes(file).empty());
  EXPECT_FALSE(files.CreateNewFile(file));
  EXPECT_FALSE(files.CreateNewFile(FRoot + L"\\REPORT.TXT"));  // names ignore case
  EXPECT_FALSE(files.CreateNewFile(FRoot + L"\\Folder"));
  EXPECT_THROW(files.CreateNewFile(FRoot + L"\\missing\\a.txt"), EFCreateError);
  EXPECT_THROW(files.CreateNewFile(FRoot + L"\\a|b.txt"), EFCreateError);

  EXPECT_TRUE(files.RemoveFile(file));
  EXPECT_FALSE(files.FileExists(file));
  EXPECT_FALSE(files.RemoveFile(file));
  EXPECT_FALSE(files.RemoveFile(FRoot + L"\\Folder"));
}

}  // namespace
}  // namespace ostrevin
