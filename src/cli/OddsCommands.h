#pragma once

#include "cli/CliContext.h"

namespace vornal::cli {

// odds --feed DIR --date DAY [--slot N | --all]: quick odds of one race or of every race
// (the default) from a replay feed; prints the status lines as they come and a summary.
int RunOdds(CliContext& context);
// tsodds [--folder DIR] --date DAY: the time-series import; --folder is first written as
// the outside folder setting.
int RunTimeSeriesOdds(CliContext& context);
// oddstime [MINUTES]: shows or sets the odds time, minutes before post time (3..59).
int RunOddsTime(CliContext& context);

} // namespace vornal::cli
