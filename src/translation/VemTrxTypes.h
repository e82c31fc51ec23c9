// VemTrxTypes.h - translation value types and their registry.
//
// A translation value type states, for one kind of text, whether a
// translation is acceptable against its reference text and what the
// canonical form of a text is. The types are classes with class-level
// operations only: each has one constant instance, which stands for the
// class, and the registry maps a type's code to it.
//
//   const TTranType& type = TResourceStringTranType::Instance();
//   type.IsValid(L"%s %d", L"%1:d %0:s");        // true
//   type.ForceIsValid(L"%s %d", L"%d %s");       // raises EFormatSpecError
//   FindTranType(L"IAString")->GetCanonical(L"$a$");
//
// Every rule first accepts a translation equal to its reference ignoring
// letter case. The format and placeholder rules raise EFormatSpecError, the
// shortcut rule a plain Exception.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/VemClasses.h"
#include "translation/FormatStrParser.h"

namespace ostrevin {

class TTranType {
 public:
  TTranType(const TTranType&) = delete;
  TTranType& operator=(const TTranType&) = delete;
  virtual ~TTranType() = default;

  // The type's code in the registry ("resourcestring", "ShortCut", ...).
  virtual std::wstring_view Code() const noexcept = 0;
  // Whether texts of the type are HTML.
  virtual bool IsHtml() const noexcept { return false; }
  // The form two texts are compared in; raises what the rule raises for a
  // text it cannot read.
  virtual std::wstring GetCanonical(std::wstring_view value) const = 0;

  // True when the texts are equal ignoring letter case, else DoIsValid.
  bool IsValid(std::wstring_view refValue, std::wstring_view tranValue) const;
  // Nothing when the texts are equal ignoring letter case, else
  // DoForceIsValid, which raises the rule's error when not valid.
  void ForceIsValid(std::wstring_view refValue, std::wstring_view tranValue) const;
  // True when the texts or else their canonical forms are equal ignoring
  // letter case.
  bool IsSameCanonicalText(std::wstring_view refValue, std::wstring_view tranValue) const;

 protected:
  TTranType() = default;

  // DoForceIsValid with EFormatSpecError turned into false; other errors
  // propagate.
  virtual bool DoIsValid(std::wstring_view refValue, std::wstring_view tranValue) const;
  // Raises when the translation breaks the rule; the base has no rule.
  virtual void DoForceIsValid(std::wstring_view refValue, std::wstring_view tranValue) const;
};

// "resourcestring": the translation uses the same "%" arguments with the
// same kinds of value (see FormatStrParser.h); the canonical form gives every
// specifier its index. A missing or extra argument raises "Number of format
// specifiers do not match." with both texts on lines of their own; a
// different kind "Argument types for index %d do not match. (%s <> %s)".
class TResourceStringTranType : public TTranType {
 public:
  static const TResourceStringTranType& Instance();
  std::wstring_view Code() const noexcept override { return L"resourcestring"; }
  std::wstring GetCanonical(std::wstring_view value) const override;

 protected:
  TResourceStringTranType() = default;
  void DoForceIsValid(std::wstring_view refValue, std::wstring_view tranValue) const override;
};

// "ShortCut": the translation is empty or a keyboard shortcut such as
// "Ctrl+S" (keys named by the KeyboardLayout port).
class TShortCutTranType : public TTranType {
 public:
  // Modifier bits of a shortcut; the low byte is the virtual key.
  static constexpr std::uint16_t scShift = 0x2000;
  static constexpr std::uint16_t scCtrl = 0x4000;
  static constexpr std::uint16_t scAlt = 0x8000;

  static const TShortCutTranType& Instance();
  std::wstring_view Code() const noexcept override { return L"ShortCut"; }
  // Validates the text as a translation of "" and returns the text of its
  // shortcut, so "^s" gives "Ctrl+S".
  std::wstring GetCanonical(std::wstring_view value) const override;

  // "Shift+", "Ctrl+", "Alt+" (those present, in this order) and the key's
  // name: "BkSp", "Tab", "Enter", "Esc", "Space", "PgUp", "PgDn", "End",
  // "Home", "Left", "Up", "Right", "Down", "Ins", "Del", "F1" to "F24", the
  // character a letter, digit or number-pad digit key types, and the
  // layout's name of any other key. "" when the key has no name (key 0).
  static std::wstring WideShortCutToText(std::uint16_t shortCut);
  // The shortcut of such a text: leading "Shift+", "Ctrl+" or "^" and
  // "Alt+" in any order and exact letter case, then a key name compared
  // ignoring letter case. 0 when nothing but modifiers is given or no key
  // has that name; so "ctrl+S" gives 0.
  static std::uint16_t WideTextToShortCut(std::wstring_view text);

 protected:
  TShortCutTranType() = default;
  // The translation is empty or converts to a non-zero shortcut.
  bool DoIsValid(std::wstring_view refValue, std::wstring_view tranValue) const override;
  // Raises Exception "\"%s\" is not a valid keyboard shortcut." otherwise.
  void DoForceIsValid(std::wstring_view refValue, std::wstring_view tranValue) const override;
};

// The placeholder rules compare the sets of placeholders of the two texts,
// ignoring letter case and repeats. An opening character without its
// closing one ends the search. A difference raises "There is a problem with
// the placeholders in this text." followed by lines naming the missing ones
// (in the reference only) and the unexpected ones (in the translation only).
// The canonical form of a text is the text.

// "formatstring": "{" up to the next "}", after every "{{" and "}}" has been
// replaced by a blank.
class TFormatStringTranType : public TTranType {
 public:
  static const TFormatStringTranType& Instance();
  std::wstring_view Code() const noexcept override { return L"formatstring"; }
  std::wstring GetCanonical(std::wstring_view value) const override;
  // Adds the placeholders of `text` to `list`; give it a sorted list that
  // ignores duplicates (a TVemTrxStringList) to get the set.
  virtual void GetPlaceholders(std::wstring_view text, TVemStringList& list) const;

 protected:
  TFormatStringTranType() = default;
  bool DoIsValid(std::wstring_view refValue, std::wstring_view tranValue) const override;
  void DoForceIsValid(std::wstring_view refValue, std::wstring_view tranValue) const override;
};

// "CsTemplate": "[" up to the next "]".
class TCsTemplateTranType : public TFormatStringTranType {
 public:
  static const TCsTemplateTranType& Instance();
  std::wstring_view Code() const noexcept override { return L"CsTemplate"; }
  void GetPlaceholders(std::wstring_view text, TVemStringList& list) const override;

 protected:
  TCsTemplateTranType() = default;
};

// "CsTemplateHtml": as "CsTemplate", for HTML texts.
class TCsTemplateHtmlTranType : public TFormatStringTranType {
 public:
  static const TCsTemplateHtmlTranType& Instance();
  std::wstring_view Code() const noexcept override { return L"CsTemplateHtml"; }
  bool IsHtml() const noexcept override { return true; }
  void GetPlaceholders(std::wstring_view text, TVemStringList& list) const override;

 protected:
  TCsTemplateHtmlTranType() = default;
};

// "IAString": "$" up to the next "$", unless the run holds a blank, in which
// case the search goes on from that second "$" ("$a b$c$" has "$c$").
class TInstallAwareTranType : public TTranType {
 public:
  static const TInstallAwareTranType& Instance();
  std::wstring_view Code() const noexcept override { return L"IAString"; }
  std::wstring GetCanonical(std::wstring_view value) const override;
  // Adds the placeholders of `text` to `list`, as GetPlaceholders does.
  static void GetPlaceholders(std::wstring_view text, TVemStringList& list);
  // The text without its placeholders: each distinct placeholder (ignoring
  // letter case) removes its first occurrence.
  static std::wstring StripPlaceholders(std::wstring_view value);

 protected:
  TInstallAwareTranType() = default;
  bool DoIsValid(std::wstring_view refValue, std::wstring_view tranValue) const override;
  void DoForceIsValid(std::wstring_view refValue, std::wstring_view tranValue) const override;
};

// --- The registry -----------------------------------------------------------

// Creates TranTypeRegistry (sorted, case-sensitive, duplicates raise) and
// registers the six types in the order of this header. Called once at
// start-up; a second call starts from a new registry.
void InitializeVemTrxTypes();
// Frees the registry; nothing when there is none.
void FinalizeVemTrxTypes() noexcept;

// Codes with their types (const TTranType* in Objects). Raises
// EVemInternalError "Internal Error: TranTypeRegistry not assigned." outside
// Initialize/Finalize, as RegisterTranType does.
const TVemStringList& TranTypeRegistry();
// Adds the type under its Code; an already registered code raises
// EStringListError "String list does not allow duplicates".
void RegisterTranType(const TTranType& tranType);
// The type registered under exactly this code, or null.
const TTranType* FindTranType(std::wstring_view code);

}  // namespace ostrevin
