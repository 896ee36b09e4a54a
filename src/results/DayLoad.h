#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "app/TuningTables.h"
#include "raceday/DayPasses.h"
#include "raceday/RaceDayLoader.h"

// Loading a day with every analysis pass in its fixed order: the one place the faces (the
// window and vornal-cli) take the pass list from.
namespace vornal {

// The tuning tables of the application folder, read when a pass first needs them: a load
// refused for a missing master never touches them.
class LazyTuningTables
{
public:
    explicit LazyTuningTables(std::filesystem::path appDir) : m_appDir(std::move(appDir)) {}

    // The tables, or null with `message` set to the start-up message naming the file.
    const TuningTables* Get(std::string& message);

private:
    std::filesystem::path m_appDir;
    std::unique_ptr<TuningTables> m_tables;
};

// Ratings, predicted payouts, lap analysis, axis codes, results and the parts of the day
// pipeline that exist (ability deviation), in the order of a day load. The list refers to
// `tables`, which must outlive it.
DayPasses StandardDayPasses(LazyTuningTables& tables);

} // namespace vornal
