#include "ui/RaceViewBindings.h"

#include <filesystem>

#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>

#include "betting/BetMethod.h"
#include "present/CardCells.h"
#include "present/ClipboardText.h"
#include "present/ViewRegistry.h"
#include "session/DaySession.h"
#include "ui/CardDelegate.h"
#include "ui/GridView.h"
#include "ui/MainWindow.h"
#include "ui/MarginChartView.h"
#include "ui/PlainGridDelegate.h"
#include "ui/RaceAnalysisPanel.h"

namespace vornal::ui {
namespace {

void PaintCards(GridView* view, CardDelegate::Grid grid, CardDelegate::Source source, int rowHeight)
{
    QTableView* table = view->Table();
    table->setItemDelegate(new CardDelegate(grid, std::move(source), table));
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(rowHeight);
    table->horizontalHeader()->setFixedHeight(kCardHeaderHeight);
}

} // namespace

QString ViewCaption(const ViewDescription& view)
{
    return QString::fromUtf8(view.Caption.data(), static_cast<qsizetype>(view.Caption.size()));
}

MarginChartView* BindRaceViews(MainWindow& window, DaySession& session)
{
    auto day = [&session]() { return session.Day(); };
    auto race = [&window]() { return window.SelectedRace(); };
    // The developer lines are decided at every paint by the marker file.
    auto developer = [dir = session.AppDir()]() { return IsDeveloperView(dir); };
    auto title = [&session, &window](ViewTitle kind) {
        const RaceDay* shown = session.Day();
        if (shown == nullptr || (kind != ViewTitle::Day && window.SelectedRace() < 0)) {
            return std::string();
        }
        return ViewTitleText(kind, *shown, window.SelectedRace());
    };

    MarginChartView* chart = nullptr;
    const ViewDescription* previous = nullptr;
    for (const ViewDescription& view : Views()) {
        if (!view.Tab) {
            continue;
        }
        if (view.Painter == ViewPainter::MarginChart) {
            chart = new MarginChartView(day, race);
            chart->setObjectName(ViewCaption(view));
            // After the tab before it in the list (the last tab when there is none).
            QTabWidget* tabs = window.Tabs();
            int after = tabs->count() - 1;
            for (int i = 0; previous != nullptr && i < tabs->count(); ++i) {
                if (tabs->tabText(i) == ViewCaption(*previous)) {
                    after = i;
                }
            }
            tabs->insertTab(after + 1, chart, ViewCaption(view));
            QObject::connect(window.AnalysisPanel(), &RaceAnalysisPanel::Shown, chart, &MarginChartView::Draw);
            previous = &view;
            continue;
        }
        previous = &view;
        GridView* grid = window.View(view);
        if (grid == nullptr) {
            continue;
        }
        switch (view.Painter) {
        case ViewPainter::RaceCard:
            PaintCards(grid, CardDelegate::Grid::RaceCard, {day, race, developer}, kRaceCardRowHeight);
            break;
        case ViewPainter::Detail:
            PaintCards(grid, CardDelegate::Grid::Detail, {day, race, {}}, kDetailRowHeight);
            break;
        case ViewPainter::Plain: {
            QTableView* table = grid->Table();
            table->setItemDelegate(new PlainGridDelegate(view.PlainKind, table));
            // The header row of the plain grids is grey (192, 192, 192).
            table->horizontalHeader()->setStyleSheet(QStringLiteral(
                "QHeaderView::section { background-color: rgb(192, 192, 192); border: 1px solid gray; }"));
            break;
        }
        default:
            break;
        }
        if (view.Title != ViewTitle::None) {
            grid->EnableClipboard([title, kind = view.Title] { return title(kind); });
        }
    }
    return chart;
}

} // namespace vornal::ui
