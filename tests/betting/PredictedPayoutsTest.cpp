#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "betting/PredictedPayouts.h"
#include "store/JvLayout.h"
#include "vocab/Combinations.h"

namespace vornal {
namespace {

constexpr double kTol = 1e-9;

void Put(std::string& record, jv::FieldPos field, std::string_view text)
{
    record.replace(static_cast<std::size_t>(field.position - 1), text.size(), text);
}

// A race record of `runners` registered runners in `slot`.
void SetRace(RaceDay& day, int slot, int runners, std::string_view course = "06", std::string_view year = "2026")
{
    std::string ra(jv::kLengthRA, ' ');
    Put(ra, jv::kYear, year);
    Put(ra, jv::kCourseCode, course);
    std::string count = std::to_string(runners);
    Put(ra, jv::ra::kRegistered, count.size() == 1 ? "0" + count : count);
    day.RaceRA[slot] = ra;
}

// Gives a runner rank `rank` in all ten rating kinds.
void SetAllRanks(Runner& runner, int rank)
{
    for (int Runner::*field : {&Runner::RankAchievement, &Runner::RankClass, &Runner::RankAvgMargin,
                               &Runner::RankRotation, &Runner::RankGoal, &Runner::RankFinalGoal, &Runner::RankBaseTime,
                               &Runner::RankBestBaseTime, &Runner::RunningStyleRank, &Runner::RankOverallMin}) {
        runner.*field = rank;
    }
}

class PredictedPayoutsTest : public ::testing::Test
{
protected:
    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();
    TuningTables tables;

    void SetUp() override { SetBuiltInTables(tables); }
    Runner& R(int slot, int race = 0) { return day->Races[race].Runners[slot]; }
    RaceSlot& Race(int race = 0) { return day->Races[race]; }
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

TEST(PayoutRounding, WinPayoutsAreCutToTensWithinBounds)
{
    EXPECT_DOUBLE_EQ(PredictedWinPayoutOf(8000.0 / 95.0), 100.0);
    EXPECT_DOUBLE_EQ(PredictedWinPayoutOf(8000.0 / 1234.9), 1230.0);
    EXPECT_DOUBLE_EQ(PredictedWinPayoutOf(80.0), 100.0);
    EXPECT_DOUBLE_EQ(PredictedWinPayoutOf(0.0005), 9999900.0);
    EXPECT_DOUBLE_EQ(PredictedWinPayoutOf(1e-300), 9999900.0);
    EXPECT_DOUBLE_EQ(PredictedWinPayoutOf(0.0), 0.0) << "a share of 0 has no payout";
}

TEST(PayoutRounding, QuinellaPayoutsAreCutToTensWithinBounds)
{
    EXPECT_DOUBLE_EQ(PredictedQuinellaPayoutOf(0.64), 110.0); // 117.19
    EXPECT_DOUBLE_EQ(PredictedQuinellaPayoutOf(0.9), 100.0);
    EXPECT_DOUBLE_EQ(PredictedQuinellaPayoutOf(1e-9), 9999900.0);
    EXPECT_DOUBLE_EQ(PredictedQuinellaPayoutOf(0.0), 0.0);
}

TEST_F(PredictedPayoutsTest, SharesPayoutsAndMarginsOfARankedRace)
{
    // Only the achievement kind is ranked: runner h holds rank h + 1 there.
    SetRace(*day, 0, 3);
    for (int h = 0; h < 3; ++h) {
        R(h).RankAchievement = h + 1;
    }
    ComputePredictedPayouts(*day, tables);

    // A = RankWinRate x FieldRankWinRate[3], T = RankTopTwoRate x FieldRankWinRate[3], C = RankWinRate.
    double a[] = {21.87 * 48.6, 14.90 * 24.8, 13.23 * 13.9};
    double t[] = {36.63 * 48.6, 27.99 * 24.8, 26.18 * 13.9};
    double c[] = {21.87, 14.90, 13.23};
    for (int h = 0; h < 3; ++h) {
        EXPECT_NEAR(R(h).WinShare, a[h] / (a[0] + a[1] + a[2]) * 100, kTol);
        EXPECT_NEAR(R(h).TopTwoShare, t[h] / (t[0] + t[1] + t[2]) * 100, kTol);
        EXPECT_NEAR(R(h).BShare, c[h] / (c[0] + c[1] + c[2]) * 100, kTol);
        EXPECT_EQ(R(h).WinRank, h + 1);
        EXPECT_EQ(R(h).BRank, h + 1);
    }
    // 8000 / 65.76 = 121.7, 8000 / 22.86 = 349.9, 8000 / 11.38 = 703.1.
    EXPECT_DOUBLE_EQ(R(0).PredictedWinPayout, 120.0);
    EXPECT_DOUBLE_EQ(R(1).PredictedWinPayout, 340.0);
    EXPECT_DOUBLE_EQ(R(2).PredictedWinPayout, 700.0);
    // 2 x 62.7 is capped at 80.
    EXPECT_DOUBLE_EQ(R(0).TopTwoChance, 80.0);
    EXPECT_NEAR(R(1).TopTwoChance, 2 * R(1).TopTwoShare, kTol);

    int k12 = QuinellaIndex(1, 2);
    int k13 = QuinellaIndex(1, 3);
    int k23 = QuinellaIndex(2, 3);
    EXPECT_NEAR(Race().QuinellaProb[k12], 0.8 * R(1).TopTwoChance / 100, kTol);
    EXPECT_DOUBLE_EQ(Race().PredictedQuinellaPayout[k12], 190.0); // 191.66
    EXPECT_DOUBLE_EQ(Race().PredictedQuinellaPayout[k13], 360.0); // 365.60
    EXPECT_DOUBLE_EQ(Race().PredictedQuinellaPayout[k23], 590.0); // 597.96
    EXPECT_EQ(Race().QuinellaRank[k12], 1);
    EXPECT_EQ(Race().QuinellaRank[k13], 2);
    EXPECT_EQ(Race().QuinellaRank[k23], 3);

    // B shares 43.74, 29.80, 26.46.
    EXPECT_DOUBLE_EQ(R(0).PredictedMargin, 0.0);
    double m2 = (43.74 - 29.80) / 4.7 * 0.2;
    EXPECT_NEAR(R(1).PredictedMargin, m2, 1e-9);
    EXPECT_NEAR(R(2).PredictedMargin, (29.80 - 26.46) * 0.5 * 0.2 + m2, 1e-9);
    // All three runners are the top three.
    EXPECT_NEAR(Race().PopularityShare, 100.0, 1e-9);
}

TEST_F(PredictedPayoutsTest, EightRunnersGiveTwentyEightRankedCombinations)
{
    SetRace(*day, 0, 8);
    // Horse 9 holds a rank but is not registered: it must stay out.
    for (int h = 0; h < 9; ++h) {
        SetAllRanks(R(h), h + 1);
    }
    ComputePredictedPayouts(*day, tables);

    std::vector<int> ranks;
    double winShares = 0;
    double topTwoShares = 0;
    double bShares = 0;
    for (int k = 1; k <= kQuinellaCount; ++k) {
        auto [a, b] = *QuinellaPair(k);
        double payout = Race().PredictedQuinellaPayout[k];
        if (b <= 8) {
            ranks.push_back(Race().QuinellaRank[k]);
            EXPECT_GE(payout, 100.0);
            EXPECT_LE(payout, 9999900.0);
            EXPECT_DOUBLE_EQ(std::fmod(payout, 10.0), 0.0);
        } else {
            EXPECT_DOUBLE_EQ(payout, 0.0);
            EXPECT_EQ(Race().QuinellaRank[k], 0);
            EXPECT_DOUBLE_EQ(Race().QuinellaProb[k], 0.0);
        }
    }
    EXPECT_EQ(ranks.size(), 28u);
    EXPECT_TRUE(IsPermutation(ranks));
    std::vector<int> winRanks;
    for (int h = 0; h < 8; ++h) {
        winShares += R(h).WinShare;
        topTwoShares += R(h).TopTwoShare;
        bShares += R(h).BShare;
        winRanks.push_back(R(h).WinRank);
        EXPECT_DOUBLE_EQ(std::fmod(R(h).PredictedWinPayout, 10.0), 0.0);
    }
    EXPECT_NEAR(winShares, 100.0, 1e-9);
    EXPECT_NEAR(topTwoShares, 100.0, 1e-9);
    EXPECT_NEAR(bShares, 100.0, 1e-9);
    EXPECT_TRUE(IsPermutation(winRanks));
    EXPECT_NEAR(Race().PopularityShare, R(0).WinShare + R(1).WinShare + R(2).WinShare, 1e-9);
    EXPECT_DOUBLE_EQ(R(8).WinShare, 0.0);
    EXPECT_EQ(R(8).WinRank, 0);
}

TEST_F(PredictedPayoutsTest, EqualSharesRankByAchievementThenHigherHorse)
{
    SetRace(*day, 0, 4);
    SetAllRanks(R(0), 2);
    SetAllRanks(R(1), 2);
    SetAllRanks(R(2), 1);
    SetAllRanks(R(3), 2);
    R(0).AchievementProb = 0.2;
    R(1).AchievementProb = 0.2;
    R(3).AchievementProb = 0.2004; // equal at three decimals too
    ComputePredictedPayouts(*day, tables);
    EXPECT_EQ(R(2).WinRank, 1);
    EXPECT_EQ(R(3).WinRank, 2);
    EXPECT_EQ(R(1).WinRank, 3);
    EXPECT_EQ(R(0).WinRank, 4);
    EXPECT_EQ(R(1).BRank, 3);

    R(0).AchievementProb = 0.25;
    ComputePredictedPayouts(*day, tables);
    EXPECT_EQ(R(0).WinRank, 2);
}

TEST_F(PredictedPayoutsTest, EqualQuinellaPayoutsRankTheLowerCombinationFirst)
{
    SetRace(*day, 0, 4);
    SetAllRanks(R(0), 3);
    SetAllRanks(R(1), 3);
    SetAllRanks(R(2), 1);
    SetAllRanks(R(3), 4);
    ComputePredictedPayouts(*day, tables);
    const RaceSlot& race = Race();
    // 1-3 and 2-3 pay the same; so do 1-4 and 2-4.
    ASSERT_DOUBLE_EQ(race.PredictedQuinellaPayout[QuinellaIndex(1, 3)],
                     race.PredictedQuinellaPayout[QuinellaIndex(2, 3)]);
    EXPECT_EQ(race.QuinellaRank[QuinellaIndex(1, 3)] + 1, race.QuinellaRank[QuinellaIndex(2, 3)]);
    EXPECT_EQ(race.QuinellaRank[QuinellaIndex(1, 4)] + 1, race.QuinellaRank[QuinellaIndex(2, 4)]);
    std::vector<int> ranks;
    for (int a = 1; a <= 4; ++a) {
        for (int b = a + 1; b <= 4; ++b) {
            ranks.push_back(race.QuinellaRank[QuinellaIndex(a, b)]);
        }
    }
    EXPECT_TRUE(IsPermutation(ranks));
    EXPECT_EQ(race.QuinellaRank[QuinellaIndex(1, 3)], 1);
}

TEST_F(PredictedPayoutsTest, TwoCappedTopTwoChancesGiveQuinella110)
{
    // Two equal runners: top-two shares of 50 each, 2 x 50 capped at 80.
    SetRace(*day, 0, 2);
    SetAllRanks(R(0), 1);
    SetAllRanks(R(1), 1);
    ComputePredictedPayouts(*day, tables);
    EXPECT_DOUBLE_EQ(R(0).TopTwoChance, 80.0);
    EXPECT_DOUBLE_EQ(R(1).TopTwoChance, 80.0);
    EXPECT_NEAR(Race().QuinellaProb[1], 0.64, kTol);
    EXPECT_DOUBLE_EQ(Race().PredictedQuinellaPayout[1], 110.0);
    EXPECT_EQ(Race().QuinellaRank[1], 1);
    // Equal B shares: the lower horse number leads, and the second is 0 behind.
    EXPECT_DOUBLE_EQ(R(0).PredictedMargin, 0.0);
    EXPECT_DOUBLE_EQ(R(1).PredictedMargin, 0.0);
    EXPECT_EQ(R(0).WinRank, 2);
    EXPECT_EQ(R(1).WinRank, 1);
}

TEST_F(PredictedPayoutsTest, EqualLeadingBSharesGoToTheLowerHorse)
{
    SetRace(*day, 0, 4);
    SetAllRanks(R(0), 3);
    SetAllRanks(R(1), 1);
    SetAllRanks(R(2), 1);
    SetAllRanks(R(3), 4);
    ComputePredictedPayouts(*day, tables);
    EXPECT_DOUBLE_EQ(R(1).PredictedMargin, 0.0);
    EXPECT_DOUBLE_EQ(R(2).PredictedMargin, 0.0); // the second: (B1 - B2) = 0
    EXPECT_NEAR(R(0).PredictedMargin, (R(2).BShare - R(0).BShare) * 0.1, kTol);
    EXPECT_GT(R(3).PredictedMargin, R(0).PredictedMargin);
}

TEST_F(PredictedPayoutsTest, SlotsWithoutARaceAreLeftAlone)
{
    SetRace(*day, 0, 3, "00");
    SetRace(*day, 1, 3, "  ");
    SetRace(*day, 2, 3, "06", "    ");
    SetRace(*day, 35, 3); // every slot is looked at, loaded or not
    for (int race : {0, 1, 2, 35}) {
        for (int h = 0; h < 3; ++h) {
            SetAllRanks(R(h, race), h + 1);
        }
        R(0, race).WinShare = -1.0;
    }
    ComputePredictedPayouts(*day, tables);
    for (int race : {0, 1, 2}) {
        EXPECT_DOUBLE_EQ(R(0, race).WinShare, -1.0);
        EXPECT_EQ(R(0, race).WinRank, 0);
        EXPECT_DOUBLE_EQ(Race(race).PopularityShare, 0.0);
    }
    EXPECT_GT(R(0, 35).WinShare, 0.0);
}

TEST_F(PredictedPayoutsTest, UndefinedDivisionsLeaveNoPayoutAndTheStepGoesOn)
{
    // A runner ranked in no kind has no share and no payout; its combinations are unranked.
    SetRace(*day, 0, 3);
    SetAllRanks(R(0), 1);
    SetAllRanks(R(1), 2);
    ComputePredictedPayouts(*day, tables);
    EXPECT_DOUBLE_EQ(R(2).WinShare, 0.0);
    EXPECT_DOUBLE_EQ(R(2).PredictedWinPayout, 0.0);
    EXPECT_DOUBLE_EQ(Race().PredictedQuinellaPayout[QuinellaIndex(1, 3)], 0.0);
    EXPECT_EQ(Race().QuinellaRank[QuinellaIndex(1, 3)], 0);
    EXPECT_EQ(Race().QuinellaRank[QuinellaIndex(1, 2)], 1);
    EXPECT_EQ(R(2).WinRank, 3);

    // Tables of zeros: every share sum is 0.
    TuningTables zeros;
    SetRace(*day, 1, 4);
    for (int h = 0; h < 4; ++h) {
        SetAllRanks(R(h, 1), h + 1);
    }
    ComputePredictedPayouts(*day, zeros);
    for (int h = 0; h < 4; ++h) {
        EXPECT_DOUBLE_EQ(R(h, 1).WinShare, 0.0);
        EXPECT_DOUBLE_EQ(R(h, 1).PredictedWinPayout, 0.0);
        EXPECT_GE(R(h, 1).WinRank, 1);
    }
}

TEST_F(PredictedPayoutsTest, FieldsBelowThreeTakeTheRowOfThree)
{
    SetRace(*day, 0, 2);
    R(0).RankAchievement = 1;
    R(1).RankAchievement = 2;
    ComputePredictedPayouts(*day, tables);
    double a0 = 21.87 * 48.6;
    double a1 = 14.90 * 24.8;
    EXPECT_NEAR(R(0).WinShare, a0 / (a0 + a1) * 100, kTol);
    EXPECT_NEAR(R(0).WinShare + R(1).WinShare, 100.0, kTol);

    SetRace(*day, 1, 0);
    SetAllRanks(R(0, 1), 1);
    ComputePredictedPayouts(*day, tables);
    EXPECT_DOUBLE_EQ(R(0, 1).WinShare, 0.0);
}

} // namespace
} // namespace vornal
