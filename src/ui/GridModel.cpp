#include "ui/GridModel.h"

#include "ui/Text.h"

namespace vornal::ui {

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

void GridModel::SetGrid(CellGrid grid)
{
    beginResetModel();
    m_grid = std::move(grid);
    m_headers.clear();
    m_rows.clear();
    const int headerRows = std::min(m_grid.HeaderRows(), m_grid.RowCount());
    for (int column = 0; column < m_grid.ColumnCount(); ++column) {
        QStringList lines;
        for (int row = 0; row < headerRows; ++row) {
            lines << Q(m_grid.Cell(row, column));
        }
        m_headers << lines.join(QLatin1Char('\n'));
    }
    m_rows.reserve(m_grid.RowCount() - headerRows);
    for (int row = headerRows; row < m_grid.RowCount(); ++row) {
        QStringList cells;
        cells.reserve(m_grid.ColumnCount());
        for (int column = 0; column < m_grid.ColumnCount(); ++column) {
            cells << Q(m_grid.Cell(row, column));
        }
        m_rows << cells;
    }
    endResetModel();
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return m_rows[index.row()][index.column()];
    }
    if (role == Qt::TextAlignmentRole) {
        // The core writes numbers right-aligned in fixed widths; a monospaced left edge keeps
        // them lined up as the tables have always read.
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Horizontal) {
        return section >= 0 && section < m_headers.size() ? QVariant(m_headers[section]) : QVariant();
    }
    return section + 1;
}

} // namespace vornal::ui
