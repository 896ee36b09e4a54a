#include "present/GridSort.h"

#include <array>
#include <string>

#include "text/Format.h"

namespace vornal {
namespace {

// Byte order of CP932 text: unsigned bytes, a prefix before its extensions.
bool Before(std::string_view a, std::string_view b)
{
    return a.compare(b) < 0; // char_traits<char>::compare compares as unsigned char
}

void Quicksort(CellGrid& grid, int first, int last, int column, bool descending)
{
    int left = first;
    int right = last;
    // The pivot is a copy of the text: the row it came from may move during the pass.
    const std::string pivot = grid.Cell((first + last) / 2, column);
    auto leftStays = [&](int row) {
        const std::string& cell = grid.Cell(row, column);
        return descending ? Before(pivot, cell) : Before(cell, pivot);
    };
    auto rightStays = [&](int row) {
        const std::string& cell = grid.Cell(row, column);
        return descending ? Before(cell, pivot) : Before(pivot, cell);
    };
    do {
        // The pivot's own text stops both scans, so they stay inside first..last; the
        // bounds checks only guard against that ever changing.
        while (left < last && leftStays(left)) {
            ++left;
        }
        while (right > first && rightStays(right)) {
            --right;
        }
        if (left <= right) {
            grid.SwapRows(left, right);
            ++left;
            --right;
        }
    } while (left <= right);
    if (first < right) {
        Quicksort(grid, first, right, column, descending);
    }
    if (left < last) {
        Quicksort(grid, left, last, column, descending);
    }
}

constexpr std::array kRaceCardToggles{
    SortToggle{"馬番", 1},      SortToggle{"脚質", 2},     SortToggle{"実績確率", 3},  SortToggle{"平均着差", 5},
    SortToggle{"修正ﾛｰﾃ", 6},   SortToggle{"ｺﾞｰﾙ着差", 7}, SortToggle{"最終ｺﾞｰﾙ", 8},  SortToggle{"総合min", 9},
    SortToggle{"確定着順", 10}, SortToggle{"基準ﾀｲﾑ", 11}, SortToggle{"最良基準", 12}, SortToggle{"単勝", 13},
    SortToggle{"B確率", 14},
};

constexpr std::array kPastRunToggles{
    SortToggle{"馬番", 2, false, 6, true},     SortToggle{"開催", 9, false, 29, true},
    SortToggle{"馬場", 10, false, 13, false},  SortToggle{"距離", 13, false, 29, true},
    SortToggle{"着順", 11, false, 29, true},   SortToggle{"脚質", 18, false, 29, true},
    SortToggle{"最良ﾀｲﾑ", 20, true, 29, true}, SortToggle{"基準ﾀｲﾑ", 16, true, 29, true},
    SortToggle{"前半SP", 22, false, 29, true}, SortToggle{"後半SP", 24, false, 29, true},
    SortToggle{"実力", 31, false, 29, true},   SortToggle{"Ｒ指数", 33, false, 29, true},
    SortToggle{"ＲＴＭ", 35, false, 29, true}, SortToggle{"大局", 29, true, 30, true},
};

constexpr std::array kLapCardToggles{
    SortToggle{"馬番", 1, false, 4},    SortToggle{"脚質", 4, false, 9},    SortToggle{"実績TM", 7, false, 4},
    SortToggle{"前半SP", 9, false, 4},  SortToggle{"後半SP", 11, false, 4}, SortToggle{"実力指数", 13, false, 4},
    SortToggle{"実力TM", 15, false, 4}, SortToggle{"ｽﾀﾐﾅ", 17, false, 4},   SortToggle{"着順", 20, false, 1},
};

constexpr std::array kRankingToggles{
    SortToggle{"馬番", 1, false, 14},     SortToggle{"実力", 4, false, 14},      SortToggle{"ｽﾀﾐﾅ", 6, false, 14},
    SortToggle{"前半SP", 8, false, 14},   SortToggle{"後半SP", 10, false, 14},   SortToggle{"B確率", 12, false, 1},
    SortToggle{"実績確率", 14, false, 1}, SortToggle{"格", 16, false, 14},       SortToggle{"平均着差", 18, false, 14},
    SortToggle{"修正RT", 20, false, 14},  SortToggle{"ｺﾞｰﾙ着差", 22, false, 14}, SortToggle{"最終ｺﾞｰﾙ", 24, false, 14},
    SortToggle{"基準TM", 26, false, 14},  SortToggle{"最良TM", 28, false, 14},   SortToggle{"脚質", 30, false, 14},
    SortToggle{"総合min", 32, false, 14}, SortToggle{"FT差", 34, false, 14},     SortToggle{"着順", 35, false, 14},
};

} // namespace

void SortGridRows(CellGrid& grid, int first, int last, int column, bool descending)
{
    if (first < 0) {
        first = 0;
    }
    if (last > grid.RowCount() - 1) {
        last = grid.RowCount() - 1;
    }
    if (first >= last || column < 0 || column >= grid.ColumnCount()) {
        return;
    }
    Quicksort(grid, first, last, column, descending);
}

void SortByToggle(CellGrid& grid, int column, bool descending, int tieColumn, bool tieDescending, RowNumbers numbers)
{
    const int first = grid.HeaderRows();
    const int last = grid.RowCount() - 1;
    SortGridRows(grid, first, last, column, descending);
    int runStart = first;
    while (runStart <= last) {
        int runEnd = runStart;
        while (runEnd + 1 <= last && grid.Cell(runEnd + 1, column) == grid.Cell(runStart, column)) {
            ++runEnd;
        }
        if (runEnd > runStart) {
            SortGridRows(grid, runStart, runEnd, tieColumn, tieDescending);
        }
        runStart = runEnd + 1;
    }
    if (numbers == RowNumbers::Write) {
        for (int r = first; r <= last; ++r) {
            grid.Set(r, 0, fmt::sprintf("%2d", r - first + 1));
        }
    }
}

std::span<const SortToggle> RaceCardToggles()
{
    return kRaceCardToggles;
}

std::span<const SortToggle> PastRunToggles()
{
    return kPastRunToggles;
}

std::span<const SortToggle> LapCardToggles()
{
    return kLapCardToggles;
}

std::span<const SortToggle> RankingToggles()
{
    return kRankingToggles;
}

const SortToggle* FindToggle(std::span<const SortToggle> toggles, std::string_view caption)
{
    for (const SortToggle& toggle : toggles) {
        if (toggle.Caption == caption) {
            return &toggle;
        }
    }
    return nullptr;
}

void SortByToggle(CellGrid& grid, const SortToggle& toggle, RowNumbers numbers)
{
    SortByToggle(grid, toggle.Column, toggle.Descending, toggle.TieColumn, toggle.TieDescending, numbers);
}

std::span<const SortToggle> TogglesOf(SortTable table)
{
    switch (table) {
    case SortTable::RaceCard:
        return RaceCardToggles();
    case SortTable::PastRuns:
        return PastRunToggles();
    case SortTable::LapCard:
        return LapCardToggles();
    case SortTable::Ranking:
        return RankingToggles();
    }
    return {};
}

bool PressToggle(CellGrid& grid, SortTable table, std::string_view caption)
{
    const SortToggle* toggle = FindToggle(TogglesOf(table), caption);
    if (toggle == nullptr) {
        return false;
    }
    // The past-run table numbers its rows in the order they are shown.
    SortByToggle(grid, *toggle, table == SortTable::PastRuns ? RowNumbers::Write : RowNumbers::Keep);
    return true;
}

} // namespace vornal
