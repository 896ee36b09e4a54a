#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "raceday/PastPerformance.h"
#include "store/StorePaths.h"
#include "support/JvRecordBuilder.h"

namespace vornal {
namespace {

using test::MakeRA;
using test::MakeSE;
using test::RaceSpec;
using test::RunSpec;

// A race day with race slot 0 set up from `race` and no past runs yet.
class PastPerformanceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        day = std::make_unique<RaceDay>();
        ClearRaceDay(*day);
    }

    void SetRace(const RaceSpec& race) { day->RaceRA[0] = MakeRA(race); }

    // Past run k of runner h: its SE record and its race's RA record.
    void SetRun(int h, int k, const RunSpec& run, const RaceSpec& pastRace)
    {
        day->PastSE[0][h][k] = MakeSE(run);
        day->PastRA[0][h][k] = MakeRA(pastRace);
    }

    const Runner& RunnerAt(int h) const { return day->Races[0].Runners[h]; }
    const PastRun& Run(int h, int k) const { return day->Races[0].Runners[h].Past[k]; }

    std::unique_ptr<RaceDay> day;
};

RaceSpec Turf(int distance, std::string going = "1")
{
    RaceSpec race;
    race.distance = distance;
    race.track = "17";
    race.goingTurf = going;
    return race;
}

TEST_F(PastPerformanceTest, BaseTimeOfThe1800MetreExample)
{
    SetRace(Turf(1800));
    RunSpec run;
    run.time = "1495"; // 1:49.5
    SetRun(0, 0, run, Turf(1800));
    PastPerformancePass(*day, 0);
    // T = 1095 tenths; 100 - (109.5 - (0.06 * 1800 - 6)) = 92.5
    EXPECT_DOUBLE_EQ(Run(0, 0).PastBaseTime, 92.5);
    EXPECT_DOUBLE_EQ(RunnerAt(0).BestBaseTime, 92.5);
    EXPECT_EQ(Run(0, 0).PastDistance, 1800);
    EXPECT_EQ(Run(0, 0).PastGoing, "1");
    EXPECT_EQ(Run(0, 0).PastRunKey, "2025120106");
}

TEST_F(PastPerformanceTest, BaseTimeOnlyOnGoodOrSlightlySoftGoing)
{
    SetRace(Turf(1600));
    RunSpec run;
    run.time = "1340";
    SetRun(0, 0, run, Turf(1600, "1"));
    SetRun(0, 1, run, Turf(1600, "2"));
    SetRun(0, 2, run, Turf(1600, "3"));
    PastPerformancePass(*day, 0);
    // 1600 m in 94.0 s: 100 - (94.0 - 90.0) = 96.0
    EXPECT_DOUBLE_EQ(Run(0, 0).PastBaseTime, 96.0);
    EXPECT_DOUBLE_EQ(Run(0, 1).PastBaseTime, 96.0);
    EXPECT_EQ(Run(0, 2).PastBaseTime, 0.0);
    EXPECT_EQ(Run(0, 2).PastGoing, "3");
    EXPECT_EQ(Run(0, 2).PastAdjLast3F, 0.0);
}

TEST_F(PastPerformanceTest, LocalAndOverseasRunsKeepIdentificationOnly)
{
    SetRace(Turf(1600));
    RunSpec local;
    local.course = "30";
    local.time = "1340";
    local.corner4 = 2;
    RunSpec abroad = local;
    abroad.course = "A0";
    SetRun(0, 0, local, Turf(1600));
    SetRun(0, 1, abroad, Turf(1600));
    PastPerformancePass(*day, 0);
    for (int k = 0; k < 2; ++k) {
        EXPECT_TRUE(Run(0, k).PastRunPresent);
        EXPECT_EQ(Run(0, k).PastDistance, 1600);
        EXPECT_EQ(Run(0, k).PastCorner[3], 2);
        EXPECT_EQ(Run(0, k).PastBaseTime, 0.0);
        EXPECT_TRUE(Run(0, k).PastGradeCode.empty());
    }
    // Their corner positions do not count either.
    EXPECT_DOUBLE_EQ(RunnerAt(0).AvgCorner4, 6.5);
    EXPECT_DOUBLE_EQ(RunnerAt(0).Corner4StdDev, 10.0);
}

TEST_F(PastPerformanceTest, TrackClassThreeTodayNeverMatchesAPastDirtRun)
{
    RaceSpec today = Turf(1600);
    today.track = "25";
    SetRace(today);
    RunSpec run;
    run.time = "1380";
    for (int k = 0; k < 3; ++k) {
        RaceSpec past = today;
        past.track = k == 0 ? "24" : k == 1 ? "25" : "29"; // dirt in a past race
        SetRun(0, k, run, past);
    }
    PastPerformancePass(*day, 0);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(Run(0, k).PastBaseTime, 0.0) << k;
        EXPECT_EQ(Run(0, k).PastGoing, "1") << "dirt going of a dirt run";
    }
    EXPECT_EQ(RunnerAt(0).BestBaseTime, 0.0);
}

TEST_F(PastPerformanceTest, BaseTimeNeedsSameSurfaceAndWithin400Metres)
{
    SetRace(Turf(1600));
    RunSpec run;
    run.time = "1340";
    RaceSpec dirt = Turf(1600);
    dirt.track = "23";
    SetRun(0, 0, run, dirt);
    SetRun(0, 1, run, Turf(2000));
    SetRun(0, 2, run, Turf(2100));
    PastPerformancePass(*day, 0);
    EXPECT_EQ(Run(0, 0).PastBaseTime, 0.0);
    EXPECT_GT(Run(0, 1).PastBaseTime, 0.0);
    EXPECT_EQ(Run(0, 2).PastBaseTime, 0.0);
}

TEST_F(PastPerformanceTest, CornerDefaultsAndSpread)
{
    RaceSpec today = Turf(1600);
    today.registered = 3;
    SetRace(today);
    RunSpec run;
    run.corner4 = 3;
    SetRun(1, 0, run, Turf(1600));
    run.corner4 = 2;
    SetRun(2, 0, run, Turf(1600));
    run.corner4 = 4;
    SetRun(2, 1, run, Turf(1600));
    PastPerformancePass(*day, 0);
    EXPECT_DOUBLE_EQ(RunnerAt(0).AvgCorner4, 6.5);
    EXPECT_DOUBLE_EQ(RunnerAt(0).Corner4StdDev, 10.0);
    EXPECT_DOUBLE_EQ(RunnerAt(1).AvgCorner4, 3.0);
    EXPECT_DOUBLE_EQ(RunnerAt(1).Corner4StdDev, 10.0);
    EXPECT_DOUBLE_EQ(RunnerAt(2).AvgCorner4, 3.0);
    EXPECT_DOUBLE_EQ(RunnerAt(2).Corner4StdDev, std::sqrt(2.0));
    // The most forward average gets 1; equal styles rank by horse number.
    EXPECT_DOUBLE_EQ(RunnerAt(0).RunningStyle, 4.5);
    EXPECT_DOUBLE_EQ(RunnerAt(1).RunningStyle, 1.0);
    EXPECT_EQ(RunnerAt(1).RunningStyleRank, 1);
    EXPECT_EQ(RunnerAt(2).RunningStyleRank, 2);
    EXPECT_EQ(RunnerAt(0).RunningStyleRank, 3);
}

TEST_F(PastPerformanceTest, PacesAndWinnerFigures)
{
    SetRace(Turf(1800));
    RunSpec run;
    run.time = "1495";
    run.last3F = "350";
    run.timeDiff = "+005";
    SetRun(0, 0, run, Turf(1800));
    PastPerformancePass(*day, 0);
    const PastRun& past = Run(0, 0);
    EXPECT_DOUBLE_EQ(past.PastAdjLast3F, 35.0);
    EXPECT_DOUBLE_EQ(past.PastNearLast3F, 35.0);
    EXPECT_DOUBLE_EQ(past.PastFirstPace, (109.5 - 35.0) * 600 / 1200);
    EXPECT_DOUBLE_EQ(past.PastWinnerFirstPace, (109.5 - 0.5 - 35.0) * 600 / 1200);
    EXPECT_DOUBLE_EQ(past.PastWinnerBaseTime, 92.5 + 0.5);
    EXPECT_EQ(day->Races[0].RaceCountWinnerBase, 1);
    EXPECT_DOUBLE_EQ(day->Races[0].RaceMeanWinnerBase, 93.0);
}

TEST_F(PastPerformanceTest, DistanceAdjustmentOfLast600mBySurface)
{
    SetRace(Turf(1800));
    RunSpec run;
    run.time = "1340";
    run.last3F = "345";
    SetRun(0, 0, run, Turf(1600));
    PastPerformancePass(*day, 0);
    // 200 m longer today on turf: 200 * 0.00125 seconds slower.
    EXPECT_DOUBLE_EQ(Run(0, 0).PastAdjLast3F, 200 * 0.00125 + 34.5);
    EXPECT_DOUBLE_EQ(Run(0, 0).PastNearLast3F, Run(0, 0).PastAdjLast3F);
}

TEST_F(PastPerformanceTest, OneValueInSumCGivesSpreadZeroAndGradesBySign)
{
    RaceSpec today = Turf(1800);
    today.registered = 2;
    SetRace(today);
    RunSpec won;
    won.timeDiff = "-003";
    SetRun(0, 0, won, Turf(1800));
    PastPerformancePass(*day, 0);
    EXPECT_EQ(day->Races[0].RaceCountWinnerBase, 1);
    EXPECT_EQ(day->Races[0].RaceSdWinnerBase, 0.0);
    ASSERT_EQ(Run(0, 0).PastGradeCode.size(), 3u);
    EXPECT_EQ(Run(0, 0).PastGradeCode.View()[0], '5');

    ClearRaceDay(*day);
    RunSpec lost = won;
    lost.timeDiff = "+004";
    SetRun(0, 0, lost, Turf(1800));
    PastPerformancePass(*day, 0);
    EXPECT_EQ(day->Races[0].RaceSdWinnerBase, 0.0);
    EXPECT_NEAR(Run(0, 0).PastBaseTimeGap, -0.4, 1e-9);
    EXPECT_EQ(Run(0, 0).PastGradeCode.View()[0], '1');
    EXPECT_EQ(RunnerAt(0).BestGradeCode, Run(0, 0).PastGradeCode);
}

TEST_F(PastPerformanceTest, GradesPlaceEachGapAgainstItsRaceSpread)
{
    RaceSpec today = Turf(1800);
    today.registered = 5;
    SetRace(today);
    // Base times 90, 92, 94, 96, 98 (mean 94, spread sqrt(10)); first paces 38.5 .. 34.5
    // (mean 36.5, spread sqrt(2.5)); the same last 600 m for all, so that gap is 0.
    const char* times[] = {"1520", "1500", "1480", "1460", "1440"};
    for (int h = 0; h < 5; ++h) {
        RunSpec run;
        run.time = times[h];
        SetRun(h, 0, run, Turf(1800));
    }
    PastPerformancePass(*day, 0);
    EXPECT_NEAR(day->Races[0].RaceSdWinnerBase, std::sqrt(10.0), 1e-9);
    EXPECT_NEAR(day->Races[0].RaceSdFirstPace, std::sqrt(2.5), 1e-9);
    EXPECT_NEAR(Run(0, 0).PastFirstPaceGap, -2.0, 1e-9);
    // Gaps of -1.26, -0.63, 0, 0.63 and 1.26 spreads: base-time, first-pace, last-600 m digits.
    const char* expected[] = {"225", "445", "555", "665", "885"};
    for (int h = 0; h < 5; ++h) {
        EXPECT_EQ(Run(h, 0).PastGradeCode, expected[h]) << h;
    }
}

TEST_F(PastPerformanceTest, GapRankingPutsNonNegativeKeysFirstThenNegativesByMagnitude)
{
    RaceSpec today = Turf(1800);
    today.registered = 4;
    SetRace(today);
    const char* last3F[] = {"340", "350", "360", "366"}; // mean 35.4
    for (int h = 0; h < 4; ++h) {
        RunSpec run;
        run.last3F = last3F[h];
        SetRun(h, 0, run, Turf(1800));
    }
    PastPerformancePass(*day, 0);
    EXPECT_NEAR(day->Races[0].RaceMeanLast3F, 35.4, 1e-12);
    EXPECT_NEAR(Run(0, 0).PastLast3FGap, 1.4, 1e-9);
    EXPECT_NEAR(Run(3, 0).PastRankKey, -1.2, 1e-9);
    EXPECT_EQ(Run(1, 0).PastGapRank, 1); // 0.4
    EXPECT_EQ(Run(0, 0).PastGapRank, 2); // 1.4
    EXPECT_EQ(Run(2, 0).PastGapRank, 3); // -0.6
    EXPECT_EQ(Run(3, 0).PastGapRank, 4); // -1.2
    // OverallMin is the numerically smallest gap, whatever the ranking's order.
    EXPECT_NEAR(RunnerAt(3).OverallMin, -1.2, 1e-9);
    EXPECT_EQ(RunnerAt(3).RunnerAxisCode, "0");
    EXPECT_EQ(Run(0, 1).PastGapRank, 0);
    EXPECT_EQ(Run(0, 1).PastRankKey, 10000.0);
}

TEST_F(PastPerformanceTest, EqualGapKeysGoToTheLowerRunnerThenTheLowerRun)
{
    RaceSpec today = Turf(1800);
    today.registered = 2;
    SetRace(today);
    RunSpec run;
    SetRun(1, 0, run, Turf(1800));
    SetRun(1, 1, run, Turf(1800));
    SetRun(0, 2, run, Turf(1800));
    PastPerformancePass(*day, 0);
    EXPECT_EQ(Run(0, 2).PastGapRank, 1);
    EXPECT_EQ(Run(1, 0).PastGapRank, 2);
    EXPECT_EQ(Run(1, 1).PastGapRank, 3);
    EXPECT_EQ(RunnerAt(1).RunnerAxisCode, "0") << "the first of equal minima is the best run";
}

TEST_F(PastPerformanceTest, RunnersWithoutFiguresGetSurfaceDefaultsAndNoOffset)
{
    for (const auto& [track, expected] : {std::pair{"17", 37.0}, std::pair{"24", 39.9}, std::pair{"54", 13.7}}) {
        ClearRaceDay(*day);
        RaceSpec today = Turf(1800);
        today.track = track;
        SetRace(today);
        PastPerformancePass(*day, 0);
        EXPECT_DOUBLE_EQ(RunnerAt(0).AvgAdjLast3F, expected) << track;
        EXPECT_EQ(RunnerAt(0).Last3FOffset, 0.0);
        EXPECT_EQ(RunnerAt(0).OverallMin, 10000.0);
        EXPECT_EQ(RunnerAt(7).Last3FOffsetRank, 8);
    }
}

TEST_F(PastPerformanceTest, Last3FOffsetRankByMagnitude)
{
    RaceSpec today = Turf(1800);
    today.registered = 3;
    SetRace(today);
    const char* last3F[] = {"340", "350", "363"}; // mean 35.1
    for (int h = 0; h < 3; ++h) {
        RunSpec run;
        run.last3F = last3F[h];
        SetRun(h, 0, run, Turf(1800));
    }
    PastPerformancePass(*day, 0);
    EXPECT_NEAR(RunnerAt(2).Last3FOffset, -1.2, 1e-9);
    EXPECT_EQ(RunnerAt(1).Last3FOffsetRank, 1); // 0.1
    EXPECT_EQ(RunnerAt(0).Last3FOffsetRank, 2); // 1.1
    EXPECT_EQ(RunnerAt(2).Last3FOffsetRank, 3); // -1.2
}

TEST_F(PastPerformanceTest, AShortPastDistanceNeverDividesByZero)
{
    SetRace(Turf(1000));
    RunSpec run;
    run.time = "0350";
    SetRun(0, 0, run, Turf(600));
    PastPerformancePass(*day, 0);
    EXPECT_TRUE(std::isfinite(Run(0, 0).PastFirstPace));
    EXPECT_TRUE(std::isfinite(Run(0, 0).PastWinnerFirstPace));
}

TEST_F(PastPerformanceTest, FinishCountsAndCoatColour)
{
    SetRace(Turf(1800));
    std::string um = test::BlankRecord("UM", jv::kLengthUM);
    test::Put(um, {1125, 18}, "001002003004005006");
    test::Put(um, {1575, 18}, "010000000000000099");
    day->RunnerUM[0][0] = um;
    std::string se = MakeSE(RunSpec{});
    test::Put(se, jv::se::kCoatColour, "03");
    day->RunnerSE[0][0] = se;
    PastPerformancePass(*day, 0);
    EXPECT_EQ(RunnerAt(0).FinishCounts[0], (std::array<int, 6>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(RunnerAt(0).FinishCounts[22][0], 10);
    EXPECT_EQ(RunnerAt(0).FinishCounts[22][5], 99);
    EXPECT_EQ(RunnerAt(0).CoatColourCode, 3);
    // Every runner below the registered count shows five past-run rows.
    EXPECT_TRUE(Run(7, 4).PastRunPresent);
    EXPECT_FALSE(Run(8, 0).PastRunPresent);
}

// --- History and past-race files -------------------------------------------------------

TEST(PastRecords, HistoryTakesFiveRunsBeforeTheRaceDayNewestFirst)
{
    test::TempAppDir app;
    auto day = std::make_unique<RaceDay>();
    RunSpec entry;
    entry.date = "20260105";
    day->RunnerSE[0][0] = MakeSE(entry);
    std::vector<std::string> history;
    for (int i = 1; i <= 6; ++i) {
        RunSpec run;
        run.date = "202512" + test::Digits(i, 2);
        history.push_back(MakeSE(run));
    }
    RunSpec today = entry; // the race itself, already in the history
    history.push_back(MakeSE(today));
    RunSpec later = entry;
    later.date = "20260201";
    history.push_back(MakeSE(later));
    test::WriteRecords(HorseHistoryFile(app.Path(), entry.horseId), history);

    FileCache files(app.Path());
    ReadHistory(*day, 0, 0, 20260105, files);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(jv::Get(day->PastSE[0][0][k], jv::kDate), "202512" + test::Digits(6 - k, 2)) << k;
    }
}

TEST(PastRecords, HistoryWithoutFileOrIdLeavesRunsBlank)
{
    test::TempAppDir app;
    auto day = std::make_unique<RaceDay>();
    day->RunnerSE[0][0] = MakeSE(RunSpec{});
    FileCache files(app.Path());
    ReadHistory(*day, 0, 0, 20260105, files);
    ReadHistory(*day, 0, 1, 20260105, files); // blank runner slot
    EXPECT_EQ(day->PastSE[0][0][0].View(), std::string(jv::kLengthSE, ' '));
}

TEST(PastRecords, ACutHistoryFileIsReportedWithFileAndRecord)
{
    test::TempAppDir app;
    auto day = std::make_unique<RaceDay>();
    day->RunnerSE[0][0] = MakeSE(RunSpec{});
    std::string cut = MakeSE(RunSpec{}) + MakeSE(RunSpec{}).substr(0, 100);
    test::WriteRecords(HorseHistoryFile(app.Path(), RunSpec{}.horseId), {cut});
    FileCache files(app.Path());
    try {
        ReadHistory(*day, 0, 0, 20260105, files);
        FAIL() << "no error";
    } catch (const RecordReadError& error) {
        EXPECT_EQ(error.RecordIndex(), 1);
        EXPECT_EQ(error.File(), HorseHistoryFile(app.Path(), RunSpec{}.horseId));
    }
}

TEST(PastRecords, PastRaceIsTheFirstRecordWithTheRunsRaceNumber)
{
    test::TempAppDir app;
    auto day = std::make_unique<RaceDay>();
    RunSpec run;
    run.raceNo = 5;
    day->PastSE[0][0][0] = MakeSE(run);
    RaceSpec first;
    first.date = run.date;
    first.raceNo = 5;
    first.distance = 2000;
    RaceSpec second = first;
    second.distance = 2400;
    RaceSpec other = first;
    other.raceNo = 4;
    test::WriteRecords(ResultHistoryFile(app.Path(), "2025120106"), {MakeRA(other), MakeRA(first), MakeRA(second)});
    FileCache files(app.Path());
    ReadPastRaces(*day, 0, 0, files);
    EXPECT_EQ(jv::Number(day->PastRA[0][0][0], jv::ra::kDistance), 2000);
    EXPECT_EQ(day->PastRA[0][0][1].View(), std::string(jv::kLengthRA, ' '));

    // The file is indexed once and serves every runner: another race number of it, and one
    // it does not hold.
    RunSpec fourth = run;
    fourth.raceNo = 4;
    day->PastSE[0][1][0] = MakeSE(fourth);
    RunSpec absent = run;
    absent.raceNo = 11;
    day->PastSE[0][1][1] = MakeSE(absent);
    ReadPastRaces(*day, 0, 1, files);
    EXPECT_EQ(jv::Number(day->PastRA[0][1][0], jv::kRaceNo), 4);
    EXPECT_EQ(day->PastRA[0][1][1].View(), std::string(jv::kLengthRA, ' '));
}

} // namespace
} // namespace vornal
