// ModuleTable_win.h - the program's modules in the order they start.
#pragma once

#include <span>

#include "app/StartUp.h"

namespace ostrevin {

// Library modules first (COM and OLE, the application object), then the
// framework's modules, then the program's.
std::span<const TModuleRow> ProgramModules();

}  // namespace ostrevin
