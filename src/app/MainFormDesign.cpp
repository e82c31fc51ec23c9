// MainFormDesign.cpp - the design of TForm1, the main window.
#include "app/MainForm_win.h"
#include "app/Resources.h"

namespace ostrevin {

FormDesign MainFormDesign() {
  FormDesign design;
  design.ClassName = L"TForm1";
  design.Caption = {IDS_MAINFORM_CAPTION, L"Ostrevin"};
  design.ClientWidth = 594;
  design.ClientHeight = 375;
  design.BorderStyle = FormBorderStyle::Single;
  design.Icons = {.SystemMenu = true, .Minimize = true, .Maximize = false};
  design.Position = FormPosition::ScreenCenter;
  design.Color = kBlack;
  design.Font = {L"Tahoma", 11, kDefaultColor};

  ControlDesign label1 = MakeControlDesign(ControlKind::Label, L"Label1", 50, 128, 500, 52,
                                           {IDS_MAINFORM_LABEL1, L"Drag emails here!"});
  label1.Alignment = TextAlignment::Center;
  label1.HasFont = true;
  label1.Font = {L"Tahoma", 43, kLime};

  ControlDesign label2 = label1;
  label2.Name = L"Label2";
  label2.Top = 208;
  label2.Height = 13;
  label2.Caption = {IDS_MAINFORM_LABEL2, L"(You will be prompted to select a folder to save attachments.)"};
  label2.Font = {L"Tahoma", 11, kLime};

  design.Controls = {label1, label2};
  return design;
}

}  // namespace ostrevin
