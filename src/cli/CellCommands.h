#pragma once

#include <string>

#include "cli/CliContext.h"
#include "session/DaySession.h"

namespace vornal::cli {

// "race --date DAY --slot N --cells racecard|detail|margin|lapcard|ranking": the painted
// cells of the race card or the detail grid (every runner cell with its display list, in
// grid pixels, rows in the order of "--sort TOGGLE" when given), the margin chart (its
// display list and figure positions, scaled to "--width W --height H" when given), or the
// cell colours of the lap card or the ranking table, as JSON.
int PrintCells(CliContext& context, DaySession& session, int slot, const std::string& which);

// "day --date DAY --cells main|laptime|lapcheck": the cell colours of a day table as JSON.
int PrintDayCells(CliContext& context, DaySession& session, const std::string& which);

} // namespace vornal::cli
