#pragma once

#include "cli/CliContext.h"

namespace vornal::cli {

// record-odds --feed DIR | --bridge "COMMAND ARG..." --date DAY [--every MIN] [--from HH:MM]
// [--folder DIR] [--simulate HH:MM [--pace MS]]: records the day's odds as they move into the
// time-series folder until every race's post time; prints the status before every wait and
// a summary. --simulate runs on a clock starting at HH:MM of the race day that jumps over
// every wait (a replay feed then answers as at that moment).
int RunRecordOdds(CliContext& context);

} // namespace vornal::cli
