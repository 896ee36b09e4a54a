#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

#include "present/CellGrid.h"

// Shows one core cell grid: its header rows as the horizontal header, its data rows as
// the rows. The texts are converted once when the grid is set, never while painting.
namespace vornal::ui {

class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit GridModel(QObject* parent = nullptr);

    // Replaces the grid shown (a reset: views keep no stale rows).
    void SetGrid(CellGrid grid);
    const CellGrid& Grid() const { return m_grid; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    CellGrid m_grid;
    QStringList m_headers;
    QVector<QStringList> m_rows;
};

} // namespace vornal::ui
