// ComPtr_win.h - owners of COM interface references and of COM initialisation.
//
// ComPtr holds one counted reference to an interface; copies add one,
// moves hand it over, and it is released when the owner goes:
//
//   ComPtr<IDispatch> object;
//   OleCheck(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, object.PutVoid()));
//   ComPtr<IConnectionPointContainer> container;
//   OleCheck(object.QueryInterface(IID_IConnectionPointContainer, container));
//
// ComInitialization initialises COM on the calling thread as a
// single-threaded apartment for its lifetime.
#pragma once

#include <utility>

#include "platform/WinApi_win.h"

#include <objbase.h>

namespace ostrevin {

template <class Interface>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  // Adds a reference of its own; `Attach` takes one over instead.
  explicit ComPtr(Interface* object) noexcept : FObject(object) {
    if (FObject != nullptr) FObject->AddRef();
  }
  ComPtr(const ComPtr& other) noexcept : ComPtr(other.FObject) {}
  ComPtr(ComPtr&& other) noexcept : FObject(other.Detach()) {}
  ComPtr& operator=(const ComPtr& other) noexcept {
    if (this != &other) ComPtr(other).Swap(*this);
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) Attach(other.Detach());
    return *this;
  }
  ~ComPtr() { Reset(); }

  // Takes over a reference the caller owns.
  static ComPtr Take(Interface* object) noexcept {
    ComPtr result;
    result.FObject = object;
    return result;
  }

  Interface* Get() const noexcept { return FObject; }
  Interface* operator->() const noexcept { return FObject; }
  explicit operator bool() const noexcept { return FObject != nullptr; }

  // Releases the current reference and gives the address for an out
  // parameter that receives a new one.
  Interface** Put() noexcept {
    Reset();
    return &FObject;
  }
  void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

  void Reset() noexcept {
    if (Interface* object = std::exchange(FObject, nullptr)) object->Release();
  }
  void Attach(Interface* object) noexcept {
    Reset();
    FObject = object;
  }
  // Hands the reference to the caller, who must release it.
  [[nodiscard]] Interface* Detach() noexcept { return std::exchange(FObject, nullptr); }
  void Swap(ComPtr& other) noexcept { std::swap(FObject, other.FObject); }

  // Asks the object for another interface. Returns the result of the call;
  // `result` is empty unless it succeeded. A null object gives E_POINTER.
  template <class Other>
  HRESULT QueryInterface(REFIID iid, ComPtr<Other>& result) const noexcept {
    result.Reset();
    if (FObject == nullptr) return E_POINTER;
    return FObject->QueryInterface(iid, result.PutVoid());
  }

 private:
  Interface* FObject = nullptr;
};

// COM on the calling thread as a single-threaded apartment, for the
// lifetime of the object. A thread that is already initialised (by
// OleInitialize, say) gets one more, balanced initialisation. A thread that
// was initialised as a multi-threaded apartment stays one: COM can be used,
// but this object has nothing to balance.
class ComInitialization {
 public:
  ComInitialization() noexcept : FResult(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComInitialization() {
    if (SUCCEEDED(FResult)) CoUninitialize();
  }
  ComInitialization(const ComInitialization&) = delete;
  ComInitialization& operator=(const ComInitialization&) = delete;

  // The result of the initialisation (S_OK, S_FALSE, RPC_E_CHANGED_MODE, ...).
  HRESULT Result() const noexcept { return FResult; }

 private:
  HRESULT FResult;
};

}  // namespace ostrevin
