#include "results/DayLoad.h"

#include "analysis/AbilityDeviation.h"
#include "analysis/AxisCodes.h"
#include "analysis/LapAnalysis.h"
#include "analysis/Ratings.h"
#include "app/Settings.h"
#include "app/AppDir.h"
#include "betting/PredictedPayouts.h"
#include "results/ResultsLoader.h"
#include "store/StorePaths.h"

namespace vornal {
namespace {

IoResult FromPass(const PassResult& result)
{
    return result ? IoResult::Success() : IoResult::Failure(result.message);
}

} // namespace

const TuningTables* LazyTuningTables::Get(std::string& message)
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

DayPasses StandardDayPasses(LazyTuningTables& lazy)
{
    // Each pass that needs the tables fails the load with the tables' message when they
    // cannot be read.
    auto withTables = [&lazy](auto pass) {
        return [&lazy, pass](RaceDay& day, const DayLoadContext& context) {
            std::string message;
            const TuningTables* tables = lazy.Get(message);
            if (tables == nullptr) {
                return IoResult::Failure(message);
            }
            return pass(day, context, *tables);
        };
    };
    DayPasses passes;
    passes.ratings = withTables([](RaceDay& day, const DayLoadContext& context, const TuningTables& tables) {
        const Settings settings(SettingsFile(context.appDir));
        const RatingInputs inputs{tables, settings, JockeyMasterFile(context.appDir, context.dayName),
                                  TrainerMasterFile(context.appDir, context.dayName)};
        return FromPass(CalculateRatings(day, inputs, &context.progress));
    });
    passes.payouts = withTables([](RaceDay& day, const DayLoadContext&, const TuningTables& tables) {
        ComputePredictedPayouts(day, tables);
        return IoResult::Success();
    });
    passes.lap = withTables([](RaceDay& day, const DayLoadContext&, const TuningTables& tables) {
        return FromPass(ComputeLapAnalysis(day, tables));
    });
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
    passes.dayPipeline = [](RaceDay& day, const DayLoadContext&) {
        return FromPass(ComputeAbilityDeviation(day));
    };
    return passes;
}

} // namespace vornal
