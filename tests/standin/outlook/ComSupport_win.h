// ComSupport_win.h - the stand-in Outlook's owners of COM pointers, BSTRs and VARIANTs.
//
// Small move-only RAII types; each one releases what it holds when it goes
// and hands ownership back with a [[nodiscard]] Detach:
//
//   TComPtr<IDispatch> app;                          // Release when it goes
//   CoCreateInstance(..., app.Receive());
//   TVariant result;                                 // VariantClear when it goes
//   TBstr name(L"FileName");                         // SysFreeString when it goes
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "platform/WinApi_win.h"

#include <oleauto.h>

namespace ostrevin::standin {

template <class T>
class TComPtr {
 public:
  TComPtr() noexcept = default;
  // Takes over a reference the caller owns.
  static TComPtr Attach(T* pointer) noexcept {
    TComPtr result;
    result.FPointer = pointer;
    return result;
  }
  // Adds a reference of its own.
  static TComPtr Share(T* pointer) noexcept {
    if (pointer != nullptr) pointer->AddRef();
    return Attach(pointer);
  }
  TComPtr(const TComPtr& other) noexcept : FPointer(other.FPointer) {
    if (FPointer != nullptr) FPointer->AddRef();
  }
  TComPtr(TComPtr&& other) noexcept : FPointer(std::exchange(other.FPointer, nullptr)) {}
  TComPtr& operator=(TComPtr other) noexcept {
    std::swap(FPointer, other.FPointer);
    return *this;
  }
  ~TComPtr() { Reset(); }

  T* Get() const noexcept { return FPointer; }
  T* operator->() const noexcept { return FPointer; }
  explicit operator bool() const noexcept { return FPointer != nullptr; }
  [[nodiscard]] T* Detach() noexcept { return std::exchange(FPointer, nullptr); }
  void Reset() noexcept {
    if (FPointer != nullptr) std::exchange(FPointer, nullptr)->Release();
  }
  // For out parameters: releases what it holds and lends its slot.
  T** Receive() noexcept {
    Reset();
    return &FPointer;
  }
  void** ReceiveVoid() noexcept { return reinterpret_cast<void**>(Receive()); }

 private:
  T* FPointer = nullptr;
};

class TBstr {
 public:
  TBstr() noexcept = default;
  explicit TBstr(std::wstring_view text)
      : FText(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  TBstr(TBstr&& other) noexcept : FText(std::exchange(other.FText, nullptr)) {}
  TBstr& operator=(TBstr&& other) noexcept {
    std::swap(FText, other.FText);
    return *this;
  }
  TBstr(const TBstr&) = delete;
  TBstr& operator=(const TBstr&) = delete;
  ~TBstr() { SysFreeString(FText); }

  BSTR Get() const noexcept { return FText; }
  [[nodiscard]] BSTR Detach() noexcept { return std::exchange(FText, nullptr); }
  BSTR* Receive() noexcept {
    SysFreeString(std::exchange(FText, nullptr));
    return &FText;
  }
  // A null BSTR is the empty text, as automation reads it.
  std::wstring Text() const { return FText == nullptr ? std::wstring() : std::wstring(FText, SysStringLen(FText)); }

 private:
  BSTR FText = nullptr;
};

class TVariant {
 public:
  TVariant() noexcept { VariantInit(&FValue); }
  TVariant(TVariant&& other) noexcept : FValue(other.FValue) { VariantInit(&other.FValue); }
  TVariant& operator=(TVariant&& other) noexcept {
    std::swap(FValue, other.FValue);
    return *this;
  }
  TVariant(const TVariant&) = delete;
  TVariant& operator=(const TVariant&) = delete;
  ~TVariant() { VariantClear(&FValue); }

  static TVariant Int(LONG value) noexcept {
    TVariant result;
    result.FValue.vt = VT_I4;
    result.FValue.lVal = value;
    return result;
  }
  static TVariant Bool(bool value) noexcept {
    TVariant result;
    result.FValue.vt = VT_BOOL;
    result.FValue.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return result;
  }
  static TVariant Text(std::wstring_view text) {
    TVariant result;
    result.FValue.vt = VT_BSTR;
    result.FValue.bstrVal = TBstr(text).Detach();
    return result;
  }
  // VT_DISPATCH with a reference of its own; a null object is automation's Nothing.
  static TVariant Object(IDispatch* object) noexcept {
    TVariant result;
    result.FValue.vt = VT_DISPATCH;
    result.FValue.pdispVal = object;
    if (object != nullptr) object->AddRef();
    return result;
  }
  // The value automation passes for an omitted optional argument.
  static TVariant Omitted() noexcept {
    TVariant result;
    result.FValue.vt = VT_ERROR;
    result.FValue.scode = DISP_E_PARAMNOTFOUND;
    return result;
  }

  VARIANT& Get() noexcept { return FValue; }
  const VARIANT& Get() const noexcept { return FValue; }
  VARIANT* Receive() noexcept {
    VariantClear(&FValue);
    return &FValue;
  }
  // Hands the value to a VARIANT the caller has initialised and owns.
  void MoveTo(VARIANT& target) noexcept {
    VariantClear(&target);
    target = FValue;
    VariantInit(&FValue);
  }

 private:
  VARIANT FValue;
};

}  // namespace ostrevin::standin
