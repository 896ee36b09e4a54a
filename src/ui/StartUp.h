#pragma once

#include <string>

#include "app/SettingKeys.h"
#include "session/DaySession.h"

// The start-up of the window before it shows: the folders, the tuning files (a missing or
// short "GateAdj.dat", "RT.dat" or "senuj.dat" ends the program with its message), the error
// log restarted and the store's old file names renamed, in that order.
namespace vornal::ui {

struct StartUpOutcome
{
    bool ok = true;
    std::string message; // CP932: why the program ends
    WindowRect geometry;
    bool developerView = false;
};

StartUpOutcome RunStartUp(DaySession& session);

} // namespace vornal::ui
