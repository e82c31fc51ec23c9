// windowcheck.cpp - looks at the top-level windows of a running Wine session, for end-to-end tests.
//
//   windowcheck find CAPTION [TIMEOUT_SECONDS] [--class CLASS]
//       waits for a visible top-level window with exactly that caption and
//       prints one "key=value" line each: class, rect (screen), client
//       (width,height), style, exstyle, dpi, and "child=CLASS|TEXT" for
//       every child window. Exit 0 when found, 2 when not.
//   windowcheck gone CAPTION [TIMEOUT_SECONDS] [--class CLASS]
//       waits until no such window is left. Exit 0 when gone, 2 when one is
//       still there at the time-out.
//   windowcheck click CAPTION BUTTON_TEXT [TIMEOUT_SECONDS] [--class CLASS]
//       waits for such a window with a visible, enabled button (class
//       "Button", at any depth) whose text is BUTTON_TEXT, both without
//       their '&' and compared without regard to case, and presses it: its
//       parent gets WM_COMMAND (BN_CLICKED) from it, sent with a 5-second
//       time-out (a busy target still gets it, posted, after that). Every
//       window with the caption is searched, so the button of a message box
//       is found next to a main window of the same caption. Exit 0 when
//       pressed, 2 when window or button was not found in time.
//   windowcheck close CAPTION [--class CLASS]
//       posts WM_CLOSE to that window. Exit 0 when found, 2 when not.
//   windowcheck visible
//       prints "visible=N" and one "window=CLASS|CAPTION" line for each
//       visible top-level window.
//   windowcheck dialogs
//       prints one "dialog=CLASS|CAPTION" line for each visible top-level
//       dialog (class "#32770": message boxes, common dialogs).
//   windowcheck choose-folder CAPTION PATH [TIMEOUT_SECONDS]
//       answers the shell's folder browser captioned CAPTION with the folder
//       PATH: while the folder selected in the dialog's tree is not named as
//       PATH's last name, asks the dialog to select PATH (BFFM_SETSELECTIONW,
//       the text written into the dialog's process), then presses OK. Wine
//       does not always take such a selection, nor always keep the one the
//       program asked for, so this repeats until the tree shows the name. Exit 0 when
//       pressed, 2 when the dialog or the selection did not come in time.
//   windowcheck controls CLASS
//       prints one "control=CLASS|TEXT|visible=0/1|enabled=0/1" line for each
//       child of the first top-level window of that window class, shown or
//       hidden (the program's hidden windows among them). Exit 2 when there
//       is none.
//
// --class CLASS (anywhere after the command) matches only windows of that
// window class, without regard to case. TIMEOUT_SECONDS defaults to 30.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/WinApi_win.h"

#include <commctrl.h>
#include <shlobj.h>

namespace {

constexpr int kDefaultTimeoutSeconds = 30;
constexpr DWORD kPollMilliseconds = 100;
constexpr UINT kClickSendMilliseconds = 5000;

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

std::wstring WithoutAmpersands(std::wstring text) {
  std::erase(text, L'&');
  return text;
}

// What a window must be: visible, top-level, with the caption and, when
// a class is given, of that class.
struct Target {
  std::wstring Caption;
  std::wstring Class;  // empty: any class
};

struct Search {
  const Target* Wanted;
  std::vector<HWND> Found;
};

BOOL CALLBACK CollectMatching(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  if (IsWindowVisible(window) && WindowText(window) == search->Wanted->Caption &&
      (search->Wanted->Class.empty() || SameIgnoringCase(ClassOf(window), search->Wanted->Class)))
    search->Found.push_back(window);
  return TRUE;
}

std::vector<HWND> Matching(const Target& target) {
  Search search{&target, {}};
  EnumWindows(CollectMatching, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// Asks `done` every 100 ms until it says yes or the time is up; its last answer.
template <class Done>
bool WaitFor(int timeoutSeconds, Done done) {
  for (int waited = 0;; waited += static_cast<int>(kPollMilliseconds)) {
    if (done()) return true;
    if (waited >= timeoutSeconds * 1000) return false;
    Sleep(kPollMilliseconds);
  }
}

HWND FindVisible(const Target& target, int timeoutSeconds) {
  HWND found = nullptr;
  WaitFor(timeoutSeconds, [&] {
    const std::vector<HWND> windows = Matching(target);
    found = windows.empty() ? nullptr : windows.front();
    return found != nullptr;
  });
  return found;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  std::wprintf(L"child=%ls|%ls\n", ClassOf(child).c_str(), WindowText(child).c_str());
  return TRUE;
}

BOOL CALLBACK CollectVisible(HWND window, LPARAM context) {
  if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  return TRUE;
}

std::vector<HWND> VisibleWindows() {
  std::vector<HWND> windows;
  EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

int Find(const Target& target, int timeoutSeconds) {
  HWND window = FindVisible(target, timeoutSeconds);
  if (window == nullptr) {
    std::wprintf(L"not found: %ls\n", target.Caption.c_str());
    return 2;
  }
  RECT rect, client;
  GetWindowRect(window, &rect);
  GetClientRect(window, &client);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  std::wprintf(L"class=%ls\nrect=%ld,%ld,%ld,%ld\nclient=%ld,%ld\nstyle=0x%08lX\nexstyle=0x%08lX\ndpi=%d\n",
               ClassOf(window).c_str(), rect.left, rect.top, rect.right, rect.bottom, client.right, client.bottom,
               static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)),
               static_cast<unsigned long>(GetWindowLongW(window, GWL_EXSTYLE)), dpi);
  EnumChildWindows(window, PrintChild, 0);
  return 0;
}

int Gone(const Target& target, int timeoutSeconds) {
  if (WaitFor(timeoutSeconds, [&] { return Matching(target).empty(); })) return 0;
  std::wprintf(L"still there: %ls\n", target.Caption.c_str());
  return 2;
}

// ---- Pressing a button -------------------------------------------------------

struct ButtonSearch {
  std::wstring Text;  // without '&'
  HWND Found = nullptr;
};

// A hidden or disabled button does not count: no person could press it,
// and a click waits until it can be pressed.
BOOL CALLBACK MatchButton(HWND child, LPARAM context) {
  auto* search = reinterpret_cast<ButtonSearch*>(context);
  if (SameIgnoringCase(ClassOf(child), L"Button") && IsWindowVisible(child) && IsWindowEnabled(child) &&
      SameIgnoringCase(WithoutAmpersands(WindowText(child)), search->Text)) {
    search->Found = child;
    return FALSE;
  }
  return TRUE;
}

HWND FindButton(const Target& target, const std::wstring& text) {
  for (HWND window : Matching(target)) {
    ButtonSearch search{WithoutAmpersands(text)};
    EnumChildWindows(window, MatchButton, reinterpret_cast<LPARAM>(&search));
    if (search.Found != nullptr) return search.Found;
  }
  return nullptr;
}

// No SMTO_ABORTIFHUNG: a target busy with work of its own is still to get
// the press, posted when the send times out.
int Click(const Target& target, const std::wstring& text, int timeoutSeconds) {
  HWND button = nullptr;
  if (!WaitFor(timeoutSeconds, [&] { return (button = FindButton(target, text)) != nullptr; })) {
    std::wprintf(L"not found: %ls|%ls\n", target.Caption.c_str(), text.c_str());
    return 2;
  }
  HWND parent = GetParent(button);
  const WPARAM command = MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(button)), BN_CLICKED);
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutW(parent, WM_COMMAND, command, reinterpret_cast<LPARAM>(button), SMTO_NORMAL,
                          kClickSendMilliseconds, &answer) == 0)
    PostMessageW(parent, WM_COMMAND, command, reinterpret_cast<LPARAM>(button));
  return 0;
}

// ---- Answering the folder browser -----------------------------------------------

BOOL CALLBACK FindTree(HWND child, LPARAM context) {
  if (!SameIgnoringCase(ClassOf(child), L"SysTreeView32")) return TRUE;
  *reinterpret_cast<HWND*>(context) = child;
  return FALSE;
}

// Memory in another process, for messages whose data must be there.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, SIZE_T size) : FSize(size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    FProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (FProcess != nullptr)
      FAddress = static_cast<BYTE*>(VirtualAllocEx(FProcess, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  }
  ~RemoteBuffer() {
    if (FAddress != nullptr) VirtualFreeEx(FProcess, FAddress, 0, MEM_RELEASE);
    if (FProcess != nullptr) CloseHandle(FProcess);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  BYTE* Address() const { return FAddress; }
  bool Write(SIZE_T offset, const void* data, SIZE_T size) const {
    return FAddress != nullptr && offset + size <= FSize && WriteProcessMemory(FProcess, FAddress + offset, data, size, nullptr);
  }
  bool Read(SIZE_T offset, void* data, SIZE_T size) const {
    return FAddress != nullptr && offset + size <= FSize && ReadProcessMemory(FProcess, FAddress + offset, data, size, nullptr);
  }

 private:
  HANDLE FProcess = nullptr;
  BYTE* FAddress = nullptr;
  SIZE_T FSize;
};

// The text of the folder selected in the dialog's tree, read from the
// dialog's process.
std::wstring SelectedFolderName(HWND dialog) {
  HWND tree = nullptr;
  EnumChildWindows(dialog, FindTree, reinterpret_cast<LPARAM>(&tree));
  if (tree == nullptr) return L"(no tree)";
  const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (item == nullptr) return L"(nothing selected)";
  constexpr int kTextLength = 260;
  RemoteBuffer remote(tree, sizeof(TVITEMW) + kTextLength * sizeof(wchar_t));
  TVITEMW query{};
  query.mask = TVIF_TEXT;
  query.hItem = item;
  query.pszText = reinterpret_cast<wchar_t*>(remote.Address() + sizeof(TVITEMW));
  query.cchTextMax = kTextLength;
  wchar_t text[kTextLength] = {};
  DWORD_PTR answer = 0;
  if (!remote.Write(0, &query, sizeof(query)) ||
      SendMessageTimeoutW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.Address()), SMTO_NORMAL,
                          kClickSendMilliseconds, &answer) == 0 ||
      !remote.Read(sizeof(TVITEMW), text, sizeof(text) - sizeof(wchar_t)))
    return L"(unreadable)";
  return text;
}

// The last name of a path: "C:\a\b\" gives "b".
std::wstring LastName(std::wstring path) {
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  const auto separator = path.find_last_of(L"\\:");
  return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

// Asks the dialog of another process to select Path: the message's text
// must be in that process.
void SelectInDialog(HWND dialog, const std::wstring& path) {
  const SIZE_T size = (path.size() + 1) * sizeof(wchar_t);
  RemoteBuffer remote(dialog, size);
  DWORD_PTR answer = 0;
  if (remote.Write(0, path.c_str(), size))
    SendMessageTimeoutW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote.Address()), SMTO_NORMAL,
                        kClickSendMilliseconds, &answer);
}

int ChooseFolder(const Target& target, const std::wstring& path, int timeoutSeconds) {
  HWND dialog = FindVisible(target, timeoutSeconds);
  if (dialog == nullptr) {
    std::wprintf(L"not found: %ls\n", target.Caption.c_str());
    return 2;
  }
  const std::wstring name = LastName(path);
  std::wstring shown;
  const bool selected = WaitFor(timeoutSeconds, [&] {
    shown = SelectedFolderName(dialog);
    if (SameIgnoringCase(shown, name)) return true;
    SelectInDialog(dialog, path);
    return false;
  });
  if (!selected) {
    std::wprintf(L"not selected: %ls (the dialog shows %ls)\n", path.c_str(), shown.c_str());
    return 2;
  }
  return Click(target, L"OK", timeoutSeconds);
}

// ---- The controls of a window, hidden or shown ---------------------------------

BOOL CALLBACK PrintControl(HWND child, LPARAM) {
  std::wprintf(L"control=%ls|%ls|visible=%d|enabled=%d\n", ClassOf(child).c_str(), WindowText(child).c_str(),
               IsWindowVisible(child) ? 1 : 0, IsWindowEnabled(child) ? 1 : 0);
  return TRUE;
}

int Controls(const std::wstring& windowClass) {
  HWND window = FindWindowW(windowClass.c_str(), nullptr);
  if (window == nullptr) {
    std::wprintf(L"not found: %ls\n", windowClass.c_str());
    return 2;
  }
  EnumChildWindows(window, PrintControl, 0);
  return 0;
}

int PrintUsage() {
  std::fwprintf(stderr,
                L"usage: windowcheck find CAPTION [TIMEOUT] [--class CLASS]\n"
                L"     | gone CAPTION [TIMEOUT] [--class CLASS]\n"
                L"     | click CAPTION BUTTON_TEXT [TIMEOUT] [--class CLASS]\n"
                L"     | close CAPTION [--class CLASS] | visible | dialogs\n"
                L"     | choose-folder CAPTION PATH [TIMEOUT] | controls CLASS\n");
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  // The words after the command, without the --class option.
  std::vector<std::wstring> words;
  std::wstring windowClass;
  for (int i = 2; i < argc; ++i) {
    if (std::wstring(argv[i]) == L"--class") {
      if (i + 1 >= argc) return PrintUsage();
      windowClass = argv[++i];
    } else {
      words.emplace_back(argv[i]);
    }
  }
  const auto timeoutAt = [&](std::size_t index) {
    return words.size() > index ? _wtoi(words[index].c_str()) : kDefaultTimeoutSeconds;
  };

  if (command == L"find" && !words.empty()) return Find({words[0], windowClass}, timeoutAt(1));
  if (command == L"gone" && !words.empty()) return Gone({words[0], windowClass}, timeoutAt(1));
  if (command == L"click" && words.size() >= 2) return Click({words[0], windowClass}, words[1], timeoutAt(2));
  if (command == L"close" && !words.empty()) {
    HWND window = FindVisible({words[0], windowClass}, 5);
    if (window == nullptr) return 2;
    PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
  }
  if (command == L"choose-folder" && words.size() >= 2)
    return ChooseFolder({words[0], windowClass}, words[1], timeoutAt(2));
  if (command == L"controls" && !words.empty()) return Controls(words[0]);
  if (command == L"visible") {
    const std::vector<HWND> windows = VisibleWindows();
    std::wprintf(L"visible=%zu\n", windows.size());
    for (HWND window : windows) std::wprintf(L"window=%ls|%ls\n", ClassOf(window).c_str(), WindowText(window).c_str());
    return 0;
  }
  if (command == L"dialogs") {
    for (HWND window : VisibleWindows())
      if (ClassOf(window) == L"#32770")
        std::wprintf(L"dialog=%ls|%ls\n", ClassOf(window).c_str(), WindowText(window).c_str());
    return 0;
  }
  return PrintUsage();
}
