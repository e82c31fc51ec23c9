// ShortCutTranType.cpp - the "ShortCut" translation type and the texts of
// keyboard shortcuts.
//
// Letters, digits and keys without a name of their own are named as the
// keyboard layout (KeyboardLayout port) labels them, so the texts follow the
// user's keyboard.
#include "translation/VemTrxTypes.h"

#include "foundation/Format.h"
#include "foundation/TextCompare.h"
#include "platform/KeyboardLayout.h"
#include "platform/Ports.h"

namespace ostrevin {

namespace {

// The key name table, in the system's order.
enum TMenuKeyCap {
  mkcBkSp, mkcTab, mkcEsc, mkcEnter, mkcSpace, mkcPgUp, mkcPgDn, mkcEnd, mkcHome,
  mkcLeft, mkcUp, mkcRight, mkcDown, mkcIns, mkcDel, mkcShift, mkcCtrl, mkcAlt,
};
constexpr const wchar_t* kMenuKeyCaps[] = {
    L"BkSp", L"Tab",  L"Esc",   L"Enter", L"Space", L"PgUp", L"PgDn", L"End",    L"Home",
    L"Left", L"Up",   L"Right", L"Down",  L"Ins",   L"Del",  L"Shift+", L"Ctrl+", L"Alt+",
};

// Key codes tried for a name, as the system always has: 8 to 0x255.
constexpr int kFirstNamedKey = 8;
constexpr int kLastNamedKey = 597;

std::wstring CharName(wchar_t c) { return c == 0 ? std::wstring() : std::wstring(1, c); }

std::wstring KeyNameOf(std::uint8_t key) {
  switch (key) {
    case 0x08: return kMenuKeyCaps[mkcBkSp];
    case 0x09: return kMenuKeyCaps[mkcTab];
    case 0x0D: return kMenuKeyCaps[mkcEnter];
    case 0x1B: return kMenuKeyCaps[mkcEsc];
    case 0x2D: return kMenuKeyCaps[mkcIns];
    case 0x2E: return kMenuKeyCaps[mkcDel];
    default: break;
  }
  if (key >= 0x20 && key <= 0x28) return kMenuKeyCaps[mkcSpace + (key - 0x20)];
  if (key >= 0x70 && key <= 0x87) return L"F" + std::to_wstring(key - 0x6F);

  const KeyboardLayout& layout = Current<KeyboardLayout>();
  if (key >= L'0' && key <= L'9') {
    // A layout that types something else on a digit key unshifted (French:
    // "&" on "1") but the digit with Shift still names the key by its digit.
    const auto digit = static_cast<wchar_t>(key);
    const wchar_t c = layout.CharOfKey(key);
    if (c != digit && layout.KeyOfChar(digit) == key) return CharName(digit);
    return CharName(c);
  }
  if ((key >= L'A' && key <= L'Z') || (key >= 0x60 && key <= 0x69)) return CharName(layout.CharOfKey(key));
  return layout.KeyName(key);
}

}  // namespace

const TShortCutTranType& TShortCutTranType::Instance() {
  static const TShortCutTranType instance;
  return instance;
}

std::wstring TShortCutTranType::WideShortCutToText(std::uint16_t shortCut) {
  const std::wstring name = KeyNameOf(static_cast<std::uint8_t>(shortCut & 0xFF));
  if (name.empty()) return {};
  std::wstring text;
  if ((shortCut & scShift) != 0) text += kMenuKeyCaps[mkcShift];
  if ((shortCut & scCtrl) != 0) text += kMenuKeyCaps[mkcCtrl];
  if ((shortCut & scAlt) != 0) text += kMenuKeyCaps[mkcAlt];
  return text + name;
}

std::uint16_t TShortCutTranType::WideTextToShortCut(std::wstring_view text) {
  std::uint16_t modifiers = 0;
  for (;;) {
    // Prefixes compare with their exact letter case.
    const auto strip = [&text](std::wstring_view prefix) {
      if (!text.starts_with(prefix)) return false;
      text.remove_prefix(prefix.size());
      return true;
    };
    if (strip(kMenuKeyCaps[mkcShift]))
      modifiers |= scShift;
    else if (strip(L"^") || strip(kMenuKeyCaps[mkcCtrl]))
      modifiers |= scCtrl;
    else if (strip(kMenuKeyCaps[mkcAlt]))
      modifiers |= scAlt;
    else
      break;
  }
  if (text.empty()) return 0;
  for (int key = kFirstNamedKey; key <= kLastNamedKey; ++key) {
    if (SameText(WideShortCutToText(static_cast<std::uint16_t>(key)), text))
      return static_cast<std::uint16_t>(key | modifiers);
  }
  return 0;
}

std::wstring TShortCutTranType::GetCanonical(std::wstring_view value) const {
  ForceIsValid(L"", value);
  return WideShortCutToText(WideTextToShortCut(value));
}

bool TShortCutTranType::DoIsValid(std::wstring_view, std::wstring_view tranValue) const {
  return tranValue.empty() || WideTextToShortCut(tranValue) != 0;
}

void TShortCutTranType::DoForceIsValid(std::wstring_view refValue, std::wstring_view tranValue) const {
  if (!DoIsValid(refValue, tranValue))
    throw Exception(Format(L"\"%s\" is not a valid keyboard shortcut.", {tranValue}));
}

}  // namespace ostrevin
