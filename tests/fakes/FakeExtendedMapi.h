// FakeExtendedMapi.h - an in-memory Extended MAPI for native tests.
//
// A fake MAPI32.DLL with a profile table, results that a test sets to make a
// call fail, and a record of the calls:
//
//   FakeExtendedMapi mapi;
//   ScopedPort<ExtendedMapi> install(mapi);
//   mapi.AddProfile("Work", /*isDefault=*/true);
//   mapi.LogonResult = kMapiELogonFailed;   // every logon fails with it
//   ... mapi.Logons[0].Profile, mapi.InitializeCalls, mapi.LiveObjects()
//
// A failing result makes the call raise EOleSysError with it, as the adapter
// does. The objects handed out must not outlive the fake.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ExtendedMapi.h"

namespace ostrevin {

// MAPI's result codes the tests use.
inline constexpr std::int32_t kMapiENotInitialized = static_cast<std::int32_t>(0x80040605u);
inline constexpr std::int32_t kMapiELogonFailed = static_cast<std::int32_t>(0x80040111u);
inline constexpr std::int32_t kMapiECallFailed = static_cast<std::int32_t>(0x80004005u);

class FakeExtendedMapi : public ExtendedMapi {
 public:
  struct LogonRecord {
    WindowHandle Parent = 0;
    std::string Profile;
    std::uint32_t Flags = 0;
  };
  struct LogoffRecord {
    std::string Profile;  // the profile of the session
    WindowHandle Parent = 0;
    std::uint32_t Flags = 0;
  };

  std::unique_ptr<MapiLibrary> LoadMapiLibrary() override;
  WindowHandle ForegroundWindow() const override { return Foreground; }
  std::uint64_t UtcToLocalFileTime(std::uint64_t utcFileTime) const override {
    return utcFileTime + static_cast<std::uint64_t>(LocalOffsetTicks);
  }

  // Set-up: a profile-table row with PR_DEFAULT_PROFILE (true only for the
  // default) and then PR_DISPLAY_NAME as PT_STRING8, in table order.
  void AddProfile(const std::string& ansiName, bool isDefault);

  // --- What the fake does --------------------------------------------------
  bool LibraryPresent = true;
  std::int32_t InitializeResult = 0;
  std::int32_t LogonResult = 0;
  std::int32_t LogoffResult = 0;
  std::int32_t AdminProfilesResult = 0;
  std::int32_t GetProfileTableResult = 0;
  // QueryRows fails once this many rows have been handed out (-1: never).
  int QueryRowsFailAfter = -1;
  std::vector<TMapiRow> ProfileRows;
  WindowHandle Foreground = 0;
  // Local time = UTC + this many file-time ticks (100 ns).
  std::int64_t LocalOffsetTicks = 0;

  // --- What happened -------------------------------------------------------
  int LibraryLoads = 0;
  int InitializeCalls = 0;  // failed ones too
  int UninitializeCalls = 0;
  std::vector<LogonRecord> Logons;  // failed ones too
  std::vector<LogoffRecord> Logoffs;
  std::vector<std::int32_t> QueryRowsMaxRows;
  // Libraries, sessions, profile admins and tables not yet released.
  int LiveObjects() const noexcept { return FLiveObjects; }

 private:
  friend class FakeMapiObject;
  int FLiveObjects = 0;
};

}  // namespace ostrevin
