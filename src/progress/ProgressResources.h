// ProgressResources.h - identifiers of the progress window's string resources.
//
// Included by the program's resource script and by C++ code alike.
#pragma once

#define IDS_CANCELABLE_CAPTION 1101
#define IDS_CANCELABLE_MESSAGE 1102
#define IDS_CANCELABLE_CANCEL 1103
