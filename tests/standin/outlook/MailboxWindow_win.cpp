// MailboxWindow_win.cpp - the list window, its drag data object and drop source.
//
// The drag data holds small made-up records (layouts in
// tests/standin/README.md): the source folder's entry identifier, one entry
// identifier per dragged message, and a file group descriptor naming each
// message "<subject>.msg". No file contents are offered.
#include "standin/outlook/MailboxWindow_win.h"

#include "platform/ComObject_win.h"
#include "support/DragData_win.h"

#include <cstring>
#include <string>
#include <vector>

#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

namespace ostrevin::standin {

namespace {

constexpr const wchar_t* kWindowClass = L"OstrevinStandInOutlook";
constexpr const wchar_t* kCaption = L"Stand-in Outlook";
constexpr int kWidth = 560;
constexpr int kHeight = 320;

// The made-up message store the entry identifiers name.
constexpr unsigned char kStoreUid[16] = {'S', 't', 'a', 'n', 'd', '-', 'i', 'n', ' ', 'O', 'u', 't', 'l', 'o', 'o', 'k'};

const wchar_t* KindName(TItemKind kind) {
  switch (kind) {
    case TItemKind::Mail: return L"Mail";
    case TItemKind::Appointment: return L"Appointment";
    case TItemKind::Contact: return L"Contact";
    case TItemKind::MeetingRequest: return L"Meeting request";
  }
  return L"";
}

void Append(std::vector<unsigned char>& bytes, const void* data, std::size_t size) {
  const auto* begin = static_cast<const unsigned char*>(data);
  bytes.insert(bytes.end(), begin, begin + size);
}

void AppendDword(std::vector<unsigned char>& bytes, DWORD value) { Append(bytes, &value, sizeof(value)); }

// An entry identifier: four flag bytes (zero), the store's 16 bytes, then
// the rest.
std::vector<unsigned char> EntryId(const void* rest, std::size_t size) {
  std::vector<unsigned char> id(4, 0);
  Append(id, kStoreUid, sizeof(kStoreUid));
  Append(id, rest, size);
  return id;
}

// "RenPrivateSourceFolder": the Inbox's entry identifier, its rest being
// the folder's name in UTF-16 with a terminator.
std::vector<unsigned char> SourceFolderData() {
  static const wchar_t kInbox[] = L"Inbox";
  return EntryId(kInbox, sizeof(kInbox));
}

// "RenPrivateMessages": the number of messages, then for each one the size
// of its entry identifier and the identifier, whose rest is the item's
// 1-based number in the mailbox.
std::vector<unsigned char> MessagesData(const std::vector<std::size_t>& items) {
  std::vector<unsigned char> bytes;
  AppendDword(bytes, static_cast<DWORD>(items.size()));
  for (const std::size_t item : items) {
    const DWORD number = static_cast<DWORD>(item + 1);
    const std::vector<unsigned char> id = EntryId(&number, sizeof(number));
    AppendDword(bytes, static_cast<DWORD>(id.size()));
    Append(bytes, id.data(), id.size());
  }
  return bytes;
}

// "FileGroupDescriptorW": one descriptor per message, "<subject>.msg" with
// the characters file names cannot hold replaced by "_".
std::vector<unsigned char> FileGroupData(const TMailbox& mailbox, const std::vector<std::size_t>& items) {
  std::vector<unsigned char> bytes;
  AppendDword(bytes, static_cast<DWORD>(items.size()));
  for (const std::size_t item : items) {
    std::wstring name = mailbox.Items[item].Subject;
    for (wchar_t& c : name)
      if (c < 32 || std::wcschr(L"\\/:*?\"<>|", c) != nullptr) c = L'_';
    if (name.empty()) name = L"Untitled";
    name = name.substr(0, MAX_PATH - 5) + L".msg";
    FILEDESCRIPTORW descriptor{};
    descriptor.dwFlags = FD_ATTRIBUTES;
    descriptor.dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
    std::wcscpy(descriptor.cFileName, name.c_str());
    Append(bytes, &descriptor, sizeof(descriptor));
  }
  return bytes;
}

// Drops when the left button is let go, cancels on Escape.
class TDropSource final : public ComObject<IDropSource> {
 public:
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override {
    if (escapePressed) return DRAGDROP_S_CANCEL;
    return (keyState & MK_LBUTTON) == 0 ? DRAGDROP_S_DROP : S_OK;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  ~TDropSource() override = default;
  bool Answers(REFIID iid) const override { return IsEqualIID(iid, IID_IDropSource); }
};

}  // namespace

TMailboxWindow::TMailboxWindow(TApplication& application, std::function<void()> quitHandler,
                               std::function<void()> idleHandler)
    : FApplication(application), FQuitHandler(std::move(quitHandler)), FIdleHandler(std::move(idleHandler)) {}

TMailboxWindow::~TMailboxWindow() { Destroy(); }

void TMailboxWindow::Destroy() {
  if (FWindow != nullptr) DestroyWindow(FWindow);
}

bool TMailboxWindow::Create(bool hidden) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);

  // Top right of the primary work area, out of the way of the windows
  // that tests drag onto.
  RECT work{0, 0, 1280, 1024};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int x = work.right - kWidth - 8 > work.left ? work.right - kWidth - 8 : work.left;
  FWindow = CreateWindowExW(0, kWindowClass, kCaption, WS_OVERLAPPEDWINDOW, x, work.top + 8, kWidth, kHeight, nullptr,
                            nullptr, instance, this);
  if (FWindow == nullptr) return false;
  ShowSelection();
  if (!hidden) ShowWindow(FWindow, SW_SHOWNOACTIVATE);
  return true;
}

LRESULT CALLBACK TMailboxWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<TMailboxWindow*>(created->lpCreateParams);
    self->FWindow = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TMailboxWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT TMailboxWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateList();
      return 0;
    case WM_SIZE:
      if (FList != nullptr) MoveWindow(FList, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom != FList) break;
      if (header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((change->uChanged & LVIF_STATE) != 0 && ((change->uOldState ^ change->uNewState) & LVIS_SELECTED) != 0 &&
            !FShowingSelection)
          TakeSelectionFromList();
      } else if (header->code == LVN_BEGINDRAG) {
        StartDrag();
      }
      return 0;
    }
    case WM_CLOSE:
      if (FQuitHandler) FQuitHandler();
      return 0;
    case kIdleCheck:
      if (FIdleHandler) FIdleHandler();
      return 0;
    case WM_DESTROY:
      SetWindowLongPtrW(FWindow, GWLP_USERDATA, 0);
      FWindow = nullptr;
      FList = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(FWindow, message, wParam, lParam);
}

void TMailboxWindow::CreateList() {
  RECT client{};
  GetClientRect(FWindow, &client);
  FList = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0,
                          client.right, client.bottom, FWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (FList == nullptr) return;
  SendMessageW(FList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  const struct {
    const wchar_t* Title;
    int Width;
  } columns[] = {{L"Kind", 110}, {L"Subject", 220}, {L"Attachments", 210}};
  for (int c = 0; c < 3; ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(columns[c].Title);
    column.cx = columns[c].Width;
    SendMessageW(FList, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
  }
  const std::vector<TItemData>& items = FApplication.Mailbox().Items;
  for (std::size_t i = 0; i < items.size(); ++i) {
    std::wstring attachments;
    for (const TAttachmentData& attachment : items[i].Attachments)
      attachments += (attachments.empty() ? L"" : L", ") + attachment.FileName;
    const std::wstring texts[] = {KindName(items[i].Kind), items[i].Subject, attachments};
    LVITEMW row{};
    row.mask = LVIF_TEXT;
    row.iItem = static_cast<int>(i);
    row.pszText = const_cast<wchar_t*>(texts[0].c_str());
    SendMessageW(FList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
    for (int c = 1; c < 3; ++c) {
      row.iSubItem = c;
      row.pszText = const_cast<wchar_t*>(texts[c].c_str());
      SendMessageW(FList, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&row));
    }
  }
}

void TMailboxWindow::ShowSelection() {
  if (FList == nullptr) return;
  FShowingSelection = true;
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED;
  state.state = 0;
  SendMessageW(FList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  state.state = LVIS_SELECTED;
  for (const std::size_t index : FApplication.Selection())
    SendMessageW(FList, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
  FShowingSelection = false;
}

void TMailboxWindow::TakeSelectionFromList() {
  std::vector<std::size_t> selection;
  for (int index = -1;;) {
    index = static_cast<int>(SendMessageW(FList, LVM_GETNEXTITEM, static_cast<WPARAM>(index), LVNI_SELECTED));
    if (index < 0) break;
    selection.push_back(static_cast<std::size_t>(index));
  }
  FApplication.SetSelection(std::move(selection));
}

void TMailboxWindow::StartDrag() {
  TakeSelectionFromList();
  const std::vector<std::size_t> items = FApplication.Selection();
  if (items.empty()) return;
  TComPtr<ostrevin::TDragData> data = TComPtr<ostrevin::TDragData>::Attach(new ostrevin::TDragData);
  data->Add(L"RenPrivateSourceFolder", SourceFolderData());
  data->Add(L"RenPrivateMessages", MessagesData(items));
  data->Add(L"FileGroupDescriptorW", FileGroupData(FApplication.Mailbox(), items));
  TComPtr<TDropSource> source = TComPtr<TDropSource>::Attach(new TDropSource);
  DWORD effect = DROPEFFECT_NONE;
  DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
}

}  // namespace ostrevin::standin
