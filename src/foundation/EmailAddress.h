// EmailAddress.h - turning what a user types into an address field into entries.
//
// A user types one or several addresses, with or without display names,
// separated by commas, semicolons, spaces or line breaks. These functions
// split such text into clean entries of the form "Name" <address>:
//
//   TVemStringList to;
//   ParseEmailAddressList(to, L"\"Doe, Jane\" <jane@x.org>; bob@y.org", L"Friend", true, true);
//   // to: "Doe Jane" <jane@x.org>   and   "Friend" <bob@y.org>
//
// The parser is lenient: it never raises, and text it cannot read as an
// address ends up as a name (or is dropped, see FormatEmailAddress).
#pragma once

#include <string>
#include <string_view>

namespace ostrevin {

class TVemStringList;

// Splits one entry into its address and display name. The address comes back
// without white space, "<" or ">"; the name with double quotes turned into
// single quotes and "<" ">" into "{" "}". Text without an at sign gives an
// empty address and the text as the name. An entry with an address but no
// name gets DefaultName. Text enclosed in single quotes loses them.
void SplitEmailAddress(std::wstring_view text, std::wstring_view defaultName, std::wstring& address,
                       std::wstring& name);

// The entry as one clean text. Without WithName, or when the entry has no
// name, the bare address (possibly empty). Otherwise "Name" <address>, the
// name's line breaks, commas and semicolons replaced by spaces; an entry with
// a name but no address gives "Name" <> with KeepNameOnly, else "".
std::wstring FormatEmailAddress(std::wstring_view entry, std::wstring_view defaultName, bool withName,
                                bool keepNameOnly);

// Clears List and fills it with the FormatEmailAddress of every entry of
// Text, in order, dropping empty entries and entries already in the list
// (compared ignoring case, whatever the list's own case setting). A comma or
// semicolon inside double quotes, or in a "Surname, Given" name before its
// address, does not separate entries.
void ParseEmailAddressList(TVemStringList& list, std::wstring_view text, std::wstring_view defaultName,
                           bool keepNameOnly, bool withName);

}  // namespace ostrevin
