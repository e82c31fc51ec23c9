// ExtendedMapi.h - port: Extended MAPI of the installed mail client ("MAPI32.DLL").
//
// The few Extended MAPI calls the MAPI helpers make, each shaped after its
// platform call. The library is loaded once; everything else is reached from
// it and shares its lifetime (an object keeps the library loaded as long as
// it lives, so no order of releases can call into an unloaded library):
//
//   std::unique_ptr<MapiLibrary> mapi = Current<ExtendedMapi>().LoadMapiLibrary();   // null: none
//   mapi->Initialize();
//   auto session = mapi->LogonEx(Current<ExtendedMapi>().ForegroundWindow(), "Work",
//                                MapiFlag::Extended | MapiFlag::LogonUI);
//   for (const TMapiRow& row : mapi->AdminProfiles(0)->GetProfileTable(0)->QueryRows(4096, 0)) ...
//   session->Logoff(0, MapiFlag::LogoffUI);
//
// A failing platform result raises EOleSysError with that result at the
// call, except where a call says it returns its result. Property values come
// back copied into TMapiPropValue, so MAPI's own buffers are freed inside the
// call that received them and nothing of MAPI's memory reaches the caller.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/WindowHandle.h"

namespace ostrevin {

// Property types: the low 16 bits of a property tag, as MAPI defines them.
namespace PropType {
inline constexpr std::uint16_t Null = 0x0001;
inline constexpr std::uint16_t I2 = 0x0002;
inline constexpr std::uint16_t Long = 0x0003;
inline constexpr std::uint16_t R4 = 0x0004;
inline constexpr std::uint16_t Double = 0x0005;
inline constexpr std::uint16_t Currency = 0x0006;
inline constexpr std::uint16_t AppTime = 0x0007;
inline constexpr std::uint16_t Error = 0x000A;
inline constexpr std::uint16_t Boolean = 0x000B;
inline constexpr std::uint16_t Object = 0x000D;
inline constexpr std::uint16_t I8 = 0x0014;
inline constexpr std::uint16_t String8 = 0x001E;
inline constexpr std::uint16_t Unicode = 0x001F;
inline constexpr std::uint16_t SysTime = 0x0040;
inline constexpr std::uint16_t Clsid = 0x0048;
inline constexpr std::uint16_t Binary = 0x0102;
// Set in the type of a multi-valued property (PT_MV_LONG = MvFlag | Long).
inline constexpr std::uint16_t MvFlag = 0x1000;
}  // namespace PropType

constexpr std::uint16_t PropTypeOf(std::uint32_t tag) noexcept { return static_cast<std::uint16_t>(tag & 0xFFFF); }
constexpr std::uint16_t PropIdOf(std::uint32_t tag) noexcept { return static_cast<std::uint16_t>(tag >> 16); }
constexpr std::uint32_t MakePropTag(std::uint16_t type, std::uint16_t id) noexcept {
  return (static_cast<std::uint32_t>(id) << 16) | type;
}

// PR_DISPLAY_NAME, of any string type: compare identifiers only.
inline constexpr std::uint16_t kPrDisplayNameId = 0x3001;
// PR_DEFAULT_PROFILE, a Boolean of the profile table.
inline constexpr std::uint32_t kPrDefaultProfile = 0x3D04000B;

namespace MapiFlag {
inline constexpr std::uint32_t LogonUI = 0x00000001;   // MAPI_LOGON_UI
inline constexpr std::uint32_t Extended = 0x00000020;  // MAPI_EXTENDED
inline constexpr std::uint32_t LogoffUI = 0x00000002;  // MAPI_LOGOFF_UI
}  // namespace MapiFlag

// One property value, copied out of MAPI's SPropValue. Which members hold
// the value depends on the tag's type:
// - single-valued scalars: FScalar holds the value area's bits as the
//   platform lays them out: PT_I2 and PT_BOOLEAN in the low 16 bits, PT_LONG,
//   PT_ERROR, PT_OBJECT and PT_R4 (the float's bits) in the low 32, PT_DOUBLE
//   and PT_APPTIME as the double's bits, PT_CURRENCY and PT_I8 as the 64-bit
//   integer, PT_SYSTIME as the 64-bit UTC file time;
// - multi-valued scalars (PT_MV_I2 ... PT_MV_I8, PT_MV_SYSTIME): FScalars, one
//   entry per value, each laid out as above;
// - PT_STRING8 (ANSI bytes, no terminator), PT_BINARY and PT_CLSID (16 bytes,
//   the platform's GUID layout): FBytes with one entry; their multi-valued
//   forms: one entry per value;
// - PT_UNICODE: FTexts with one entry; PT_MV_UNICODE: one per value.
// A multi-valued property with a count of 0 has no entries.
struct TMapiPropValue {
  std::uint32_t FPropTag = 0;
  std::uint64_t FScalar = 0;
  std::vector<std::uint64_t> FScalars;
  std::vector<std::vector<std::uint8_t>> FBytes;
  std::vector<std::wstring> FTexts;
};

// A table row: its property values in the table's column order.
using TMapiRow = std::vector<TMapiPropValue>;

// An IMAPISession reference; released when the object goes.
class MapiSession {
 public:
  virtual ~MapiSession() = default;
  // IMAPISession::Logoff(parent, flags, 0). Returns the platform's result
  // and raises nothing: the caller decides whether a failure matters.
  virtual std::int32_t Logoff(WindowHandle parent, std::uint32_t flags) = 0;
};

// An IMAPITable reference.
class MapiTable {
 public:
  virtual ~MapiTable() = default;
  // IMAPITable::QueryRows: up to `maxRows` rows from the table's cursor on,
  // moving the cursor past them; no rows once the cursor is at the end.
  virtual std::vector<TMapiRow> QueryRows(std::int32_t maxRows, std::uint32_t flags) = 0;
};

// An IProfAdmin reference.
class MapiProfileAdmin {
 public:
  virtual ~MapiProfileAdmin() = default;
  // IProfAdmin::GetProfileTable: one row per profile.
  virtual std::unique_ptr<MapiTable> GetProfileTable(std::uint32_t flags) = 0;
};

// The loaded MAPI32.DLL; released when the object and everything reached
// from it are gone. A function the library does not export raises
// EVemGeneralError "<name> is not available at this time (in Mapi32.dll)."
// when it is called.
class MapiLibrary {
 public:
  virtual ~MapiLibrary() = default;
  // MAPIInitialize(nil).
  virtual void Initialize() = 0;
  // MAPIUninitialize; nothing when the library lacks it. Raises nothing.
  virtual void Uninitialize() noexcept = 0;
  // MAPILogonEx(parent, profile, nil, flags): `profile` is in the ANSI code
  // page; an empty one is passed as "" (not as nil).
  virtual std::shared_ptr<MapiSession> LogonEx(WindowHandle parent, const std::string& profile,
                                               std::uint32_t flags) = 0;
  // MAPIAdminProfiles(flags).
  virtual std::unique_ptr<MapiProfileAdmin> AdminProfiles(std::uint32_t flags) = 0;
};

class ExtendedMapi {
 public:
  static constexpr const wchar_t* kPortName = L"ExtendedMapi";
  virtual ~ExtendedMapi() = default;
  // Loads "MAPI32.DLL" from the platform's search path. Null when it cannot
  // be found or loaded, which is no error.
  virtual std::unique_ptr<MapiLibrary> LoadMapiLibrary() = 0;
  // The window the user works in (the parent of MAPI's dialogs); 0 when none.
  virtual WindowHandle ForegroundWindow() const = 0;
  // A UTC file time as the local file time of the same moment, with the
  // daylight-saving rule in force at that moment. A time the platform cannot
  // convert is returned unchanged.
  virtual std::uint64_t UtcToLocalFileTime(std::uint64_t utcFileTime) const = 0;
};

}  // namespace ostrevin
