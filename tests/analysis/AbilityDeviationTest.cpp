#include <gtest/gtest.h>

#include <cmath>

#include "LapTestSupport.h"
#include "analysis/AbilityDeviation.h"

namespace vornal {
namespace {

using laptest::NewDay;
using laptest::RunSpec;
using laptest::SetRun;

// A race of the pipeline: runner slot 0 holds horse number 1.
RaceSlot& Race(RaceDay& day, int r)
{
    RaceSlot& race = day.Races[r];
    race.RaceLoaded = true;
    for (int h = 0; h < kRunnerSlots; ++h) {
        race.Runners[h].HorseNo = h < 9 ? "0" + std::to_string(h + 1) : std::to_string(h + 1);
    }
    return race;
}

void ScoredRun(PastRun& run, int place, std::string_view timeDiff, std::string_view grade = " ")
{
    SetRun(run, RunSpec{.place = place, .timeDiff = std::string(timeDiff)});
    run.PastGrade = grade;
}

TEST(AbilityDeviationStatistics, NoAbilityIndexLeavesEverythingZero)
{
    auto day = NewDay();
    RaceSlot& race = Race(*day, 0);
    race.Runners[0].AbilityIndex = 0.0;
    race.Runners[1].AbilityIndex = -3.0;
    ASSERT_TRUE(ComputeAbilityDeviation(*day));
    EXPECT_EQ(race.AbilityMean, 0.0);
    EXPECT_EQ(race.AbilitySpread, 0.0);
    for (const Runner& runner : race.Runners) {
        EXPECT_EQ(runner.AbilityDeviation, 0.0);
    }
}

TEST(AbilityDeviationStatistics, OneAbilityIndexGivesFiftyAndNoSpread)
{
    auto day = NewDay();
    RaceSlot& race = Race(*day, 0);
    race.Runners[4].AbilityIndex = 97.25;
    ASSERT_TRUE(ComputeAbilityDeviation(*day));
    EXPECT_EQ(race.AbilityMean, 97.25);
    EXPECT_EQ(race.AbilitySpread, 0.0);
    EXPECT_EQ(race.Runners[4].AbilityDeviation, 50.0);
    EXPECT_EQ(race.Runners[0].AbilityDeviation, 0.0);
    EXPECT_FALSE(std::isnan(race.Runners[4].AbilityDeviation));
}

TEST(AbilityDeviationStatistics, EqualIndicesGiveFiftyNotRoundingNoise)
{
    auto day = NewDay();
    RaceSlot& race = Race(*day, 0);
    for (int h = 0; h < 3; ++h) {
        race.Runners[h].AbilityIndex = 0.1; // their mean is not exactly 0.1 in binary
    }
    ASSERT_TRUE(ComputeAbilityDeviation(*day));
    EXPECT_EQ(race.AbilitySpread, 0.0);
    for (int h = 0; h < 3; ++h) {
        EXPECT_EQ(race.Runners[h].AbilityDeviation, 50.0);
    }
}

TEST(AbilityDeviationStatistics, SampleSpreadOverPositiveIndices)
{
    auto day = NewDay();
    RaceSlot& race = Race(*day, 0);
    race.Runners[0].AbilityIndex = 90.0;
    race.Runners[2].AbilityIndex = 95.0;
    race.Runners[17].AbilityIndex = 100.0;
    race.Runners[5].AbilityIndex = -1.0; // no index
    ASSERT_TRUE(ComputeAbilityDeviation(*day));
    // Mean 95, squared deviations 25 + 0 + 25 over n - 1 = 2: spread 5.
    EXPECT_DOUBLE_EQ(race.AbilityMean, 95.0);
    EXPECT_DOUBLE_EQ(race.AbilitySpread, 5.0);
    EXPECT_DOUBLE_EQ(race.Runners[0].AbilityDeviation, 40.0);
    EXPECT_DOUBLE_EQ(race.Runners[2].AbilityDeviation, 50.0);
    EXPECT_DOUBLE_EQ(race.Runners[17].AbilityDeviation, 60.0);
    EXPECT_EQ(race.Runners[5].AbilityDeviation, 0.0);
}

TEST(AbilityDeviationRows, PresentRunsPlusOneRowPerRunnerWithout)
{
    auto day = NewDay();
    RaceSlot& race = Race(*day, 0);
    for (int k = 0; k < 3; ++k) {
        race.Runners[0].Past[k].PastRunPresent = true;
    }
    for (int k = 0; k < 5; ++k) {
        race.Runners[1].Past[k].PastRunPresent = true;
    }
    race.Runners[2].Past[0].PastRunPresent = true;
    race.Runners[2].Past[0].PastRunKey = "2025120144"; // a local run still has its row
    race.PastRowCount = 99;
    ASSERT_TRUE(ComputeAbilityDeviation(*day));
    EXPECT_EQ(race.PastRowCount, 3 + 5 + 1 + 15);
}

TEST(AbilityDeviationRIndex, MarginClassMarginAndGradeBonus)
{
    auto day = NewDay();
    RaceSlot& race = Race(*day, 0);
    Runner& runner = race.Runners[0];
    runner.ClassMargin = 1.5;
    ScoredRun(runner.Past[0], 1, "-003", "A"); // winning G1 run
    ScoredRun(runner.Past[1], 2, "+005", "E"); // 0.5 s behind in a 特別
    ScoredRun(runner.Past[2], 5, "+012", "D"); // 重賞 without a grade: no bonus
    ScoredRun(runner.Past[3], 3, "+004", "C");
    runner.Past[3].PastRunKey = "20251201A4";  // overseas: not scored
    ScoredRun(runner.Past[4], 7, "0010", "L"); // unsigned difference, listed race
    runner.Past[1].PastBaseTime = 96.5;

    ASSERT_TRUE(ComputeAbilityDeviation(*day));

    EXPECT_DOUBLE_EQ(runner.Past[0].RIndex, 100.0 - 1.5 + 1.4);
    EXPECT_DOUBLE_EQ(runner.Past[1].RIndex, 100.0 - 1.5 - 0.5 + 0.2);
    EXPECT_DOUBLE_EQ(runner.Past[2].RIndex, 100.0 - 1.5 - 1.2);
    EXPECT_EQ(runner.Past[3].RIndex, 0.0);
    EXPECT_EQ(runner.Past[3].RIndexRank, 0);
    EXPECT_DOUBLE_EQ(runner.Past[4].RIndex, 100.0 - 1.5 - 1.0);
    EXPECT_DOUBLE_EQ(runner.Past[1].RTime, runner.Past[1].RIndex + 96.5);
    EXPECT_EQ(runner.Past[1].RTimeRank, 1);
    EXPECT_EQ(runner.Past[0].RTime, 0.0);
    EXPECT_EQ(runner.Past[0].RTimeRank, 0);
    EXPECT_EQ(runner.Past[0].RIndexRank, 1);
    EXPECT_EQ(runner.Past[1].RIndexRank, 2);
    EXPECT_EQ(runner.Past[4].RIndexRank, 3);
    EXPECT_EQ(runner.Past[2].RIndexRank, 4);
}

TEST(AbilityDeviationRIndex, RunsWithoutAMarginAreNotScored)
{
    auto day = NewDay();
    RaceSlot& race = Race(*day, 0);
    Runner& runner = race.Runners[3];
    ScoredRun(runner.Past[0], 0, "    "); // no finishing position
    ScoredRun(runner.Past[1], 4, "    "); // placed, but no time difference
    ScoredRun(runner.Past[2], 0, "+003"); // time difference without a position
    ScoredRun(runner.Past[3], 2, "+001");
    ASSERT_TRUE(ComputeAbilityDeviation(*day));
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(runner.Past[k].RIndex, 0.0) << k;
        EXPECT_EQ(runner.Past[k].RIndexRank, 0) << k;
    }
    EXPECT_EQ(runner.Past[3].RIndexRank, 1);
}

TEST(AbilityDeviationRanking, TiesAtOneDecimalGoToGradeCodeThenHigherSlotThenOlderRun)
{
    auto day = NewDay();
    RaceSlot& race = Race(*day, 0);
    // All runs score 99.0 at one decimal (99.04 and 98.96 round to 99.0).
    race.Runners[2].ClassMargin = 0.96;
    race.Runners[5].ClassMargin = 1.04;
    race.Runners[7].ClassMargin = 1.0;
    ScoredRun(race.Runners[2].Past[0], 1, "-001");
    ScoredRun(race.Runners[5].Past[0], 1, "-001");
    ScoredRun(race.Runners[5].Past[3], 1, "-001");
    ScoredRun(race.Runners[7].Past[1], 1, "-001");
    ScoredRun(race.Runners[7].Past[2], 1, "-001");
    race.Runners[2].Past[0].PastGradeCode = "555";
    race.Runners[7].Past[2].PastGradeCode = ""; // blank counts as "000"
    race.Runners[7].Past[1].PastGradeCode = "000";
    race.Runners[5].Past[0].PastGradeCode = "000";
    race.Runners[5].Past[3].PastGradeCode = "000";
    // A run one decimal higher beats every tie-break.
    race.Runners[0].ClassMargin = 0.9;
    ScoredRun(race.Runners[0].Past[4], 1, "-001");
    race.Runners[0].Past[4].PastGradeCode = "111";

    ASSERT_TRUE(ComputeAbilityDeviation(*day));

    EXPECT_EQ(race.Runners[0].Past[4].RIndexRank, 1);
    EXPECT_EQ(race.Runners[2].Past[0].RIndexRank, 2); // larger grade code
    EXPECT_EQ(race.Runners[7].Past[2].RIndexRank, 3); // higher slot, older run
    EXPECT_EQ(race.Runners[7].Past[1].RIndexRank, 4);
    EXPECT_EQ(race.Runners[5].Past[3].RIndexRank, 5);
    EXPECT_EQ(race.Runners[5].Past[0].RIndexRank, 6);
}

TEST(AbilityDeviationRanking, RTimeRanksOnlyRunsWithABaseTime)
{
    auto day = NewDay();
    RaceSlot& race = Race(*day, 0);
    ScoredRun(race.Runners[0].Past[0], 1, "-002");
    ScoredRun(race.Runners[1].Past[0], 3, "+010");
    ScoredRun(race.Runners[2].Past[0], 2, "+002");
    race.Runners[1].Past[0].PastBaseTime = 99.0; // RIndex 99.0, RTime 198.0
    race.Runners[2].Past[0].PastBaseTime = 97.0; // RIndex 99.8, RTime 196.8
    ASSERT_TRUE(ComputeAbilityDeviation(*day));
    EXPECT_EQ(race.Runners[1].Past[0].RTimeRank, 1);
    EXPECT_EQ(race.Runners[2].Past[0].RTimeRank, 2);
    EXPECT_EQ(race.Runners[0].Past[0].RTimeRank, 0);
    EXPECT_EQ(race.Runners[0].Past[0].RIndexRank, 1);
    EXPECT_EQ(race.Runners[2].Past[0].RIndexRank, 2);
    EXPECT_EQ(race.Runners[1].Past[0].RIndexRank, 3);
}

TEST(AbilityDeviationRaces, SlotsWithoutHorseOneAreLeftAlone)
{
    auto day = NewDay();
    Race(*day, 0).Runners[0].AbilityIndex = 90.0;
    RaceSlot& other = day->Races[1]; // runner slot 0 empty
    other.Runners[0].AbilityIndex = 90.0;
    other.Runners[0].AbilityDeviation = 12.5;
    other.PastRowCount = 7;
    ASSERT_TRUE(ComputeAbilityDeviation(*day));
    EXPECT_EQ(day->Races[0].Runners[0].AbilityDeviation, 50.0);
    EXPECT_EQ(other.Runners[0].AbilityDeviation, 12.5);
    EXPECT_EQ(other.PastRowCount, 7);
}

TEST(AbilityDeviationErrors, NonNumericTimeDifferenceStopsThePass)
{
    auto day = NewDay();
    RaceSlot& first = Race(*day, 0);
    RaceSlot& faulty = Race(*day, 1);
    ScoredRun(first.Runners[0].Past[0], 1, "-001");
    ScoredRun(faulty.Runners[0].Past[0], 1, "-001");
    ScoredRun(faulty.Runners[1].Past[1], 4, "+0a5");
    faulty.Runners[0].Past[0].RIndex = 55.0;

    Status result = ComputeAbilityDeviation(*day);

    EXPECT_FALSE(result);
    EXPECT_NE(result.message.find("+0a5"), std::string::npos);
    EXPECT_EQ(first.Runners[0].Past[0].RIndexRank, 1);
    EXPECT_EQ(faulty.Runners[0].Past[0].RIndex, 0.0); // reset, not half scored
    EXPECT_EQ(faulty.Runners[0].Past[0].RIndexRank, 0);
}

} // namespace
} // namespace vornal
