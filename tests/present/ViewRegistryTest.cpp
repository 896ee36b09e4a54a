#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "present/TablePrint.h"
#include "present/ViewRegistry.h"

namespace vornal {
namespace {

// Names are how both faces reach a view: a repeated id, caption or cells name would make one
// view unreachable, and a caption must find the same view as its id.
TEST(ViewRegistryTest, EveryNameFindsExactlyItsOwnView)
{
    std::set<std::string_view> names;
    std::set<std::string_view> cells;
    for (const ViewDescription& view : Views()) {
        EXPECT_TRUE(names.insert(view.Id).second) << view.Id;
        EXPECT_TRUE(names.insert(view.Caption).second) << view.Caption;
        EXPECT_EQ(FindView(view.Id), &view);
        EXPECT_EQ(FindView(view.Caption), &view);
        if (!view.CellsId.empty()) {
            EXPECT_TRUE(cells.insert(view.CellsId).second) << view.CellsId;
            EXPECT_EQ(FindCellsView(view.CellsId), &view);
        }
    }
    EXPECT_EQ(FindView(""), nullptr);
    EXPECT_EQ(FindView("racelist"), nullptr);
    EXPECT_EQ(FindCellsView(""), nullptr);
    // The race card's cells go by "racecard"; "card" is only its table name.
    EXPECT_EQ(FindCellsView("card"), nullptr);
    ASSERT_NE(FindCellsView("racecard"), nullptr);
    EXPECT_EQ(FindCellsView("racecard")->Id, "card");
}

// A description that cannot be carried out: a tab with nothing to show, a painted grid the
// cells command cannot reach, a sort table on a view without a grid, a print without a style.
TEST(ViewRegistryTest, DescriptionsAreComplete)
{
    std::set<std::string_view> printed;
    for (const ViewDescription& view : Views()) {
        SCOPED_TRACE(std::string(view.Id));
        const bool hasGrid = view.DayBuilder != nullptr || view.RaceGrid != nullptr;
        EXPECT_EQ(view.DayBuilder != nullptr, view.Scope == ViewScope::Day && hasGrid);
        if (view.Tab) {
            EXPECT_TRUE(hasGrid || view.Painter == ViewPainter::MarginChart);
        } else {
            EXPECT_NE(view.RaceLines, nullptr);
        }
        if (view.Painter != ViewPainter::Text && view.Painter != ViewPainter::Lines) {
            EXPECT_FALSE(view.CellsId.empty());
        }
        if (view.Sort) {
            EXPECT_NE(view.RaceGrid, nullptr);
        }
        if (view.Printed) {
            EXPECT_TRUE(hasGrid);
            EXPECT_TRUE(TabPrintStyle(view.Caption, RaceSlot{}, {}).has_value());
            printed.insert(view.Caption);
        }
    }
    // The print module's own list of printed tabs is the registry's.
    const auto& tabs = PrintedTabs();
    EXPECT_EQ(printed, std::set<std::string_view>(tabs.begin(), tabs.end()));
}

// Each race view takes its own grid of the analysis, and each day view builds its own table:
// a crossed member pointer would show one table under another's caption.
TEST(ViewRegistryTest, GridsComeFromTheirOwnSource)
{
    RaceAnalysis analysis;
    CellGrid* grids[] = {&analysis.PastRuns, &analysis.RaceCard,        &analysis.DetailGrid,
                         &analysis.LapCard,  &analysis.Ranking,         &analysis.PopularityOrder};
    const char* owners[] = {"pastruns", "card", "detail", "lapcard", "ranking", "popularity"};
    for (int i = 0; i < 6; ++i) {
        *grids[i] = CellGrid(1, 1);
        grids[i]->Set(0, 0, owners[i]);
    }
    // A race day is too large for the stack.
    const auto shown = std::make_unique<RaceDay>();
    const RaceDay& day = *shown;
    for (const char* owner : owners) {
        const ViewDescription* view = FindView(owner);
        ASSERT_NE(view, nullptr) << owner;
        const CellGrid grid = ViewGrid(*view, day, &analysis);
        ASSERT_EQ(grid.RowCount(), 1) << owner;
        EXPECT_EQ(grid.Cell(0, 0), owner);
    }
    // A day view ignores the analysis; a race view without one has an empty grid.
    const ViewDescription* main = FindView("main");
    ASSERT_NE(main, nullptr);
    EXPECT_GT(ViewGrid(*main, day, &analysis).ColumnCount(), 1);
    EXPECT_EQ(ViewGrid(*FindView("card"), day, nullptr).RowCount(), 0);
}

} // namespace
} // namespace vornal
