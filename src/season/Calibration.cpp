#include "season/Calibration.h"

#include <algorithm>
#include <cmath>

#include "betting/QuinellaRanks.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "vocab/Combinations.h"

namespace vornal {
namespace {

template <typename Grid> void AddGrid(Grid& into, const Grid& from)
{
    for (std::size_t i = 0; i < into.size(); ++i) {
        for (std::size_t j = 0; j < into[i].size(); ++j) {
            into[i][j] += from[i][j];
        }
    }
}

// The ranks of the ten rating kinds, in the order that indexes the rank tables.
std::array<int, kRatingKinds> KindRanks(const Runner& runner)
{
    return {runner.RankAchievement,  runner.RankClass,     runner.RankAvgMargin, runner.RankRotation,
            runner.RankGoal,         runner.RankFinalGoal, runner.RankBaseTime,  runner.RankBestBaseTime,
            runner.RunningStyleRank, runner.RankOverallMin};
}

// The finishing bucket the rating pass gave past run `past`: the place 1..8, 9 for ninth or
// worse, 10 for a run without a usable place (the pass clears the place of an unusable run).
int RotationBucket(const PastRun& past)
{
    const std::optional<int> place = ParseInt(past.PastFinish.View());
    if (!place || *place < 1) {
        return kRotationBuckets;
    }
    return std::min(*place, kRotationBuckets - 1);
}

void CountQuinellas(const RaceSlot& race, CalibrationCounts& counts)
{
    if (race.PopularityShare <= 0.0) {
        return; // not priced: no share class
    }
    const int shareClass = ShareClass(race.PopularityShare);
    bool paid = false;
    for (const PairPayout& pair : race.QuinellaResult) {
        const int index = QuinellaIndex(pair.Key.View());
        if (index <= 0 || pair.Payout <= 0) {
            continue;
        }
        paid = true;
        const int rank = race.QuinellaRank[static_cast<std::size_t>(index)];
        if (rank >= 1 && rank <= kQuinellaRanks) {
            ++counts.RankHits[shareClass][rank];
            counts.RankPaid[shareClass][rank] += pair.Payout;
        }
    }
    if (paid) {
        ++counts.ClassRaces[shareClass];
    }
}

void CountRunner(const Runner& runner, CalibrationCounts& counts)
{
    const bool won = runner.FinishPos == 1;
    const bool topTwo = runner.FinishPos <= 2;
    const bool topThree = runner.FinishPos <= 3;
    for (int k = 1; k <= kPastRuns; ++k) {
        const int b = RotationBucket(runner.Past[static_cast<std::size_t>(k - 1)]);
        ++counts.Starters[k][b];
        counts.Wins[k][b] += won ? 1 : 0;
        counts.TopTwo[k][b] += topTwo ? 1 : 0;
        counts.TopThree[k][b] += topThree ? 1 : 0;
    }
    const std::array<int, kRatingKinds> ranks = KindRanks(runner);
    for (int kind = 1; kind <= kRatingKinds; ++kind) {
        const int rank = ranks[static_cast<std::size_t>(kind - 1)];
        if (rank < 1 || rank > kRankedRunners) {
            continue;
        }
        ++counts.Ranked[kind][rank];
        counts.RankWins[kind][rank] += won ? 1 : 0;
        counts.RankTopTwo[kind][rank] += topTwo ? 1 : 0;
    }
}

double Rate(std::int64_t part, std::int64_t whole)
{
    return whole > 0 ? static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

} // namespace

void CalibrationCounts::Add(const CalibrationCounts& other)
{
    Races += other.Races;
    for (std::size_t c = 0; c < ClassRaces.size(); ++c) {
        ClassRaces[c] += other.ClassRaces[c];
    }
    AddGrid(RankHits, other.RankHits);
    AddGrid(RankPaid, other.RankPaid);
    AddGrid(Starters, other.Starters);
    AddGrid(Wins, other.Wins);
    AddGrid(TopTwo, other.TopTwo);
    AddGrid(TopThree, other.TopThree);
    AddGrid(Ranked, other.Ranked);
    AddGrid(RankWins, other.RankWins);
    AddGrid(RankTopTwo, other.RankTopTwo);
}

void CountDay(const RaceDay& day, CalibrationCounts& counts)
{
    for (const RaceSlot& race : day.Races) {
        // A race listed without its runner records is neither rated nor priced: its past-run
        // places, ranks and quinella ranks were never worked out and would count as misses.
        if (!race.RaceLoaded || race.incomplete) {
            continue;
        }
        const int runners = std::clamp(race.RunnerCount, 0, kRunnerSlots);
        bool finished = false;
        for (int h = 0; h < runners; ++h) {
            const Runner& runner = race.Runners[static_cast<std::size_t>(h)];
            if (runner.FinishPos >= 1) {
                finished = true;
                CountRunner(runner, counts);
            }
        }
        // A race without results (not yet run, or run and not yet stored) says nothing.
        if (finished) {
            ++counts.Races;
            CountQuinellas(race, counts);
        }
    }
}

double Shrink(double observed, std::int64_t n, double shipped, double prior)
{
    if (n <= 0) {
        return shipped;
    }
    const auto weight = static_cast<double>(n);
    return (weight * observed + prior * shipped) / (weight + prior);
}

void CalibrateRatingTables(TuningTables& tables, const CalibrationCounts& counts, double prior,
                           RankRateCounts& rankCounts)
{
    RotationStatsTables& stats = tables.RotationStats;
    for (int k = 1; k <= kPastRuns; ++k) {
        for (int b = 1; b <= kRotationBuckets; ++b) {
            const std::int32_t n = counts.Starters[k][b];
            stats.WinRate[k][b] = Shrink(Rate(counts.Wins[k][b], n), n, stats.WinRate[k][b], prior);
            stats.TopTwoRate[k][b] = Shrink(Rate(counts.TopTwo[k][b], n), n, stats.TopTwoRate[k][b], prior);
            stats.TopThreeRate[k][b] = Shrink(Rate(counts.TopThree[k][b], n), n, stats.TopThreeRate[k][b], prior);
            stats.Races[k][b] = n;
            stats.Wins[k][b] = counts.Wins[k][b];
            stats.TopTwo[k][b] = counts.TopTwo[k][b];
            stats.TopThree[k][b] = counts.TopThree[k][b];
        }
    }
    // The normalised tables as the loader derives them. A row whose rates now sum to 0 (a
    // zero prior and no wins seen) cannot be normalised and keeps its old shares.
    using RateTable = RotationGrid<double>;
    const std::array<std::pair<const RateTable*, RateTable*>, 3> rows = {{
        {&stats.WinRate, &tables.RotationTable},
        {&stats.TopTwoRate, &tables.RotationTopTwoTable},
        {&stats.TopThreeRate, &tables.RotationTopThreeTable},
    }};
    for (const auto& [rates, normalised] : rows) {
        for (int k = 1; k <= kRotationRuns; ++k) {
            double sum = 0.0;
            for (int b = 1; b <= kRotationBuckets; ++b) {
                sum += (*rates)[k][b];
            }
            for (int b = 1; sum > 0.0 && b <= kRotationBuckets; ++b) {
                (*normalised)[k][b] = (*rates)[k][b] / sum;
            }
        }
    }

    rankCounts = {};
    for (int kind = 1; kind <= kRatingKinds; ++kind) {
        for (int rank = 1; rank <= kRankedRunners; ++rank) {
            const std::int32_t n = counts.Ranked[kind][rank];
            rankCounts[kind][rank] = n;
            tables.RankWinRate[kind][rank] =
                Shrink(100.0 * Rate(counts.RankWins[kind][rank], n), n, tables.RankWinRate[kind][rank], prior);
            tables.RankTopTwoRate[kind][rank] =
                Shrink(100.0 * Rate(counts.RankTopTwo[kind][rank], n), n, tables.RankTopTwoRate[kind][rank], prior);
        }
    }
}

void CalibrateRankHitTable(TuningTables& tables, const CalibrationCounts& counts, double prior)
{
    for (int c = 1; c <= kShareClasses; ++c) {
        const std::int32_t n = counts.ClassRaces[c];
        for (int rank = 1; rank <= kQuinellaRanks; ++rank) {
            RankHitEntry& entry = tables.RankHitTable[c][rank];
            entry.HitRate = Shrink(100.0 * Rate(counts.RankHits[c][rank], n), n, entry.HitRate, prior);
            entry.ExpectedValue = Shrink(Rate(counts.RankPaid[c][rank], n) / 100.0, n, entry.ExpectedValue, prior);
        }
    }
}

std::vector<CalibrationGap> CalibrationGaps(const TuningTables& tables, const CalibrationCounts& observed)
{
    // One table: rows 1..rowCount, cells 1..cellCount; `cell` gives the table's value, the
    // observed value and the trials behind it, in the units the gap is shown in.
    struct Cell
    {
        double expected;
        double observed;
        std::int64_t trials;
    };
    auto gapOf = [](const char* name, int rowCount, int cellCount, auto cell) {
        CalibrationGap gap;
        gap.table = Sjis(name);
        gap.rowTrials.assign(static_cast<std::size_t>(rowCount) + 1, 0);
        gap.rowGap.assign(static_cast<std::size_t>(rowCount) + 1, 0.0);
        double total = 0.0;
        for (int row = 1; row <= rowCount; ++row) {
            double rowTotal = 0.0;
            std::int64_t rowTrials = 0;
            for (int i = 1; i <= cellCount; ++i) {
                const Cell c = cell(row, i);
                rowTotal += static_cast<double>(c.trials) * std::abs(c.expected - c.observed);
                rowTrials += c.trials;
            }
            gap.rowTrials[static_cast<std::size_t>(row)] = rowTrials;
            gap.rowGap[static_cast<std::size_t>(row)] = rowTrials > 0 ? rowTotal / static_cast<double>(rowTrials) : 0.0;
            gap.trials += rowTrials;
            total += rowTotal;
        }
        gap.gap = gap.trials > 0 ? total / static_cast<double>(gap.trials) : 0.0;
        return gap;
    };
    std::vector<CalibrationGap> gaps;
    gaps.push_back(gapOf("的中率", kShareClasses, kQuinellaRanks, [&](int c, int rank) {
        const std::int32_t n = observed.ClassRaces[c];
        return Cell{tables.RankHitTable[c][rank].HitRate, 100.0 * Rate(observed.RankHits[c][rank], n), n};
    }));
    gaps.push_back(gapOf("期待値", kShareClasses, kQuinellaRanks, [&](int c, int rank) {
        const std::int32_t n = observed.ClassRaces[c];
        return Cell{100.0 * tables.RankHitTable[c][rank].ExpectedValue, Rate(observed.RankPaid[c][rank], n), n};
    }));
    gaps.push_back(gapOf("RT勝率", kPastRuns, kRotationBuckets, [&](int k, int b) {
        const std::int32_t n = observed.Starters[k][b];
        return Cell{100.0 * tables.RotationStats.WinRate[k][b], 100.0 * Rate(observed.Wins[k][b], n), n};
    }));
    gaps.push_back(gapOf("単勝配当用", kRatingKinds, kRankedRunners, [&](int kind, int rank) {
        const std::int32_t n = observed.Ranked[kind][rank];
        return Cell{tables.RankWinRate[kind][rank], 100.0 * Rate(observed.RankWins[kind][rank], n), n};
    }));
    gaps.push_back(gapOf("馬連配当用", kRatingKinds, kRankedRunners, [&](int kind, int rank) {
        const std::int32_t n = observed.Ranked[kind][rank];
        return Cell{tables.RankTopTwoRate[kind][rank], 100.0 * Rate(observed.RankTopTwo[kind][rank], n), n};
    }));
    return gaps;
}

} // namespace vornal
