#pragma once

#include "cli/CliContext.h"

namespace vornal::cli {

// race --date DAY --slot N [--json]: one race of the loaded day with every runner field.
int RunRace(CliContext& context);
// day --date DAY [--json]: load the day and run every pass; every race of the day.
int RunDay(CliContext& context);

} // namespace vornal::cli
