#include <gtest/gtest.h>

#include "LapTestSupport.h"
#include "analysis/AxisCodes.h"

namespace vornal {
namespace {

using laptest::NewDay;
using laptest::RaceSpec;
using laptest::RunSpec;
using laptest::SetRace;
using laptest::SetRun;

// A runner that ranks nowhere near the top and races from behind: base code "000000".
void Plain(Runner& runner)
{
    runner.RunningStyle = 5.0;
    runner.RankAvgMargin = 8;
    runner.RankFinalGoal = 9;
    runner.WinRank = 0;
}

// A JRA run of `distance` metres with a base time; today's race is 1600 m.
void BaseTimeRun(PastRun& run, int distance, int place, std::string_view grade)
{
    SetRun(run, RunSpec{.distance = distance, .place = place});
    run.PastBaseTime = 96.0;
    run.PastGradeCode = grade;
}

TEST(AxisCodesBase, RunningStyleRatingRanksAndWinRank)
{
    auto day = NewDay();
    SetRace(*day, 0, RaceSpec{.registered = 8});
    auto& runners = day->Races[0].Runners;
    for (int h = 0; h < 8; ++h) {
        Plain(runners[h]);
    }
    runners[0].RunningStyle = 3.0; // the third most forward still counts as front
    runners[1].RunningStyle = 3.01;
    runners[2].RankAvgMargin = 3;
    runners[3].RankFinalGoal = 1;
    runners[4].RankAvgMargin = 4;
    runners[4].RankFinalGoal = 0;
    const int winRanks[8] = {1, 2, 3, 4, 9, 10, 17, 0};
    for (int h = 0; h < 8; ++h) {
        runners[h].WinRank = winRanks[h];
    }

    AxisCodes(*day, 0);

    const char* expected[8] = {"C0000A", "00000B", "00$00C", "00$004", "000009", "00000-", "00000-", "000000"};
    for (int h = 0; h < 8; ++h) {
        EXPECT_EQ(runners[h].Past[0].PastAxisCode, expected[h]) << h;
        EXPECT_EQ(runners[h].RunnerAxisCode, expected[h]) << h;
    }
}

TEST(AxisCodesPastRuns, PlacedNearDistanceAndGradeFiveMarkTheRun)
{
    auto day = NewDay();
    SetRace(*day, 0, RaceSpec{.distance = "1600", .registered = 1});
    Runner& runner = day->Races[0].Runners[0];
    Plain(runner);
    runner.RunningStyle = 1.0;
    runner.WinRank = 2;
    BaseTimeRun(runner.Past[0], 1800, 2, "512"); // within 200 m, second: "J", grade 5: "*"
    BaseTimeRun(runner.Past[1], 1900, 1, "455"); // won, but 300 m away
    BaseTimeRun(runner.Past[2], 2000, 1, "555"); // exactly 400 m away still counts
    BaseTimeRun(runner.Past[3], 2100, 1, "555"); // too far
    BaseTimeRun(runner.Past[4], 1600, 1, "555");
    runner.Past[4].PastRunKey = "2025120144"; // a local racecourse

    AxisCodes(*day, 0);

    EXPECT_EQ(runner.Past[0].PastAxisCode, "CJ00*B");
    EXPECT_EQ(runner.Past[1].PastAxisCode, "C0000B");
    EXPECT_EQ(runner.Past[2].PastAxisCode, "C000*B");
    EXPECT_TRUE(runner.Past[3].PastAxisCode.empty());
    EXPECT_TRUE(runner.Past[4].PastAxisCode.empty());
    EXPECT_EQ(runner.RunnerAxisCode, "CJ00*B"); // no best run: the latest run's code
}

TEST(AxisCodesPastRuns, RunWithoutBaseTimeKeepsNoCodeAndLatestRunKeepsTheBase)
{
    auto day = NewDay();
    SetRace(*day, 0, RaceSpec{.registered = 1});
    Runner& runner = day->Races[0].Runners[0];
    Plain(runner);
    BaseTimeRun(runner.Past[0], 1600, 1, "555");
    runner.Past[0].PastBaseTime = 0.0;
    BaseTimeRun(runner.Past[1], 1600, 1, "");
    AxisCodes(*day, 0);
    EXPECT_EQ(runner.Past[0].PastAxisCode, "000000");
    EXPECT_EQ(runner.Past[1].PastAxisCode, "0J0000");
}

TEST(AxisCodesBestRun, RunnerTakesTheCodeOfItsBestRun)
{
    auto day = NewDay();
    SetRace(*day, 0, RaceSpec{.registered = 2});
    Runner& runner = day->Races[0].Runners[0];
    Plain(runner);
    BaseTimeRun(runner.Past[0], 1600, 5, "333");
    BaseTimeRun(runner.Past[2], 1700, 1, "567");
    runner.RunnerAxisCode = "2"; // left by the past-performance pass: run index of the best run
    Runner& other = day->Races[0].Runners[1];
    Plain(other);
    BaseTimeRun(other.Past[0], 1600, 5, "333");

    AxisCodes(*day, 0);

    EXPECT_EQ(runner.RunnerAxisCode, "0J00*0");
    EXPECT_EQ(other.RunnerAxisCode, "000000");
}

TEST(AxisCodesRace, OnlyRegisteredRunnersOfTheGivenSlot)
{
    auto day = NewDay();
    SetRace(*day, 0, RaceSpec{.registered = 2});
    SetRace(*day, 1, RaceSpec{.registered = 2});
    for (int r = 0; r < 2; ++r) {
        for (int h = 0; h < 3; ++h) {
            Plain(day->Races[r].Runners[h]);
        }
    }
    AxisCodes(*day, 0);
    AxisCodes(*day, 36); // out of range: nothing
    EXPECT_EQ(day->Races[0].Runners[1].RunnerAxisCode, "000000");
    EXPECT_TRUE(day->Races[0].Runners[2].RunnerAxisCode.empty());
    EXPECT_TRUE(day->Races[1].Runners[0].RunnerAxisCode.empty());
}

} // namespace
} // namespace vornal
