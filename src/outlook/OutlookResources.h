// OutlookResources.h - identifiers of the Outlook sync settings window's string resources.
//
// Included by the program's resource script and by C++ code alike.
#pragma once

#define IDS_OUTLOOKSYNC_CAPTION 1201
#define IDS_OUTLOOKSYNC_PROFILE 1202
#define IDS_OUTLOOKSYNC_INUSE 1203
#define IDS_OUTLOOKSYNC_CONTACTS 1204
#define IDS_OUTLOOKSYNC_TASKS 1205
#define IDS_OUTLOOKSYNC_CALENDAR 1206
#define IDS_OUTLOOKSYNC_OPTIONS 1207
#define IDS_OUTLOOKSYNC_USEMAPI 1208
#define IDS_OUTLOOKSYNC_IMPORTOLD 1209
#define IDS_OUTLOOKSYNC_DBOPTIONS 1210
#define IDS_OUTLOOKSYNC_OK 1211
#define IDS_OUTLOOKSYNC_LOGOFF 1212
