// OutlookDragDropHandler.cpp - saves the attachments of the mails dragged from Outlook.
//
// Portable: Outlook is reached through the OutlookServer port (by way of the
// broker), the folder browser through the Shell port, files through the
// FileSystem port, the time through the Clock port.
#include "outlook/OutlookDragDropHandler.h"

#include <algorithm>
#include <array>
#include <utility>

#include "foundation/Checks.h"
#include "foundation/ExceptionDisplay.h"
#include "foundation/Format.h"
#include "foundation/Paths.h"
#include "foundation/TextCompare.h"
#include "outlook/VemOutlookUtils.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Ports.h"
#include "platform/Shell.h"
#include "progress/VemLXCancelableFrm.h"

namespace ostrevin {

namespace {

constexpr const wchar_t* kFolderDialogCaption = L"Choose a folder where you'd like save the attachements.";
constexpr const wchar_t* kProgressFormat = L"Processing %d of %d messages from Outlook";
constexpr const wchar_t* kNumberingSuffix = L" (%d)";
constexpr const wchar_t* kNamelessAttachment = L"Attachment";

TOutlookEmailDragDropHandler* gHandler = nullptr;

// The selection of Outlook's front window; null when Outlook shows no
// explorer or gives no selection.
std::unique_ptr<OutlookSelection> ExplorerSelection(OutlookNameSpace& nameSpace) {
  std::unique_ptr<OutlookExplorer> explorer = nameSpace.Application()->ActiveExplorer();
  return explorer ? explorer->Selection() : nullptr;
}

// Whether the probe takes the drag: a mail item among the selected items,
// or a look through them that takes longer than the budget.
bool SelectionOffersMail(OutlookNameSpace& nameSpace) {
  std::unique_ptr<OutlookSelection> selection = ExplorerSelection(nameSpace);
  if (!selection || selection->Count() <= 0) return false;
  const Clock& clock = Current<Clock>();
  const std::uint32_t start = clock.TickCount();
  const std::int32_t count = selection->Count();
  for (std::int32_t i = 1; i <= count; ++i) {
    if (selection->Item(i)->AsMailItem()) return true;
    if (clock.TickCount() - start > kProbeTimeBudgetMs) return true;
  }
  return false;
}

// Saves every attachment of every mail item of the selection into Folder,
// in the progress window.
void SaveAttachments(OutlookSelection& selection, const std::wstring& folder) {
  TCancelableMessageScope progress(Format(kProgressFormat, {0, selection.Count()}));
  TUniquePaths paths;
  FileSystem& files = Current<FileSystem>();
  const std::int32_t messages = selection.Count();
  for (std::int32_t i = 1; i <= messages; ++i) {
    UpdateCancelableMessage(Format(kProgressFormat, {i, selection.Count()}));
    std::unique_ptr<OutlookMailItem> mail = selection.Item(i)->AsMailItem();
    if (!mail) continue;
    const std::int32_t attachments = mail->Attachments()->Count();
    for (std::int32_t j = 1; j <= attachments; ++j) {
      std::wstring path = AddBackslash(folder) + SafeAttachmentFileName(mail->Attachments()->Item(j)->FileName());
      paths.MakePathUnique(path);
      try {
        mail->Attachments()->Item(j)->SaveAsFile(path);
      } catch (...) {
        // The reservation is ours; nothing of the user's is lost.
        files.RemoveFile(path);
        throw;
      }
    }
  }
}

bool IsForbiddenInFileName(wchar_t c) {
  return c < 32 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos;
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Replaces what cannot stand in a file name by "_".
void ReplaceForbiddenCharacters(std::wstring& name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    const bool pairStart = IsHighSurrogate(name[i]) && i + 1 < name.size() && IsLowSurrogate(name[i + 1]);
    if (pairStart) {
      ++i;
    } else if (IsForbiddenInFileName(name[i]) || IsHighSurrogate(name[i]) || IsLowSurrogate(name[i])) {
      name[i] = L'_';
    }
  }
}

void DropTrailingDotsAndSpaces(std::wstring& name) {
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
}

// Whether Windows takes the name for a device: the part before the first
// dot, without trailing spaces, is a device name in any case.
bool IsDeviceName(std::wstring_view name) {
  std::wstring_view stem = name.substr(0, name.find(L'.'));
  while (!stem.empty() && stem.back() == L' ') stem.remove_suffix(1);
  static constexpr std::array<std::wstring_view, 6> kDevices = {L"con", L"prn", L"aux", L"nul", L"conin$", L"conout$"};
  const std::wstring folded = FoldCase(stem);
  if (std::find(kDevices.begin(), kDevices.end(), folded) != kDevices.end()) return true;
  // COM and LPT with one digit; Windows counts the superscripts 1 to 3 as digits too.
  if (folded.size() != 4 || (folded.compare(0, 3, L"com") != 0 && folded.compare(0, 3, L"lpt") != 0)) return false;
  const wchar_t digit = folded[3];
  return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

// At most `length` code units of Text, not ending inside a surrogate pair.
std::wstring_view Truncate(std::wstring_view text, std::size_t length) {
  if (text.size() <= length) return text;
  if (length > 0 && IsHighSurrogate(text[length - 1])) --length;
  return text.substr(0, length);
}

// The name numbered N (1: no number), fitted into MaxLength characters by
// shortening Base, or Base and Ext together when Ext leaves no room.
std::wstring NumberedFileName(std::wstring_view base, std::wstring_view ext, std::int32_t number,
                              std::size_t maxLength) {
  const std::wstring suffix = number > 1 ? Format(kNumberingSuffix, {number}) : std::wstring();
  if (base.size() + suffix.size() + ext.size() <= maxLength) return std::wstring(base) + suffix + std::wstring(ext);
  std::wstring name;
  if (suffix.size() + ext.size() < maxLength) {
    name = Truncate(base, maxLength - suffix.size() - ext.size());
  } else {
    // An extension that long is no extension to keep.
    name = Truncate(std::wstring(base) + std::wstring(ext), maxLength > suffix.size() ? maxLength - suffix.size() : 0);
    ext = {};
  }
  DropTrailingDotsAndSpaces(name);
  if (name.empty()) name = L"_";
  return name + suffix + std::wstring(ext);
}

}  // namespace

// --- TOutlookEmailDragDropHandler ------------------------------------------------

TOutlookEmailDragDropHandler::~TOutlookEmailDragDropHandler() {
  try {
    GiveSessionBack();
  } catch (...) {
    ShowCurrentException();
  }
}

void TOutlookEmailDragDropHandler::GiveSessionBack() {
  if (!FHoldsSession) return;
  FHoldsSession = false;
  ReleaseOutlookSession(FSession, FNameSpace);
}

bool TOutlookEmailDragDropHandler::DragEnter(DataObject& dataObject, std::uint32_t, std::uint32_t&) {
  if (!HasRenPrivateSourceFolder(dataObject)) return false;
  GiveSessionBack();
  try {
    AcquireOutlookSession(FSession, FNameSpace);
  } catch (...) {
    // Outlook is not there or will not log on: the user sees the no-drop cursor.
    return false;
  }
  FHoldsSession = true;
  bool accepted = false;
  try {
    accepted = FNameSpace && SelectionOffersMail(*FNameSpace);
  } catch (...) {
    GiveSessionBack();
    throw;
  }
  if (!accepted) GiveSessionBack();
  return accepted;
}

void TOutlookEmailDragDropHandler::DragOver(std::uint32_t, std::uint32_t&) {}

void TOutlookEmailDragDropHandler::DragLeave() { GiveSessionBack(); }

void TOutlookEmailDragDropHandler::Drop(DataObject&, std::uint32_t, std::uint32_t&) {
  try {
    std::unique_ptr<OutlookSelection> selection = FNameSpace ? ExplorerSelection(*FNameSpace) : nullptr;
    if (selection && selection->Count() > 0) {
      const std::wstring desktop = GetDesktopFolder();
      TFolderBrowseRequest request;
      request.Caption = kFolderDialogCaption;
      if (Current<FileSystem>().FolderExists(desktop)) request.InitialFolder = desktop;
      if (std::optional<std::wstring> folder = Current<Shell>().BrowseForFolder(request))
        SaveAttachments(*selection, *folder);
    }
  } catch (...) {
    try {
      GiveSessionBack();
    } catch (...) {
      ShowCurrentException();
    }
    throw;
  }
  GiveSessionBack();
}

// --- names -------------------------------------------------------------------

std::wstring SafeAttachmentFileName(std::wstring_view name) {
  if (const auto separator = name.find_last_of(L"\\/:"); separator != std::wstring_view::npos)
    name.remove_prefix(separator + 1);
  std::wstring safe(name);
  ReplaceForbiddenCharacters(safe);
  DropTrailingDotsAndSpaces(safe);
  if (safe.empty()) return kNamelessAttachment;
  if (IsDeviceName(safe)) safe.insert(0, L"_");
  return safe;
}

void TUniquePaths::MakePathUnique(std::wstring& path) {
  const std::wstring folder = ExtractFilePath(path);
  const std::wstring base = ExtractFileBaseName(path);
  const std::wstring ext = ExtractFileExt(path);
  const std::size_t maxLength = std::min(kMaxFileName, kMaxPath > folder.size() ? kMaxPath - folder.size() : 0);
  std::int32_t& lastNumber = FLastNumbers[FoldCase(path)];
  FileSystem& files = Current<FileSystem>();
  for (std::int32_t number = CheckedAdd(lastNumber, 1);; number = CheckedAdd(number, 1)) {
    const std::wstring candidate = folder + NumberedFileName(base, ext, number, maxLength);
    if (files.CreateNewFile(candidate)) {
      lastNumber = number;
      path = candidate;
      return;
    }
  }
}

// --- module state ----------------------------------------------------------------

void InitializeOutlookDragDropHandler() {
  auto handler = std::make_unique<TOutlookEmailDragDropHandler>();
  TOutlookEmailDragDropHandler* registered = handler.get();
  RegisterDropHandler(std::move(handler));
  gHandler = registered;
}

void FinalizeOutlookDragDropHandler() noexcept {
  // The registry hands the handler back, and it goes here.
  std::unique_ptr<TShellDropHandler> handler = UnregisterDropHandler(gHandler);
  gHandler = nullptr;
}

}  // namespace ostrevin
