#include "present/CellGrid.h"

#include <gtest/gtest.h>

namespace vornal {
namespace {

TEST(CellGridTest, LinesJoinCellsByTab)
{
    CellGrid grid(2, 3);
    grid.Set(0, 0, "a");
    grid.Set(1, 2, "z");
    grid.Set(5, 0, "outside");
    EXPECT_EQ(GridLines(grid, "\r\n"), "a\t\t\r\n\t\tz\r\n");
}

TEST(CellGridTest, TextAlignsColumnsByByteWidth)
{
    CellGrid grid(2, 3);
    grid.Set(0, 0, "\x94\x6E"); // 馬: two bytes, two columns on the screen
    grid.Set(0, 1, "x");
    grid.Set(1, 0, "1");
    grid.Set(1, 1, "long");
    grid.Set(1, 2, "z");
    EXPECT_EQ(GridText(grid), "\x94\x6E x\n1  long z\n");
}

} // namespace
} // namespace vornal
