// OutlookDragDropHandler.h - saves the attachments of the mails dragged from Outlook.
//
// TOutlookEmailDragDropHandler recognises a drag out of Outlook by Outlook's
// private clipboard format "RenPrivateSourceFolder" and never reads the
// dragged data: it works on Outlook's current selection, over the session
// the broker hands out. On drop it asks for a folder and saves every
// attachment of every selected mail item into it under a name no file had:
//
//   InitializeOutlookDragDropHandler();   // start-up table: registers the handler
//   ...                                   // drags over the main window reach it
//   FinalizeOutlookDragDropHandler();
//
// Attachment names come from the mails' senders and are not trusted: every
// name is reduced to one safe file name in the chosen folder, and a name
// that is taken is numbered ("a.txt", "a (2).txt", ...), never overwritten.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "dragdrop/VemFxShellDragDrop.h"
#include "platform/ExtendedMapi.h"
#include "platform/OutlookObjectModel.h"

namespace ostrevin {

// How long the probe may look for a mail item among the selected items
// before it accepts the drag anyway, in milliseconds.
inline constexpr std::uint32_t kProbeTimeBudgetMs = 1000;

class TOutlookEmailDragDropHandler final : public TShellDropHandler {
 public:
  TOutlookEmailDragDropHandler() = default;
  // Gives back a session still held.
  ~TOutlookEmailDragDropHandler() override;

  // Accepts a drag from Outlook whose explorer has a mail item selected, or
  // one whose selected items take longer than kProbeTimeBudgetMs to look
  // through; from then until DragLeave or Drop the handler holds one use of
  // the broker's session. A session that cannot be had refuses the drag
  // silently; a failing Outlook call raises (after giving the session back).
  bool DragEnter(DataObject& dataObject, std::uint32_t keyState, std::uint32_t& effect) override;
  void DragOver(std::uint32_t keyState, std::uint32_t& effect) override;
  // Gives the session back.
  void DragLeave() override;
  // Asks for a folder (the desktop preselected) and saves the attachments
  // of the selected mail items into it in a cancelable progress window. A
  // failure stops the save there and propagates; the files saved before it
  // stay. The session is given back however the drop ends.
  void Drop(DataObject& dataObject, std::uint32_t keyState, std::uint32_t& effect) override;

  // The session held for the drag; both empty while no drag is accepted
  // (Session also while MAPI is not used).
  const std::shared_ptr<MapiSession>& Session() const noexcept { return FSession; }
  const std::shared_ptr<OutlookNameSpace>& NameSpace() const noexcept { return FNameSpace; }

 private:
  void GiveSessionBack();

  std::shared_ptr<MapiSession> FSession;
  std::shared_ptr<OutlookNameSpace> FNameSpace;
  bool FHoldsSession = false;  // one use of the broker's session is ours
};

// The file name an attachment named Name is saved under, before numbering:
// what follows the last "\", "/" or ":"; characters Windows forbids in file
// names (< > : " / \ | ? *, control characters) and unpaired surrogates
// replaced by "_"; trailing dots and spaces dropped; "Attachment" for a
// name that ends up empty; "_" before a device name (CON, PRN, AUX, NUL,
// COM0-COM9, LPT0-LPT9, CONIN$, CONOUT$, with or without an extension).
std::wstring SafeAttachmentFileName(std::wstring_view name);

// Paths of new files, each reserved by creating it empty, so that no file
// is overwritten even when another program makes one at the same time.
// One object serves one save: it remembers the numbers it has taken, so a
// thousand attachments of one name cost a thousand reservations, not half a
// million probes.
class TUniquePaths {
 public:
  // The longest path the program makes, and the longest file name in it.
  static constexpr std::size_t kMaxPath = 259;
  static constexpr std::size_t kMaxFileName = 255;

  // Changes Path (a folder, "\" and a file name) to the first of Path,
  // "<base> (2)<ext>", "<base> (3)<ext>", ... under which nothing existed,
  // and creates that file empty. A name that would make the path longer
  // than kMaxPath (or the name longer than kMaxFileName) is shortened before
  // its number and extension. A folder that cannot take the file raises
  // EFCreateError (FileSystem port).
  void MakePathUnique(std::wstring& path);

 private:
  // Incoming path (case folded) -> the last number taken for it.
  std::unordered_map<std::wstring, std::int32_t> FLastNumbers;
};

// Module state, last in the start-up table: registers one handler with the
// drop-handler registry; finalisation unregisters and frees it.
void InitializeOutlookDragDropHandler();
void FinalizeOutlookDragDropHandler() noexcept;

}  // namespace ostrevin
