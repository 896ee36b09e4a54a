#include "present/MarginChart.h"

#include <gtest/gtest.h>

#include "PresentTestSupport.h"
#include "present/PlainGridColours.h"

namespace vornal {
namespace {

std::vector<LineItem> LinesOf(const DisplayList& list, Colour ink)
{
    std::vector<LineItem> lines;
    for (const DisplayItem& item : list.Items) {
        if (const auto* line = std::get_if<LineItem>(&item); line && line->Ink == ink) {
            lines.push_back(*line);
        }
    }
    return lines;
}

class MarginChartTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        race = &presenttest::SetRace(*day, 0, "2026010506010111", 5);
        const double margins[] = {0.0, 1.0, 0.35, 0.6, 0.1};
        const int coats[] = {1, 3, 4, 7, 0};
        for (int h = 0; h < 5; ++h) {
            race->Runners[h].PredictedMargin = margins[h];
            race->Runners[h].CoatColourCode = coats[h];
        }
    }

    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();
    RaceSlot* race = nullptr;
};

TEST_F(MarginChartTest, RunnersStandAtTheirMarginsBehindTheGoal)
{
    for (const double scale : {1.0, 0.5}) {
        const MarginChart natural = DrawMarginChart(*day, 0);
        const MarginChart chart =
            scale == 1.0 ? natural : DrawMarginChart(*day, 0, natural.Width * scale, natural.Height * scale);
        SCOPED_TRACE(scale);
        EXPECT_DOUBLE_EQ(chart.Scale, scale);
        ASSERT_EQ(chart.Figures.size(), 5u);
        EXPECT_DOUBLE_EQ(chart.Figures[0].X, chart.GoalX);
        EXPECT_DOUBLE_EQ(chart.Figures[1].X, chart.OneSecondX);
        EXPECT_DOUBLE_EQ(chart.OneSecondX - chart.GoalX, 300 * scale);
        EXPECT_DOUBLE_EQ(chart.Figures[4].X - chart.GoalX, 30 * scale);
        // The red goal line and the yellow 1.0 s line stand where the figures are measured.
        const std::vector<LineItem> goal = LinesOf(chart.Picture, {255, 0, 0});
        const std::vector<LineItem> second = LinesOf(chart.Picture, {255, 255, 0});
        ASSERT_EQ(goal.size(), 1u);
        ASSERT_EQ(second.size(), 1u);
        EXPECT_DOUBLE_EQ(goal[0].X1, chart.GoalX);
        EXPECT_DOUBLE_EQ(second[0].X1, chart.OneSecondX);
        // Rows run down in slot order.
        EXPECT_LT(chart.Figures[0].Y, chart.Figures[1].Y);
    }
}

TEST_F(MarginChartTest, GuideLinesEveryFifthOfASecond)
{
    race->Runners[1].PredictedMargin = 1.5;
    const MarginChart chart = DrawMarginChart(*day, 0);
    const std::vector<LineItem> guides = LinesOf(chart.Picture, {214, 244, 204});
    // 1.5 s of margin needs track to 1.6 s: eight guide lines after the goal.
    ASSERT_EQ(guides.size(), 8u);
    for (std::size_t i = 0; i < guides.size(); ++i) {
        EXPECT_NEAR(guides[i].X1 - chart.GoalX, 60.0 * static_cast<double>(i + 1), 1e-9);
    }
}

TEST_F(MarginChartTest, FiveCoatGroupsFiveLooks)
{
    EXPECT_EQ(CoatGroup(1), 1);
    EXPECT_EQ(CoatGroup(8), 1);
    for (const int code : {2, 3, 6, 9, 10}) {
        EXPECT_EQ(CoatGroup(code), 2) << code;
    }
    EXPECT_EQ(CoatGroup(4), 3);
    EXPECT_EQ(CoatGroup(5), 3);
    EXPECT_EQ(CoatGroup(7), 4);
    EXPECT_EQ(CoatGroup(11), 4);
    for (const int code : {0, 12, -1, 99}) {
        EXPECT_EQ(CoatGroup(code), 5) << code;
    }
    const MarginChart chart = DrawMarginChart(*day, 0);
    for (int h = 0; h < 5; ++h) {
        EXPECT_EQ(chart.Figures[h].Group, h + 1);
    }
    for (int a = 1; a <= 5; ++a) {
        for (int b = a + 1; b <= 5; ++b) {
            EXPECT_NE(HorseFigure(a, 0, 0, 1), HorseFigure(b, 0, 0, 1)) << a << " and " << b;
        }
    }
}

TEST_F(MarginChartTest, NamesTakeTheResultColourOnlyWithResults)
{
    auto nameFill = [this](int h) {
        for (const DisplayItem& item : DrawMarginChart(*day, 0).Picture.Items) {
            const auto* rect = std::get_if<FilledRect>(&item);
            if (rect && rect->X == 46 && rect->Width == 120 && rect->Y == 22 + 28 * h) {
                return rect->Fill;
            }
        }
        return Colour{1, 2, 3};
    };
    const Colour table = nameFill(0);
    ASSERT_NE(table, (Colour{1, 2, 3}));
    EXPECT_EQ(nameFill(4), table) << "no results: every name on the table colour";
    race->Runners[2].FinishPos = 1;
    race->Runners[0].FinishPos = 2;
    race->Runners[4].FinishPos = 3;
    race->Runners[1].FinishPos = 4;
    EXPECT_EQ(nameFill(2), (Colour{255, 185, 255}));
    EXPECT_EQ(nameFill(0), (Colour{202, 255, 228}));
    EXPECT_EQ(nameFill(4), (Colour{255, 255, 168}));
    EXPECT_EQ(nameFill(1), table);
}

TEST(PlainGridColours, RulesOfTheGrids)
{
    CellGrid ranking(2, 36);
    ranking.Set(1, 0, " 3");
    ranking.Set(1, 35, " 2");
    EXPECT_EQ(PlainGridColour(PlainGrid::Ranking, ranking, 0, 5), colours::kHeaderGrey);
    EXPECT_EQ(PlainGridColour(PlainGrid::Ranking, ranking, 1, 0), (Colour{255, 0, 0}));
    EXPECT_EQ(PlainGridColour(PlainGrid::Ranking, ranking, 1, 1), colours::kInfo);
    EXPECT_EQ(PlainGridInk(PlainGrid::Ranking, ranking, 1, 0), colours::kWhite);
    EXPECT_EQ(PlainGridInk(PlainGrid::Ranking, ranking, 1, 1), colours::kBlack);
    EXPECT_EQ(PlainGridColour(PlainGrid::Ranking, ranking, 1, 35), (Colour{202, 255, 228}));
    EXPECT_EQ(PlainGridColour(PlainGrid::Ranking, ranking, 1, 20), colours::kWhite);
    for (const char* text : {"10", "　", "1着"}) {
        ranking.Set(1, 35, text);
        EXPECT_EQ(PlainGridColour(PlainGrid::Ranking, ranking, 1, 35), colours::kWhite) << text;
    }
    CellGrid lap(2, 21);
    lap.Set(1, 20, "1");
    EXPECT_EQ(PlainGridColour(PlainGrid::LapCard, lap, 1, 20), (Colour{255, 185, 255}));

    CellGrid wide(2, 52);
    const std::pair<int, Colour> lapCheck[] = {{0, colours::kHeaderGrey}, {6, colours::kInfo},   {7, {232, 208, 255}},
                                               {13, {232, 208, 255}},     {14, {255, 128, 128}}, {25, {255, 128, 128}},
                                               {26, {166, 202, 240}},     {37, {166, 202, 240}}, {38, {255, 255, 128}},
                                               {49, {255, 255, 128}},     {50, colours::kInfo}};
    for (const auto& [column, fill] : lapCheck) {
        EXPECT_EQ(PlainGridColour(PlainGrid::LapCheck, wide, 1, column), fill) << column;
    }
    EXPECT_EQ(PlainGridColour(PlainGrid::Main, wide, 1, 19), (Colour{255, 128, 128}));
    EXPECT_EQ(PlainGridColour(PlainGrid::Main, wide, 1, 20), (Colour{166, 202, 240}));
    EXPECT_EQ(PlainGridColour(PlainGrid::Main, wide, 1, 33), colours::kInfo);
    EXPECT_EQ(PlainGridColour(PlainGrid::LapTime, wide, 1, 12), (Colour{232, 208, 255}));
    EXPECT_EQ(PlainGridColour(PlainGrid::LapTime, wide, 1, 13), (Colour{255, 128, 128}));
    EXPECT_EQ(PlainGridColour(PlainGrid::LapTime, wide, 1, 39), colours::kInfo);
}

} // namespace
} // namespace vornal
