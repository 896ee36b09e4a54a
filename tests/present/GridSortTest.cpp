#include "present/GridSort.h"

#include <gtest/gtest.h>

#include "PresentTestSupport.h"
#include "present/RaceViewTables.h"

namespace vornal {
namespace {

using presenttest::ColumnUtf8;

// A grid of one key column (1) and an id column (2) under a header row.
CellGrid KeyGrid(const std::vector<std::string>& keys)
{
    CellGrid grid(1 + static_cast<int>(keys.size()), 3);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        grid.Set(static_cast<int>(i) + 1, 1, keys[i]);
        grid.Set(static_cast<int>(i) + 1, 2, std::to_string(i + 1));
    }
    return grid;
}

TEST(GridSortTest, EqualKeysComeOutInTheQuicksortOrder)
{
    // Traced by hand through the middle-pivot partition: the two "a" rows 2 and 4 trade
    // places, which a stable sort would never do.
    CellGrid grid = KeyGrid({"b", "a", "b", "a", "a"});
    SortGridRows(grid, 1, 5, 1, false);
    EXPECT_EQ(ColumnUtf8(grid, 2), (std::vector<std::string>{"4", "2", "5", "1", "3"}));
    EXPECT_EQ(ColumnUtf8(grid, 1), (std::vector<std::string>{"a", "a", "a", "b", "b"}));
    EXPECT_EQ(grid.Cell(0, 1), ""); // the header row does not move
}

TEST(GridSortTest, KeysCompareAsCp932Bytes)
{
    const std::string wide = Sjis("　");
    CellGrid grid = KeyGrid({wide, "10", "", " 9", "A", wide + "x"});
    SortGridRows(grid, 1, 6, 1, false);
    EXPECT_EQ(ColumnUtf8(grid, 1), (std::vector<std::string>{"", " 9", "10", "A", "　", "　x"}));
    SortGridRows(grid, 1, 6, 1, true);
    EXPECT_EQ(ColumnUtf8(grid, 1), (std::vector<std::string>{"　x", "　", "A", "10", " 9", ""}));
}

TEST(GridSortTest, RangesOutsideTheGridAreIgnored)
{
    CellGrid grid = KeyGrid({"b", "a"});
    SortGridRows(grid, 1, 9, 1, false); // last row clipped to the grid
    EXPECT_EQ(ColumnUtf8(grid, 2), (std::vector<std::string>{"2", "1"}));
    SortGridRows(grid, 2, 2, 1, true); // a single row
    SortGridRows(grid, 1, 2, 7, true); // no such column
    EXPECT_EQ(ColumnUtf8(grid, 2), (std::vector<std::string>{"2", "1"}));
}

TEST(GridSortTest, RankingByAbilityBreaksTiesByAchievementRank)
{
    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();
    RaceSlot& race = presenttest::SetRace(*day, 0, "2026010506010111", 5);
    // Horses 1 and 4 share ability rank 2; horse 4 has the better achievement rank.
    const int ability[] = {2, 0, 1, 2, 3};
    const int achievement[] = {4, 1, 5, 2, 3};
    for (int h = 0; h < 5; ++h) {
        race.Runners[h].RankAbility = ability[h];
        race.Runners[h].RankAchievement = achievement[h];
    }
    CellGrid table = BuildRankingTable(race);
    ASSERT_TRUE(PressToggle(table, SortTable::Ranking, "実力"));
    EXPECT_FALSE(PressToggle(table, SortTable::Ranking, "大局")); // a past-run toggle
    // The unranked horse 2 holds "　" and sorts last.
    EXPECT_EQ(ColumnUtf8(table, 1), (std::vector<std::string>{"03", "04", "01", "05", "02"}));
    EXPECT_EQ(ColumnUtf8(table, 4), (std::vector<std::string>{" 1", " 2", " 2", " 3", "　"}));
}

TEST(GridSortTest, PastRunsByHorseNumberNewestFirstAndRenumbered)
{
    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();
    RaceSlot& race = presenttest::SetRace(*day, 0, "2026010506010111", 3);
    const char* dates[3][2] = {{"20251101", "20251201"}, {"20250901", "20251010"}, {"20251115", ""}};
    for (int h = 0; h < 3; ++h) {
        for (int k = 0; k < 2; ++k) {
            if (dates[h][k][0] != '\0') {
                race.Runners[h].Past[k].PastRunPresent = true;
                race.Runners[h].Past[k].PastRunKey = std::string(dates[h][k]) + "06";
            }
        }
    }
    race.PastRowCount = 5;
    CellGrid table = BuildPastRunTable(race);
    // Build a shuffled order first, as after another toggle.
    ASSERT_TRUE(PressToggle(table, SortTable::PastRuns, "大局"));
    ASSERT_TRUE(PressToggle(table, SortTable::PastRuns, "馬番"));
    EXPECT_EQ(ColumnUtf8(table, 2), (std::vector<std::string>{"01", "01", "02", "02", "03"}));
    EXPECT_EQ(ColumnUtf8(table, 6),
              (std::vector<std::string>{"2025.12.01", "2025.11.01", "2025.10.10", "2025.09.01", "2025.11.15"}));
    EXPECT_EQ(ColumnUtf8(table, 0), (std::vector<std::string>{" 1", " 2", " 3", " 4", " 5"}));
}

// The loader marks all five run slots of a runner present, found or not: a slot without a
// record has empty date and going cells, so "馬番" still puts the newest run first.
TEST(GridSortTest, PastRunSlotsWithoutARecordSortLastWithinTheHorse)
{
    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();
    RaceSlot& race = presenttest::SetRace(*day, 0, "2026010506010111", 2);
    for (int h = 0; h < 2; ++h) {
        for (PastRun& run : race.Runners[h].Past) {
            run.PastRunPresent = true;
        }
    }
    race.Runners[0].Past[0].PastRunKey = "2025120106";
    race.Runners[0].Past[1].PastRunKey = "2025110106";
    race.Runners[0].Past[1].PastTrack = "11";
    race.Runners[0].Past[1].PastGoing = "1";
    race.Runners[1].Past[0].PastRunKey = "2025091506";
    race.PastRowCount = 10;
    CellGrid table = BuildPastRunTable(race);
    ASSERT_TRUE(PressToggle(table, SortTable::PastRuns, "馬番"));
    EXPECT_EQ(ColumnUtf8(table, 6),
              (std::vector<std::string>{"2025.12.01", "2025.11.01", "", "", "", "2025.09.15", "", "", "", ""}));
    EXPECT_EQ(ColumnUtf8(table, 10), (std::vector<std::string>{"", "芝良", "", "", "", "", "", "", "", ""}));
}

} // namespace
} // namespace vornal
