#include <gtest/gtest.h>

#include "text/Encoding.h"
#include "vocab/RaceTexts.h"

namespace vornal {
namespace {

// The store's day names are read back by position, so the padded form keeps its width even
// for a short or blank date; the spaced form reads month and day as numbers.
TEST(DateTexts, PaddedKeepsWidthSpacedDropsZeros)
{
    EXPECT_EQ(DateText("20260105"), Sjis("2026年01月05日"));
    EXPECT_EQ(DateText("20261231xxxx"), Sjis("2026年12月31日"));
    EXPECT_EQ(DateText("202601"), Sjis("2026年01月  日"));
    EXPECT_EQ(DateText(""), Sjis("    年  月  日"));
    EXPECT_EQ(SpacedDateText("20260105"), Sjis("2026年 1月 5日"));
    EXPECT_EQ(SpacedDateText("20261231"), Sjis("2026年12月31日"));
    EXPECT_EQ(SpacedDateText("2026    "), Sjis("2026年 0月 0日"));
}

TEST(MeetingDayText, NumbersWithoutLeadingZeros)
{
    EXPECT_EQ(MeetingDayText(3, 5, true), Sjis("3回 5日"));
    EXPECT_EQ(MeetingDayText(3, 5, false), Sjis("3回5日"));
    EXPECT_EQ(MeetingDayText(10, 12, true), Sjis("10回 12日"));
}

} // namespace
} // namespace vornal
