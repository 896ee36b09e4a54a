#include "ui/GridView.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include "present/ClipboardText.h"
#include "ui/Text.h"

namespace vornal::ui {

namespace {

// A toggle as wide as its caption: the style's minimum button width would make the rows of
// fourteen toggles wider than the window's default size.
void FitToCaption(QPushButton* button)
{
    const int text = button->fontMetrics().horizontalAdvance(button->text());
    button->setFixedWidth(text + 8);
}

} // namespace

GridView::GridView(std::optional<SortTable> sortTable, QWidget* parent)
    : QWidget(parent), m_sortTable(sortTable), m_model(new GridModel(this)), m_table(new QTableView(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    if (m_sortTable) {
        m_toggles = new QButtonGroup(this);
        m_toggles->setExclusive(true);
        // The buttons scroll in a narrow window instead of widening it past its geometry.
        auto* strip = new QScrollArea(this);
        auto* row = new QWidget(strip);
        auto* buttons = new QHBoxLayout(row);
        buttons->setContentsMargins(0, 0, 0, 0);
        buttons->setSpacing(2);
        for (const SortToggle& toggle : TogglesOf(*m_sortTable)) {
            const std::string caption(toggle.Caption);
            auto* button = new QPushButton(QString::fromStdString(caption), row);
            FitToCaption(button);
            button->setObjectName(QStringLiteral("toggle:") + QString::fromStdString(caption));
            button->setCheckable(true);
            m_toggles->addButton(button);
            connect(button, &QPushButton::clicked, this, [this, caption] { Press(caption); });
            buttons->addWidget(button);
        }
        buttons->addStretch(1);
        m_buttons = buttons;
        strip->setWidget(row);
        strip->setWidgetResizable(true);
        strip->setFrameShape(QFrame::NoFrame);
        strip->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        strip->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        int buttonHeight = 0;
        for (const QPushButton* button : row->findChildren<QPushButton*>()) {
            buttonHeight = std::max(buttonHeight, button->sizeHint().height());
        }
        strip->setFixedHeight(buttonHeight + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4);
        layout->addWidget(strip);
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
    ShowGrid(std::move(grid));
    if (m_sortTable) {
        Press("馬番");
    }
}

void GridView::ShowGrid(CellGrid grid)
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
    ShowGrid(std::move(grid));
    if (QPushButton* button = Toggle(caption)) {
        button->setChecked(true);
    }
    return true;
}

QPushButton* GridView::Toggle(std::string_view caption) const
{
    return findChild<QPushButton*>(QStringLiteral("toggle:") + QString::fromUtf8(caption.data(), caption.size()));
}

void GridView::EnableClipboard(std::function<std::string()> title)
{
    m_title = std::move(title);
    if (m_clipboard) {
        return;
    }
    m_clipboard = new QPushButton(QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞ"), this);
    m_clipboard->setObjectName(QStringLiteral("ClipboardButton"));
    if (m_buttons) {
        FitToCaption(m_clipboard);
    }
    connect(m_clipboard, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(Q(ClipboardCopy())); });
    if (m_buttons) {
        m_buttons->insertWidget(m_buttons->count() - 1, m_clipboard);
    } else {
        auto* row = new QHBoxLayout;
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(m_clipboard);
        row->addStretch(1);
        static_cast<QVBoxLayout*>(layout())->insertLayout(0, row);
    }
}

std::string GridView::ClipboardCopy() const
{
    return ClipboardText(m_model->Grid(), m_title ? m_title() : std::string());
}

void GridView::ApplyWidths()
{
    const CellGrid& grid = m_model->Grid();
    // The tables are set in the fixed-pitch face, where a CP932 byte is half a full-width
    // character: a column's widest text in bytes is its width, with no text measured.
    const int halfWidth = QFontMetrics(m_table->font()).horizontalAdvance(QLatin1Char('0'));
    for (int column = 0; column < grid.ColumnCount(); ++column) {
        const int width = grid.ColumnWidth(column);
        m_table->setColumnHidden(column, width == 0);
        if (width > 0) {
            m_table->setColumnWidth(column, width);
        } else if (width == CellGrid::kFreeWidth) {
            std::size_t widest = 2;
            for (int row = 0; row < grid.RowCount(); ++row) {
                widest = std::max(widest, grid.Cell(row, column).size());
            }
            m_table->setColumnWidth(column, static_cast<int>(widest) * halfWidth + 10);
        }
    }
}

} // namespace vornal::ui
