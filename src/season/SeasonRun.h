#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Progress.h"
#include "betting/BetMethod.h"
#include "results/HitJudgement.h"
#include "session/DaySession.h"

// A multi-day run: every stored day of a range loaded once, with every pass, and the day
// pipeline run for each of several betting methods. Days are independent, so they are
// loaded on worker threads, each day in a session of its own on a fresh race day, and the
// results are put back in date order: the run is the same whatever the number of threads.
// Besides each method's day totals the run keeps, per race and per point bought, what the
// season report breaks the totals down by.
namespace vornal {

struct SeasonMethod
{
    std::string name; // as the user wrote it ("no1"), for the faces
    BetMethod method;
};

// How the bets of a day were chosen: on the odds the store holds (the final ones, or none),
// or at decision time, after taking each race's time-series snapshot nearest to its odds
// time, as a user betting before the race would.
enum class DecisionMode { Stored, DecisionTime };

// What a race is broken down by, taken once per day (the methods do not change it), and
// the calibration figures of its results. Texts are CP932.
struct SeasonRace
{
    int slot = 0;
    std::string courseCode; // SlotKey bytes 9..10
    std::string trackCode;  // two digits
    int distance = 0;       // metres
    std::string condition;  // youngest-age condition code, three characters
    int runners = 0;        // RunnerCount
    // Calibration: the first 単勝 result (the winner) and its predicted win payout, and
    // the first 馬連 result and the predicted payout of that pair; 0 when there is none.
    int paidWin = 0;
    double predictedWin = 0.0;
    int paidQuinella = 0;
    double predictedQuinella = 0.0;
};

// One unit of a method's day totals: the single-runner bet of a race as 単勝 or 複勝, or
// bet combination i of a race as 馬連 or ワイド. Points and hits are counted exactly as the
// day totals count them, so the units of a day add up to its totals.
struct SeasonBet
{
    BetType type = BetType::Win;
    int race = 0;   // index into SeasonDay::races
    int points = 0; // 0 or 1
    bool hit = false;
    int payout = 0; // yen per 100-yen ticket when hit
    // The odds of the bet when it was chosen, as yen per 100-yen ticket: the market's odds
    // when the day holds them (win odds for 単勝 and 複勝, imported quinella odds for the
    // pairs), otherwise the system's predicted payout. 0 when neither is known.
    double decisionPayout = 0.0;
    // 馬連 and ワイド: the race's share class and the combination's quinella rank, and the
    // hit rate RankHitTable gives for them (percent); 0 for the single-runner bets.
    int shareClass = 0;
    int quinellaRank = 0;
    double expectedHitRate = 0.0;
};

struct SeasonMethodDay
{
    DayTotals totals;
    std::vector<std::string> messages;                  // the pipeline's messages for the user (CP932)
    bool hitFilesFailed = false;                        // a hit-judgement file could not be written
    std::array<std::string, kBetTypes.size()> hitLines; // the day's hit-file lines
    std::vector<SeasonBet> bets;
};

struct SeasonDay
{
    std::string dayName; // CP932 "YYYY年MM月DD日"
    bool loaded = false;
    std::string loadMessage; // why the day could not be loaded (CP932)
    DecisionMode mode = DecisionMode::Stored;
    int snapshots = 0; // races whose time-series snapshot was taken
    // The snapshots the time-series import refuses, each with why (CP932); their races are
    // judged on the stored odds.
    std::vector<std::string> skippedSnapshots;
    std::vector<SeasonRace> races;
    std::vector<SeasonMethodDay> methods; // in the order of the run's methods
};

struct SeasonRunOptions
{
    std::optional<std::string> from; // CP932 day names, inclusive
    std::optional<std::string> to;
    int threads = 0; // 0: the number of cores
    DaySession::HitFiles hitFiles = DaySession::HitFiles::Never;
    bool decisionTime = false;    // take the time-series snapshots where a day has them
    Progress* progress = nullptr; // bar 0: days done of days; called from the workers, one at a time
    const CancelFlag* cancel = nullptr;
    // The tables every day is judged with; those of the application folder when null.
    const TuningTables* tables = nullptr;
    // Called with every day that loaded, after the load and before the methods run; called
    // from the workers, so it must be safe to call from several threads at once.
    std::function<void(const RaceDay&)> inspect;
};

struct SeasonRun
{
    std::vector<SeasonMethod> methods;
    std::vector<SeasonDay> days; // oldest first
    bool cancelled = false;
};

// The stored days of the range, oldest first.
std::vector<std::string> SeasonDayNames(const std::filesystem::path& appDir, const SeasonRunOptions& options);

// Runs `methods` over the stored days of the range. Filing the hit-judgement files
// (HitFiles::Always) runs on one thread: the days of a year share their files. A cancel
// stops the run between days; the days done are kept, in order, with `cancelled` set.
SeasonRun RunSeason(const std::filesystem::path& appDir, std::vector<SeasonMethod> methods,
                    const SeasonRunOptions& options);

// The number of worker threads a run with `requested` threads (0: the cores) uses for
// `days` days.
int SeasonThreads(int requested, std::size_t days);

} // namespace vornal
