#pragma once

#include "present/CellGrid.h"
#include "season/SeasonReport.h"

// The tables of the season report as cell grids, for the window and the terminal alike.
// Numbers are right-aligned in fixed widths, so the grids sort by their texts.
namespace vornal {

// One row per label and bet type that had points or hits: the label, "券種", "買い点数"
// ("%6d"), "的中点数" ("%6d"), "的中率" ("%6.1f%"), "買い金額" and "回収金額" ("%10lld"),
// "回収率" (the rate text), "下限" and "上限" of the 90 % interval ("%6.1f%"). The header
// of column 0 is the breakdown's caption.
CellGrid BreakdownGrid(const BreakdownTable& table);

// Per series: "券種", "最大ドローダウン" ("%9lld円"), "期間" ("%4d日"), "最長連敗" ("%4d日"),
// "連敗レース" ("%5dR"), "回収率", "下限", "上限" ("%6.1f%"), "日数" ("%4d日").
CellGrid FiguresGrid(const MethodReport& method);

// Per payout band: "配当帯", "件数" ("%6d"), "予想平均", "払戻平均" ("%10.1f"), "比率" ("%7.3f").
CellGrid CalibrationGrid(const std::vector<CalibrationRow>& rows);

} // namespace vornal
