// PathsTest.cpp - path arithmetic, special folders and ForceFolder.
#include "foundation/Paths.h"

#include <gtest/gtest.h>

#include <tuple>

#include "fakes/FakePlatform.h"
#include "foundation/VemSysUtils.h"

namespace ostrevin {
namespace {

TEST(Paths, Arithmetic) {
  const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> backslashes[] = {
      // path, AddBackslash, RemoveBackslash
      {L"", L"\\", L""},
      {L"C:\\", L"C:\\", L"C:"},
      {L"C:\\a", L"C:\\a\\", L"C:\\a"},
      {L"C:\\a\\\\", L"C:\\a\\\\", L"C:\\a\\"},
  };
  for (auto [path, added, removed] : backslashes) {
    EXPECT_EQ(AddBackslash(path), added) << path;
    EXPECT_EQ(RemoveBackslash(path), removed) << path;
  }
  const std::pair<const wchar_t*, const wchar_t*> baseNames[] = {
      {L"C:\\a\\b.tar.gz", L"b.tar"}, {L"C:\\a\\.profile", L""}, {L"README", L"README"},
      {L"C:\\a\\", L""},              {L"C:name.txt", L"name"},  {L"C:\\a.b\\c", L"c"},
  };
  for (auto [path, base] : baseNames) EXPECT_EQ(ExtractFileBaseName(path), base) << path;
  const std::pair<const wchar_t*, const wchar_t*> dirs[] = {
      {L"C:\\a\\b.txt", L"C:\\a"}, {L"C:\\a", L"C:\\"}, {L"b.txt", L""}, {L"\\\\server\\share\\x", L"\\\\server\\share"},
  };
  for (auto [path, dir] : dirs) EXPECT_EQ(ExtractFileDir(path), dir) << path;
  const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> parts[] = {
      {L"C:\\a\\b.txt", L"C:\\a\\", L".txt"}, {L"C:\\a.b\\c", L"C:\\a.b\\", L""},
      {L"x.tar.gz", L"", L".gz"},           {L"C:b.", L"C:", L"."},
  };
  for (auto [path, folder, ext] : parts) {
    EXPECT_EQ(ExtractFilePath(path), folder) << path;
    EXPECT_EQ(ExtractFileExt(path), ext) << path;
  }
}

class PathsFolders : public ::testing::Test {
 protected:
  FakePlatform platform;
};

TEST_F(PathsFolders, SpecialFoldersLoseTheirTrailingBackslash) {
  platform.Files.SetSpecialFolder(Csidl::DesktopDirectory, L"C:\\Users\\me\\Desktop\\");
  EXPECT_EQ(GetDesktopFolder(), L"C:\\Users\\me\\Desktop");
  EXPECT_EQ(GetSpecialFolder(Csidl::MyMusic), L"");
  EXPECT_EQ(platform.Files.FoldersMade(), 0);
}

TEST_F(PathsFolders, MissingDocumentFoldersFallBackAndAreMade) {
  EXPECT_EQ(GetDesktopFolder(), L"");  // no fallback for the desktop
  EXPECT_EQ(GetMyDocumentsFolder(), L"C:\\My Documents");
  EXPECT_TRUE(platform.Files.FolderExists(L"C:\\My Documents"));
  EXPECT_EQ(GetMyPicturesFolder(), L"C:\\My Documents\\My Pictures");
  EXPECT_EQ(GetMyVideosFolder(), L"C:\\My Documents\\My Videos");
  EXPECT_EQ(GetMyMusicFolder(), L"C:\\My Documents\\My Music");
  EXPECT_TRUE(platform.Files.FolderExists(L"C:\\My Documents\\My Music"));

  platform.Files.SetSpecialFolder(Csidl::Personal, L"D:\\Docs");
  platform.Files.SetSpecialFolder(Csidl::MyPictures, L"E:\\Pictures");
  EXPECT_EQ(GetMyPicturesFolder(), L"E:\\Pictures");
}

TEST_F(PathsFolders, ForceFolderMakesMissingParents) {
  ForceFolder(L"C:\\a\\b\\c\\");
  EXPECT_TRUE(platform.Files.FolderExists(L"C:\\a\\b\\c"));
  EXPECT_EQ(platform.Files.FoldersMade(), 3);
  ForceFolder(L"C:\\a\\b");
  EXPECT_EQ(platform.Files.FoldersMade(), 3);
}

TEST_F(PathsFolders, ForceFolderReportsTheFolderItCouldNotMake) {
  platform.Files.Refuse(L"C:\\locked");
  const std::pair<const wchar_t*, std::function<void()>> cases[] = {
      {L"Could not create C:\\locked\\sub", [] { ForceFolder(L"C:\\locked\\sub"); }},
      {L"Could not create Q:\\x", [] { ForceFolder(L"Q:\\x"); }},
      {L"Could not create C:\\file.txt\\x", [&] {
         platform.Files.AddFile(L"C:\\file.txt");
         ForceFolder(L"C:\\file.txt\\x");
       }},
  };
  for (const auto& [message, call] : cases) {
    try {
      call();
      ADD_FAILURE() << "no exception for " << testing::PrintToString(std::wstring(message));
    } catch (const EVemGeneralError& e) {
      EXPECT_EQ(e.Message(), message);
    }
  }
}

}  // namespace
}  // namespace ostrevin
