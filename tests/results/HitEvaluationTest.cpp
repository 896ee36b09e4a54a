#include <gtest/gtest.h>

#include "results/HitEvaluation.h"
#include "results/HitTestSupport.h"

namespace vornal {
namespace {

using test::AddRace;
using test::Payouts;

TEST(HitEvaluationPairs, SmallFieldIsJudgedByTheBracketResultWithoutWide)
{
    auto day = test::EmptyDay();
    AddRace(*day, 0, 8, Payouts().Bracket(1, "35", 1230).Wide(1, "0305", 410), {" 3- 5", " 1- 3"});
    // Later small fields sell no 枠連 but a 馬連; where both exist the 枠連 decides.
    AddRace(*day, 1, 7, Payouts().Quinella(1, "0305", 1560), {" 1- 2", " 3- 5"});
    AddRace(*day, 2, 8, Payouts().Bracket(1, "35", 1230).Quinella(1, "0102", 990), {" 1- 2"});

    EvaluateDayHits(*day);

    const BetRecord& bets = day->Bets[0];
    EXPECT_TRUE(bets.QuinellaHit[1]);
    EXPECT_EQ(bets.QuinellaHitPay[1], 1230);
    EXPECT_FALSE(bets.QuinellaHit[2] || bets.WideHit[1] || bets.WideHit[2]);
    EXPECT_EQ(bets.WideHitPay[1], 0);
    EXPECT_FALSE(day->Bets[1].QuinellaHit[1]);
    EXPECT_EQ(day->Bets[1].QuinellaHitPay[2], 1560);
    EXPECT_FALSE(day->Bets[2].QuinellaHit[1]);
}

TEST(HitEvaluationPairs, FullFieldTakesEveryWideResultAndTheQuinella)
{
    auto day = test::EmptyDay();
    AddRace(*day, 0, 9,
            Payouts()
                .Quinella(1, "0305", 2140)
                .Wide(1, "0109", 650)
                .Wide(2, "0305", 720)
                .Wide(3, "0109", 690) // a repeated entry: the later payout stands
                .Bracket(1, "12", 800),
            {" 3- 5", " 1- 9", " 1- 2"});

    EvaluateDayHits(*day);

    const BetRecord& bets = day->Bets[0];
    EXPECT_TRUE(bets.WideHit[1] && bets.QuinellaHit[1]);
    EXPECT_EQ(bets.WideHitPay[1], 720);
    EXPECT_EQ(bets.QuinellaHitPay[1], 2140);
    EXPECT_TRUE(bets.WideHit[2] && !bets.QuinellaHit[2]);
    EXPECT_EQ(bets.WideHitPay[2], 690);
    // Nine runners share brackets: the bracket result is no quinella.
    EXPECT_FALSE(bets.QuinellaHit[3] || bets.WideHit[3]);
}

TEST(HitEvaluationRunner, RunnerZeroNeverHitsAndDeadHeatsAreJudged)
{
    auto day = test::EmptyDay();
    // Further entries are empty (horse number 0); race 1 has no results at all.
    AddRace(*day, 0, 10, Payouts().Win(1, "04", 350).Place(1, "04", 140), {}, 0);
    AddRace(*day, 1, 10, Payouts(), {}, 0);
    AddRace(*day, 2, 12, Payouts().Win(1, "04", 350).Win(2, "07", 520).Place(4, "07", 230), {}, 7);

    EvaluateDayHits(*day);

    for (int slot : {0, 1}) {
        EXPECT_FALSE(day->Bets[slot].WinHit || day->Bets[slot].PlaceHit) << slot;
        EXPECT_EQ(day->Bets[slot].WinHitPay + day->Bets[slot].PlaceHitPay, 0) << slot;
    }
    EXPECT_TRUE(day->Bets[2].WinHit && day->Bets[2].PlaceHit);
    EXPECT_EQ(day->Bets[2].WinHitPay, 520);
    EXPECT_EQ(day->Bets[2].PlaceHitPay, 230);
}

TEST(HitEvaluationRerun, OldHitsGoAndOnlyBetsOneToThreeOfLoadedRacesCount)
{
    auto day = test::EmptyDay();
    AddRace(*day, 0, 10, Payouts().Quinella(1, "0305", 2140).Wide(1, "0305", 720).Win(1, "03", 300), {" 3- 5"}, 3);
    EvaluateDayHits(*day);
    ASSERT_TRUE(day->Bets[0].QuinellaHit[1] && day->Bets[0].WinHit);

    // Another method's bets.
    day->Bets[0].BetCombos[1] = " 1- 2";
    day->Bets[0].BetCombos[4] = " 3- 5";
    day->Bets[0].BetRunner = 9;
    day->Bets[1].QuinellaHit[1] = true; // an unloaded slot is left alone
    EvaluateDayHits(*day);

    const BetRecord& bets = day->Bets[0];
    EXPECT_FALSE(bets.QuinellaHit[1] || bets.WideHit[1] || bets.QuinellaHit[4] || bets.WideHit[4] || bets.WinHit);
    EXPECT_EQ(bets.QuinellaHitPay[1] + bets.WideHitPay[1] + bets.WinHitPay, 0);
    EXPECT_TRUE(day->Bets[1].QuinellaHit[1]);
}

} // namespace
} // namespace vornal
