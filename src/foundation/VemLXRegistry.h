// VemLXRegistry.h - TVemRegistryLX and the one-shot registry functions.
//
// TVemRegistryLX adds absolute navigation, reads with defaults and strict
// errors to TRegistry. Every settings access of the system goes through it
// or through the one-shot functions, which open a key, read or write one
// value and close it again:
//
//   bool useMapi = reg.ReadBoolDef(L"UseMapi", true);
//   RegWriteString(RegistryRoot::CurrentUser, L"Software\\Halvorn\\VemKarto\\ZereZirurodAvav",
//                  L"Profile", profile);
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/Registry.h"

namespace ostrevin {

// An absolute form of Key: "\" in front unless there is one, then one
// trailing "\" removed unless the result is "\" itself. "" and "\" give "\";
// "Software\A\" gives "\Software\A".
std::wstring NormalizeKeyPath(std::wstring_view key);

class TVemRegistryLX : public TRegistry {
 public:
  // Opens the normalised Key from the root, whatever key is open. Raises
  // EVemInternalError "Internal Error: Unable to open key: \..." when it
  // cannot (missing without `canCreate`, access denied).
  void GotoKey(std::wstring_view key, bool canCreate);
  // Whether the child key exists and opens with full access. A name with
  // "\" raises the backslash error of Descend.
  bool CanDescend(std::wstring_view key);
  // Opens the child key Key, a single key name. A name with "\" raises
  // EVemInternalError "Internal Error: Key contains a backslash: " and
  // leaves the open key as it was.
  void Descend(std::wstring_view key, bool canCreate);
  // Opens the parent of the open key; at the root raises EVemInternalError
  // "Internal Error: Cannot ascend any more.".
  void Ascend();

  // The value when it exists, else Def. A value of another type is not
  // replaced by Def: the read raises.
  std::int32_t ReadIntegerDef(std::wstring_view name, std::int32_t def) const;
  double ReadFloatDef(std::wstring_view name, double def) const;
  std::wstring ReadStringDef(std::wstring_view name, std::wstring_view def) const;
  bool ReadBoolDef(std::wstring_view name, bool def) const;

 private:
  // "" at the root, else "\" and the key names joined by "\".
  std::wstring GetCurrentFullPath() const;
  std::wstring GetChildPath(std::wstring_view key) const;
};

// One-shot functions. Each uses its own registry object with the given root.
// The reads open with read access, the writes with full access, creating
// the key. An empty Key is a programming error: EAssertionFailed. The Def
// variants and RegValueExists never raise for a missing key or value.
std::int32_t RegReadInteger(RegistryRoot root, std::wstring_view key, std::wstring_view name);
std::wstring RegReadString(RegistryRoot root, std::wstring_view key, std::wstring_view name);
std::int32_t RegReadIntegerDef(RegistryRoot root, std::wstring_view key, std::wstring_view name, std::int32_t def);
std::wstring RegReadStringDef(RegistryRoot root, std::wstring_view key, std::wstring_view name,
                              std::wstring_view def);
void RegWriteBool(RegistryRoot root, std::wstring_view key, std::wstring_view name, bool value);
void RegWriteInteger(RegistryRoot root, std::wstring_view key, std::wstring_view name, std::int32_t value);
// An empty value writes an empty string; nothing is deleted.
void RegWriteString(RegistryRoot root, std::wstring_view key, std::wstring_view name, std::wstring_view value);
// Key is opened as given, relative to the root.
bool RegValueExists(RegistryRoot root, std::wstring_view key, std::wstring_view name);

}  // namespace ostrevin
