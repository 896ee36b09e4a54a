#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "present/CellGrid.h"
#include "present/LapPanels.h"
#include "present/PrintPage.h"
#include "raceday/RaceDay.h"

// The table prints of the main window's tabs ("印刷" of "買い目候補", "メイン用", "ﾗｯﾌﾟﾀｲﾑ",
// "ラップ検証表", "ランキング", "ﾗｯﾌﾟ出馬表" and "ﾗﾝｷﾝｸﾞ表"): the grid at its on-screen size
// (18-pixel rows, the screen's column widths, the 12-pixel fixed-pitch face), every cell
// framed, its text 2 screen pixels inside its corner; columns and rows that do not fit
// continue on further pages (across, then down) with the header rows and columns repeated.
namespace vornal {

struct TablePrintStyle
{
    int MarginLeft = 0; // mm, inside the printable area
    int MarginTop = 10;
    int MarginRight = 5;
    int MarginBottom = 10;
    int OrdinaryLine = 1; // printer dots
    int HeaderLine = 4;   // the lines of the header row and header column cells
    // Lines at the start of every page, CP932: line k at (5 mm, 4k mm).
    std::vector<std::string> PageHeader;
};

inline constexpr int kTableRowPixels = 18;
inline constexpr int kTableFontPixels = 12;

// The on-screen width of a column: its fixed width, or for a free column its widest text at
// 6 pixels a CP932 byte plus 10; 0 for a hidden column.
int TableColumnPixels(const CellGrid& grid, int column);

// The seven printed tabs by caption (UTF-8): "買い目候補", "メイン用", "ﾗｯﾌﾟﾀｲﾑ", "ラップ検証表",
// "ランキング", "ﾗｯﾌﾟ出馬表", "ﾗﾝｷﾝｸﾞ表".
const std::array<std::string_view, 7>& PrintedTabs();

// Whether the tab's table is one of the race shown (the page headers name the race).
bool IsRaceTab(std::string_view caption);

// The margins, line widths and page header of a printed tab; nothing for another caption.
// `race` is the race shown (SelectedRace), read by the lap card ("ﾗｯﾌﾟ出馬表": the race label
// and the three rows of its lap statistics panel, `lapPanels`) and the ranking table ("ﾗﾝｷﾝｸﾞ表":
// the race label). Race label: year + "年" + month + "月" + day + "日" (two stored digits each)
// + the racecourse's display name + the race number (two stored digits) + "R".
std::optional<TablePrintStyle> TabPrintStyle(std::string_view caption, const RaceSlot& race,
                                             const std::array<LapPanelRow, 3>& lapPanels);

// The pages of `grid` on a landscape printable area of `width` x `height` page units.
PrintDocument PrintTable(const CellGrid& grid, const TablePrintStyle& style, std::string_view caption,
                         int width = kPdfPrintableLong, int height = kPdfPrintableShort);

} // namespace vornal
