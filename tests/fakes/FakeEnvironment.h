// FakeEnvironment.h - in-memory Environment and Modules ports for native tests.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "foundation/TextCompare.h"
#include "platform/Environment.h"
#include "platform/Modules.h"

namespace ostrevin {

class FakeEnvironment : public Environment {
 public:
  std::optional<std::wstring> Variable(std::wstring_view name) const override {
    auto it = FVariables.find(FoldCase(name));
    if (it == FVariables.end()) return std::nullopt;
    return it->second;
  }
  void Set(std::wstring_view name, std::wstring value) { FVariables[FoldCase(name)] = std::move(value); }
  void Unset(std::wstring_view name) { FVariables.erase(FoldCase(name)); }

 private:
  std::map<std::wstring, std::wstring> FVariables;
};

class FakeModules : public Modules {
 public:
  std::wstring ExecutableFileName() const override { return FExecutable; }
  std::wstring DataModuleFileName(std::wstring_view moduleName) const override {
    auto it = FModuleFiles.find(FoldCase(moduleName));
    return it == FModuleFiles.end() ? std::wstring() : it->second;
  }
  std::vector<std::uint8_t> VersionResource(std::wstring_view fileName) const override {
    ++FVersionReads;
    auto it = FVersionBlocks.find(FoldCase(fileName));
    return it == FVersionBlocks.end() ? std::vector<std::uint8_t>() : it->second;
  }

  void SetExecutable(std::wstring path) { FExecutable = std::move(path); }
  void SetModuleFile(std::wstring_view moduleName, std::wstring path) { FModuleFiles[FoldCase(moduleName)] = std::move(path); }
  void SetVersionResource(std::wstring_view fileName, std::vector<std::uint8_t> block) {
    FVersionBlocks[FoldCase(fileName)] = std::move(block);
  }
  // How often a version resource was read.
  int VersionReads() const { return FVersionReads; }

 private:
  std::wstring FExecutable = L"C:\\Program Files\\Ostrevin\\ostrevin.exe";
  std::map<std::wstring, std::wstring> FModuleFiles;
  std::map<std::wstring, std::vector<std::uint8_t>> FVersionBlocks;
  mutable int FVersionReads = 0;
};

}  // namespace ostrevin
