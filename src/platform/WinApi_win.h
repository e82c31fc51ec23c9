// WinApi_win.h - the one header that includes <windows.h>.
//
// It settles the macros once for every Win32 source: lean headers, no min/max
// macros, Windows 7 as the oldest target, the wide-character API.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif

#include <windows.h>
