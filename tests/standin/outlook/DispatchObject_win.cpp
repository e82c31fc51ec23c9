// DispatchObject_win.cpp - the member table, Invoke and the external-connection count.
//
// Invoke never lets a C++ exception out: the two error types of the header
// become their results, anything else E_UNEXPECTED.
#include "standin/outlook/DispatchObject_win.h"

#include <utility>

namespace ostrevin::standin {

namespace {

LONG GExternalConnections = 0;
std::function<void(LONG)> GConnectionReleased;

constexpr const wchar_t* kErrorSource = L"Stand-in Outlook";

}  // namespace

LONG ExternalConnectionCount() noexcept { return GExternalConnections; }

void SetExternalConnectionReleasedHandler(std::function<void(LONG count)> handler) {
  GConnectionReleased = std::move(handler);
}

// ---- Arguments ---------------------------------------------------------------

bool TArguments::Omitted(unsigned index) const noexcept {
  if (index >= Count()) return true;
  const VARIANT& value = Raw(index);
  const VARIANT& direct = value.vt == (VT_BYREF | VT_VARIANT) && value.pvarVal != nullptr ? *value.pvarVal : value;
  return direct.vt == VT_ERROR && direct.scode == DISP_E_PARAMNOTFOUND;
}

TVariant TArguments::Converted(unsigned index, VARTYPE type) const {
  if (Omitted(index)) throw TArgumentError{DISP_E_PARAMNOTFOUND, index};
  TVariant direct;
  if (FAILED(VariantCopyInd(direct.Receive(), const_cast<VARIANT*>(&Raw(index))))) throw TArgumentError{DISP_E_TYPEMISMATCH, index};
  TVariant result;
  if (FAILED(VariantChangeType(result.Receive(), &direct.Get(), 0, type)))
    throw TArgumentError{DISP_E_TYPEMISMATCH, index};
  return result;
}

LONG TArguments::Int(unsigned index) const { return Converted(index, VT_I4).Get().lVal; }

std::wstring TArguments::Text(unsigned index) const {
  const TVariant value = Converted(index, VT_BSTR);
  const BSTR text = value.Get().bstrVal;
  return text == nullptr ? std::wstring() : std::wstring(text, SysStringLen(text));
}

// ---- IUnknown -------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE TDispatchObject::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
    *object = static_cast<IDispatch*>(this);
  } else if (IsEqualIID(iid, IID_IExternalConnection)) {
    *object = static_cast<IExternalConnection*>(this);
  } else {
    *object = OtherInterface(iid);
  }
  if (*object == nullptr) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE TDispatchObject::AddRef() { return static_cast<ULONG>(++FRefCount); }

ULONG STDMETHODCALLTYPE TDispatchObject::Release() {
  const LONG count = --FRefCount;
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

void* TDispatchObject::OtherInterface(REFIID) { return nullptr; }

// ---- IExternalConnection ----------------------------------------------------

DWORD STDMETHODCALLTYPE TDispatchObject::AddConnection(DWORD kind, DWORD) {
  if ((kind & EXTCONN_STRONG) != 0) ++GExternalConnections;
  return static_cast<DWORD>(GExternalConnections);
}

DWORD STDMETHODCALLTYPE TDispatchObject::ReleaseConnection(DWORD kind, DWORD, BOOL) {
  if ((kind & EXTCONN_STRONG) != 0 && GExternalConnections > 0) {
    --GExternalConnections;
    if (GConnectionReleased) GConnectionReleased(GExternalConnections);
  }
  return static_cast<DWORD>(GExternalConnections);
}

// ---- IDispatch --------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE TDispatchObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TDispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE TDispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (names == nullptr || ids == nullptr) return E_POINTER;
  if (count == 0) return S_OK;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  for (std::size_t m = 0; m < FMembers.size(); ++m) {
    if (names[0] != nullptr && CompareStringOrdinal(names[0], -1, FMembers[m].Name.c_str(), -1, TRUE) == CSTR_EQUAL) {
      ids[0] = static_cast<DISPID>(m + 1);
      // Named arguments are not supported: their names are unknown.
      return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
  }
  return DISP_E_UNKNOWNNAME;
}

HRESULT STDMETHODCALLTYPE TDispatchObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                                  VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  if (id < 1 || static_cast<std::size_t>(id) > FMembers.size()) return DISP_E_MEMBERNOTFOUND;
  if ((flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) == 0) return DISP_E_MEMBERNOTFOUND;
  static DISPPARAMS noArguments{nullptr, nullptr, 0, 0};
  const DISPPARAMS& arguments = params != nullptr ? *params : noArguments;
  if (arguments.cNamedArgs != 0) return DISP_E_NONAMEDARGS;
  const TMember& member = FMembers[static_cast<std::size_t>(id - 1)];
  if (arguments.cArgs < member.Minimum || arguments.cArgs > member.Maximum) return DISP_E_BADPARAMCOUNT;

  // The object may be released by what the handler does (a quit, say).
  const TComPtr<IDispatch> keepAlive = TComPtr<IDispatch>::Share(this);
  try {
    TVariant value;
    member.Handler(TArguments(arguments), value);
    if (result != nullptr) value.MoveTo(*result);
    return S_OK;
  } catch (const TArgumentError& error) {
    // puArgErr counts within rgvarg, which holds the arguments last first.
    if (argumentError != nullptr) *argumentError = error.Index < arguments.cArgs ? arguments.cArgs - 1 - error.Index : 0;
    return error.Code;
  } catch (const TAutomationError& error) {
    if (exception == nullptr) return error.Code;
    *exception = EXCEPINFO{};
    exception->bstrSource = TBstr(kErrorSource).Detach();
    exception->bstrDescription = TBstr(error.Description).Detach();
    exception->scode = error.Code;
    return DISP_E_EXCEPTION;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

void TDispatchObject::AddProperty(const wchar_t* name, TMemberHandler handler) {
  FMembers.push_back({name, 0, 0, std::move(handler)});
}

void TDispatchObject::AddMethod(const wchar_t* name, unsigned minimum, unsigned maximum, TMemberHandler handler) {
  FMembers.push_back({name, minimum, maximum, std::move(handler)});
}

}  // namespace ostrevin::standin
