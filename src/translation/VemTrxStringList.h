// VemTrxStringList.h - the string lists a translatable form keeps.
//
// TVemTrxStringList is a TVemStringList that is always sorted, ignores
// letter case and drops duplicates. In a form resource it is the property
// "Strings" (read and written) or "WideStrings" (read only, older
// resources), whose value is a list in form-resource notation:
//
//   TVemTrxTranslatableProps props;
//   props.ReadStrings(L"('Caption' 'CancelBtn.Caption' 'Caption')");  // two entries
//   props.RenameComponent(L"CancelBtn", L"CloseBtn");   // 'CloseBtn.Caption'
//   props.WriteStrings();   // "(\r\n  'Caption'\r\n  'CloseBtn.Caption')"
//
// The list is created sorted; Assign from an unsorted list would copy that
// list's Sorted flag, so copy contents with AssignStrings instead.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "foundation/TextEncoding.h"
#include "foundation/VemClasses.h"

namespace ostrevin {

// The text encoding of a Windows code page: 0 (the ANSI code page), 1200
// (UTF-16 LE), 1201 (UTF-16 BE) and 65001 (UTF-8). Any other code page
// raises EConvertError "Code page %d is not supported".
TextEncoding CodePageToEncoding(unsigned codePage);

class TVemTrxStringList : public TVemStringList {
 public:
  TVemTrxStringList();

  using TVemStringList::LoadFromFile;
  using TVemStringList::SaveToFile;
  // Reads the file in the code page's encoding (a byte-order mark of that
  // encoding at the start is skipped, any other bytes are text), remembers
  // the encoding and replaces the list by its lines. An unsupported code
  // page or an unreadable file leaves the list unchanged.
  void LoadFromFile(std::wstring_view fileName, unsigned codePage);
  // Writes the lines in the code page's encoding, with its byte-order mark
  // (the ANSI code page has none).
  void SaveToFile(std::wstring_view fileName, unsigned codePage) const;

  std::vector<std::wstring> ToArray() const;
  // Whether an entry equals `value` ignoring letter case.
  bool Contains(std::wstring_view value) const;

  // Replaces the entries by those of `source`, which may be any list; this
  // list stays sorted and free of duplicates. One change notification.
  void AssignStrings(const TVemStringList& source);

  // The form-resource property: replaces the entries by the items of the
  // list value (see ReadDfmStringListValue), in one update bracket. The value
  // is read completely first: on EParserError the list is unchanged.
  void ReadStrings(std::wstring_view dfmValue);
  // The entries as a list value, items on lines of their own after `indent`.
  std::wstring WriteStrings(std::wstring_view indent = L"  ") const;
  // Whether a form resource stores the property: when the list has entries,
  // or when the ancestor form has a list (non-null) that differs from it.
  bool StringsStored(const TVemTrxStringList* ancestor) const;
};

// The properties of a form that hold translatable text, by path: "Caption"
// for the form's own, "OKBtn.Caption" for a component's, and longer paths
// for sub-objects ("Grid.Columns[0].Title.Caption"). The part after the last
// "." is the property name, the part before it the component path.
class TVemTrxTranslatableProps : public TVemTrxStringList {
 public:
  // Keeps the entries in step with a component renamed from `curName` to
  // `newName`: every entry whose component path equals `curName` (ignoring
  // letter case) becomes newName + "." + its property name, and the list is
  // sorted again with duplicates dropped. Entries of the form itself and
  // deeper paths ("CancelBtn.Font.Name") are not touched. Nothing happens
  // when either name is empty, as while a form resource names its
  // components.
  void RenameComponent(std::wstring_view curName, std::wstring_view newName);
};

// Class names of inline frames that own listed components; empty in every
// form resource of the system.
class TVemTrxInlineClasses : public TVemTrxStringList {};

}  // namespace ostrevin
