#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "Cp932Checks.h"
#include "text/Encoding.h"
#include "vocab/CodeNames.h"

namespace vornal {
namespace {

using testing::ForEachTwoCharCode;
using testing::IsAllDoubleByte;
using testing::IsWholeCp932;

const std::string kBlank6(6, ' ');
const std::string kBlank4(4, ' ');

// The foreign codes of the racecourse table, the six without a name included.
const std::vector<std::string> kForeignCodes = {
    "A0", "A2", "A4", "A6", "A8", "B0", "B2", "B4", "B6", "B8", "C0", "C2", "C4", "C5", "C6", "C7", "C8", "D0",
    "D2", "D4", "D6", "D8", "E0", "E2", "E4", "E6", "E8", "F0", "F1", "F2", "F4", "F6", "F8", "G0", "G2", "G4",
    "G6", "G8", "H0", "H2", "H4", "H6", "H8", "I0", "I2", "I4", "I6", "I8", "J0", "J2", "J4", "J6", "J8", "K0",
    "K2", "K4", "K6", "K8", "L0", "L2", "L4", "L6", "L8", "M0", "M2", "M4", "M6", "M8", "N0", "N2",
};

std::string TwoDigitCode(int n)
{
    return (n < 10 ? "0" : "") + std::to_string(n);
}

TEST(CourseName, EveryCodeHasTheFixedWidths)
{
    int named = 0;
    ForEachTwoCharCode([&](std::string_view code) {
        std::string display = CourseName(code, CourseForm::Display);
        std::string shortName = CourseName(code, CourseForm::Short);
        ASSERT_EQ(display.size(), 6u) << code;
        ASSERT_EQ(shortName.size(), 4u) << code;
        EXPECT_TRUE(IsWholeCp932(display)) << code;
        EXPECT_TRUE(IsWholeCp932(shortName)) << code;
        // File names and progress texts use the short form: full-width characters only,
        // padded with ASCII blanks, never half-width katakana.
        std::string shortText = shortName.substr(0, shortName.find_last_not_of(' ') + 1);
        EXPECT_TRUE(IsAllDoubleByte(shortText)) << code;
        if (display != kBlank6) {
            ++named;
            EXPECT_NE(shortName, kBlank4) << code;
        }
    });
    // 10 JRA, 32 local and 64 named foreign racecourses.
    EXPECT_EQ(named, 106);
}

TEST(CourseName, DisplayAndShortForms)
{
    EXPECT_EQ(CourseName("06", CourseForm::Display), "\x92\x86\x8E\x52  ");
    EXPECT_EQ(CourseName("06", CourseForm::Short), "\x92\x86\x8E\x52");
    EXPECT_EQ(CourseName("32", CourseForm::Display), Sjis("岩見沢"));
    EXPECT_EQ(CourseName("32", CourseForm::Short), Sjis("岩見"));
    EXPECT_EQ(CourseName("M2", CourseForm::Display), Sjis("マカオ"));
    EXPECT_EQ(CourseName("M2", CourseForm::Short), Sjis("澳門"));
    // Half-width katakana are one byte each, so a country name fills the six bytes.
    EXPECT_EQ(CourseName("C5", CourseForm::Display), "\xB5\xCF\xB0\xDD  ");
    EXPECT_EQ(CourseName("B2", CourseForm::Display), Sjis("ｱｲﾙﾗﾝﾄ"));
    // Padding of mixed forms: a full-width blank after タイ, one ASCII blank after ｽﾍﾟｲﾝ.
    EXPECT_EQ(CourseName("L0", CourseForm::Display), Sjis("タイ") + "\x81\x40");
    EXPECT_EQ(CourseName("G2", CourseForm::Display), Sjis("ｽﾍﾟｲﾝ") + " ");
    EXPECT_EQ(CourseName("M6", CourseForm::Short), Sjis("約") + "  ");
}

TEST(CourseName, LocalMeetingsAtJraCoursesUseTheJraNames)
{
    EXPECT_EQ(CourseName("58", CourseForm::Display), CourseName("01", CourseForm::Display));
    EXPECT_EQ(CourseName("59", CourseForm::Short), CourseName("02", CourseForm::Short));
    EXPECT_EQ(CourseName("60", CourseForm::Display), CourseName("04", CourseForm::Display));
    EXPECT_EQ(CourseName("61", CourseForm::Short), CourseName("07", CourseForm::Short));
}

TEST(CourseName, UnknownAndUnnamedCodesAreBlank)
{
    // Codes are exact text: no trimming, no reading as a number, no case folding.
    for (std::string_view code : {"ZZ", "00", "11", "62", "C4", "F4", "G8", "m2", "", "5", " 5", "005", "06 ", " 06"}) {
        EXPECT_EQ(CourseName(code, CourseForm::Display), kBlank6) << '[' << code << ']';
        EXPECT_EQ(CourseName(code, CourseForm::Short), kBlank4) << '[' << code << ']';
    }
}

TEST(CourseRegion, JraLocalAndForeign)
{
    for (int n = 1; n <= 10; ++n) {
        std::string code = TwoDigitCode(n);
        EXPECT_EQ(CourseRegion(code), CourseName(code, CourseForm::Display)) << code;
        EXPECT_NE(CourseRegion(code), kBlank6) << code;
    }
    for (int n = 30; n <= 61; ++n) {
        EXPECT_EQ(CourseRegion(TwoDigitCode(n)), Sjis("地方  ")) << n;
    }
    for (std::string_view code : {"00", "ZZ", "6", "", "062"}) {
        EXPECT_EQ(CourseRegion(code), kBlank6) << '[' << code << ']';
    }
}

TEST(CourseRegion, AbroadForExactlyTheForeignCodes)
{
    ASSERT_EQ(kForeignCodes.size(), 70u);
    std::set<std::string> foreign(kForeignCodes.begin(), kForeignCodes.end());
    int local = 0;
    ForEachTwoCharCode([&](std::string_view code) {
        std::string region = CourseRegion(code);
        ASSERT_EQ(region.size(), 6u) << code;
        bool isForeign = region == Sjis("海外  ");
        EXPECT_EQ(isForeign, foreign.count(std::string(code)) == 1) << code;
        local += region == Sjis("地方  ") ? 1 : 0;
    });
    EXPECT_EQ(local, 32);
}

TEST(RaceKindName, SixFullWidthCharactersForEveryCode)
{
    int named = 0;
    ForEachTwoCharCode([&](std::string_view code) {
        std::string name = RaceKindName(code);
        ASSERT_EQ(name.size(), 12u) << code;
        EXPECT_TRUE(IsAllDoubleByte(name)) << code;
        EXPECT_TRUE(IsWholeCp932(name)) << code;
        named += name != RaceKindName("15") ? 1 : 0;
    });
    EXPECT_EQ(named, 10);
    EXPECT_EQ(RaceKindName("15"), "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40");
    EXPECT_EQ(RaceKindName("13"), Sjis("サラ系３歳上"));
    EXPECT_EQ(RaceKindName("11"), Sjis("サラ系２歳") + "\x81\x40");
    EXPECT_EQ(RaceKindName("18"), Sjis("障害３歳上　"));
    EXPECT_EQ(RaceKindName("24"), Sjis("アラ系４歳上"));
    EXPECT_EQ(RaceKindName(""), RaceKindName("15"));
    EXPECT_EQ(RaceKindName("013"), RaceKindName("15"));
}

TEST(GradeMark, FiveBytesForEveryCode)
{
    for (char c = ' '; c <= '~'; ++c) {
        std::string mark = GradeMark(std::string_view(&c, 1));
        ASSERT_EQ(mark.size(), 5u) << c;
        EXPECT_TRUE(IsWholeCp932(mark)) << c;
    }
    EXPECT_EQ(GradeMark("A"), "G1   ");
    EXPECT_EQ(GradeMark("C"), "G3   ");
    EXPECT_EQ(GradeMark("F"), "JG1  ");
    EXPECT_EQ(GradeMark("H"), "JG3  ");
    EXPECT_EQ(GradeMark("L"), "List ");
    EXPECT_EQ(GradeMark("D"), Sjis("重賞") + " ");
    EXPECT_EQ(GradeMark("E"), Sjis("特別") + " ");
    const std::string ungraded = "\x81\x40\x81\x40 ";
    for (std::string_view code : {" ", "", "a", "I", "Z", "AA", "A "}) {
        EXPECT_EQ(GradeMark(code), ungraded) << '[' << code << ']';
    }
}

TEST(ConditionClassName, ConditionCodesAsNumbers)
{
    EXPECT_EQ(ConditionClassName("005"), Sjis("1勝ｸﾗｽ"));
    EXPECT_EQ(ConditionClassName("010"), Sjis("2勝ｸﾗｽ"));
    EXPECT_EQ(ConditionClassName("016"), Sjis("3勝ｸﾗｽ"));
    EXPECT_EQ(ConditionClassName("100"), Sjis("1億下"));
    EXPECT_EQ(ConditionClassName("701"), Sjis("新馬"));
    EXPECT_EQ(ConditionClassName("702"), Sjis("未出走"));
    EXPECT_EQ(ConditionClassName("703"), Sjis("未勝利"));
    EXPECT_EQ(ConditionClassName("999"), Sjis("オープン"));
    // Half-width ｸﾗｽ: the class name is 6 bytes.
    EXPECT_EQ(ConditionClassName("016").size(), 6u);
    // Read by the leading digits, so a shorter or trailing-junk code means the same class.
    EXPECT_EQ(ConditionClassName("16"), ConditionClassName("016"));
    EXPECT_EQ(ConditionClassName("5AB"), ConditionClassName("005"));
    for (std::string_view code : {"000", "   ", "", "A16", "004", "017", "998", "1000"}) {
        EXPECT_EQ(ConditionClassName(code), "") << '[' << code << ']';
    }
}

TEST(ConditionClassName, OnlyEightCodesHaveAName)
{
    int named = 0;
    char code[4] = {};
    for (int n = 0; n <= 999; ++n) {
        std::snprintf(code, sizeof code, "%03d", n);
        std::string name = ConditionClassName(code);
        EXPECT_TRUE(IsWholeCp932(name)) << code;
        named += name.empty() ? 0 : 1;
    }
    EXPECT_EQ(named, 8);
}

} // namespace
} // namespace vornal
