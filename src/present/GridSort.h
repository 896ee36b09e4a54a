#pragma once

#include <span>
#include <string_view>

#include "present/CellGrid.h"

// Sorting of the analysis tables by their toggle buttons. Keys are the cell texts as shown,
// compared byte by byte as CP932 text, never parsed as numbers: the tables write their
// numbers right-aligned in fixed widths, so " 9" sorts before "10", an empty cell before
// every text and the full-width blank "　" (lead byte 0x81) after all digits and ASCII.
namespace vornal {

// Sorts the rows first..last of `grid` by the text of `column`, ascending or descending.
// Whole rows move together. The order of rows with equal keys is the one the users have
// always seen: the rows are quicksorted with the middle row's text as the pivot, so it is
// not kept in general; the function reproduces that order exactly. Rows outside the grid
// and an empty range are ignored.
void SortGridRows(CellGrid& grid, int first, int last, int column, bool descending);

// What a toggle does after sorting: the past-run table writes its row numbers into column 0.
enum class RowNumbers { Keep, Write };

// The command behind every toggle: sorts the data rows by `column`, then each run of rows
// with equal text in that column by `tieColumn` in its own direction; with RowNumbers::Write,
// column 0 of data row i becomes "%2d" of i.
void SortByToggle(CellGrid& grid, int column, bool descending, int tieColumn, bool tieDescending,
                  RowNumbers numbers = RowNumbers::Keep);

// One toggle button above a table: its caption and what it sorts by.
struct SortToggle
{
    std::string_view Caption; // UTF-8 as written in the source
    int Column = 0;
    bool Descending = false;
    int TieColumn = 1;
    bool TieDescending = false;
};

// The toggles of the four sortable tables, in the order of their buttons.
std::span<const SortToggle> RaceCardToggles(); // "出馬表"
std::span<const SortToggle> PastRunToggles();  // "ランキング" (renumbers its rows)
std::span<const SortToggle> LapCardToggles();  // "ﾗｯﾌﾟ出馬表"
std::span<const SortToggle> RankingToggles();  // "ﾗﾝｷﾝｸﾞ表"

// The toggle of `toggles` with the (UTF-8) caption, or nullptr.
const SortToggle* FindToggle(std::span<const SortToggle> toggles, std::string_view caption);

// SortByToggle with the toggle's columns and directions.
void SortByToggle(CellGrid& grid, const SortToggle& toggle, RowNumbers numbers = RowNumbers::Keep);

// The four tables with toggles.
enum class SortTable { RaceCard, PastRuns, LapCard, Ranking };

std::span<const SortToggle> TogglesOf(SortTable table);

// Presses the toggle with the (UTF-8) caption above `table`: sorts `grid` as that toggle
// does, the past-run table also renumbering its rows. False, and nothing sorted, when the
// table has no such toggle.
bool PressToggle(CellGrid& grid, SortTable table, std::string_view caption);

} // namespace vornal
