// FakeRegistryStore.cpp - an in-memory registry for native tests.
#include "fakes/FakeRegistryStore.h"

#include <vector>

#include "foundation/TextCompare.h"

namespace ostrevin {

namespace {

constexpr std::uint32_t kWriteRights = 0x0006;  // KEY_SET_VALUE | KEY_CREATE_SUB_KEY

std::vector<std::wstring> SplitPath(std::wstring_view path) {
  std::vector<std::wstring> names;
  std::wstring name;
  for (wchar_t c : path) {
    if (c == L'\\') {
      if (!name.empty()) names.push_back(name);
      name.clear();
    } else {
      name.push_back(c);
    }
  }
  if (!name.empty()) names.push_back(name);
  return names;
}

class FakeKey : public RegistryKey {
 public:
  FakeKey(std::shared_ptr<FakeRegistryStore::Node> node, bool writable)
      : FNode(std::move(node)), FWritable(writable) {}

  std::optional<RegistryValue> QueryValue(std::wstring_view name) const override {
    auto it = FNode->Values.find(FoldCase(name));
    if (it == FNode->Values.end()) return std::nullopt;
    return it->second.second;
  }
  bool SetValue(std::wstring_view name, const RegistryValue& value) override {
    if (!FWritable) return false;
    FNode->Values[FoldCase(name)] = {std::wstring(name), value};
    return true;
  }
  bool DeleteValue(std::wstring_view name) override {
    return FWritable && FNode->Values.erase(FoldCase(name)) != 0;
  }
  std::vector<std::wstring> ValueNames() const override {
    std::vector<std::wstring> names;
    for (const auto& [key, entry] : FNode->Values) names.push_back(entry.first);
    return names;
  }
  std::vector<std::wstring> SubKeyNames() const override {
    std::vector<std::wstring> names;
    for (const auto& [key, entry] : FNode->Children) names.push_back(entry.first);
    return names;
  }

 private:
  std::shared_ptr<FakeRegistryStore::Node> FNode;
  bool FWritable;
};

}  // namespace

std::shared_ptr<FakeRegistryStore::Node>& FakeRegistryStore::Tree(RegistryRoot root, std::uint32_t access) {
  const bool view32 = root == RegistryRoot::LocalMachine && (access & RegAccess::Wow64_32Key) != 0;
  auto& tree = FTrees[{static_cast<std::uint32_t>(root), view32}];
  if (!tree) tree = std::make_shared<Node>();
  return tree;
}

std::shared_ptr<FakeRegistryStore::Node> FakeRegistryStore::Find(RegistryRoot root, std::wstring_view path,
                                                                 std::uint32_t access, bool create) {
  std::shared_ptr<Node> node = Tree(root, access);
  for (const std::wstring& name : SplitPath(path)) {
    auto it = node->Children.find(FoldCase(name));
    if (it == node->Children.end()) {
      if (!create) return nullptr;
      it = node->Children.emplace(FoldCase(name), std::make_pair(name, std::make_shared<Node>())).first;
    }
    node = it->second.second;
  }
  return node;
}

std::unique_ptr<RegistryKey> FakeRegistryStore::OpenKey(RegistryRoot root, std::wstring_view path,
                                                        std::uint32_t access, bool create) {
  ++FOpenCount;
  std::shared_ptr<Node> node = Find(root, path, access, create);
  if (!node) return nullptr;
  const bool writable = (access & kWriteRights) != 0;
  if (writable && node->ReadOnly) return nullptr;
  return std::make_unique<FakeKey>(node, writable);
}

bool FakeRegistryStore::DeleteKeyTree(RegistryRoot root, std::wstring_view path, std::uint32_t access) {
  std::vector<std::wstring> names = SplitPath(path);
  if (names.empty()) return false;
  const std::wstring last = names.back();
  names.pop_back();
  std::wstring parentPath;
  for (const auto& name : names) parentPath += name + L"\\";
  std::shared_ptr<Node> parent = Find(root, parentPath, access, false);
  return parent && parent->Children.erase(FoldCase(last)) != 0;
}

FakeRegistryStore::Node& FakeRegistryStore::KeyNode(RegistryRoot root, std::wstring_view path, std::uint32_t access) {
  return *Find(root, path, access, true);
}

}  // namespace ostrevin
