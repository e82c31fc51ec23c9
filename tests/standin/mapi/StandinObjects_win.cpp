// StandinObjects_win.cpp - the stand-in provider's IMAPISession, IProfAdmin and IMAPITable.
#include "standin/mapi/StandinObjects_win.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "standin/mapi/StandinState_win.h"

namespace ostrevin::standin {

namespace {

// IID_IMAPISession, IID_IMAPITable and IID_IProfAdmin.
constexpr GUID kIidSession = {0x00020300, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kIidTable = {0x00020301, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kIidProfAdmin = {0x0002031C, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

constexpr ULONG kPrDisplayNameA = 0x3001001E;
constexpr ULONG kPrDisplayNameW = 0x3001001F;
constexpr ULONG kPrDefaultProfile = 0x3D04000B;

// IUnknown for one interface; the last Release writes `ReleasedRecord`.
template <class Interface>
class TUnknown : public Interface {
 public:
  TUnknown(const GUID& iid, std::wstring releasedRecord) : FIid(iid), FReleasedRecord(std::move(releasedRecord)) {
    AddLiveObject();
  }
  virtual ~TUnknown() { RemoveLiveObject(); }

  STDMETHODIMP QueryInterface(REFIID iid, LPVOID* object) override {
    if (object == nullptr) return E_INVALIDARG;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, FIid)) return E_NOINTERFACE;
    *object = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&FRefCount)); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG count = InterlockedDecrement(&FRefCount);
    if (count == 0) {
      TRecord record(FReleasedRecord);
      AddReleasedFields(record);
      record.Write(ReadConfig());
      delete this;
    }
    return static_cast<ULONG>(count);
  }

 protected:
  // Fields of the record written when the object goes.
  virtual void AddReleasedFields(TRecord& /*record*/) {}

 private:
  GUID FIid;
  std::wstring FReleasedRecord;
  LONG FRefCount = 1;
};

// --- IMAPITable ---------------------------------------------------------------

class TProfileTable : public TUnknown<IMAPITable> {
 public:
  TProfileTable(std::vector<TProfile> profiles, bool unicode)
      : TUnknown(kIidTable, L"TableReleased"), FProfiles(std::move(profiles)), FUnicode(unicode) {}

  STDMETHODIMP GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP Advise(ULONG, LPMAPIADVISESINK, ULONG*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP Unadvise(ULONG) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP GetStatus(ULONG*, ULONG*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP SetColumns(LPSPropTagArray, ULONG) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP QueryColumns(ULONG, LPSPropTagArray*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP GetRowCount(ULONG, ULONG* count) override {
    if (count == nullptr) return E_INVALIDARG;
    *count = static_cast<ULONG>(FProfiles.size());
    return S_OK;
  }
  STDMETHODIMP SeekRow(BOOKMARK, LONG, LONG*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP SeekRowApprox(ULONG, ULONG) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP QueryPosition(ULONG*, ULONG*, ULONG*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP FindRow(LPSRestriction, BOOKMARK, ULONG) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP Restrict(LPSRestriction, ULONG) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP CreateBookmark(BOOKMARK*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP FreeBookmark(BOOKMARK) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP SortTable(LPSSortOrderSet, ULONG) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP QuerySortOrder(LPSSortOrderSet*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP QueryRows(LONG rowCount, ULONG flags, LPSRowSet* rows) override;
  STDMETHODIMP Abort() override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP ExpandRow(ULONG, LPBYTE, ULONG, ULONG, LPSRowSet*, ULONG*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP CollapseRow(ULONG, LPBYTE, ULONG, ULONG*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP WaitForCompletion(ULONG, ULONG, ULONG*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP GetCollapseState(ULONG, ULONG, LPBYTE, ULONG*, LPBYTE*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP SetCollapseState(ULONG, ULONG, LPBYTE, BOOKMARK*) override { return MAPI_E_NO_SUPPORT; }

 private:
  // One row: PR_DISPLAY_NAME (8-bit, or wide with MAPI_UNICODE) and
  // PR_DEFAULT_PROFILE, in one buffer of its own as MAPI's rows are.
  HRESULT MakeRow(const TProfile& profile, SRow& row) const;

  std::vector<TProfile> FProfiles;
  bool FUnicode;
  std::size_t FCursor = 0;
};

HRESULT TProfileTable::MakeRow(const TProfile& profile, SRow& row) const {
  void* buffer = nullptr;
  if (FAILED(AllocateBuffer(2 * sizeof(SPropValue), &buffer))) return E_OUTOFMEMORY;
  auto* props = static_cast<SPropValue*>(buffer);
  row.cValues = 2;
  row.lpProps = props;
  props[1].ulPropTag = kPrDefaultProfile;
  props[1].Value.b = profile.IsDefault ? 1 : 0;
  void* text = nullptr;
  if (FUnicode) {
    props[0].ulPropTag = kPrDisplayNameW;
    const std::size_t size = (profile.Name.size() + 1) * sizeof(wchar_t);
    if (FAILED(AllocateMore(static_cast<ULONG>(size), buffer, &text))) return E_OUTOFMEMORY;
    std::memcpy(text, profile.Name.c_str(), size);
    props[0].Value.lpszW = static_cast<LPWSTR>(text);
  } else {
    props[0].ulPropTag = kPrDisplayNameA;
    const int size = WideCharToMultiByte(CP_ACP, 0, profile.Name.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (FAILED(AllocateMore(static_cast<ULONG>(size), buffer, &text))) return E_OUTOFMEMORY;
    WideCharToMultiByte(CP_ACP, 0, profile.Name.c_str(), -1, static_cast<char*>(text), size, nullptr, nullptr);
    props[0].Value.lpszA = static_cast<LPSTR>(text);
  }
  return S_OK;
}

STDMETHODIMP TProfileTable::QueryRows(LONG rowCount, ULONG flags, LPSRowSet* rows) {
  if (rows == nullptr) return E_INVALIDARG;
  *rows = nullptr;
  // Only forwards: a negative count would read backwards from the cursor.
  if (rowCount < 0) return MAPI_E_NO_SUPPORT;
  const std::size_t count = std::min(static_cast<std::size_t>(rowCount), FProfiles.size() - FCursor);
  void* buffer = nullptr;
  if (FAILED(AllocateBuffer(static_cast<ULONG>(CbNewSRowSet(count)), &buffer))) return E_OUTOFMEMORY;
  auto* set = static_cast<SRowSet*>(buffer);
  set->cRows = 0;
  for (std::size_t i = 0; i < count; ++i) {
    SRow& row = set->aRow[set->cRows++];
    if (FAILED(MakeRow(FProfiles[FCursor + i], row))) {
      for (ULONG r = 0; r < set->cRows; ++r) FreeBuffer(set->aRow[r].lpProps);
      FreeBuffer(set);
      return E_OUTOFMEMORY;
    }
  }
  FCursor += count;
  *rows = set;
  TRecord(L"QueryRows")
      .AddInt(L"RowCount", rowCount)
      .AddHex(L"Flags", flags)
      .AddInt(L"Rows", set->cRows)
      .Write(ReadConfig());
  return S_OK;
}

// --- IProfAdmin ---------------------------------------------------------------

class TProfileAdmin : public TUnknown<IProfAdmin> {
 public:
  TProfileAdmin() : TUnknown(kIidProfAdmin, L"ProfAdminReleased") {}

  STDMETHODIMP GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP GetProfileTable(ULONG flags, LPMAPITABLE* table) override {
    if (table == nullptr) return E_INVALIDARG;
    const TConfig config = ReadConfig();
    TRecord(L"GetProfileTable").AddHex(L"Flags", flags).Write(config);
    *table = new TProfileTable(config.Profiles, (flags & MAPI_UNICODE) != 0);
    return S_OK;
  }
  STDMETHODIMP CreateProfile(LPTSTR, LPTSTR, ULONG_PTR, ULONG) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP DeleteProfile(LPTSTR, ULONG) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP ChangeProfilePassword(LPTSTR, LPTSTR, LPTSTR, ULONG) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP CopyProfile(LPTSTR, LPTSTR, LPTSTR, ULONG_PTR, ULONG) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP RenameProfile(LPTSTR, LPTSTR, LPTSTR, ULONG_PTR, ULONG) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP SetDefaultProfile(LPTSTR, ULONG) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP AdminServices(LPTSTR, LPTSTR, ULONG_PTR, ULONG, LPSERVICEADMIN*) override {
    return MAPI_E_NO_SUPPORT;
  }
};

// --- IMAPISession ---------------------------------------------------------------

class TSession : public TUnknown<IMAPISession> {
 public:
  explicit TSession(std::wstring profile) : TUnknown(kIidSession, L"SessionReleased"), FProfile(std::move(profile)) {}

  STDMETHODIMP GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP GetMsgStoresTable(ULONG, LPMAPITABLE*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP OpenMsgStore(ULONG_PTR, ULONG, LPENTRYID, LPCIID, ULONG, LPMDB*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP OpenAddressBook(ULONG_PTR, LPCIID, ULONG, LPADRBOOK*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP OpenProfileSection(LPMAPIUID, LPCIID, ULONG, LPPROFSECT*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP GetStatusTable(ULONG, LPMAPITABLE*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP OpenEntry(ULONG, LPENTRYID, LPCIID, ULONG, ULONG*, LPUNKNOWN*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP CompareEntryIDs(ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG, ULONG*) override {
    return MAPI_E_NO_SUPPORT;
  }
  STDMETHODIMP Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP Unadvise(ULONG) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP MessageOptions(ULONG_PTR, ULONG, LPTSTR, LPMESSAGE) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP QueryDefaultMessageOpt(LPTSTR, ULONG, ULONG*, LPSPropValue*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP EnumAdrTypes(ULONG, ULONG*, LPTSTR**) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP QueryIdentity(ULONG*, LPENTRYID*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP Logoff(ULONG_PTR parent, ULONG flags, ULONG) override {
    TRecord(L"Logoff")
        .Add(L"Profile", FProfile)
        .AddHex(L"Flags", flags)
        .Add(L"Parent", parent != 0 ? L"window" : L"none")
        .Write(ReadConfig());
    FLoggedOff = true;
    return S_OK;
  }
  STDMETHODIMP SetDefaultStore(ULONG, ULONG, LPENTRYID) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP AdminServices(ULONG, LPSERVICEADMIN*) override { return MAPI_E_NO_SUPPORT; }
  STDMETHODIMP ShowForm(ULONG_PTR, LPMDB, LPMAPIFOLDER, LPCIID, ULONG, LPMESSAGE, ULONG, ULONG, ULONG, ULONG,
                        LPSTR) override {
    return MAPI_E_NO_SUPPORT;
  }
  STDMETHODIMP PrepareForm(LPCIID, LPMESSAGE, ULONG*) override { return MAPI_E_NO_SUPPORT; }

 protected:
  void AddReleasedFields(TRecord& record) override {
    record.Add(L"Profile", FProfile).Add(L"LoggedOff", FLoggedOff ? L"1" : L"0");
  }

 private:
  std::wstring FProfile;
  bool FLoggedOff = false;
};

}  // namespace

IMAPISession* NewSession(const std::wstring& profile) { return new TSession(profile); }

IProfAdmin* NewProfileAdmin() { return new TProfileAdmin(); }

}  // namespace ostrevin::standin
