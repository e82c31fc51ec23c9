// OutlookObjectModel_win.cpp - the late-bound COM adapter of the Outlook object model.
//
// Every object is an automation object (IDispatch) called by member name:
// GetIDsOfNames, then Invoke. No Outlook header or type library is needed,
// so any Outlook version and bitness will do. Only two interface
// identifiers are asked for with QueryInterface: the mail item's (to tell
// mail from other items) and the folder's (to tell a folder's parent folder
// from the namespace above a store's top folder).
//
// The quit event comes through a small IDispatch sink advised on the
// application's ApplicationEvents connection point. The sink forwards DISPID
// 0xF007 ("Quit") and ignores every other event; it never lets an exception
// out to Outlook.
//
// Each object keeps the thread's COM initialisation alive with a shared
// reference, so COM is not uninitialised under an object that is still held.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "foundation/EmptyParam.h"
#include "foundation/ExceptionDisplay.h"
#include "platform/ComObject_win.h"
#include "platform/ComPtr_win.h"
#include "platform/OleError.h"
#include "platform/OutlookObjectModel.h"
#include "platform/Win32Adapters.h"
#include "platform/Win32Error.h"
#include "platform/WinApi_win.h"

#include <oaidl.h>
#include <ocidl.h>
#include <oleauto.h>

namespace ostrevin {

namespace {

// {0006F03A-0000-0000-C000-000000000046}: the Outlook application class,
// used when the ProgID is not registered.
constexpr CLSID kOutlookApplicationClsid = {0x0006F03A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00063034-0000-0000-C000-000000000046}: the MailItem dispinterface.
constexpr IID kMailItemIid = {0x00063034, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00063006-0000-0000-C000-000000000046}: the MAPIFolder dispinterface.
constexpr IID kMapiFolderIid = {0x00063006, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {0006304E-0000-0000-C000-000000000046}: the ApplicationEvents dispinterface.
constexpr IID kApplicationEventsIid = {0x0006304E, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr DISPID kQuitDispId = 0xF007;

constexpr const wchar_t* kOutlookProgId = L"Outlook.Application";

// The thread's COM initialisation, shared by every object made from one
// connection.
using Apartment = std::shared_ptr<const ComInitialization>;

// Owns a BSTR.
class Bstr {
 public:
  Bstr() noexcept = default;
  explicit Bstr(std::wstring_view text) {
    FText = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (FText == nullptr) RaiseOleError(E_OUTOFMEMORY);
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(FText); }

  BSTR* Put() noexcept {
    SysFreeString(FText);
    FText = nullptr;
    return &FText;
  }
  [[nodiscard]] BSTR Detach() noexcept { return std::exchange(FText, nullptr); }
  std::wstring Text() const { return FText != nullptr ? std::wstring(FText, SysStringLen(FText)) : std::wstring(); }

 private:
  BSTR FText = nullptr;
};

// Owns a VARIANT: cleared when it goes.
class Variant {
 public:
  Variant() noexcept { VariantInit(&FValue); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  Variant(Variant&& other) noexcept : FValue(other.FValue) { VariantInit(&other.FValue); }
  ~Variant() { VariantClear(&FValue); }

  static Variant Text(std::wstring_view text) {
    Variant v;
    v.FValue.bstrVal = Bstr(text).Detach();
    v.FValue.vt = VT_BSTR;
    return v;
  }
  static Variant Int32(std::int32_t number) {
    Variant v;
    v.FValue.vt = VT_I4;
    v.FValue.lVal = number;
    return v;
  }
  static Variant Boolean(bool flag) {
    Variant v;
    v.FValue.vt = VT_BOOL;
    v.FValue.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
  }
  // The omitted parameter: the process's shared EmptyParam, an error value.
  static Variant Omitted() {
    Variant v;
    v.FValue.vt = VT_ERROR;
    v.FValue.scode = EmptyParam().Code;
    return v;
  }

  VARIANT* Get() noexcept { return &FValue; }
  const VARIANT& Value() const noexcept { return FValue; }

 private:
  VARIANT FValue;
};

// Owns the strings an EXCEPINFO receives.
struct ExceptionInfo {
  ExceptionInfo() noexcept { ZeroMemory(&Info, sizeof(Info)); }
  ExceptionInfo(const ExceptionInfo&) = delete;
  ExceptionInfo& operator=(const ExceptionInfo&) = delete;
  ~ExceptionInfo() {
    SysFreeString(Info.bstrSource);
    SysFreeString(Info.bstrDescription);
    SysFreeString(Info.bstrHelpFile);
  }
  EXCEPINFO Info;
};

// Raises for a failed Invoke. For DISP_E_EXCEPTION the code and text are
// the server's own, from the exception information; a server that gives no
// failing code there leaves DISP_E_EXCEPTION itself.
[[noreturn]] void RaiseInvokeError(HRESULT result, ExceptionInfo& exception) {
  if (result != DISP_E_EXCEPTION) RaiseOleError(result);
  if (exception.Info.pfnDeferredFillIn != nullptr) exception.Info.pfnDeferredFillIn(&exception.Info);
  const HRESULT code = FAILED(exception.Info.scode) ? exception.Info.scode : result;
  std::wstring text;
  if (exception.Info.bstrDescription != nullptr)
    text.assign(exception.Info.bstrDescription, SysStringLen(exception.Info.bstrDescription));
  if (text.empty()) text = SysErrorMessage(static_cast<std::uint32_t>(code));
  throw EOleSysError(code, text);
}

// The text of a result: empty and null give "", other types are converted.
std::wstring ToText(Variant& value) {
  VARIANT& v = *value.Get();
  if (v.vt == VT_EMPTY || v.vt == VT_NULL) return {};
  if (v.vt != VT_BSTR) OleCheck(VariantChangeType(&v, &v, 0, VT_BSTR));
  return v.bstrVal != nullptr ? std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) : std::wstring();
}

std::int32_t ToInt32(Variant& value) {
  VARIANT& v = *value.Get();
  if (v.vt != VT_I4) OleCheck(VariantChangeType(&v, &v, 0, VT_I4));
  return v.lVal;
}

// The object of a result; empty when the result holds none (empty, null or
// a null object reference).
ComPtr<IDispatch> ToObject(Variant& value) {
  const VARIANT& v = value.Value();
  switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return {};
    case VT_DISPATCH:
      return ComPtr<IDispatch>(v.pdispVal);
    case VT_DISPATCH | VT_BYREF:
      return ComPtr<IDispatch>(v.ppdispVal != nullptr ? *v.ppdispVal : nullptr);
    case VT_UNKNOWN: {
      if (v.punkVal == nullptr) return {};
      ComPtr<IDispatch> object;
      OleCheck(v.punkVal->QueryInterface(IID_IDispatch, object.PutVoid()));
      return object;
    }
    default:
      RaiseOleError(DISP_E_TYPEMISMATCH);
  }
}

// A result that must be an object.
ComPtr<IDispatch> ToRequiredObject(Variant& value) {
  ComPtr<IDispatch> object = ToObject(value);
  if (!object) RaiseOleError(E_POINTER);
  return object;
}

// The object asked for the dispinterface `iid`, or empty when it does not
// answer it (E_NOINTERFACE). Other failures raise.
ComPtr<IDispatch> QueryDispinterface(const ComPtr<IDispatch>& object, REFIID iid) {
  ComPtr<IDispatch> result;
  const HRESULT hr = object.QueryInterface(iid, result);
  if (hr == E_NOINTERFACE) return {};
  OleCheck(hr);
  if (!result) RaiseOleError(E_POINTER);
  return result;
}

// An automation object called by member name. Outlook's objects of one kind
// answer a member's name with the same identifier every time, so each kind
// of object (Kind: the class that wraps it) asks for a name once and keeps
// the identifier; that halves the round trips into Outlook's process. An
// Outlook that no longer knows a kept identifier is asked for it again.
template <class Kind>
class AutomationObject {
 public:
  AutomationObject(Apartment apartment, ComPtr<IDispatch> object) noexcept
      : FApartment(std::move(apartment)), FObject(std::move(object)) {}

 protected:
  const Apartment& SharedApartment() const noexcept { return FApartment; }
  IDispatch* Object() const noexcept { return FObject.Get(); }

  Variant GetProperty(const wchar_t* name) { return Invoke(name, DISPATCH_PROPERTYGET, {}); }
  // A method whose result the caller uses.
  Variant CallFunction(const wchar_t* name, std::initializer_list<Variant*> arguments = {}) {
    return Invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments);
  }
  void CallProcedure(const wchar_t* name, std::initializer_list<Variant*> arguments = {}) {
    Invoke(name, DISPATCH_METHOD, arguments);
  }

  ComPtr<IDispatch> QueryDispinterface(REFIID iid) const { return ostrevin::QueryDispinterface(FObject, iid); }

 private:
  // Member names (literals of this file) to identifiers, for Kind.
  static std::unordered_map<std::wstring_view, DISPID>& DispIds() {
    static std::unordered_map<std::wstring_view, DISPID> ids;
    return ids;
  }

  DISPID LookUp(const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    OleCheck(FObject->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    DispIds()[name] = id;
    return id;
  }

  // `arguments` in the order of the member's parameters; Invoke wants them
  // the other way round.
  Variant Invoke(const wchar_t* name, WORD flags, std::initializer_list<Variant*> arguments) {
    std::vector<VARIANTARG> reversed;
    reversed.reserve(arguments.size());
    for (auto it = arguments.end(); it != arguments.begin();) reversed.push_back((*--it)->Value());
    DISPPARAMS parameters{};
    parameters.rgvarg = reversed.empty() ? nullptr : reversed.data();
    parameters.cArgs = static_cast<UINT>(reversed.size());

    const auto kept = DispIds().find(name);
    const bool wasKept = kept != DispIds().end();
    Variant result;
    ExceptionInfo exception;
    HRESULT hr = CallMember(wasKept ? kept->second : LookUp(name), flags, parameters, result, exception);
    if (hr == DISP_E_MEMBERNOTFOUND && wasKept) {
      VariantClear(result.Get());
      hr = CallMember(LookUp(name), flags, parameters, result, exception);
    }
    if (FAILED(hr)) RaiseInvokeError(hr, exception);
    return result;
  }

  HRESULT CallMember(DISPID id, WORD flags, DISPPARAMS& parameters, Variant& result, ExceptionInfo& exception) {
    UINT argumentError = 0;
    return FObject->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result.Get(), &exception.Info,
                           &argumentError);
  }

  // Declared first, so the object is released before COM may be
  // uninitialised.
  Apartment FApartment;
  ComPtr<IDispatch> FObject;
};

class ComFolder final : public OutlookFolder, private AutomationObject<ComFolder> {
 public:
  using AutomationObject::AutomationObject;

  std::wstring Name() override {
    Variant name = GetProperty(L"Name");
    return ToText(name);
  }
  std::unique_ptr<OutlookFolder> Parent() override {
    Variant parent = GetProperty(L"Parent");
    ComPtr<IDispatch> object = ToObject(parent);
    if (!object) return nullptr;
    ComPtr<IDispatch> folder = ostrevin::QueryDispinterface(object, kMapiFolderIid);
    if (!folder) return nullptr;
    return std::make_unique<ComFolder>(SharedApartment(), std::move(folder));
  }
};

// Wraps an optional object result as a folder.
std::unique_ptr<OutlookFolder> WrapFolder(const Apartment& apartment, ComPtr<IDispatch> object) {
  if (!object) return nullptr;
  return std::make_unique<ComFolder>(apartment, std::move(object));
}

class ComAttachment final : public OutlookAttachment, private AutomationObject<ComAttachment> {
 public:
  using AutomationObject::AutomationObject;

  std::wstring FileName() override {
    Variant name = GetProperty(L"FileName");
    return ToText(name);
  }
  void SaveAsFile(std::wstring_view path) override {
    Variant argument = Variant::Text(path);
    CallProcedure(L"SaveAsFile", {&argument});
  }
};

class ComAttachments final : public OutlookAttachments, private AutomationObject<ComAttachments> {
 public:
  using AutomationObject::AutomationObject;

  std::int32_t Count() override {
    Variant count = GetProperty(L"Count");
    return ToInt32(count);
  }
  std::unique_ptr<OutlookAttachment> Item(std::int32_t index) override {
    Variant argument = Variant::Int32(index);
    Variant item = CallFunction(L"Item", {&argument});
    return std::make_unique<ComAttachment>(SharedApartment(), ToRequiredObject(item));
  }
};

class ComMailItem final : public OutlookMailItem, private AutomationObject<ComMailItem> {
 public:
  using AutomationObject::AutomationObject;

  std::unique_ptr<OutlookAttachments> Attachments() override {
    Variant attachments = GetProperty(L"Attachments");
    return std::make_unique<ComAttachments>(SharedApartment(), ToRequiredObject(attachments));
  }
};

class ComItem final : public OutlookItem, private AutomationObject<ComItem> {
 public:
  using AutomationObject::AutomationObject;

  std::unique_ptr<OutlookMailItem> AsMailItem() override {
    ComPtr<IDispatch> mail = QueryDispinterface(kMailItemIid);
    if (!mail) return nullptr;
    return std::make_unique<ComMailItem>(SharedApartment(), std::move(mail));
  }
};

class ComSelection final : public OutlookSelection, private AutomationObject<ComSelection> {
 public:
  using AutomationObject::AutomationObject;

  std::int32_t Count() override {
    Variant count = GetProperty(L"Count");
    return ToInt32(count);
  }
  std::unique_ptr<OutlookItem> Item(std::int32_t index) override {
    Variant argument = Variant::Int32(index);
    Variant item = CallFunction(L"Item", {&argument});
    return std::make_unique<ComItem>(SharedApartment(), ToRequiredObject(item));
  }
};

class ComExplorer final : public OutlookExplorer, private AutomationObject<ComExplorer> {
 public:
  using AutomationObject::AutomationObject;

  std::unique_ptr<OutlookSelection> Selection() override {
    Variant selection = GetProperty(L"Selection");
    ComPtr<IDispatch> object = ToObject(selection);
    if (!object) return nullptr;
    return std::make_unique<ComSelection>(SharedApartment(), std::move(object));
  }
};

class ComApplication;

class ComNameSpace final : public OutlookNameSpace, private AutomationObject<ComNameSpace> {
 public:
  using AutomationObject::AutomationObject;

  void Logon(std::wstring_view profile, bool showDialog, bool newSession) override {
    Variant profileArgument = Variant::Text(profile);
    Variant password = Variant::Omitted();
    Variant showDialogArgument = Variant::Boolean(showDialog);
    Variant newSessionArgument = Variant::Boolean(newSession);
    CallProcedure(L"Logon", {&profileArgument, &password, &showDialogArgument, &newSessionArgument});
  }
  void Logoff() override { CallProcedure(L"Logoff"); }
  std::wstring CurrentProfileName() override {
    Variant name = GetProperty(L"CurrentProfileName");
    return ToText(name);
  }
  std::shared_ptr<OutlookApplication> Application() override;
  std::unique_ptr<OutlookFolder> GetDefaultFolder(OutlookFolderKind kind) override {
    Variant argument = Variant::Int32(static_cast<std::int32_t>(kind));
    Variant folder = CallFunction(L"GetDefaultFolder", {&argument});
    return WrapFolder(SharedApartment(), ToRequiredObject(folder));
  }
  std::unique_ptr<OutlookFolder> PickFolder() override {
    Variant folder = CallFunction(L"PickFolder");
    return WrapFolder(SharedApartment(), ToObject(folder));
  }
};

class ComApplication final : public OutlookApplication, private AutomationObject<ComApplication> {
 public:
  using AutomationObject::AutomationObject;

  std::wstring Version() override {
    Variant version = GetProperty(L"Version");
    return ToText(version);
  }
  std::shared_ptr<OutlookNameSpace> GetNamespace(std::wstring_view type) override {
    Variant argument = Variant::Text(type);
    Variant nameSpace = CallFunction(L"GetNamespace", {&argument});
    return std::make_shared<ComNameSpace>(SharedApartment(), ToRequiredObject(nameSpace));
  }
  std::unique_ptr<OutlookExplorer> ActiveExplorer() override {
    Variant explorer = CallFunction(L"ActiveExplorer");
    ComPtr<IDispatch> object = ToObject(explorer);
    if (!object) return nullptr;
    return std::make_unique<ComExplorer>(SharedApartment(), std::move(object));
  }
};

std::shared_ptr<OutlookApplication> ComNameSpace::Application() {
  Variant application = GetProperty(L"Application");
  return std::make_shared<ComApplication>(SharedApartment(), ToRequiredObject(application));
}

// The ApplicationEvents sink. Starts with one reference, its owner's.
class QuitEventSink final : public ComObject<IDispatch> {
 public:
  explicit QuitEventSink(std::function<void()> onQuit) : FOnQuit(std::move(onQuit)) {}

  // From now on no event reaches the callback.
  void Detach() noexcept { FOnQuit = nullptr; }

  bool Answers(REFIID iid) const override {
    return IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kApplicationEventsIid);
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return DISP_E_BADINDEX;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override {
    if (ids != nullptr)
      for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  // Every event is answered S_OK; only Quit does something.
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    if (result != nullptr) VariantInit(result);
    if (id != kQuitDispId || !FOnQuit) return S_OK;
    // The callback may disconnect, which detaches this sink and drops its
    // owner's reference: keep both the sink and the callback alive.
    ComPtr<QuitEventSink> self(this);
    try {
      const std::function<void()> onQuit = FOnQuit;
      onQuit();
    } catch (...) {
      ShowCurrentException();
    }
    return S_OK;
  }

 private:
  ~QuitEventSink() override = default;

  std::function<void()> FOnQuit;
};

class ComConnection final : public OutlookConnection {
 public:
  // Subscribes the callback to the application's events; raises when the
  // application has no such events or refuses the subscription.
  ComConnection(Apartment apartment, ComPtr<IDispatch> application, std::function<void()> onQuit)
      : FApplication(std::make_shared<ComApplication>(apartment, application)),
        FSink(ComPtr<QuitEventSink>::Take(new QuitEventSink(std::move(onQuit)))) {
    try {
      ComPtr<IConnectionPointContainer> container;
      OleCheck(ComPtr<IDispatch>(application).QueryInterface(IID_IConnectionPointContainer, container));
      OleCheck(container->FindConnectionPoint(kApplicationEventsIid, FEvents.Put()));
      OleCheck(FEvents->Advise(FSink.Get(), &FCookie));
      FAdvised = true;
    } catch (...) {
      Disconnect();
      throw;
    }
  }
  ~ComConnection() override { Disconnect(); }
  ComConnection(const ComConnection&) = delete;
  ComConnection& operator=(const ComConnection&) = delete;

  std::shared_ptr<OutlookApplication> Application() override { return FApplication; }

  void Disconnect() noexcept override {
    if (FSink) FSink->Detach();
    // Unadvise calls Outlook; moving the members out first keeps a quit
    // event that arrives meanwhile from finding them half released.
    ComPtr<IConnectionPoint> events = std::move(FEvents);
    if (std::exchange(FAdvised, false) && events) events->Unadvise(FCookie);
    events.Reset();
    FSink.Reset();
    FApplication.reset();
  }

 private:
  std::shared_ptr<OutlookApplication> FApplication;
  ComPtr<QuitEventSink> FSink;
  ComPtr<IConnectionPoint> FEvents;
  DWORD FCookie = 0;
  bool FAdvised = false;
};

class Win32OutlookServer final : public OutlookServer {
 public:
  std::unique_ptr<OutlookConnection> Connect(std::function<void()> onQuit) override {
    auto apartment = std::make_shared<const ComInitialization>();
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(kOutlookProgId, &clsid))) clsid = kOutlookApplicationClsid;

    // A running Outlook first. One that is registered but does not answer
    // (a stale entry of a process that is gone) counts as not running.
    ComPtr<IUnknown> running;
    if (SUCCEEDED(GetActiveObject(clsid, nullptr, running.Put())) && running) {
      ComPtr<IDispatch> application;
      if (SUCCEEDED(running.QueryInterface(IID_IDispatch, application)) && application) {
        try {
          return std::make_unique<ComConnection>(apartment, std::move(application), onQuit);
        } catch (const EOleSysError&) {
        }
      }
    }

    ComPtr<IDispatch> application;
    OleCheck(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, application.PutVoid()));
    if (!application) RaiseOleError(E_POINTER);
    return std::make_unique<ComConnection>(apartment, std::move(application), std::move(onQuit));
  }
};

}  // namespace

std::unique_ptr<OutlookServer> MakeWin32OutlookServer() { return std::make_unique<Win32OutlookServer>(); }

}  // namespace ostrevin
