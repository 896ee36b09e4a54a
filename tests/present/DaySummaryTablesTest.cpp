#include "present/DaySummaryTables.h"

#include <gtest/gtest.h>

#include "PresentTestSupport.h"
#include "present/RaceList.h"
#include "vocab/Combinations.h"

namespace vornal {
namespace {

using presenttest::RowUtf8;
using presenttest::SetRace;
using Cells = std::vector<std::string>;

PairPayout Pair(std::string_view key, int payout, int popularity)
{
    PairPayout pair;
    pair.Key = key;
    pair.Payout = payout;
    pair.Popularity = popularity;
    return pair;
}

// Slot 0: a graded race with results; slot 1: eight runners, no 馬連 but a 枠連 payout;
// slot 2: a steeplechase; slot 3: a newcomer race on dirt; slot 4: loaded without a year.
class DaySummaryTablesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RaceSlot& race = SetRace(*day, 0, "2026060705030511", 10);
        race.RaceName = Sjis("東京優駿");
        race.GradeCode = "A";
        race.WeightKindCode = "3";
        race.RaceKindCode = "13";
        race.ConditionCodes[4] = "999";
        race.TrackCode = "11";
        race.DistanceText = "2400";
        race.PostTime = "1540";
        race.PopularityShare = 55.3;
        race.WinResult[0] = {3, 560, 2};
        race.PlaceResult[0] = {3, 180, 2};
        race.PlaceResult[1] = {7, 320, 6};
        race.PlaceResult[2] = {1, 150, 1};
        race.QuinellaResult[0] = Pair(" 3- 7", 1230, 5);
        race.WideResult[0] = Pair(" 3- 7", 410, 4);
        race.WideResult[1] = Pair(" 1- 3", 250, 1);
        race.WideResult[2] = Pair(" 1- 7", 600, 8);
        race.PredictedQuinellaPayout[QuinellaIndex(3, 7)] = 987.4;
        race.QuinellaRank[QuinellaIndex(3, 7)] = 4;
        race.RaceCountWinnerBase = 7;
        race.LapSpreadPlus = {1.25, 0.5, 0.75};
        race.LapSpreadMinus = {-1.25, -0.5, -0.75};

        Runner& winner = race.Runners[2];
        winner.FinishPos = 1;
        winner.RankAchievement = 2;
        winner.AchievementProb = 0.1234;
        winner.RankClass = 1;
        winner.ClassValue = 1234.56;
        winner.RankAvgMargin = 3;
        winner.AvgMargin = 0.5;
        winner.RankRotation = 4;
        winner.RotationShare = 0.25;
        winner.RankGoal = 5;
        winner.GoalMargin = 0.125;
        winner.RankFinalGoal = 1;
        winner.WinRank = 1;
        winner.PredictedWinPayout = 480.4;
        winner.BRank = 2;
        winner.WinPopularity = 2;
        winner.AbilityIndex = 52.34;
        winner.RankAbility = 1;
        winner.RunningStyle = 3.25;
        winner.RunningStyleRank = 4;
        winner.Corner4StdDev = 1.5;
        winner.RecordTime = 101.26;
        winner.RankRecordTime = 2;
        winner.RunnerAxisCode = "A1B2C3";
        winner.OverallMin = kNoValue;
        winner.RankOverallMin = 9;

        Runner& second = race.Runners[6];
        second.FinishPos = 2;
        second.WinRank = 3;
        second.PredictedWinPayout = 1500.6;
        second.BRank = 6;
        second.RankFinalGoal = 2;
        second.AchievementProb = 0.0851;
        second.FinalGoalMargin = 0.3456;

        race.Runners[0].FinishPos = 3;

        RaceSlot& small = SetRace(*day, 1, "2026060705030501", 8, "0");
        small.TrackCode = "24";
        small.DistanceText = "1200";
        small.RaceKindCode = "12";
        small.ConditionCodes[4] = "703";
        small.BracketResult[0] = Pair(" 2- 5", 3000, 7);
        small.PredictedQuinellaPayout[QuinellaIndex(2, 5)] = 2500.0;
        small.QuinellaRank[QuinellaIndex(2, 5)] = 12;
        std::string ra(day->RaceRA[1].View());
        ra[889] = '3'; // dirt going 重
        day->RaceRA[1] = ra;

        RaceSlot& jump = SetRace(*day, 2, "2026060705030504", 12);
        jump.TrackCode = "51";
        jump.ConditionCodes[4] = "999";
        jump.RaceCountWinnerBase = 5;

        RaceSlot& newcomers = SetRace(*day, 3, "2026060705030505", 12);
        newcomers.TrackCode = "23";
        newcomers.ConditionCodes[4] = "701";
        newcomers.RaceCountWinnerBase = 5;

        day->Races[4].RaceLoaded = true;
        day->RaceCount = 5;
    }

    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();
};

const Cells kRace0 = {"東京3回5日11R", "10頭", "東京優駿", "Ｇ１", "馬齢", "サラ系３歳上ｵｰﾌﾟﾝ　　 ", "芝左2400m良　"};

Cells Join(Cells a, const Cells& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(DaySummaryTablesTest, RaceListNamesEverySlotWithAYear)
{
    const std::vector<RaceListEntry> list = BuildRaceList(*day);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(ToUtf8(list[0].Text), "東京3回 5日11R");
    EXPECT_EQ(ToUtf8(list[1].Text), "東京3回 5日 1R");
    EXPECT_EQ(list[3].Slot, 3);
}

TEST_F(DaySummaryTablesTest, MainTableRowsOfTheWinnerAndRunnerUp)
{
    const CellGrid table = BuildMainTable(*day);
    ASSERT_EQ(table.RowCount(), 6); // header and the five loaded slots
    EXPECT_EQ(RowUtf8(table, 0), (Cells{"場所回日ﾚｰｽNo",
                                        "頭数",
                                        "競走名",
                                        "ｸﾞﾚｰﾄﾞ",
                                        "重区",
                                        "条件",
                                        "ﾄﾗｯｸ",
                                        "1着",
                                        "順",
                                        "実績確",
                                        "順",
                                        "格",
                                        "順",
                                        "着差",
                                        "順",
                                        "修正RT",
                                        "順",
                                        "ｺﾞｰﾙ差",
                                        "順",
                                        "最終ｺﾞ",
                                        "2着",
                                        "順",
                                        "実績確",
                                        "順",
                                        "格",
                                        "順",
                                        "着差",
                                        "順",
                                        "修正RT",
                                        "順",
                                        "ｺﾞｰﾙ差",
                                        "順",
                                        "最終ｺﾞ",
                                        "単配当",
                                        "馬連",
                                        "馬連配当",
                                        "1着R順",
                                        "単勝配",
                                        "2着R順",
                                        "単勝配",
                                        "馬連予配",
                                        "順",
                                        "占有率",
                                        "B1順",
                                        "B2順",
                                        "単順",
                                        "連順"}));
    EXPECT_EQ(RowUtf8(table, 1),
              Join(kRace0, {"③",        " 2",       "  12.3",  " 1",     "1234.6",   " 3",     " 0.500",   " 4",
                            " 0.250",   " 5",       " 0.125",  " 1",     " 0.000",   "⑦",      " 0",       "   8.5",
                            " 0",       "   0.0",   " 0",      " 0.000", " 0",       " 0.000", " 0",       " 0.000",
                            " 2",       " 0.346",   "    560", "  3- 7", "    1230", " 1",     "     480", " 3",
                            "    1501", "     987", "  4",     " 55.3",  " 2",       " 6",     "  2",      "  5"}));
}

TEST_F(DaySummaryTablesTest, MainTableFallsBackToTheBracketQuinella)
{
    const CellGrid table = BuildMainTable(*day);
    Cells expected = {"東京3回5日 1R", " 8頭", "", "一般", "", "サラ系３歳　未勝利　　", "ﾀﾞ右1200m重　"};
    expected.resize(47);
    expected[34] = "  2- 5";
    expected[35] = "    3000";
    expected[40] = "    2500";
    expected[41] = " 12";
    expected[42] = "  0.0";
    expected[46] = "  7";
    EXPECT_EQ(RowUtf8(table, 2), expected);
    // A loaded slot without a year keeps an empty row.
    EXPECT_EQ(RowUtf8(table, 5), Cells(47));
}

TEST_F(DaySummaryTablesTest, LapCheckTableSkipsSteeplechasesAndNewcomerRaces)
{
    const CellGrid table = BuildLapCheckTable(*day);
    ASSERT_EQ(table.ColumnCount(), 63);
    Cells expected = Join(kRace0, {"  7", "  1.2", " -1.2", "  0.5", " -0.5", "  0.8", " -0.8"});
    // Winner, runner-up and third: only the winner has lap figures; 10000 lap values hide.
    expected = Join(expected, {" 52.3", " 1", "  3.2", " 4", "  1.5", "101.3", " 2", "", "", "", "", "A1B2C3"});
    expected = Join(expected, {"  0.0", "", "  0.0", "", "  0.0", "", "", "", "", "", "", ""});
    expected = Join(expected, {"  0.0", "", "  0.0", "", "  0.0", "", "", "", "", "", "", ""});
    expected = Join(expected, {"    560", " 2", "    180", " 2", "    320", " 6", "    150", " 1", "    410", "    250",
                               "    600", "    1230", "  5"});
    EXPECT_EQ(RowUtf8(table, 1), expected);
    for (int row : {3, 4}) {
        const Cells cells = RowUtf8(table, row);
        EXPECT_NE(cells[0], "") << row;
        EXPECT_EQ(Cells(cells.begin() + 7, cells.end()), Cells(56)) << row;
    }
}

TEST_F(DaySummaryTablesTest, LapTimeTableHidesMissingOverallMinButShowsItsRank)
{
    const CellGrid table = BuildLapTimeTable(*day);
    ASSERT_EQ(table.ColumnCount(), 56);
    const Cells cells = RowUtf8(table, 1);
    EXPECT_EQ(cells[13], "③");
    EXPECT_EQ(cells[18], "  3.25");
    EXPECT_EQ(cells[20], "");
    EXPECT_EQ(cells[21], " 9");
    EXPECT_EQ(cells[25], "A1B2C3");
    EXPECT_EQ(cells[26], "⑦");
    EXPECT_EQ(cells[42], " 1"); // winner's ability rank
    EXPECT_EQ(cells[43], "");   // the runner-up has none
    EXPECT_EQ(cells[46], "101.26");
    EXPECT_EQ(cells[47], "");
}

TEST_F(DaySummaryTablesTest, BetCandidatesListTheFiveBestByFinalGoal)
{
    const CellGrid table = BuildBetCandidateTable(*day);
    Cells expected = Join(kRace0, {"15:40", "③", "    12", "⑦", "     9", " 0.346"});
    expected.resize(22);
    EXPECT_EQ(RowUtf8(table, 1), expected);
}

TEST_F(DaySummaryTablesTest, HeadersOfTheLapTablesAndCandidates)
{
    const Cells race = {"場所回日ﾚｰｽNo", "頭数", "競走名", "ｸﾞﾚｰﾄﾞ", "重区", "条件", "ﾄﾗｯｸ"};
    const Cells lapRunner = {"KTM",     "順", "最良TM", "順", "脚質", "順",
                             "総合min", "順", "FT差",   "順", "大局", "軸馬ｺｰﾄﾞ"};
    Cells lapTime = Join(race, {"勝TM", "勝偏差", "前SP", "前偏差", "後SP", "後偏差", "1着"});
    lapTime = Join(Join(Join(lapTime, lapRunner), {"2着"}), lapRunner);
    lapTime = Join(lapTime, {"単配当", "馬連", "馬連配当", "実1順", "実2順", "実T1順", "実T2順", "実TM1", "実前1",
                             "実後1", "実TM2", "実前2", "実後2", "ｽﾀﾐﾅ1", "順", "ｽﾀﾐﾅ2", "順"});
    EXPECT_EQ(RowUtf8(BuildLapTimeTable(*day), 0), lapTime);

    const Cells checkRunner = {"実力", "順",     "脚質", "順",     "脚偏差", "実績TM",
                               "順",   "前半SP", "順",   "後半SP", "順",     "軸Code"};
    Cells lapCheck = Join(race, {"S数", "勝幅H", "勝幅L", "前幅H", "前幅L", "後幅H", "後幅L"});
    lapCheck = Join(Join(Join(lapCheck, checkRunner), checkRunner), checkRunner);
    lapCheck = Join(lapCheck, {"単勝配", "人順", "複配1", "人順", "複配2", "人順", "複配3", "人順", "ﾜｲﾄﾞ1", "ﾜｲﾄﾞ2",
                               "ﾜｲﾄﾞ3", "馬連配", "人順"});
    EXPECT_EQ(RowUtf8(BuildLapCheckTable(*day), 0), lapCheck);

    EXPECT_EQ(RowUtf8(BuildBetCandidateTable(*day), 0),
              Join(race, {"発走", "◎", "◎配当", "○", "○配当", "○着差", "▲", "▲配当", "▲着差", "△", "△配当", "△着差",
                          "⑤", "⑤配当", "⑤着差"}));
}

} // namespace
} // namespace vornal
