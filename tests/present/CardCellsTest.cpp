#include "present/CardCells.h"

#include <gtest/gtest.h>

#include "PresentTestSupport.h"
#include "text/Format.h"

namespace vornal {
namespace {

// A text run as the tests write it: its position, then "10b" for size and weight when they
// are not 8 point regular, "p6" for a fixed pitch, "blue" or "ink" for a colour other than
// black, and the text: "101,18 10b アオイウマ".
std::vector<std::string> Runs(const DisplayList& list)
{
    std::vector<std::string> runs;
    for (const TextRun& t : list.Texts()) {
        std::string run = fmt::format("{},{}", t.X, t.Y);
        if (t.Points != 8 || t.Bold) {
            run += fmt::format(" {}{}", t.Points, t.Bold ? "b" : "");
        }
        if (t.Pitch != 0) {
            run += fmt::format(" p{}", t.Pitch);
        }
        if (t.Ink != colours::kBlack) {
            run += t.Ink == colours::kBlue ? " blue" : " ink";
        }
        runs.push_back(run + " " + ToUtf8(t.Text));
    }
    return runs;
}

std::vector<std::string> Lines(const DisplayList& list)
{
    std::vector<std::string> lines;
    for (const TextRun& t : list.Texts()) {
        lines.push_back(ToUtf8(t.Text));
    }
    return lines;
}

Colour Background(const DisplayList& list)
{
    return std::get<FilledRect>(list.Items.front()).Fill;
}

class CardCellsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        race = &presenttest::SetRace(*day, 2, "2026010506010111", 3);
        Runner& r = race->Runners[0];
        r.HorseName = Sjis("アオイウマ");
        r.SexCode = "1";
        r.RunnerHorseId = "2022104567";
        r.CoatColourCode = 4;
        r.TotalPrize = 1520;
        r.CarriedWeight = "575";
        r.TotalStarts = 12;
        r.ClassValue = 1234.4;
        r.ClassMargin = 0.1234;
        r.PredictedWinPayout = 0;
        r.WinOdds = 6.25;
        r.WinShare = 12.5;
        r.BShare = 0;
        r.WinRank = 7;
        r.BRank = 1;
        r.OverallMin = kNoValue;
    }

    std::optional<DisplayList> Card(int column, std::string_view horseNo = " 1", bool developer = false)
    {
        return DrawRaceCardCell(*day, 2, column, 1, horseNo, rect, developer);
    }
    std::optional<DisplayList> Detail(int column, std::string_view horseNo = "01")
    {
        return DrawDetailCell(*day, 2, column, 1, horseNo, rect);
    }
    PastRun& Run0()
    {
        PastRun& run = race->Runners[0].Past[0];
        run.PastRunPresent = true;
        run.PastRunKey = "2025121406";
        run.PastDistance = 1800;
        run.PastPlace = 2;
        run.PastPopularity = 5;
        run.PastTime = "1492";
        run.PastLast3F = "352";
        run.PastTrack = "26";
        run.PastGoing = "3";
        run.PastHorseNo = "07";
        run.PastFrameNo = "4";
        run.PastCorner = {3, 0, 12, 1};
        run.PastTimeDiff = "-003";
        run.PastRaceName3 = Sjis("　　　");
        run.PastCondition = "005";
        run.PastBaseTime = 999.0;
        return run;
    }

    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();
    RaceSlot* race = nullptr;
    CellRect rect{100, 17, 180, 112};
};

TEST_F(CardCellsTest, NameCellLinesAndPlaces)
{
    const std::optional<DisplayList> cell = Card(2);
    ASSERT_TRUE(cell);
    EXPECT_EQ(Background(*cell), colours::kWhite);
    // Lines start 1 pixel inside the cell; 10 point lines are 13 pixels, 8 point lines 10.
    EXPECT_EQ(Runs(*cell), (std::vector<std::string>{
                               "101,18 10b アオイウマ",
                               "101,31 牡4 黒鹿毛",
                               "161,31   1520万円",
                               "236,31 57.5kg",
                               "141,41 p6 出走総ﾚｰｽ数　:     12",
                               "141,51 p6 格　　　　 　:   1234",
                               "141,61 p6 格基準着差　 :  0.123",
                               "141,71 p6 単勝予想配当 :",
                               "141,81 p6 単勝当日ｵｯｽﾞ :    6.2",
                               "141,91 p6 単勝期待確率 : 12.500",
                               "141,101 p6 B単勝期待確率:",
                               "101,111 blue 単勝ﾗﾝｷﾝｸﾞ= 7",
                               "191,111 blue B確率ﾗﾝｷﾝｸﾞ=◎",
                           }));
}

TEST_F(CardCellsTest, RankMarksAndCoatBlanks)
{
    Runner& r = race->Runners[0];
    const std::pair<int, const char*> ranks[] = {{1, "◎"}, {2, "○"}, {3, "▲"}, {4, "△"}, {5, " 5"}, {0, ""}};
    for (const auto& [rank, mark] : ranks) {
        r.WinRank = rank;
        EXPECT_EQ(Lines(*Card(2))[11], std::string("単勝ﾗﾝｷﾝｸﾞ=") + mark);
    }
    for (const int coat : {0, 12}) {
        r.CoatColourCode = coat;
        EXPECT_EQ(Lines(*Card(2))[1], "牡4       ") << coat;
    }
    r.SexCode = "3";
    r.CoatColourCode = 2;
    r.CarriedWeight = "   ";
    const std::vector<std::string> lines = Lines(*Card(2));
    EXPECT_EQ(lines[1], "ｾﾝ4 栃栗毛");
    EXPECT_EQ(lines[3], "") << "no weight when it is blank";
}

TEST_F(CardCellsTest, FinishCellColoursAndDeveloperLines)
{
    Runner& r = race->Runners[0];
    r.FinishPos = 0;
    std::optional<DisplayList> cell = Card(4);
    EXPECT_EQ(Background(*cell), colours::kWhite);
    EXPECT_EQ(Lines(*cell), (std::vector<std::string>{"着順:", " "}));
    r.FinishPos = 2;
    r.FinalWinOdds = 12.34;
    r.RotationPayout = 1234.56;
    r.RotationWinRate = 8.25;
    r.RotationExcess = -3;
    cell = Card(4, " 1", true);
    EXPECT_EQ(Background(*cell), (Colour{202, 255, 228}));
    EXPECT_EQ(Runs(*cell), (std::vector<std::string>{
                               "101,18 着順　:    2",
                               "101,28 確ｵｯｽﾞ: 12.3",
                               "101,38 blue RT配当: 1234.6",
                               "101,48 blue RT勝率:    8.2",
                               "101,58 blue 過剰:   -3.0",
                           }));
}

TEST_F(CardCellsTest, MissingOverallMinLeavesTheLabel)
{
    EXPECT_EQ(Lines(*Card(6))[5], "総合Min　　　:");
    EXPECT_EQ(Lines(*Detail(3))[6], "総合Min　 :");
    EXPECT_EQ(Lines(*Detail(3))[7], "総合Min順 : ");
    race->Runners[0].OverallMin = 9999.94;
    race->Runners[0].RankOverallMin = 3;
    EXPECT_EQ(Lines(*Card(6))[5], "総合Min　　　:9999.9");
    EXPECT_EQ(Lines(*Detail(3))[7], "総合Min順 :    3");
}

TEST_F(CardCellsTest, PastRunOnTheRaceCard)
{
    Run0();
    const std::optional<DisplayList> cell = Card(8);
    ASSERT_TRUE(cell);
    // Track 26 is dirt here (the past-run table shows a full-width blank from 25 on); a
    // base time of 999.0 leaves its line blank; a name of full-width blanks gives the class.
    EXPECT_EQ(Lines(*cell), (std::vector<std::string>{"中山12.14 1勝ｸﾗｽ", "ダ重1800ｹﾞ⑦枠4", " 2着　 5人気",
                                                      "展開: 3-  -12- 1", "ﾀｲﾑ:1.49.2 3F:35.2", "着差:-0.3", " "}));
    PastRun& run = race->Runners[0].Past[0];
    run.PastTimeDiff = "    ";
    run.PastPlace = 0;
    run.PastBaseTime = 85.25;
    run.PastRaceName3 = Sjis("有馬記");
    run.PastTrack = "  ";
    const std::vector<std::string> lines = Lines(*Card(8));
    EXPECT_EQ(lines[0], "中山12.14 有馬記");
    EXPECT_EQ(lines[1], "  重1800ｹﾞ⑦枠4");
    EXPECT_EQ(lines[2], " ");
    EXPECT_EQ(lines[5], "着差:");
    EXPECT_EQ(lines[6], "基準ﾀｲﾑ:   85.2");
    // A run that is not there leaves the cell white and empty.
    EXPECT_TRUE(Lines(*Card(9)).empty());
}

TEST_F(CardCellsTest, PastRunOnTheDetailGrid)
{
    PastRun& run = Run0();
    run.PastBaseTime = 0;
    run.PastWinnerFirstPace = 36.125;
    run.PastFirstPace = 0;
    run.PastAdjLast3F = 0;
    run.PastNearLast3F = 34.5;
    run.PastWinnerBaseTime = 0;
    run.PastRankKey = 1.5;
    run.PastGapRank = 0;
    run.PastGradeCode = "";
    run.PastAxisCode = "12A3B4";
    const std::optional<DisplayList> cell = Detail(4);
    ASSERT_TRUE(cell);
    // One line height (10 pixels) from the top; the second items start where the base-time line ends
    // (15 bytes at 6 pixels), the rank 5 pixels further, the axis code 15 after the pattern.
    EXPECT_EQ(Runs(*cell), (std::vector<std::string>{
                               "101,27 2025.12.14 中山  ダ重1800",
                               "101,37  2着 1492 3F:352 着差:-003",
                               "101,47 展開: 3-  -12- 1",
                               "101,57 p6 blue 基準ﾀｲﾑ:    0.0",
                               "101,67 p6 blue K前半:36.12",
                               "191,67 p6 blue  前半:     ",
                               "101,77 p6 blue F3指 :     ",
                               "191,77 p6 blue  後半:34.50",
                               "101,87 p6 blue 勝TM :     ",
                               "101,97 p6 blue 総合 : 1.50",
                               "196,97 p6 blue 順:  ",
                               "101,107 p6 blue ﾊﾟﾀｰﾝｺｰﾄﾞ:   ",
                               "194,107 p6 blue 12A3B4",
                           }));
    run.PastBaseTime = 999.0;
    EXPECT_EQ(Lines(*Detail(4))[3], " ");
}

TEST_F(CardCellsTest, DetailNameCell)
{
    Runner& r = race->Runners[0];
    r.FinishPos = 1;
    r.Past[0].PastBaseTime = 91.25;
    r.RankBaseTime = 0;
    r.BestBaseTime = 0;
    r.RankBestBaseTime = 4;
    const std::optional<DisplayList> cell = Detail(2);
    EXPECT_EQ(Background(*cell), (Colour{255, 185, 255}));
    EXPECT_EQ(Runs(*cell), (std::vector<std::string>{
                               "101,18 10b アオイウマ",
                               "101,31 牡4",
                               "101,51 p6 基準ﾀｲﾑ　　:   91.2",
                               "101,61 p6 順位　　　 :",
                               "101,71 p6 最良基準ﾀｲﾑ:",
                               "101,81 p6 順位　　　 :      4",
                           }));
}

TEST_F(CardCellsTest, RowsFindTheirRunnerByHorseNumber)
{
    race->Runners[2].HorseName = Sjis("サンバンメ");
    race->Runners[2].FrameNo = "3";
    EXPECT_EQ(Lines(*Card(2, " 3"))[0], "サンバンメ");
    EXPECT_EQ(Lines(*Detail(2, "03"))[0], "サンバンメ");
    const std::optional<DisplayList> frame = Card(0, " 3");
    EXPECT_EQ(Background(*frame), (Colour{255, 0, 0}));
    EXPECT_EQ(frame->Texts()[0].Ink, colours::kWhite);
    EXPECT_EQ(frame->Texts()[0].Bold, true);
    EXPECT_EQ(Background(*Card(1, " 3")), colours::kInfo);
    // The header row, horse numbers outside the race and the hidden columns show the grid text.
    EXPECT_FALSE(DrawRaceCardCell(*day, 2, 2, 0, " 1", rect, false));
    EXPECT_FALSE(Card(2, " 4"));
    EXPECT_FALSE(Card(2, "  "));
    EXPECT_FALSE(Card(13));
    EXPECT_FALSE(Detail(9));
}

} // namespace
} // namespace vornal
