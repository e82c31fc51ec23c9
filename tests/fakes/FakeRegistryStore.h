// FakeRegistryStore.h - an in-memory registry for native tests.
//
// Key names compare ignoring case. HKEY_LOCAL_MACHINE has a 64-bit and a
// 32-bit view (the process's own view is the 64-bit one); the other roots
// have one tree.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/RegistryStore.h"

namespace ostrevin {

class FakeRegistryStore : public RegistryStore {
 public:
  struct Node {
    std::map<std::wstring, std::pair<std::wstring, RegistryValue>> Values;  // folded name -> (name, value)
    std::map<std::wstring, std::pair<std::wstring, std::shared_ptr<Node>>> Children;
    bool ReadOnly = false;  // opening it with write access fails
  };

  std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, std::wstring_view path, std::uint32_t access,
                                       bool create) override;
  bool DeleteKeyTree(RegistryRoot root, std::wstring_view path, std::uint32_t access) override;

  // Set-up: the key (created), in the view `access` selects.
  Node& KeyNode(RegistryRoot root, std::wstring_view path, std::uint32_t access = 0);
  // Keys opened so far, for tests that check what was looked at.
  int OpenCount() const { return FOpenCount; }

 private:
  std::shared_ptr<Node>& Tree(RegistryRoot root, std::uint32_t access);
  std::shared_ptr<Node> Find(RegistryRoot root, std::wstring_view path, std::uint32_t access, bool create);

  std::map<std::pair<std::uint32_t, bool>, std::shared_ptr<Node>> FTrees;
  int FOpenCount = 0;
};

}  // namespace ostrevin
