// WineDetection.h - does the process run under Wine?
//
// Answered once, from the version resource of the system module "kernel32"
// (Wine names itself as its product), and kept for the life of the process.
// Without a version resource the answer is whether the environment variable
// WINESERVER names an existing file.
#pragma once

namespace ostrevin {

bool IsWine();

// Module state: Finalize forgets the answer, so the next IsWine asks again.
void InitializeWineDetection();
void FinalizeWineDetection();

}  // namespace ostrevin
