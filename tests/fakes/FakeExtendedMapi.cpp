// FakeExtendedMapi.cpp - an in-memory Extended MAPI for native tests.
#include "fakes/FakeExtendedMapi.h"

#include <algorithm>

#include "platform/OleError.h"

namespace ostrevin {

namespace {

void Check(std::int32_t result) {
  if (result < 0) throw EOleSysError(result, L"");
}

}  // namespace

// Counts itself among the fake's live objects.
class FakeMapiObject {
 public:
  explicit FakeMapiObject(FakeExtendedMapi& owner) : FOwner(owner) { ++FOwner.FLiveObjects; }
  ~FakeMapiObject() { --FOwner.FLiveObjects; }
  FakeMapiObject(const FakeMapiObject&) = delete;
  FakeMapiObject& operator=(const FakeMapiObject&) = delete;

 protected:
  FakeExtendedMapi& FOwner;
};

namespace {

class FakeSession : public MapiSession, FakeMapiObject {
 public:
  FakeSession(FakeExtendedMapi& owner, std::string profile) : FakeMapiObject(owner), FProfile(std::move(profile)) {}
  std::int32_t Logoff(WindowHandle parent, std::uint32_t flags) override {
    FOwner.Logoffs.push_back({FProfile, parent, flags});
    return FOwner.LogoffResult;
  }

 private:
  std::string FProfile;
};

class FakeTable : public MapiTable, FakeMapiObject {
 public:
  using FakeMapiObject::FakeMapiObject;
  std::vector<TMapiRow> QueryRows(std::int32_t maxRows, std::uint32_t /*flags*/) override {
    FOwner.QueryRowsMaxRows.push_back(maxRows);
    const auto& rows = FOwner.ProfileRows;
    if (FOwner.QueryRowsFailAfter >= 0 && FCursor >= static_cast<std::size_t>(FOwner.QueryRowsFailAfter))
      Check(kMapiECallFailed);
    const std::size_t end = std::min(rows.size(), FCursor + static_cast<std::size_t>(std::max(maxRows, 0)));
    std::vector<TMapiRow> result(rows.begin() + static_cast<std::ptrdiff_t>(FCursor),
                                 rows.begin() + static_cast<std::ptrdiff_t>(end));
    FCursor = end;
    return result;
  }

 private:
  std::size_t FCursor = 0;
};

class FakeProfileAdmin : public MapiProfileAdmin, FakeMapiObject {
 public:
  using FakeMapiObject::FakeMapiObject;
  std::unique_ptr<MapiTable> GetProfileTable(std::uint32_t /*flags*/) override {
    Check(FOwner.GetProfileTableResult);
    return std::make_unique<FakeTable>(FOwner);
  }
};

class FakeLibrary : public MapiLibrary, FakeMapiObject {
 public:
  using FakeMapiObject::FakeMapiObject;
  void Initialize() override {
    ++FOwner.InitializeCalls;
    Check(FOwner.InitializeResult);
  }
  void Uninitialize() noexcept override { ++FOwner.UninitializeCalls; }
  std::shared_ptr<MapiSession> LogonEx(WindowHandle parent, const std::string& profile,
                                       std::uint32_t flags) override {
    FOwner.Logons.push_back({parent, profile, flags});
    Check(FOwner.LogonResult);
    return std::make_shared<FakeSession>(FOwner, profile);
  }
  std::unique_ptr<MapiProfileAdmin> AdminProfiles(std::uint32_t /*flags*/) override {
    Check(FOwner.AdminProfilesResult);
    return std::make_unique<FakeProfileAdmin>(FOwner);
  }
};

}  // namespace

std::unique_ptr<MapiLibrary> FakeExtendedMapi::LoadMapiLibrary() {
  if (!LibraryPresent) return nullptr;
  ++LibraryLoads;
  return std::make_unique<FakeLibrary>(*this);
}

void FakeExtendedMapi::AddProfile(const std::string& ansiName, bool isDefault) {
  TMapiPropValue flag;
  flag.FPropTag = kPrDefaultProfile;
  flag.FScalar = isDefault ? 1 : 0;
  TMapiPropValue name;
  name.FPropTag = MakePropTag(PropType::String8, kPrDisplayNameId);
  name.FBytes.emplace_back(ansiName.begin(), ansiName.end());
  ProfileRows.push_back({flag, name});
}

}  // namespace ostrevin
