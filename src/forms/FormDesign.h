// FormDesign.h - a form's design as data: its window and its controls.
//
// A form class's design is what its form resource would hold: caption, client
// size at 96 dpi, border, position, colours and fonts, the controls with kind,
// name, position, size and caption, and further named properties. Designs are
// registered by class name when their module starts and read by the form
// base class when a form is created, searching the form's class chain.
// Texts name a string resource of the program, with the literal as the text
// used when the resource set has none.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevin {

// A text of a design: string resource `ResourceId` (0: none), else `Literal`.
struct DesignText {
  unsigned ResourceId = 0;
  std::wstring Literal;
};

// Colours as 0x00BBGGRR; kDefaultColor leaves the platform's colour.
inline constexpr std::uint32_t kDefaultColor = 0xFFFFFFFF;
inline constexpr std::uint32_t kBlack = 0x000000;
inline constexpr std::uint32_t kLime = 0x00FF00;

inline constexpr std::uint32_t kMaroon = 0x000080;

struct FontDesign {
  std::wstring Name = L"Tahoma";
  int Height = 11;  // character height in pixels at 96 dpi
  std::uint32_t Color = kDefaultColor;
  bool Bold = false;
};

// Bevel: a sunken horizontal rule. FlatButton: a small button that is no
// tab stop.
enum class ControlKind { Label, Button, FlatButton, Edit, MultiLineEdit, CheckBox, ComboBox, ListBox, Bevel };
enum class TextAlignment { Left, Center, Right };

struct ControlDesign {
  ControlKind Kind = ControlKind::Label;
  std::wstring Name;
  int Left = 0, Top = 0, Width = 0, Height = 0;  // at 96 dpi
  DesignText Caption;
  TextAlignment Alignment = TextAlignment::Left;
  bool HasFont = false;  // else the form's font
  FontDesign Font;
  bool Visible = true;
  // A button that Enter presses (default) or Escape presses (cancel).
  bool Default = false;
  bool Cancel = false;
  // A combo box whose list keeps its items sorted.
  bool Sorted = false;
};

// A control of that kind at Left, Top with that size (96 dpi), every other
// field at its default.
ControlDesign MakeControlDesign(ControlKind kind, std::wstring name, int left, int top, int width, int height,
                                DesignText caption = {});

enum class FormBorderStyle { Sizeable, Single, Dialog, ToolWindow, None };
enum class FormPosition { Designed, ScreenCenter, MainFormCenter };

struct BorderIcons {
  bool SystemMenu = true;
  bool Minimize = true;
  bool Maximize = true;
};

struct FormDesign {
  std::wstring ClassName;
  DesignText Caption;
  int Left = 0, Top = 0;
  int ClientWidth = 300, ClientHeight = 200;  // at 96 dpi
  FormBorderStyle BorderStyle = FormBorderStyle::Sizeable;
  BorderIcons Icons;
  FormPosition Position = FormPosition::Designed;
  std::uint32_t Color = kDefaultColor;
  FontDesign Font;
  std::vector<ControlDesign> Controls;
  // Other stored properties in form-resource notation, by path
  // ("VemTranslatableProps.Strings" -> "('Caption' 'OKBtn.Caption')").
  std::map<std::wstring, std::wstring> Properties;
};

// Registers (or replaces) the design of its class.
void RegisterFormDesign(FormDesign design);
void UnregisterFormDesign(std::wstring_view className);
// The design of the first class of `classChain` (most derived first) that
// has one; null when none has.
const FormDesign* FindFormDesign(const std::vector<std::wstring>& classChain);

}  // namespace ostrevin
