// FormDesign.cpp - the registry of form designs by class name.
#include "forms/FormDesign.h"

namespace ostrevin {

namespace {
std::map<std::wstring, FormDesign, std::less<>>& Designs() {
  static std::map<std::wstring, FormDesign, std::less<>> designs;
  return designs;
}
}  // namespace

void RegisterFormDesign(FormDesign design) {
  std::wstring name = design.ClassName;
  Designs()[std::move(name)] = std::move(design);
}

void UnregisterFormDesign(std::wstring_view className) {
  if (auto it = Designs().find(className); it != Designs().end()) Designs().erase(it);
}

const FormDesign* FindFormDesign(const std::vector<std::wstring>& classChain) {
  for (const std::wstring& name : classChain)
    if (auto it = Designs().find(name); it != Designs().end()) return &it->second;
  return nullptr;
}

}  // namespace ostrevin
