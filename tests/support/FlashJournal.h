// FlashJournal.h - records the flash messages code shows, for tests of their exact texts.
//
//   FlashJournal flashes;                 // installs itself as the busy-state hooks
//   MapiLogon(session, L"Work", true);
//   EXPECT_EQ(flashes.Events, (std::vector<std::wstring>{L"show Connecting to MAPI...", L"end Connecting to MAPI..."}));
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/BusyState.h"

namespace ostrevin {

// Flash messages as "show <text>" and "end <text>", in order.
class FlashJournal {
 public:
  FlashJournal() {
    TBusyStateHooks hooks;
    hooks.FCreateFlashMessage = [this](std::wstring_view text) {
      Events.push_back(L"show " + std::wstring(text));
      return std::make_unique<Flash>(Events, text);
    };
    FPrevious = SetBusyStateHooks(std::move(hooks));
  }
  ~FlashJournal() { SetBusyStateHooks(std::move(FPrevious)); }

  std::vector<std::wstring> Events;

 private:
  class Flash : public TFlashObject {
   public:
    Flash(std::vector<std::wstring>& events, std::wstring_view text)
        : TFlashObject(std::wstring(text)), FEvents(events) {}
    ~Flash() override { FEvents.push_back(L"end " + Msg()); }

   private:
    std::vector<std::wstring>& FEvents;
  };
  TBusyStateHooks FPrevious;
};

}  // namespace ostrevin
