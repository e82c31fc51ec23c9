// Mailbox_win.h - the mailbox the stand-in Outlook serves, read from a fixture folder.
//
// A fixture is a folder holding "mailbox.txt" (UTF-8, one statement a line;
// the format is described in tests/standin/README.md) and the content files
// it names. LoadMailbox reads and checks all of it at once, so a broken
// fixture fails when the stand-in is registered or started, not in the
// middle of a test.
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/WinApi_win.h"

namespace ostrevin::standin {

// Outlook's folder kinds (OlDefaultFolders) that the fixture names in words.
constexpr LONG kFolderCalendar = 9;
constexpr LONG kFolderContacts = 10;
constexpr LONG kFolderTasks = 13;

enum class TItemKind { Mail, Appointment, Contact, MeetingRequest };

struct TAttachmentData {
  std::wstring FileName;
  // The bytes SaveAsFile writes: Bytes, or, when PatternSize is set instead,
  // that many bytes of "abc...z" repeated.
  std::string Bytes;
  std::uint64_t PatternSize = 0;
  bool UsesPattern = false;
  // S_OK, or the failure SaveAsFile raises without writing anything.
  HRESULT SaveFailure = S_OK;

  std::uint64_t Size() const noexcept { return UsesPattern ? PatternSize : Bytes.size(); }
};

struct TItemData {
  TItemKind Kind = TItemKind::Mail;
  std::wstring Subject;
  std::vector<TAttachmentData> Attachments;
};

struct TFolderData {
  std::wstring Name;
  // Index of the parent in TMailbox::Folders, or -1 for a top folder (whose
  // parent is the namespace).
  int Parent = -1;
};

struct TMailbox {
  std::wstring Version = L"16.0.0.0";
  std::wstring Profile = L"Outlook";
  std::vector<TItemData> Items;
  std::vector<TFolderData> Folders;
  // Folder kind -> index in Folders.
  std::map<LONG, int> DefaultFolders;
  // What PickFolder returns: an index in Folders, or -1 (the user cancelled).
  int PickedFolder = -1;
  // The initial explorer selection: 0-based indexes into Items.
  std::vector<std::size_t> Selection;
  // Milliseconds each Selection.Item call waits before it answers.
  DWORD SelectionDelay = 0;
  // S_OK, or the failure NameSpace.Logon raises.
  HRESULT LogonFailure = S_OK;
  // ActiveExplorer answers Nothing, and the window stays hidden.
  bool NoExplorer = false;
  bool WindowHidden = false;
};

// A fixture that cannot be read, with the place and the reason, for example
// "C:\fixture\mailbox.txt:12: unknown statement "mial"".
class TMailboxError : public std::runtime_error {
 public:
  explicit TMailboxError(const std::wstring& message);
  const std::wstring& Message() const noexcept { return FMessage; }

 private:
  std::wstring FMessage;
};

// Reads folder\mailbox.txt and the content files it names; TMailboxError
// when anything is missing or malformed.
TMailbox LoadMailbox(const std::wstring& folder);

// "1,3" -> {0, 2}: 1-based item numbers, separated by commas (spaces allowed);
// "" is the empty selection. TMailboxError (without a place) for anything
// else or a number outside 1..itemCount.
std::vector<std::size_t> ParseSelection(const std::wstring& text, std::size_t itemCount);

// The inverse of ParseSelection: {0, 2} -> "1,3".
std::wstring FormatSelection(const std::vector<std::size_t>& selection);

}  // namespace ostrevin::standin
