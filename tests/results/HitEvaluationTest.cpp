#include <gtest/gtest.h>

#include "results/HitEvaluation.h"
#include "results/HitTestSupport.h"

namespace vornal {
namespace {

using test::AddRace;
using test::PayoutBuilder;
using test::SetBets;

TEST(HitEvaluationSmallField, BracketResultPaysTheQuinellaBetAndNoWideIsJudged)
{
    auto day = test::EmptyDay();
    AddRace(*day, 0, 8, PayoutBuilder().Bracket(1, "35", 1230).Wide(1, "0305", 410).Wide(2, "0103", 380));
    SetBets(*day, 0, " 3- 5", " 1- 3", " 1- 2");

    EvaluateDayHits(*day);

    const BetRecord& bets = day->Bets[0];
    EXPECT_TRUE(bets.QuinellaHit[1]);
    EXPECT_EQ(bets.QuinellaHitPay[1], 1230);
    EXPECT_FALSE(bets.QuinellaHit[2]);
    EXPECT_FALSE(bets.QuinellaHit[3]);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_FALSE(bets.WideHit[i]) << i;
        EXPECT_EQ(bets.WideHitPay[i], 0) << i;
    }
}

TEST(HitEvaluationSmallField, QuinellaResultIsJudgedWhereNoBracketWasSold)
{
    auto day = test::EmptyDay();
    AddRace(*day, 0, 7, PayoutBuilder().Quinella(1, "0305", 1560));
    AddRace(*day, 1, 8, PayoutBuilder().Bracket(1, "35", 1230).Quinella(1, "0102", 990));
    SetBets(*day, 0, " 1- 2", " 3- 5");
    SetBets(*day, 1, " 1- 2", " 3- 5");

    EvaluateDayHits(*day);

    EXPECT_FALSE(day->Bets[0].QuinellaHit[1]);
    EXPECT_TRUE(day->Bets[0].QuinellaHit[2]);
    EXPECT_EQ(day->Bets[0].QuinellaHitPay[2], 1560);
    // Where the bracket result exists it alone decides, as on the days that sold it.
    EXPECT_FALSE(day->Bets[1].QuinellaHit[1]);
    EXPECT_TRUE(day->Bets[1].QuinellaHit[2]);
    EXPECT_EQ(day->Bets[1].QuinellaHitPay[2], 1230);
}

TEST(HitEvaluationFullField, WideResultsAfterTheFirstAndTheQuinella)
{
    auto day = test::EmptyDay();
    AddRace(*day, 0, 9,
            PayoutBuilder()
                .Quinella(1, "0305", 2140)
                .Wide(1, "0109", 650)
                .Wide(2, "0305", 720)
                .Wide(3, "0109", 690) // a repeated entry: the later payout stands
                .Bracket(1, "12", 800));
    SetBets(*day, 0, " 3- 5", " 1- 9", " 1- 2");

    EvaluateDayHits(*day);

    const BetRecord& bets = day->Bets[0];
    EXPECT_TRUE(bets.WideHit[1]);
    EXPECT_EQ(bets.WideHitPay[1], 720);
    EXPECT_TRUE(bets.QuinellaHit[1]);
    EXPECT_EQ(bets.QuinellaHitPay[1], 2140);
    EXPECT_TRUE(bets.WideHit[2]);
    EXPECT_EQ(bets.WideHitPay[2], 690);
    EXPECT_FALSE(bets.QuinellaHit[2]);
    // Nine runners share brackets: the bracket result is no quinella.
    EXPECT_FALSE(bets.QuinellaHit[3]);
    EXPECT_FALSE(bets.WideHit[3]);
}

TEST(HitEvaluationSingleRunner, RunnerZeroNeverHitsAndDeadHeatsAreJudged)
{
    auto day = test::EmptyDay();
    // A race with results but empty further entries (horse number 0) and one without any.
    AddRace(*day, 0, 10, PayoutBuilder().Win(1, 4, 350).Place(1, 4, 140).Place(2, 6, 210).Place(3, 2, 190));
    AddRace(*day, 1, 10);
    SetBets(*day, 0, "", "", "", 0);
    SetBets(*day, 1, "", "", "", 0);
    AddRace(*day, 2, 12, PayoutBuilder().Win(1, 4, 350).Win(2, 7, 520).Place(1, 4, 140).Place(4, 7, 230));
    SetBets(*day, 2, "", "", "", 7);

    EvaluateDayHits(*day);

    for (int slot : {0, 1}) {
        EXPECT_FALSE(day->Bets[slot].WinHit) << slot;
        EXPECT_FALSE(day->Bets[slot].PlaceHit) << slot;
        EXPECT_EQ(day->Bets[slot].WinHitPay, 0) << slot;
        EXPECT_EQ(day->Bets[slot].PlaceHitPay, 0) << slot;
    }
    EXPECT_TRUE(day->Bets[2].WinHit);
    EXPECT_EQ(day->Bets[2].WinHitPay, 520);
    EXPECT_TRUE(day->Bets[2].PlaceHit);
    EXPECT_EQ(day->Bets[2].PlaceHitPay, 230);
}

TEST(HitEvaluationScope, RerunClearsOldHitsAndOnlyBetsOneToThreeOfLoadedRacesCount)
{
    auto day = test::EmptyDay();
    AddRace(*day, 0, 10, PayoutBuilder().Quinella(1, "0305", 2140).Wide(1, "0305", 720).Win(1, 3, 300));
    SetBets(*day, 0, " 3- 5", "", "", 3);
    EvaluateDayHits(*day);
    ASSERT_TRUE(day->Bets[0].QuinellaHit[1]);

    // Another method's bets: the earlier hits must not survive the rerun.
    SetBets(*day, 0, " 1- 2", "", "", 9);
    day->Bets[0].BetCombos[4] = " 3- 5";
    day->Bets[1].QuinellaHit[1] = true; // an unloaded slot is left alone
    EvaluateDayHits(*day);

    const BetRecord& bets = day->Bets[0];
    for (int i = 1; i <= kBetSlots; ++i) {
        EXPECT_FALSE(bets.QuinellaHit[i]) << i;
        EXPECT_FALSE(bets.WideHit[i]) << i;
        EXPECT_EQ(bets.QuinellaHitPay[i], 0) << i;
    }
    EXPECT_FALSE(bets.WinHit);
    EXPECT_EQ(bets.WinHitPay, 0);
    EXPECT_TRUE(day->Bets[1].QuinellaHit[1]);
}

} // namespace
} // namespace vornal
