#include "ui/PlainGridDelegate.h"

#include <QPainter>

#include "ui/GridModel.h"

namespace vornal::ui {

PlainGridDelegate::PlainGridDelegate(PlainGrid grid, QObject* parent) : QStyledItemDelegate(parent), m_grid(grid) {}

void PlainGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const auto* model = qobject_cast<const GridModel*>(index.model());
    if (model == nullptr) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const CellGrid& grid = model->Grid();
    const int row = index.row() + grid.HeaderRows();
    const Colour fill = PlainGridColour(m_grid, grid, row, index.column());
    const Colour ink = PlainGridInk(m_grid, grid, row, index.column());
    const QRect& r = option.rect;
    painter->save();
    painter->fillRect(r, QColor(fill.Red, fill.Green, fill.Blue));
    painter->setFont(option.font);
    painter->setPen(QColor(ink.Red, ink.Green, ink.Blue));
    painter->drawText(r.adjusted(0, PlainGridTextTop(m_grid), 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}

} // namespace vornal::ui
