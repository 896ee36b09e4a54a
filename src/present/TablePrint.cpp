#include "present/TablePrint.h"

#include <algorithm>
#include <cmath>

#include "present/RaceLabels.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "vocab/CodeNames.h"
#include "vocab/RaceTexts.h"

namespace vornal {
namespace {

// Screen pixels (96 per inch) in page units: the size a cell keeps on paper.
int PixelsToUnits(int pixels)
{
    return static_cast<int>(std::lround(pixels * 254.0 / 96.0));
}

// Bands of consecutive items, each as long as fits in `room` beside the repeated part.
std::vector<std::vector<int>> Bands(const std::vector<int>& items, const std::vector<int>& sizes, int room)
{
    std::vector<std::vector<int>> bands;
    int used = 0;
    for (const int item : items) {
        const int size = sizes[static_cast<std::size_t>(item)];
        if (bands.empty() || (used + size > room && !bands.back().empty())) {
            bands.emplace_back();
            used = 0;
        }
        bands.back().push_back(item);
        used += size;
    }
    if (bands.empty()) {
        bands.emplace_back();
    }
    return bands;
}

// The screen face of 12 pixels at 96 per inch is 9 points.
int PixelsToPoints(int pixels)
{
    return static_cast<int>(std::lround(pixels * 72.0 / 96.0));
}

} // namespace

const std::array<std::string_view, 7>& PrintedTabs()
{
    static constexpr std::array<std::string_view, 7> kTabs{"買い目候補", "メイン用",   "ﾗｯﾌﾟﾀｲﾑ", "ラップ検証表",
                                                           "ランキング", "ﾗｯﾌﾟ出馬表", "ﾗﾝｷﾝｸﾞ表"};
    return kTabs;
}

bool IsRaceTab(std::string_view caption)
{
    return caption == "ランキング" || caption == "ﾗｯﾌﾟ出馬表" || caption == "ﾗﾝｷﾝｸﾞ表";
}

std::optional<TablePrintStyle> TabPrintStyle(std::string_view caption, const RaceSlot& race,
                                             const std::array<LapPanelRow, 3>& lapPanels)
{
    const auto& tabs = PrintedTabs();
    if (std::find(tabs.begin(), tabs.end(), caption) == tabs.end()) {
        return std::nullopt;
    }
    TablePrintStyle style;
    if (caption != "ﾗｯﾌﾟ出馬表" && caption != "ﾗﾝｷﾝｸﾞ表") {
        return style;
    }
    const std::string_view key = race.SlotKey.View();
    style.MarginLeft = 5;
    style.OrdinaryLine = 2;
    style.PageHeader.push_back(DateText(key) + CourseName(SlotCourseCode(race), CourseForm::Display) +
                               StoredRaceLabel(Field(key, 15, 2)));
    if (caption == "ﾗﾝｷﾝｸﾞ表") {
        return style;
    }
    style.MarginTop = 25;
    style.PageHeader.push_back(Sjis("           サンプル数　平均"));
    static constexpr std::string_view kCaptions[] = {"勝ちタイム　　", "前半スピード　", "後半スピード　"};
    for (std::size_t i = 0; i < lapPanels.size(); ++i) {
        const LapPanelRow& row = lapPanels[i];
        style.PageHeader.push_back(Sjis(kCaptions[i]) + row.SampleCount + Sjis("　　　") + row.Mean + Sjis("　") +
                                   row.SpreadPlus + Sjis("～") + row.SpreadMinus);
    }
    return style;
}

int TableColumnPixels(const CellGrid& grid, int column)
{
    const int width = grid.ColumnWidth(column);
    if (width != CellGrid::kFreeWidth) {
        return std::max(width, 0);
    }
    std::size_t widest = 2;
    for (int row = 0; row < grid.RowCount(); ++row) {
        widest = std::max(widest, grid.Cell(row, column).size());
    }
    return static_cast<int>(widest) * 6 + 10;
}

PrintDocument PrintTable(const CellGrid& grid, const TablePrintStyle& style, std::string_view caption, int width,
                         int height)
{
    PrintDocument document;
    document.Caption = std::string(caption);
    document.Landscape = true;
    PageCanvas canvas(document);

    std::vector<int> columnUnits;
    std::vector<int> headerColumns;
    std::vector<int> dataColumns;
    for (int c = 0; c < grid.ColumnCount(); ++c) {
        const int pixels = TableColumnPixels(grid, c);
        columnUnits.push_back(PixelsToUnits(pixels));
        if (pixels > 0) {
            (c < grid.HeaderColumns() ? headerColumns : dataColumns).push_back(c);
        }
    }
    const int rowUnits = PixelsToUnits(kTableRowPixels);
    std::vector<int> rowSizes(static_cast<std::size_t>(grid.RowCount()), rowUnits);
    std::vector<int> headerRows;
    std::vector<int> dataRows;
    for (int r = 0; r < grid.RowCount(); ++r) {
        (r < grid.HeaderRows() ? headerRows : dataRows).push_back(r);
    }

    const int left = style.MarginLeft * 10;
    const int top = style.MarginTop * 10;
    int fixedWidth = 0;
    for (const int c : headerColumns) {
        fixedWidth += columnUnits[static_cast<std::size_t>(c)];
    }
    const int fixedHeight = rowUnits * static_cast<int>(headerRows.size());
    const auto columnBands = Bands(dataColumns, columnUnits, width - style.MarginRight * 10 - left - fixedWidth);
    const auto rowBands = Bands(dataRows, rowSizes, height - style.MarginBottom * 10 - top - fixedHeight);

    bool first = true;
    for (const std::vector<int>& rowBand : rowBands) {
        for (const std::vector<int>& columnBand : columnBands) {
            if (!first) {
                canvas.NewPage();
            }
            first = false;
            canvas.SetFontName(kPrintFont);
            canvas.SetFont(PixelsToPoints(kTableFontPixels));
            for (std::size_t k = 0; k < style.PageHeader.size(); ++k) {
                canvas.Text(50, 40 * static_cast<int>(k + 1), style.PageHeader[k]);
            }
            std::vector<int> columns = headerColumns;
            columns.insert(columns.end(), columnBand.begin(), columnBand.end());
            std::vector<int> rows = headerRows;
            rows.insert(rows.end(), rowBand.begin(), rowBand.end());
            canvas.SetBrushClear();
            // Ordinary cells first, so the heavier lines of the header cells lie on top.
            for (const bool header : {false, true}) {
                canvas.SetPenDots(header ? style.HeaderLine : style.OrdinaryLine);
                int y = top;
                for (const int r : rows) {
                    int x = left;
                    for (const int c : columns) {
                        const int w = columnUnits[static_cast<std::size_t>(c)];
                        const bool headerCell = r < grid.HeaderRows() || c < grid.HeaderColumns();
                        if (headerCell == header) {
                            canvas.Rect(x, y, x + w, y + rowUnits);
                            canvas.Text(x + PixelsToUnits(2), y + PixelsToUnits(2), grid.Cell(r, c));
                        }
                        x += w;
                    }
                    y += rowUnits;
                }
            }
        }
    }
    document.LastPage = static_cast<int>(document.Pages.size());
    return document;
}

} // namespace vornal
