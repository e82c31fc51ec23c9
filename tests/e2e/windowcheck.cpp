// windowcheck.cpp - looks at the top-level windows of a running Wine session, for end-to-end tests.
//
//   windowcheck find CAPTION [TIMEOUT_SECONDS]
//       waits for a visible top-level window with exactly that caption and
//       prints one "key=value" line each: class, rect (screen), client
//       (width,height), style, exstyle, dpi, and "child=CLASS|TEXT" for
//       every child window. Exit 0 when found, 2 when not.
//   windowcheck close CAPTION
//       posts WM_CLOSE to that window. Exit 0 when found, 2 when not.
//   windowcheck visible
//       prints "visible=N" and one "window=CLASS|CAPTION" line for each
//       visible top-level window.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/WinApi_win.h"

namespace {

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

struct Search {
  std::wstring Caption;
  HWND Found = nullptr;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  if (IsWindowVisible(window) && WindowText(window) == search->Caption) {
    search->Found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindVisible(const std::wstring& caption, int timeoutSeconds) {
  for (int waited = 0;; waited += 100) {
    Search search{caption};
    EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
    if (search.Found != nullptr || waited >= timeoutSeconds * 1000) return search.Found;
    Sleep(100);
  }
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  std::wprintf(L"child=%ls|%ls\n", ClassOf(child).c_str(), WindowText(child).c_str());
  return TRUE;
}

BOOL CALLBACK CollectVisible(HWND window, LPARAM context) {
  if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  return TRUE;
}

int Find(const std::wstring& caption, int timeoutSeconds) {
  HWND window = FindVisible(caption, timeoutSeconds);
  if (window == nullptr) {
    std::wprintf(L"not found: %ls\n", caption.c_str());
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"find" && argc >= 3) return Find(argv[2], argc >= 4 ? _wtoi(argv[3]) : 30);
  if (command == L"close" && argc >= 3) {
    HWND window = FindVisible(argv[2], 5);
    if (window == nullptr) return 2;
    PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
  }
  if (command == L"visible") {
    std::vector<HWND> windows;
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&windows));
    std::wprintf(L"visible=%zu\n", windows.size());
    for (HWND window : windows) std::wprintf(L"window=%ls|%ls\n", ClassOf(window).c_str(), WindowText(window).c_str());
    return 0;
  }
  std::fwprintf(stderr, L"usage: windowcheck find CAPTION [TIMEOUT] | close CAPTION | visible\n");
  return 1;
}
