// FakeDragDrop.cpp - in-memory drag and drop for native tests.
#include "fakes/FakeDragDrop.h"

#include "platform/OleError.h"

namespace ostrevin {

namespace {

class FakeFormatEnumerator : public ClipboardFormatEnumerator {
 public:
  explicit FakeFormatEnumerator(FakeDataObject& owner) : FOwner(owner) {}
  bool Next(std::uint16_t& format) override {
    if (FNext >= FOwner.Formats.size()) return false;
    format = FOwner.Formats[FNext++];
    ++FOwner.FormatsFetched;
    return true;
  }

 private:
  FakeDataObject& FOwner;
  std::size_t FNext = 0;
};

class FakeRegistration : public DropTargetRegistration {
 public:
  explicit FakeRegistration(FakeDragDrop::Registration& record) : FRecord(record) {}
  ~FakeRegistration() override { FRecord.Revoked = true; }

 private:
  FakeDragDrop::Registration& FRecord;
};

}  // namespace

std::unique_ptr<ClipboardFormatEnumerator> FakeDataObject::EnumFormats() {
  if (FailEnumeration) throw EOleSysError(FailureCode, L"Unspecified error");
  return std::make_unique<FakeFormatEnumerator>(*this);
}

std::wstring FakeDragDrop::RegisteredClipboardFormatName(std::uint16_t format) const {
  const auto found = FFormatNames.find(format);
  return found != FFormatNames.end() ? found->second : std::wstring();
}

std::unique_ptr<DropTargetRegistration> FakeDragDrop::RegisterDropTarget(WindowHandle window,
                                                                         DropTargetCallbacks& callbacks) {
  if (const auto refused = RefusedWindows.find(window); refused != RefusedWindows.end())
    throw EOleSysError(refused->second, L"Invalid window handle");
  if (TargetOf(window) != nullptr) throw EOleSysError(static_cast<std::int32_t>(0x80040101u), L"Already registered");
  FRegistrations.push_back({window, &callbacks, false});
  return std::make_unique<FakeRegistration>(FRegistrations.back());
}

std::uint16_t FakeDragDrop::RegisterFormat(const std::wstring& name) {
  for (const auto& [format, registered] : FFormatNames)
    if (registered == name) return format;
  const auto format = static_cast<std::uint16_t>(0xC000 + FFormatNames.size());
  FFormatNames[format] = name;
  return format;
}

DropTargetCallbacks* FakeDragDrop::TargetOf(WindowHandle window) const {
  for (const Registration& record : FRegistrations)
    if (record.Window == window && !record.Revoked) return record.Callbacks;
  return nullptr;
}

}  // namespace ostrevin
