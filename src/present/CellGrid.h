#pragma once

#include <string>
#include <string_view>
#include <vector>

// A table of the screens as plain text cells: the one form in which every table of the
// workbench is produced. The window model, the terminal and TSV output, the clipboard text
// and the printed tables all read it, so they cannot disagree.
//
// Cells are CP932 text. Row 0 (and any further header row) holds the column headers; column
// 0 is the header column that the printouts repeat on every page. Rows 1..RowCount()-1 are
// the data rows. Column widths are pixel widths where the screen fixes them (0 = a hidden
// sort key), kFreeWidth otherwise.
namespace vornal {

class CellGrid
{
public:
    static constexpr int kFreeWidth = -1;

    CellGrid() = default;
    // A grid of `rows` x `columns` empty cells with one header row and one header column.
    CellGrid(int rows, int columns);

    int RowCount() const { return static_cast<int>(m_cells.size()); }
    int ColumnCount() const { return m_columns; }
    int HeaderRows() const { return m_headerRows; }
    int HeaderColumns() const { return m_headerColumns; }
    void SetHeaderRows(int rows) { m_headerRows = rows; }
    void SetHeaderColumns(int columns) { m_headerColumns = columns; }

    // The cell text; a cell outside the grid reads as empty.
    const std::string& Cell(int row, int column) const;
    // Sets a cell; a cell outside the grid is ignored (the callers write only inside).
    void Set(int row, int column, std::string_view text);

    // Changes the row count, keeping the rows that stay; new rows are empty.
    void SetRowCount(int rows);
    // Sets every data cell (all rows below the header rows) to `text`.
    void FillData(std::string_view text);
    // Sets one column's data cells to `text`.
    void FillDataColumn(int column, std::string_view text);
    void SwapRows(int a, int b);
    const std::vector<std::string>& Row(int row) const { return m_cells[static_cast<std::size_t>(row)]; }

    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int pixels);

    friend bool operator==(const CellGrid&, const CellGrid&) = default;

private:
    int m_columns = 0;
    int m_headerRows = 1;
    int m_headerColumns = 1;
    std::vector<std::vector<std::string>> m_cells;
    std::vector<int> m_widths;
};

// The grid as lines of TAB-separated cells, each line ended by `lineEnd`: the form of the
// clipboard (CR LF) and of TSV output (LF). Cells are written as they are, CP932.
std::string GridLines(const CellGrid& grid, std::string_view lineEnd);

// The grid as aligned text for a terminal: each column padded on the right with blanks to its
// widest cell, columns separated by one blank, lines ended by LF. CP932 byte widths are the
// display widths (half-width characters one byte, full-width two), so the columns line up.
std::string GridText(const CellGrid& grid);

} // namespace vornal
