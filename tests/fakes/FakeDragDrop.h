// FakeDragDrop.h - in-memory drag and drop for native tests.
//
// FakeDataObject offers a list of clipboard formats and can refuse to
// enumerate them; FakeDragDrop keeps a table of registered format names and
// a record of every drop-target registration:
//
//   FakeDragDrop dragDrop;
//   ScopedPort<DragDrop> install(dragDrop);
//   FakeDataObject outlook({1 /* CF_TEXT */, dragDrop.RegisterFormat(L"RenPrivateSourceFolder")});
//   TShellDropTarget target(0x1234);
//   dragDrop.TargetOf(0x1234)->DragEnter(outlook, 0, effect);
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/DragDrop.h"

namespace ostrevin {

class FakeDataObject : public DataObject {
 public:
  explicit FakeDataObject(std::vector<std::uint16_t> formats = {}) : Formats(std::move(formats)) {}

  // Raises EOleSysError(FailureCode) when FailEnumeration is set.
  std::unique_ptr<ClipboardFormatEnumerator> EnumFormats() override;

  std::vector<std::uint16_t> Formats;
  bool FailEnumeration = false;
  std::int32_t FailureCode = static_cast<std::int32_t>(0x80004005u);  // E_FAIL
  // Formats handed out by all enumerators so far.
  int FormatsFetched = 0;
};

class FakeDragDrop : public DragDrop {
 public:
  struct Registration {
    WindowHandle Window = 0;
    DropTargetCallbacks* Callbacks = nullptr;
    bool Revoked = false;
  };

  std::wstring RegisteredClipboardFormatName(std::uint16_t format) const override;
  std::unique_ptr<DropTargetRegistration> RegisterDropTarget(WindowHandle window,
                                                             DropTargetCallbacks& callbacks) override;

  // Set-up: registers a format name and returns its number (0xC000 and up,
  // as the platform numbers them); a name registered before gives its number.
  // Names compare exactly here, so names that differ in case only get
  // numbers of their own (the platform would give the first one's number).
  std::uint16_t RegisterFormat(const std::wstring& name);
  // Window handles whose registration is refused with this result.
  std::map<WindowHandle, std::int32_t> RefusedWindows;

  // Every registration made, in order, revoked ones included.
  const std::deque<Registration>& Registrations() const { return FRegistrations; }
  // The callbacks of the window's live registration, or null.
  DropTargetCallbacks* TargetOf(WindowHandle window) const;

 private:
  std::map<std::uint16_t, std::wstring> FFormatNames;
  std::deque<Registration> FRegistrations;
};

}  // namespace ostrevin
