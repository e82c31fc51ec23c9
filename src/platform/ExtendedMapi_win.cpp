// ExtendedMapi_win.cpp - the ExtendedMapi port over the mail client's MAPI32.DLL.
//
// MAPI32.DLL is loaded at run time and its functions are found by name, so
// the program starts on machines without it. The library stays loaded while
// any object reached from it lives: each holds a share of the module.
// Property values are copied out of MAPI's row sets, which are then freed
// with the library's MAPIFreeBuffer (each row's property array, then the
// set), also when copying fails.
#include "platform/Win32Adapters.h"

#include <bit>
#include <cstring>
#include <utility>

#include "foundation/Format.h"
#include "foundation/TextEncoding.h"
#include "foundation/VemSysUtils.h"
#include "platform/ComPtr_win.h"
#include "platform/OleError.h"
#include "platform/WinHandles_win.h"

#include <mapix.h>

namespace ostrevin {

namespace {

// The profile and password are 8-bit strings: the headers' LPTSTR would be
// wide in this Unicode build.
using MapiInitializeFn = HRESULT(WINAPI*)(LPVOID);
using MapiUninitializeFn = void(WINAPI*)();
using MapiLogonExFn = HRESULT(WINAPI*)(ULONG_PTR, LPSTR, LPSTR, ULONG, LPMAPISESSION*);
using MapiAdminProfilesFn = HRESULT(WINAPI*)(ULONG, LPPROFADMIN*);
using MapiFreeBufferFn = ULONG(WINAPI*)(LPVOID);

class MapiModule {
 public:
  explicit MapiModule(UniqueModule module) : FModule(std::move(module)) {}

  // The entry point, or null when the library does not export it.
  template <class Fn>
  Fn Find(const char* name) const noexcept {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(FModule.Get(), name)));
  }
  template <class Fn>
  Fn Require(const char* name) const {
    if (Fn fn = Find<Fn>(name)) return fn;
    throw EVemGeneralError(Format(L"%s is not available at this time (in Mapi32.dll).", {Utf8ToWide(name)}));
  }
  void FreeBuffer(void* buffer) const noexcept {
    if (buffer == nullptr) return;
    if (auto freeBuffer = Find<MapiFreeBufferFn>("MAPIFreeBuffer")) freeBuffer(buffer);
  }

 private:
  UniqueModule FModule;
};

using SharedModule = std::shared_ptr<const MapiModule>;

// --- Property values --------------------------------------------------------

std::vector<std::uint8_t> ByteCopy(const void* data, std::size_t count) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return bytes == nullptr ? std::vector<std::uint8_t>() : std::vector<std::uint8_t>(bytes, bytes + count);
}
std::vector<std::uint8_t> AnsiCopy(const char* text) { return ByteCopy(text, text == nullptr ? 0 : std::strlen(text)); }
std::vector<std::uint8_t> GuidCopy(const GUID* guid) {
  static const GUID kNull{};
  return ByteCopy(guid != nullptr ? guid : &kNull, sizeof(GUID));
}
std::uint64_t FileTimeBits(const FILETIME& ft) {
  return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

template <class Item, class Convert>
void CopyEach(const Item* items, ULONG count, Convert convert) {
  if (items == nullptr) return;
  for (ULONG i = 0; i < count; ++i) convert(items[i]);
}

TMapiPropValue CopyPropValue(const SPropValue& prop) {
  TMapiPropValue value;
  value.FPropTag = prop.ulPropTag;
  const _PV& v = prop.Value;
  auto bits = [&](std::uint64_t b) { value.FScalars.push_back(b); };
  switch (PROP_TYPE(prop.ulPropTag)) {
    case PT_I2: value.FScalar = static_cast<std::uint16_t>(v.i); break;
    case PT_LONG: value.FScalar = static_cast<std::uint32_t>(v.l); break;
    case PT_ERROR: value.FScalar = static_cast<std::uint32_t>(v.err); break;
    case PT_OBJECT: value.FScalar = static_cast<std::uint32_t>(v.x); break;
    case PT_R4: value.FScalar = std::bit_cast<std::uint32_t>(v.flt); break;
    case PT_DOUBLE: value.FScalar = std::bit_cast<std::uint64_t>(v.dbl); break;
    case PT_APPTIME: value.FScalar = std::bit_cast<std::uint64_t>(v.at); break;
    case PT_CURRENCY: value.FScalar = static_cast<std::uint64_t>(v.cur.int64); break;
    case PT_I8: value.FScalar = static_cast<std::uint64_t>(v.li.QuadPart); break;
    case PT_BOOLEAN: value.FScalar = v.b; break;
    case PT_SYSTIME: value.FScalar = FileTimeBits(v.ft); break;
    case PT_STRING8: value.FBytes.push_back(AnsiCopy(v.lpszA)); break;
    case PT_UNICODE: value.FTexts.emplace_back(v.lpszW != nullptr ? v.lpszW : L""); break;
    case PT_CLSID: value.FBytes.push_back(GuidCopy(v.lpguid)); break;
    case PT_BINARY: value.FBytes.push_back(ByteCopy(v.bin.lpb, v.bin.cb)); break;
    case PT_MV_I2: CopyEach(v.MVi.lpi, v.MVi.cValues, [&](short i) { bits(static_cast<std::uint16_t>(i)); }); break;
    case PT_MV_LONG: CopyEach(v.MVl.lpl, v.MVl.cValues, [&](LONG l) { bits(static_cast<std::uint32_t>(l)); }); break;
    case PT_MV_R4:
      CopyEach(v.MVflt.lpflt, v.MVflt.cValues, [&](float f) { bits(std::bit_cast<std::uint32_t>(f)); });
      break;
    case PT_MV_DOUBLE:
      CopyEach(v.MVdbl.lpdbl, v.MVdbl.cValues, [&](double d) { bits(std::bit_cast<std::uint64_t>(d)); });
      break;
    case PT_MV_APPTIME:
      CopyEach(v.MVat.lpat, v.MVat.cValues, [&](double d) { bits(std::bit_cast<std::uint64_t>(d)); });
      break;
    case PT_MV_CURRENCY:
      CopyEach(v.MVcur.lpcur, v.MVcur.cValues, [&](const CURRENCY& c) { bits(static_cast<std::uint64_t>(c.int64)); });
      break;
    case PT_MV_I8:
      CopyEach(v.MVli.lpli, v.MVli.cValues,
               [&](const LARGE_INTEGER& li) { bits(static_cast<std::uint64_t>(li.QuadPart)); });
      break;
    case PT_MV_SYSTIME:
      CopyEach(v.MVft.lpft, v.MVft.cValues, [&](const FILETIME& ft) { bits(FileTimeBits(ft)); });
      break;
    case PT_MV_STRING8:
      CopyEach(v.MVszA.lppszA, v.MVszA.cValues, [&](const char* s) { value.FBytes.push_back(AnsiCopy(s)); });
      break;
    case PT_MV_UNICODE:
      CopyEach(v.MVszW.lppszW, v.MVszW.cValues,
               [&](const wchar_t* s) { value.FTexts.emplace_back(s != nullptr ? s : L""); });
      break;
    case PT_MV_CLSID:
      CopyEach(v.MVguid.lpguid, v.MVguid.cValues, [&](const GUID& g) { value.FBytes.push_back(GuidCopy(&g)); });
      break;
    case PT_MV_BINARY:
      CopyEach(v.MVbin.lpbin, v.MVbin.cValues,
               [&](const SBinary& b) { value.FBytes.push_back(ByteCopy(b.lpb, b.cb)); });
      break;
    default: {
      // Unknown to the system: the tag says so, the value area is kept as it is.
      std::memcpy(&value.FScalar, &v, sizeof value.FScalar);
      break;
    }
  }
  return value;
}

// Frees a row set as MAPI hands it out: each row's property array, then the set.
class RowSetOwner {
 public:
  RowSetOwner(const MapiModule& module, SRowSet* rows) noexcept : FModule(module), FRows(rows) {}
  ~RowSetOwner() {
    if (FRows == nullptr) return;
    for (ULONG i = 0; i < FRows->cRows; ++i) FModule.FreeBuffer(FRows->aRow[i].lpProps);
    FModule.FreeBuffer(FRows);
  }
  RowSetOwner(const RowSetOwner&) = delete;
  RowSetOwner& operator=(const RowSetOwner&) = delete;

 private:
  const MapiModule& FModule;
  SRowSet* FRows;
};

// --- Objects ----------------------------------------------------------------
//
// Each object declares its module share before its interface reference, so
// the reference is released first.

class Win32MapiSession : public MapiSession {
 public:
  Win32MapiSession(SharedModule module, ComPtr<IMAPISession> session)
      : FModule(std::move(module)), FSession(std::move(session)) {}

  std::int32_t Logoff(WindowHandle parent, std::uint32_t flags) override {
    return FSession->Logoff(static_cast<ULONG_PTR>(parent), flags, 0);
  }

 private:
  SharedModule FModule;
  ComPtr<IMAPISession> FSession;
};

class Win32MapiTable : public MapiTable {
 public:
  Win32MapiTable(SharedModule module, ComPtr<IMAPITable> table)
      : FModule(std::move(module)), FTable(std::move(table)) {}

  std::vector<TMapiRow> QueryRows(std::int32_t maxRows, std::uint32_t flags) override {
    SRowSet* rows = nullptr;
    OleCheck(FTable->QueryRows(maxRows, flags, &rows));
    const RowSetOwner owner(*FModule, rows);
    std::vector<TMapiRow> result;
    if (rows == nullptr) return result;
    result.reserve(rows->cRows);
    for (ULONG i = 0; i < rows->cRows; ++i) {
      const SRow& row = rows->aRow[i];
      TMapiRow& copy = result.emplace_back();
      CopyEach(row.lpProps, row.cValues, [&](const SPropValue& prop) { copy.push_back(CopyPropValue(prop)); });
    }
    return result;
  }

 private:
  SharedModule FModule;
  ComPtr<IMAPITable> FTable;
};

class Win32MapiProfileAdmin : public MapiProfileAdmin {
 public:
  Win32MapiProfileAdmin(SharedModule module, ComPtr<IProfAdmin> admin)
      : FModule(std::move(module)), FAdmin(std::move(admin)) {}

  std::unique_ptr<MapiTable> GetProfileTable(std::uint32_t flags) override {
    ComPtr<IMAPITable> table;
    OleCheck(FAdmin->GetProfileTable(flags, table.Put()));
    return std::make_unique<Win32MapiTable>(FModule, std::move(table));
  }

 private:
  SharedModule FModule;
  ComPtr<IProfAdmin> FAdmin;
};

class Win32MapiLibrary : public MapiLibrary {
 public:
  explicit Win32MapiLibrary(UniqueModule module) : FModule(std::make_shared<const MapiModule>(std::move(module))) {}

  void Initialize() override { OleCheck(FModule->Require<MapiInitializeFn>("MAPIInitialize")(nullptr)); }

  void Uninitialize() noexcept override {
    if (auto uninitialize = FModule->Find<MapiUninitializeFn>("MAPIUninitialize")) uninitialize();
  }

  std::shared_ptr<MapiSession> LogonEx(WindowHandle parent, const std::string& profile,
                                       std::uint32_t flags) override {
    const auto logonEx = FModule->Require<MapiLogonExFn>("MAPILogonEx");
    std::string name = profile;  // MAPI takes a writable pointer
    ComPtr<IMAPISession> session;
    OleCheck(logonEx(static_cast<ULONG_PTR>(parent), name.data(), nullptr, flags, session.Put()));
    return std::make_shared<Win32MapiSession>(FModule, std::move(session));
  }

  std::unique_ptr<MapiProfileAdmin> AdminProfiles(std::uint32_t flags) override {
    const auto adminProfiles = FModule->Require<MapiAdminProfilesFn>("MAPIAdminProfiles");
    ComPtr<IProfAdmin> admin;
    OleCheck(adminProfiles(flags, admin.Put()));
    return std::make_unique<Win32MapiProfileAdmin>(FModule, std::move(admin));
  }

 private:
  SharedModule FModule;
};

class Win32ExtendedMapi : public ExtendedMapi {
 public:
  std::unique_ptr<MapiLibrary> LoadMapiLibrary() override {
    UniqueModule module(LoadLibraryW(L"MAPI32.DLL"));
    if (!module) return nullptr;
    return std::make_unique<Win32MapiLibrary>(std::move(module));
  }

  WindowHandle ForegroundWindow() const override {
    return reinterpret_cast<WindowHandle>(GetForegroundWindow());
  }

  std::uint64_t UtcToLocalFileTime(std::uint64_t utcFileTime) const override {
    const FILETIME utc{static_cast<DWORD>(utcFileTime), static_cast<DWORD>(utcFileTime >> 32)};
    SYSTEMTIME utcParts{};
    SYSTEMTIME localParts{};
    FILETIME local{};
    if (!FileTimeToSystemTime(&utc, &utcParts) || !SystemTimeToTzSpecificLocalTime(nullptr, &utcParts, &localParts) ||
        !SystemTimeToFileTime(&localParts, &local))
      return utcFileTime;
    // The parts keep milliseconds only: the rest of the ticks comes back here.
    return FileTimeBits(local) + utcFileTime % 10000;
  }
};

}  // namespace

std::unique_ptr<ExtendedMapi> MakeWin32ExtendedMapi() { return std::make_unique<Win32ExtendedMapi>(); }

}  // namespace ostrevin
