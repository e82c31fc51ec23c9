// StandinObjects_win.h - the stand-in provider's IMAPISession, IProfAdmin and IMAPITable.
//
// Only what Ostrevin calls behaves: IMAPISession::Logoff, IProfAdmin::
// GetProfileTable and IMAPITable::QueryRows and GetRowCount. Every other
// method answers MAPI_E_NO_SUPPORT. Each object writes a record when it is
// released for the last time, so a test sees leaks as missing records.
#pragma once

#include <string>

#include "platform/WinApi_win.h"

#include <mapix.h>

namespace ostrevin::standin {

// A session logged on to `profile`, with one reference for the caller.
IMAPISession* NewSession(const std::wstring& profile);

// A profile administration object over the profiles configured when it was
// made, with one reference for the caller.
IProfAdmin* NewProfileAdmin();

}  // namespace ostrevin::standin
