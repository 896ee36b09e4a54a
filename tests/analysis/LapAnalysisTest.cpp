#include <gtest/gtest.h>

#include "LapTestSupport.h"
#include "analysis/LapAnalysis.h"

namespace vornal {
namespace {

using laptest::NewDay;
using laptest::RaceSpec;
using laptest::RunSpec;
using laptest::SetRace;
using laptest::SetRun;

TuningTables BuiltIn()
{
    TuningTables tables;
    SetBuiltInTables(tables);
    return tables;
}

// Standard race figures of the built-in table used below: turf 1600 m and turf 1800 m.
constexpr double kTurf1600W = 94.0, kTurf1600P = 35.8, kTurf1600L = 36.2;
constexpr double kTurf1800W = 92.5, kTurf1800P = 36.4, kTurf1800L = 36.6;

double RecordFigure(double t, double distance, double w)
{
    return 100.0 - (t - (0.06 * distance - 6.0)) - w;
}
double FrontFigure(double t, double f, double distance, double p)
{
    return p - (t - f) / (distance - 600.0) * 600.0;
}

TEST(LapAnalysisEligibility, SkipsRacesWithoutStandardFiguresNewcomersJumpsAndNonJraCourses)
{
    auto day = NewDay();
    TuningTables tables = BuiltIn();
    SetRace(*day, 0, RaceSpec{});                   // analysed
    SetRace(*day, 1, RaceSpec{.distance = "1150"}); // no distance index
    SetRace(*day, 2, RaceSpec{.condition = "701"}); // newcomer race
    SetRace(*day, 3, RaceSpec{.condition = "702"});
    SetRace(*day, 4, RaceSpec{.track = "53"});  // obstacle
    SetRace(*day, 5, RaceSpec{.course = "44"}); // local racecourse
    SetRace(*day, 6, RaceSpec{.course = "00"});
    SetRace(*day, 7, RaceSpec{.distance = "2000", .track = "23"}); // no dirt standard at 2000 m
    SetRace(*day, 8, RaceSpec{});
    day->Races[8].RaceLoaded = false;
    for (int r = 0; r <= 8; ++r) {
        for (int h = 0; h < 4; ++h) {
            SetRun(day->Races[r].Runners[h].Past[0], RunSpec{.time = "134" + std::to_string(h)});
            day->Races[r].Runners[h].ClassMargin = 1.0 + h;
        }
    }

    ASSERT_TRUE(ComputeLapAnalysis(*day, tables));

    for (int h = 0; h < 4; ++h) {
        const Runner& runner = day->Races[0].Runners[h];
        EXPECT_LT(runner.RecordTime, kNoValue);
        EXPECT_GT(runner.RankRecordTime, 0);
        EXPECT_FALSE(runner.LapMark.empty());
    }
    for (int r = 1; r <= 8; ++r) {
        SCOPED_TRACE(r);
        for (int h = 0; h < 4; ++h) {
            const Runner& runner = day->Races[r].Runners[h];
            EXPECT_EQ(runner.RecordTime, kNoValue);
            EXPECT_EQ(runner.FrontSpeed, kNoValue);
            EXPECT_EQ(runner.BackSpeed, kNoValue);
            EXPECT_EQ(runner.AbilityIndex, 0.0);
            EXPECT_EQ(runner.Stamina, 0.0);
            EXPECT_EQ(runner.RankAbility, 0);
            EXPECT_TRUE(runner.LapMark.empty());
        }
    }
}

TEST(LapAnalysisFigures, MeansOverUsableRunsShiftedByTheRaceMeans)
{
    auto day = NewDay();
    TuningTables tables = BuiltIn();
    SetRace(*day, 0, RaceSpec{.registered = 2});
    Runner& runner = day->Races[0].Runners[0];
    SetRun(runner.Past[0], RunSpec{.time = "1345", .last3f = "345"});                   // 94.5 s, 34.5 s
    SetRun(runner.Past[1], RunSpec{.distance = 1800, .time = "1483", .last3f = "352"}); // 108.3 s, 35.2 s
    SetRun(runner.Past[2], RunSpec{.going = "3"});                                      // soft going
    SetRun(runner.Past[3], RunSpec{.distance = 1150});                                  // no standard
    SetRun(runner.Past[4], RunSpec{.course = "44"});                                    // local run
    day->Races[0].RaceMeanWinnerBase = 95.0;
    day->Races[0].RaceMeanFirstPace = 36.0;
    day->Races[0].RaceMeanLast3F = 35.0;
    day->Races[0].RaceSdWinnerBase = 1.5;
    day->Races[0].RaceSdFirstPace = 0.5;
    day->Races[0].RaceSdLast3F = 0.25;

    ASSERT_TRUE(ComputeLapAnalysis(*day, tables));

    double record = (RecordFigure(94.5, 1600, kTurf1600W) + RecordFigure(108.3, 1800, kTurf1800W)) / 2;
    double front = (FrontFigure(94.5, 34.5, 1600, kTurf1600P) + FrontFigure(108.3, 35.2, 1800, kTurf1800P)) / 2;
    double back = ((kTurf1600L - 34.5) + (kTurf1800L - 35.2)) / 2;
    EXPECT_NEAR(runner.RecordTime, record - (95.0 - kTurf1600W), 1e-9);
    EXPECT_NEAR(runner.FrontSpeed, front - (kTurf1600P - 36.0), 1e-9);
    EXPECT_NEAR(runner.BackSpeed, back - (kTurf1600L - 35.0), 1e-9);
    EXPECT_EQ(day->Races[0].LapSpreadPlus, (std::array<double, 3>{1.5, 0.5, 0.25}));
    EXPECT_EQ(day->Races[0].LapSpreadMinus, (std::array<double, 3>{-1.5, -0.5, -0.25}));

    // The runner without a usable run keeps no value and is left out of the speed rankings.
    const Runner& other = day->Races[0].Runners[1];
    EXPECT_EQ(other.RecordTime, kNoValue);
    EXPECT_EQ(other.AbilityTime, 0.0);
    EXPECT_EQ(other.RankRecordTime, 0);
    EXPECT_EQ(runner.RankRecordTime, 1);
}

TEST(LapAnalysisFigures, RaceMeansOfZeroShiftNothing)
{
    auto day = NewDay();
    SetRace(*day, 0, RaceSpec{.registered = 1});
    SetRun(day->Races[0].Runners[0].Past[0], RunSpec{.time = "1345", .last3f = "345"});

    ASSERT_TRUE(ComputeLapAnalysis(*day, BuiltIn()));

    const Runner& runner = day->Races[0].Runners[0];
    EXPECT_NEAR(runner.RecordTime, RecordFigure(94.5, 1600, kTurf1600W), 1e-9);
    EXPECT_NEAR(runner.FrontSpeed, FrontFigure(94.5, 34.5, 1600, kTurf1600P), 1e-9);
    EXPECT_NEAR(runner.BackSpeed, kTurf1600L - 34.5, 1e-9);
}

TEST(LapAnalysisFigures, HeavyGoingGivesStaminaButNoSpeedAndNoMark)
{
    auto day = NewDay();
    SetRace(*day, 0, RaceSpec{.registered = 1});
    Runner& runner = day->Races[0].Runners[0];
    SetRun(runner.Past[0], RunSpec{.going = "3"});
    SetRun(runner.Past[1], RunSpec{.going = "4"});

    ASSERT_TRUE(ComputeLapAnalysis(*day, BuiltIn()));

    EXPECT_EQ(runner.RecordTime, kNoValue);
    EXPECT_EQ(runner.RankRecordTime, 0);
    EXPECT_TRUE(runner.LapMark.empty());
    EXPECT_GT(runner.Stamina, 0.0);
    EXPECT_EQ(runner.RankStamina, 1);
    EXPECT_EQ(runner.RankAbility, 1);
}

double StaminaOf(const RunSpec& spec)
{
    auto day = NewDay();
    SetRace(*day, 0, RaceSpec{.registered = 1});
    SetRun(day->Races[0].Runners[0].Past[0], spec);
    EXPECT_TRUE(ComputeLapAnalysis(*day, BuiltIn()));
    return day->Races[0].Runners[0].Stamina;
}

TEST(LapAnalysisStamina, DistanceAndPlaceWeightedByGoingAndSurface)
{
    // A good-going dirt run of 1600 m finishing 3rd: (16 + 15) x 1.25.
    EXPECT_DOUBLE_EQ(StaminaOf(RunSpec{.track = "23", .going = "1", .place = 3}), 38.75);
    EXPECT_DOUBLE_EQ(StaminaOf(RunSpec{.track = "11", .going = "2", .place = 3}), 31.0);
    // On soft ground the weighting turns round.
    EXPECT_DOUBLE_EQ(StaminaOf(RunSpec{.track = "11", .going = "3", .place = 3}), 38.75);
    EXPECT_DOUBLE_EQ(StaminaOf(RunSpec{.track = "24", .going = "4", .place = 3}), 31.0);
    // Straight turf counts as dirt here.
    EXPECT_DOUBLE_EQ(StaminaOf(RunSpec{.track = "10", .going = "1", .place = 3}), 38.75);
    // Distances off the standard table still count, in hundreds of metres.
    EXPECT_DOUBLE_EQ(StaminaOf(RunSpec{.distance = 1150, .going = "1", .place = 1}), 11.5 + 17);
}

TEST(LapAnalysisStamina, LocalRunsCountOverseasJumpsAndUnplacedRunsDoNot)
{
    EXPECT_DOUBLE_EQ(StaminaOf(RunSpec{.course = "44", .going = "1", .place = 3}), 31.0);
    EXPECT_EQ(StaminaOf(RunSpec{.course = "A4", .going = "1", .place = 3}), 0.0);
    EXPECT_EQ(StaminaOf(RunSpec{.track = "51", .going = "1", .place = 3}), 0.0);
    EXPECT_EQ(StaminaOf(RunSpec{.going = "1", .place = 0}), 0.0);
    EXPECT_EQ(StaminaOf(RunSpec{.going = "0", .place = 3}), 0.0);
    EXPECT_EQ(StaminaOf(RunSpec{.going = "", .place = 3}), 0.0);
}

TEST(LapAnalysisStamina, LargestFigureOfTheFiveRuns)
{
    auto day = NewDay();
    SetRace(*day, 0, RaceSpec{.registered = 1});
    Runner& runner = day->Races[0].Runners[0];
    SetRun(runner.Past[0], RunSpec{.place = 10});
    SetRun(runner.Past[3], RunSpec{.distance = 2400, .track = "23", .place = 1}); // (24 + 17) x 1.25
    SetRun(runner.Past[4], RunSpec{.course = "44", .place = 2});
    ASSERT_TRUE(ComputeLapAnalysis(*day, BuiltIn()));
    EXPECT_DOUBLE_EQ(runner.Stamina, 51.25);
}

TEST(LapAnalysisAbility, IndexForEveryRunnerTimeOnlyWithRecordTime)
{
    auto day = NewDay();
    SetRace(*day, 0, RaceSpec{.registered = 3});
    auto& runners = day->Races[0].Runners;
    runners[0].ClassMargin = 1.25;
    runners[0].FinalGoalMargin = 0.5;
    runners[1].ClassMargin = -0.75;
    runners[1].FinalGoalMargin = 2.0;
    SetRun(runners[0].Past[0], RunSpec{});
    runners[3].ClassMargin = 9.0; // beyond the registered runners
    ASSERT_TRUE(ComputeLapAnalysis(*day, BuiltIn()));
    EXPECT_DOUBLE_EQ(runners[0].AbilityIndex, 100.0 - 1.75);
    EXPECT_DOUBLE_EQ(runners[0].AbilityTime, runners[0].AbilityIndex + runners[0].RecordTime);
    EXPECT_DOUBLE_EQ(runners[1].AbilityIndex, 100.0 - 1.25);
    EXPECT_EQ(runners[1].AbilityTime, 0.0);
    EXPECT_DOUBLE_EQ(runners[2].AbilityIndex, 100.0);
    EXPECT_EQ(runners[3].AbilityIndex, 0.0);
    EXPECT_EQ(runners[3].RankAbility, 0);
}

TEST(LapAnalysisRankings, TiesFallToSecondaryKeyThenHigherHorseNumber)
{
    auto day = NewDay();
    SetRace(*day, 0, RaceSpec{.registered = 4});
    auto& runners = day->Races[0].Runners;
    // Ability indices 98.0, 98.0 (equal at five decimals), 98.0, 99.0.
    runners[0].ClassMargin = 2.0;
    runners[1].ClassMargin = 2.000001;
    runners[2].ClassMargin = 2.0;
    runners[3].ClassMargin = 1.0;
    runners[0].AchievementProb = 0.2;
    runners[1].AchievementProb = 0.2;
    runners[2].AchievementProb = 0.1;
    ASSERT_TRUE(ComputeLapAnalysis(*day, BuiltIn()));
    EXPECT_EQ(runners[3].RankAbility, 1);
    EXPECT_EQ(runners[1].RankAbility, 2); // same index and probability as slot 0: higher number first
    EXPECT_EQ(runners[0].RankAbility, 3);
    EXPECT_EQ(runners[2].RankAbility, 4);
    // No stamina anywhere: every runner ranks, by probability, then number.
    EXPECT_EQ(runners[1].RankStamina, 1);
    EXPECT_EQ(runners[0].RankStamina, 2);
    EXPECT_EQ(runners[2].RankStamina, 3);
    EXPECT_EQ(runners[3].RankStamina, 4);
}

TEST(LapAnalysisRankings, SpeedRanksOnlyRunnersWithValuesOthersKeepTheirRank)
{
    auto day = NewDay();
    SetRace(*day, 0, RaceSpec{.registered = 3});
    auto& runners = day->Races[0].Runners;
    SetRun(runners[0].Past[0], RunSpec{.time = "1350", .last3f = "350"});
    SetRun(runners[2].Past[0], RunSpec{.time = "1350", .last3f = "350"}); // same figures as slot 0
    runners[0].PredictedWinPayout = 420.0;
    runners[2].PredictedWinPayout = 380.0;
    runners[1].RankRecordTime = 7; // no value: keeps what it had
    ASSERT_TRUE(ComputeLapAnalysis(*day, BuiltIn()));
    EXPECT_EQ(runners[0].RankRecordTime, 1); // equal time, larger predicted payout
    EXPECT_EQ(runners[2].RankRecordTime, 2);
    EXPECT_EQ(runners[1].RankRecordTime, 7);
    EXPECT_EQ(runners[1].RankFrontSpeed, 0);
    EXPECT_EQ(runners[1].RankAbilityTime, 0);
    EXPECT_EQ(runners[0].RankFrontSpeed, 1);
    EXPECT_EQ(runners[2].RankBackSpeed, 2);
}

TEST(LapAnalysisMark, RankBuckets)
{
    EXPECT_EQ(LapRankBucket(0), 0);
    EXPECT_EQ(LapRankBucket(1), 1);
    EXPECT_EQ(LapRankBucket(3), 1);
    EXPECT_EQ(LapRankBucket(4), 2);
    EXPECT_EQ(LapRankBucket(12), 4);
    EXPECT_EQ(LapRankBucket(13), 5);
    EXPECT_EQ(LapRankBucket(15), 5);
    EXPECT_EQ(LapRankBucket(16), 6);
    EXPECT_EQ(LapRankBucket(18), 6);
}

TEST(LapAnalysisMark, CategoryBySurfaceAndDistance)
{
    EXPECT_EQ(LapCategory("11", 1600), 1);
    EXPECT_EQ(LapCategory("22", 1650), 1);
    EXPECT_EQ(LapCategory("17", 1700), 2);
    EXPECT_EQ(LapCategory("23", 1400), 3);
    EXPECT_EQ(LapCategory("10", 1000), 3); // straight turf counts as dirt
    EXPECT_EQ(LapCategory("24", 1800), 4);
}

// A one-runner race ranks the runner first everywhere, so its score is the three (1, 1)
// cells of the race category.
std::string MarkForScore(const RaceSpec& race, int category, double jz, double jk, double zk)
{
    TuningTables tables = BuiltIn();
    for (int c = 1; c <= kLapCategories; ++c) {
        tables.ThresholdTable[c] = {30.0, 20.0, 10.0};
        for (auto& pair : tables.RankPairTable[c]) {
            pair[1][1] = 0.0;
        }
    }
    tables.RankPairTable[category][static_cast<int>(RankPairKind::JZ)][1][1] = jz;
    tables.RankPairTable[category][static_cast<int>(RankPairKind::JK)][1][1] = jk;
    tables.RankPairTable[category][static_cast<int>(RankPairKind::ZK)][1][1] = zk;
    auto day = NewDay();
    RaceSpec spec = race;
    spec.registered = 1;
    SetRace(*day, 0, spec);
    SetRun(day->Races[0].Runners[0].Past[0], RunSpec{.distance = 1800, .track = "23", .time = "1530"});
    EXPECT_TRUE(ComputeLapAnalysis(*day, tables));
    return day->Races[0].Runners[0].LapMark.Str();
}

TEST(LapAnalysisMark, ThresholdsAtEquality)
{
    RaceSpec turfShort{};
    EXPECT_EQ(MarkForScore(turfShort, 1, 15.0, 10.0, 5.0), "A"); // equal to "38%"
    EXPECT_EQ(MarkForScore(turfShort, 1, 10.0, 5.0, 5.0), "B");  // equal to "50%"
    EXPECT_EQ(MarkForScore(turfShort, 1, 5.0, 3.0, 2.5), "-");   // above "90%"
    EXPECT_EQ(MarkForScore(turfShort, 1, 5.0, 3.0, 2.0), "/");   // equal to "90%"
    // The cells of another category do not count.
    EXPECT_EQ(MarkForScore(turfShort, 4, 15.0, 10.0, 5.0), "/");
    EXPECT_EQ(MarkForScore(RaceSpec{.distance = "1800", .track = "24"}, 4, 15.0, 10.0, 5.0), "A");
}

TEST(LapAnalysisMark, BuiltInTablesOnARealField)
{
    // Three runners rank 1, 2, 3 in every speed ranking (bucket 1): every mark
    // comes from the (1, 1) cells of "芝短距離": 9.1 + 9.7 + 9.7 = 28.5 >= 20.00.
    auto day = NewDay();
    SetRace(*day, 0, RaceSpec{.registered = 3});
    for (int h = 0; h < 3; ++h) {
        SetRun(day->Races[0].Runners[h].Past[0],
               RunSpec{.time = "134" + std::to_string(h), .last3f = "34" + std::to_string(h)});
    }
    ASSERT_TRUE(ComputeLapAnalysis(*day, BuiltIn()));
    for (int h = 0; h < 3; ++h) {
        EXPECT_EQ(day->Races[0].Runners[h].LapMark, "A");
    }
}

TEST(LapAnalysisErrors, NonDigitTimeStopsThePassAndLeavesTheRaceUntouched)
{
    auto day = NewDay();
    SetRace(*day, 0, RaceSpec{.registered = 1});
    SetRace(*day, 1, RaceSpec{.registered = 2});
    SetRace(*day, 2, RaceSpec{.registered = 1});
    SetRun(day->Races[0].Runners[0].Past[0], RunSpec{});
    SetRun(day->Races[1].Runners[0].Past[0], RunSpec{});
    SetRun(day->Races[1].Runners[1].Past[2], RunSpec{.time = "1 45"});
    SetRun(day->Races[2].Runners[0].Past[0], RunSpec{});

    Status result = ComputeLapAnalysis(*day, BuiltIn());

    EXPECT_FALSE(result);
    EXPECT_NE(result.message.find("1 45"), std::string::npos);
    EXPECT_LT(day->Races[0].Runners[0].RecordTime, kNoValue);
    EXPECT_EQ(day->Races[1].Runners[0].RecordTime, kNoValue);
    EXPECT_EQ(day->Races[1].Runners[0].AbilityIndex, 0.0);
    EXPECT_EQ(day->Races[2].Runners[0].RecordTime, kNoValue);
}

TEST(LapAnalysisErrors, BadDigitsOfARunNotUsedForSpeedAreNotRead)
{
    auto day = NewDay();
    SetRace(*day, 0, RaceSpec{.registered = 1});
    SetRun(day->Races[0].Runners[0].Past[0], RunSpec{.going = "4", .time = "x", .last3f = "y"});
    SetRun(day->Races[0].Runners[0].Past[1], RunSpec{.distance = 1150, .time = "x"});
    SetRun(day->Races[0].Runners[0].Past[2], RunSpec{.last3f = "3 5"});
    Status result = ComputeLapAnalysis(*day, BuiltIn());
    EXPECT_FALSE(result); // the third run is usable, and its last 600 m is not digits
    day->Races[0].Runners[0].Past[2].PastLast3F = "000";
    EXPECT_TRUE(ComputeLapAnalysis(*day, BuiltIn()));
}

TEST(LapAnalysisPasses, SecondPassGivesTheSameResults)
{
    auto day = NewDay();
    SetRace(*day, 0, RaceSpec{.registered = 3});
    day->Races[0].RaceMeanWinnerBase = 95.5;
    day->Races[0].RaceMeanLast3F = 34.8;
    for (int h = 0; h < 3; ++h) {
        SetRun(day->Races[0].Runners[h].Past[0], RunSpec{.time = "135" + std::to_string(h)});
        SetRun(day->Races[0].Runners[h].Past[1], RunSpec{.distance = 1400, .last3f = "33" + std::to_string(h)});
        day->Races[0].Runners[h].ClassMargin = 0.1 * h;
    }
    TuningTables tables = BuiltIn();
    ASSERT_TRUE(ComputeLapAnalysis(*day, tables));
    RaceSlot first = day->Races[0];
    ASSERT_TRUE(ComputeLapAnalysis(*day, tables));
    for (int h = 0; h < 3; ++h) {
        const Runner& a = first.Runners[h];
        const Runner& b = day->Races[0].Runners[h];
        EXPECT_EQ(a.RecordTime, b.RecordTime);
        EXPECT_EQ(a.FrontSpeed, b.FrontSpeed);
        EXPECT_EQ(a.BackSpeed, b.BackSpeed);
        EXPECT_EQ(a.AbilityTime, b.AbilityTime);
        EXPECT_EQ(a.RankRecordTime, b.RankRecordTime);
        EXPECT_EQ(a.LapMark, b.LapMark);
    }
}

} // namespace
} // namespace vornal
