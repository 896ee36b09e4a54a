#pragma once

#include "present/PrintPage.h"
#include "results/HitReport.h"

// The printed tabs of the hit evaluation report ("印刷" on "馬連・ワイド" and "単勝・複勝").
namespace vornal {

// The column widths (screen pixels) of the report's tables, the same on screen and paper:
// "判定", "レース", "頭数", then the bets and the payouts.
int HitReportColumnWidth(int column);
inline constexpr int kHitReportRowHeight = 18;

// One page for one tab: the title, the totals under their captions and the table at
// (100, 270) in 6-point type with column widths and row heights doubled, texts 5 units
// inside each cell's corner, the outer border, the line below the header row and the line
// right of the first column 5 wide, every other line 1 wide.
void DrawHitTablePage(PageCanvas& canvas, const HitReport& report, const HitReportTable& table,
                      const std::array<std::string_view, 2>& betTypeNames);

// The page of one tab (0 "馬連・ワイド", 1 "単勝・複勝") as the tab's "印刷" shows it in the
// print preview; caption "的中判定", page range 1..1.
PrintDocument PrintHitTable(const HitReport& report, int tab);

// The two tabs as two pages ("馬連・ワイド", then "単勝・複勝"); caption "的中判定".
PrintDocument PrintHitTables(const HitReport& report);

} // namespace vornal
