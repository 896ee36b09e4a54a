#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cli/CliContext.h"
#include "raceday/JsonWriter.h"
#include "raceday/RaceDay.h"
#include "session/DaySession.h"

namespace vornal::cli {

// The date of a "--date DAY" option (2026年01月05日 or 20260105) as the CP932 date text;
// nothing when the option is absent, or when its text is not a real date, which is then said
// on the error stream (an impossible date as such).
std::optional<std::string> DayNameOption(const CliContext& context);

// Loads the date in `session` with every pass of a day load. On failure prints the
// loader's message (UTF-8) to the error stream and returns null; else the day loaded.
const RaceDay* LoadDayForCli(CliContext& context, DaySession& session, const std::string& dayName);

// Prints the JSON text of a day command and returns the exit code. A value that was not
// finite is a fault of the pass that made it: the text is then not printed at all, since a
// reader would take its other figures as sound.
int PrintDayJson(CliContext& context, const std::string& out, const JsonWriter& json);

// Prints the day `session` holds as `day --json` does (with its totals and load warnings)
// and returns the exit code: the day as the window shows it, without loading it again.
int PrintSessionDayJson(CliContext& context, const DaySession& session, const std::string& dayName);

} // namespace vornal::cli
