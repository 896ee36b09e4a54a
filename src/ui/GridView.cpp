#include "ui/GridView.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace vornal::ui {

GridView::GridView(std::optional<SortTable> sortTable, QWidget* parent)
    : QWidget(parent), m_sortTable(sortTable), m_model(new GridModel(this)), m_table(new QTableView(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    if (m_sortTable) {
        auto* buttons = new QHBoxLayout;
        buttons->setSpacing(2);
        for (const SortToggle& toggle : TogglesOf(*m_sortTable)) {
            const std::string caption(toggle.Caption);
            auto* button = new QPushButton(QString::fromStdString(caption), this);
            button->setObjectName(QStringLiteral("toggle:") + QString::fromStdString(caption));
            connect(button, &QPushButton::clicked, this, [this, caption] { Press(caption); });
            buttons->addWidget(button);
        }
        buttons->addStretch(1);
        layout->addLayout(buttons);
    }
    m_table->setModel(m_model);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(18);
    m_table->horizontalHeader()->setHighlightSections(false);
    m_table->setWordWrap(false);
    layout->addWidget(m_table, 1);
}

void GridView::SetGrid(CellGrid grid)
{
    m_model->SetGrid(std::move(grid));
    ApplyWidths();
    m_table->clearSelection();
    m_table->scrollToTop();
}

bool GridView::Press(std::string_view caption)
{
    if (!m_sortTable) {
        return false;
    }
    CellGrid grid = m_model->Grid();
    if (!PressToggle(grid, *m_sortTable, caption)) {
        return false;
    }
    SetGrid(std::move(grid));
    return true;
}

void GridView::ApplyWidths()
{
    const CellGrid& grid = m_model->Grid();
    const QFontMetrics metrics(m_table->font());
    for (int column = 0; column < grid.ColumnCount(); ++column) {
        const int width = grid.ColumnWidth(column);
        m_table->setColumnHidden(column, width == 0);
        if (width > 0) {
            m_table->setColumnWidth(column, width);
        } else if (width == CellGrid::kFreeWidth) {
            // Sized once per refresh from the longest text, so nothing that matters is clipped.
            int widest = metrics.horizontalAdvance(m_model->headerData(column, Qt::Horizontal).toString());
            for (int row = 0; row < m_model->rowCount(); ++row) {
                widest = std::max(widest, metrics.horizontalAdvance(
                                              m_model->data(m_model->index(row, column)).toString()));
            }
            m_table->setColumnWidth(column, widest + 10);
        }
    }
}

} // namespace vornal::ui
