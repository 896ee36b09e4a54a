#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "betting/QuinellaRanks.h"
#include "text/Encoding.h"
#include "vocab/Combinations.h"

namespace vornal {
namespace {

TEST(ShareClass, BoundsBelongToTheLowerClass)
{
    EXPECT_EQ(ShareClass(49.79), 1);
    EXPECT_EQ(ShareClass(49.8), 2);
    EXPECT_EQ(ShareClass(53.5), 2);
    EXPECT_EQ(ShareClass(53.6), 3);
    EXPECT_EQ(ShareClass(56.6), 3);
    EXPECT_EQ(ShareClass(65.1), 6);
    EXPECT_EQ(ShareClass(68.4), 7);
    EXPECT_EQ(ShareClass(68.45), 8);
    EXPECT_EQ(ShareClass(68.5), 8);
    EXPECT_EQ(ShareClassLabel(8), Sjis("68.5以上"));
}

TEST(RankEvaluationMark, ExpectedValueGatesTheHitRateMarks)
{
    EXPECT_EQ(RankEvaluationMark(10.0, 1.0, false), Sjis("◎"));
    EXPECT_EQ(RankEvaluationMark(10.0, 2.0, false), Sjis("★"));
    EXPECT_EQ(RankEvaluationMark(10.0, 1.99, true), Sjis("S◎"));
    EXPECT_EQ(RankEvaluationMark(50.0, 0.99, false), "");
    EXPECT_EQ(RankEvaluationMark(50.0, 0.99, true), "");
    EXPECT_EQ(RankEvaluationMark(5.0, 1.5, false), Sjis("○"));
    EXPECT_EQ(RankEvaluationMark(4.99, 1.5, false), Sjis("▲"));
    EXPECT_EQ(RankEvaluationMark(2.5, 1.5, false), Sjis("▲"));
    EXPECT_EQ(RankEvaluationMark(1.25, 1.5, false), Sjis("△"));
    EXPECT_EQ(RankEvaluationMark(1.2, 1.5, true), Sjis("S？"));
}

class QuinellaRanksTest : public ::testing::Test
{
protected:
    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();
    TuningTables tables;

    // Slot 0, `runners` runners, combination k of the field ranked k; class 3 (55 %).
    void SetRace(int runners)
    {
        RaceSlot& race = day->Races[0];
        race.RaceLoaded = true;
        race.PopularityShare = 55.0;
        int rank = 0;
        for (int a = 1; a <= runners; ++a) {
            for (int b = a + 1; b <= runners; ++b) {
                race.QuinellaRank[QuinellaIndex(a, b)] = ++rank;
            }
        }
        for (int r = 1; r <= kQuinellaRanks; ++r) {
            tables.RankHitTable[3][r] = {0.1 * r, 1.5};
            tables.RankHitTable[2][r] = {100.0, 3.0}; // a wrong class would show
        }
    }
    const BetRecord& Bets() const { return day->Bets[0]; }
};

TEST_F(QuinellaRanksTest, SmallFieldsStopAccumulatingAtTheirLastRank)
{
    SetRace(8);
    EvaluateQuinellaRanks(*day, tables);
    double sum = 0.0;
    for (int r = 1; r <= 28; ++r) {
        sum += 0.1 * r;
    }
    EXPECT_DOUBLE_EQ(Bets().CumulativeHitRate[1], 0.1);
    EXPECT_NEAR(Bets().CumulativeHitRate[28], sum, 1e-9);
    for (int i = 29; i <= kQuinellaCount; ++i) {
        EXPECT_EQ(Bets().CumulativeHitRate[i], Bets().CumulativeHitRate[28]) << i;
        EXPECT_TRUE(Bets().RankMark[i].empty()) << "rank " << i << " does not occur";
    }
}

TEST_F(QuinellaRanksTest, EachCumulativeRateIsSummedInCombinationOrder)
{
    // Ranks shuffled against the combination numbers and rates with no exact binary form:
    // a sum taken in rank order, or in any order but the combinations', differs in its last
    // bits, and the day's JSON carries every bit.
    SetRace(18);
    std::array<int, kQuinellaCount + 1>& ranks = day->Races[0].QuinellaRank;
    for (int k = 1; k <= kQuinellaCount; ++k) {
        ranks[k] = (k * 37) % kQuinellaCount + 1;
        tables.RankHitTable[3][k] = {1.0 / (k + 2.0) + 0.1 * k, 1.0};
    }
    ranks[5] = 0; // a combination without a rank adds nothing
    EvaluateQuinellaRanks(*day, tables);
    for (int i = 1; i <= kQuinellaCount; ++i) {
        double expected = 0.0;
        for (int k = 1; k <= kQuinellaCount; ++k) {
            if (ranks[k] >= 1 && ranks[k] <= i) {
                expected += tables.RankHitRate(3, ranks[k]);
            }
        }
        ASSERT_EQ(Bets().CumulativeHitRate[i], expected) << "rank " << i;
    }
}

TEST_F(QuinellaRanksTest, BetRanksGetTheirMarkWithS)
{
    SetRace(18);
    tables.RankHitTable[3][60] = {6.0, 1.2};
    tables.RankHitTable[3][61] = {30.0, 0.5};
    tables.RankHitTable[3][100] = {1.0, 2.5};
    day->Bets[0].BetCombos[1] = QuinellaText(60);
    day->Bets[0].BetCombos[2] = QuinellaText(61);
    day->Bets[0].BetCombos[3] = QuinellaText(100);
    day->Bets[0].RankMark[5] = "old";
    EvaluateQuinellaRanks(*day, tables);
    EXPECT_EQ(Bets().RankMark[60], Sjis("S○"));
    EXPECT_EQ(Bets().RankMark[61], "") << "below break-even: no mark, with or without S";
    EXPECT_EQ(Bets().RankMark[100], Sjis("S★"));
    EXPECT_EQ(Bets().RankMark[59], Sjis("○")); // 5.9 %
    EXPECT_EQ(Bets().RankMark[5], Sjis("？"));
    EXPECT_EQ(Bets().RankMark[153], Sjis("◎"));

    // The same bets in another race order rank their combinations differently.
    std::swap(day->Races[0].QuinellaRank[60], day->Races[0].QuinellaRank[1]);
    EvaluateQuinellaRanks(*day, tables);
    EXPECT_EQ(Bets().RankMark[1], Sjis("S？")) << "the bet's combination now has rank 1";
    EXPECT_EQ(Bets().RankMark[60], Sjis("○"));
}

TEST_F(QuinellaRanksTest, UnloadedSlotsAreLeftAlone)
{
    SetRace(18);
    day->Races[0].RaceLoaded = false;
    day->Bets[0].RankMark[1] = "S";
    day->Bets[0].CumulativeHitRate[1] = 42.0;
    EvaluateQuinellaRanks(*day, tables);
    EXPECT_EQ(Bets().RankMark[1], "S");
    EXPECT_EQ(Bets().CumulativeHitRate[1], 42.0);
}

TEST(PayoutMatrices, EmptyCellsForValuesNotAboveZero)
{
    auto day = std::make_unique<RaceDay>();
    RaceSlot& race = day->Races[4];
    race.PredictedQuinellaPayout[QuinellaIndex(3, 17)] = 12340.0;
    race.QuinellaProb[QuinellaIndex(3, 17)] = 0.0123;
    race.PredictedQuinellaPayout[QuinellaIndex(1, 2)] = 0.0;
    race.BracketOddsValue[BracketIndex(2, 2)] = 45.6;
    race.BracketOddsValue[BracketIndex(1, 8)] = -1.0;

    TriangleGrid payouts = ShowQuinellaMatrix(*day, 4, MatrixView::Payout);
    EXPECT_EQ(payouts.Cell(3, 17), "  12340");
    EXPECT_EQ(payouts.Cell(17, 3), "") << "rows are the larger numbers";
    EXPECT_EQ(payouts.Cell(1, 2), "");
    EXPECT_EQ(ShowQuinellaMatrix(*day, 4, MatrixView::VoteShare).Cell(3, 17), "   1.2");

    TriangleGrid brackets = ShowBracketMatrix(*day, 4, MatrixView::Payout);
    EXPECT_EQ(brackets.Cell(2, 2), "     46");
    EXPECT_EQ(brackets.Cell(1, 8), "");
    EXPECT_EQ(ShowBracketMatrix(*day, 4, MatrixView::VoteShare).Cell(2, 2), "");
    EXPECT_EQ(ShowQuinellaMatrix(*day, 36, MatrixView::Payout).Cell(3, 17), "");
}

} // namespace
} // namespace vornal
