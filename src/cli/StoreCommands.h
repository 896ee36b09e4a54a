#pragma once

#include "cli/CliContext.h"
#include "session/DaySession.h"

namespace vornal::cli {

// acquire --feed DIR [--from "yyyy/mm/dd hh:nn:ss"]: bulk acquisition from a replay feed;
// prints the created-file lines and the final progress line.
int RunAcquire(CliContext& context);
// results --feed DIR --date DAY: results retrieval of one day from a replay feed.
int RunResults(CliContext& context);
// Makes the store folders and sets how `session`'s writers meet another writer of the
// folder (ChooseStoreWait). False, after saying why, when the folders cannot be made.
bool PrepareStore(CliContext& context, DaySession& session);
// The session's writers wait for another writer of the folder, saying so on standard error,
// or with --no-wait refuse at once.
void ChooseStoreWait(CliContext& context, DaySession& session);
// dates: the stored race dates, newest first.
int RunDates(CliContext& context);

} // namespace vornal::cli
