// DragDrop_win.cpp - the OLE adapter of the DragDrop port.
//
// A registration owns a COM IDropTarget that forwards OLE's four calls to
// the registered callbacks object. OLE keeps references of its own to that
// COM object (while the window is registered, and while a drag is over it),
// so revoking detaches it from the callbacks: a late call from a drag that
// is still running is answered with no drop instead of reaching a callbacks
// object that no longer exists.
#include "platform/Win32Adapters.h"

#include <algorithm>

#include "foundation/ExceptionDisplay.h"
#include "platform/ComObject_win.h"
#include "platform/OleError.h"
#include "platform/WinApi_win.h"

#include <ole2.h>

namespace ostrevin {

namespace {

// GetClipboardFormatNameW's buffer, terminator included.
constexpr int kFormatNameBuffer = 255;

class OleFormatEnumerator final : public ClipboardFormatEnumerator {
 public:
  // Takes the reference; a null enumerator offers nothing.
  explicit OleFormatEnumerator(IEnumFORMATETC* formats) noexcept : FFormats(formats) {}
  ~OleFormatEnumerator() override {
    if (FFormats != nullptr) FFormats->Release();
  }
  OleFormatEnumerator(const OleFormatEnumerator&) = delete;
  OleFormatEnumerator& operator=(const OleFormatEnumerator&) = delete;

  bool Next(std::uint16_t& format) override {
    if (FFormats == nullptr) return false;
    FORMATETC description{};
    // An enumerator may leave the count alone for a single element; one that
    // sets it to 0 alongside S_OK has nothing to give.
    ULONG fetched = 1;
    if (FFormats->Next(1, &description, &fetched) != S_OK || fetched == 0) return false;
    if (description.ptd != nullptr) CoTaskMemFree(description.ptd);
    format = description.cfFormat;
    return true;
  }

 private:
  IEnumFORMATETC* FFormats;
};

// The dragged IDataObject, borrowed for one call.
class OleDataObject final : public DataObject {
 public:
  explicit OleDataObject(IDataObject* data) noexcept : FData(data) {}

  std::unique_ptr<ClipboardFormatEnumerator> EnumFormats() override {
    if (FData == nullptr) RaiseOleError(E_POINTER);
    IEnumFORMATETC* formats = nullptr;
    OleCheck(FData->EnumFormatEtc(DATADIR_GET, &formats));
    return std::make_unique<OleFormatEnumerator>(formats);
  }

 private:
  IDataObject* FData;
};

class OleDropTarget final : public ComObject<IDropTarget> {
 public:
  // Starts with one reference, the registration's.
  explicit OleDropTarget(DropTargetCallbacks& callbacks) noexcept : FCallbacks(&callbacks) {}

  // From now on every call answers S_OK with no drop.
  void Detach() noexcept { FCallbacks = nullptr; }

  bool Answers(REFIID iid) const override { return IsEqualIID(iid, IID_IDropTarget); }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL, DWORD* effect) override {
    return Forward(effect, [&](DropTargetCallbacks& callbacks, std::uint32_t& word) {
      OleDataObject dataObject(data);
      return callbacks.DragEnter(dataObject, keyState, word);
    });
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL, DWORD* effect) override {
    return Forward(effect, [&](DropTargetCallbacks& callbacks, std::uint32_t& word) {
      return callbacks.DragOver(keyState, word);
    });
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    return Forward(nullptr, [&](DropTargetCallbacks& callbacks, std::uint32_t&) { return callbacks.DragLeave(); });
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL, DWORD* effect) override {
    return Forward(effect, [&](DropTargetCallbacks& callbacks, std::uint32_t& word) {
      OleDataObject dataObject(data);
      return callbacks.Drop(dataObject, keyState, word);
    });
  }

 private:
  ~OleDropTarget() override = default;

  // Passes the effect word through (OLE always gives one, but a missing one
  // is not written) and keeps every exception out of OLE.
  template <class Call>
  HRESULT Forward(DWORD* effect, Call&& call) noexcept {
    try {
      std::uint32_t word = effect != nullptr ? static_cast<std::uint32_t>(*effect) : DROPEFFECT_NONE;
      HRESULT result = S_OK;
      if (FCallbacks != nullptr) {
        result = call(*FCallbacks, word);
      } else {
        word = DROPEFFECT_NONE;
      }
      if (effect != nullptr) *effect = word;
      return result;
    } catch (...) {
      ShowCurrentException();
      return E_UNEXPECTED;
    }
  }

  DropTargetCallbacks* FCallbacks;
};

class OleDropTargetRegistration final : public DropTargetRegistration {
 public:
  // Initialises OLE and registers; on failure everything made so far is
  // undone by the destructor before the exception leaves.
  OleDropTargetRegistration(HWND window, DropTargetCallbacks& callbacks)
      : FWindow(window), FTarget(new OleDropTarget(callbacks)) {
    FOleInitialized = SUCCEEDED(OleInitialize(nullptr));
    const HRESULT result = RegisterDragDrop(FWindow, FTarget);
    if (FAILED(result)) {
      Cleanup();
      RaiseOleError(result);
    }
    FRegistered = true;
  }
  ~OleDropTargetRegistration() override { Cleanup(); }
  OleDropTargetRegistration(const OleDropTargetRegistration&) = delete;
  OleDropTargetRegistration& operator=(const OleDropTargetRegistration&) = delete;

 private:
  // Revokes while OLE is still initialised, then balances the
  // initialisation. Results are not checked: there is nothing left to do.
  void Cleanup() noexcept {
    if (FRegistered) RevokeDragDrop(FWindow);
    FRegistered = false;
    if (FTarget != nullptr) {
      FTarget->Detach();
      FTarget->Release();
      FTarget = nullptr;
    }
    if (FOleInitialized) OleUninitialize();
    FOleInitialized = false;
  }

  HWND FWindow;
  OleDropTarget* FTarget;
  bool FOleInitialized = false;
  bool FRegistered = false;
};

class Win32DragDrop final : public DragDrop {
 public:
  std::wstring RegisteredClipboardFormatName(std::uint16_t format) const override {
    wchar_t name[kFormatNameBuffer];
    const int length = GetClipboardFormatNameW(format, name, kFormatNameBuffer);
    if (length <= 0) return {};
    return std::wstring(name, static_cast<std::size_t>(std::min(length, kFormatNameBuffer - 1)));
  }

  std::unique_ptr<DropTargetRegistration> RegisterDropTarget(WindowHandle window,
                                                             DropTargetCallbacks& callbacks) override {
    return std::make_unique<OleDropTargetRegistration>(reinterpret_cast<HWND>(window), callbacks);
  }
};

}  // namespace

std::unique_ptr<DragDrop> MakeWin32DragDrop() { return std::make_unique<Win32DragDrop>(); }

}  // namespace ostrevin
