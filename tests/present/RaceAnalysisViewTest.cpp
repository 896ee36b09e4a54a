#include "present/RaceAnalysisView.h"

#include <gtest/gtest.h>

#include "PresentTestSupport.h"
#include "vocab/Combinations.h"

namespace vornal {
namespace {

class RaceAnalysisViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        race = &presenttest::SetRace(*day, 0, "2026010506010211", 10);
        std::string se(day->RunnerSE[0][0].View());
        se.replace(28, 2, "01");
        day->RunnerSE[0][0] = se;
        race->RaceKindCode = "13";
        race->ConditionCodes[4] = "020";
        race->WeightKindCode = "1";
        race->TrackCode = "23";
        race->DistanceText = "1800";
        race->PostTime = "1525";
        race->PopularityShare = 60.0;
        tables->ShareClassStats[5][1] = 12.25;
        tables->ShareClassStats[5][7] = 812.4;
    }

    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();
    std::unique_ptr<TuningTables> tables = std::make_unique<TuningTables>();
    RaceSlot* race = nullptr;
};

TEST_F(RaceAnalysisViewTest, RacesWithoutDataOnlyGetTheirMessage)
{
    RaceAnalysis view = ShowRaceAnalysis(*day, *tables, 0);
    EXPECT_FALSE(view.Message);

    day->RunnerSE[0][0].Blank(); // the runner file was never downloaded
    view = ShowRaceAnalysis(*day, *tables, 0);
    ASSERT_TRUE(view.Message);
    EXPECT_EQ(ToUtf8(*view.Message), "11レースはデータが不十分です。");
    EXPECT_EQ(view.PastRuns.RowCount(), 0);

    for (int slot : {5, -1, kRaceSlots}) { // slots with no race at all
        view = ShowRaceAnalysis(*day, *tables, slot);
        ASSERT_TRUE(view.Message) << slot;
        EXPECT_EQ(ToUtf8(*view.Message), "本レースはデータが不十分です。");
    }
}

TEST_F(RaceAnalysisViewTest, HeaderAndShareClassPanel)
{
    const RaceAnalysis view = ShowRaceAnalysis(*day, *tables, 0);
    EXPECT_EQ(ToUtf8(view.Header.RunnerCount), "10頭  ");
    EXPECT_EQ(ToUtf8(view.Header.CourseName + view.Header.RaceNumber), "中山11");
    EXPECT_EQ(ToUtf8(view.Header.DateLine), "2026年 1月 5日中山 1回 2日");
    EXPECT_EQ(ToUtf8(view.Header.WeightKind), "ハンデ");
    EXPECT_EQ(ToUtf8(view.Header.Class), "サラ系３歳上2000万円下");
    EXPECT_EQ(ToUtf8(view.Header.Track), "ﾀﾞ左");
    EXPECT_FALSE(view.Header.TurfPanel);
    EXPECT_EQ(ToUtf8(view.Header.Distance), "1800m");
    EXPECT_EQ(ToUtf8(view.Header.PostTime), "15時25分発走");
    EXPECT_EQ(view.Share.Share, " 60.0 %");
    EXPECT_EQ(view.Share.ShareClass, 5);
    EXPECT_EQ(view.Share.Percentages[0], " 12.2 %");
    EXPECT_EQ(view.Share.Averages[0], "  812");
    EXPECT_EQ(view.Share.AbilityMean, "");
}

TEST(ShownRankMarkTest, SecretAndBlankMarksShowAsBlanks)
{
    EXPECT_EQ(ShownRankMark(Sjis("★")), "   ");
    EXPECT_EQ(ShownRankMark(Sjis("S★")), "   ");
    EXPECT_EQ(ShownRankMark(""), "   ");
    EXPECT_EQ(ToUtf8(ShownRankMark(Sjis("S◎"))), "S◎ ");
    EXPECT_EQ(ToUtf8(ShownRankMark(Sjis("○"))), "○");
}

TEST_F(RaceAnalysisViewTest, QuinellaListAndPopularityOrder)
{
    const int q37 = QuinellaIndex(3, 7);
    const int q12 = QuinellaIndex(1, 2);
    race->QuinellaRank[q37] = 1;
    race->QuinellaRank[q12] = 2;
    race->PredictedQuinellaPayout[q37] = 845.6;
    race->PredictedQuinellaPayout[q12] = 1210.0;
    day->Bets[0].RankMark[1] = Sjis("S◎");
    day->Bets[0].RankMark[2] = Sjis("★");
    day->Bets[0].CumulativeHitRate[1] = 12.5;
    day->Bets[0].CumulativeHitRate[2] = 20.25;
    tables->RankHitTable[5][2] = {7.5, 1.25};
    const RaceAnalysis view = ShowRaceAnalysis(*day, *tables, 0);
    ASSERT_EQ(view.QuinellaList.size(), 2u);
    EXPECT_EQ(ToUtf8(view.QuinellaList[0]), "  1  3- 7 S◎     846  12.5  ");
    EXPECT_EQ(ToUtf8(view.QuinellaList[1]), "  2  1- 2       1210  20.2  ");
    EXPECT_EQ(presenttest::RowUtf8(view.PopularityOrder, 2),
              (std::vector<std::string>{"  2", " 1- 2", "   ", "   1210", "  7.5", "  1.2", "  20.2"}));

    // Market odds of -1 (no sale) and -2 (not announced) are no payouts.
    race->PredictedQuinellaPayout[q37] = -1.0;
    race->PredictedQuinellaPayout[q12] = -2.0;
    const RaceAnalysis unpriced = ShowRaceAnalysis(*day, *tables, 0);
    EXPECT_EQ(ToUtf8(unpriced.QuinellaList[0]), "  1  3- 7 S◎          12.5  ");
    EXPECT_EQ(presenttest::RowUtf8(unpriced.PopularityOrder, 2)[3], "       ");
}

TEST_F(RaceAnalysisViewTest, PickBoxesTurnRedOnAWinningPick)
{
    race->QuinellaResult[0].Key = " 3- 7";
    race->QuinellaResult[0].Payout = 1230;
    race->WinResult[0] = {3, 560, 2};
    race->PredictedQuinellaPayout[QuinellaIndex(3, 7)] = 845.6;
    race->Runners[2].PredictedWinPayout = 480.4;
    day->Bets[0].BetCombos[1] = " 1- 3";
    day->Bets[0].BetCombos[2] = " 3- 7";
    day->Bets[0].BetRunner = 3;
    RaceAnalysis view = ShowRaceAnalysis(*day, *tables, 0);
    EXPECT_FALSE(view.ComboPicks[0].Hit);
    EXPECT_TRUE(view.ComboPicks[1].Hit);
    EXPECT_EQ(view.ComboPicks[1].Payout, "   846");
    // No third pick and no third result: empty never matches empty.
    EXPECT_FALSE(view.ComboPicks[2].Hit);
    EXPECT_TRUE(view.RunnerPick.Hit);
    EXPECT_EQ(view.RunnerPick.Payout, "   480");
    EXPECT_EQ(view.Results.Win[0].Payout, "     560");
    EXPECT_EQ(view.Results.Win[1].Key, "");

    // Eight runners: the picks are judged on the bracket quinella.
    race->RunnerCount = 8;
    race->BracketResult[0].Key = " 1- 3";
    race->BracketResult[0].Payout = 900;
    view = ShowRaceAnalysis(*day, *tables, 0);
    EXPECT_TRUE(view.ComboPicks[0].Hit);
    EXPECT_FALSE(view.ComboPicks[1].Hit);

    // No single pick: horse 0 never matches a missing winner.
    day->Bets[0].BetRunner = 0;
    race->WinResult = {};
    view = ShowRaceAnalysis(*day, *tables, 0);
    EXPECT_FALSE(view.RunnerPick.Hit);
}

} // namespace
} // namespace vornal
