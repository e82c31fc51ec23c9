// WineDetectionTest.cpp - IsWine from the system module's version resource.
#include "foundation/WineDetection.h"

#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "fakes/VersionBlockBuilder.h"

namespace ostrevin {
namespace {

constexpr const wchar_t* kKernel = L"C:\\windows\\system32\\kernel32.dll";
constexpr const wchar_t* kServer = L"C:\\wine\\wineserver";

class WineDetection : public ::testing::Test {
 protected:
  void SetUp() override { InitializeWineDetection(); }
  void TearDown() override { FinalizeWineDetection(); }

  void GiveKernel(std::wstring productName, TVersion version = MakeVersion(6, 1, 7601, 0)) {
    platform.Files.AddFile(kKernel);
    platform.Modules.SetModuleFile(L"kernel32", kKernel);
    platform.Modules.SetVersionResource(
        kKernel, VersionBlockBuilder().FileVersion(version).String(L"ProductName", std::move(productName)).Build());
  }

  FakePlatform platform;
};

TEST_F(WineDetection, ProductNameOfKernel32Decides) {
  const std::pair<const wchar_t*, bool> cases[] = {
      {L"Wine", true}, {L"wINE", true}, {L"Microsoft\u00AE Windows\u00AE Operating System", false}, {L"", false}};
  for (auto [product, expected] : cases) {
    FinalizeWineDetection();
    GiveKernel(product);
    platform.Files.AddFile(kServer);
    platform.Environment.Set(L"WINESERVER", kServer);  // not consulted: there is a version
    EXPECT_EQ(IsWine(), expected) << testing::PrintToString(std::wstring(product));
  }
}

TEST_F(WineDetection, WithoutAVersionTheWineServerVariableDecides) {
  struct Case {
    bool KernelFound;
    const wchar_t* Server;  // null: not set
    bool ServerExists;
    bool Expected;
  };
  const Case cases[] = {
      {false, kServer, true, true},  {false, kServer, false, false}, {false, L"", false, false},
      {false, nullptr, false, false}, {true, kServer, true, true},    {true, kServer, false, false},
  };
  for (const Case& c : cases) {
    FakePlatform fresh;
    FinalizeWineDetection();
    if (c.KernelFound) {
      fresh.Files.AddFile(kKernel);
      fresh.Modules.SetModuleFile(L"kernel32", kKernel);
      fresh.Modules.SetVersionResource(kKernel, VersionBlockBuilder().String(L"ProductName", L"Wine").Build());
    }
    if (c.Server != nullptr) fresh.Environment.Set(L"WINESERVER", c.Server);
    if (c.ServerExists) fresh.Files.AddFile(c.Server);
    EXPECT_EQ(IsWine(), c.Expected) << c.KernelFound << " " << testing::PrintToString(std::wstring(c.Server ? c.Server : L"(unset)"));
  }
}

TEST_F(WineDetection, KernelFileThatIsNotThereFallsBack) {
  platform.Modules.SetModuleFile(L"kernel32", kKernel);  // named, but no such file
  platform.Files.AddFile(kServer);
  platform.Environment.Set(L"WINESERVER", kServer);
  EXPECT_TRUE(IsWine());
}

TEST_F(WineDetection, AnswerIsKeptForTheProcess) {
  GiveKernel(L"Windows");
  EXPECT_FALSE(IsWine());
  GiveKernel(L"Wine");
  platform.Environment.Set(L"WINESERVER", kServer);
  platform.Files.AddFile(kServer);
  EXPECT_FALSE(IsWine());
  FinalizeWineDetection();
  EXPECT_TRUE(IsWine());
}

}  // namespace
}  // namespace ostrevin
