// VemMapiUtils.cpp - the Extended MAPI helpers: initialisation, logon, profiles, property values.
#include "outlook/VemMapiUtils.h"

#include <bit>
#include <optional>
#include <thread>
#include <utility>

#include "foundation/BusyState.h"
#include "foundation/Checks.h"
#include "foundation/Format.h"
#include "foundation/OfficeInstall.h"
#include "foundation/TextUtils.h"
#include "foundation/VemSysUtils.h"
#include "platform/AnsiCodePage.h"
#include "platform/Ports.h"

namespace ostrevin {

namespace {

constexpr const wchar_t* kOutlookHint =
    L"Could not initialize MAPI.  Perhaps you need to set\r\n"
    L"Microsoft Outlook 2000 as the default email program.\r\n"
    L"You can set this on the \"Programs\" tab of the Internet\r\n"
    L"Explorer options window.\r\n\r\n";

// The rows asked for by each query of the profile table.
constexpr std::int32_t kProfileRowsPerQuery = 4096;

struct TMapiHelperState {
  bool LibraryLoadTried = false;
  std::unique_ptr<MapiLibrary> Library;  // null: MAPI32.DLL missing
  std::thread::id Thread;                // no thread until the first initialisation
  bool Initialized = false;
};

TMapiHelperState& State() {
  static TMapiHelperState state;
  return state;
}

MapiLibrary& Library() {
  TMapiHelperState& state = State();
  if (!state.LibraryLoadTried)
    throw EVemInternalError(L"Internal Error: The MAPI helper library is not initialized.");
  if (!state.Library) throw EVemGeneralError(L"Mapi32.dll is not available at this time.");
  return *state.Library;
}

bool IsOutlookInstalled() { return GetOfficeAppInfo(TOfficeApp::Outlook).FMajorVersion != 0; }

// --- Property values --------------------------------------------------------

const std::vector<std::uint8_t>& SingleBytes(const TMapiPropValue& value) {
  static const std::vector<std::uint8_t> kNone;
  return value.FBytes.empty() ? kNone : value.FBytes.front();
}

std::wstring AnsiText(const std::vector<std::uint8_t>& bytes) {
  return Current<AnsiCodePage>().ToWide(std::string(bytes.begin(), bytes.end()));
}

// The platform's GUID layout: Data1 (32 bits), Data2, Data3 (16 bits each),
// all little-endian, then the 8 bytes of Data4.
std::wstring GuidText(const std::vector<std::uint8_t>& bytes) {
  Assert(bytes.size() == 16);
  auto le = [&](int at, int count) {
    std::uint64_t v = 0;
    for (int i = count - 1; i >= 0; --i) v = (v << 8) | bytes[at + i];
    return v;
  };
  std::wstring text = L"{" + IntToHexBits(le(0, 4), 8) + L"-" + IntToHexBits(le(4, 2), 4) + L"-" +
                      IntToHexBits(le(6, 2), 4) + L"-";
  for (int i = 8; i < 16; ++i) {
    if (i == 10) text += L'-';
    text += ByteToHex(bytes[i]);
  }
  return text + L"}";
}

double LocalDate(std::uint64_t utcFileTime) {
  return FileTimeToOleDate(Current<ExtendedMapi>().UtcToLocalFileTime(utcFileTime));
}

// One value of a scalar type, or one element of a multi-valued one, from its
// bits (see TMapiPropValue).
TVariant ScalarToVariant(std::uint16_t baseType, std::uint64_t bits, bool isUnsigned) {
  const auto low32 = static_cast<std::uint32_t>(bits);
  switch (baseType) {
    case PropType::I2: return TVariant::SmallInt(static_cast<std::int16_t>(bits & 0xFFFF));
    case PropType::Long:
      return isUnsigned ? TVariant::LongWord(low32) : TVariant::Integer(static_cast<std::int32_t>(low32));
    case PropType::R4: return TVariant::Single(std::bit_cast<float>(low32));
    case PropType::Double:
    case PropType::AppTime: return TVariant::Double(std::bit_cast<double>(bits));
    case PropType::Currency:
    case PropType::I8: return TVariant::Int64(static_cast<std::int64_t>(bits));
    default: break;
  }
  return TVariant::Date(LocalDate(bits));  // PropType::SysTime
}

template <class Item, class Convert>
TVariant ArrayOf(TVarType elementType, const std::vector<Item>& items, Convert convert) {
  std::vector<TVariant> elements;
  elements.reserve(items.size());
  for (const Item& item : items) elements.push_back(convert(item));
  return TVariant::Array(elementType, std::move(elements));
}

[[noreturn]] void RaiseUnexpectedType(std::uint32_t tag) {
  throw EVemInternalError(Format(L"Internal Error: Unexpected type in PROP TAG: 0x%s", {IntToHex(tag, 8)}));
}

TVariant MultiValueToVariant(const TMapiPropValue& value, bool isUnsigned) {
  const std::uint16_t baseType = PropTypeOf(value.FPropTag) & ~PropType::MvFlag;
  auto scalars = [&](TVarType elementType) {
    return ArrayOf(elementType, value.FScalars,
                   [&](std::uint64_t bits) { return ScalarToVariant(baseType, bits, isUnsigned); });
  };
  auto bytes = [&](auto toText) {
    return ArrayOf(TVarType::String, value.FBytes,
                   [&](const std::vector<std::uint8_t>& b) { return TVariant::String(toText(b)); });
  };
  switch (baseType) {
    case PropType::I2: return scalars(TVarType::SmallInt);
    case PropType::Long: return scalars(isUnsigned ? TVarType::LongWord : TVarType::Integer);
    case PropType::R4: return scalars(TVarType::Single);
    case PropType::Double:
    case PropType::AppTime: return scalars(TVarType::Double);
    case PropType::Currency:
    case PropType::I8: return scalars(TVarType::Int64);
    case PropType::SysTime: return scalars(TVarType::Date);
    case PropType::String8: return bytes(AnsiText);
    case PropType::Clsid: return bytes(GuidText);
    case PropType::Binary: return bytes([](const std::vector<std::uint8_t>& b) { return BinaryToHexText(b); });
    case PropType::Unicode:
      return ArrayOf(TVarType::String, value.FTexts, [](const std::wstring& text) { return TVariant::String(text); });
    default: break;
  }
  RaiseUnexpectedType(value.FPropTag);
}

// --- Profiles ---------------------------------------------------------------

// Adds the display names to Profiles; the name of the row marked as the
// default, if one is.
std::optional<std::wstring> ReadProfileTable(MapiTable& table, TVemStringList& profiles) {
  std::optional<std::wstring> defaultProfile;
  for (;;) {
    const std::vector<TMapiRow> rows = table.QueryRows(kProfileRowsPerQuery, 0);
    if (rows.empty()) return defaultProfile;
    for (const TMapiRow& row : rows) {
      std::wstring name;
      bool isDefault = false;
      for (const TMapiPropValue& value : row) {
        if (PropIdOf(value.FPropTag) == kPrDisplayNameId) {
          name = PropValueToVariant(value, false).AsString();
          profiles.Add(name);
        }
        if (value.FPropTag == kPrDefaultProfile && PropValueToVariant(value, false).AsBoolean()) isDefault = true;
      }
      if (isDefault) defaultProfile = name;
    }
  }
}

}  // namespace

void MapiInitializeOnce() {
  TMapiHelperState& state = State();
  const std::thread::id caller = std::this_thread::get_id();
  if (state.Thread == std::thread::id()) state.Thread = caller;
  if (state.Thread != caller)
    throw EVemInternalError(L"Internal Error: MAPIInitialize(nil) is not configured for multithreaded access.");
  if (state.Initialized) return;
  try {
    Library().Initialize();
    state.Initialized = true;
  } catch (Exception& e) {
    if (IsOutlookInstalled()) e.SetMessage(kOutlookHint + e.Message());
    throw;
  }
}

bool CheckMapiAvailable(std::wstring& errorText) {
  errorText.clear();
  try {
    MapiInitializeOnce();
    return true;
  } catch (const Exception& e) {
    errorText = e.Message();
    return false;
  }
}

void MapiLogon(std::shared_ptr<MapiSession>& session, std::wstring_view profile, bool showFlash) {
  MapiLogoff(session, showFlash);
  std::unique_ptr<TFlashObject> flash;
  if (showFlash) flash = FlashMessage(L"Connecting to MAPI...");
  MapiInitializeOnce();
  // Session is empty here, and LogonEx hands a session out only on success.
  session = Library().LogonEx(Current<ExtendedMapi>().ForegroundWindow(), Current<AnsiCodePage>().FromWide(profile),
                              MapiFlag::Extended | MapiFlag::LogonUI);
}

void MapiLogoff(std::shared_ptr<MapiSession>& session, bool showFlash) {
  if (!session) return;
  // Emptied first, so that it is empty however the rest ends.
  const std::shared_ptr<MapiSession> ending = std::exchange(session, nullptr);
  std::unique_ptr<TFlashObject> flash;
  if (showFlash) flash = FlashMessage(L"Logging off MAPI...");
  static_cast<void>(ending->Logoff(Current<ExtendedMapi>().ForegroundWindow(), MapiFlag::LogoffUI));
}

void GetMapiProfiles(TVemStringList* profiles, std::wstring& defaultProfile) {
  CheckAssigned(profiles, L"GetMapiProfiles.Profiles");
  profiles->Clear();
  defaultProfile.clear();
  try {
    MapiInitializeOnce();
    const std::unique_ptr<MapiProfileAdmin> admin = Library().AdminProfiles(0);
    const std::unique_ptr<MapiTable> table = admin->GetProfileTable(0);
    const std::optional<std::wstring> marked = ReadProfileTable(*table, *profiles);
    if (marked) defaultProfile = *marked;
    else if (profiles->Count() > 0) defaultProfile = (*profiles)[0];
  } catch (...) {
    // Listing the profiles is a convenience: a failure leaves what was read.
  }
}

TVariant PropValueToVariant(const TMapiPropValue& value, bool isUnsigned) {
  const std::uint16_t type = PropTypeOf(value.FPropTag);
  if ((type & PropType::MvFlag) != 0) return MultiValueToVariant(value, isUnsigned);
  switch (type) {
    case PropType::Null: return TVariant::Null();
    case PropType::R4:  // a double here, a single as an array element
      return TVariant::Double(std::bit_cast<float>(static_cast<std::uint32_t>(value.FScalar)));
    case PropType::I2:
    case PropType::Long:
    case PropType::Double:
    case PropType::Currency:
    case PropType::AppTime:
    case PropType::I8:
    case PropType::SysTime: return ScalarToVariant(type, value.FScalar, isUnsigned);
    case PropType::Error:
      throw EVemInternalError(Format(L"Internal Error: Error reading property PT_ERROR (%s).",
                                     {IntToHex(static_cast<std::uint32_t>(value.FScalar), 8)}));
    case PropType::Boolean: return TVariant::Boolean((value.FScalar & 0xFFFF) != 0);
    case PropType::Object:
      return TVariant::Integer(static_cast<std::int32_t>(static_cast<std::uint32_t>(value.FScalar)));
    case PropType::String8: return TVariant::String(AnsiText(SingleBytes(value)));
    case PropType::Unicode: return TVariant::String(value.FTexts.empty() ? std::wstring() : value.FTexts.front());
    case PropType::Clsid: return TVariant::String(GuidText(SingleBytes(value)));
    case PropType::Binary: return TVariant::String(BinaryToHexText(SingleBytes(value)));
    default: break;
  }
  RaiseUnexpectedType(value.FPropTag);
}

std::wstring BinaryToHexText(std::span<const std::uint8_t> bytes) {
  std::wstring text;
  text.reserve(bytes.size() * 2);
  for (const std::uint8_t b : bytes) text += ByteToHex(b);
  return text;
}

void InitializeMapiHelperLibrary() {
  TMapiHelperState& state = State();
  state.Library = Current<ExtendedMapi>().LoadMapiLibrary();
  state.LibraryLoadTried = true;
}

void FinalizeMapiHelperLibrary() {
  TMapiHelperState& state = State();
  if (state.Initialized && state.Library) state.Library->Uninitialize();
  state = TMapiHelperState();
}

}  // namespace ostrevin
