#include <gtest/gtest.h>

#include <string>

#include "text/Encoding.h"
#include "vocab/RacingTerms.h"

namespace vornal {
namespace {

// Every labelled code, both forms, and the edges of each range: 16/17 split left from right
// turf, 25..28 are dirt codes without a label, 60 is past the steeplechase range.
TEST(TrackLabel, NamesEachRangeInBothForms)
{
    const struct
    {
        const char* code;
        const char* half;
        const char* full;
    } cases[] = {
        {"10", "芝直", "芝直"}, {"11", "芝左", "芝左"}, {"16", "芝左", "芝左"}, {"17", "芝右", "芝右"},
        {"22", "芝右", "芝右"}, {"23", "ﾀﾞ左", "ダ左"}, {"24", "ﾀﾞ右", "ダ右"}, {"29", "ﾀﾞ直", "ダ直"},
        {"51", "障害", "障害"}, {"59", "障害", "障害"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrackLabel(c.code), Sjis(c.half)) << c.code;
        EXPECT_EQ(TrackLabel(c.code, TrackLabelForm::FullWidth), Sjis(c.full)) << c.code;
    }
    for (const char* code : {"  ", "00", "09", "25", "26", "28", "30", "50", "60"}) {
        EXPECT_EQ(TrackLabel(code), "") << code;
        EXPECT_EQ(TrackLabel(code, TrackLabelForm::FullWidth), Sjis("　　")) << code;
    }
}

// The two past-run readings agree up to 24 and part at 25..29: the past-run table leaves
// them blank, the race card calls them dirt; above 29 the card says steeplechase.
TEST(PastRunSurface, TwoReadingsPartOnlyAbove24)
{
    for (const char* code : {"10", "17", "22"}) {
        EXPECT_EQ(PastRunGroundMark(code), Sjis("芝")) << code;
        EXPECT_EQ(PastRunSurfaceMark(code), Sjis("芝")) << code;
    }
    for (const char* code : {"23", "24"}) {
        EXPECT_EQ(PastRunGroundMark(code), Sjis("ダ")) << code;
        EXPECT_EQ(PastRunSurfaceMark(code), Sjis("ダ")) << code;
    }
    for (const char* code : {"25", "26", "29"}) {
        EXPECT_EQ(PastRunGroundMark(code), Sjis("　")) << code;
        EXPECT_EQ(PastRunSurfaceMark(code), Sjis("ダ")) << code;
    }
    EXPECT_EQ(PastRunGroundMark("54"), Sjis("　"));
    EXPECT_EQ(PastRunSurfaceMark("54"), Sjis("障"));
    EXPECT_EQ(PastRunSurfaceMark("30"), Sjis("障"));
}

// The turf panel is green below 23, the straight turf course included; the betting rules'
// turf (10..22) and the lap tables' turf (11..22) stay their own readings.
TEST(TurfReadings, EachKeepsItsOwnEdges)
{
    EXPECT_TRUE(IsTurfPanelTrack("10"));
    EXPECT_TRUE(IsTurfPanelTrack("22"));
    EXPECT_TRUE(IsTurfPanelTrack("  "));
    EXPECT_FALSE(IsTurfPanelTrack("23"));
    EXPECT_FALSE(IsTurfPanelTrack("54"));
    EXPECT_TRUE(IsTurfTrack(10));
    EXPECT_FALSE(IsCurvedTurfTrack(10));
    EXPECT_TRUE(IsCurvedTurfTrack(22));
    EXPECT_FALSE(IsTurfTrack(23));
    EXPECT_TRUE(IsSteeplechaseTrack("51"));
    EXPECT_FALSE(IsSteeplechaseTrack("15"));
}

} // namespace
} // namespace vornal
