// ModuleTable_win.cpp - the program's modules in the order they start.
#include "app/ModuleTable_win.h"

#include "dragdrop/VemFxShellDragDrop.h"
#include "forms/Forms_win.h"
#include "forms/VemForms_win.h"
#include "forms/VemLXForms_win.h"
#include "outlook/OutlookDragDropHandler.h"
#include "outlook/VemMapiUtils.h"
#include "outlook/VemOutlookUtils.h"
#include "foundation/BusyState.h"
#include "foundation/OfficeInstall.h"
#include "foundation/VemSysUtils.h"
#include "foundation/VemLXCRC32.h"
#include "foundation/VemLXVerUtils.h"
#include "foundation/WineDetection.h"
#include "platform/WinApi_win.h"
#include "translation/VemTrxDfmUtils.h"
#include "translation/VemTrxTypes.h"

#include <ole2.h>

namespace ostrevin {

namespace {

// The main thread is a single-threaded apartment with OLE.
void InitializeComObj() {
  if (FAILED(OleInitialize(nullptr))) throw EVemGeneralError(L"OLE cannot be initialised on the main thread.");
}
void FinalizeComObj() { OleUninitialize(); }

// System information, the Office table and the host checks.
void InitializeVemLXUtils() {
  InitializeVemLXVerUtils();
  InitializeWineDetection();
  InitializeOfficeInstall();
}
void FinalizeVemLXUtils() {
  FinalizeOfficeInstall();
  FinalizeWineDetection();
  FinalizeVemLXVerUtils();
}

const TModuleRow kModules[] = {
    {L"ComObj", InitializeComObj, FinalizeComObj},
    {L"Forms", InitializeApplication, FinalizeApplication},
    {L"VemLXUtils", InitializeVemLXUtils, FinalizeVemLXUtils},
    {L"VemFxShellDragDrop", InitializeVemFxShellDragDrop, FinalizeVemFxShellDragDrop},
    {L"VemForms", InitializeVemForms, FinalizeVemForms},
    {L"VemLXForms", InitializeVemLXForms, FinalizeVemLXForms},
    {L"VemLXVclUtils", InstallWindowedBusyHooks, RemoveWindowedBusyHooks},
    {L"VemLXCRC32", InitializeVemLXCRC32, nullptr},
    {L"VemTrxTypes", InitializeVemTrxTypes, FinalizeVemTrxTypes},
    {L"VemTrxDfmUtils", InitializeVemTrxDfmUtils, FinalizeVemTrxDfmUtils},
    {L"VemMapiUtils", InitializeMapiHelperLibrary, FinalizeMapiHelperLibrary},
    // Its finalisation logs the shared session off, before MAPI stops.
    {L"VemOutlookUtils", nullptr, FinalizeVemOutlookUtils},
    {L"OutlookDragDropHandler", InitializeOutlookDragDropHandler, FinalizeOutlookDragDropHandler},
};

}  // namespace

std::span<const TModuleRow> ProgramModules() { return kModules; }

}  // namespace ostrevin
