#pragma once

#include "cli/CliContext.h"

namespace vornal::cli {

// acquire --feed DIR [--from "yyyy/mm/dd hh:nn:ss"]: bulk acquisition from a replay feed;
// prints the created-file lines and the final progress line.
int RunAcquire(CliContext& context);
// results --feed DIR --date DAY: results retrieval of one day from a replay feed.
int RunResults(CliContext& context);
// dates: the stored race dates, newest first.
int RunDates(CliContext& context);

} // namespace vornal::cli
