#pragma once

#include <functional>

#include <QStyledItemDelegate>

#include "raceday/RaceDay.h"

// Hands every cell of the race card or the detail grid to the core's cell drawing and paints
// the result; the header row and a row without a runner show the cell's own text. The day,
// the race and the developer view are asked for at every paint, so the cells always show the
// day as it is now.
namespace vornal::ui {

class CardDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    enum class Grid { RaceCard, Detail };

    struct Source
    {
        std::function<const RaceDay*()> day;
        std::function<int()> race;
        std::function<bool()> developerView;
    };

    CardDelegate(Grid grid, Source source, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    Grid m_grid;
    Source m_source;
};

} // namespace vornal::ui
