#include "present/ClipboardText.h"

#include <gtest/gtest.h>

#include "PresentTestSupport.h"

namespace vornal {
namespace {

TEST(ClipboardTextTest, TitleLineThenTabSeparatedRowsEndedByCrLf)
{
    CellGrid grid(2, 2);
    grid.Set(0, 0, Sjis("枠"));
    grid.Set(0, 1, Sjis("馬"));
    grid.Set(1, 1, "01");
    EXPECT_EQ(ToUtf8(ClipboardText(grid, Sjis("2026年01月05日"))), "2026年01月05日\r\n枠\t馬\r\n\t01\r\n");
}

TEST(ClipboardTextTest, TitlesNameTheDayAndTheRace)
{
    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();
    presenttest::SetRace(*day, 0, "2026010506010101", 8);
    RaceSlot& race = presenttest::SetRace(*day, 1, "2026010506010111", 8);
    EXPECT_EQ(ToUtf8(DayTitle(*day)), "2026年01月05日");
    EXPECT_EQ(ToUtf8(RaceTitle(*day, 1, CourseForm::Short)), "2026年01月05日中山11R");
    EXPECT_EQ(ToUtf8(RaceTitle(*day, 1, CourseForm::Display)), "2026年01月05日中山  11R");

    race.RaceCountWinnerBase = 12;
    race.RaceMeanWinnerBase = 101.234;
    race.LapSpreadPlus = {1.5, 0.25, 0.125};
    race.LapSpreadMinus = {-1.5, -0.25, -0.125};
    race.RaceCountFirstPace = 9;
    race.RaceCountLast3F = 10;
    race.RaceMeanLast3F = 35.6;
    EXPECT_EQ(ToUtf8(LapCardTitle(*day, 1)), "2026年01月05日中山  11R\r\n"
                                             "\tサンプル数\t平均\t上限\t下限\r\n"
                                             "勝ちタイム　　\t12\t101.23\t  1.50\t -1.50\r\n"
                                             "前半スピード　\t 9\t  0.00\t  0.25\t -0.25\r\n"
                                             "後半スピード　\t10\t 35.60\t  0.12\t -0.12");
}

} // namespace
} // namespace vornal
