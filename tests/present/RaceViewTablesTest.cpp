#include "present/RaceViewTables.h"

#include <gtest/gtest.h>

#include "PresentTestSupport.h"

namespace vornal {
namespace {

using presenttest::RowUtf8;
using Cells = std::vector<std::string>;

class RaceViewTablesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        race = &presenttest::SetRace(*day, 0, "2026010506010111", 2);
        Runner& first = race->Runners[0];
        first.HorseName = Sjis("アオイウマ");
        first.ClassValue = 1234.4;
        first.TotalStarts = 7;
        first.RunningStyle = 2.25;
        first.Corner4StdDev = 0.5;
        first.BestBaseTime = 0.0;
        first.RankBestBaseTime = 3;
        first.OverallMin = kNoValue;
        first.RankOverallMin = 2;
        first.Last3FOffset = -0.4;
        first.AbilityIndex = 61.25;
        first.RankAbility = 1;
        PastRun& run = first.Past[0];
        run.PastRunPresent = true;
        run.PastRunKey = "2025121406";
        run.PastCondition = "016";
        run.PastGrade = "E";
        run.PastTrack = "17";
        run.PastGoing = "2";
        run.PastPlace = 3;
        run.PastTimeDiff = "0003";
        run.PastDistance = 1800;
        run.PastTime = "1495";
        run.PastLast3F = "350";
        run.PastBaseTime = 0.0;
        run.PastCorner = {5, 5, 4, 3};
        run.PastWinnerFirstPace = 36.04;
        run.PastFirstPaceGap = 0.25;
        run.PastAdjLast3F = 35.0;
        run.PastLast3FGap = kNoValue;
        run.PastGradeCode = "123";
        run.RIndex = 55.5;
        run.RIndexRank = 4;
        run.PastAxisCode = "AB12CD";
        // Slots beyond the runners are counted as empty rows by the ability deviation pass.
        race->PastRowCount = 1 + 1 + (kRunnerSlots - 2);
    }

    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();
    RaceSlot* race = nullptr;
};

TEST_F(RaceViewTablesTest, PastRunRowsAndTheRowOfARunnerWithoutRuns)
{
    const CellGrid table = BuildPastRunTable(*race);
    ASSERT_EQ(table.RowCount(), 3); // the empty rows of the unused slots are dropped
    EXPECT_EQ(
        RowUtf8(table, 0),
        (Cells{"順",       "枠",   "馬",     "馬名", "格",     "出走", "年月日",  "クラス",   "ｸﾞﾚｰﾄﾞ", "開催",
               "馬場",     "着順", "着差",   "距離", "タイム", "3F",   "基準TM",  "展開",     "脚質",   "偏差",
               "最良TM",   "順",   "前半SP", "偏差", "後半SP", "偏差", "総合min", "順",       "FT差",   "大局",
               "実力指数", "順",   "R指数",  "順",   "RTM",    "順",   "偏差値",  "スタミナ", "順",     "軸Code"}));
    // Base time 0 and a missing best time leave their emptied cells; OverallMin 10000 keeps
    // "　" while its rank shows.
    EXPECT_EQ(RowUtf8(table, 1),
              (Cells{"　",     " 1",           "01",     "アオイウマ", "    1234", "   7", "2025.12.14", "3勝ｸﾗｽ",
                     "特別 ",  "中山",         "芝稍重", "  3",        "'0003",    "1800", "1495",       "350",
                     "",       "  5  5  4  3", "  2.2",  "  0.5",      "",         " 3",   "  36.0",     "   0.2",
                     "  35.0", "　",           "　",     " 2",         "  -0.4",   "123",  "  61.2",     " 1",
                     "  55.5", " 4",           "　",     "　",         "　",       "　",   "　",         "AB12CD"}));
    EXPECT_EQ(RowUtf8(table, 2),
              (Cells{"　",     " 1", "02", "",   "       0", "   0",  "　", "　", "　", "　", "　", "　", "　", "　",
                     "　",     "　", "",   "　", "  0.0",    "  0.0", "",   " 0", "　", "　", "　", "　", "　", " 0",
                     "   0.0", "",   "　", "",   "　",       "",      "　", "　", "　", "　", "　", "　"}));
}

TEST_F(RaceViewTablesTest, PastRunTableGrowsWhenTheCountedRowsFallShort)
{
    race->PastRowCount = 0; // the ability deviation pass has not run
    const CellGrid table = BuildPastRunTable(*race);
    ASSERT_EQ(table.RowCount(), 3);
    EXPECT_EQ(ToUtf8(table.Cell(2, 2)), "02");
    EXPECT_EQ(ToUtf8(table.Cell(2, 16)), "");
}

TEST_F(RaceViewTablesTest, LapCardShowsOnlyTheFiguresARunnerHas)
{
    Runner& first = race->Runners[0];
    first.RecordTime = 101.255;
    first.RankRecordTime = 1;
    first.RunnerAxisCode = "AB12CD";
    first.LapMark = "A";
    first.FinishPos = 1;
    first.RunningStyleRank = 2;
    const CellGrid table = BuildLapCard(*race);
    EXPECT_EQ(RowUtf8(table, 1),
              (Cells{"1",  "01",     "アオイウマ", "  2.25", " 2", " 0.50", "101.25", " 1",      "　", "　", "　",
                     "　", "  61.2", " 1",         "　",     "　", "　",    "　",     "AB12CDA", "　", " 1"}));
}

TEST_F(RaceViewTablesTest, RaceCardKeysReadNinetyNineWithoutAResult)
{
    race->Runners[1].FinishPos = 2;
    const CellGrid table = BuildRaceCardKeys(*race);
    EXPECT_EQ(ToUtf8(table.Cell(1, 0)), " 1") << "bracket and horse number are %2d like the ranks";
    EXPECT_EQ(ToUtf8(table.Cell(2, 1)), " 2");
    EXPECT_EQ(ToUtf8(table.Cell(1, 10)), "99");
    EXPECT_EQ(ToUtf8(table.Cell(2, 10)), " 2");
    EXPECT_EQ(table.ColumnWidth(13), 0);
    EXPECT_EQ(table.ColumnWidth(2), 180);
    EXPECT_EQ(ToUtf8(table.Cell(0, 12)), "前 5走");
}

TEST_F(RaceViewTablesTest, RankingTableHeaders)
{
    const CellGrid table = BuildRankingTable(*race);
    EXPECT_EQ(RowUtf8(table, 0),
              (Cells{"枠",     "馬",     "馬名",  "実力",     "順",       "ｽﾀﾐﾅ",     "順",   "前半TM", "順",
                     "後半TM", "順",     "B確率", "順",       "実績確率", "順",       "格",   "順",     "平均着差",
                     "順",     "修正RT", "順",    "ｺﾞｰﾙ着差", "順",       "最終ｺﾞｰﾙ", "順",   "基準TM", "順",
                     "最良TM", "順",     "脚質",  "順",       "総合Min",  "順",       "FT差", "順",     "着順"}));
}

} // namespace
} // namespace vornal
