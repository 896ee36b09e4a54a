#include "session/DaySession.h"

#include "analysis/AbilityDeviation.h"
#include "analysis/AxisCodes.h"
#include "analysis/LapAnalysis.h"
#include "analysis/Ratings.h"
#include "app/AppDir.h"
#include "app/Settings.h"
#include "betting/PredictedPayouts.h"
#include "raceday/RaceRecords.h"
#include "results/ResultsLoader.h"
#include "store/StorePaths.h"

namespace vornal {
namespace {

Status FromPass(const Status& result)
{
    return result ? Status::Success() : Status::Failure(result.message);
}

bool IsSet(const CancelFlag* cancel)
{
    return cancel != nullptr && cancel->IsSet();
}

LoadResult Outcome(LoadOutcome outcome, std::string message = {})
{
    LoadResult result;
    result.outcome = outcome;
    result.message = std::move(message);
    return result;
}

} // namespace

DaySession::DaySession(std::filesystem::path appDir, const Clock* clock)
    : m_appDir(std::move(appDir)), m_clock(clock != nullptr ? clock : &DefaultClock())
{
}

DaySession::~DaySession() = default;

const TuningTables* DaySession::Tables(std::string& message)
{
    if (!m_tables) {
        auto tables = std::make_unique<TuningTables>();
        if (Status loaded = LoadTuningTables(m_appDir, *tables); !loaded) {
            message = loaded.message;
            return nullptr;
        }
        m_tables = std::move(tables);
    }
    return m_tables.get();
}

LoadResult DaySession::LoadDay(std::string_view dayName, Progress* progress, const CancelFlag* cancel)
{
    NullProgress noProgress;
    Progress& shown = progress != nullptr ? *progress : noProgress;
    std::unique_ptr<RaceDay> fresh = m_day ? m_day->Clone() : std::make_unique<RaceDay>();

    LoadOptions options;
    options.appDir = m_appDir;
    options.clock = m_clock;
    options.progress = &shown;
    options.cancel = cancel;
    LoadResult result = ReadRaceDay(*fresh, dayName, options);
    switch (result.outcome) {
    case LoadOutcome::BadDate:
    case LoadOutcome::MissingMaster:
    case LoadOutcome::Cancelled:
        return result;
    case LoadOutcome::MissingRaceFile:
    case LoadOutcome::ReadFailed:
    case LoadOutcome::PassFailed:
        // The day was cleared before the failure, as a load in place leaves it.
        m_day = std::move(fresh);
        m_dayName = std::string(dayName);
        return result;
    case LoadOutcome::Loaded:
        break;
    }

    for (DayPassKind pass : {DayPassKind::Ratings, DayPassKind::Payouts, DayPassKind::Lap, DayPassKind::AxisCodes,
                             DayPassKind::Results, DayPassKind::DayPipeline}) {
        if (IsSet(cancel)) {
            return Outcome(LoadOutcome::Cancelled);
        }
        if (m_observer) {
            m_observer(pass, *fresh);
        }
        if (Status done = RunPass(pass, *fresh, dayName, shown); !done) {
            m_day = std::move(fresh);
            m_dayName = std::string(dayName);
            return Outcome(LoadOutcome::PassFailed, done.message);
        }
    }
    m_day = std::move(fresh);
    m_dayName = std::string(dayName);
    return result;
}

Status DaySession::RerunDayPipeline(Progress* progress)
{
    if (!m_day) {
        return Status::Success();
    }
    NullProgress noProgress;
    return RunDayPipeline(*m_day, m_dayName, progress != nullptr ? *progress : noProgress);
}

Status DaySession::RunPass(DayPassKind pass, RaceDay& day, std::string_view dayName, Progress& progress)
{
    std::string message;
    const TuningTables* tables = nullptr;
    if (pass == DayPassKind::Ratings || pass == DayPassKind::Payouts || pass == DayPassKind::Lap) {
        tables = Tables(message);
        if (tables == nullptr) {
            return Status::Failure(message);
        }
    }
    switch (pass) {
    case DayPassKind::Ratings: {
        const Settings settings(SettingsFile(m_appDir));
        const RatingInputs inputs{*tables, settings, JockeyMasterFile(m_appDir, dayName),
                                  TrainerMasterFile(m_appDir, dayName)};
        return FromPass(CalculateRatings(day, inputs, &progress));
    }
    case DayPassKind::Payouts:
        ComputePredictedPayouts(day, *tables);
        return Status::Success();
    case DayPassKind::Lap:
        return FromPass(ComputeLapAnalysis(day, *tables));
    case DayPassKind::AxisCodes:
        for (int r = 0; r < kRaceSlots; ++r) {
            if (IsRaceSlotUsed(day.RaceRA[r])) {
                AxisCodes(day, r);
            }
        }
        // The waiting window closes here; then the identification fields of every used slot,
        // which the ratings must not see (they read the raw records).
        progress.SetLine(0, "");
        progress.SetLine(1, "");
        for (int r = 0; r < kRaceSlots; ++r) {
            if (IsRaceSlotUsed(day.RaceRA[r])) {
                FillIdentification(day, r);
            }
        }
        return Status::Success();
    case DayPassKind::Results:
        LoadResults(day);
        return Status::Success();
    case DayPassKind::DayPipeline:
        return RunDayPipeline(day, dayName, progress);
    }
    return Status::Success();
}

Status DaySession::RunDayPipeline(RaceDay& day, std::string_view, Progress&)
{
    return FromPass(ComputeAbilityDeviation(day));
}

} // namespace vornal
