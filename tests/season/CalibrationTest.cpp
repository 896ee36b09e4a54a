#include "season/Calibration.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>

#include "vocab/Combinations.h"

namespace vornal {
namespace {

// Tables in use with round values, so that a shrunk cell is easy to work out by hand.
TuningTables Shipped()
{
    TuningTables tables;
    SetBuiltInTables(tables);
    for (int k = 1; k <= kRotationRuns; ++k) {
        for (int b = 1; b <= kRotationBuckets; ++b) {
            tables.RotationStats.Races[k][b] = 7;
            tables.RotationStats.WinRate[k][b] = 0.1;
            tables.RotationStats.TopTwoRate[k][b] = 0.2;
            tables.RotationStats.TopThreeRate[k][b] = 0.3;
            tables.RotationTable[k][b] = 0.1;
        }
    }
    for (int c = 1; c <= kShareClasses; ++c) {
        for (int r = 1; r <= kQuinellaRanks; ++r) {
            tables.RankHitTable[c][r] = {1.0, 0.8};
        }
    }
    return tables;
}

struct Entry
{
    int finish;
    const char* lastRun;   // PastFinish of past run k = 1
    const char* secondRun; // ... of k = 2
    int rankAchievement;
    int rankClass;
};

void AddRace(RaceDay& day, int slot, double share, std::initializer_list<Entry> runners)
{
    RaceSlot& race = day.Races[static_cast<std::size_t>(slot)];
    race.RaceLoaded = true;
    race.PopularityShare = share;
    race.RunnerCount = static_cast<int>(runners.size());
    int h = 0;
    for (const Entry& entry : runners) {
        Runner& runner = race.Runners[static_cast<std::size_t>(h++)];
        runner.FinishPos = entry.finish;
        runner.Past[0].PastFinish = entry.lastRun;
        runner.Past[1].PastFinish = entry.secondRun;
        runner.RankAchievement = entry.rankAchievement;
        runner.RankClass = entry.rankClass;
    }
}

void PayQuinella(RaceDay& day, int slot, int i, const char* pair, int payout, int rank)
{
    RaceSlot& race = day.Races[static_cast<std::size_t>(slot)];
    race.QuinellaResult[static_cast<std::size_t>(i)].Key = pair;
    race.QuinellaResult[static_cast<std::size_t>(i)].Payout = payout;
    race.QuinellaRank[static_cast<std::size_t>(QuinellaIndex(pair))] = rank;
}

// Four races: one run (share class 2, a scratched runner), one without results, one with a
// dead heat for the win (share class 8, two quinellas paid), one listed without its runner
// records (neither rated nor priced).
CalibrationCounts HandMadeCounts()
{
    auto day = std::make_unique<RaceDay>();
    AddRace(*day, 0, 50.0, {{1, " 1", "12", 1, 2}, {2, " 3", "", 2, 1}, {3, " 9", "", 3, 0}, {0, " 1", " 1", 4, 3}});
    PayQuinella(*day, 0, 0, " 1- 2", 560, 1);
    AddRace(*day, 1, 60.0, {{0, " 1", "", 1, 1}, {0, "", "", 2, 2}});
    PayQuinella(*day, 1, 0, " 1- 2", 300, 1);
    AddRace(*day, 2, 70.0, {{1, "", "", 1, 0}, {1, "", "", 2, 0}, {2, "", "", 3, 0}});
    PayQuinella(*day, 2, 0, " 1- 3", 1200, 2);
    PayQuinella(*day, 2, 1, " 2- 3", 900, 3);
    AddRace(*day, 3, 55.0, {{1, " 1", " 1", 0, 0}, {2, "", "", 0, 0}});
    day->Races[3].incomplete = true;
    PayQuinella(*day, 3, 0, " 1- 2", 400, 1);
    CalibrationCounts counts;
    CountDay(*day, counts);
    return counts;
}

TEST(Calibration, AHandMadeDayGivesExactCountsInEveryTable)
{
    const CalibrationCounts counts = HandMadeCounts();
    EXPECT_EQ(counts.Races, 2);

    // Quinellas: the races without results or ratings count nowhere; a dead heat counts both
    // pairs.
    EXPECT_EQ(counts.ClassRaces[2], 1);
    EXPECT_EQ(counts.ClassRaces[8], 1);
    EXPECT_EQ(std::accumulate(counts.ClassRaces.begin(), counts.ClassRaces.end(), 0), 2);
    EXPECT_EQ(counts.RankHits[2][1], 1);
    EXPECT_EQ(counts.RankPaid[2][1], 560);
    EXPECT_EQ(counts.RankHits[8][2], 1);
    EXPECT_EQ(counts.RankPaid[8][2], 1200);
    EXPECT_EQ(counts.RankHits[8][3], 1);
    EXPECT_EQ(counts.RankPaid[8][3], 900);

    // Rotation: the bucket of the last run (" 9" is ninth or worse, "12" too, blank is 10);
    // the scratched runner counts nowhere.
    EXPECT_EQ(counts.Starters[1][1], 1);
    EXPECT_EQ(counts.Wins[1][1], 1);
    EXPECT_EQ(counts.Starters[1][3], 1);
    EXPECT_EQ(counts.TopTwo[1][3], 1);
    EXPECT_EQ(counts.Wins[1][3], 0);
    EXPECT_EQ(counts.Starters[1][9], 1);
    EXPECT_EQ(counts.TopThree[1][9], 1);
    EXPECT_EQ(counts.TopTwo[1][9], 0);
    EXPECT_EQ(counts.Starters[1][10], 3);
    EXPECT_EQ(counts.Wins[1][10], 2);
    EXPECT_EQ(counts.Starters[2][9], 1);
    EXPECT_EQ(counts.Wins[2][9], 1);
    EXPECT_EQ(counts.Starters[2][10], 5);
    EXPECT_EQ(counts.Wins[2][10], 2);
    EXPECT_EQ(counts.TopTwo[2][10], 4);
    EXPECT_EQ(counts.TopThree[2][10], 5);
    EXPECT_EQ(counts.Starters[5][10], 6);
    EXPECT_EQ(counts.Starters[6][10], 0); // the day holds five past runs

    // Rank rates: kind 1 is the achievement rank, kind 2 the class rank; rank 0 is no rank.
    EXPECT_EQ(counts.Ranked[1][1], 2);
    EXPECT_EQ(counts.RankWins[1][1], 2);
    EXPECT_EQ(counts.Ranked[1][2], 2);
    EXPECT_EQ(counts.RankWins[1][2], 1);
    EXPECT_EQ(counts.RankTopTwo[1][2], 2);
    EXPECT_EQ(counts.Ranked[1][3], 2);
    EXPECT_EQ(counts.RankTopTwo[1][3], 1);
    EXPECT_EQ(counts.Ranked[1][4], 0);
    EXPECT_EQ(counts.Ranked[2][1], 1);
    EXPECT_EQ(counts.RankWins[2][1], 0);
    EXPECT_EQ(counts.Ranked[2][2], 1);
    EXPECT_EQ(counts.RankWins[2][2], 1);
    EXPECT_EQ(counts.Ranked[2][3], 0);

    CalibrationCounts twice = counts;
    twice.Add(counts);
    EXPECT_EQ(twice.Races, 4);
    EXPECT_EQ(twice.RankPaid[8][2], 2400);
    EXPECT_EQ(twice.Starters[2][10], 10);
}

TEST(Calibration, WithoutAPriorTheTablesAreTheObservedRatesAndEmptyCellsKeepTheirValues)
{
    const CalibrationCounts counts = HandMadeCounts();
    const TuningTables shipped = Shipped();
    TuningTables tables = shipped;
    RankRateCounts rankCounts{};
    CalibrateRatingTables(tables, counts, 0.0, rankCounts);
    CalibrateRankHitTable(tables, counts, 0.0);

    EXPECT_DOUBLE_EQ(tables.RankWinRate[1][1], 100.0);
    EXPECT_DOUBLE_EQ(tables.RankWinRate[1][2], 50.0);
    EXPECT_DOUBLE_EQ(tables.RankWinRate[1][3], 0.0);
    EXPECT_DOUBLE_EQ(tables.RankTopTwoRate[1][3], 50.0);
    EXPECT_DOUBLE_EQ(tables.RankWinRate[1][4], shipped.RankWinRate[1][4]); // 8.08, no runner seen
    EXPECT_DOUBLE_EQ(tables.RankTopTwoRate[10][18], shipped.RankTopTwoRate[10][18]);
    EXPECT_EQ(rankCounts[1][1], 2);
    EXPECT_EQ(rankCounts[1][4], 0);

    EXPECT_DOUBLE_EQ(tables.RankHitTable[2][1].HitRate, 100.0);
    EXPECT_DOUBLE_EQ(tables.RankHitTable[2][1].ExpectedValue, 5.6);
    EXPECT_DOUBLE_EQ(tables.RankHitTable[2][2].HitRate, 0.0);
    // A dead heat: both paid pairs hit in the one race of class 8.
    EXPECT_DOUBLE_EQ(tables.RankHitTable[8][2].HitRate, 100.0);
    EXPECT_DOUBLE_EQ(tables.RankHitTable[8][3].ExpectedValue, 9.0);
    EXPECT_DOUBLE_EQ(tables.RankHitTable[1][1].HitRate, 1.0); // class 1: no race
    EXPECT_DOUBLE_EQ(tables.RankHitTable[1][1].ExpectedValue, 0.8);

    const RotationStatsTables& stats = tables.RotationStats;
    EXPECT_DOUBLE_EQ(stats.WinRate[1][1], 1.0);
    EXPECT_DOUBLE_EQ(stats.WinRate[2][10], 0.4);
    EXPECT_DOUBLE_EQ(stats.TopTwoRate[2][10], 0.8);
    EXPECT_EQ(stats.Races[2][10], 5);
    EXPECT_EQ(stats.Wins[2][10], 2);
    EXPECT_DOUBLE_EQ(stats.WinRate[1][2], 0.1); // no starter seen
    EXPECT_EQ(stats.Races[1][2], 0);
    EXPECT_EQ(stats.Races[7][3], 7); // rows 6..11 keep the values in use
    // The normalised rows are derived again: k = 3 is nine shipped 0.1s and the 0.5 seen.
    EXPECT_DOUBLE_EQ(tables.RotationTable[3][10], 0.5 / 1.4);
    EXPECT_DOUBLE_EQ(tables.RotationTable[3][1], 0.1 / 1.4);
    EXPECT_DOUBLE_EQ(tables.RotationTable[8][1], 0.1);
}

TEST(Calibration, ShrinkageWeighsTheObservedRateByItsCount)
{
    EXPECT_DOUBLE_EQ(Shrink(50.0, 0, 14.9, 100.0), 14.9);
    EXPECT_DOUBLE_EQ(Shrink(50.0, 0, 14.9, 0.0), 14.9);
    EXPECT_DOUBLE_EQ(Shrink(50.0, 100, 14.9, 100.0), (50.0 + 14.9) / 2);
    EXPECT_DOUBLE_EQ(Shrink(0.0, 300, 20.0, 100.0), 5.0);

    TuningTables tables = Shipped();
    RankRateCounts rankCounts{};
    CalibrateRatingTables(tables, HandMadeCounts(), 2.0, rankCounts);
    // Two runners ranked 2nd, one of them won: (2 × 50 + 2 × 14.90) / 4.
    EXPECT_DOUBLE_EQ(tables.RankWinRate[1][2], (2 * 50.0 + 2 * 14.90) / 4);
    EXPECT_DOUBLE_EQ(tables.RotationStats.WinRate[2][10], (5 * 0.4 + 2 * 0.1) / 7);
}

TEST(Calibration, GapsWeighEachCellByItsTrials)
{
    const CalibrationCounts counts = HandMadeCounts();
    const TuningTables shipped = Shipped();
    const std::vector<CalibrationGap> gaps = CalibrationGaps(shipped, counts);
    ASSERT_EQ(gaps.size(), 5u);
    // Class 2, one race: rank 1 observed 100 % against 1 %, the other 152 ranks 0 % against 1 %.
    EXPECT_DOUBLE_EQ(gaps[0].rowGap[2], (99.0 + 152.0) / 153.0);
    EXPECT_EQ(gaps[0].rowTrials[2], 153);
    EXPECT_EQ(gaps[0].rowTrials[1], 0);
    EXPECT_EQ(gaps[0].trials, 2 * 153);

    // Tables that are exactly what was observed leave no gap where anything was observed.
    TuningTables fitted = shipped;
    RankRateCounts rankCounts{};
    CalibrateRatingTables(fitted, counts, 0.0, rankCounts);
    CalibrateRankHitTable(fitted, counts, 0.0);
    for (const CalibrationGap& gap : CalibrationGaps(fitted, counts)) {
        EXPECT_GT(gap.trials, 0) << gap.table;
        EXPECT_NEAR(gap.gap, 0.0, 1e-9) << gap.table;
    }
}

} // namespace
} // namespace vornal
