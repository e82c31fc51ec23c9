// VemTrxForms_win.cpp - TVemTrxForm, the base class of translatable windows.
#include "forms/VemTrxForms_win.h"

namespace ostrevin {

void TVemTrxForm::Create() {
  if (ClassChain().front() == L"TVemTrxForm") {
    CreateNew();
    FormCreate();
    return;
  }
  TVemFormLX::Create();
}

void TVemTrxForm::ReadDesignProperties(const FormDesign& design) {
  TVemFormLX::ReadDesignProperties(design);
  if (auto it = design.Properties.find(L"VemTranslatableProps.Strings"); it != design.Properties.end())
    FVemTranslatableProps.ReadStrings(it->second);
  if (auto it = design.Properties.find(L"VemInlineClasses.Strings"); it != design.Properties.end())
    FVemInlineClasses.ReadStrings(it->second);
}

void TVemTrxForm::ValidateRename(TControlWindow* component, std::wstring_view curName, std::wstring_view newName) {
  TVemFormLX::ValidateRename(component, curName, newName);
  FVemTranslatableProps.RenameComponent(curName, newName);
}

}  // namespace ostrevin
