#include "ui/HitReportWindow.h"

#include <QApplication>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "app/AppDir.h"
#include "app/SettingKeys.h"
#include "present/HitReportPages.h"
#include "ui/PrintPreviewWindow.h"
#include "ui/Text.h"
#include "ui/WindowPlace.h"

namespace vornal::ui {

QColor HitColour(HitCellColour colour)
{
    if (colour == HitCellColour::InfoTip) {
        return QApplication::palette().color(QPalette::ToolTipBase);
    }
    const Rgb rgb = ColourRgb(colour);
    return QColor(rgb.Red, rgb.Green, rgb.Blue);
}

HitReportModel::HitReportModel(const HitReportTable& table, QObject* parent) : QAbstractTableModel(parent)
{
    for (const std::string& header : table.Headers) {
        m_headers << Q(header);
    }
    for (const HitReportRow& row : table.Rows) {
        QStringList texts;
        QVector<QColor> colours;
        for (const HitReportCell& cell : row.Cells) {
            texts << Q(cell.Text);
            colours << HitColour(cell.Colour);
        }
        m_texts << texts;
        m_colours << colours;
    }
}

int HitReportModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_texts.size());
}

int HitReportModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QColor HitReportModel::Colour(int row, int column) const
{
    if (row < 0 || row >= m_colours.size() || column < 0 || column >= m_colours[row].size()) {
        return {};
    }
    return m_colours[row][column];
}

QVariant HitReportModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_texts.size()) {
        return {};
    }
    const QStringList& texts = m_texts[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return index.column() < texts.size() ? texts[index.column()] : QString();
    case Qt::BackgroundRole:
        return Colour(index.row(), index.column());
    case Qt::ForegroundRole:
        return QColor(Qt::black);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    default:
        return {};
    }
}

QVariant HitReportModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || section < 0) {
        return {};
    }
    if (orientation == Qt::Horizontal) {
        return section < m_headers.size() ? m_headers[section] : QVariant();
    }
    return {};
}

HitReportWindow::HitReportWindow(std::filesystem::path appDir, const HitReport& report, QWidget* parent)
    : QDialog(parent), m_appDir(std::move(appDir)), m_report(report), m_tabs(new QTabWidget(this))
{
    setObjectName(QStringLiteral("HitReport"));
    setWindowTitle(Q(report.WindowTitle));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_tabs);
    m_tabs->addTab(BuildTab(report, report.QuinellaWide, 0), Q(report.QuinellaWide.TabName));
    m_tabs->addTab(BuildTab(report, report.WinPlace, 1), Q(report.WinPlace.TabName));
    RestoreWindowPlace(*this, kHitReportPlace, m_appDir);
}

QWidget* HitReportWindow::BuildTab(const HitReport& report, const HitReportTable& table, int tab)
{
    auto* page = new QWidget(m_tabs);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* title = new QLabel(Q(table.Title), page);
    title->setObjectName(QStringLiteral("Title"));
    QFont bold = title->font();
    bold.setBold(true);
    bold.setUnderline(true);
    title->setFont(bold);
    auto* heading = new QHBoxLayout;
    heading->addWidget(title);
    heading->addStretch(1);
    // "印刷": the tab's page on the print preview, drawn from the same report.
    auto* print = new QPushButton(QStringLiteral("印刷"), page);
    print->setObjectName(QStringLiteral("Print"));
    connect(print, &QPushButton::clicked, this, [this, tab] { PrintTab(tab); });
    heading->addWidget(print);
    layout->addLayout(heading);

    auto* totals = new QGridLayout;
    totals->setHorizontalSpacing(16);
    for (int c = 0; c < static_cast<int>(report.TotalsCaptions.size()); ++c) {
        totals->addWidget(new QLabel(Q(report.TotalsCaptions[static_cast<std::size_t>(c)]), page), 0, c + 1,
                          Qt::AlignRight);
    }
    for (int r = 0; r < static_cast<int>(table.Totals.size()); ++r) {
        const HitReportTotals& line = table.Totals[static_cast<std::size_t>(r)];
        totals->addWidget(new QLabel(Q(line.Label), page), r + 1, 0);
        for (int c = 0; c < static_cast<int>(line.Texts.size()); ++c) {
            auto* value = new QLabel(Q(line.Texts[static_cast<std::size_t>(c)]), page);
            value->setObjectName(QStringLiteral("Total%1_%2").arg(r).arg(c));
            totals->addWidget(value, r + 1, c + 1, Qt::AlignRight);
        }
    }
    totals->setColumnStretch(static_cast<int>(report.TotalsCaptions.size()) + 1, 1);
    layout->addLayout(totals);

    auto* view = new QTableView(page);
    view->setObjectName(QStringLiteral("Table"));
    view->setModel(new HitReportModel(table, view));
    // A click leaves no highlight: the colours are the report.
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setFocusPolicy(Qt::NoFocus);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(18);
    view->horizontalHeader()->setFixedHeight(18);
    view->resizeColumnsToContents();
    layout->addWidget(view, 1);

    for (const std::string& note : report.Notes) {
        layout->addWidget(new QLabel(Q(note), page));
    }
    return page;
}

void HitReportWindow::PrintTab(int tab)
{
    PrintPreviewWindow preview(PrintHitTable(m_report, tab), m_appDir, this);
    preview.exec();
}

QTableView* HitReportWindow::Table(int tab) const
{
    QWidget* page = m_tabs->widget(tab);
    return page != nullptr ? page->findChild<QTableView*>(QStringLiteral("Table")) : nullptr;
}

HitReportModel* HitReportWindow::Model(int tab) const
{
    QTableView* view = Table(tab);
    return view != nullptr ? qobject_cast<HitReportModel*>(view->model()) : nullptr;
}

void HitReportWindow::done(int result)
{
    const QRect rect = geometry();
    // A place that cannot be saved only costs the next opening its place.
    static_cast<void>(kHitReportPlace.Write(Settings(SettingsFile(m_appDir)), {rect.top(), rect.left(), rect.width(), rect.height()}));
    QDialog::done(result);
}

} // namespace vornal::ui
