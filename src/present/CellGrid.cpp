#include "present/CellGrid.h"

#include <algorithm>

namespace vornal {
namespace {

const std::string kNoCell;

} // namespace

CellGrid::CellGrid(int rows, int columns) : m_columns(std::max(columns, 0))
{
    m_widths.assign(static_cast<std::size_t>(m_columns), kFreeWidth);
    SetRowCount(rows);
}

const std::string& CellGrid::Cell(int row, int column) const
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= m_columns) {
        return kNoCell;
    }
    return m_cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void CellGrid::Set(int row, int column, std::string_view text)
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= m_columns) {
        return;
    }
    m_cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
}

void CellGrid::SetRowCount(int rows)
{
    m_cells.resize(static_cast<std::size_t>(std::max(rows, 0)),
                   std::vector<std::string>(static_cast<std::size_t>(m_columns)));
}

void CellGrid::FillData(std::string_view text)
{
    for (int c = 0; c < m_columns; ++c) {
        FillDataColumn(c, text);
    }
}

void CellGrid::FillDataColumn(int column, std::string_view text)
{
    for (int r = m_headerRows; r < RowCount(); ++r) {
        Set(r, column, text);
    }
}

void CellGrid::SwapRows(int a, int b)
{
    if (a >= 0 && b >= 0 && a < RowCount() && b < RowCount()) {
        m_cells[static_cast<std::size_t>(a)].swap(m_cells[static_cast<std::size_t>(b)]);
    }
}

int CellGrid::ColumnWidth(int column) const
{
    if (column < 0 || column >= m_columns) {
        return kFreeWidth;
    }
    return m_widths[static_cast<std::size_t>(column)];
}

void CellGrid::SetColumnWidth(int column, int pixels)
{
    if (column >= 0 && column < m_columns) {
        m_widths[static_cast<std::size_t>(column)] = pixels;
    }
}

std::string GridLines(const CellGrid& grid, std::string_view lineEnd)
{
    std::string text;
    for (int r = 0; r < grid.RowCount(); ++r) {
        for (int c = 0; c < grid.ColumnCount(); ++c) {
            if (c > 0) {
                text += '\t';
            }
            text += grid.Cell(r, c);
        }
        text += lineEnd;
    }
    return text;
}

std::string GridText(const CellGrid& grid)
{
    std::vector<std::size_t> widths(static_cast<std::size_t>(grid.ColumnCount()), 0);
    for (int r = 0; r < grid.RowCount(); ++r) {
        for (int c = 0; c < grid.ColumnCount(); ++c) {
            widths[static_cast<std::size_t>(c)] = std::max(widths[static_cast<std::size_t>(c)], grid.Cell(r, c).size());
        }
    }
    std::string text;
    for (int r = 0; r < grid.RowCount(); ++r) {
        std::string line;
        for (int c = 0; c < grid.ColumnCount(); ++c) {
            if (c > 0) {
                line += ' ';
            }
            const std::string& cell = grid.Cell(r, c);
            line += cell;
            line.append(widths[static_cast<std::size_t>(c)] - cell.size(), ' ');
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        text += line + "\n";
    }
    return text;
}

} // namespace vornal
