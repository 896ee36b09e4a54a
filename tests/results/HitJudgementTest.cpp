#include <gtest/gtest.h>

#include "results/HitEvaluation.h"
#include "results/HitJudgement.h"
#include "results/HitTestSupport.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

using test::AddRace;
using test::PayoutBuilder;
using test::SetBets;

TEST(HitJudgementRate, RateTextOfTheFilesAndTheReport)
{
    BetTypeTotals totals;
    EXPECT_EQ(totals.RateText(), "       ");
    EXPECT_EQ(totals.Rate(), 0.0);
    totals.Points = 10;
    totals.Returned = 2300;
    EXPECT_EQ(totals.Staked(), 1000);
    EXPECT_EQ(totals.RateText(), " 230.0%");
    totals.Points = 3;
    totals.Returned = 1000;
    EXPECT_EQ(totals.RateText(), " 333.3%");
    totals.Returned = 0;
    EXPECT_EQ(totals.RateText(), "   0.0%");
}

// Race 0: nine runners, every bet type paid; race 1: eight runners with a bracket result;
// race 2: results not in yet; race 3: results but no single-runner bet.
std::unique_ptr<RaceDay> JudgedDay()
{
    auto day = test::EmptyDay();
    AddRace(*day, 0, 9,
            PayoutBuilder()
                .Win(1, 3, 450)
                .Place(1, 3, 160)
                .Place(2, 5, 230)
                .Place(3, 8, 300)
                .Quinella(1, "0305", 1520)
                .Wide(1, "0305", 540)
                .Wide(2, "0308", 880)
                .Wide(3, "0508", 1210));
    SetBets(*day, 0, " 3- 5", " 3- 8", " 1- 2", 3);
    AddRace(*day, 1, 8, PayoutBuilder().Win(1, 2, 300).Place(1, 2, 120).Bracket(1, "26", 990).Wide(1, "0206", 400));
    SetBets(*day, 1, " 2- 6", " 1- 6", " 6- 7", 5);
    AddRace(*day, 2, 16);
    SetBets(*day, 2, " 1- 2", " 1- 3", "", 1);
    AddRace(*day, 3, 12, PayoutBuilder().Win(1, 1, 200).Place(1, 1, 110).Quinella(1, "0102", 600).Wide(1, "0102", 250));
    SetBets(*day, 3, " 4- 5", "", "", 0);
    EvaluateDayHits(*day);
    return day;
}

TEST(HitJudgementTotals, TotalsOfADay)
{
    auto day = JudgedDay();
    const DayTotals totals = JudgeHits(*day);

    const BetTypeTotals& win = totals[BetType::Win];
    EXPECT_EQ(win.Points, 2); // races 0 and 1; race 2 has no result, race 3 no runner bet
    EXPECT_EQ(win.Hits, 1);
    EXPECT_EQ(win.Returned, 450);
    EXPECT_EQ(win.Staked(), 200);
    EXPECT_EQ(win.RateText(), " 225.0%");
    const BetTypeTotals& place = totals[BetType::Place];
    EXPECT_EQ(place.Points, 2);
    EXPECT_EQ(place.Hits, 1);
    EXPECT_EQ(place.Returned, 160);
    const BetTypeTotals& quinella = totals[BetType::Quinella];
    EXPECT_EQ(quinella.Points, 7); // 3 + 3 (bracket result) + 1
    EXPECT_EQ(quinella.Hits, 2);
    EXPECT_EQ(quinella.Returned, 1520 + 990);
    const BetTypeTotals& wide = totals[BetType::Wide];
    EXPECT_EQ(wide.Points, 4); // the eight-runner race's wide result buys nothing
    EXPECT_EQ(wide.Hits, 2);
    EXPECT_EQ(wide.Returned, 540 + 880);
    EXPECT_EQ(wide.RateText(), " 355.0%");

    EXPECT_EQ(day->Bets[0].ResultMarkQuinella, "U");
    EXPECT_EQ(day->Bets[0].ResultMarkWide, "W");
    EXPECT_EQ(day->Bets[0].ResultMarkWin, "T");
    EXPECT_EQ(day->Bets[0].ResultMarkPlace, "F");
    EXPECT_EQ(ResultMarksOf(day->Races[1]).QuinellaWideText(), "UW");
    EXPECT_EQ(day->Bets[2].ResultMarkQuinella, "");
    EXPECT_EQ(ResultMarksOf(day->Races[2]).QuinellaWideText(), "--");
    EXPECT_EQ(ResultMarksOf(day->Races[2]).WinPlaceText(), "--");

    // A backtest adds days up; the rate follows the sums.
    DayTotals twoDays = totals;
    twoDays += totals;
    EXPECT_EQ(twoDays[BetType::Quinella].Points, 14);
    EXPECT_EQ(twoDays[BetType::Quinella].Returned, 2 * (1520 + 990));
    EXPECT_EQ(twoDays[BetType::Quinella].RateText(), totals[BetType::Quinella].RateText());
}

TEST(HitJudgementTotals, DayWithoutResultsHasNoPointsAndBlankRates)
{
    auto day = test::EmptyDay();
    for (int slot = 0; slot < 3; ++slot) {
        AddRace(*day, slot, 14);
        SetBets(*day, slot, " 1- 2", " 2- 3", " 3- 4", 2);
        day->Bets[slot].ResultMarkWin = "T"; // left by the day's previous judgement
    }
    EvaluateDayHits(*day);
    const DayTotals totals = JudgeHits(*day);
    for (BetType type : kBetTypes) {
        EXPECT_EQ(totals[type].Points, 0);
        EXPECT_EQ(totals[type].Hits, 0);
        EXPECT_EQ(totals[type].RateText(), "       ");
    }
    EXPECT_TRUE(day->Bets[0].ResultMarkWin.empty());
}

TEST(HitJudgementLines, KeyNamesTheFirstRacecourseAndLineLayout)
{
    auto day = JudgedDay();
    AddRace(*day, 4, 10, PayoutBuilder(), "05"); // a second racecourse later in the day
    const DayTotals totals = JudgeHits(*day);
    const std::string dayName = Sjis("2026年01月05日");

    EXPECT_EQ(HitFileKey(*day, dayName), Sjis("01月05日中山03回05日"));
    EXPECT_EQ(HitFileName(dayName, BetType::Wide, "_No01"), Sjis("2026年ﾜｲﾄﾞ_No01.ksr"));
    EXPECT_EQ(HitFileName(dayName, BetType::Quinella, "_SP02"), Sjis("2026年馬連_SP02.ksr"));

    const auto lines = HitFileLines(*day, dayName, totals);
    EXPECT_EQ(lines[static_cast<std::size_t>(BetType::Quinella)],
              Sjis("01月05日中山03回05日  7点  2点  700円   2510円 358.6%"));
    EXPECT_EQ(lines[static_cast<std::size_t>(BetType::Win)],
              Sjis("01月05日中山03回05日  2点  1点  200円    450円 225.0%"));
    EXPECT_EQ(HitFileLine(HitFileKey(*day, dayName), BetTypeTotals{}),
              Sjis("01月05日中山03回05日  0点  0点    0円      0円       "));
    EXPECT_TRUE(HitFileKey(*test::EmptyDay(), dayName).empty());
}

TEST(HitJudgementLines, FilingReplacesTheDaysLineAndKeepsOrder)
{
    const std::string key5 = Sjis("01月05日中山03回05日");
    const std::string key4 = Sjis("01月04日中山03回04日");
    const std::string key12 = Sjis("01月12日中山03回06日");
    const std::string old =
        key12 + " old\r\n" + key5 + " first\r\n" + key4 + " x\n" + key4 + " x\r\n\r\n" + key5 + " second\r\n";

    const std::string filed = FileHitLine(old, key5 + " new");
    EXPECT_EQ(filed, key4 + " x\r\n" + key5 + " new\r\n" + key12 + " old\r\n");
    EXPECT_EQ(FileHitLine(filed, key5 + " new"), filed);
    EXPECT_EQ(FileHitLine("", key5 + " new"), key5 + " new\r\n");
}

} // namespace
} // namespace vornal
