#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "betting/BetSelection.h"
#include "store/JvLayout.h"
#include "text/Encoding.h"
#include "vocab/Combinations.h"

namespace vornal {
namespace {

// Every rank field a rule can name.
const std::vector<int Runner::*> kAllRanks = {
    &Runner::RankAchievement,  &Runner::RankClass,        &Runner::RankAvgMargin, &Runner::RankRotation,
    &Runner::RankGoal,         &Runner::RankFinalGoal,    &Runner::RankBaseTime,  &Runner::RankBestBaseTime,
    &Runner::RunningStyleRank, &Runner::RankOverallMin,   &Runner::BRank,         &Runner::RankAbility,
    &Runner::RankStamina,      &Runner::Last3FOffsetRank, &Runner::WinRank,       &Runner::RankRecordTime,
    &Runner::RankFrontSpeed,   &Runner::RankBackSpeed};

class BetSelectionTest : public ::testing::Test
{
protected:
    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();

    // A race in slot 0 where horse h holds rank h in every rating, and combination k pays
    // 1000 + k, so the cheaper of two bets is the one with the lower number.
    void SetRace(int runners, int distance, std::string_view track, std::string_view youngest = "005")
    {
        std::string ra(jv::kLengthRA, ' ');
        ra.replace(jv::kYear.position - 1, 4, "2026");
        day->RaceRA[0] = ra;
        RaceSlot& race = day->Races[0];
        race.RaceLoaded = true;
        race.RunnerCount = runners;
        race.DistanceText = std::to_string(distance);
        race.TrackCode = track;
        race.ConditionCodes[4] = youngest;
        for (int h = 0; h < runners; ++h) {
            for (int Runner::*field : kAllRanks) {
                race.Runners[h].*field = h + 1;
            }
        }
        for (int k = 1; k <= kQuinellaCount; ++k) {
            race.PredictedQuinellaPayout[k] = 1000.0 + k;
        }
    }
    double& Payout(int a, int b) { return day->Races[0].PredictedQuinellaPayout[QuinellaIndex(a, b)]; }
    std::vector<std::string> Combos(int race = 0) const
    {
        std::vector<std::string> combos;
        for (int i = 1; i <= kBetSlots; ++i) {
            if (!day->Bets[race].BetCombos[i].empty()) {
                combos.push_back(day->Bets[race].BetCombos[i].Str());
            }
        }
        return combos;
    }
    void Run(BetMethodKind kind) { SelectBets(*day, BetMethod{kind, std::nullopt}); }
};

TEST_F(BetSelectionTest, RulesNamingTheSamePairAddOneCandidate)
{
    // No.1, small turf field: 実績確率 1 & 3, 単勝 1 & 2, 脚質 1 & 2; 最良基準TM 2.
    SetRace(10, 1800, "17");
    Run(BetMethodKind::No1);
    EXPECT_EQ(Combos(), (std::vector<std::string>{" 1- 2", " 1- 3"}));
    EXPECT_EQ(day->Bets[0].BetRunner, 2);
    EXPECT_EQ(day->BetKindSuffix, "_No01");
}

TEST_F(BetSelectionTest, CheapestFirstAndEqualPayoutsByCombinationText)
{
    // No.1, small dirt field: 実績確率 3 & 5, ｺﾞｰﾙ着差 1 & 3, 単勝 1 & 5.
    SetRace(10, 1200, "24");
    Payout(3, 5) = 500.0;
    Payout(1, 3) = 1500.0;
    Payout(1, 5) = 400.0;
    Run(BetMethodKind::No1);
    EXPECT_EQ(Combos(), (std::vector<std::string>{" 1- 5", " 3- 5", " 1- 3"}));

    // The 実績確率 pair becomes 3-4, the 単勝 pair 2-5, both paying 700: " 2- 5" sorts first.
    std::swap(day->Races[0].Runners[3].RankAchievement, day->Races[0].Runners[4].RankAchievement);
    std::swap(day->Races[0].Runners[1].WinRank, day->Races[0].Runners[0].WinRank);
    Payout(3, 4) = 700.0;
    Payout(2, 5) = 700.0;
    Run(BetMethodKind::No1);
    EXPECT_EQ(Combos(), (std::vector<std::string>{" 2- 5", " 3- 4", " 1- 3"}));
}

TEST_F(BetSelectionTest, FieldSizeAndDistanceChooseTheTable)
{
    SetRace(14, 2400, "17"); // no distance limit above 13 runners: ｺﾞｰﾙ着差 1 & 4 ..
    Run(BetMethodKind::No1);
    EXPECT_EQ(Combos(), (std::vector<std::string>{" 1- 2", " 1- 4"}));
    EXPECT_EQ(day->Bets[0].BetRunner, 1);

    SetRace(13, 2200, "17");
    Run(BetMethodKind::No1);
    EXPECT_TRUE(Combos().empty());
    EXPECT_EQ(day->Bets[0].BetRunner, 0) << "the 14-runner race's bets must not survive";

    SetRace(17, 1600, "17");
    Run(BetMethodKind::No2);
    EXPECT_TRUE(Combos().empty());
    SetRace(16, 1600, "17"); // No.2 large turf: 単勝 1 & 8, 基準TM 1 & 8, ｽﾀﾐﾅ 3 & 4; 平均着差 5
    Run(BetMethodKind::No2);
    EXPECT_EQ(Combos(), (std::vector<std::string>{" 1- 8", " 3- 4"}));
    EXPECT_EQ(day->Bets[0].BetRunner, 5);
}

TEST_F(BetSelectionTest, NewcomerMaidenAndSteeplechaseRacesAreNotBet)
{
    for (const char* youngest : {"701", "702"}) {
        SetRace(10, 1800, "17", youngest);
        Run(BetMethodKind::No1);
        EXPECT_TRUE(Combos().empty()) << youngest;
    }
    SetRace(10, 1800, "17", "703");
    Run(BetMethodKind::No1);
    EXPECT_EQ(Combos().size(), 2u);
    for (const char* track : {"51", "55", "59"}) {
        SetRace(10, 1800, track);
        Run(BetMethodKind::No1);
        EXPECT_TRUE(Combos().empty()) << track;
        EXPECT_EQ(day->Bets[0].BetRunner, 0);
    }
}

TEST_F(BetSelectionTest, StraightTurfIsDirtOnlyForTheDeveloperMethod)
{
    SetRace(14, 1400, "10");
    for (int k = 1; k <= kQuinellaCount; ++k) {
        day->Races[0].PredictedQuinellaPayout[k] = 2000.0 + k;
    }
    Run(BetMethodKind::No1); // turf: ｺﾞｰﾙ着差 1 & 4, 最終ｺﾞｰﾙ 1 & 2, 実力 1 & 2
    EXPECT_EQ(Combos(), (std::vector<std::string>{" 1- 2", " 1- 4"}));
    Run(BetMethodKind::Developer1); // dirt: 1 & 2 twice, lap 8 & 10, B確率 4 & 7
    EXPECT_EQ(Combos(), (std::vector<std::string>{" 1- 2", " 4- 7", " 8-10"}));
    EXPECT_EQ(day->BetKindSuffix, "_SP01");
    day->Races[0].TrackCode = "11"; // turf: ｺﾞｰﾙ着差 2 & 8, 最良基準TM 1 & 8, 3 & 10 twice
    Run(BetMethodKind::Developer1);
    EXPECT_EQ(Combos(), (std::vector<std::string>{" 1- 8", " 2- 8", " 3-10"}));
}

TEST_F(BetSelectionTest, DeveloperThresholdsCompareThePrintedPayouts)
{
    SetRace(14, 1400, "24"); // short dirt; singles 総合min 3 and ｽﾀﾐﾅ 4
    Payout(1, 2) = 1500.0;
    Payout(8, 10) = 1500.04; // printed 1500.0
    Payout(4, 7) = 1500.06;  // printed 1500.1
    day->Races[0].Runners[2].PredictedWinPayout = 1000.0;
    day->Races[0].Runners[3].PredictedWinPayout = 600.0;
    Run(BetMethodKind::Developer1);
    EXPECT_EQ(Combos(), (std::vector<std::string>{" 4- 7"}));
    EXPECT_EQ(day->Bets[0].BetRunner, 3) << "the highest single candidate pays exactly 1000";

    day->Races[0].Runners[2].PredictedWinPayout = 999.9;
    Run(BetMethodKind::Developer1);
    EXPECT_EQ(day->Bets[0].BetRunner, 0);

    SetRace(14, 1650, "24"); // between short and long
    Run(BetMethodKind::Developer1);
    EXPECT_TRUE(Combos().empty());
    SetRace(12, 1400, "24");
    Run(BetMethodKind::Developer1);
    EXPECT_TRUE(Combos().empty());
    SetRace(14, 1400, "24");
    Run(BetMethodKind::Developer2);
    EXPECT_TRUE(Combos().empty());
    EXPECT_EQ(day->BetKindSuffix, "_SP02");
}

TEST_F(BetSelectionTest, MissingRanksAndBlankYearsAddNothing)
{
    SetRace(7, 1800, "24");
    Run(BetMethodKind::No2); // 実績確率 3 & 5, ｺﾞｰﾙ着差 1 & 3, 単勝 1 & 5; ｽﾀﾐﾅ 6
    EXPECT_EQ(day->Bets[0].BetRunner, 6);
    day->Races[0].Runners[5].RankStamina = 0; // nobody holds rank 6 any more
    Run(BetMethodKind::No2);
    EXPECT_EQ(day->Bets[0].BetRunner, 0);

    day->RaceRA[0] = std::string(jv::kLengthRA, ' ');
    day->Bets[0].BetCombos[1] = " 9-10";
    Run(BetMethodKind::No1);
    EXPECT_EQ(day->Bets[0].BetCombos[1], " 9-10") << "a slot without a year is not touched";
}

UserRuleSet TurfSet(int from, int to)
{
    UserRuleSet set;
    set.name = "test";
    set.turf.win = {Sjis("FT差"), 4};
    set.turf.pairs[0] = {{Sjis("修正ﾛｰﾃ"), 2}, {Sjis("実力"), 5}};
    set.turf.pairs[1] = {{Sjis("B確率"), 1}, {"unknown", 2}};
    set.turf.runnersFrom = from;
    set.turf.runnersTo = to;
    set.turf.distanceFrom = 2400;
    set.turf.distanceTo = 1000;
    return set;
}

TEST_F(BetSelectionTest, UserRangesMayBeWrittenEitherWayRound)
{
    SetRace(12, 1800, "17");
    BetSelectionResult result = SelectBets(*day, BetMethod{BetMethodKind::User, TurfSet(16, 10)});
    EXPECT_TRUE(result.message.empty());
    EXPECT_EQ(Combos(), (std::vector<std::string>{" 2- 5"})) << "an unknown rating finds no runner";
    EXPECT_EQ(day->Bets[0].BetRunner, 4);
    EXPECT_EQ(day->BetKindSuffix, "_test");

    SetRace(17, 1800, "17");
    SelectBets(*day, BetMethod{BetMethodKind::User, TurfSet(16, 10)});
    EXPECT_TRUE(Combos().empty());
    SetRace(12, 1800, "24"); // dirt rules are empty, range 0..0
    SelectBets(*day, BetMethod{BetMethodKind::User, TurfSet(16, 10)});
    EXPECT_TRUE(Combos().empty());
}

TEST_F(BetSelectionTest, UserMethodWithoutASetBetsNothingAndSaysSo)
{
    SetRace(10, 1800, "17");
    Run(BetMethodKind::No1);
    ASSERT_FALSE(Combos().empty());
    BetSelectionResult result = SelectBets(*day, BetMethod{BetMethodKind::User, std::nullopt});
    EXPECT_EQ(result.message, Sjis("ﾕｰｻﾞｰ指定買い目が設定されていません。"));
    EXPECT_TRUE(Combos().empty());
    EXPECT_EQ(day->Bets[0].BetRunner, 0);
    EXPECT_EQ(day->BetKindSuffix, "") << "no other method's hit files may take this day";
}

} // namespace
} // namespace vornal
