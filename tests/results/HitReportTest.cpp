#include <gtest/gtest.h>

#include "results/HitEvaluation.h"
#include "results/HitReport.h"
#include "results/HitTestSupport.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

using test::AddRace;
using test::Payouts;
using C = HitCellColour;

HitReport Report(RaceDay& day)
{
    EvaluateDayHits(day);
    return BuildHitReport(day, Sjis("2026年01月05日"), JudgeHits(day)).value_or(HitReport{});
}

std::vector<std::string> Texts(const HitReportRow& row)
{
    std::vector<std::string> texts;
    for (const HitReportCell& cell : row.Cells) {
        texts.push_back(cell.Text);
    }
    return texts;
}

std::vector<C> Colours(const HitReportRow& row, std::size_t from = 0)
{
    std::vector<C> colours;
    for (std::size_t c = from; c < row.Cells.size(); ++c) {
        colours.push_back(row.Cells[c].Colour);
    }
    return colours;
}

TEST(HitReportPairs, CellsAndColoursOfHitsMissesAndEmptyBets)
{
    auto day = test::EmptyDay();
    AddRace(*day, 0, 12, Payouts().Quinella(1, "0305", 1520).Wide(1, "0305", 540).Wide(2, "0308", 880),
            {" 3- 8", " 3- 5", " 1- 2"});
    AddRace(*day, 1, 12, Payouts().Quinella(1, "0102", 600).Wide(1, "0102", 250), {" 4- 5"});
    AddRace(*day, 2, 8, Payouts().Bracket(1, "35", 1230), {" 3- 5"}); // judged by the bracket only
    AddRace(*day, 3, 12);
    day->Races[0].SlotKey = "2026010505030511"; // 東京, meeting 3, day 5, race 11

    const HitReport report = Report(*day);
    const HitReportTable& table = report.QuinellaWide;
    ASSERT_EQ(table.Rows.size(), 4u);
    EXPECT_EQ(table.Title, Sjis("的中判定表[馬連･ﾜｲﾄﾞ]　2026年01月05日"));
    EXPECT_EQ(Texts(table.Rows[0]), (std::vector<std::string>{"UW", Sjis("東京3回 5日11R"), Sjis("12頭"), " 3- 8",
                                                              " 3- 5", " 1- 2", "   1520", "    880", "    540", ""}));
    EXPECT_EQ(Colours(table.Rows[0]), (std::vector<C>{C::White, C::InfoTip, C::InfoTip, C::Magenta, C::Red, C::White,
                                                      C::Red, C::Magenta, C::Magenta, C::Yellow}));
    EXPECT_EQ(Texts(table.Rows[1])[1], Sjis("中山3回 5日 2R"));
    EXPECT_EQ(Colours(table.Rows[1], 3),
              (std::vector<C>{C::White, C::LightGrey, C::LightGrey, C::Cyan, C::Yellow, C::LightGrey, C::LightGrey}));
    EXPECT_EQ(Texts(table.Rows[2])[0], "U-");
    EXPECT_EQ(Texts(table.Rows[2])[6], "   1230");
    EXPECT_EQ(Colours(table.Rows[2], 6), (std::vector<C>{C::Red, C::Yellow, C::LightGrey, C::LightGrey}));
    EXPECT_EQ(Texts(table.Rows[3])[0], "--");
    EXPECT_EQ(Colours(table.Rows[3], 6), std::vector<C>(4, C::LightGrey));

    EXPECT_EQ(table.Totals[0].Label, Sjis("馬連："));
    EXPECT_EQ(table.Totals[0].Texts, (std::array<std::string, 5>{Sjis("  5点"), Sjis("  2点"), Sjis("  500円"),
                                                                 Sjis("   2750円"), " 550.0%"}));
    EXPECT_EQ(table.Totals[1].Label, Sjis("ﾜｲﾄﾞ："));
    EXPECT_EQ(table.Totals[1].Texts[1], Sjis("  2点"));
}

TEST(HitReportSingle, CellsAndColoursOfTheRunnerBet)
{
    auto day = test::EmptyDay();
    const Payouts paid = Payouts().Win(1, "03", 450).Place(1, "03", 160).Place(2, "05", 230);
    AddRace(*day, 0, 10, paid, {}, 3);
    AddRace(*day, 1, 10, paid, {}, 5);
    AddRace(*day, 2, 10, paid, {}, 7);
    AddRace(*day, 3, 10, paid, {}, 0);
    AddRace(*day, 4, 10, Payouts(), {}, 3);

    const HitReportTable& table = Report(*day).WinPlace;
    ASSERT_EQ(table.Rows.size(), 5u);
    EXPECT_EQ(Texts(table.Rows[0]),
              (std::vector<std::string>{"TF", Sjis("中山3回 5日 1R"), Sjis("10頭"), " 3", "    450", "    160"}));
    EXPECT_EQ(Colours(table.Rows[0], 3), (std::vector<C>{C::Red, C::Red, C::Magenta}));
    EXPECT_EQ(Colours(table.Rows[1], 3), (std::vector<C>{C::Magenta, C::Cyan, C::Magenta}));
    EXPECT_EQ(Colours(table.Rows[2], 3), (std::vector<C>{C::White, C::Cyan, C::Yellow}));
    EXPECT_EQ(Colours(table.Rows[3], 3), std::vector<C>(3, C::LightGrey));
    EXPECT_EQ(Texts(table.Rows[4])[0], "--");
    EXPECT_EQ(table.Totals[0].Texts[4], " 150.0%"); // the race without results buys nothing
    EXPECT_EQ(table.Totals[1].Texts[3], Sjis("    390円"));
    EXPECT_FALSE(BuildHitReport(*test::EmptyDay(), "", DayTotals{}).has_value());
}

} // namespace
} // namespace vornal
