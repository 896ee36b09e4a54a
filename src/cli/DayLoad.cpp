#include "cli/DayLoad.h"

#include <ostream>

#include "raceday/RaceDayLoader.h"
#include "results/DayLoad.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"

namespace vornal::cli {

std::optional<std::string> DayNameOption(const CliContext& context)
{
    const std::optional<std::string> date = context.Option("--date");
    if (!date) {
        return std::nullopt;
    }
    std::string dayName = ParseDayName(ToCp932(*date));
    if (dayName.empty()) {
        return std::nullopt;
    }
    return dayName;
}

std::unique_ptr<RaceDay> LoadDayForCli(CliContext& context, const std::string& dayName)
{
    auto day = std::make_unique<RaceDay>();
    LazyTuningTables tables(context.appDir);
    LoadOptions options;
    options.appDir = context.appDir;
    options.passes = StandardDayPasses(tables);
    const LoadResult result = LoadRaceDay(*day, dayName, options);
    if (!result.Ok()) {
        context.err << "vornal-cli: " << ToUtf8(result.message) << "\n";
        return nullptr;
    }
    return day;
}

} // namespace vornal::cli
