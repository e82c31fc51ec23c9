// StartUp.cpp - runs the modules' start-up in a fixed order and their shutdown in reverse.
#include "app/StartUp.h"

#include "foundation/ExceptionDisplay.h"

namespace ostrevin {

TModuleStartUp::TModuleStartUp(std::span<const TModuleRow> rows) : FRows(rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    try {
      if (rows[i].Initialize != nullptr) rows[i].Initialize();
    } catch (...) {
      FinalizeFirst(i);
      throw;
    }
  }
}

TModuleStartUp::~TModuleStartUp() { FinalizeFirst(FRows.size()); }

void TModuleStartUp::FinalizeFirst(std::size_t count) noexcept {
  for (std::size_t i = count; i-- > 0;) {
    try {
      if (FRows[i].Finalize != nullptr) FRows[i].Finalize();
    } catch (...) {
      ShowCurrentException();
    }
  }
}

}  // namespace ostrevin
