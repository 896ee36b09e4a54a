#include "SeasonReportWindowTest.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <unistd.h>

#include "app/AtomicFile.h"
#include "betting/BetMethod.h"
#include "cli/CliRun.h"
#include "season/SeasonGrid.h"
#include "season/SeasonReportJson.h"
#include "text/Encoding.h"
#include "odds/TimeSeriesOdds.h"
#include "ui/GridModel.h"
#include "ui/MainWindow.h"
#include "ui/SeasonReportWindow.h"
#include "ui/CalibrationWindow.h"
#include "ui/GridView.h"
#include "season/CalibrationViews.h"
#include "ui/Text.h"
#include "ui/Workbench.h"

namespace fs = std::filesystem;
using namespace vornal;
using namespace vornal::ui;

void SeasonReportWindowTest::initTestCase()
{
    m_root = fs::temp_directory_path() / ("vornal-ui-season-" + std::to_string(::getpid()));
    fs::remove_all(m_root);
    fs::create_directories(m_root);
    const std::string app = test::ShellQuote((m_root / "app").string());
    const std::string feed = test::ShellQuote((m_root / "feed").string());
    const test::CliResult generated = test::RunCli("samplegen --feed " + feed + " --days 16 --tuning " + app);
    QCOMPARE(generated.exitCode, 0);
    const std::size_t at = generated.out.find("--from \"");
    QVERIFY(at != std::string::npos);
    const std::string from = generated.out.substr(at + 8, 19);
    QCOMPARE(test::RunCli("--app-dir " + app + " acquire --feed " + feed + " --from '" + from + "'").exitCode, 0);
}

void SeasonReportWindowTest::cleanupTestCase()
{
    fs::remove_all(m_root);
}

void SeasonReportWindowTest::theMenuOpensTheWindowAndARunFillsTableAndCharts()
{
    const fs::path app = m_root / "app";
    Workbench workbench(app);
    QVERIFY(!workbench.Open());
    MainWindow& main = *workbench.Window();
    auto* action = main.findChild<QAction*>(QStringLiteral("SeasonReport"));
    QVERIFY(action);
    action->trigger();
    auto* window = main.findChild<SeasonReportWindow*>();
    QVERIFY(window);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    auto* methods = window->findChild<QListWidget*>(QStringLiteral("Methods"));
    methods->item(1)->setCheckState(Qt::Checked); // No.2 beside No.1
    QVERIFY(window->Run());
    QVERIFY(!window->Run()); // one run at a time
    QTRY_VERIFY_WITH_TIMEOUT(!window->Running(), 120000);
    const SeasonReport* report = window->Report();
    QVERIFY(report);
    QCOMPARE(report->methods.size(), std::size_t{2});
    QCOMPARE(report->days.size(), std::size_t{16});

    // The table is the core's grid of the breakdown, the same rows the terminal prints.
    QAbstractItemModelTester tester(window->Table()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    const CellGrid grid = BreakdownGrid(report->methods[0].breakdowns[0]);
    QCOMPARE(window->Table()->model()->rowCount(), grid.RowCount() - 1);
    const test::CliResult cli =
        test::RunCli("--app-dir " + test::ShellQuote(app.string()) + " report --method no1,no2 --by course");
    QCOMPARE(cli.exitCode, 0);
    QVERIFY(cli.out.find(ToUtf8(GridLines(grid, "\n"))) != std::string::npos);

    // Sorting goes through the core, by the rate column, ascending then descending.
    window->SortBy(7);
    const CellGrid& up = window->Grid();
    for (int r = 2; r < up.RowCount(); ++r) {
        QVERIFY(up.Cell(r - 1, 7) <= up.Cell(r, 7));
    }
    window->SortBy(7);
    QVERIFY(window->Grid().Cell(1, 7) >= window->Grid().Cell(window->Grid().RowCount() - 1, 7));

    window->ShowBreakdown(6); // the odds bands
    const auto* curve = window->findChild<QChartView*>(QStringLiteral("ProfitCurve"));
    const auto* rates = window->findChild<QChartView*>(QStringLiteral("BreakdownRates"));
    const auto* calibration = window->findChild<QChartView*>(QStringLiteral("Calibration"));
    QCOMPARE(curve->chart()->series().size(), 2); // the curve and its drawdown
    QVERIFY(rates->chart()->series().size() > 2);
    QCOMPARE(calibration->chart()->series().size(), 3);

    const fs::path csv = m_root / "breakdown.csv";
    QVERIFY(window->ExportCsv(QString::fromStdString(csv.string())));
    QCOMPARE(ReadFileBytes(csv),
             std::optional<std::string>(BreakdownCsv(report->methods[0], report->methods[0].breakdowns[6])));
    window->ShowBreakdown(1);
    QTest::qWait(300); // the charts lay out their axes in the event loop
    QDir().mkpath(QStringLiteral(VORNAL_SCREENSHOT_DIR));
    QVERIFY(window->ExportPng(QStringLiteral(VORNAL_SCREENSHOT_DIR "/season-report.png")));
    window->close();
}

void SeasonReportWindowTest::theDeveloperMethodIsOfferedInTheDeveloperViewOnly()
{
    const fs::path app = m_root / "methods";
    fs::create_directories(app);
    const auto offered = [&app] {
        SeasonReportWindow window(app);
        QStringList captions;
        auto* methods = window.findChild<QListWidget*>(QStringLiteral("Methods"));
        for (int i = 0; i < methods->count(); ++i) {
            captions << methods->item(i)->text();
        }
        return captions;
    };
    const QString developer = QStringLiteral("買い目１（スペシャル出目）");
    QVERIFY(!offered().contains(developer));
    QVERIFY(offered().contains(QStringLiteral("ﾕｰｻﾞｰ指定")));
    QVERIFY(static_cast<bool>(WriteFileAtomic(app / kDeveloperMarkerFile, "")));
    QVERIFY(offered().contains(developer));
}

void SeasonReportWindowTest::theTuningTabsMeasureTheTablesAgainAndShowOldBesideNew()
{
    const fs::path app = m_root / "calibrate";
    fs::copy(m_root / "app", app, fs::copy_options::recursive);
    QVERIFY(static_cast<bool>(WriteFileAtomic(app / kDeveloperMarkerFile, "")));
    const std::optional<std::string> shippedRt = ReadFileBytes(app / "RT.dat");
    Workbench workbench(app);
    QVERIFY(!workbench.Open());
    MainWindow& main = *workbench.Window();
    main.show();
    QVERIFY(main.SelectTab(QStringLiteral("ローテーション値")));
    QPushButton* command = nullptr;
    for (QPushButton* button : main.findChildren<QPushButton*>(QStringLiteral("Recalibrate"))) {
        command = button->isVisible() ? button : command;
    }
    QVERIFY(command);
    QCOMPARE(command->text(), Q(RecalibrateCaption()));
    QTest::mouseClick(command, Qt::LeftButton);
    auto* window = main.findChild<CalibrationWindow*>();
    QVERIFY(window);
    QVERIFY(window->Run());
    QTRY_VERIFY_WITH_TIMEOUT(!window->Running(), 120000);
    const CalibrationResult* result = window->Result();
    QVERIFY(result);
    QCOMPARE(result->trainingDays.size() + result->heldOutDays.size(), std::size_t{16});

    // The summary, then the three developer tabs; each view is the core's old-beside-new grid.
    QCOMPARE(window->Tabs()->count(), 4);
    const std::vector<TuningTab> tabs = CalibrationTabs(*result);
    QCOMPARE(tabs.size(), std::size_t{3});
    for (const TuningTab& tab : tabs) {
        auto* sheets = window->findChild<QTabWidget*>(Q(tab.Caption));
        QVERIFY(sheets);
        QCOMPARE(sheets->count(), static_cast<int>(tab.Views.size()));
        for (int v = 0; v < sheets->count(); ++v) {
            auto* grid = qobject_cast<GridView*>(sheets->widget(v));
            QVERIFY(grid && grid->Grid() == tab.Views[static_cast<std::size_t>(v)].Grid);
        }
    }
    const CellGrid& winRate = tabs[1].Views[2].Grid;
    QCOMPARE(winRate.Cell(0, 0), Sjis("現在の表"));
    QCOMPARE(winRate.Cell(1, winRate.ColumnCount() / 2 + 1), BuildTuningTabs(result->current)[3].Views[2].Grid.Cell(0, 1));

    // Saving writes the new files elsewhere; the files in use stay until replaced on purpose.
    QVERIFY(static_cast<bool>(window->SaveTo(m_root / "calibrated-ui")));
    QVERIFY(fs::exists(m_root / "calibrated-ui" / "RankRate.dat"));
    QVERIFY(!window->SaveTo(app));
    QCOMPARE(ReadFileBytes(app / "RT.dat"), shippedRt);
    QVERIFY(static_cast<bool>(window->Install()));
    QCOMPARE(ReadFileBytes(app / "RT.dat.old"), shippedRt);
    QCOMPARE(ReadFileBytes(app / "RT.dat"), ReadFileBytes(m_root / "calibrated-ui" / "RT.dat"));

    window->Tabs()->setCurrentIndex(2);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QDir().mkpath(QStringLiteral(VORNAL_SCREENSHOT_DIR));
    QVERIFY(window->grab().save(QStringLiteral(VORNAL_SCREENSHOT_DIR "/calibration.png")));
    window->close();
}

void SeasonReportWindowTest::aRefusedSnapshotIsSaidInTheStatusLine()
{
    // The same season once more, for its time-series snapshots of the last day; one of them
    // gets a cut line, which the import refuses, and so must a report.
    const fs::path app = m_root / "app-series";
    const fs::path series = m_root / "series";
    fs::copy(m_root / "app", app, fs::copy_options::recursive);
    QCOMPARE(test::RunCli("samplegen --feed " + test::ShellQuote((m_root / "feed-series").string()) +
                          " --days 16 --timeseries " + test::ShellQuote(series.string()))
                 .exitCode,
             0);
    fs::path cut;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(series)) {
        if (entry.is_regular_file() && (cut.empty() || entry.path() < cut)) {
            cut = entry.path();
        }
    }
    QVERIFY(!cut.empty());
    const std::optional<std::string> bytes = ReadFileBytes(cut);
    QVERIFY(bytes);
    QVERIFY(WriteFileAtomic(cut, *bytes + "O1cut\r\n"));
    QVERIFY(ChooseOddsFolder(app, series));

    Workbench workbench(app);
    QVERIFY(!workbench.Open());
    MainWindow& main = *workbench.Window();
    main.findChild<QAction*>(QStringLiteral("SeasonReport"))->trigger();
    auto* window = main.findChild<SeasonReportWindow*>();
    QVERIFY(window);
    QVERIFY(window->Run());
    QTRY_VERIFY_WITH_TIMEOUT(!window->Running(), 120000);
    const QString status = window->findChild<QLabel*>(QStringLiteral("Status"))->text();
    QVERIFY2(status.contains(QString::fromStdString(cut.filename().string())) &&
                 status.contains(QStringLiteral("960バイトではありません")),
             qPrintable(status));
    window->close();
}
