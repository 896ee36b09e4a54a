#include "session/DaySession.h"

#include "analysis/AbilityDeviation.h"
#include "analysis/AxisCodes.h"
#include "analysis/LapAnalysis.h"
#include "analysis/Ratings.h"
#include "app/AppDir.h"
#include "app/Settings.h"
#include "betting/BetSelection.h"
#include "betting/PredictedPayouts.h"
#include "betting/QuinellaRanks.h"
#include "odds/OddsImport.h"
#include "results/HitJudgement.h"
#include "raceday/RaceRecords.h"
#include "results/HitEvaluation.h"
#include "results/HitJudgementFiles.h"
#include "results/ResultsLoader.h"
#include "store/JvLayout.h"
#include "store/StorePaths.h"
#include "text/Fields.h"

#include <chrono>
#include <thread>

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

// The day a failed load leaves: no races, no bets, blank records. The odds fields stay, as
// a load keeps them for the slots a day does not use.
std::unique_ptr<RaceDay> EmptiedDay(std::unique_ptr<RaceDay> day)
{
    ClearRaceDay(*day);
    BlankRaceDayRecords(*day);
    day->Bets = {};
    day->BetKindSuffix.clear();
    return day;
}

} // namespace

bool LoadReplacesDay(LoadOutcome outcome)
{
    switch (outcome) {
    case LoadOutcome::Loaded:
    case LoadOutcome::MissingRaceFile:
    case LoadOutcome::ReadFailed:
    case LoadOutcome::PassFailed:
        return true;
    case LoadOutcome::BadDate:
    case LoadOutcome::NoAppFolder:
    case LoadOutcome::UnknownDay:
    case LoadOutcome::MissingMaster:
    case LoadOutcome::Cancelled:
        return false;
    }
    return false;
}

DaySession::DaySession(std::filesystem::path appDir, const Clock* clock)
    : m_appDir(std::move(appDir)), m_clock(clock != nullptr ? clock : &DefaultClock())
{
}

DaySession::~DaySession() = default;

const TuningTables* DaySession::Tables(std::string& message)
{
    return SharedTables(message);
}

void DaySession::UseTables(const TuningTables& tables)
{
    const std::lock_guard lock(m_tablesMutex);
    m_tables = std::make_unique<TuningTables>(tables);
}

const TuningTables* DaySession::SharedTables(std::string& message) const
{
    const std::lock_guard lock(m_tablesMutex);
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
    return AdoptDay(PrepareDay(dayName, progress, cancel));
}

LoadResult DaySession::AdoptDay(PreparedDay prepared)
{
    if (prepared.day) {
        m_dayName = std::move(prepared.dayName);
        m_pipeline = std::move(prepared.pipeline);
        m_warnings = prepared.result.warnings;
        ReplaceDay(std::move(prepared.day));
    }
    return prepared.result;
}

PreparedDay DaySession::PrepareDay(std::string_view dayName, Progress* progress, const CancelFlag* cancel) const
{
    NullProgress noProgress;
    Progress& shown = progress != nullptr ? *progress : noProgress;
    PreparedDay prepared;
    prepared.dayName = std::string(dayName);
    // The day shown is not copied whole: a load clears it anyway, and ClearedRaceDay takes
    // from it only what a clearing keeps.
    std::unique_ptr<RaceDay> fresh = ClearedRaceDay(m_day.get());

    LoadOptions options;
    options.appDir = m_appDir;
    options.clock = m_clock;
    options.progress = &shown;
    options.cancel = cancel;
    options.dayCleared = true;
    options.guardWrite = [this, cancel](const std::function<void()>& write) {
        // Waits as the session's writers do (a cancel ends the wait); refused, the odds stay
        // blank in memory and a later load writes the file.
        Result<StoreLock> lock = LockForWriting("oddsfile", cancel);
        if (lock) {
            write();
        }
        return static_cast<bool>(lock);
    };
    std::optional<MasterIndex> masters;
    prepared.result = ReadRaceDay(*fresh, dayName, options, &masters);
    if (!prepared.result.Ok()) {
        // A read stopped part way may have cleared the day without blanking its records,
        // which would list the previous date's races under this one.
        if (LoadReplacesDay(prepared.result.outcome)) {
            prepared.day = EmptiedDay(std::move(fresh));
        }
        return prepared;
    }

    for (DayPassKind pass : {DayPassKind::Ratings, DayPassKind::Payouts, DayPassKind::Lap, DayPassKind::AxisCodes,
                             DayPassKind::Results, DayPassKind::DayPipeline}) {
        if (IsSet(cancel)) {
            prepared.result.outcome = LoadOutcome::Cancelled;
            return prepared;
        }
        if (m_observer) {
            m_observer(pass, *fresh);
        }
        if (Status done = RunPass(pass, *fresh, dayName, shown, masters ? &*masters : nullptr, prepared.pipeline);
            !done) {
            // The passes before this one filled part of the day: not a day to judge bets on.
            prepared.result.outcome = LoadOutcome::PassFailed;
            prepared.result.message = done.message;
            prepared.pipeline = {};
            prepared.day = EmptiedDay(std::move(fresh));
            return prepared;
        }
    }
    prepared.day = std::move(fresh);
    return prepared;
}

Status DaySession::RerunDayPipeline(Progress*)
{
    if (!m_day) {
        return Status::Success();
    }
    PipelineOutcome pipeline;
    Status status = RunDayPipeline(*m_day, m_dayName, pipeline);
    m_pipeline = std::move(pipeline);
    return status;
}

PreparedDay DaySession::PreparePipelineRerun() const
{
    PreparedDay prepared;
    prepared.result.warnings = m_warnings; // the same day: what its load found still holds
    if (!m_day) {
        return prepared;
    }
    std::unique_ptr<RaceDay> copy = m_day->Clone();
    if (Status status = RunDayPipeline(*copy, m_dayName, prepared.pipeline); !status) {
        prepared.result.outcome = LoadOutcome::PassFailed;
        prepared.result.message = status.message;
        return prepared;
    }
    prepared.day = std::move(copy);
    prepared.dayName = m_dayName;
    return prepared;
}

RetrievalReport DaySession::RetrieveResults(JvLink& link, const CancelFlag& cancel, bool raceSelected,
                                            std::string_view dayDigits, std::function<void()> beep) const
{
    NullProgress progress;
    if (dayDigits.empty() && !m_day) {
        return {};
    }
    Result<StoreLock> lock = LockForWriting("results", &cancel);
    if (!lock) {
        RetrievalReport refused;
        refused.outcome = RetrievalOutcome::StoreFailed;
        refused.io = lock.status;
        return refused;
    }
    if (!dayDigits.empty()) {
        return RetrieveResultsForDay(link, m_appDir, dayDigits, cancel, progress, beep);
    }
    return vornal::RetrieveResults(link, m_appDir, m_day->RaceRA[0].View(), raceSelected, cancel, progress, beep);
}

OddsFetchReport DaySession::FetchOdds(JvLink& link, std::optional<int> race, const CancelFlag& cancel,
                                     Progress* progress, std::function<void()> beep)
{
    PreparedOdds prepared = PrepareOdds(link, race, cancel, progress, std::move(beep));
    OddsFetchReport report = prepared.report;
    AdoptOdds(std::move(prepared));
    return report;
}

PreparedOdds DaySession::PrepareOdds(JvLink& link, std::optional<int> race, const CancelFlag& cancel,
                                     Progress* progress, std::function<void()> beep) const
{
    PreparedOdds prepared;
    if (!m_day || RaceListCount(*m_day) == 0) {
        return prepared;
    }
    Result<StoreLock> lock = LockForWriting("odds", &cancel);
    if (!lock) {
        prepared.report.failures.push_back(lock.message());
        prepared.report.storeFailed = true;
        return prepared;
    }
    NullProgress noProgress;
    OddsFetchContext context{link, m_appDir, *m_clock, progress != nullptr ? *progress : noProgress, cancel,
                             std::move(beep)};
    prepared.day = m_day->Clone();
    prepared.report = race ? FetchRaceOdds(*prepared.day, *race, context) : FetchAllOdds(*prepared.day, context);
    return prepared;
}

void DaySession::AdoptOdds(PreparedOdds prepared)
{
    if (prepared.day) {
        ReplaceDay(std::move(prepared.day));
    }
}

TimeSeriesReport DaySession::ImportTimeSeriesOdds()
{
    PreparedSeriesOdds prepared = PrepareTimeSeriesOdds();
    TimeSeriesReport report = prepared.report;
    AdoptSeriesOdds(std::move(prepared));
    return report;
}

PreparedSeriesOdds DaySession::PrepareTimeSeriesOdds() const
{
    PreparedSeriesOdds prepared;
    // Without a day the import refuses before it writes anything: no lock to wait for.
    Result<StoreLock> lock = m_day ? LockForWriting("tsodds") : Result<StoreLock>::Success({});
    if (!lock) {
        prepared.report.refused = true;
        prepared.report.message = lock.message();
        return prepared;
    }
    std::unique_ptr<RaceDay> copy = m_day ? m_day->Clone() : nullptr;
    prepared.report = vornal::ImportTimeSeriesOdds(m_appDir, copy.get());
    if (!prepared.report.refused) {
        prepared.day = std::move(copy);
    }
    return prepared;
}

void DaySession::AdoptSeriesOdds(PreparedSeriesOdds prepared)
{
    if (prepared.day) {
        ReplaceDay(std::move(prepared.day));
    }
}

Status DaySession::RunPass(DayPassKind pass, RaceDay& day, std::string_view dayName, Progress& progress,
                           const MasterIndex* masters, PipelineOutcome& pipeline) const
{
    std::string message;
    const TuningTables* tables = nullptr;
    if (pass == DayPassKind::Ratings || pass == DayPassKind::Payouts || pass == DayPassKind::Lap) {
        tables = SharedTables(message);
        if (tables == nullptr) {
            return Status::Failure(message);
        }
    }
    switch (pass) {
    case DayPassKind::Ratings: {
        const Settings settings(SettingsFile(m_appDir));
        const RatingInputs inputs{*tables, settings, JockeyMasterFile(m_appDir, dayName),
                                  TrainerMasterFile(m_appDir, dayName), masters};
        return FromPass(CalculateRatings(day, inputs, &progress));
    }
    case DayPassKind::Payouts:
        ComputePredictedPayouts(day, *tables);
        return Status::Success();
    case DayPassKind::Lap:
        return FromPass(ComputeLapAnalysis(day, *tables));
    case DayPassKind::AxisCodes:
        for (int r = 0; r < kRaceSlots; ++r) {
            if (IsRaceSlotUsed(day.RaceRA[r]) && !day.Races[r].incomplete) {
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
        return RunDayPipeline(day, dayName, pipeline);
    }
    return Status::Success();
}

Status DaySession::RunDayPipeline(RaceDay& day, std::string_view dayName, PipelineOutcome& pipeline) const
{
    // The day pipeline ("読込"): ability deviation, the bets of the method, the quinella
    // ranks, the hit evaluation, the day totals and the hit-judgement files. It reads what
    // the load computed and rewrites only its own fields, so it can run again and again.
    if (Status deviation = ComputeAbilityDeviation(day); !deviation) {
        return deviation;
    }
    std::string message;
    const TuningTables* tables = SharedTables(message);
    if (tables == nullptr) {
        return Status::Failure(message);
    }
    BetMethod method;
    if (m_methodOverride) {
        method = *m_methodOverride;
    } else {
        BetMethodChoice choice = ReadPipelineBetMethod(m_appDir, Settings(SettingsFile(m_appDir)));
        method = std::move(choice.method);
        pipeline.messages = std::move(choice.problems);
    }
    if (BetSelectionResult selected = SelectBets(day, method); !selected.message.empty()) {
        pipeline.messages.insert(pipeline.messages.begin(), selected.message);
    }
    EvaluateQuinellaRanks(day, *tables);
    EvaluateDayHits(day);
    pipeline.totals = JudgeHits(day);
    // A method that bet nothing for want of a user set has no file of its own: filing its
    // empty day under another method's name would wipe that method's line for the day.
    const bool filing = m_hitFiles == HitFiles::Always || (m_hitFiles == HitFiles::AsSwitched && HitFilesEnabled(m_appDir));
    if (!day.BetKindSuffix.empty() && filing) {
        Result<StoreLock> lock = LockForWriting("hitfiles");
        Status filed = lock ? WriteHitJudgementFiles(m_appDir, dayName, day, pipeline.totals,
                                                     m_hitFiles == HitFiles::Always)
                            : lock.status;
        if (!filed) {
            // The day stands; the files written before the failing one stay.
            pipeline.messages.push_back(filed.message);
            pipeline.hitFilesFailed = true;
        }
    }
    return Status::Success();
}

} // namespace vornal
