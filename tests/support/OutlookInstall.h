// OutlookInstall.h - an Outlook installation in the fake registry and file system, for tests of what depends on it.
#pragma once

#include <string>

#include "fakes/FakePlatform.h"
#include "foundation/Registry.h"

namespace ostrevin {

// Outlook 16 of that build, as the Office table finds it: its InstallRoot
// in the registry view of the build and its executable in that folder. The
// Office table is read at its next question (call FinalizeOfficeInstall
// when it has been read already).
inline void InstallFakeOutlook(FakePlatform& platform, bool is64Bit) {
  const std::wstring folder = is64Bit ? L"C:\\Program Files\\Microsoft Office\\Office16\\"
                                      : L"C:\\Program Files (x86)\\Microsoft Office\\Office16\\";
  platform.Registry
      .KeyNode(RegistryRoot::LocalMachine, L"Software\\Microsoft\\Office\\16.0\\Outlook\\InstallRoot",
               is64Bit ? RegAccess::Wow64_64Key : RegAccess::Wow64_32Key)
      .Values[L"path"] = {L"Path", MakeStringValue(folder)};
  platform.Files.AddFile(folder + L"OUTLOOK.EXE");
}

}  // namespace ostrevin
