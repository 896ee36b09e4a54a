#include "PaintedGridsTest.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <fstream>
#include <memory>

#include <unistd.h>

#include "betting/BetMethod.h"
#include "cli/CliRun.h"
#include "present/CardCells.h"
#include "present/ClipboardText.h"
#include "present/GridSort.h"
#include "render/DisplayListPainter.h"
#include "text/Format.h"
#include "store/StorePaths.h"
#include "ui/GridView.h"
#include "ui/MainWindow.h"
#include "ui/Text.h"
#include "ui/Workbench.h"

namespace fs = std::filesystem;
using namespace vornal;
using namespace vornal::ui;

namespace {

// Opens the window on the store, loads `day` and waits until its first race shows.
std::unique_ptr<Workbench> OpenDay(const fs::path& app, const std::string& day)
{
    auto workbench = std::make_unique<Workbench>(app);
    if (workbench->Open()) {
        return nullptr;
    }
    MainWindow& window = *workbench->Window();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window) || !window.LoadDate(day)) {
        return nullptr;
    }
    if (!QTest::qWaitFor([&] { return !window.Loading() && window.SelectedRace() >= 0; }, 60000)) {
        return nullptr;
    }
    QTest::qWait(20);
    return workbench;
}

// What the grid's delegate paints for the cell at the model index, at the cell's size.
QImage PaintedCell(QTableView* table, int row, int column, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.rect = QRect(QPoint(0, 0), size);
    option.font = table->font();
    table->itemDelegate()->paint(&painter, option, table->model()->index(row, column));
    return image;
}

QImage PaintedList(const DisplayList& list, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setClipRect(QRect(QPoint(0, 0), size));
    render::PaintDisplayList(painter, list);
    return image;
}

void Save(QWidget* widget, const QString& name)
{
    QDir().mkpath(QStringLiteral(VORNAL_SCREENSHOT_DIR));
    QVERIFY(widget->grab().save(QStringLiteral(VORNAL_SCREENSHOT_DIR "/") + name + QStringLiteral(".png")));
}

} // namespace

void PaintedGridsTest::initTestCase()
{
    SetApplicationFonts();
    m_root = fs::temp_directory_path() / ("vornal-painted-" + std::to_string(::getpid()));
    fs::remove_all(m_root);
    fs::create_directories(m_root);
    m_app = m_root / "app";
    const std::string app = test::ShellQuote(m_app.string());
    const std::string feed = test::ShellQuote((m_root / "feed").string());
    QCOMPARE(test::RunCli("samplegen --feed " + feed + " --seed 3 --days 4 --tuning " + app).exitCode, 0);
    QCOMPARE(test::RunCli("--app-dir " + app + " acquire --feed " + feed + " --from '2000/01/01 00:00:00'").exitCode,
             0);
    m_days = StoredDayNames(m_app);
    QVERIFY(m_days.size() >= 2);
}

void PaintedGridsTest::cleanupTestCase()
{
    fs::remove_all(m_root);
}

void PaintedGridsTest::rankingTogglesSortAsTheCoreDoesWithOneDown()
{
    const std::unique_ptr<Workbench> workbench = OpenDay(m_app, m_days[1]);
    QVERIFY(workbench);
    MainWindow& window = *workbench->Window();
    QVERIFY(window.SelectTab(QStringLiteral("ﾗﾝｷﾝｸﾞ表")));
    GridView* view = window.View(QStringLiteral("ﾗﾝｷﾝｸﾞ表"));
    QVERIFY(view->Toggle("馬番")->isChecked());
    for (const SortToggle& toggle : RankingToggles()) {
        const QString caption = QString::fromUtf8(toggle.Caption.data(), toggle.Caption.size());
        CellGrid expected = view->Grid();
        SortByToggle(expected, toggle);
        QPushButton* button = view->Toggle(toggle.Caption);
        QVERIFY2(button, qPrintable(caption));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY2(view->Grid() == expected, qPrintable(caption));
        int down = 0;
        for (const SortToggle& other : RankingToggles()) {
            down += view->Toggle(other.Caption)->isChecked() ? 1 : 0;
        }
        QCOMPARE(down, 1);
        QVERIFY(button->isChecked());
        // The table shows the sorted grid's own texts.
        QCOMPARE(view->Table()->model()->index(0, 2).data().toString(), Q(expected.Cell(1, 2)));
    }
    // Another race presses "馬番" again.
    window.ShowEntry(1);
    QVERIFY(view->Toggle("馬番")->isChecked());
    CellGrid numbered = view->Grid();
    QVERIFY(PressToggle(numbered, SortTable::Ranking, "馬番"));
    QVERIFY(view->Grid() == numbered);
}

void PaintedGridsTest::clipboardButtonsCopyTheTableWithItsTitle()
{
    const std::unique_ptr<Workbench> workbench = OpenDay(m_app, m_days[1]);
    QVERIFY(workbench);
    MainWindow& window = *workbench->Window();
    const RaceDay& day = *workbench->Session().Day();
    const int slot = window.SelectedRace();
    struct Expected
    {
        const char* tab;
        std::string title;
    };
    const Expected tables[] = {{"ﾗﾝｷﾝｸﾞ表", RaceTitle(day, slot, CourseForm::Display)},
                               {"ランキング", RaceTitle(day, slot, CourseForm::Short)},
                               {"ﾗｯﾌﾟ出馬表", LapCardTitle(day, slot)},
                               {"メイン用", DayTitle(day)},
                               {"ﾗｯﾌﾟﾀｲﾑ", DayTitle(day)},
                               {"ラップ検証表", DayTitle(day)},
                               {"買い目候補", DayTitle(day)}};
    for (const Expected& table : tables) {
        GridView* view = window.View(QString::fromUtf8(table.tab));
        QVERIFY2(view->ClipboardButton(), table.tab);
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(view->ClipboardButton(), Qt::LeftButton);
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied, Q(ClipboardText(view->Grid(), table.title)));
        QVERIFY(copied.startsWith(Q(table.title) + QStringLiteral("\r\n")));
    }
    QVERIFY(!window.View(QStringLiteral("出馬表"))->ClipboardButton());
    QVERIFY(!window.View(QStringLiteral("個別詳細検討用"))->ClipboardButton());
}

void PaintedGridsTest::sortedRowsKeepTheirRunnersDrawing()
{
    const std::unique_ptr<Workbench> workbench = OpenDay(m_app, m_days[1]);
    QVERIFY(workbench);
    MainWindow& window = *workbench->Window();
    const RaceDay& day = *workbench->Session().Day();
    const int slot = window.SelectedRace();
    const RaceSlot& race = day.Races[slot];
    GridView* card = window.View(QStringLiteral("出馬表"));
    QVERIFY(window.SelectTab(QStringLiteral("出馬表")));
    QCOMPARE(card->Table()->rowHeight(0), kRaceCardRowHeight);
    QCOMPARE(card->Table()->columnWidth(2), 180);
    QVERIFY(card->Table()->isColumnHidden(13));
    Save(&window, QStringLiteral("racecard"));

    // After the "単勝" toggle the first row is the WinRank leader, drawn as its own card.
    int leader = -1;
    for (int h = 0; h < race.RunnerCount; ++h) {
        if (race.Runners[h].WinRank == 1) {
            leader = h;
        }
    }
    QVERIFY(leader >= 0);
    QTest::mouseClick(card->Toggle("単勝"), Qt::LeftButton);
    QCOMPARE(card->Grid().Cell(1, 13), std::string(" 1"));
    const QSize size(180, kRaceCardRowHeight);
    const std::string number = fmt::sprintf("%2d", leader + 1);
    for (const int column : {0, 2, 8}) {
        const std::optional<DisplayList> own =
            DrawRaceCardCell(day, slot, column, 1, number, CellRect{0, 0, 180, kRaceCardRowHeight}, false);
        QVERIFY(own);
        QCOMPARE(PaintedCell(card->Table(), 0, column, size), PaintedList(*own, size));
    }
    if (leader != 0) {
        const std::optional<DisplayList> first =
            DrawRaceCardCell(day, slot, 2, 1, " 1", CellRect{0, 0, 180, kRaceCardRowHeight}, false);
        QVERIFY(PaintedCell(card->Table(), 0, 2, size) != PaintedList(*first, size));
    }

    GridView* detail = window.View(QStringLiteral("個別詳細検討用"));
    QVERIFY(window.SelectTab(QStringLiteral("個別詳細検討用")));
    QCOMPARE(detail->Table()->rowHeight(0), kDetailRowHeight);
    QCOMPARE(detail->Table()->columnWidth(4), 160);
    const std::optional<DisplayList> name =
        DrawDetailCell(day, slot, 2, 1, "01", CellRect{0, 0, 140, kDetailRowHeight});
    QCOMPARE(PaintedCell(detail->Table(), 0, 2, QSize(140, kDetailRowHeight)),
             PaintedList(*name, QSize(140, kDetailRowHeight)));
    Save(&window, QStringLiteral("detailgrid"));
    QVERIFY(window.SelectTab(QStringLiteral("着差表")));
    QTest::qWait(20);
    Save(&window, QStringLiteral("marginchart"));
}

void PaintedGridsTest::developerLinesFollowTheMarkerFile()
{
    const std::unique_ptr<Workbench> workbench = OpenDay(m_app, m_days[1]);
    QVERIFY(workbench);
    MainWindow& window = *workbench->Window();
    QTableView* table = window.View(QStringLiteral("出馬表"))->Table();
    const QSize size(80, kRaceCardRowHeight);
    const QImage plain = PaintedCell(table, 0, 4, size);
    // Decided at every paint: the marker made while the window is open shows the lines.
    const fs::path marker = m_app / kDeveloperMarkerFile;
    std::ofstream(marker).put('\n');
    const QImage developer = PaintedCell(table, 0, 4, size);
    fs::remove(marker);
    QVERIFY(plain != developer);
    QCOMPARE(PaintedCell(table, 0, 4, size), plain);
}
