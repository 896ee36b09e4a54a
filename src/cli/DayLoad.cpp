#include "cli/DayLoad.h"

#include <ostream>

#include "raceday/RaceDayLoader.h"
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

const RaceDay* LoadDayForCli(CliContext& context, DaySession& session, const std::string& dayName)
{
    const LoadResult result = session.LoadDay(dayName);
    if (!result.Ok()) {
        context.err << "vornal-cli: " << ToUtf8(result.message) << "\n";
        return nullptr;
    }
    for (const std::string& message : session.PipelineMessages()) {
        context.err << "vornal-cli: " << ToUtf8(message) << "\n";
    }
    return session.Day();
}

} // namespace vornal::cli
