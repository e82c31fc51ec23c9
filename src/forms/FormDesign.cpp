// FormDesign.cpp - the registry of form designs by class name.
#include "forms/FormDesign.h"

#include <utility>

namespace ostrevin {

namespace {
std::map<std::wstring, FormDesign, std::less<>>& Designs() {
  static std::map<std::wstring, FormDesign, std::less<>> designs;
  return designs;
}
}  // namespace

ControlDesign MakeControlDesign(ControlKind kind, std::wstring name, int left, int top, int width, int height,
                                DesignText caption) {
  ControlDesign control;
  control.Kind = kind;
  control.Name = std::move(name);
  control.Left = left;
  control.Top = top;
  control.Width = width;
  control.Height = height;
  control.Caption = std::move(caption);
  return control;
}

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
