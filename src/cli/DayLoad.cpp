#include "cli/DayLoad.h"

#include <ostream>

#include "analysis/AxisCodes.h"
#include "analysis/LapAnalysis.h"
#include "analysis/Ratings.h"
#include "app/AppDir.h"
#include "app/Settings.h"
#include "app/TuningTables.h"
#include "betting/PredictedPayouts.h"
#include "raceday/RaceDayLoader.h"
#include "results/ResultsLoader.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"

namespace vornal::cli {
namespace {

// The tuning tables, read from the application folder when a pass first needs them (a
// load refused for a missing master never touches them).
class LazyTables
{
public:
    explicit LazyTables(std::filesystem::path appDir) : m_appDir(std::move(appDir)) {}

    const TuningTables* Get(std::string& message)
    {
        if (!m_tables) {
            auto tables = std::make_unique<TuningTables>();
            if (IoResult loaded = LoadTuningTables(m_appDir, *tables); !loaded) {
                message = loaded.message;
                return nullptr;
            }
            m_tables = std::move(tables);
        }
        return m_tables.get();
    }

private:
    std::filesystem::path m_appDir;
    std::unique_ptr<TuningTables> m_tables;
};

// The passes of a day load that exist in the core, in their fixed order.
DayPasses CorePasses(LazyTables& lazy)
{
    DayPasses passes;
    passes.ratings = [&lazy](RaceDay& day, const DayLoadContext& context) {
        std::string message;
        const TuningTables* tables = lazy.Get(message);
        if (tables == nullptr) {
            return IoResult::Failure(message);
        }
        const Settings settings(SettingsFile(context.appDir));
        const RatingInputs inputs{*tables, settings, JockeyMasterFile(context.appDir, context.dayName),
                                  TrainerMasterFile(context.appDir, context.dayName)};
        RatingsResult result = CalculateRatings(day, inputs, &context.progress);
        return result ? IoResult::Success() : IoResult::Failure(result.message);
    };
    passes.payouts = [&lazy](RaceDay& day, const DayLoadContext&) {
        std::string message;
        const TuningTables* tables = lazy.Get(message);
        if (tables == nullptr) {
            return IoResult::Failure(message);
        }
        ComputePredictedPayouts(day, *tables);
        return IoResult::Success();
    };
    passes.lap = [&lazy](RaceDay& day, const DayLoadContext&) {
        std::string message;
        const TuningTables* tables = lazy.Get(message);
        if (tables == nullptr) {
            return IoResult::Failure(message);
        }
        PassResult result = ComputeLapAnalysis(day, *tables);
        return result ? IoResult::Success() : IoResult::Failure(result.message);
    };
    passes.axisCodes = [](RaceDay& day, const DayLoadContext&) {
        for (int r = 0; r < kRaceSlots; ++r) {
            if (IsRaceSlotUsed(day.RaceRA[r])) {
                AxisCodes(day, r);
            }
        }
        return IoResult::Success();
    };
    passes.results = [](RaceDay& day, const DayLoadContext&) {
        LoadResults(day);
        return IoResult::Success();
    };
    return passes;
}

} // namespace

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
    LazyTables tables(context.appDir);
    LoadOptions options;
    options.appDir = context.appDir;
    options.passes = CorePasses(tables);
    const LoadResult result = LoadRaceDay(*day, dayName, options);
    if (!result.Ok()) {
        context.err << "vornal-cli: " << ToUtf8(result.message) << "\n";
        return nullptr;
    }
    return day;
}

} // namespace vornal::cli
