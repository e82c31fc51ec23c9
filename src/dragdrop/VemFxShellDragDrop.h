// VemFxShellDragDrop.h - the drop target, the drop-handler registry and data-object helpers.
//
// A window creates one TShellDropTarget for its handle; modules register
// TShellDropHandler objects in the process-wide registry during their
// initialisation. When a drag enters the window the handlers are asked in
// registration order; the first that accepts gets every further callback
// of that drag, including the drop:
//
//   InitializeVemFxShellDragDrop();                       // start-up table
//   RegisterDropHandler(std::make_unique<TMyHandler>());  // a module's initialisation
//   auto target = std::make_unique<TShellDropTarget>(window);
//   ...
//   target.reset();                                       // revokes the registration
//   FinalizeVemFxShellDragDrop();                         // frees handlers still registered
//
// Portable: the platform is reached through the DragDrop port only.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/DragDrop.h"

namespace ostrevin {

// A drop handler. DataObject is borrowed for the call; KeyState is the OLE
// key-state word and Effect the drop-effect word, which the handler may
// change. The mouse position is never passed. Exceptions are allowed: the
// drop target shows them and answers E_UNEXPECTED.
class TShellDropHandler {
 public:
  virtual ~TShellDropHandler() = default;
  // Whether this handler takes the drag. Effect comes in as copy.
  virtual bool DragEnter(DataObject& dataObject, std::uint32_t keyState, std::uint32_t& effect) = 0;
  // The drag moves over the window. Effect comes in as copy.
  virtual void DragOver(std::uint32_t keyState, std::uint32_t& effect) = 0;
  // The drag left the window or was cancelled.
  virtual void DragLeave() = 0;
  // The data was dropped. The handler does all its work inside this call;
  // the drag source waits for it. Effect comes in as copy.
  virtual void Drop(DataObject& dataObject, std::uint32_t keyState, std::uint32_t& effect) = 0;
};

// ---- The registry ----------------------------------------------------------

// Registered handlers in registration order, owned by the registry.
using TShellDropHandlerList = std::vector<std::unique_ptr<TShellDropHandler>>;

// Creates the empty registry; does nothing when it exists already.
void InitializeVemFxShellDragDrop();
// Frees the registry and every handler still in it, and clears the active
// handler. Handlers freed here that unregister themselves find no registry
// and are not found. Does nothing when there is no registry.
void FinalizeVemFxShellDragDrop() noexcept;

// The registry, or null before initialisation and after finalisation.
const TShellDropHandlerList* DropHandlers() noexcept;
// The handler that accepted the current drag (not owned), or null.
TShellDropHandler* ActiveDropHandler() noexcept;

// Appends the handler, which the registry now owns, and returns its index.
// Without a registry raises EVemInternalError "Internal Error: DropHandlers
// not assigned." (the handler is freed); a null handler fails an assertion.
int RegisterDropHandler(std::unique_ptr<TShellDropHandler> handler);
// Removes the handler without freeing it and hands ownership back; if it is
// the active handler, there is none from now on. A handler that is not
// registered (or no registry) gives null and changes nothing else.
[[nodiscard]] std::unique_ptr<TShellDropHandler> UnregisterDropHandler(const TShellDropHandler* handler);

// ---- Data-object helpers ---------------------------------------------------

struct TCodeDescMap {
  std::uint32_t Code;
  const wchar_t* Desc;
};

// The predefined clipboard formats with the names of their constants:
// CF_TEXT (1) to CF_LOCALE (16), CF_OWNERDISPLAY (128) to CF_DSPMETAFILEPICT (131).
extern const std::array<TCodeDescMap, 20> ClipboardFormatNames;

// The text of the first record among Table[0..LastIndex] whose code is Code,
// else empty. A LastIndex past the end of the table searches the whole
// table; a negative one searches nothing.
std::wstring LookupCodeDesc(std::uint32_t code, std::span<const TCodeDescMap> table, int lastIndex);

// The constant's name for a predefined format ("CF_TEXT"), else the name the
// format was registered with, else empty. Never raises for any format.
std::wstring ClipboardFormatName(std::uint16_t format);

// The name of Outlook's private format that marks a drag of its items.
inline constexpr const wchar_t* kRenPrivateSourceFolder = L"RenPrivateSourceFolder";

// Whether the data object offers a format named exactly (case matters)
// "RenPrivateSourceFolder"; the enumeration stops at the first match. A
// data object that cannot enumerate its formats raises its EOleSysError.
bool HasRenPrivateSourceFolder(DataObject& dataObject);

// ---- The drop target -------------------------------------------------------

// A window's drop target. The window's owner holds it (std::unique_ptr) for
// as long as the window handle stays the same; destroying it revokes the
// registration, after which drags over the window are refused by the
// platform. The callbacks never throw: an exception raised by a handler or
// by the target's own work is shown with ShowCurrentException and answered
// with E_UNEXPECTED; every other call answers S_OK.
class TShellDropTarget final : public DropTargetCallbacks {
 public:
  // Registers the window through the DragDrop port; a refused registration
  // raises EOleSysError and no target exists.
  explicit TShellDropTarget(WindowHandle handle);
  ~TShellDropTarget();
  TShellDropTarget(const TShellDropTarget&) = delete;
  TShellDropTarget& operator=(const TShellDropTarget&) = delete;

  WindowHandle Handle() const noexcept { return FHandle; }

  // Sets Effect to copy, clears the active handler and asks the handlers in
  // registration order; the first that accepts becomes the active handler
  // and later ones are not asked. Effect is none when no handler accepts.
  // After an exception Effect is whatever it was (copy unless the handler
  // changed it) and there is no active handler.
  OleResult DragEnter(DataObject& dataObject, std::uint32_t keyState, std::uint32_t& effect) noexcept override;
  // Copy and the active handler's DragOver, or none without one.
  OleResult DragOver(std::uint32_t keyState, std::uint32_t& effect) noexcept override;
  // The active handler's DragLeave, then no active handler. After an
  // exception the handler stays active until the next DragEnter.
  OleResult DragLeave() noexcept override;
  // Copy and the active handler's Drop, then no active handler; none and
  // nothing else without one, so the source is never told its data moved
  // when no handler took it. After an exception the handler stays active
  // until the next DragEnter.
  OleResult Drop(DataObject& dataObject, std::uint32_t keyState, std::uint32_t& effect) noexcept override;

 private:
  WindowHandle FHandle;
  std::unique_ptr<DropTargetRegistration> FRegistration;
};

}  // namespace ostrevin
