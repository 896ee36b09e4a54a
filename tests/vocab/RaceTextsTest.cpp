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

// The three race labels keep their width: the race list and the sheets line them up, and
// the status lines of a race whose number is missing must not say "0R".
TEST(RaceLabels, WidthsAndMissingNumbers)
{
    EXPECT_EQ(RaceNumberLabel(9), " 9R");
    EXPECT_EQ(RaceNumberLabel(12), "12R");
    // Record bytes: the padded form, a missing number left blank; the stored form as is.
    const struct
    {
        std::string_view bytes, record, stored;
    } cases[] = {{"09", " 9R", "09R"}, {"11", "11R", "11R"}, {"00", "  R", "00R"}, {"  ", "  R", "  R"},
                 {"x1", "  R", "x1R"}};
    for (const auto& c : cases) {
        EXPECT_EQ(RecordRaceLabel(c.bytes), c.record) << c.bytes;
        EXPECT_EQ(StoredRaceLabel(c.bytes), c.stored) << c.bytes;
    }
}

} // namespace
} // namespace vornal
