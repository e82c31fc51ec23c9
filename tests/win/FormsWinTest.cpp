// FormsWinTest.cpp - the plain form and TVemFormLX with real windows.
#include <gtest/gtest.h>

#include "forms/Forms_win.h"
#include "forms/VemForms_win.h"
#include "forms/VemLXForms_win.h"
#include "forms/VemTrxForms_win.h"
#include "foundation/VemSysUtils.h"
#include "support/RaisedMessage.h"

namespace ostrevin {
namespace {

class TTestForm : public TVemFormLX {
 public:
  std::vector<std::wstring> ClassChain() const override { return {L"TTestForm", L"TVemFormLX"}; }
  int FColorChanges = 0;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
    if (message == WM_SYSCOLORCHANGE) ++FColorChanges;
    return TVemFormLX::HandleMessage(message, wParam, lParam, handled);
  }
};

class TUndesignedForm : public TVemFormLX {
 public:
  std::vector<std::wstring> ClassChain() const override { return {L"TUndesignedForm", L"TVemFormLX"}; }
};

ControlDesign Control(ControlKind kind, std::wstring name, int left, int top, int width, int height,
                      std::wstring caption = {}) {
  return MakeControlDesign(kind, std::move(name), left, top, width, height, {0, std::move(caption)});
}

FormDesign TestDesign() {
  FormDesign design;
  design.ClassName = L"TVemFormLX";
  design.Caption.Literal = L"Framework window";
  design.ClientWidth = 200;
  design.ClientHeight = 120;
  design.Position = FormPosition::ScreenCenter;
  design.Controls = {
      Control(ControlKind::MultiLineEdit, L"Memo", 8, 8, 180, 40, L"first line\r\nsecond line"),
      Control(ControlKind::ListBox, L"List", 8, 56, 180, 40),
  };
  return design;
}

class FormsWin : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeApplication();
    InitializeVemForms();
    InitializeVemLXForms();
    RegisterFormDesign(TestDesign());
    FMain = CreateForm<TTestForm>();
    Application().SetMainForm(FMain.get());
    FMain->Show();
    SetActiveWindow(FMain->Handle());
    FOther = CreateForm<TTestForm>();
    FOther->Show();
    FModal = CreateForm<TTestForm>();
    SetActiveWindow(FOther->Handle());
    Application().ProcessMessages();
  }
  void TearDown() override {
    FModal.reset();
    FOther.reset();
    FMain.reset();
    UnregisterFormDesign(L"TVemFormLX");
    FinalizeVemLXForms();
    FinalizeVemForms();
    FinalizeApplication();
  }

  std::unique_ptr<TTestForm> FMain, FOther, FModal;
};

TEST_F(FormsWin, StartModalDisablesOtherWindowsAndStopModalRestoresThem) {
  ASSERT_EQ(GetActiveWindow(), FOther->Handle());
  FModal->StartModal();
  Application().ProcessMessages();
  EXPECT_TRUE(FModal->Visible());
  EXPECT_TRUE(FModal->IsModal());
  EXPECT_FALSE(IsWindowEnabled(FMain->Handle()));
  EXPECT_FALSE(IsWindowEnabled(FOther->Handle()));
  EXPECT_TRUE(IsWindowEnabled(FModal->Handle()));

  SetActiveWindow(FModal->Handle());
  FModal->StopModal();
  Application().ProcessMessages();
  EXPECT_FALSE(FModal->Visible());
  EXPECT_TRUE(IsWindowEnabled(FMain->Handle()));
  EXPECT_TRUE(IsWindowEnabled(FOther->Handle()));
  EXPECT_EQ(GetActiveWindow(), FOther->Handle());
}

TEST_F(FormsWin, StartModalRefusalsChangeNothing) {
  EXPECT_EQ(RaisedMessage<EInvalidOperation>([&] { FOther->StartModal(); }), L"Cannot make a visible window modal");
  EXPECT_EQ(RaisedMessage<EVemInternalError>([&] { FMain->StartModal(); }),
            L"Internal Error: This operation is not valid for a main or MDI form.");
  EXPECT_EQ(RaisedMessage<EVemInternalError>([&] { FMain->StopModal(); }),
            L"Internal Error: This operation is not valid for a main or MDI form.");
  EnableWindow(FModal->Handle(), FALSE);
  EXPECT_EQ(RaisedMessage<EVemGeneralError>([&] { FModal->StartModal(); }), L"Cannot make a disabled window modal");
  for (TTestForm* form : {FMain.get(), FOther.get()}) EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  EXPECT_FALSE(FModal->Visible());
}

TEST_F(FormsWin, StopModalAfterLosingTheActivationKeepsTheActiveWindow) {
  FModal->StartModal();
  Application().ProcessMessages();
  FModal->StopModal();  // the modal form is not the active window now
  EXPECT_TRUE(IsWindowEnabled(FOther->Handle()));
  EXPECT_NE(GetActiveWindow(), FModal->Handle());
}

TEST_F(FormsWin, CtrlASelectsAllInAnEditButNotInAList) {
  TControlWindow* memo = FOther->FindControl(L"Memo");
  TControlWindow* list = FOther->FindControl(L"List");
  ASSERT_NE(memo, nullptr);
  ASSERT_NE(list, nullptr);
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);

  MSG msg{memo->Handle, WM_KEYDOWN, 'A', 0, 0, {}};
  SetFocus(memo->Handle);
  EXPECT_TRUE(FOther->IsShortCut(msg));
  DWORD start = 1, end = 0;
  SendMessageW(memo->Handle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthW(memo->Handle)));

  SetFocus(list->Handle);
  msg.hwnd = list->Handle;
  EXPECT_FALSE(FOther->IsShortCut(msg));

  keys[VK_CONTROL] = 0;
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  SetFocus(memo->Handle);
  EXPECT_FALSE(FOther->IsShortCut(msg));  // Shift+A is typing
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
}

TEST_F(FormsWin, SystemColourChangeReachesEveryFormOnce) {
  SendMessageW(Application().Handle(), WM_SYSCOLORCHANGE, 0, 0);
  for (TTestForm* form : {FMain.get(), FOther.get(), FModal.get()}) EXPECT_EQ(form->FColorChanges, 1);
}

TEST_F(FormsWin, DesignIsFoundThroughTheClassChainOrRaises) {
  EXPECT_EQ(FMain->Design().ClassName, L"TTestForm");
  wchar_t caption[64] = {};
  GetWindowTextW(FMain->Handle(), caption, 64);
  EXPECT_STREQ(caption, L"Framework window");
  UnregisterFormDesign(L"TVemFormLX");
  EXPECT_EQ(RaisedMessage<EResNotFound>([] { CreateForm<TUndesignedForm>(); }), L"Resource TUndesignedForm not found");
}

TEST_F(FormsWin, ApplicationWindowNeverShowsATaskBarButton) {
  const LONG_PTR exStyle = GetWindowLongPtrW(Application().Handle(), GWL_EXSTYLE);
  EXPECT_NE(exStyle & WS_EX_TOOLWINDOW, 0);
  EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0);
}

class TTrxTestForm : public TVemTrxForm {
 public:
  std::vector<std::wstring> ClassChain() const override { return {L"TTrxTestForm", L"TVemTrxForm", L"TVemFormLX"}; }
};

TEST_F(FormsWin, TranslatablePropertiesComeFromTheDesignAndFollowRenames) {
  FormDesign design;
  design.ClassName = L"TTrxTestForm";
  design.Controls = {Control(ControlKind::Button, L"CancelBtn", 8, 8, 75, 25, L"Cancel"),
                     Control(ControlKind::Button, L"OKBtn", 90, 8, 75, 25, L"OK")};
  design.Properties[L"VemTranslatableProps.Strings"] = L"(\n  'Caption'\n  'CancelBtn.Caption'\n  'Caption')";
  RegisterFormDesign(design);
  auto form = CreateForm<TTrxTestForm>();
  UnregisterFormDesign(L"TTrxTestForm");
  EXPECT_EQ(form->VemTranslatableProps().ToArray(), (std::vector<std::wstring>{L"CancelBtn.Caption", L"Caption"}));

  form->RenameControl(L"CancelBtn", L"CloseBtn");
  EXPECT_EQ(form->VemTranslatableProps().ToArray(), (std::vector<std::wstring>{L"Caption", L"CloseBtn.Caption"}));
  EXPECT_NE(form->FindControl(L"CloseBtn"), nullptr);
  EXPECT_EQ(RaisedMessage<EComponentError>([&] { form->RenameControl(L"CloseBtn", L"okbtn"); }),
            L"A component named okbtn already exists");
  EXPECT_EQ(form->VemTranslatableProps().ToArray(), (std::vector<std::wstring>{L"Caption", L"CloseBtn.Caption"}));

  // The base class itself has no design and is created empty.
  auto plain = CreateForm<TVemTrxForm>();
  EXPECT_TRUE(plain->HandleAllocated());
  EXPECT_EQ(plain->VemTranslatableProps().Count(), 0);
}

}  // namespace
}  // namespace ostrevin
