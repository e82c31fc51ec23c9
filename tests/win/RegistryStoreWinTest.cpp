// RegistryStoreWinTest.cpp - the registry classes against Wine's registry.
#include <gtest/gtest.h>

#include "foundation/VemLXRegistry.h"
#include "foundation/VemSysUtils.h"
#include "platform/Win32Platform.h"

namespace ostrevin {
namespace {

constexpr const wchar_t* kTestKey = L"Software\\OstrevinTests\\Registry";

class RegistryStoreWin : public ::testing::Test {
 protected:
  void SetUp() override { Cleanup(); }
  void TearDown() override { Cleanup(); }
  static void Cleanup() {
    TRegistry reg;
    reg.DeleteKey(L"\\Software\\OstrevinTests");
    reg.SetRootKey(RegistryRoot::LocalMachine);
    for (std::uint32_t view : {RegAccess::Wow64_32Key, RegAccess::Wow64_64Key}) {
      reg.SetAccess(RegAccess::AllAccess | view);
      reg.DeleteKey(L"\\Software\\OstrevinTests");
    }
  }

  Win32Platform platform;
};

TEST_F(RegistryStoreWin, ValuesRoundTripWithTheirTypes) {
  TVemRegistryLX reg;
  reg.GotoKey(kTestKey, true);
  reg.WriteString(L"Text", L"Grüße \u4E2D");
  reg.WriteString(L"Empty", L"");
  reg.WriteInteger(L"Number", -7);
  reg.WriteBool(L"Flag", true);
  reg.WriteFloat(L"Ratio", 2.5);

  TVemRegistryLX reader;
  reader.SetAccess(RegAccess::Read);
  reader.GotoKey(kTestKey, false);
  EXPECT_EQ(reader.ReadString(L"Text"), L"Grüße \u4E2D");
  EXPECT_TRUE(reader.ValueExists(L"Empty"));
  EXPECT_EQ(reader.ReadString(L"Empty"), L"");
  EXPECT_EQ(reader.ReadInteger(L"Number"), -7);
  EXPECT_TRUE(reader.ReadBool(L"Flag"));
  EXPECT_DOUBLE_EQ(reader.ReadFloat(L"Ratio"), 2.5);
  EXPECT_EQ(reader.ReadIntegerDef(L"Missing", 42), 42);
  EXPECT_THROW(reader.ReadInteger(L"Text"), ERegistryException);
  EXPECT_THROW(reader.ReadInteger(L"Missing"), ERegistryException);
  // Opened for reading only: writing is refused by the registry itself.
  EXPECT_THROW(reader.WriteString(L"Text", L"x"), ERegistryException);

  EXPECT_TRUE(reg.DeleteValue(L"Text"));
  EXPECT_FALSE(reg.ValueExists(L"Text"));
  EXPECT_FALSE(reg.DeleteValue(L"Text"));
}

TEST_F(RegistryStoreWin, NavigationAndOneShotFunctions) {
  RegWriteString(RegistryRoot::CurrentUser, kTestKey, L"ProxyServer", L"");
  EXPECT_TRUE(RegValueExists(RegistryRoot::CurrentUser, kTestKey, L"ProxyServer"));
  RegWriteInteger(RegistryRoot::CurrentUser, kTestKey, L"Count", 3);
  RegWriteBool(RegistryRoot::CurrentUser, kTestKey, L"UseMapi", false);
  EXPECT_EQ(RegReadInteger(RegistryRoot::CurrentUser, kTestKey, L"Count"), 3);
  EXPECT_EQ(RegReadIntegerDef(RegistryRoot::CurrentUser, kTestKey, L"UseMapi", 9), 0);
  EXPECT_EQ(RegReadStringDef(RegistryRoot::CurrentUser, L"Software\\OstrevinTests\\Absent", L"Name", L"def"), L"def");

  TVemRegistryLX reg;
  reg.GotoKey(kTestKey, false);
  EXPECT_EQ(reg.CurrentPath(), kTestKey);
  EXPECT_FALSE(reg.CanDescend(L"Child"));
  reg.Descend(L"Child", true);
  EXPECT_EQ(reg.CurrentPath(), std::wstring(kTestKey) + L"\\Child");
  reg.Ascend();
  EXPECT_TRUE(reg.CanDescend(L"Child"));
  EXPECT_EQ(reg.GetKeyNames(), std::vector<std::wstring>{L"Child"});
  reg.Ascend();
  reg.Ascend();
  reg.Ascend();
  EXPECT_EQ(reg.CurrentPath(), L"");
  EXPECT_TRUE(reg.HasOpenKey());  // the root key itself
  EXPECT_THROW(reg.Ascend(), EVemInternalError);
  EXPECT_THROW(reg.GotoKey(L"Software\\OstrevinTests\\Absent", false), EVemInternalError);
}

TEST_F(RegistryStoreWin, TheTwoViewsOfTheMachineKeyAreSeparate) {
  const std::wstring key = L"\\Software\\OstrevinTests\\View";
  for (auto [view, text] : {std::pair{RegAccess::Wow64_32Key, L"32"}, std::pair{RegAccess::Wow64_64Key, L"64"}}) {
    TVemRegistryLX reg;
    reg.SetRootKey(RegistryRoot::LocalMachine);
    reg.SetAccess(RegAccess::AllAccess | view);
    reg.GotoKey(key, true);
    reg.WriteString(L"Bits", text);
  }
  for (auto [view, text] : {std::pair{RegAccess::Wow64_32Key, L"32"}, std::pair{RegAccess::Wow64_64Key, L"64"}}) {
    TVemRegistryLX reg;
    reg.SetRootKey(RegistryRoot::LocalMachine);
    reg.SetAccess(RegAccess::Read | view);
    reg.GotoKey(key, false);
    EXPECT_EQ(reg.ReadString(L"Bits"), text);
  }
  // This is a 64-bit program: its own view is the 64-bit one.
  TVemRegistryLX own;
  own.SetRootKey(RegistryRoot::LocalMachine);
  own.SetAccess(RegAccess::Read);
  own.GotoKey(key, false);
  EXPECT_EQ(own.ReadString(L"Bits"), L"64");
}

}  // namespace
}  // namespace ostrevin
