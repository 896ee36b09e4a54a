#include "present/HitReportPages.h"

#include <numeric>

#include "text/Encoding.h"

namespace vornal {

int HitReportColumnWidth(int column)
{
    return column == 0 ? 40 : column == 1 ? 110 : column == 2 ? 40 : 64;
}

void DrawHitTablePage(PageCanvas& canvas, const HitReport& report, const HitReportTable& table,
                      const std::array<std::string_view, 2>& betTypeNames)
{
    canvas.SetFontName(kPrintFont);
    canvas.SetFontColour(kPrintBlack);
    canvas.SetFont(10, true, true);
    canvas.Text(100, 30, table.Title);
    canvas.SetFont(10);
    static constexpr int kTotalsX[] = {600, 850, 1100, 1350, 1600};
    for (int i = 0; i < 5; ++i) {
        canvas.Text(kTotalsX[i], 100, report.TotalsCaptions[i]);
    }
    for (int line = 0; line < 2; ++line) {
        const int y = 150 + 50 * line;
        canvas.Text(350, y, Sjis(betTypeNames[line]));
        for (int i = 0; i < 5; ++i) {
            canvas.Text(kTotalsX[i], y, table.Totals[line].Texts[i]);
        }
    }

    // The grid: header row and one row per race, every size doubled from the screen.
    const int columns = static_cast<int>(table.Headers.size());
    const int rows = 1 + static_cast<int>(table.Rows.size());
    const int left = 100;
    const int top = 270;
    const int rowHeight = 2 * kHitReportRowHeight;
    std::vector<int> xs{left};
    for (int c = 0; c < columns; ++c) {
        xs.push_back(xs.back() + 2 * HitReportColumnWidth(c));
    }
    const int right = xs.back();
    const int bottom = top + rows * rowHeight;

    canvas.SetFont(6);
    for (int c = 0; c < columns; ++c) {
        canvas.Text(xs[c] + 5, top + 5, table.Headers[c]);
    }
    for (int r = 1; r < rows; ++r) {
        const HitReportRow& row = table.Rows[r - 1];
        for (int c = 0; c < columns && c < static_cast<int>(row.Cells.size()); ++c) {
            canvas.Text(xs[c] + 5, top + r * rowHeight + 5, row.Cells[c].Text);
        }
    }
    canvas.SetBrushClear();
    canvas.SetPen(1);
    for (int r = 2; r < rows; ++r) {
        canvas.Line(left, top + r * rowHeight, right, top + r * rowHeight);
    }
    for (int c = 2; c < columns; ++c) {
        canvas.Line(xs[c], top, xs[c], bottom);
    }
    canvas.SetPen(5);
    canvas.Rect(left, top, right, bottom);
    canvas.Line(left, top + rowHeight, right, top + rowHeight);
    canvas.Line(xs[1], top, xs[1], bottom);
}

PrintDocument PrintHitTable(const HitReport& report, int tab)
{
    PrintDocument document;
    document.Caption = "的中判定";
    PageCanvas canvas(document);
    if (tab == 0) {
        DrawHitTablePage(canvas, report, report.QuinellaWide, {"馬連", "ﾜｲﾄﾞ"});
    } else {
        DrawHitTablePage(canvas, report, report.WinPlace, {"単勝", "複勝"});
    }
    document.LastPage = 1;
    return document;
}

PrintDocument PrintHitTables(const HitReport& report)
{
    PrintDocument document;
    document.Caption = "的中判定";
    PageCanvas canvas(document);
    DrawHitTablePage(canvas, report, report.QuinellaWide, {"馬連", "ﾜｲﾄﾞ"});
    canvas.NewPage();
    DrawHitTablePage(canvas, report, report.WinPlace, {"単勝", "複勝"});
    document.LastPage = 2;
    return document;
}

} // namespace vornal
