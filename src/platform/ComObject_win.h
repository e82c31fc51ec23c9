// ComObject_win.h - the reference counting of COM objects the program implements.
//
// A class derives from ComObject<Interface> and names the interfaces it
// answers besides IUnknown:
//
//   class Sink final : public ComObject<IDispatch> {
//     bool Answers(REFIID iid) const override { return IsEqualIID(iid, IID_IDispatch); }
//     ...
//   };
//
// An object starts with one reference, its creator's, and deletes itself when
// the last one is released.
#pragma once

#include "platform/WinApi_win.h"

#include <unknwn.h>

namespace ostrevin {

template <class Interface>
class ComObject : public Interface {
 public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || Answers(iid)) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&FRefCount)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG count = InterlockedDecrement(&FRefCount);
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
  }

 protected:
  virtual ~ComObject() = default;
  // Whether the object implements `iid` (IUnknown is answered already).
  virtual bool Answers(REFIID iid) const = 0;

 private:
  LONG FRefCount = 1;
};

}  // namespace ostrevin
