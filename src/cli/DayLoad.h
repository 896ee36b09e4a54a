#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cli/CliContext.h"
#include "raceday/RaceDay.h"

namespace vornal::cli {

// The date of a "--date DAY" option (2026年01月05日 or 20260105) as the CP932 date text;
// nothing for a text that is not a real date.
std::optional<std::string> DayNameOption(const CliContext& context);

// Loads the date into a new RaceDay with every pass of a day load, in the GUI's order.
// On failure prints the loader's message (UTF-8) to the error stream and returns nothing.
std::unique_ptr<RaceDay> LoadDayForCli(CliContext& context, const std::string& dayName);

} // namespace vornal::cli
