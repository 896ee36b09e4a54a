#include "ui/CardDelegate.h"

#include <QPainter>

#include "present/CardCells.h"
#include "render/DisplayListPainter.h"
#include "ui/GridModel.h"

namespace vornal::ui {

CardDelegate::CardDelegate(Grid grid, Source source, QObject* parent)
    : QStyledItemDelegate(parent), m_grid(grid), m_source(std::move(source))
{
}

void CardDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const auto* model = qobject_cast<const GridModel*>(index.model());
    const RaceDay* day = m_source.day ? m_source.day() : nullptr;
    const int race = m_source.race ? m_source.race() : -1;
    if (model == nullptr || day == nullptr || race < 0) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const CellGrid& grid = model->Grid();
    // The model shows the header row as the view's header: its first row is grid row 1.
    const int row = index.row() + grid.HeaderRows();
    const QRect& r = option.rect;
    const CellRect rect{static_cast<double>(r.x()), static_cast<double>(r.y()), static_cast<double>(r.width()),
                        static_cast<double>(r.height())};
    const std::string& horseNo = grid.Cell(row, 1);
    const std::optional<DisplayList> list =
        m_grid == Grid::RaceCard
            ? DrawRaceCardCell(*day, race, index.column(), row, horseNo, rect,
                               index.column() == 4 && m_source.developerView && m_source.developerView())
            : DrawDetailCell(*day, race, index.column(), row, horseNo, rect);
    if (!list) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->save();
    painter->setClipRect(r);
    render::PaintDisplayList(*painter, *list);
    painter->restore();
}

} // namespace vornal::ui
