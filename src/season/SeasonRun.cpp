#include "season/SeasonRun.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

#include "betting/QuinellaRanks.h"
#include "odds/OddsImport.h"
#include "odds/TimeSeriesOdds.h"
#include "store/StorePaths.h"
#include "text/Fields.h"
#include "vocab/Combinations.h"

namespace vornal {
namespace {

// The decision-time odds of a day, taken in memory: each race's snapshot nearest to its
// odds time, as the time-series import takes it (RaceSnapshot, with its checks), goes into
// RaceO1 and the odds of the race are imported from it, but without rewriting the store's
// ".jvO1" file: a report must leave the store as it found it. A blank or unsold quinella
// entry of the import keeps the predicted payout, so the bets are still ordered by a payout.
// Returns the races taken; `imported` marks the races whose quinella values are now market
// odds, and `skipped` gets the snapshots the import refuses and the files it cannot read.
int TakeDecisionSnapshots(RaceDay& day, const std::filesystem::path& folder, std::array<bool, kRaceSlots>& imported,
                          std::vector<std::string>& skipped)
{
    int taken = 0;
    day.OddsO1Path.clear(); // ImportOdds keeps the RaceO1 set here
    for (int r = 0; r < RaceListCount(day); ++r) {
        const Result<std::optional<std::string>> snapshot = RaceSnapshot(folder, day, r, skipped);
        if (!snapshot) {
            // One unreadable file costs its race the snapshot, not the day its report.
            skipped.push_back(snapshot.message());
            continue;
        }
        if (!snapshot.value) {
            continue;
        }
        day.RaceO1[r] = *snapshot.value;
        const auto predicted = day.Races[r].PredictedQuinellaPayout;
        if (!ImportOdds(day, r)) {
            continue;
        }
        // Without quinella odds in the day's O2 the race keeps its predicted payouts, which
        // are yen already; with them, a combination not on sale keeps its predicted value.
        imported[r] = HasQuinellaOdds(day, r);
        auto& payouts = day.Races[r].PredictedQuinellaPayout;
        for (std::size_t k = 1; imported[r] && k < payouts.size(); ++k) {
            if (payouts[k] <= 0) {
                payouts[k] = predicted[k];
            }
        }
        ++taken;
    }
    return taken;
}

std::vector<SeasonRace> RacesOf(const RaceDay& day)
{
    std::vector<SeasonRace> races;
    for (int r = 0; r < kRaceSlots; ++r) {
        const RaceSlot& slot = day.Races[r];
        if (!slot.RaceLoaded) {
            continue;
        }
        SeasonRace race;
        race.slot = r;
        race.courseCode = std::string(FieldView(slot.SlotKey.View(), 9, 2));
        race.trackCode = slot.TrackCode.Str();
        race.distance = static_cast<int>(LeadingNumber(slot.DistanceText.View()));
        race.condition = slot.ConditionCodes[4].Str();
        race.runners = slot.RunnerCount;
        const RunnerPayout& winner = slot.WinResult[0];
        if (winner.Key > 0 && winner.Payout > 0) {
            race.paidWin = winner.Payout;
            if (winner.Key <= kRunnerSlots) {
                race.predictedWin = slot.Runners[static_cast<std::size_t>(winner.Key - 1)].PredictedWinPayout;
            }
        }
        const PairPayout& pair = slot.QuinellaResult[0];
        const int index = QuinellaIndex(pair.Key.View());
        if (index > 0 && pair.Payout > 0) {
            race.paidQuinella = pair.Payout;
            race.predictedQuinella = slot.PredictedQuinellaPayout[static_cast<std::size_t>(index)];
        }
        races.push_back(std::move(race));
    }
    return races;
}

// The units of the day totals (TotalHits), race by race.
std::vector<SeasonBet> BetsOf(const RaceDay& day, const TuningTables* tables,
                              const std::array<bool, kRaceSlots>& imported)
{
    std::vector<SeasonBet> units;
    int raceIndex = -1;
    for (int r = 0; r < kRaceSlots; ++r) {
        const RaceSlot& race = day.Races[r];
        if (!race.RaceLoaded) {
            continue;
        }
        ++raceIndex;
        const BetRecord& bets = day.Bets[r];
        const ResultMarks marks = ResultMarksOf(race);
        auto add = [&](SeasonBet unit) {
            if (unit.points > 0 || unit.hit) {
                unit.race = raceIndex;
                units.push_back(unit);
            }
        };
        double runnerPayout = 0.0;
        if (bets.BetRunner >= 1 && bets.BetRunner <= kRunnerSlots) {
            const Runner& runner = race.Runners[static_cast<std::size_t>(bets.BetRunner - 1)];
            runnerPayout = runner.WinOdds > 0 ? runner.WinOdds * 100.0 : runner.PredictedWinPayout;
        }
        add({BetType::Win, 0, (marks.Win && bets.BetRunner > 0) ? 1 : 0, bets.WinHit, bets.WinHit ? bets.WinHitPay : 0,
             runnerPayout, 0, 0, 0.0});
        add({BetType::Place, 0, (marks.Place && bets.BetRunner > 0) ? 1 : 0, bets.PlaceHit,
             bets.PlaceHit ? bets.PlaceHitPay : 0, runnerPayout, 0, 0, 0.0});
        const int shareClass = ShareClass(race.PopularityShare);
        for (std::size_t i = 1; i <= 3; ++i) {
            const bool bet = !IsBlank(bets.BetCombos[i].View());
            const int index = bet ? QuinellaIndex(bets.BetCombos[i].View()) : 0;
            const double value = index > 0 ? race.PredictedQuinellaPayout[static_cast<std::size_t>(index)] : 0.0;
            const double payout = imported[static_cast<std::size_t>(r)] ? value * 100.0 : value;
            const int rank = index > 0 ? race.QuinellaRank[static_cast<std::size_t>(index)] : 0;
            const double expected = tables != nullptr ? tables->RankHitRate(shareClass, rank) : 0.0;
            add({BetType::Quinella, 0, (bet && marks.Quinella) ? 1 : 0, bets.QuinellaHit[i],
                 bets.QuinellaHit[i] ? bets.QuinellaHitPay[i] : 0, payout, shareClass, rank, expected});
            add({BetType::Wide, 0, (bet && marks.Wide && race.RunnerCount >= 9) ? 1 : 0, bets.WideHit[i],
                 bets.WideHit[i] ? bets.WideHitPay[i] : 0, payout, shareClass, rank, expected});
        }
    }
    return units;
}

SeasonMethodDay Capture(const DaySession& session, const TuningTables* tables,
                        const std::array<bool, kRaceSlots>& imported)
{
    SeasonMethodDay result;
    result.totals = session.Totals();
    result.messages = session.PipelineMessages();
    result.hitFilesFailed = session.HitFilesFailed();
    result.hitLines = HitFileLines(*session.Day(), session.DayName(), result.totals);
    result.bets = BetsOf(*session.Day(), tables, imported);
    return result;
}

SeasonDay RunDay(const std::filesystem::path& appDir, const std::string& dayName,
                 const std::vector<SeasonMethod>& methods, const SeasonRunOptions& options,
                 const std::optional<std::filesystem::path>& seriesFolder)
{
    SeasonDay result;
    result.dayName = dayName;
    // A session of its own: the day starts fresh, never as a copy of another day.
    DaySession session(appDir);
    if (options.tables != nullptr) {
        session.UseTables(*options.tables);
    }
    session.SetHitFiles(options.hitFiles);
    if (!methods.empty()) {
        session.SetBetMethod(methods.front().method);
    }
    PreparedDay prepared = session.PrepareDay(dayName, nullptr, options.cancel);
    std::array<bool, kRaceSlots> imported{};
    if (prepared.result.Ok() && seriesFolder) {
        std::error_code ec;
        if (std::filesystem::is_directory(*seriesFolder / DayDigits(dayName), ec)) {
            result.snapshots = TakeDecisionSnapshots(*prepared.day, *seriesFolder, imported, result.skippedSnapshots);
            result.mode = result.snapshots > 0 ? DecisionMode::DecisionTime : DecisionMode::Stored;
        }
    }
    const LoadResult loaded = session.AdoptDay(std::move(prepared));
    if (!loaded.Ok()) {
        result.loadMessage = loaded.message;
        return result;
    }
    result.loaded = true;
    if (options.inspect) {
        options.inspect(*session.Day());
    }
    result.races = RacesOf(*session.Day());
    std::string message;
    const TuningTables* tables = session.Tables(message);
    for (std::size_t m = 0; m < methods.size(); ++m) {
        // The load ran the pipeline with the first method; decision-time odds came after it.
        Status rerun = Status::Success();
        if (m > 0 || result.mode == DecisionMode::DecisionTime) {
            session.SetBetMethod(methods[m].method);
            rerun = session.RerunDayPipeline();
        }
        result.methods.push_back(Capture(session, tables, imported));
        // A failed rerun is this method's day, not a silent copy of the previous method's.
        std::vector<std::string>& messages = result.methods.back().messages;
        if (!rerun && std::find(messages.begin(), messages.end(), rerun.message) == messages.end()) {
            messages.push_back(rerun.message);
        }
    }
    return result;
}

} // namespace

std::vector<std::string> SeasonDayNames(const std::filesystem::path& appDir, const SeasonRunOptions& options)
{
    std::vector<std::string> days = StoredDayNames(appDir);
    std::reverse(days.begin(), days.end()); // oldest first
    std::erase_if(days, [&](const std::string& day) {
        return (options.from && day < *options.from) || (options.to && day > *options.to);
    });
    return days;
}

int SeasonThreads(int requested, std::size_t days)
{
    int threads = requested > 0 ? requested : static_cast<int>(std::thread::hardware_concurrency());
    threads = std::max(threads, 1);
    return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(threads), std::max<std::size_t>(days, 1)));
}

SeasonRun RunSeason(const std::filesystem::path& appDir, std::vector<SeasonMethod> methods,
                    const SeasonRunOptions& options)
{
    SeasonRun run;
    run.methods = std::move(methods);
    const std::vector<std::string> names = SeasonDayNames(appDir, options);
    const std::optional<std::filesystem::path> seriesFolder =
        options.decisionTime ? ChosenOddsSeriesFolder(appDir) : std::nullopt;
    const int threads =
        options.hitFiles == DaySession::HitFiles::Always ? 1 : SeasonThreads(options.threads, names.size());

    std::vector<std::optional<SeasonDay>> days(names.size());
    std::atomic<std::size_t> next{0};
    std::mutex progressMutex;
    std::size_t done = 0;
    auto work = [&] {
        for (std::size_t i = next++; i < names.size(); i = next++) {
            if (options.cancel != nullptr && options.cancel->IsSet()) {
                return;
            }
            SeasonDay day = RunDay(appDir, names[i], run.methods, options, seriesFolder);
            // A day whose load was cancelled is not a day of the run.
            if (options.cancel != nullptr && options.cancel->IsSet() && !day.loaded) {
                return;
            }
            days[i] = std::move(day);
            if (options.progress != nullptr) {
                const std::lock_guard lock(progressMutex);
                options.progress->SetBar(0, static_cast<int>(++done), static_cast<int>(names.size()));
            }
        }
    };
    if (threads <= 1) {
        work();
    } else {
        std::vector<std::jthread> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back(work);
        }
    }
    // Days run out of order: after a cancel only the days before the first missing one are
    // kept, so the run is still a run over consecutive days.
    for (std::optional<SeasonDay>& day : days) {
        if (!day) {
            run.cancelled = true;
            break;
        }
        run.days.push_back(std::move(*day));
    }
    return run;
}

} // namespace vornal
