#include <gtest/gtest.h>

#include <set>
#include <string>

#include "text/Encoding.h"
#include "vocab/TextHelpers.h"

namespace vornal {
namespace {

TEST(CircledNumber, HorseNumbersAndOthers)
{
    std::set<std::string> seen;
    for (int n = 1; n <= 18; ++n) {
        std::string mark = CircledNumber(n);
        ASSERT_EQ(mark.size(), 2u) << n;
        // ① .. ⑱ are consecutive codes of the NEC extension row.
        EXPECT_EQ(static_cast<unsigned char>(mark[0]), 0x87) << n;
        EXPECT_EQ(static_cast<unsigned char>(mark[1]), 0x40 + n - 1) << n;
        seen.insert(mark);
    }
    EXPECT_EQ(seen.size(), 18u);
    EXPECT_EQ(CircledNumber(1), Sjis("①"));
    EXPECT_EQ(CircledNumber(18), Sjis("⑱"));
    for (int n : {0, 19, -1, 20, 99}) {
        EXPECT_EQ(CircledNumber(n), "\x81\x7C") << n;
    }
}

TEST(ShiftClock, MovesTheClockWithoutWrapping)
{
    EXPECT_EQ(ShiftClock("1530", -30), "1500");
    EXPECT_EQ(ShiftClock("0905", -10), "0855");
    EXPECT_EQ(ShiftClock("2350", 20), "2410");
    EXPECT_EQ(ShiftClock("0959", 1), "1000");
    EXPECT_EQ(ShiftClock("1000", -1), "0959");
    EXPECT_EQ(ShiftClock("1010", -89), "0841");
    EXPECT_EQ(ShiftClock("0000", 0), "0000");
    EXPECT_EQ(ShiftClock("1200", 1440), "3600");
}

TEST(ShiftClock, BlankTimeStaysBlank)
{
    for (int minutes : {0, -30, 45}) {
        EXPECT_EQ(ShiftClock("    ", minutes), "") << minutes;
        EXPECT_EQ(ShiftClock("", minutes), "") << minutes;
        EXPECT_EQ(ShiftClock(" ", minutes), "") << minutes;
    }
}

TEST(OverwriteAt, ZeroesPartOfARecordLine)
{
    std::string line;
    for (int i = 0; i < 1270; ++i) {
        line += static_cast<char>('A' + i % 26);
    }
    line += "\x82\xA0";
    line.resize(1270);
    std::string result = OverwriteAt(line, "000000000", 3);
    ASSERT_EQ(result.size(), 1270u);
    EXPECT_EQ(result.substr(0, 2), line.substr(0, 2));
    EXPECT_EQ(result.substr(2, 9), "000000000");
    EXPECT_EQ(result.substr(11), line.substr(11));
}

TEST(OverwriteAt, EdgesOfTheText)
{
    EXPECT_EQ(OverwriteAt("abcdef", "XY", 1), "XYcdef");
    EXPECT_EQ(OverwriteAt("abcdef", "XY", 5), "abcdXY");
    // A piece running over the end lengthens the text by what does not fit.
    EXPECT_EQ(OverwriteAt("abcdef", "XYZ", 5), "abcdXYZ");
    EXPECT_EQ(OverwriteAt("abc", "XY", 4), "abcXY");
    // Past the end: the gap reads as blanks, as short record fields do.
    EXPECT_EQ(OverwriteAt("ab", "X", 5), "ab  X");
    EXPECT_EQ(OverwriteAt("", "XY", 1), "XY");
    EXPECT_EQ(OverwriteAt("abc", "", 2), "abc");
    EXPECT_EQ(OverwriteAt("abc", "XY", 0), "abc");
    EXPECT_EQ(OverwriteAt("abc", "XY", -3), "abc");
}

TEST(SpaceForZero, RightAlignedOrBlank)
{
    EXPECT_EQ(SpaceForZero("07"), " 7");
    EXPECT_EQ(SpaceForZero("05"), " 5");
    EXPECT_EQ(SpaceForZero("12"), "12");
    EXPECT_EQ(SpaceForZero("00"), "  ");
    EXPECT_EQ(SpaceForZero("005"), "  5");
    EXPECT_EQ(SpaceForZero(" 9"), " 9");
    EXPECT_EQ(SpaceForZero("  "), "  ");
    EXPECT_EQ(SpaceForZero("ab"), "  ");
    EXPECT_EQ(SpaceForZero("1a"), " 1");
    EXPECT_EQ(SpaceForZero(""), "");
}

TEST(DropWideBlanks, RemovesWholeWideBlanksOnly)
{
    EXPECT_EQ(DropWideBlanks(Sjis("　中山　記念　")), Sjis("中山記念"));
    EXPECT_EQ(DropWideBlanks(Sjis("　　　")), "");
    EXPECT_EQ(DropWideBlanks("plain text"), "plain text");
    EXPECT_EQ(DropWideBlanks(""), "");
    // ASCII blanks stay.
    EXPECT_EQ(DropWideBlanks(Sjis("ａ　ｂ c")), Sjis("ａｂ c"));
    // Half-width katakana are single bytes: the blank after them is still a whole character.
    EXPECT_EQ(DropWideBlanks(Sjis("ｱ　ｲ")), Sjis("ｱｲ"));
}

TEST(DropWideBlanks, NeverMatchesATrailByte)
{
    // ャ (83 81) then '@' (40): bytes 81 40 straddle two characters.
    EXPECT_EQ(DropWideBlanks("\x83\x81\x40"), "\x83\x81\x40");
    // ＝ (81 81) then '@'.
    EXPECT_EQ(DropWideBlanks("\x81\x81\x40"), "\x81\x81\x40");
    // ャ then a real blank: only the blank goes.
    EXPECT_EQ(DropWideBlanks("\x83\x81\x81\x40"), "\x83\x81");
    // A run of ＝ characters: the middle 81 40 is never a blank.
    EXPECT_EQ(DropWideBlanks("\x81\x81\x81\x81\x40"), "\x81\x81\x81\x81\x40");
    // A lead byte cut off at the end is kept as it is.
    EXPECT_EQ(DropWideBlanks("A\x81\x40\x81"), "A\x81");
}

} // namespace
} // namespace vornal
