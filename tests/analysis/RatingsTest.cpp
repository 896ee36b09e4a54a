#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>

#include "analysis/Ratings.h"
#include "app/Progress.h"
#include "app/SettingKeys.h"
#include "app/TempDir.h"
#include "RatingTestSupport.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

using ratingtest::PastRunSpec;
using ratingtest::SetEntry;
using ratingtest::SetRace;
using ratingtest::SetRun;

constexpr double kTol = 1e-9;
// Built-in gate adjustments of slots 0..6 in fields of up to 7 runners.
constexpr double kGate0[] = {1.492, 1.439, 1.458, 1.464, 1.452, 1.436, 1.491};
// Cell [k][10] of the test rotation table (no usable finishing position): 0.01 + 0.001 k.
constexpr double kNoFinishColumnSum = 0.05 + 0.015;

class RatingsTest : public ::testing::Test
{
protected:
    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();
    TuningTables tables = ratingtest::MakeTables();
    UserSettings settings{0.26, DefaultCarHosei(), DefaultKkHosei()};
    MasterRates jockeys;
    MasterRates trainers;

    Status Rate(int race = 0) { return RateRace(*day, race, tables, settings, jockeys, trainers); }
    Runner& R(int slot, int race = 0) { return day->Races[race].Runners[slot]; }

    std::vector<int> Ranks(int Runner::*field, int n, int race = 0)
    {
        std::vector<int> ranks;
        for (int s = 0; s < n; ++s) {
            ranks.push_back(R(s, race).*field);
        }
        return ranks;
    }
};

bool IsPermutation(std::vector<int> ranks)
{
    std::sort(ranks.begin(), ranks.end());
    for (std::size_t i = 0; i < ranks.size(); ++i) {
        if (ranks[i] != static_cast<int>(i) + 1) {
            return false;
        }
    }
    return true;
}

// --- Past runs -------------------------------------------------------------------------

TEST_F(RatingsTest, RunnerWithoutUsablePastRunGetsTheDefaults)
{
    SetRace(*day, 0, 5);
    // A key dated "00000000" is no run either.
    SetRun(*day, 0, 0, 0, PastRunSpec{});
    R(0).Past[0].PastRunKey = "0000000006";
    ASSERT_TRUE(Rate());

    const Runner& x = R(0);
    EXPECT_EQ(x.CareerRuns, 0);
    EXPECT_DOUBLE_EQ(x.CareerAdj, 1.2);
    EXPECT_DOUBLE_EQ(x.AvgMargin, 1.2);
    EXPECT_DOUBLE_EQ(x.AvgWeight, 0.0);
    EXPECT_NEAR(x.RotationValue, kNoFinishColumnSum, kTol);
    EXPECT_TRUE(x.Past[0].PastFinish.empty());
    EXPECT_TRUE(x.Past[0].PastMargin.empty());
    // No weight term; the career adjustment enters twice.
    EXPECT_NEAR(x.RawGoalMargin, 1.2 + kGate0[0] + 1.2, kTol);
    EXPECT_NEAR(x.ConditionTerm, kGate0[0] + 1.2, kTol);
    // Slot 1 has the smallest gate adjustment, so the smallest raw margin.
    EXPECT_NEAR(x.GoalMargin, kGate0[0] - kGate0[1], kTol);
    EXPECT_DOUBLE_EQ(R(1).GoalMargin, 0.0);
    EXPECT_EQ(R(1).RankGoal, 1);
    // Every runner alike: equal rotation shares.
    EXPECT_NEAR(x.RotationShare, 20.0, kTol);
}

TEST_F(RatingsTest, LocalRunsBeatenByNinePointFiveSecondsCountButStayOutOfTheAverages)
{
    SetRace(*day, 0, 5);
    SetRun(*day, 0, 0, 0, PastRunSpec{.course = "44", .arrival = "07", .timeDiff = "+095"});
    SetRun(*day, 0, 0, 1, PastRunSpec{.course = "44", .arrival = "09", .timeDiff = "+120", .weight = "560"});
    SetEntry(*day, 0, 0, jv::se::kCarriedWeight, "570");
    ASSERT_TRUE(Rate());

    const Runner& x = R(0);
    EXPECT_EQ(x.CareerRuns, 2);
    EXPECT_EQ(x.Past[0].PastMargin.View(), "99");
    EXPECT_EQ(x.Past[1].PastMargin.View(), "99");
    EXPECT_DOUBLE_EQ(x.AvgWeight, 0.0);
    EXPECT_DOUBLE_EQ(x.CareerAdj, 0.0); // "CarHosei" item 2
    EXPECT_DOUBLE_EQ(x.AvgMargin, 0.0);
    // The weight term is the whole current weight x 0.2.
    EXPECT_NEAR(x.RawGoalMargin, 57.0 * 0.2 + kGate0[0], kTol);
}

TEST_F(RatingsTest, TimeDifferencesOfWinnerNonFinisherAndBlank)
{
    SetRace(*day, 0, 5);
    SetRun(*day, 0, 0, 0, PastRunSpec{.arrival = "01", .timeDiff = "-003"});
    SetRun(*day, 0, 0, 1, PastRunSpec{.arrival = "05", .finalPosition = "05", .timeDiff = "9999"});
    SetRun(*day, 0, 0, 2, PastRunSpec{.arrival = "03", .finalPosition = "03", .timeDiff = "    "});
    SetRun(*day, 0, 0, 3, PastRunSpec{.arrival = "04", .finalPosition = "00", .timeDiff = "    "});
    ASSERT_TRUE(Rate());

    const Runner& x = R(0);
    EXPECT_EQ(x.Past[0].PastMargin.View(), "0");
    EXPECT_EQ(x.Past[1].PastMargin.View(), "15");
    EXPECT_EQ(x.Past[2].PastMargin.View(), "10");
    EXPECT_EQ(x.Past[3].PastMargin.View(), "15");
    EXPECT_EQ(x.CareerRuns, 4);
    EXPECT_DOUBLE_EQ(x.CareerAdj, 0.0);
    EXPECT_NEAR(x.AvgMargin, (0 + 15 + 10 + 15) / 10.0 / 4, kTol);
}

TEST_F(RatingsTest, LocalRunsLoseFourTenthsOverseasRunsDoNot)
{
    SetRace(*day, 0, 5);
    SetRun(*day, 0, 0, 0, PastRunSpec{.course = "44", .arrival = "03", .timeDiff = "+005"});
    SetRun(*day, 0, 1, 0, PastRunSpec{.course = "A6", .arrival = "03", .timeDiff = "+005"});
    SetRun(*day, 0, 2, 0, PastRunSpec{.course = "44", .arrival = "03", .timeDiff = "+094"});
    SetRun(*day, 0, 3, 0, PastRunSpec{.course = "06", .arrival = "03", .timeDiff = "+005"});
    ASSERT_TRUE(Rate());

    EXPECT_EQ(R(0).Past[0].PastMargin.View(), "9");
    EXPECT_EQ(R(1).Past[0].PastMargin.View(), "5");
    EXPECT_EQ(R(2).Past[0].PastMargin.View(), "98");
    EXPECT_EQ(R(3).Past[0].PastMargin.View(), "5");
    // One run each: "CarHosei" item 1 (0.3).
    EXPECT_NEAR(R(0).AvgMargin, 0.9 + 0.3, kTol);
    EXPECT_NEAR(R(1).AvgMargin, 0.5 + 0.3, kTol);
    EXPECT_NEAR(R(2).AvgMargin, 9.8 + 0.3, kTol);
    EXPECT_NEAR(R(1).RelMargin, 0.0, kTol);
    EXPECT_NEAR(R(0).RelMargin, 0.4, kTol);
}

TEST_F(RatingsTest, FinishingPositionSourcesAndRotationBuckets)
{
    SetRace(*day, 0, 5);
    // At a JRA course only the arrival order counts.
    SetRun(*day, 0, 0, 0, PastRunSpec{.arrival = "  ", .finalPosition = "03"});
    // Locally the final position stands in for a missing arrival order.
    SetRun(*day, 0, 1, 0, PastRunSpec{.course = "44", .arrival = "00", .finalPosition = "02"});
    // The arrival order wins over the final position.
    SetRun(*day, 0, 2, 0, PastRunSpec{.course = "44", .arrival = "06", .finalPosition = "02"});
    // A win, then twelfth (bucket 9), then three runs missing.
    SetRun(*day, 0, 3, 0, PastRunSpec{.arrival = "01"});
    SetRun(*day, 0, 3, 1, PastRunSpec{.arrival = "12", .timeDiff = "+020"});
    ASSERT_TRUE(Rate());

    EXPECT_TRUE(R(0).Past[0].PastFinish.empty());
    EXPECT_EQ(R(0).CareerRuns, 0);
    EXPECT_EQ(R(1).Past[0].PastFinish.View(), "02");
    EXPECT_EQ(R(1).CareerRuns, 1);
    EXPECT_EQ(R(2).Past[0].PastFinish.View(), "06");

    double cell11 = 0.01 * 10 + 0.001 * 1;
    double cell29 = 0.01 * 2 + 0.001 * 2;
    double missing = (0.01 + 0.003) + (0.01 + 0.004) + (0.01 + 0.005);
    EXPECT_NEAR(R(3).RotationValue, cell11 + cell29 + missing, kTol);
    // A run without a finishing position scores as the "none" bucket.
    EXPECT_NEAR(R(0).RotationValue, kNoFinishColumnSum, kTol);
}

TEST_F(RatingsTest, WeightTermComparesTodaysWeightWithThePastAverage)
{
    SetRace(*day, 0, 5);
    SetRun(*day, 0, 0, 0, PastRunSpec{.arrival = "02", .timeDiff = "+005", .weight = "560"});
    SetRun(*day, 0, 0, 1, PastRunSpec{.arrival = "03", .timeDiff = "+003", .weight = "000"});
    SetEntry(*day, 0, 0, jv::se::kCarriedWeight, "570");
    ASSERT_TRUE(Rate());

    const Runner& x = R(0);
    EXPECT_EQ(x.Past[1].PastWeight.View(), "550"); // "000" reads as 55.0 kg
    EXPECT_NEAR(x.AvgWeight, 55.5, kTol);
    EXPECT_NEAR(x.AvgMargin, 0.4, kTol);
    EXPECT_NEAR(x.RawGoalMargin, 0.4 + (57.0 - 55.5) * 0.2 + kGate0[0], kTol);
}

// --- Class, jockey and trainer -----------------------------------------------------------

TEST_F(RatingsTest, ClassValueFromPrizeAndStarts)
{
    SetRace(*day, 0, 5);
    // 173456 hundreds of yen = 1734 units of 10,000 yen; 10 starts.
    ratingtest::SetHorse(*day, 0, 0, {100000, 0, 50000, 0, 23456, 0}, {2, 1, 0, 1, 0, 6});
    ASSERT_TRUE(Rate());

    EXPECT_EQ(R(0).TotalPrize, 1734);
    EXPECT_EQ(R(0).TotalStarts, 10);
    EXPECT_NEAR(R(0).ClassValue, (1734 + 7) / 20.0, kTol);
    EXPECT_NEAR(R(0).ClassMargin, 4.0 - 4.0 / 628 * 87.05, kTol);
    // A blank horse master is a horse with nothing: 7 / 10.
    EXPECT_NEAR(R(1).ClassValue, 0.7, kTol);
    double sum = 87.05 + 4 * 0.7;
    EXPECT_NEAR(R(0).ClassShare, 87.05 / sum * 100, kTol);
}

TEST(ClassMargin, TwoPiecesMeetNotAt628)
{
    EXPECT_NEAR(ClassMarginOf(627.9), 0.0006369, 1e-6);
    EXPECT_NEAR(ClassMarginOf(628.0), -0.1907, 1e-4);
    EXPECT_DOUBLE_EQ(ClassMarginOf(0.0), 4.0);
}

TEST_F(RatingsTest, InvitedJockeyAndTrainerThroughTheMasterFiles)
{
    TempDir dir;
    ratingtest::WriteFile(dir / "d.jvKS", ratingtest::JockeyRecord("00001", "3", {{9, 0, 0, 0, 0, 0}}) +
                                              ratingtest::JockeyRecord("00002", "1", {{1, 1, 0, 0, 0, 2}}));
    ratingtest::WriteFile(dir / "d.jvCH", ratingtest::TrainerRecord("01001", "4"));
    SetRace(*day, 0, 5);
    SetEntry(*day, 0, 1, jv::se::kJockeyCode, "00002");
    SetEntry(*day, 0, 2, jv::se::kJockeyCode, "00099");
    Settings noFile(dir / "vornal.ini");
    RatingInputs inputs{tables, noFile, dir / "d.jvKS", dir / "d.jvCH"};
    Status result = CalculateRatings(*day, inputs);
    ASSERT_TRUE(result) << result.message;

    EXPECT_DOUBLE_EQ(R(0).JockeyRate, 0.2);
    EXPECT_DOUBLE_EQ(R(0).TrainerRate, 0.2);
    EXPECT_DOUBLE_EQ(R(1).JockeyRate, 0.5);
    EXPECT_DOUBLE_EQ(R(2).JockeyRate, 0.0);
    // Both rates are weighed by "KKHosei" item 0 (5 runners).
    EXPECT_NEAR(R(0).RawGoalMargin, 0.2 * -1.457 + 1.2 + 0.2 * -1.457 + kGate0[0] + 1.2, kTol);
}

// --- Rotation ---------------------------------------------------------------------------

TEST(RotationPayout, PricesTheRotationShare)
{
    EXPECT_NEAR(RotationPayoutOf(10.0), 224.96, 0.01);
    EXPECT_NEAR(RotationPayoutOf(15.3), 108.67, 0.01);
    EXPECT_NEAR(80.0 / RotationPayoutOf(15.3) * 100, 73.62, 0.01);
    // Shares below 5.1 are priced as 5.1, the highest payout.
    EXPECT_DOUBLE_EQ(RotationPayoutOf(2.0), RotationPayoutOf(5.1));
    EXPECT_GT(RotationPayoutOf(5.1), RotationPayoutOf(5.2));
    // Above about 16.19 the price would fall under 100 and stays at 100.
    EXPECT_GT(RotationPayoutOf(16.18), 100.0);
    EXPECT_DOUBLE_EQ(RotationPayoutOf(16.2), 100.0);
    EXPECT_DOUBLE_EQ(RotationPayoutOf(40.0), 100.0);
}

TEST_F(RatingsTest, RotationFiguresOfARace)
{
    SetRace(*day, 0, 5);
    for (int k = 0; k < 5; ++k) {
        SetRun(*day, 0, 0, k, PastRunSpec{.arrival = "01"});
    }
    ASSERT_TRUE(Rate());
    double sum = 0;
    for (int s = 0; s < 5; ++s) {
        sum += R(s).RotationShare;
        EXPECT_NEAR(R(s).RotationWinRate, 80.0 / R(s).RotationPayout * 100, kTol);
        EXPECT_NEAR(R(s).RotationExcess, R(s).RotationWinRate - R(s).RotationShare, kTol);
        EXPECT_GE(R(s).RotationPayout, 100.0);
    }
    EXPECT_NEAR(sum, 100.0, 1e-9);
    EXPECT_EQ(R(0).RankRotation, 1);
    EXPECT_GT(R(0).RotationShare, 20.0);
}

// --- Goal margin, shares and the undefined divisions -------------------------------------

TEST_F(RatingsTest, AchievementProbabilitiesAddUpToOnePointZeroFive)
{
    tables.GateAdjTable[1] = {0.0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7};
    SetRace(*day, 0, 8);
    const char* diffs[] = {"+001", "+012", "-002", "+030", "+007", "+004", "+019", "+003"};
    for (int s = 0; s < 8; ++s) {
        ratingtest::SetHorse(*day, 0, s, {1000LL * (s + 1) * (s + 3), 0, 0, 0, 0, 0}, {s, 1, 2, 0, 0, 3});
        for (int k = 0; k < (s % 5) + 1; ++k) {
            SetRun(*day, 0, s, k,
                   PastRunSpec{.arrival = ratingtest::Digits((s + k) % 12 + 1, 2), .timeDiff = diffs[(s + k) % 8]});
        }
    }
    ASSERT_TRUE(Rate());

    double sumProb = 0;
    double sumClass = 0;
    double sumGoal = 0;
    for (int s = 0; s < 8; ++s) {
        EXPECT_DOUBLE_EQ(R(s).GateAdj, 0.1 * s); // row 1 of the table for 8 runners
        sumProb += R(s).AchievementProb;
        sumClass += R(s).ClassShare;
        sumGoal += R(s).GoalShare;
        EXPECT_GE(R(s).GoalMargin, 0.0);
        EXPECT_NEAR(R(s).FinalGoalMargin, R(s).GoalMargin / (R(s).RotationShare * 0.26), kTol);
    }
    EXPECT_NEAR(sumProb, 1.05, 1e-12);
    EXPECT_NEAR(sumClass, 100.0, 1e-9);
    EXPECT_NEAR(sumGoal, 100.0, 1e-9);
    for (auto field : {&Runner::RankAchievement, &Runner::RankClass, &Runner::RankAvgMargin, &Runner::RankRotation,
                       &Runner::RankGoal, &Runner::RankFinalGoal, &Runner::RankBaseTime, &Runner::RankBestBaseTime,
                       &Runner::RankOverallMin}) {
        EXPECT_TRUE(IsPermutation(Ranks(field, 8)));
    }
    // The best goal margin gets closeness 50, the worst 1.
    auto best = std::min_element(day->Races[0].Runners.begin(), day->Races[0].Runners.begin() + 8,
                                 [](const Runner& a, const Runner& b) { return a.GoalMargin < b.GoalMargin; });
    auto worst = std::max_element(day->Races[0].Runners.begin(), day->Races[0].Runners.begin() + 8,
                                  [](const Runner& a, const Runner& b) { return a.GoalMargin < b.GoalMargin; });
    EXPECT_NEAR(best->GoalShare / worst->GoalShare, 50.0, 1e-9);
}

TEST_F(RatingsTest, EqualRawMarginsGiveEqualCloseness)
{
    tables.GateAdjTable[0].fill(1.45);
    SetRace(*day, 0, 4);
    ASSERT_TRUE(Rate());
    for (int s = 0; s < 4; ++s) {
        EXPECT_DOUBLE_EQ(R(s).GoalMargin, 0.0);
        EXPECT_NEAR(R(s).GoalShare, 25.0, kTol);
        EXPECT_NEAR(R(s).AchievementProb, 1.05 / 4, kTol);
    }
}

TEST_F(RatingsTest, ZeroRotationShareGivesAFinalGoalMarginThatRanksLast)
{
    // A five-time winner scores 0 when wins are worth nothing.
    for (int k = 1; k <= kRotationRuns; ++k) {
        tables.RotationTable[k][1] = 0.0;
    }
    SetRace(*day, 0, 5);
    for (int k = 0; k < 5; ++k) {
        SetRun(*day, 0, 2, k, PastRunSpec{.arrival = "01", .timeDiff = "-005"});
    }
    ASSERT_TRUE(Rate());
    EXPECT_DOUBLE_EQ(R(2).RotationShare, 0.0);
    EXPECT_DOUBLE_EQ(R(2).FinalGoalMargin, kNoFinalGoalMargin);
    EXPECT_EQ(R(2).RankFinalGoal, 5);

    // RTSW 0: no runner has a final goal margin; the ranking falls to RankAchievement.
    settings.Rtsw = 0.0;
    ASSERT_TRUE(Rate());
    for (int s = 0; s < 5; ++s) {
        EXPECT_DOUBLE_EQ(R(s).FinalGoalMargin, kNoFinalGoalMargin);
        EXPECT_EQ(R(s).RankFinalGoal, R(s).RankAchievement);
    }
}

// --- Rankings ---------------------------------------------------------------------------

TEST_F(RatingsTest, TiesOfAchievementGoHigherHorseFirstAndGoalTiesFollowAchievement)
{
    tables.GateAdjTable[0].fill(1.45);
    SetRace(*day, 0, 3);
    // Horses 1 and 2 are alike; horse 3 has the least class.
    ratingtest::SetHorse(*day, 0, 0, {50000, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 1});
    ratingtest::SetHorse(*day, 0, 1, {50000, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 1});
    ASSERT_TRUE(Rate());

    EXPECT_EQ(Ranks(&Runner::RankAchievement, 3), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(Ranks(&Runner::RankClass, 3), (std::vector<int>{2, 1, 3}));
    // All goal margins are 0: the better achievement rank goes first, not the lower number.
    EXPECT_EQ(Ranks(&Runner::RankGoal, 3), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(Ranks(&Runner::RankAvgMargin, 3), (std::vector<int>{2, 1, 3}));
}

TEST_F(RatingsTest, RunnersWithoutOverallMinComeLast)
{
    SetRace(*day, 0, 4);
    ratingtest::SetHorse(*day, 0, 3, {90000, 0, 0, 0, 0, 0}, {3, 0, 0, 0, 0, 0});
    R(0).OverallMin = -0.5;
    R(1).OverallMin = kNoValue;
    R(2).OverallMin = -1.2;
    R(3).OverallMin = kNoValue;
    ASSERT_TRUE(Rate());
    // Among the two without a gap, the higher achievement probability (horse 4) first.
    EXPECT_EQ(Ranks(&Runner::RankOverallMin, 4), (std::vector<int>{1, 4, 2, 3}));
}

TEST_F(RatingsTest, BaseTimesAbove999AreResetAndTiesGoToTheSmallerFinalGoalMargin)
{
    SetRace(*day, 0, 4);
    R(0).Past[0].PastBaseTime = 1200.0;
    R(0).BestBaseTime = 1500.0;
    R(1).Past[0].PastBaseTime = 96.0;
    R(2).Past[0].PastBaseTime = 96.0004; // equal to three decimals
    R(1).BestBaseTime = 97.5;
    R(2).BestBaseTime = 97.5;
    R(3).BestBaseTime = 99.0;
    // Slot 1 has the smallest gate adjustment, so the smallest final goal margin.
    ASSERT_TRUE(Rate());

    EXPECT_DOUBLE_EQ(R(0).Past[0].PastBaseTime, 0.0);
    EXPECT_DOUBLE_EQ(R(0).BestBaseTime, 0.0);
    ASSERT_LT(R(1).FinalGoalMargin, R(2).FinalGoalMargin);
    EXPECT_EQ(R(1).RankBaseTime, 1);
    EXPECT_EQ(R(2).RankBaseTime, 2);
    EXPECT_EQ(Ranks(&Runner::RankBestBaseTime, 4), (std::vector<int>{4, 2, 3, 1}));
}

// --- Which races, settings and failures ------------------------------------------------

TEST_F(RatingsTest, RaceWithoutHorseOneInSlotZeroKeepsItsFields)
{
    SetRace(*day, 0, 5);
    SetEntry(*day, 0, 0, jv::se::kHorseNo, "02");
    R(0).RankGoal = 7;
    R(1).AchievementProb = 0.5;
    ASSERT_TRUE(Rate());
    EXPECT_EQ(R(0).RankGoal, 7);
    EXPECT_DOUBLE_EQ(R(1).AchievementProb, 0.5);
    EXPECT_FALSE(IsRatedRace(*day, 0));
}

TEST_F(RatingsTest, MissingListItemsAndBadPlacesStopThePass)
{
    SetRace(*day, 0, 9); // field-size index 2
    settings.KKHosei = {"-1.4", "-1.5"};
    Status shortList = Rate();
    EXPECT_FALSE(shortList);
    EXPECT_NE(shortList.message.find("KKHosei"), std::string::npos);

    settings.KKHosei = DefaultKkHosei();
    settings.CarHosei = {"1.2"};
    SetRun(*day, 0, 4, 0, PastRunSpec{.arrival = "05"});
    R(4).RankGoal = 3;
    EXPECT_FALSE(Rate()); // runner 5 needs item 1
    EXPECT_EQ(R(4).RankGoal, 3) << "a failed race keeps its values";

    settings.CarHosei = DefaultCarHosei();
    SetRun(*day, 0, 4, 0, PastRunSpec{.arrival = "0A"});
    Status badPlace = Rate();
    EXPECT_FALSE(badPlace);
    EXPECT_NE(badPlace.message.find("0A"), std::string::npos);
}

TEST_F(RatingsTest, CalculateRatingsStopsAtADamagedMasterFileAndKeepsEarlierRaces)
{
    TempDir dir;
    std::string damaged = ratingtest::JockeyRecord("00001", "1");
    damaged.back() = ' ';
    ratingtest::WriteFile(dir / "d.jvKS", ratingtest::JockeyRecord("00009", "1") + damaged);
    ratingtest::WriteFile(dir / "d.jvCH", ratingtest::TrainerRecord("01001", "1"));
    Settings noFile(dir / "vornal.ini");
    SetRace(*day, 0, 5);
    Status result = CalculateRatings(*day, RatingInputs{tables, noFile, dir / "d.jvKS", dir / "d.jvCH"});
    EXPECT_FALSE(result);
    EXPECT_NE(result.message.find("d.jvKS"), std::string::npos);
    EXPECT_NE(result.message.find(Sjis(" のレコード 1 ")), std::string::npos);

    // A bad place in race 1 stops the pass after race 0 was rated.
    ratingtest::WriteFile(dir / "d.jvKS", ratingtest::JockeyRecord("00001", "1"));
    SetRace(*day, 1, 5);
    SetRun(*day, 1, 0, 0, PastRunSpec{.arrival = "X1"});
    EXPECT_FALSE(CalculateRatings(*day, RatingInputs{tables, noFile, dir / "d.jvKS", dir / "d.jvCH"}));
    EXPECT_EQ(R(1).RankGoal, 1); // the smallest gate adjustment
    EXPECT_EQ(R(0, 1).RankGoal, 0);
}

TEST_F(RatingsTest, SettingsFileIsReadForThePass)
{
    TempDir dir;
    ratingtest::WriteFile(dir / "d.jvKS", ratingtest::JockeyRecord("00001", "1"));
    ratingtest::WriteFile(dir / "d.jvCH", ratingtest::TrainerRecord("01001", "1"));
    ratingtest::WriteFile(dir / "vornal.ini", "[User]\r\nRTSW=0.5\r\nCarHosei.Count=4\r\nCarHosei.0=2.0\r\n"
                                              "CarHosei.1=0\r\nCarHosei.2=0\r\nCarHosei.3=0\r\n");
    Settings file(dir / "vornal.ini");
    SetRace(*day, 0, 5);
    ASSERT_TRUE(CalculateRatings(*day, RatingInputs{tables, file, dir / "d.jvKS", dir / "d.jvCH"}));
    EXPECT_DOUBLE_EQ(R(0).CareerAdj, 2.0);
    EXPECT_NEAR(R(0).FinalGoalMargin, R(0).GoalMargin / (20.0 * 0.5), kTol);

    ratingtest::WriteFile(dir / "vornal.ini", "[User]\r\nRTSW=abc\r\n");
    EXPECT_FALSE(CalculateRatings(*day, RatingInputs{tables, file, dir / "d.jvKS", dir / "d.jvCH"}));
}

TEST(RatingCaptions, RaceAndRunnerTexts)
{
    std::string ra(jv::kLengthRA, ' ');
    ratingtest::Put(ra, jv::kYear, "2026");
    ratingtest::Put(ra, jv::kMonthDay, "0105");
    ratingtest::Put(ra, jv::kCourseCode, "06");
    ratingtest::Put(ra, jv::kRaceNo, "05");
    EXPECT_EQ(RatingRaceCaption(ra), "2026/01/05 " + Sjis("中山") + "  5R");

    std::string se(jv::kLengthSE, ' ');
    ratingtest::Put(se, jv::se::kHorseName, Sjis("テストホース"));
    EXPECT_EQ(RatingRunnerCaption(2, se), Sjis("③テストホース"));
}

TEST_F(RatingsTest, ProgressShowsRaceRunnerAndSlot)
{
    struct Recorder : Progress
    {
        std::vector<std::string> lines;
        std::vector<std::pair<int, int>> bar;
        void SetLine(int line, const std::string& text) override { lines.push_back(std::to_string(line) + text); }
        void SetBar(int, int position, int maximum) override { bar.emplace_back(position, maximum); }
    } recorder;
    SetRace(*day, 0, 3);
    ASSERT_TRUE(RateRace(*day, 0, tables, settings, jockeys, trainers, &recorder));
    ASSERT_EQ(recorder.lines.size(), 4u);
    EXPECT_EQ(recorder.lines[0], "0" + RatingRaceCaption(day->RaceRA[0].View()));
    EXPECT_EQ(recorder.lines[3], "1" + Sjis("③"));
    EXPECT_EQ(recorder.bar, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}, {2, 2}}));
}

} // namespace
} // namespace vornal
