#pragma once

#include "app/StoreLock.h"
#include "cli/CliContext.h"

namespace vornal::cli {

// acquire --feed DIR [--from "yyyy/mm/dd hh:nn:ss"]: bulk acquisition from a replay feed;
// prints the created-file lines and the final progress line.
int RunAcquire(CliContext& context);
// results --feed DIR --date DAY: results retrieval of one day from a replay feed.
int RunResults(CliContext& context);
// Makes the store folders and takes the one-writer lock of the application folder into
// `lock`: waits for another writer (saying so), or with --no-wait refuses. False, after
// saying why, when the store cannot be written.
bool PrepareStore(CliContext& context, StoreLock& lock);
// dates: the stored race dates, newest first.
int RunDates(CliContext& context);

} // namespace vornal::cli
