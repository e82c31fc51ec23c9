// WineDetection.cpp - does the process run under Wine?
#include "foundation/WineDetection.h"

#include <optional>
#include <string>

#include "foundation/TextCompare.h"
#include "foundation/VemLXVerUtils.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/Modules.h"
#include "platform/Ports.h"

namespace ostrevin {

namespace {

std::optional<bool> gIsWine;

bool DetectWine() {
  FileSystem& files = Current<FileSystem>();
  std::wstring kernel = Current<Modules>().DataModuleFileName(L"kernel32");
  if (!kernel.empty() && !files.FileExists(kernel)) kernel.clear();

  TVersion version{};
  std::wstring productName;
  if (!kernel.empty()) {
    const TFileVersionInfo info(kernel);
    const TVsFixedFileInfo fixed = info.FixedInfo();
    version = VersionFromFixedInfo(fixed.FFileVersionMS, fixed.FFileVersionLS);
    productName = GetVersionInfoString(info, L"ProductName", 0, 0);
  }
  if (IsNullVersion(version)) {
    const std::wstring server = Current<Environment>().Variable(L"WINESERVER").value_or(L"");
    return !server.empty() && files.FileExists(server);
  }
  return SameText(productName, L"Wine");
}

}  // namespace

bool IsWine() {
  if (!gIsWine) gIsWine = DetectWine();
  return *gIsWine;
}

void InitializeWineDetection() { gIsWine.reset(); }

void FinalizeWineDetection() { gIsWine.reset(); }

}  // namespace ostrevin
