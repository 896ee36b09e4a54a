#include <gtest/gtest.h>

#include "results/HitEvaluation.h"
#include "results/HitJudgement.h"
#include "results/HitTestSupport.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

using test::AddRace;
using test::Payouts;

TEST(HitJudgementRate, RateTextOfTheFilesAndTheReport)
{
    BetTypeTotals totals;
    EXPECT_EQ(totals.RateText(), "       ");
    totals.Points = 10;
    totals.Returned = 2300;
    EXPECT_EQ(totals.Staked(), 1000);
    EXPECT_EQ(totals.RateText(), " 230.0%");
}

// Race 0: nine runners, every bet type paid; race 1: eight runners with a bracket result;
// race 2: results not in yet; race 3: results but no single-runner bet.
std::unique_ptr<RaceDay> JudgedDay()
{
    auto day = test::EmptyDay();
    AddRace(*day, 0, 9,
            Payouts()
                .Win(1, "03", 450)
                .Place(1, "03", 160)
                .Place(2, "05", 230)
                .Quinella(1, "0305", 1520)
                .Wide(1, "0305", 540)
                .Wide(2, "0308", 880),
            {" 3- 5", " 3- 8", " 1- 2"}, 3);
    AddRace(*day, 1, 8, Payouts().Win(1, "02", 300).Place(1, "02", 120).Bracket(1, "26", 990).Wide(1, "0206", 400),
            {" 2- 6", " 1- 6", " 6- 7"}, 5);
    AddRace(*day, 2, 16, Payouts(), {" 1- 2", " 1- 3"}, 1);
    AddRace(*day, 3, 12, Payouts().Win(1, "01", 200).Place(1, "01", 110).Quinella(1, "0102", 600).Wide(1, "0102", 250),
            {" 4- 5"}, 0);
    EvaluateDayHits(*day);
    return day;
}

TEST(HitJudgementTotals, TotalsAndMarksOfADay)
{
    auto day = JudgedDay();
    day->Bets[2].ResultMarkWin = "T"; // left by a judgement before the results were withdrawn
    const DayTotals totals = JudgeHits(*day);

    const BetTypeTotals& win = totals[BetType::Win];
    EXPECT_EQ(win.Points, 2); // race 2 has no result, race 3 no runner bet
    EXPECT_EQ(win.Hits, 1);
    EXPECT_EQ(win.Returned, 450);
    EXPECT_EQ(totals[BetType::Place].Points, 2);
    EXPECT_EQ(totals[BetType::Place].Returned, 160);
    const BetTypeTotals& quinella = totals[BetType::Quinella];
    EXPECT_EQ(quinella.Points, 7); // 3 + 3 by the bracket result + 1
    EXPECT_EQ(quinella.Hits, 2);
    EXPECT_EQ(quinella.Returned, 1520 + 990);
    const BetTypeTotals& wide = totals[BetType::Wide];
    EXPECT_EQ(wide.Points, 4); // the eight-runner race's wide result buys nothing
    EXPECT_EQ(wide.Hits, 2);
    EXPECT_EQ(wide.Returned, 540 + 880);

    const BetRecord& paid = day->Bets[0];
    EXPECT_EQ(paid.ResultMarkQuinella.Str() + paid.ResultMarkWide.Str() + paid.ResultMarkWin.Str() +
                  paid.ResultMarkPlace.Str(),
              "UWTF");
    EXPECT_EQ(ResultMarksOf(day->Races[1]).QuinellaWideText(), "UW");
    EXPECT_TRUE(day->Bets[2].ResultMarkWin.empty());
    EXPECT_EQ(ResultMarksOf(day->Races[2]).WinPlaceText(), "--");

    DayTotals twoDays = totals;
    twoDays += totals;
    EXPECT_EQ(twoDays[BetType::Quinella].Returned, 2 * (1520 + 990));
    EXPECT_EQ(twoDays[BetType::Quinella].RateText(), " 358.6%");
}

TEST(HitJudgementLines, KeyNamesTheFirstRacecourseAndLineLayout)
{
    auto day = JudgedDay();
    AddRace(*day, 4, 10, Payouts(), {}, 0, "05"); // a second racecourse later in the day
    const DayTotals totals = JudgeHits(*day);
    const std::string dayName = Sjis("2026年01月05日");

    EXPECT_EQ(HitFileName(dayName, BetType::Wide, "_No01"), Sjis("2026年ﾜｲﾄﾞ_No01.ksr"));
    const auto lines = HitFileLines(*day, dayName, totals);
    EXPECT_EQ(lines[2], Sjis("01月05日中山03回05日  7点  2点  700円   2510円 358.6%"));
    EXPECT_EQ(HitFileLine(HitFileKey(*day, dayName), BetTypeTotals{}),
              Sjis("01月05日中山03回05日  0点  0点    0円      0円       "));
    EXPECT_TRUE(HitFileKey(*test::EmptyDay(), dayName).empty());
}

TEST(HitJudgementLines, FilingReplacesEveryLineOfTheDayAndKeepsOrder)
{
    const std::string key5 = Sjis("01月05日中山03回05日");
    const std::string key4 = Sjis("01月04日中山03回04日");
    const std::string old = key5 + " first\r\n" + key4 + " x\n" + key4 + " x\r\n\r\n" + key5 + " second\r\n";

    const std::string filed = FileHitLine(old, key5 + " new");
    EXPECT_EQ(filed, key4 + " x\r\n" + key5 + " new\r\n");
    EXPECT_EQ(FileHitLine(filed, key5 + " new"), filed);
}

} // namespace
} // namespace vornal
