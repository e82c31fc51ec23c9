// VemMapiUtilsTest.cpp - the MAPI helpers against the in-memory Extended MAPI.
#include "outlook/VemMapiUtils.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <exception>
#include <string>
#include <thread>
#include <vector>

#include "fakes/FakeExtendedMapi.h"
#include "fakes/FakePlatform.h"
#include "foundation/BusyState.h"
#include "foundation/OfficeInstall.h"
#include "foundation/Registry.h"
#include "platform/OleError.h"
#include "support/FlashJournal.h"
#include "support/OutlookInstall.h"

namespace ostrevin {
namespace {

constexpr const wchar_t* kThreadError =
    L"Internal Error: MAPIInitialize(nil) is not configured for multithreaded access.";
constexpr const wchar_t* kOutlookHint =
    L"Could not initialize MAPI.  Perhaps you need to set\r\nMicrosoft Outlook 2000 as the default email "
    L"program.\r\nYou can set this on the \"Programs\" tab of the Internet\r\nExplorer options window.\r\n\r\n";

// --- Property values --------------------------------------------------------


TMapiPropValue Scalar(std::uint32_t typeOrTag, std::uint64_t bits) {
  TMapiPropValue value;
  value.FPropTag = typeOrTag > 0xFFFF ? typeOrTag : MakePropTag(static_cast<std::uint16_t>(typeOrTag), 0x6001);
  value.FScalar = bits;
  return value;
}
TMapiPropValue Scalars(std::uint16_t type, std::vector<std::uint64_t> bits) {
  TMapiPropValue value = Scalar(type, 0);
  value.FScalars = std::move(bits);
  return value;
}
TMapiPropValue Blobs(std::uint16_t type, std::vector<Bytes> bytes) {
  TMapiPropValue value = Scalar(type, 0);
  value.FBytes = std::move(bytes);
  return value;
}
TMapiPropValue Texts(std::uint16_t type, std::vector<std::wstring> texts) {
  TMapiPropValue value = Scalar(type, 0);
  value.FTexts = std::move(texts);
  return value;
}

class MapiUtils : public ::testing::Test {
 protected:
  void SetUp() override {
    FinalizeOfficeInstall();
    InitializeMapiHelperLibrary();
  }
  void TearDown() override {
    FinalizeMapiHelperLibrary();
    FinalizeOfficeInstall();
  }

  void InstallOutlook() {
    InstallFakeOutlook(platform, /*is64Bit=*/true);
    FinalizeOfficeInstall();
  }

  // The exception that `call` raises on a thread of its own, or null.
  template <class Call>
  static std::exception_ptr RaisedOnOtherThread(Call call) {
    std::exception_ptr raised;
    std::thread other([&] {
      try {
        call();
      } catch (...) {
        raised = std::current_exception();
      }
    });
    other.join();
    return raised;
  }

  static std::wstring MessageOf(const std::exception_ptr& raised) {
    try {
      std::rethrow_exception(raised);
    } catch (const Exception& e) {
      return e.Message();
    }
  }

  FakePlatform platform;
  FakeExtendedMapi mapi;
  ScopedPort<ExtendedMapi> mapiPort{mapi};
};

TEST_F(MapiUtils, InitializesOnceAndOnlyOnTheFirstThread) {
  for (const bool initialized : {true, false}) {
    SCOPED_TRACE(initialized ? "initialised" : "initialisation failed");
    FinalizeMapiHelperLibrary();
    mapi = FakeExtendedMapi();
    InitializeMapiHelperLibrary();
    mapi.InitializeResult = initialized ? 0 : kMapiENotInitialized;

    // The first call records the thread even when MAPI refuses.
    for (int call = 0; call < 2; ++call) {
      if (initialized) EXPECT_NO_THROW(MapiInitializeOnce());
      else EXPECT_THROW(MapiInitializeOnce(), EOleSysError);
    }
    EXPECT_EQ(mapi.InitializeCalls, initialized ? 1 : 2);  // a failure is tried again

    const std::exception_ptr raised = RaisedOnOtherThread([] { MapiInitializeOnce(); });
    ASSERT_TRUE(raised);
    EXPECT_EQ(MessageOf(raised), kThreadError);
    EXPECT_THROW(std::rethrow_exception(raised), EVemInternalError);
    EXPECT_EQ(mapi.InitializeCalls, initialized ? 1 : 2);

    std::wstring errorText = L"stale";
    EXPECT_FALSE(RaisedOnOtherThread([&] { EXPECT_FALSE(CheckMapiAvailable(errorText)); }));
    EXPECT_EQ(errorText, kThreadError);
  }
}

TEST_F(MapiUtils, FailureCarriesTheOutlookHintOnlyWhenOutlookIsInstalled) {
  mapi.InitializeResult = kMapiENotInitialized;
  std::wstring plain;
  try {
    MapiInitializeOnce();
    FAIL() << "no exception";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.ErrorCode(), kMapiENotInitialized);
    plain = e.Message();
  }
  EXPECT_EQ(plain, L"OLE error 80040605");

  InstallOutlook();
  std::wstring errorText;
  EXPECT_FALSE(CheckMapiAvailable(errorText));
  EXPECT_EQ(errorText, kOutlookHint + plain);

  // A failed logon reports the same when initialisation was the cause.
  std::shared_ptr<MapiSession> session;
  try {
    MapiLogon(session, L"Work", false);
    FAIL() << "no exception";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.Message(), kOutlookHint + plain);
  }
  EXPECT_TRUE(mapi.Logons.empty());

  mapi.InitializeResult = 0;
  EXPECT_TRUE(CheckMapiAvailable(errorText));
  EXPECT_EQ(errorText, L"");
}

TEST_F(MapiUtils, WithoutTheLibraryMapiIsNotAvailable) {
  FinalizeMapiHelperLibrary();
  mapi.LibraryPresent = false;
  EXPECT_NO_THROW(InitializeMapiHelperLibrary());
  std::wstring errorText;
  EXPECT_FALSE(CheckMapiAvailable(errorText));
  EXPECT_EQ(errorText, L"Mapi32.dll is not available at this time.");

  TVemStringList profiles;
  std::wstring defaultProfile = L"stale";
  EXPECT_NO_THROW(GetMapiProfiles(&profiles, defaultProfile));
  EXPECT_EQ(defaultProfile, L"");
}

TEST_F(MapiUtils, LogonLogsOffTheOldSessionFirstWithTheirFlashMessages) {
  mapi.Foreground = 0x4711;
  FlashJournal flashes;
  std::shared_ptr<MapiSession> session;
  MapiLogon(session, L"Wörk", true);
  ASSERT_TRUE(session);
  ASSERT_EQ(mapi.Logons.size(), 1u);
  EXPECT_EQ(mapi.Logons[0].Profile, "W\xF6rk");  // the ANSI code page's bytes
  EXPECT_EQ(mapi.Logons[0].Flags, 0x21u);
  EXPECT_EQ(mapi.Logons[0].Parent, 0x4711u);

  MapiLogon(session, L"", true);
  ASSERT_EQ(mapi.Logoffs.size(), 1u);
  EXPECT_EQ(mapi.Logoffs[0].Profile, "W\xF6rk");
  EXPECT_EQ(mapi.Logoffs[0].Flags, 2u);
  EXPECT_EQ(mapi.Logoffs[0].Parent, 0x4711u);
  EXPECT_EQ(mapi.Logons.at(1).Profile, "");
  EXPECT_EQ(mapi.LiveObjects(), 2);  // the library and the new session

  MapiLogoff(session, true);
  EXPECT_FALSE(session);
  EXPECT_EQ(mapi.LiveObjects(), 1);
  MapiLogoff(session, true);  // nothing to log off: no message
  EXPECT_EQ(mapi.Logoffs.size(), 2u);
  EXPECT_EQ(mapi.InitializeCalls, 1);

  const std::vector<std::wstring> expected = {
      L"show Connecting to MAPI...", L"end Connecting to MAPI...",  //
      L"show Logging off MAPI...",   L"end Logging off MAPI...",    //
      L"show Connecting to MAPI...", L"end Connecting to MAPI...",  //
      L"show Logging off MAPI...",   L"end Logging off MAPI..."};
  EXPECT_EQ(flashes.Events, expected);

  flashes.Events.clear();
  MapiLogon(session, L"Work", false);
  MapiLogoff(session, false);
  EXPECT_TRUE(flashes.Events.empty());
}

TEST_F(MapiUtils, FailingLogonLeavesTheSessionEmpty) {
  std::shared_ptr<MapiSession> session;
  MapiLogon(session, L"Work", false);
  mapi.LogonResult = kMapiELogonFailed;
  try {
    MapiLogon(session, L"Other", false);
    FAIL() << "no exception";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.ErrorCode(), kMapiELogonFailed);
  }
  EXPECT_FALSE(session);
  EXPECT_EQ(mapi.Logoffs.size(), 1u);  // the old session was logged off first
  EXPECT_EQ(mapi.LiveObjects(), 1);    // only the library
}

TEST_F(MapiUtils, LogoffIgnoresMapisAnswer) {
  std::shared_ptr<MapiSession> session;
  MapiLogon(session, L"Work", false);
  mapi.LogoffResult = kMapiECallFailed;
  EXPECT_NO_THROW(MapiLogoff(session, true));
  EXPECT_FALSE(session);
}

TEST_F(MapiUtils, ProfilesWithTheDefaultWhereverItSorts) {
  mapi.AddProfile("Zeta", true);
  mapi.AddProfile("Alpha", false);
  mapi.AddProfile("Mid", false);
  TVemStringList sorted;
  sorted.SetSorted(true);
  std::wstring defaultProfile;
  GetMapiProfiles(&sorted, defaultProfile);
  EXPECT_EQ(sorted.Text(), L"Alpha\r\nMid\r\nZeta\r\n");
  EXPECT_EQ(defaultProfile, L"Zeta");
  EXPECT_EQ(mapi.LiveObjects(), 1);  // admin and table released

  // Without a marked row the first of the list is the default.
  mapi.ProfileRows.erase(mapi.ProfileRows.begin());
  GetMapiProfiles(&sorted, defaultProfile);
  EXPECT_EQ(sorted.Text(), L"Alpha\r\nMid\r\n");
  EXPECT_EQ(defaultProfile, L"Alpha");

  mapi.ProfileRows.clear();
  GetMapiProfiles(&sorted, defaultProfile);
  EXPECT_EQ(sorted.Count(), 0);
  EXPECT_EQ(defaultProfile, L"");

  try {
    GetMapiProfiles(nullptr, defaultProfile);
    FAIL() << "no exception";
  } catch (const EVemInternalError& e) {
    EXPECT_EQ(e.Message(), L"Internal Error: GetMapiProfiles.Profiles not assigned.");
  }
}

TEST_F(MapiUtils, ProfilesAreReadUntilTheTableHasNoMoreRows) {
  for (int i = 0; i < 5000; ++i) mapi.AddProfile("P" + std::to_string(10000 + i), i == 4999);
  TVemStringList profiles;
  std::wstring defaultProfile;
  GetMapiProfiles(&profiles, defaultProfile);
  EXPECT_EQ(profiles.Count(), 5000);
  EXPECT_EQ(defaultProfile, L"P14999");
  EXPECT_EQ(mapi.QueryRowsMaxRows, (std::vector<std::int32_t>{4096, 4096, 4096}));
}

TEST_F(MapiUtils, ProfileErrorsAreSilentAndKeepWhatWasRead) {
  struct Case {
    const char* Name;
    void (*Break)(FakeExtendedMapi& mapi);
    std::wstring Names;
  };
  const Case cases[] = {
      {"initialisation fails", [](FakeExtendedMapi& m) { m.InitializeResult = kMapiENotInitialized; }, L""},
      {"no profile admin", [](FakeExtendedMapi& m) { m.AdminProfilesResult = kMapiECallFailed; }, L""},
      {"no profile table", [](FakeExtendedMapi& m) { m.GetProfileTableResult = kMapiECallFailed; }, L""},
      {"the query fails", [](FakeExtendedMapi& m) { m.QueryRowsFailAfter = 0; }, L""},
      {"a display name cannot be read",
       [](FakeExtendedMapi& m) {
         m.ProfileRows.insert(m.ProfileRows.begin() + 1,
                              TMapiRow{Scalar(MakePropTag(PropType::Error, kPrDisplayNameId), 0x8004010F)});
       },
       L"Work\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    FinalizeMapiHelperLibrary();
    mapi = FakeExtendedMapi();
    InitializeMapiHelperLibrary();
    mapi.AddProfile("Work", false);
    mapi.AddProfile("Home", true);
    c.Break(mapi);
    TVemStringList profiles{L"stale"};
    std::wstring defaultProfile = L"stale";
    EXPECT_NO_THROW(GetMapiProfiles(&profiles, defaultProfile));
    EXPECT_EQ(profiles.Text(), c.Names);
    EXPECT_EQ(defaultProfile, L"");
    EXPECT_EQ(mapi.LiveObjects(), 1);
  }
}

std::uint64_t Bits(double d) { return std::bit_cast<std::uint64_t>(d); }
std::uint64_t Bits(float f) { return std::bit_cast<std::uint32_t>(f); }

TVariant Strings(std::vector<std::wstring> texts) {
  std::vector<TVariant> elements;
  for (auto& text : texts) elements.push_back(TVariant::String(std::move(text)));
  return TVariant::Array(TVarType::String, std::move(elements));
}

constexpr std::uint16_t Mv(std::uint16_t type) { return PropType::MvFlag | type; }

// 2024-03-01 12:00:00 UTC as a file time; one hour in file-time ticks.
constexpr std::uint64_t kMarch1Noon = (1709294400ull + 11644473600ull) * 10000000ull;
constexpr std::int64_t kHour = 36000000000;
// The same moment one hour east of UTC, as an OLE date.
const double kMarch1OnePm = 45352.0 + 13.0 / 24.0;

// {00020300-0000-0000-C000-000000000046} in the platform's GUID layout.
const Bytes kGuid = {0x00, 0x03, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                     0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr const wchar_t* kGuidText = L"{00020300-0000-0000-C000-000000000046}";

TEST_F(MapiUtils, PropertyValuesAcrossTheTypeTable) {
  mapi.LocalOffsetTicks = kHour;
  struct Case {
    const char* Name;
    TMapiPropValue Value;
    bool Unsigned;
    TVariant Expected;
  };
  const Case cases[] = {
      {"PT_NULL", Scalar(PropType::Null, 0), false, TVariant::Null()},
      {"PT_I2", Scalar(PropType::I2, 0xFFFF), false, TVariant::SmallInt(-1)},
      {"PT_LONG signed", Scalar(PropType::Long, 0xFFFFFFFF), false, TVariant::Integer(-1)},
      {"PT_LONG unsigned", Scalar(PropType::Long, 0xFFFFFFFF), true, TVariant::LongWord(4294967295u)},
      {"PT_R4 as a double", Scalar(PropType::R4, Bits(1.25f)), false, TVariant::Double(1.25)},
      {"PT_DOUBLE", Scalar(PropType::Double, Bits(-2.5)), false, TVariant::Double(-2.5)},
      {"PT_CURRENCY raw", Scalar(PropType::Currency, 123456789), false, TVariant::Int64(123456789)},
      {"PT_APPTIME", Scalar(PropType::AppTime, Bits(45352.25)), false, TVariant::Double(45352.25)},
      {"PT_BOOLEAN true", Scalar(PropType::Boolean, 0x0100), false, TVariant::Boolean(true)},
      {"PT_BOOLEAN reads 16 bits", Scalar(PropType::Boolean, 0x10000), false, TVariant::Boolean(false)},
      {"PT_OBJECT", Scalar(PropType::Object, 0xFFFFFFFE), false, TVariant::Integer(-2)},
      {"PT_I8", Scalar(PropType::I8, 0x8000000000000000), false, TVariant::Int64(INT64_MIN)},
      {"PT_STRING8 from ANSI", Blobs(PropType::String8, {{'c', 'a', 'f', 0xE9}}), false, TVariant::String(L"café")},
      {"PT_UNICODE", Texts(PropType::Unicode, {L"\u4E2D"}), false, TVariant::String(L"\u4E2D")},
      {"PT_SYSTIME to local time", Scalar(PropType::SysTime, kMarch1Noon), false, TVariant::Date(kMarch1OnePm)},
      {"PT_CLSID", Blobs(PropType::Clsid, {kGuid}), false, TVariant::String(kGuidText)},
      {"PT_BINARY", Blobs(PropType::Binary, {{0x0A, 0xFF}}), false, TVariant::String(L"0AFF")},
      {"PT_BINARY count 0", Blobs(PropType::Binary, {{}}), false, TVariant::String(L"")},
      {"PT_MV_I2", Scalars(Mv(PropType::I2), {1, 0x8000}), false,
       TVariant::Array(TVarType::SmallInt, {TVariant::SmallInt(1), TVariant::SmallInt(-32768)})},
      {"PT_MV_LONG signed", Scalars(Mv(PropType::Long), {0xFFFFFFFF}), false,
       TVariant::Array(TVarType::Integer, {TVariant::Integer(-1)})},
      {"PT_MV_LONG unsigned", Scalars(Mv(PropType::Long), {0xFFFFFFFF}), true,
       TVariant::Array(TVarType::LongWord, {TVariant::LongWord(4294967295u)})},
      {"PT_MV_R4 as singles", Scalars(Mv(PropType::R4), {Bits(0.5f)}), false,
       TVariant::Array(TVarType::Single, {TVariant::Single(0.5f)})},
      {"PT_MV_DOUBLE", Scalars(Mv(PropType::Double), {Bits(0.1)}), false,
       TVariant::Array(TVarType::Double, {TVariant::Double(0.1)})},
      {"PT_MV_CURRENCY", Scalars(Mv(PropType::Currency), {10000}), false,
       TVariant::Array(TVarType::Int64, {TVariant::Int64(10000)})},
      {"PT_MV_APPTIME", Scalars(Mv(PropType::AppTime), {Bits(1.5)}), false,
       TVariant::Array(TVarType::Double, {TVariant::Double(1.5)})},
      {"PT_MV_I8", Scalars(Mv(PropType::I8), {~0ull}), false,
       TVariant::Array(TVarType::Int64, {TVariant::Int64(-1)})},
      {"PT_MV_STRING8", Blobs(Mv(PropType::String8), {{'a'}, {}}), false, Strings({L"a", L""})},
      {"PT_MV_UNICODE", Texts(Mv(PropType::Unicode), {L"x", L"y"}), false, Strings({L"x", L"y"})},
      {"PT_MV_SYSTIME", Scalars(Mv(PropType::SysTime), {kMarch1Noon}), false,
       TVariant::Array(TVarType::Date, {TVariant::Date(kMarch1OnePm)})},
      {"PT_MV_CLSID", Blobs(Mv(PropType::Clsid), {kGuid}), false, Strings({kGuidText})},
      {"PT_MV_BINARY", Blobs(Mv(PropType::Binary), {{0x0A, 0xFF}, {}}), false, Strings({L"0AFF", L""})},
      {"PT_MV_LONG count 0", Scalars(Mv(PropType::Long), {}), false, TVariant::Array(TVarType::Integer, {})},
      {"PT_MV_SYSTIME count 0", Scalars(Mv(PropType::SysTime), {}), false, TVariant::Array(TVarType::Date, {})},
      {"PT_MV_BINARY count 0", Blobs(Mv(PropType::Binary), {}), false, Strings({})},
      {"PT_MV_UNICODE count 0", Texts(Mv(PropType::Unicode), {}), false, Strings({})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(PropValueToVariant(c.Value, c.Unsigned), c.Expected);
  }
}

TEST_F(MapiUtils, PropertyValuesThatCannotBeConverted) {
  struct Case {
    const char* Name;
    std::uint32_t Tag;
    const wchar_t* Message;
  };
  const Case cases[] = {
      {"PT_ERROR", MakePropTag(PropType::Error, kPrDisplayNameId),
       L"Internal Error: Error reading property PT_ERROR (8004010F)."},
      {"PT_UNSPECIFIED", 0x30010000, L"Internal Error: Unexpected type in PROP TAG: 0x30010000"},
      {"an unknown type", 0x3001FFFF, L"Internal Error: Unexpected type in PROP TAG: 0x3001FFFF"},
      {"PT_MV_ERROR", 0x3001100A, L"Internal Error: Unexpected type in PROP TAG: 0x3001100A"},
      {"PT_MV_BOOLEAN", 0x3001100B, L"Internal Error: Unexpected type in PROP TAG: 0x3001100B"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    try {
      PropValueToVariant(Scalar(c.Tag, 0x8004010F), false);
      ADD_FAILURE() << "no exception";
    } catch (const EVemInternalError& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
}

TEST_F(MapiUtils, FinalizationUninitializesOnlyWhatWasInitialized) {
  FinalizeMapiHelperLibrary();
  EXPECT_EQ(mapi.UninitializeCalls, 0);
  EXPECT_EQ(mapi.LiveObjects(), 0);

  InitializeMapiHelperLibrary();
  MapiInitializeOnce();
  FinalizeMapiHelperLibrary();
  EXPECT_EQ(mapi.UninitializeCalls, 1);
  EXPECT_EQ(mapi.LiveObjects(), 0);

  // A new start forgets the MAPI thread: another thread may initialise now.
  InitializeMapiHelperLibrary();
  EXPECT_FALSE(RaisedOnOtherThread([] { MapiInitializeOnce(); }));
  EXPECT_EQ(mapi.InitializeCalls, 2);
}

}  // namespace
}  // namespace ostrevin
