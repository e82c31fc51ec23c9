// MainForm_win.h - TForm1, the program's only main window.
//
// A fixed black window with two lime lines inviting the user to drag mails
// from Outlook onto it. Its creation registers the window as a drop target;
// the registered drop handlers decide what a drag does.
#pragma once

#include <memory>

#include "forms/Forms_win.h"

namespace ostrevin {

class TShellDropTarget;

class TForm1 : public TForm {
 public:
  TForm1();
  ~TForm1() override;
  std::vector<std::wstring> ClassChain() const override { return {L"TForm1", L"TForm"}; }

  // Null when registering the drop target failed.
  TShellDropTarget* DropTarget() const noexcept { return FDropTarget.get(); }

 protected:
  // Creates the drop target for the window; a failure is shown and the
  // window opens without it.
  void FormCreate() override;

 private:
  std::unique_ptr<TShellDropTarget> FDropTarget;
};

// The design of TForm1: its resource, registered once before it is created.
FormDesign MainFormDesign();

}  // namespace ostrevin
