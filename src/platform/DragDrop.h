// DragDrop.h - port: OLE drag and drop as the drop target's logic sees it.
//
// A window becomes a drop target by registering a DropTargetCallbacks object
// for its handle; the platform then calls the four callbacks on the window's
// thread while a drag moves over the window. The dragged data is seen only
// as the list of clipboard formats it offers:
//
//   auto registration = Current<DragDrop>().RegisterDropTarget(window, callbacks);
//   ...                                     // drags reach `callbacks`
//   registration.reset();                   // revoked: drags are refused
//
// Results are 32-bit OLE result codes (HRESULT); effects and key states are
// the OLE drop-effect and key-state words.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/WindowHandle.h"

namespace ostrevin {

// A 32-bit OLE result code.
using OleResult = std::int32_t;
inline constexpr OleResult kOleOk = 0;                                          // S_OK
inline constexpr OleResult kOleUnexpected = static_cast<OleResult>(0x8000FFFFu);  // E_UNEXPECTED

// The drop-effect word: what the target would do with the dropped data.
namespace DropEffect {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t Copy = 1;
inline constexpr std::uint32_t Move = 2;
inline constexpr std::uint32_t Link = 4;
}  // namespace DropEffect

// The formats a data object offers, one at a time.
class ClipboardFormatEnumerator {
 public:
  virtual ~ClipboardFormatEnumerator() = default;
  // The next format; false at the end. A fetch that fails ends the
  // enumeration too (it is not an error).
  virtual bool Next(std::uint16_t& format) = 0;
};

// A dragged data object. It is borrowed for the duration of one callback
// and must not be kept after it.
class DataObject {
 public:
  virtual ~DataObject() = default;
  // An enumerator of the formats the object can render. An object that
  // cannot enumerate raises EOleSysError (platform/OleError.h) with the
  // failing result.
  virtual std::unique_ptr<ClipboardFormatEnumerator> EnumFormats() = 0;
};

// What the platform calls during a drag over a registered window. `effect`
// comes in as the effects the drag source allows and goes out as the effect
// the target answers. Must not throw: the platform cannot carry exceptions.
class DropTargetCallbacks {
 public:
  virtual OleResult DragEnter(DataObject& dataObject, std::uint32_t keyState, std::uint32_t& effect) noexcept = 0;
  virtual OleResult DragOver(std::uint32_t keyState, std::uint32_t& effect) noexcept = 0;
  virtual OleResult DragLeave() noexcept = 0;
  virtual OleResult Drop(DataObject& dataObject, std::uint32_t keyState, std::uint32_t& effect) noexcept = 0;

 protected:
  ~DropTargetCallbacks() = default;
};

// A window's registration as a drop target. Destroying it revokes the
// registration (errors ignored) and balances the OLE initialisation it made;
// from then on no callback reaches the callbacks object, even from a drag
// that is still running.
class DropTargetRegistration {
 public:
  virtual ~DropTargetRegistration() = default;
};

class DragDrop {
 public:
  static constexpr const wchar_t* kPortName = L"DragDrop";
  virtual ~DragDrop() = default;

  // The name a registered clipboard format was registered with: at most 254
  // characters (the platform's buffer holds 255 including the terminator).
  // Empty for predefined formats and numbers that name no format; never
  // raises.
  virtual std::wstring RegisteredClipboardFormatName(std::uint16_t format) const = 0;

  // Initialises OLE for the calling thread and registers the window as a
  // drop target whose callbacks go to `callbacks`, which must outlive the
  // registration. A refused registration (no such window, already
  // registered) raises EOleSysError with the platform's result, after
  // balancing the OLE initialisation.
  virtual std::unique_ptr<DropTargetRegistration> RegisterDropTarget(WindowHandle window,
                                                                     DropTargetCallbacks& callbacks) = 0;
};

}  // namespace ostrevin
