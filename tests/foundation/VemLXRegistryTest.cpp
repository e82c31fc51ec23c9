// VemLXRegistryTest.cpp - TRegistry, TVemRegistryLX and the one-shot functions.
#include "foundation/VemLXRegistry.h"

#include <gtest/gtest.h>

#include <functional>

#include "fakes/FakePlatform.h"
#include "support/RaisedMessage.h"
#include "foundation/VemSysUtils.h"

namespace ostrevin {
namespace {

class VemLXRegistry : public ::testing::Test {
 protected:
  FakePlatform platform;
};

TEST_F(VemLXRegistry, NormalizeKeyPath) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"", L"\\"},          {L"\\", L"\\"},          {L"A", L"\\A"},
      {L"A\\", L"\\A"},      {L"\\A\\B\\", L"\\A\\B"}, {L"A\\\\", L"\\A\\"},
      {L"\\Software\\A", L"\\Software\\A"},
  };
  for (auto [key, normal] : cases) EXPECT_EQ(NormalizeKeyPath(key), normal) << key;
}

TEST_F(VemLXRegistry, GotoKeyOpensFromTheRootOrRaises) {
  TVemRegistryLX reg;
  EXPECT_EQ(RaisedMessage<EVemInternalError>([&] { reg.GotoKey(L"Software\\X", false); }),
            L"Internal Error: Unable to open key: \\Software\\X");
  reg.GotoKey(L"Software\\X\\", true);
  EXPECT_EQ(reg.CurrentPath(), L"Software\\X");
  // Absolute whatever key is open.
  reg.GotoKey(L"Software", false);
  EXPECT_EQ(reg.CurrentPath(), L"Software");
  // A key that cannot be opened with the object's access.
  platform.Registry.KeyNode(RegistryRoot::CurrentUser, L"Locked").ReadOnly = true;
  EXPECT_THROW(reg.GotoKey(L"Locked", false), EVemInternalError);
  EXPECT_EQ(reg.CurrentPath(), L"Software");
}

TEST_F(VemLXRegistry, DescendAscendAndCanDescend) {
  platform.Registry.KeyNode(RegistryRoot::CurrentUser, L"Software\\A\\Locked").ReadOnly = true;
  TVemRegistryLX reg;
  reg.GotoKey(L"Software", false);
  EXPECT_TRUE(reg.CanDescend(L"A"));
  EXPECT_FALSE(reg.CanDescend(L"Missing"));
  EXPECT_EQ(RaisedMessage<EVemInternalError>([&] { reg.Descend(L"A\\B", false); }),
            L"Internal Error: Key contains a backslash: A\\B\r\n  Path = \\Software");
  EXPECT_EQ(reg.CurrentPath(), L"Software");
  reg.Descend(L"A", false);
  EXPECT_EQ(reg.CurrentPath(), L"Software\\A");
  EXPECT_FALSE(reg.CanDescend(L"Locked"));  // exists, but not with full access
  EXPECT_EQ(reg.CurrentPath(), L"Software\\A");
  reg.Descend(L"New", true);
  EXPECT_EQ(reg.CurrentPath(), L"Software\\A\\New");

  reg.Ascend();
  EXPECT_EQ(reg.CurrentPath(), L"Software\\A");
  reg.Ascend();
  EXPECT_EQ(reg.CurrentPath(), L"Software");
  reg.Ascend();
  EXPECT_EQ(reg.CurrentPath(), L"");
  EXPECT_TRUE(reg.HasOpenKey());
  EXPECT_EQ(RaisedMessage<EVemInternalError>([&] { reg.Ascend(); }), L"Internal Error: Cannot ascend any more.");
}

TEST_F(VemLXRegistry, RelativeOpenStartsAtTheOpenKey) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(L"Software", true));
  ASSERT_TRUE(reg.OpenKey(L"Sub", true));
  EXPECT_EQ(reg.CurrentPath(), L"Software\\Sub");
  EXPECT_TRUE(reg.KeyExists(L"\\Software\\Sub"));
  EXPECT_FALSE(reg.OpenKey(L"Missing", false));
  EXPECT_EQ(reg.CurrentPath(), L"Software\\Sub");  // a failed open keeps the open key
  reg.SetRootKey(RegistryRoot::LocalMachine);
  EXPECT_FALSE(reg.HasOpenKey());
  EXPECT_FALSE(reg.KeyExists(L"Software\\Sub"));
}

TEST_F(VemLXRegistry, ReadsWithDefaultsAndStrictTypes) {
  TVemRegistryLX reg;
  reg.GotoKey(L"Software\\Halvorn\\VemKarto\\ZereZirurodAvav", true);
  EXPECT_TRUE(reg.ReadBoolDef(L"UseMapi", true));
  reg.WriteInteger(L"UseMapi", 0);
  EXPECT_FALSE(reg.ReadBoolDef(L"UseMapi", true));
  reg.WriteInteger(L"UseMapi", 7);
  EXPECT_TRUE(reg.ReadBool(L"UseMapi"));
  EXPECT_EQ(reg.ReadIntegerDef(L"Other", -3), -3);
  EXPECT_EQ(reg.ReadStringDef(L"Profile", L"Outlook"), L"Outlook");
  EXPECT_DOUBLE_EQ(reg.ReadFloatDef(L"Ratio", 0.5), 0.5);
  reg.WriteFloat(L"Ratio", -1.25);
  EXPECT_DOUBLE_EQ(reg.ReadFloatDef(L"Ratio", 0.5), -1.25);

  reg.WriteString(L"Profile", L"Work");
  EXPECT_EQ(reg.ReadString(L"Missing"), L"");
  EXPECT_EQ(RaisedMessage<ERegistryException>([&] { reg.ReadInteger(L"Missing"); }),
            L"Failed to get data for 'Missing'");
  // A value of another type is an error, not a reason to use the default.
  EXPECT_EQ(RaisedMessage<ERegistryException>([&] { reg.ReadIntegerDef(L"Profile", 1); }),
            L"Invalid data type for 'Profile'");
  EXPECT_EQ(RaisedMessage<ERegistryException>([&] { reg.ReadStringDef(L"UseMapi", L""); }),
            L"Invalid data type for 'UseMapi'");
  EXPECT_EQ(RaisedMessage<ERegistryException>([&] { reg.ReadFloat(L"UseMapi"); }),
            L"Invalid data type for 'UseMapi'");
}

TEST_F(VemLXRegistry, StringValuesAreStoredAsThePlatformStoresThem) {
  TVemRegistryLX reg;
  reg.GotoKey(L"Software\\T", true);
  reg.WriteString(L"S", L"a\u00E9");
  const auto stored = platform.Registry.KeyNode(RegistryRoot::CurrentUser, L"Software\\T").Values.at(L"s").second;
  EXPECT_EQ(stored.Type, RegistryDataType::String);
  EXPECT_EQ(stored.Data, (std::vector<std::uint8_t>{'a', 0, 0xE9, 0, 0, 0}));
  // Expandable strings are read as they are, without expansion.
  platform.Registry.KeyNode(RegistryRoot::CurrentUser, L"Software\\T").Values[L"e"] = {
      L"E", {RegistryDataType::ExpandString, {'%', 0, 'X', 0, '%', 0, 0, 0}}};
  EXPECT_EQ(reg.ReadString(L"E"), L"%X%");
}

TEST_F(VemLXRegistry, WriteRefusedRaises) {
  platform.Registry.KeyNode(RegistryRoot::CurrentUser, L"Software\\RO");
  TVemRegistryLX reg;
  reg.SetAccess(RegAccess::Read);
  reg.GotoKey(L"Software\\RO", false);
  EXPECT_EQ(RaisedMessage<ERegistryException>([&] { reg.WriteString(L"Name", L"v"); }),
            L"Failed to set data for 'Name'");
}

TEST_F(VemLXRegistry, OneShotFunctions) {
  const RegistryRoot hkcu = RegistryRoot::CurrentUser;
  EXPECT_EQ(RegReadStringDef(hkcu, L"Software\\Wine", L"HalvornWineTricks", L""), L"");
  EXPECT_EQ(RegReadIntegerDef(hkcu, L"Software\\Wine", L"X", 5), 5);
  EXPECT_FALSE(RegValueExists(hkcu, L"Software\\Wine", L"X"));

  const wchar_t* key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
  RegWriteString(hkcu, key, L"ProxyServer", L"");
  EXPECT_TRUE(RegValueExists(hkcu, key, L"ProxyServer"));
  EXPECT_EQ(RegReadStringDef(hkcu, key, L"ProxyServer", L"none"), L"");
  RegWriteInteger(hkcu, key, L"ProxyEnable", 1);
  RegWriteBool(hkcu, key, L"Flag", true);
  EXPECT_EQ(RegReadInteger(hkcu, key, L"ProxyEnable"), 1);
  EXPECT_EQ(RegReadIntegerDef(hkcu, key, L"Flag", 0), 1);
  EXPECT_EQ(RegReadString(hkcu, key, L"Absent"), L"");
  EXPECT_THROW(RegReadInteger(hkcu, key, L"Absent"), ERegistryException);
  EXPECT_THROW(RegReadInteger(hkcu, L"Software\\Absent", L"A"), EVemInternalError);
  // A wrong type is still an error through the Def variant.
  EXPECT_THROW(RegReadIntegerDef(hkcu, key, L"ProxyServer", 0), ERegistryException);

  // The reads need no write access.
  auto& readOnly = platform.Registry.KeyNode(RegistryRoot::LocalMachine, L"Software\\RO");
  readOnly.ReadOnly = true;
  readOnly.Values[L"name"] = {L"Name", MakeStringValue(L"kept")};
  EXPECT_EQ(RegReadStringDef(RegistryRoot::LocalMachine, L"Software\\RO", L"Name", L"d"), L"kept");
  EXPECT_EQ(RegReadString(RegistryRoot::LocalMachine, L"Software\\RO", L"Name"), L"kept");
}

TEST_F(VemLXRegistry, OneShotFunctionsRefuseAnEmptyKey) {
  const RegistryRoot hkcu = RegistryRoot::CurrentUser;
  const std::function<void()> calls[] = {
      [&] { RegReadInteger(hkcu, L"", L"A"); },
      [&] { RegReadString(hkcu, L"", L"A"); },
      [&] { RegReadIntegerDef(hkcu, L"", L"A", 0); },
      [&] { RegReadStringDef(hkcu, L"", L"A", L""); },
      [&] { RegWriteBool(hkcu, L"", L"A", true); },
      [&] { RegWriteInteger(hkcu, L"", L"A", 1); },
      [&] { RegWriteString(hkcu, L"", L"A", L""); },
  };
  for (const auto& call : calls) {
    const std::wstring message = RaisedMessage<EAssertionFailed>(call);
    EXPECT_EQ(message.rfind(L"Assertion failure", 0), 0u) << message;
  }
  EXPECT_FALSE(RegValueExists(hkcu, L"", L"A"));
}

}  // namespace
}  // namespace ostrevin
