// Resources.h - identifiers of the program's string resources.
//
// Included by the resource script and by C++ code alike.
#pragma once

#define IDS_MAINFORM_CAPTION 1001
#define IDS_MAINFORM_LABEL1 1002
#define IDS_MAINFORM_LABEL2 1003
