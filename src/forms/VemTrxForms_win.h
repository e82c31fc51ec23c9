// VemTrxForms_win.h - TVemTrxForm, the base class of translatable windows.
//
// A translatable form carries in its design the list of its properties that
// hold translatable text ("VemTranslatableProps.Strings"), and keeps the list
// in step when one of its controls is renamed.
#pragma once

#include "forms/VemLXForms_win.h"
#include "translation/VemTrxStringList.h"

namespace ostrevin {

class IVemTrxModule {
 public:
  virtual TVemTrxTranslatableProps& GetVemTranslatableProps() = 0;
  virtual TVemTrxInlineClasses& GetVemInlineClasses() = 0;

 protected:
  ~IVemTrxModule() = default;
};

class TVemTrxForm : public TVemFormLX, public IVemTrxModule {
 public:
  std::vector<std::wstring> ClassChain() const override { return {L"TVemTrxForm", L"TVemFormLX"}; }

  // A derived class reads its design as every form does; TVemTrxForm itself
  // has none and is created empty.
  void Create() override;

  TVemTrxTranslatableProps& GetVemTranslatableProps() override { return FVemTranslatableProps; }
  TVemTrxInlineClasses& GetVemInlineClasses() override { return FVemInlineClasses; }
  const TVemTrxTranslatableProps& VemTranslatableProps() const noexcept { return FVemTranslatableProps; }
  // Replaces the list's contents by a copy of `props`.
  void SetVemTranslatableProps(const TVemStringList& props) { FVemTranslatableProps.AssignStrings(props); }
  void SetVemInlineClasses(const TVemStringList& classes) { FVemInlineClasses.AssignStrings(classes); }

 protected:
  void ReadDesignProperties(const FormDesign& design) override;
  // After the standard check, entries of the renamed control follow its new
  // name; a rename from or to an empty name leaves the list alone.
  void ValidateRename(TControlWindow* component, std::wstring_view curName, std::wstring_view newName) override;

 private:
  TVemTrxTranslatableProps FVemTranslatableProps;
  TVemTrxInlineClasses FVemInlineClasses;
};

}  // namespace ostrevin
