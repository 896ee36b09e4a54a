#include "ui/RaceViewBindings.h"

#include <filesystem>

#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>

#include "betting/BetMethod.h"
#include "present/CardCells.h"
#include "present/ClipboardText.h"
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

MarginChartView* BindRaceViews(MainWindow& window, DaySession& session)
{
    auto day = [&session]() { return session.Day(); };
    auto race = [&window]() { return window.SelectedRace(); };
    // The developer lines are decided at every paint by the marker file.
    auto developer = [dir = session.AppDir()]() { return IsDeveloperView(dir); };

    PaintCards(window.View(QStringLiteral("出馬表")), CardDelegate::Grid::RaceCard, {day, race, developer},
               kRaceCardRowHeight);
    PaintCards(window.View(QStringLiteral("個別詳細検討用")), CardDelegate::Grid::Detail, {day, race, {}},
               kDetailRowHeight);

    const std::pair<const char*, PlainGrid> plain[] = {{"ﾗｯﾌﾟ出馬表", PlainGrid::LapCard},
                                                       {"ﾗﾝｷﾝｸﾞ表", PlainGrid::Ranking},
                                                       {"メイン用", PlainGrid::Main},
                                                       {"ﾗｯﾌﾟﾀｲﾑ", PlainGrid::LapTime},
                                                       {"ラップ検証表", PlainGrid::LapCheck}};
    for (const auto& [caption, kind] : plain) {
        QTableView* table = window.View(QString::fromUtf8(caption))->Table();
        table->setItemDelegate(new PlainGridDelegate(kind, table));
        // The header row of the plain grids is grey (192, 192, 192).
        table->horizontalHeader()->setStyleSheet(
            QStringLiteral("QHeaderView::section { background-color: rgb(192, 192, 192); border: 1px solid gray; }"));
    }

    auto dayTitle = [&session]() { return session.Day() ? DayTitle(*session.Day()) : std::string(); };
    for (const char* caption : {"買い目候補", "メイン用", "ﾗｯﾌﾟﾀｲﾑ", "ラップ検証表"}) {
        window.View(QString::fromUtf8(caption))->EnableClipboard(dayTitle);
    }
    auto raceTitle = [&session, &window](CourseForm form) {
        const RaceDay* shown = session.Day();
        return shown && window.SelectedRace() >= 0 ? RaceTitle(*shown, window.SelectedRace(), form) : std::string();
    };
    window.View(QStringLiteral("ランキング"))->EnableClipboard([raceTitle] { return raceTitle(CourseForm::Short); });
    window.View(QStringLiteral("ﾗﾝｷﾝｸﾞ表"))->EnableClipboard([raceTitle] { return raceTitle(CourseForm::Display); });
    window.View(QStringLiteral("ﾗｯﾌﾟ出馬表"))->EnableClipboard([&session, &window] {
        const RaceDay* shown = session.Day();
        return shown && window.SelectedRace() >= 0 ? LapCardTitle(*shown, window.SelectedRace()) : std::string();
    });

    auto* chart = new MarginChartView(day, race);
    chart->setObjectName(QStringLiteral("着差表"));
    QTabWidget* tabs = window.Tabs();
    int after = tabs->count() - 1;
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == QStringLiteral("個別詳細検討用")) {
            after = i;
        }
    }
    tabs->insertTab(after + 1, chart, QStringLiteral("着差表"));
    QObject::connect(window.AnalysisPanel(), &RaceAnalysisPanel::Shown, chart, &MarginChartView::Draw);
    return chart;
}

} // namespace vornal::ui
