#pragma once

#include <QStyledItemDelegate>

#include "present/PlainGridColours.h"

// The plainer grids: each cell filled with the colour of its grid's rule, its own text
// centred a little below the cell's top.
namespace vornal::ui {

class PlainGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit PlainGridDelegate(PlainGrid grid, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    PlainGrid m_grid;
};

} // namespace vornal::ui
