#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "PresentTestSupport.h"
#include "present/HitReportPages.h"
#include "present/RaceSheets.h"
#include "present/TablePrint.h"
#include "results/HitJudgement.h"

namespace vornal {
namespace {

using presenttest::SetRace;

// The one item of `page` whose text is `utf8`; fails the test when there is none or several.
const PageItem& OnlyText(const PrintPage& page, std::string_view utf8)
{
    static const PageItem kNone;
    const std::vector<const PageItem*> found = page.TextsEqual(utf8);
    EXPECT_EQ(found.size(), 1u) << utf8;
    return found.size() == 1 ? *found[0] : kNone;
}

bool HasItem(const PrintPage& page, PageItemKind kind, int x1, int y1, int x2, int y2, int pen)
{
    for (const PageItem& item : page.Items) {
        if (item.Kind == kind && item.X1 == x1 && item.Y1 == y1 && item.X2 == x2 && item.Y2 == y2 &&
            item.PenWidth == pen) {
            return true;
        }
    }
    return false;
}

// Race `number` of course 06 at slot `slot` with `runners` runners, two per bracket.
RaceSlot& AddRace(RaceDay& day, int slot, int number, int runners, std::string_view course = "06")
{
    std::string key = "20260105" + std::string(course) + "0101";
    key += (number < 10 ? "0" : "") + std::to_string(number);
    return SetRace(day, slot, key, runners);
}

class PrintSheetsTest : public ::testing::Test
{
protected:
    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();
    TuningTables tables;
};

TEST_F(PrintSheetsTest, RaceNumberSitsInItsBoxByItsWidth)
{
    AddRace(*day, 0, 9, 2);
    AddRace(*day, 1, 10, 2);
    const PrintDocument document = PrintRaceSheets(*day, tables, BetMethodKind::No1);
    ASSERT_EQ(document.Pages.size(), 2u);
    const PageItem& nine = OnlyText(document.Pages[0], "9");
    EXPECT_EQ(nine.X1, 120);
    EXPECT_EQ(nine.Y1, 105);
    EXPECT_EQ(nine.Font.Colour, kPrintWhite);
    EXPECT_EQ(nine.Font.Size, 20);
    EXPECT_EQ(OnlyText(document.Pages[1], "10").X1, 105);
    // The black box is drawn before the number, so the number shows on it.
    const PrintPage& page = document.Pages[0];
    const auto box = std::find_if(page.Items.begin(), page.Items.end(), [](const PageItem& item) {
        return item.Kind == PageItemKind::Rect && item.X1 == 100 && item.Y1 == 95;
    });
    ASSERT_NE(box, page.Items.end());
    EXPECT_EQ(box->BrushColour, kPrintBlack);
    EXPECT_LT(box - page.Items.begin(), &nine - page.Items.data());
    EXPECT_EQ(OnlyText(page, " 2頭　　　【買い目1】").X1, 1500);
}

// Every caption of the runner table ends before the next column starts: a fixed-pitch byte
// is half the point size wide (254 / 72 page units a point).
TEST_F(PrintSheetsTest, RunnerTableCaptionsFitTheirColumns)
{
    AddRace(*day, 0, 9, 2);
    const PrintPage page = PrintRaceSheets(*day, tables, BetMethodKind::No1).Pages.at(0);
    const std::vector<int> edges = {215, 450, 585, 705, 825, 950, 1080, 1205, 1325, 1450};
    int captions = 0;
    for (const PageItem& item : page.Items) {
        if (item.Kind != PageItemKind::Text || item.Y1 < 430 || item.Y1 >= 530 || item.X1 < 215 || item.X1 >= 1450) {
            continue;
        }
        ++captions;
        const int next = *std::upper_bound(edges.begin(), edges.end(), item.X1);
        const double right = item.X1 + item.Text.size() * item.Font.Size * 254.0 / 72.0 / 2.0;
        EXPECT_LT(right, next) << ToUtf8(item.Text) << " at " << item.X1 << "," << item.Y1;
        EXPECT_GE(item.Font.Size, 5) << ToUtf8(item.Text);
    }
    EXPECT_EQ(captions, 29);
    EXPECT_EQ(OnlyText(page, "実績確率R").X1, 825);
    EXPECT_EQ(OnlyText(page, "格").Font.Size, 8) << "a caption that fits keeps its size";
}

TEST_F(PrintSheetsTest, RunnerTableEndsBelowItsLastRowAndRulesBrackets)
{
    RaceSlot& race = AddRace(*day, 0, 1, 16);
    race.Runners[0].FrameNo = "1";
    race.Runners[1].FrameNo = "1";
    race.Runners[2].FrameNo = "2";
    const PrintPage page = PrintRaceSheets(*day, tables, BetMethodKind::User).Pages.at(0);
    EXPECT_TRUE(HasItem(page, PageItemKind::Rect, 100, 430, 1450, 2470, 20));
    for (const int x : {150, 200, 580, 700, 820, 950, 1080, 1205, 1320}) {
        EXPECT_TRUE(HasItem(page, PageItemKind::Line, x, 430, x, 2470, 5)) << x;
    }
    // Runner 2 continues bracket 1: a thin line; runner 3 opens bracket 2: thick line, number, box.
    EXPECT_TRUE(HasItem(page, PageItemKind::Line, 150, 670, 1450, 670, 1));
    EXPECT_FALSE(HasItem(page, PageItemKind::Line, 100, 670, 1450, 670, 12));
    EXPECT_TRUE(HasItem(page, PageItemKind::Line, 100, 790, 1450, 790, 12));
    EXPECT_TRUE(HasItem(page, PageItemKind::Rect, 110, 830, 140, 870, 12));
    const std::vector<const PageItem*> twos = page.TextsEqual("2");
    EXPECT_TRUE(std::any_of(twos.begin(), twos.end(), [](const PageItem* item) {
        return item->X1 == 115 && item->Y1 == 830 && item->Font.Size == 11;
    }));
    EXPECT_EQ(OnlyText(page, "16頭　　　").Y1, 25);
}

TEST_F(PrintSheetsTest, OddsVoteShareAndMarksOfARunner)
{
    RaceSlot& race = AddRace(*day, 0, 1, 3);
    Runner& second = race.Runners[0];
    second.FinishPos = 2;
    second.WinPopularity = 5;
    second.FinalWinOdds = 4.0;
    race.Runners[1].FinishPos = 1;
    race.Runners[1].WinPopularity = 1;
    const PrintPage page = PrintRaceSheets(*day, tables, BetMethodKind::No2).Pages.at(0);
    const int j = 120;
    EXPECT_EQ(OnlyText(page, "   4.0").Y1, j + 475);
    const PageItem& share = OnlyText(page, " 20.0%");
    EXPECT_EQ(share.X1, 1325);
    EXPECT_EQ(share.Y1, j + 510);
    EXPECT_EQ(OnlyText(page, "→ 2").X1, 1225);
    EXPECT_EQ(OnlyText(page, "　   5").Y1, j + 440);
    EXPECT_EQ(OnlyText(page, "⇒ 1").Y1, 2 * j + 440);
    EXPECT_EQ(OnlyText(page, "⇒   1").X1, 1325);
    // Finishers box: second place one band below the winner.
    EXPECT_EQ(OnlyText(page, "【2着】").Y1, 1278 + 105);
    EXPECT_EQ(OnlyText(page, " 5人気　得票率: 20.0%").Y1, 1348 + 105);
    // Runner 3 without results: no marks, odds or share, only the single blanks.
    EXPECT_EQ(page.TextsEqual(" ").size(), 4u);
}

TEST_F(PrintSheetsTest, RaceWithoutBetsShowsNoneOnBothSheets)
{
    AddRace(*day, 0, 1, 2);
    const PrintPage race = PrintRaceSheets(*day, tables, BetMethodKind::No1).Pages.at(0);
    const PageItem& none = OnlyText(race, "該当ナシ");
    EXPECT_EQ(none.X1, 1600);
    EXPECT_EQ(none.Y1, 520);
    EXPECT_TRUE(race.TextsEqual("Vornal予想配当:      0").empty());

    const PrintPage all = PrintAllBetsSheet(*day).Pages.at(0);
    EXPECT_EQ(OnlyText(all, "【単勝】 該当ナシ").Y1, 200 + 10 + 78);
    EXPECT_EQ(OnlyText(all, "【連勝】 該当ナシ").X1, 202);
}

TEST_F(PrintSheetsTest, AllBetsBlockOfARaceWithBetsAndWinner)
{
    RaceSlot& race = AddRace(*day, 0, 3, 4);
    race.Runners[1].HorseName = Sjis("テスト");
    race.Runners[1].PredictedWinPayout = 455.0;
    race.Runners[1].FinishPos = 2;
    race.Runners[1].WinPopularity = 3;
    race.Runners[3].FinishPos = 1;
    race.Runners[3].WinPopularity = 12;
    race.PredictedQuinellaPayout[QuinellaIndex(" 2- 4")] = 1234.4;
    day->Bets[0].BetRunner = 2;
    day->Bets[0].BetCombos[1] = " 2- 4";
    const PrintPage page = PrintAllBetsSheet(*day).Pages.at(0);
    const int y0 = 200 * 3 + 10;
    EXPECT_EQ(OnlyText(page, "【単勝】 ②テスト 予:   455").Y1, y0 + 78);
    EXPECT_EQ(OnlyText(page, "【連勝】  2- 4 予:   1234　").Y1, y0 + 116);
    EXPECT_EQ(OnlyText(page, "【1着】④　12人").Y1, y0 + 154);
    EXPECT_EQ(OnlyText(page, " 3R").Y1, 200 * 3 + 80);

    // A combination the market marks "not announced" (-2) shows no payout.
    race.PredictedQuinellaPayout[QuinellaIndex(" 2- 4")] = -2.0;
    const PrintPage unpriced = PrintAllBetsSheet(*day).Pages.at(0);
    EXPECT_EQ(OnlyText(unpriced, "【連勝】  2- 4 予:       　").Y1, y0 + 116);
}

TEST_F(PrintSheetsTest, PagesPerRaceAndPerRacecourse)
{
    for (int r = 0; r < 12; ++r) {
        AddRace(*day, r, r + 1, 8);
    }
    EXPECT_EQ(PrintRaceSheets(*day, tables, BetMethodKind::No1).Pages.size(), 12u);
    PrintDocument all = PrintAllBetsSheet(*day);
    EXPECT_EQ(all.Pages.size(), 1u);
    EXPECT_EQ(all.LastPage, 1);

    for (int r = 0; r < 12; ++r) {
        AddRace(*day, 12 + r, r + 1, 8, "05");
        AddRace(*day, 24 + r, r + 1, 8, "09");
    }
    const PrintDocument races = PrintRaceSheets(*day, tables, BetMethodKind::No1);
    EXPECT_EQ(races.Pages.size(), 36u);
    EXPECT_EQ(races.LastPage, 36);
    all = PrintAllBetsSheet(*day);
    ASSERT_EQ(all.Pages.size(), 3u);
    EXPECT_EQ(all.LastPage, 3);
    EXPECT_EQ(OnlyText(all.Pages[1], "2026年 1月 5日 東京買い目表").Font.Underline, true);
    EXPECT_EQ(OnlyText(all.Pages[2], "2026年 1月 5日 阪神買い目表").Y1, 90);
}

TEST_F(PrintSheetsTest, AllBetsRaceAboveTwelveContinuesOnAFurtherPage)
{
    AddRace(*day, 0, 12, 8);
    AddRace(*day, 1, 13, 8);
    const PrintDocument all = PrintAllBetsSheet(*day);
    ASSERT_EQ(all.Pages.size(), 2u);
    EXPECT_EQ(OnlyText(all.Pages[1], "13R").Y1, 200 + 80);
    EXPECT_EQ(OnlyText(all.Pages[1], " 8頭　").Y1, 200 + 10 + 2);
}

TEST_F(PrintSheetsTest, HitTablePageLaysTotalsAndDoubledGrid)
{
    AddRace(*day, 0, 1, 10);
    const DayTotals totals = TotalHits(*day);
    const std::optional<HitReport> report = BuildHitReport(*day, Sjis("2026年01月05日"), totals);
    ASSERT_TRUE(report);
    const PrintDocument document = PrintHitTables(*report);
    ASSERT_EQ(document.Pages.size(), 2u);
    const PrintPage& page = document.Pages[0];
    EXPECT_TRUE(OnlyText(page, "的中判定表[馬連･ﾜｲﾄﾞ]　2026年01月05日").Font.Bold);
    EXPECT_EQ(OnlyText(page, "回収率").X1, 1600);
    EXPECT_EQ(OnlyText(page, "ﾜｲﾄﾞ").Y1, 200);
    EXPECT_EQ(OnlyText(page, "判定").Y1, 275);
    EXPECT_EQ(OnlyText(page, "--").Y1, 270 + 2 * kHitReportRowHeight + 5);
    const int right = 100 + 2 * (40 + 110 + 40 + 7 * 64);
    EXPECT_TRUE(HasItem(page, PageItemKind::Rect, 100, 270, right, 270 + 4 * kHitReportRowHeight, 5));
    EXPECT_EQ(OnlyText(document.Pages[1], "複勝").X1, 350);
}

} // namespace
} // namespace vornal

namespace vornal {
namespace {

TEST(TablePrintTest, WideAndLongTablesContinueWithTheirHeadersRepeated)
{
    // 60 data rows x 30 data columns of 100 pixels (265 units): 10 columns and 36 rows a page.
    CellGrid grid(61, 31);
    for (int c = 0; c < 31; ++c) {
        grid.SetColumnWidth(c, c == 0 ? 50 : 100);
        grid.Set(0, c, "H" + std::to_string(c));
    }
    for (int r = 1; r < 61; ++r) {
        grid.Set(r, 0, "R" + std::to_string(r));
        grid.Set(r, 30, "last" + std::to_string(r));
    }
    grid.SetColumnWidth(5, 0); // hidden: not printed
    TablePrintStyle style;
    style.PageHeader = {Sjis("2026年01月05日中山  11R")};
    const PrintDocument document = PrintTable(grid, style, "main");
    EXPECT_TRUE(document.Landscape);
    // 29 printed data columns in bands of 10, 10 and 9 (2870 - 50 - 132 units), rows in bands of 36.
    ASSERT_EQ(document.Pages.size(), 6u);
    for (const PrintPage& page : document.Pages) {
        EXPECT_EQ(page.TextsEqual("H0").size(), 1u);
        EXPECT_EQ(OnlyText(page, "2026年01月05日中山  11R").Y1, 40);
    }
    EXPECT_TRUE(document.Pages[0].TextsEqual("H5").empty());
    EXPECT_EQ(OnlyText(document.Pages[0], "R1").Y1, 100 + 48 + 5);
    EXPECT_EQ(OnlyText(document.Pages[0], "H0").X1, 5);
    EXPECT_EQ(OnlyText(document.Pages[2], "last1").X1, 132 + 265 * 8 + 5);
    EXPECT_EQ(OnlyText(document.Pages[3], "R37").Y1, 100 + 48 + 5);
    EXPECT_TRUE(document.Pages[3].TextsEqual("R36").empty());
    // Header cells framed 4 dots wide, the others 1.
    for (const PageItem& item : document.Pages[0].Items) {
        if (item.Kind == PageItemKind::Rect) {
            const bool header = item.Y1 == 100 || item.X1 == 0;
            EXPECT_TRUE(item.PenInDots);
            EXPECT_EQ(item.PenWidth, header ? 4 : 1);
        }
    }
}

} // namespace
} // namespace vornal
