// DragSource_win.cpp - dragsource.exe, a test tool that drags data onto a window with real OLE.
//
//   dragsource.exe --window CAPTION [--format NAME]... [--leave] [--hold-until FILE] [--timeout SECONDS]
//
// Waits for a visible top-level window whose caption is exactly CAPTION,
// then runs DoDragDrop with a data object that offers every --format given
// (in that order), allowing copy, move and link. NAME is a predefined
// clipboard format by its constant's name (CF_TEXT, CF_UNICODETEXT,
// CF_HDROP, ... CF_DSPMETAFILEPICT) or any other name, which is registered
// with RegisterClipboardFormatW (for example RenPrivateSourceFolder).
// Without --format the data offers CF_UNICODETEXT. CF_TEXT and CF_OEMTEXT
// render "dragsource", CF_UNICODETEXT L"dragsource", CF_HDROP the file
// C:\dragsource.txt (which need not exist), CF_LOCALE 0x0409; every other
// format renders its name as UTF-16 text, through HGLOBAL.
//
// The cursor is moved with SetCursorPos from the drop source's callbacks,
// so no real mouse button is pressed: before the drag starts it is put over
// the middle of the window's client area, then each QueryContinueDrag that
// comes at least 100 ms after the previous step moves it to the next of five
// points inside the client area. After the last one the drop source answers
// DRAGDROP_S_DROP, or, with --leave, moves the cursor to a point outside the
// window, holds it there for 300 ms and answers DRAGDROP_S_CANCEL.
//
// With --hold-until FILE (a Windows path, such as Z:\tmp\go) the drag
// rests on the last point instead, the cursor kept there and the drop
// source answering S_OK, until FILE exists (asked with GetFileAttributesW at
// each QueryContinueDrag); then it drops, or leaves. When the rest begins,
// the line "holding" goes to stdout (flushed), so that a script can wait
// for it, do what it tests while the target sees a drag over it, and create
// FILE. The rest counts towards --timeout like the rest of the drag.
//
// One line on stdout (the last one) tells what the target answered, for example
//   effect=1 feedback=1 dropped=yes result=drop
// effect is the final effect DoDragDrop returned, feedback the last effect
// given to GiveFeedback (-1 when there was none), dropped whether the drop
// reached the target (DoDragDrop ended in a drop with an effect other than
// none: OLE answers a drop on a target that refused with effect 0 and only
// calls its DragLeave), result "drop", "cancel" or DoDragDrop's failing
// result as eight hexadecimal digits.
//
// --timeout (default 30 seconds) bounds both the wait for the window and the
// drag itself, including the time the target spends in its Drop.
// Exit codes: 0 the drag ran to its end (whatever the target answered, a
// failing DoDragDrop included); 1 bad arguments, OLE not initialised or a
// format name that cannot be registered;
// 2 the window was not found in time; 3 the drag did not end in time (the
// line on stdout then ends with "result=timeout"): the drop source cancels
// when the time is up, and a drag that has not ended two seconds after that
// (a target that does not return from its Drop) ends the program.
#include "platform/ComPtr_win.h"
#include "support/DragData_win.h"
#include "platform/WinApi_win.h"

#include <ole2.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

using ostrevin::ComPtr;
using ostrevin::TDragData;

namespace {

constexpr DWORD kAllowedEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
constexpr DWORD kStepMilliseconds = 100;
constexpr DWORD kLeaveHoldMilliseconds = 300;
constexpr int kStepsOverTarget = 5;

struct Options {
  std::wstring Window;
  std::vector<std::wstring> Formats;
  bool Leave = false;
  std::wstring HoldUntil;  // empty: no rest on the last point
  DWORD TimeoutMilliseconds = 30000;
};

struct PredefinedFormat {
  const wchar_t* Name;
  CLIPFORMAT Format;
};

const PredefinedFormat kPredefinedFormats[] = {
    {L"CF_TEXT", 1},         {L"CF_BITMAP", 2},        {L"CF_METAFILEPICT", 3},  {L"CF_SYLK", 4},
    {L"CF_DIF", 5},          {L"CF_TIFF", 6},          {L"CF_OEMTEXT", 7},       {L"CF_DIB", 8},
    {L"CF_PALETTE", 9},      {L"CF_PENDATA", 10},      {L"CF_RIFF", 11},         {L"CF_WAVE", 12},
    {L"CF_UNICODETEXT", 13}, {L"CF_ENHMETAFILE", 14},  {L"CF_HDROP", 15},        {L"CF_LOCALE", 16},
    {L"CF_DIBV5", 17},       {L"CF_OWNERDISPLAY", 128}, {L"CF_DSPTEXT", 129},    {L"CF_DSPBITMAP", 130},
    {L"CF_DSPMETAFILEPICT", 131},
};

void PrintUsage() {
  std::fputs(
      "usage: dragsource.exe --window CAPTION [--format NAME]... [--leave] [--hold-until FILE] "
      "[--timeout SECONDS]\n",
      stderr);
}

bool ParseArguments(int argc, wchar_t** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring argument = argv[i];
    const bool hasValue = i + 1 < argc;
    if (argument == L"--window" && hasValue) {
      options.Window = argv[++i];
    } else if (argument == L"--format" && hasValue) {
      options.Formats.emplace_back(argv[++i]);
    } else if (argument == L"--leave") {
      options.Leave = true;
    } else if (argument == L"--hold-until" && hasValue && argv[i + 1][0] != L'\0') {
      options.HoldUntil = argv[++i];
    } else if (argument == L"--timeout" && hasValue) {
      wchar_t* end = nullptr;
      const double seconds = std::wcstod(argv[++i], &end);
      if (end == nullptr || *end != L'\0' || !(seconds > 0) || seconds > 3600) return false;
      options.TimeoutMilliseconds = static_cast<DWORD>(seconds * 1000);
    } else {
      return false;
    }
  }
  if (options.Formats.empty()) options.Formats.emplace_back(L"CF_UNICODETEXT");
  return !options.Window.empty();
}

// The format's number, or 0 when a name cannot be registered.
CLIPFORMAT FormatOfName(const std::wstring& name) {
  for (const PredefinedFormat& predefined : kPredefinedFormats)
    if (name == predefined.Name) return predefined.Format;
  return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name.c_str()));
}

std::vector<unsigned char> BytesOf(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  return std::vector<unsigned char>(bytes, bytes + size);
}

std::vector<unsigned char> RenderingOf(CLIPFORMAT format, const std::wstring& name) {
  switch (format) {
    case CF_TEXT:
    case CF_OEMTEXT:
      return BytesOf("dragsource", sizeof("dragsource"));
    case CF_UNICODETEXT:
      return BytesOf(L"dragsource", sizeof(L"dragsource"));
    case CF_LOCALE: {
      const DWORD locale = 0x0409;
      return BytesOf(&locale, sizeof(locale));
    }
    case CF_HDROP: {
      static const wchar_t kFiles[] = L"C:\\dragsource.txt\0";  // double terminator
      DROPFILES header{};
      header.pFiles = sizeof(DROPFILES);
      header.fWide = TRUE;
      std::vector<unsigned char> bytes = BytesOf(&header, sizeof(header));
      const std::vector<unsigned char> files = BytesOf(kFiles, sizeof(kFiles));
      bytes.insert(bytes.end(), files.begin(), files.end());
      return bytes;
    }
    default:
      return BytesOf(name.c_str(), (name.size() + 1) * sizeof(wchar_t));
  }
}


// ---- The drop source: it walks the cursor -----------------------------------

class TDropSource final : public IDropSource {
 public:
  TDropSource(const RECT& client, const RECT& window, bool leave, std::wstring holdUntil, DWORD deadline)
      : FLeave(leave), FHoldUntil(std::move(holdUntil)), FDeadline(deadline) {
    const LONG width = client.right - client.left;
    const LONG height = client.bottom - client.top;
    const POINT middle = {client.left + width / 2, client.top + height / 2};
    // Five points inside the client area, starting in its middle.
    const LONG dx = width / 8;
    const LONG dy = height / 8;
    FPath = {middle, {middle.x + dx, middle.y}, {middle.x + dx, middle.y + dy}, {middle.x - dx, middle.y + dy},
             {middle.x - dx, middle.y - dy}};
    // Outside the window: above and left of it where there is room, else
    // below and right of it.
    FOutside = window.left >= 40 && window.top >= 40 ? POINT{window.left - 30, window.top - 30}
                                                     : POINT{window.right + 30, window.bottom + 30};
  }

  POINT Start() const { return FPath[0]; }
  bool TimedOut() const { return FTimedOut; }
  LONG LastFeedback() const { return FLastFeedback; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
      *object = static_cast<IDropSource*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override {
    const DWORD now = GetTickCount();
    if (static_cast<LONG>(now - FDeadline) >= 0) {
      FTimedOut = true;
      return DRAGDROP_S_CANCEL;
    }
    if (FStepStart == 0) FStepStart = now;
    const DWORD hold = FStep == kStepsOverTarget ? kLeaveHoldMilliseconds : kStepMilliseconds;
    if (now - FStepStart < hold) return S_OK;
    if (FStep == kStepsOverTarget - 1 && !FHoldUntil.empty() && Holding()) return S_OK;
    FStepStart = now;
    ++FStep;
    if (FStep < kStepsOverTarget) {
      SetCursorPos(FPath[static_cast<std::size_t>(FStep)].x, FPath[static_cast<std::size_t>(FStep)].y);
      return S_OK;
    }
    if (!FLeave) return DRAGDROP_S_DROP;
    if (FStep == kStepsOverTarget) {
      SetCursorPos(FOutside.x, FOutside.y);
      return S_OK;
    }
    return DRAGDROP_S_CANCEL;
  }

  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override {
    FLastFeedback = static_cast<LONG>(effect);
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }

 private:
  // Whether the drag still rests on the last point: until the file is
  // there. Tells "holding" once, as the rest begins, even when the file
  // is there already; a cursor that something else moved goes back.
  bool Holding() {
    if (!FHoldAnnounced) {
      FHoldAnnounced = true;
      std::fputs("holding\n", stdout);
      std::fflush(stdout);
    }
    if (GetFileAttributesW(FHoldUntil.c_str()) != INVALID_FILE_ATTRIBUTES) {
      FHoldUntil.clear();
      return false;
    }
    const POINT& last = FPath.back();
    POINT cursor{};
    if (GetCursorPos(&cursor) && (cursor.x != last.x || cursor.y != last.y)) SetCursorPos(last.x, last.y);
    return true;
  }

  bool FLeave;
  std::wstring FHoldUntil;  // cleared when the rest is over
  bool FHoldAnnounced = false;
  DWORD FDeadline;
  std::vector<POINT> FPath;
  POINT FOutside{};
  int FStep = 0;
  DWORD FStepStart = 0;
  bool FTimedOut = false;
  LONG FLastFeedback = -1;
};

// ---- Finding the window ----------------------------------------------------

struct WindowSearch {
  const std::wstring* Caption;
  HWND Found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  if (!IsWindowVisible(window)) return TRUE;
  wchar_t caption[512];
  const int length = GetWindowTextW(window, caption, 512);
  if (length >= 0 && std::wstring(caption, static_cast<std::size_t>(length)) == *search->Caption) {
    search->Found = window;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForWindow(const std::wstring& caption, DWORD deadline) {
  for (;;) {
    WindowSearch search{&caption, nullptr};
    EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
    if (search.Found != nullptr) return search.Found;
    if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return nullptr;
    Sleep(100);
  }
}

// ---- The watchdog: a drag that never ends must not hang the test -----------

struct Watchdog {
  HANDLE Done;
  DWORD Milliseconds;
};

DWORD WINAPI WatchDrag(void* context) {
  auto* watchdog = static_cast<Watchdog*>(context);
  if (WaitForSingleObject(watchdog->Done, watchdog->Milliseconds) == WAIT_TIMEOUT) {
    std::fputs("effect=0 feedback=-1 dropped=no result=timeout\n", stdout);
    std::fflush(stdout);
    ExitProcess(3);
  }
  return 0;
}

const char* ResultText(HRESULT result, char* buffer, std::size_t size) {
  if (result == DRAGDROP_S_DROP) return "drop";
  if (result == DRAGDROP_S_CANCEL) return "cancel";
  std::snprintf(buffer, size, "%08lX", static_cast<unsigned long>(result));
  return buffer;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseArguments(argc, argv, options)) {
    PrintUsage();
    return 1;
  }

  const HWND window = WaitForWindow(options.Window, GetTickCount() + options.TimeoutMilliseconds);
  if (window == nullptr) {
    std::fprintf(stderr, "dragsource: no visible window with the caption \"%ls\"\n", options.Window.c_str());
    return 2;
  }
  SetForegroundWindow(window);

  if (FAILED(OleInitialize(nullptr))) {
    std::fputs("dragsource: OleInitialize failed\n", stderr);
    return 1;
  }

  ComPtr<TDragData> data = ComPtr<TDragData>::Take(new TDragData);
  for (const std::wstring& name : options.Formats) {
    const CLIPFORMAT format = FormatOfName(name);
    if (format == 0) {
      std::fprintf(stderr, "dragsource: cannot register the format \"%ls\"\n", name.c_str());
      OleUninitialize();
      return 1;
    }
    data->Add(format, RenderingOf(format, name));
  }

  RECT client{};
  RECT frame{};
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  GetWindowRect(window, &frame);

  const DWORD deadline = GetTickCount() + options.TimeoutMilliseconds;
  TDropSource source(client, frame, options.Leave, options.HoldUntil, deadline);
  const POINT start = source.Start();
  SetCursorPos(start.x, start.y);
  if (GetAncestor(WindowFromPoint(start), GA_ROOT) != window)
    std::fprintf(stderr, "dragsource: the window is covered at %ld,%ld\n", start.x, start.y);

  // After the time-out the drop source cancels; a drag that still has not
  // ended two seconds later (a target that does not return from Drop) ends
  // the program.
  Watchdog watchdog{CreateEventW(nullptr, TRUE, FALSE, nullptr), options.TimeoutMilliseconds + 2000};
  HANDLE watcher = CreateThread(nullptr, 0, WatchDrag, &watchdog, 0, nullptr);

  // A thread timer keeps messages coming, so that OLE's drag loop calls
  // QueryContinueDrag even while the cursor rests.
  const UINT_PTR ticker = SetTimer(nullptr, 0, 25, nullptr);
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT result = DoDragDrop(data.Get(), &source, kAllowedEffects, &effect);
  if (ticker != 0) KillTimer(nullptr, ticker);

  SetEvent(watchdog.Done);
  if (watcher != nullptr) {
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
  }
  CloseHandle(watchdog.Done);

  char buffer[16];
  const bool dropped = result == DRAGDROP_S_DROP && effect != DROPEFFECT_NONE;
  std::printf("effect=%lu feedback=%ld dropped=%s result=%s\n", static_cast<unsigned long>(effect),
              static_cast<long>(source.LastFeedback()), dropped ? "yes" : "no",
              source.TimedOut() ? "timeout" : ResultText(result, buffer, sizeof(buffer)));
  std::fflush(stdout);
  OleUninitialize();
  return source.TimedOut() ? 3 : 0;
}
