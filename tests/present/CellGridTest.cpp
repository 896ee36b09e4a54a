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

} // namespace
} // namespace vornal
