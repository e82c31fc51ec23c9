// DispatchObject_win.h - the base of the stand-in Outlook's automation objects.
//
// A TDispatchObject is an IDispatch whose members are a table of names and
// handlers: the n-th member added gets DISPID n, names are matched without
// regard to case, and Invoke calls the handler with the positional
// arguments. Handlers report failures by throwing:
//
//   throw TAutomationError(0x80070005, L"Cannot save");  // DISP_E_EXCEPTION, scode 0x80070005
//   throw TArgumentError(DISP_E_TYPEMISMATCH, 0);          // returned by Invoke, puArgErr at the first argument
//
// A failure therefore reaches the caller as DISP_E_EXCEPTION with the code in
// EXCEPINFO.scode (or, when the caller passes no EXCEPINFO, as the code
// itself), the way Outlook raises its errors.
//
// Every object also implements IExternalConnection: COM tells it about the
// strong references other processes hold, and the process-wide count
// (ExternalConnectionCount) lets the server notice when the last client has
// gone. Windows reports each connection; Wine only an object's first and
// its last, so the count is only good for telling none from some.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/WinApi_win.h"
#include "standin/outlook/ComSupport_win.h"

#include <oleauto.h>

namespace ostrevin::standin {

// An automation failure with Outlook's way of telling it: the code and a
// description in EXCEPINFO.
struct TAutomationError {
  HRESULT Code;
  std::wstring Description;
};

// A malformed call: the code Invoke returns itself (DISP_E_TYPEMISMATCH,
// DISP_E_BADPARAMCOUNT, ...) and the index of the offending argument,
// counted from the first.
struct TArgumentError {
  HRESULT Code;
  unsigned Index;
};

// The positional arguments of one call, first argument at index 0.
class TArguments {
 public:
  explicit TArguments(const DISPPARAMS& params) noexcept : FParams(params) {}

  unsigned Count() const noexcept { return FParams.cArgs; }
  // Absent, or passed as automation's omitted value (VT_ERROR DISP_E_PARAMNOTFOUND).
  bool Omitted(unsigned index) const noexcept;
  // The argument as it came, by reference or not; index < Count().
  const VARIANT& Raw(unsigned index) const noexcept { return FParams.rgvarg[FParams.cArgs - 1 - index]; }
  // The argument converted as automation converts it; TArgumentError
  // (DISP_E_TYPEMISMATCH) when it cannot be, DISP_E_PARAMNOTFOUND when omitted.
  LONG Int(unsigned index) const;
  std::wstring Text(unsigned index) const;

 private:
  TVariant Converted(unsigned index, VARTYPE type) const;

  const DISPPARAMS& FParams;
};

using TMemberHandler = std::function<void(const TArguments&, TVariant& result)>;

class TDispatchObject : public IDispatch, public IExternalConnection {
 public:
  TDispatchObject(const TDispatchObject&) = delete;
  TDispatchObject& operator=(const TDispatchObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

  DWORD STDMETHODCALLTYPE AddConnection(DWORD kind, DWORD reserved) override;
  DWORD STDMETHODCALLTYPE ReleaseConnection(DWORD kind, DWORD reserved, BOOL lastReleaseCloses) override;

 protected:
  // Starts with one reference, the creator's (take it with TComPtr::Attach).
  TDispatchObject() = default;
  virtual ~TDispatchObject() = default;

  // A property takes no arguments; a method takes from minimum to maximum.
  // Both answer DISPATCH_METHOD and DISPATCH_PROPERTYGET alike, as
  // Outlook's members do; no member can be assigned.
  void AddProperty(const wchar_t* name, TMemberHandler handler);
  void AddMethod(const wchar_t* name, unsigned minimum, unsigned maximum, TMemberHandler handler);

  // Further interfaces of the object: a dispinterface IID it answers with
  // its IDispatch, or another interface it implements. Null when it has none.
  virtual void* OtherInterface(REFIID iid);

 private:
  struct TMember {
    std::wstring Name;
    unsigned Minimum;
    unsigned Maximum;
    TMemberHandler Handler;
  };

  LONG FRefCount = 1;
  std::vector<TMember> FMembers;
};

// The strong references that other processes hold on the stand-in's objects,
// summed over all of them.
LONG ExternalConnectionCount() noexcept;
// Called after every strong reference released, with the new count; set
// once by the server before it registers anything.
void SetExternalConnectionReleasedHandler(std::function<void(LONG count)> handler);

}  // namespace ostrevin::standin
