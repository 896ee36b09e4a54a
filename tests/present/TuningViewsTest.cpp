#include <gtest/gtest.h>

#include <memory>

#include "present/TuningViews.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

const TuningView& Find(const std::vector<TuningTab>& tabs, const char* caption)
{
    for (const TuningTab& tab : tabs) {
        for (const TuningView& view : tab.Views) {
            if (view.Caption == Sjis(caption)) {
                return view;
            }
        }
    }
    throw std::runtime_error(caption);
}

TEST(TuningViewsTest, TheViewsShowTheBuiltInTablesInTheirFormats)
{
    auto tables = std::make_unique<TuningTables>();
    SetBuiltInTables(*tables);
    tables->RotationStats.Races[3][10] = 42;
    tables->RotationTable[11][1] = 0.25;
    tables->RankHitTable[8][153] = {12.34, 0.96};
    const std::vector<TuningTab> tabs = BuildTuningTabs(*tables);
    ASSERT_EQ(tabs.size(), 5u);
    EXPECT_TRUE(tabs[0].DeveloperOnly);
    EXPECT_FALSE(tabs[1].DeveloperOnly);
    EXPECT_FALSE(tabs[2].DeveloperOnly);

    // Rows n = 5..18, non-zero values only: [18][18] is 0.2, [10][11] is empty.
    const CellGrid& field = Find(tabs, "単勝人気統計").Grid;
    EXPECT_EQ(field.Cell(14, 0), Sjis("18頭"));
    EXPECT_EQ(field.Cell(14, 18), " 0.20");
    EXPECT_EQ(field.Cell(6, 0), Sjis("10頭"));
    EXPECT_EQ(field.Cell(6, 11), "");
    EXPECT_EQ(field.Cell(0, 1), Sjis(" 1人気"));

    const CellGrid& win = Find(tabs, "単勝配当用").Grid;
    EXPECT_EQ(win.Cell(1, 1), "21.87");
    EXPECT_EQ(win.Cell(18, 9), " 0.28");

    const CellGrid& share = Find(tabs, "配当別実現確率").Grid;
    EXPECT_EQ(share.Cell(0, 0), Sjis("占有率の条件"));
    EXPECT_EQ(share.Cell(1, 1), " 12.0");
    EXPECT_EQ(share.Cell(8, 8), " 2577");

    // Only positive base figures; a distance without a dirt standard leaves its cells empty.
    const CellGrid& base = Find(tabs, "基準ﾗｯﾌﾟﾃﾞｰﾀ表").Grid;
    EXPECT_EQ(base.Cell(7, 0), "2000");
    EXPECT_EQ(base.Cell(7, 1), " 91.3");
    EXPECT_EQ(base.Cell(7, 4), "");

    // The three blocks of a category at rows 0, 7 and 14: i across, j down.
    const CellGrid& pairs = Find(tabs, "芝短距離").Grid;
    EXPECT_EQ(pairs.Cell(0, 0), "J-Z");
    EXPECT_EQ(pairs.Cell(7, 0), "J-K");
    EXPECT_EQ(pairs.Cell(14, 0), "Z-K");
    EXPECT_EQ(pairs.Cell(1, 3), " 13.3");  // J-Z, i 3, j 1
    EXPECT_EQ(pairs.Cell(16, 1), "  9.7"); // Z-K, i 1, j 2
    EXPECT_EQ(pairs.Cell(17, 1), " 10.3"); // Z-K, i 1, j 3

    EXPECT_EQ(Find(tabs, "仕切値").Grid.Cell(4, 3), "  9.30");
    const CellGrid& races = Find(tabs, "ﾚｰｽ数").Grid;
    EXPECT_EQ(races.Cell(10, 0), Sjis("未"));
    EXPECT_EQ(races.Cell(0, 3), Sjis(" 3走"));
    EXPECT_EQ(races.Cell(10, 3), "   42");
    EXPECT_EQ(Find(tabs, "補正ＲＴ-勝率").Grid.Cell(1, 11), "0.25000");
    const CellGrid& ranks = Find(tabs, "順位ﾃｰﾌﾞﾙ").Grid;
    EXPECT_EQ(ranks.Cell(153, 0), "153");
    EXPECT_EQ(ranks.Cell(153, 8), "  12.3");
    EXPECT_EQ(ranks.Cell(153, 16), "   1.0");
}

} // namespace
} // namespace vornal
