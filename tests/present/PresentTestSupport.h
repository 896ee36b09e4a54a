#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "present/CellGrid.h"
#include "raceday/RaceDay.h"
#include "text/Encoding.h"

// Hand-built race days and whole-row comparisons for the table tests. Expected cells are
// written in UTF-8 and compared with the CP932 cells converted once.
namespace vornal::presenttest {

// Marks slot `slot` loaded with `key` (yyyymmdd, course, meeting, day, race) and puts the
// key's year and the turf going into its race record, as the loader would.
inline RaceSlot& SetRace(RaceDay& day, int slot, std::string_view key, int runners, std::string_view turfGoing = "1")
{
    std::string ra(day.RaceRA[slot].View());
    ra.replace(11, 4, key.substr(0, 4));
    ra.replace(888, 1, turfGoing);
    day.RaceRA[slot] = ra;
    RaceSlot& race = day.Races[slot];
    race.RaceLoaded = true;
    race.SlotKey = key;
    race.RunnerCount = runners;
    for (int h = 0; h < runners; ++h) {
        const std::string number = (h + 1 < 10 ? "0" : "") + std::to_string(h + 1);
        race.Runners[h].HorseNo = number;
        race.Runners[h].FrameNo = std::to_string((h + 2) / 2);
    }
    day.RaceCount = std::max(day.RaceCount, slot + 1);
    return race;
}

inline std::vector<std::string> RowUtf8(const CellGrid& grid, int row)
{
    std::vector<std::string> cells;
    for (int c = 0; c < grid.ColumnCount(); ++c) {
        cells.push_back(ToUtf8(grid.Cell(row, c)));
    }
    return cells;
}

inline std::vector<std::string> ColumnUtf8(const CellGrid& grid, int column)
{
    std::vector<std::string> cells;
    for (int r = grid.HeaderRows(); r < grid.RowCount(); ++r) {
        cells.push_back(ToUtf8(grid.Cell(r, column)));
    }
    return cells;
}

} // namespace vornal::presenttest
