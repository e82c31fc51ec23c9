// VemFxShellDragDrop.cpp - the drop target, the drop-handler registry and data-object helpers.
//
// Portable: no platform header. The registry and the active handler are
// unsynchronised process-wide state; every call runs on the main thread.
#include "dragdrop/VemFxShellDragDrop.h"

#include <algorithm>
#include <utility>

#include "foundation/Checks.h"
#include "foundation/ExceptionDisplay.h"
#include "platform/Ports.h"

namespace ostrevin {

namespace {

std::unique_ptr<TShellDropHandlerList> gDropHandlers;
TShellDropHandler* gActiveDropHandler = nullptr;

TShellDropHandlerList& RegisteredHandlers() {
  CheckAssigned(gDropHandlers.get(), L"DropHandlers");
  return *gDropHandlers;
}

// Runs one callback's work; an exception is shown and answered E_UNEXPECTED.
template <class Work>
OleResult Guarded(Work&& work) noexcept {
  try {
    work();
    return kOleOk;
  } catch (...) {
    ShowCurrentException();
    return kOleUnexpected;
  }
}

}  // namespace

// ---- The registry ----------------------------------------------------------

void InitializeVemFxShellDragDrop() {
  if (!gDropHandlers) gDropHandlers = std::make_unique<TShellDropHandlerList>();
}

void FinalizeVemFxShellDragDrop() noexcept {
  gActiveDropHandler = nullptr;
  // Detached first, so a handler's destructor sees no registry.
  std::unique_ptr<TShellDropHandlerList> handlers = std::move(gDropHandlers);
  handlers.reset();
}

const TShellDropHandlerList* DropHandlers() noexcept { return gDropHandlers.get(); }

TShellDropHandler* ActiveDropHandler() noexcept { return gActiveDropHandler; }

int RegisterDropHandler(std::unique_ptr<TShellDropHandler> handler) {
  Assert(handler != nullptr);
  TShellDropHandlerList& handlers = RegisteredHandlers();
  handlers.push_back(std::move(handler));
  return static_cast<int>(handlers.size()) - 1;
}

std::unique_ptr<TShellDropHandler> UnregisterDropHandler(const TShellDropHandler* handler) {
  if (handler == nullptr || !gDropHandlers) return nullptr;
  TShellDropHandlerList& handlers = *gDropHandlers;
  const auto found = std::find_if(handlers.begin(), handlers.end(),
                                  [handler](const auto& registered) { return registered.get() == handler; });
  if (found == handlers.end()) return nullptr;
  std::unique_ptr<TShellDropHandler> removed = std::move(*found);
  handlers.erase(found);
  if (gActiveDropHandler == handler) gActiveDropHandler = nullptr;
  return removed;
}

// ---- Data-object helpers ---------------------------------------------------

const std::array<TCodeDescMap, 20> ClipboardFormatNames = {{
    {1, L"CF_TEXT"},
    {2, L"CF_BITMAP"},
    {3, L"CF_METAFILEPICT"},
    {4, L"CF_SYLK"},
    {5, L"CF_DIF"},
    {6, L"CF_TIFF"},
    {7, L"CF_OEMTEXT"},
    {8, L"CF_DIB"},
    {9, L"CF_PALETTE"},
    {10, L"CF_PENDATA"},
    {11, L"CF_RIFF"},
    {12, L"CF_WAVE"},
    {13, L"CF_UNICODETEXT"},
    {14, L"CF_ENHMETAFILE"},
    {15, L"CF_HDROP"},
    {16, L"CF_LOCALE"},
    {128, L"CF_OWNERDISPLAY"},
    {129, L"CF_DSPTEXT"},
    {130, L"CF_DSPBITMAP"},
    {131, L"CF_DSPMETAFILEPICT"},
}};

std::wstring LookupCodeDesc(std::uint32_t code, std::span<const TCodeDescMap> table, int lastIndex) {
  if (lastIndex < 0) return {};
  const std::size_t end = std::min(table.size(), static_cast<std::size_t>(lastIndex) + 1);
  for (std::size_t i = 0; i < end; ++i) {
    if (table[i].Code == code) return table[i].Desc != nullptr ? table[i].Desc : L"";
  }
  return {};
}

std::wstring ClipboardFormatName(std::uint16_t format) {
  std::wstring name = LookupCodeDesc(format, ClipboardFormatNames, static_cast<int>(ClipboardFormatNames.size()) - 1);
  if (name.empty()) name = Current<DragDrop>().RegisteredClipboardFormatName(format);
  return name;
}

bool HasRenPrivateSourceFolder(DataObject& dataObject) {
  const std::unique_ptr<ClipboardFormatEnumerator> formats = dataObject.EnumFormats();
  if (!formats) return false;
  std::uint16_t format = 0;
  while (formats->Next(format)) {
    const std::wstring name = ClipboardFormatName(format);
    if (std::wstring_view(name) == std::wstring_view(kRenPrivateSourceFolder)) return true;
  }
  return false;
}

// ---- The drop target -------------------------------------------------------

TShellDropTarget::TShellDropTarget(WindowHandle handle)
    : FHandle(handle), FRegistration(Current<DragDrop>().RegisterDropTarget(handle, *this)) {}

TShellDropTarget::~TShellDropTarget() { FRegistration.reset(); }

OleResult TShellDropTarget::DragEnter(DataObject& dataObject, std::uint32_t keyState,
                                      std::uint32_t& effect) noexcept {
  return Guarded([&] {
    effect = DropEffect::Copy;
    gActiveDropHandler = nullptr;
    RegisteredHandlers();
    // By index and re-read each time: a handler may register or unregister
    // handlers while it is asked.
    for (std::size_t i = 0; gDropHandlers && i < gDropHandlers->size(); ++i) {
      TShellDropHandler* handler = (*gDropHandlers)[i].get();
      if (handler->DragEnter(dataObject, keyState, effect)) {
        gActiveDropHandler = handler;
        return;
      }
    }
    effect = DropEffect::None;
  });
}

OleResult TShellDropTarget::DragOver(std::uint32_t keyState, std::uint32_t& effect) noexcept {
  return Guarded([&] {
    if (gActiveDropHandler == nullptr) {
      effect = DropEffect::None;
      return;
    }
    effect = DropEffect::Copy;
    gActiveDropHandler->DragOver(keyState, effect);
  });
}

OleResult TShellDropTarget::DragLeave() noexcept {
  return Guarded([&] {
    if (gActiveDropHandler == nullptr) return;
    gActiveDropHandler->DragLeave();
    gActiveDropHandler = nullptr;
  });
}

OleResult TShellDropTarget::Drop(DataObject& dataObject, std::uint32_t keyState, std::uint32_t& effect) noexcept {
  return Guarded([&] {
    if (gActiveDropHandler == nullptr) {
      effect = DropEffect::None;
      return;
    }
    effect = DropEffect::Copy;
    gActiveDropHandler->Drop(dataObject, keyState, effect);
    gActiveDropHandler = nullptr;
  });
}

}  // namespace ostrevin
