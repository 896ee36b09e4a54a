#include "CommandsTest.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <fstream>

#include <unistd.h>

#include "app/AppDir.h"
#include "app/SettingKeys.h"
#include "cli/CliRun.h"
#include "support/TestFiles.h"
#include "betting/QuinellaRanks.h"
#include "present/RaceAnalysisView.h"
#include "present/TuningViews.h"
#include "odds/TimeSeriesOdds.h"
#include "results/HitJudgement.h"
#include "results/HitReport.h"
#include "store/BridgeLink.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "ui/GridView.h"
#include "ui/HitReportWindow.h"
#include "ui/PlainGridDelegate.h"
#include "ui/PrintPreviewWindow.h"
#include "ui/MainWindow.h"
#include "ui/OddsRecordingWindow.h"
#include "ui/RaceAnalysisPanel.h"
#include "ui/RaceListPanel.h"
#include "ui/Text.h"
#include "ui/WaitWindow.h"
#include "ui/Workbench.h"

namespace fs = std::filesystem;
using namespace vornal;
using namespace vornal::ui;

namespace {

void Choose(MainWindow& window, const std::string& day)
{
    QVERIFY(window.LoadDate(day));
    QTRY_VERIFY_WITH_TIMEOUT(!window.Loading(), 60000);
    QTest::qWait(10); // the first race shows in an event of its own
}

// Waits for a command of the worker to end.
void AwaitCommand(MainWindow& window, const std::function<void()>& command)
{
    bool done = false;
    const QMetaObject::Connection connection =
        QObject::connect(&window, &MainWindow::CommandDone, [&done] { done = true; });
    command();
    QTRY_VERIFY_WITH_TIMEOUT(done, 60000);
    QObject::disconnect(connection);
}

std::string LastLine(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::string line;
    std::string last;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            last = line;
        }
    }
    return last;
}

void Save(QWidget& widget, const QString& name)
{
    QVERIFY(QDir().mkpath(QStringLiteral(VORNAL_SCREENSHOT_DIR)));
    QVERIFY(widget.grab().save(QStringLiteral(VORNAL_SCREENSHOT_DIR "/") + name + QStringLiteral(".png")));
}

// Receives the URLs QDesktopServices would hand to the desktop.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls << url; }
};

} // namespace

void CommandsTest::initTestCase()
{
    m_root = fs::temp_directory_path() / ("vornal-ui-commands-" + std::to_string(::getpid()));
    fs::remove_all(m_root);
    fs::create_directories(m_root);
    const std::string app = test::ShellQuote((m_root / "app").string());
    const std::string feed = test::ShellQuote((m_root / "feed").string());
    const std::string series = test::ShellQuote((m_root / "timeseries").string());
    const test::CliResult generated =
        test::RunCli("samplegen --feed " + feed + " --days 2 --tuning " + app + " --timeseries " + series);
    QCOMPARE(generated.exitCode, 0);
    const std::size_t at = generated.out.find("--from \"");
    QVERIFY(at != std::string::npos);
    const std::string from = generated.out.substr(at + 8, 19);
    QCOMPARE(test::RunCli("--app-dir " + app + " acquire --feed " + feed + " --from '" + from + "'").exitCode, 0);
    m_app = m_root / "app";
    m_feed = m_root / "feed";
    m_days = StoredDayNames(m_app);
    QCOMPARE(m_days.size(), std::size_t{2});
}

void CommandsTest::cleanupTestCase()
{
    fs::remove_all(m_root);
}

fs::path CommandsTest::Copy(const char* name) const
{
    const fs::path to = m_root / name;
    fs::remove_all(to);
    fs::copy(m_app, to, fs::copy_options::recursive);
    return to;
}

void CommandsTest::quickOddsForAllRacesRefreshTheShownOdds()
{
    const fs::path app = Copy("odds");
    Workbench workbench(app);
    QVERIFY(!workbench.Open());
    MainWindow& window = *workbench.Window();
    window.SetFeedFolder(m_feed);
    window.show();
    Choose(window, m_days[0]); // the last day: entries, no odds announced yet
    window.ShowEntry(3);
    const int slot = window.SelectedRace();
    const RaceDay* before = workbench.Session().Day();
    const std::string timeBefore(before->Races[slot].OddsO1Time.View());
    const double oddsBefore = before->Races[slot].Runners[0].WinOdds;

    QAction* all = window.findChild<QAction*>(QStringLiteral("全ﾚｰｽ速報ｵｯｽﾞ取得(&O)"));
    QVERIFY(all);
    AwaitCommand(window, [all] { all->trigger(); });
    const RaceDay& day = *workbench.Session().Day();
    // Every race of the day took the odds of the feed; the race shown is the same race, shown
    // from the fresh odds.
    for (int race = 0; race < window.ListPanel()->EntryCount(); ++race) {
        QVERIFY(!IsBlank(day.Races[window.ListPanel()->SlotOf(race)].OddsO1Time.View()));
    }
    QVERIFY(std::string(day.Races[slot].OddsO1Time.View()) != timeBefore);
    QCOMPARE(window.SelectedRace(), slot);
    std::string message;
    const RaceAnalysis fresh = ShowRaceAnalysis(day, *workbench.Session().Tables(message), slot);
    QVERIFY(window.View(QStringLiteral("出馬表"))->Grid() == fresh.RaceCard);
    QVERIFY(day.Races[slot].Runners[0].WinOdds != oddsBefore);
    QVERIFY(window.statusBar()->currentMessage().isEmpty());
    // The feed has no quinella odds: the predicted payouts stay in the matrix and the list.
    QTableWidget* matrix = window.AnalysisPanel()->QuinellaMatrix();
    int payouts = 0;
    for (int row = 0; row < matrix->rowCount(); ++row) {
        for (int column = 0; column < matrix->columnCount(); ++column) {
            const QTableWidgetItem* item = matrix->item(row, column);
            payouts += item != nullptr && item->text().trimmed().toInt() > 0 ? 1 : 0;
        }
    }
    QVERIFY2(payouts > 20, qPrintable(QString::number(payouts)));
    QListWidget* list = window.AnalysisPanel()->QuinellaList();
    for (int i = 0; i < list->count(); ++i) {
        QVERIFY2(!list->item(i)->text().contains(QStringLiteral(" -")), qPrintable(list->item(i)->text()));
    }
    QDir().mkpath(QStringLiteral(VORNAL_SCREENSHOT_DIR));
    window.resize(1200, 800);
    QVERIFY(window.grab().save(QStringLiteral(VORNAL_SCREENSHOT_DIR "/odds-fetched.png")));

    // The CLI fetches the same odds into the same day.
    const test::CliResult cli =
        test::RunCli("--app-dir " + test::ShellQuote(Copy("odds-cli").string()) + " odds --feed " +
                     test::ShellQuote(m_feed.string()) + " --date " + test::ShellQuote(ToUtf8(m_days[0])) + " --all");
    QCOMPARE(cli.exitCode, 0);
    QCOMPARE(fs::file_size(WinOddsFile(app, m_days[0])), fs::file_size(WinOddsFile(m_root / "odds-cli", m_days[0])));
    QCOMPARE(test::Slurp(WinOddsFile(app, m_days[0])), test::Slurp(WinOddsFile(m_root / "odds-cli", m_days[0])));
}

void CommandsTest::theTimeSeriesImportSaysWhatItTookOrWhyNot()
{
    const fs::path app = Copy("series");
    Workbench workbench(app);
    QVERIFY(!workbench.Open());
    MainWindow& window = *workbench.Window();
    window.show();
    QAction* import = window.findChild<QAction*>(QStringLiteral("時系列オッズより取得(&J)"));
    QVERIFY(import);
    AwaitCommand(window, [import] { import->trigger(); }); // no folder chosen yet
    QCOMPARE(window.LastMessage(), QStringLiteral("時系列ｵｯｽﾞﾌｫﾙﾀﾞ指定をしてください。"));
    QVERIFY(ChooseOddsFolder(app, m_root / "timeseries"));
    Choose(window, m_days[0]);
    window.ShowEntry(2);
    const int slot = window.SelectedRace();
    AwaitCommand(window, [import] { import->trigger(); });
    QVERIFY2(window.LastMessage().endsWith(QStringLiteral("ﾚｰｽ分の単ｵｯｽﾞを取りこみました。")),
             qPrintable(window.LastMessage()));
    QVERIFY(!window.LastMessage().startsWith(QLatin1Char('0')));
    QVERIFY(!IsBlank(workbench.Session().Day()->Races[slot].OddsO1Time.View()));
    QCOMPARE(window.SelectedRace(), slot);
}

void CommandsTest::anInjectedOddsErrorShowsItsStatusLineAndLogLine()
{
    const fs::path app = Copy("odds-error");
    const fs::path feed = m_root / "feed-error";
    fs::remove_all(feed);
    fs::copy(m_feed, feed, fs::copy_options::recursive);
    std::ofstream(feed / "link.ini") << "[errors]\nJVRTOpen=-504\n";
    Workbench workbench(app);
    QVERIFY(!workbench.Open());
    MainWindow& window = *workbench.Window();
    window.SetFeedFolder(feed);
    window.show();
    Choose(window, m_days[0]);
    window.ShowEntry(1);
    QAction* quick = window.findChild<QAction*>(QStringLiteral("速報ｵｯｽﾞ"));
    QVERIFY(quick);
    AwaitCommand(window, [quick] { quick->trigger(); });
    const QString status = window.statusBar()->currentMessage();
    QVERIFY2(status.contains(QStringLiteral("R:ｵｯｽﾞ取得エラー：")), qPrintable(status));
    QVERIFY(status.endsWith(QStringLiteral("(-504)")) || status.contains(QStringLiteral("-504")));
    // The log line is the time stamp, the full-width colon and the same text.
    const QString logLine = Q(LastLine(ErrorLogFile(app)));
    QVERIFY2(logLine.startsWith(QStringLiteral("【エラー】")), qPrintable(logLine));
    QCOMPARE(logLine.mid(13), QStringLiteral("：") + status);
}

void CommandsTest::resultsRetrievalThenTheHitReportShowsItsColours()
{
    const fs::path app = Copy("results");
    Workbench workbench(app);
    QVERIFY(!workbench.Open());
    MainWindow& window = *workbench.Window();
    window.SetFeedFolder(m_feed);
    window.show();
    Choose(window, m_days[0]);
    window.ShowEntry(5);
    const int slot = window.SelectedRace();
    QCOMPARE(workbench.Session().Day()->Races[slot].WinResult[0].Key, 0);
    QAction* results = window.findChild<QAction*>(QStringLiteral("結果情報"));
    QVERIFY(results);
    AwaitCommand(window, [results] { results->trigger(); });
    QVERIFY(results->isEnabled());
    QVERIFY(workbench.Session().Day()->Races[slot].WinResult[0].Key > 0);
    QCOMPARE(window.SelectedRace(), slot); // the race shown stays

    HitReportWindow* report = window.ShowHitReport();
    QVERIFY(report);
    QCOMPARE(report->windowTitle(), QStringLiteral("的中判定"));
    QCOMPARE(report->Tabs()->tabText(0), QStringLiteral("馬連・ワイド"));
    QCOMPARE(report->Tabs()->tabText(1), QStringLiteral("単勝・複勝"));
    // The colour rules, checked on the texts shown.
    const QColor grey(0xEA, 0xEA, 0xEA);
    const QColor tip = QApplication::palette().color(QPalette::ToolTipBase);
    HitReportModel& quinella = *report->Model(0);
    QVERIFY(quinella.rowCount() > 0);
    QAbstractItemModelTester tester(&quinella, QAbstractItemModelTester::FailureReportingMode::QtTest);
    int red = 0;
    int cyan = 0;
    for (int row = 0; row < quinella.rowCount(); ++row) {
        auto text = [&](int column) { return quinella.index(row, column).data().toString().trimmed(); };
        QCOMPARE(quinella.Colour(row, 0), QColor(Qt::white));
        QCOMPARE(quinella.Colour(row, 1), tip);
        QCOMPARE(quinella.Colour(row, 2), tip);
        bool anyBet = false;
        for (int bet = 3; bet <= 5; ++bet) {
            anyBet = anyBet || !text(bet).isEmpty();
            if (text(bet).isEmpty()) {
                QCOMPARE(quinella.Colour(row, bet), grey);
                QCOMPARE(quinella.Colour(row, bet + 4), grey);
            } else {
                const bool wide = !text(bet + 4).isEmpty();
                QCOMPARE(quinella.Colour(row, bet + 4), wide ? QColor(Qt::magenta) : QColor(Qt::yellow));
            }
        }
        const QColor payout = quinella.Colour(row, 6);
        QCOMPARE(payout, !text(6).isEmpty() ? QColor(Qt::red) : anyBet ? QColor(Qt::cyan) : grey);
        red += payout == QColor(Qt::red) ? 1 : 0;
        cyan += payout == QColor(Qt::cyan) ? 1 : 0;
    }
    QVERIFY(cyan > 0);
    HitReportModel& win = *report->Model(1);
    for (int row = 0; row < win.rowCount(); ++row) {
        const bool bet = !win.index(row, 3).data().toString().trimmed().isEmpty();
        const bool hit = !win.index(row, 4).data().toString().trimmed().isEmpty();
        QCOMPARE(win.Colour(row, 4), hit ? QColor(Qt::red) : bet ? QColor(Qt::cyan) : grey);
    }
    // A click leaves no highlight.
    QTableView& table = *report->Table(0);
    report->resize(760, 560);
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, table.visualRect(quinella.index(0, 3)).center());
    QVERIFY(!table.selectionModel() || table.selectionModel()->selectedIndexes().isEmpty());
    Save(*report, QStringLiteral("hitreport"));
    // "印刷" opens the tab's page on the print preview; it prints to a PDF printer here.
    const QString pdf = QString::fromStdString((app / "hits.pdf").string());
    bool previewed = false;
    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<PrintPreviewWindow*>(QApplication::activeModalWidget());
        if (preview != nullptr) {
            previewed = preview->ShownPage() == 1;
            preview->Printer().setOutputFormat(QPrinter::PdfFormat);
            preview->Printer().setOutputFileName(pdf);
            previewed = previewed && preview->PrintAllPages();
            preview->close();
        }
    });
    QPushButton* print = report->Tabs()->widget(0)->findChild<QPushButton*>(QStringLiteral("Print"));
    QVERIFY(print);
    print->click();
    QVERIFY(previewed);
    QVERIFY(QFileInfo(pdf).size() > 0);
    report->Tabs()->setCurrentIndex(1);
    Save(*report, QStringLiteral("hitreport-winplace"));
    report->setGeometry(30, 40, 700, 500);
    report->close();
    QCOMPARE(kHitReportPlace.Read(Settings(SettingsFile(app))), (WindowRect{40, 30, 700, 500}));

    // The CLI prints the same report, cell for cell.
    const test::CliResult cli = test::RunCli("--app-dir " + test::ShellQuote(app.string()) + " day --date " +
                                             test::ShellQuote(ToUtf8(m_days[0])) + " --table hitreport");
    QCOMPARE(cli.exitCode, 0);
    const QStringList lines = QString::fromStdString(cli.out).split(QLatin1Char('\n'));
    const QStringList firstRow =
        lines.filter(QRegularExpression(QStringLiteral("^row\\t"))).value(0).split(QLatin1Char('\t'));
    QCOMPARE(firstRow.size(), 2 + quinella.columnCount());
    for (int column = 0; column < quinella.columnCount(); ++column) {
        QCOMPARE(firstRow[2 + column], quinella.index(0, column).data().toString());
    }
}

void CommandsTest::theFirstShowingChecksTheLinkAndHelpOpensTheGuide()
{
    const fs::path feed = m_root / "old-link";
    fs::create_directories(feed);
    std::ofstream(feed / "link.ini") << "[link]\nversion=0480\n";
    Workbench workbench(m_app);
    QVERIFY(!workbench.Open());
    MainWindow& window = *workbench.Window();
    window.SetFeedFolder(feed);
    window.show();
    QTRY_VERIFY(window.LastMessage().startsWith(QStringLiteral("ご利用中のJV-Linkのバージョンは[4.8.0]です。")));
    // The reference tabs of the tuning tables: the developer's stay hidden.
    QVERIFY(window.SelectTab(QStringLiteral("参考資料")));
    QVERIFY(window.SelectTab(QStringLiteral("基準ﾗｯﾌﾟﾃﾞｰﾀ表")));
    QVERIFY(!window.SelectTab(QStringLiteral("ローテーション値")));
    QVERIFY(!window.SelectTab(QStringLiteral("順位ﾃｰﾌﾞﾙ")));
    // The payout tables paint by the tuning tables' colour rule.
    auto* payouts = window.findChild<GridView*>(QStringLiteral("単勝配当用"));
    QVERIFY(payouts);
    QVERIFY(qobject_cast<PlainGridDelegate*>(payouts->Table()->itemDelegate()));

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "Open");
    window.findChild<QAction*>(QStringLiteral("目次(&C)"))->trigger();
    window.findChild<QAction*>(QStringLiteral("ﾍﾙﾌﾟ"))->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(catcher.urls.size(), 2);
    const QString page = catcher.urls[0].toLocalFile();
    QVERIFY2(page.endsWith(QStringLiteral("guide.html")) && QFileInfo::exists(page), qPrintable(page));
    // The guide is written in Japanese for the workbench's users, and its pictures come with it.
    QFile guide(page);
    QVERIFY(guide.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(guide.readAll());
    QVERIFY(text.contains(QStringLiteral("<html lang=\"ja\">")));
    QString body = text;
    body.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    const qsizetype latin =
        std::count_if(body.begin(), body.end(), [](QChar c) { return c.isLetter() && c.unicode() < 0x80; });
    const qsizetype japanese = std::count_if(body.begin(), body.end(), [](QChar c) { return c.unicode() >= 0x3000; });
    QVERIFY2(japanese > 4 * latin,
             qPrintable(QStringLiteral("%1 Japanese, %2 Latin letters").arg(japanese).arg(latin)));
    const QRegularExpression image(QStringLiteral("<img src=\"([^\"]+)\""));
    int images = 0;
    for (auto it = image.globalMatch(text); it.hasNext(); ++images) {
        const QString name = it.next().captured(1);
        QVERIFY2(QFileInfo::exists(QFileInfo(page).dir().filePath(name)), qPrintable(name));
    }
    QVERIFY(images >= 3);

    window.findChild<QAction*>(QStringLiteral("終了"))->trigger();
    QVERIFY(!window.isVisible());
}

void CommandsTest::qtsOwnDialogsSpeakJapanese()
{
    QVERIFY(InstallQtTranslations(*qApp));
    QCOMPARE(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(),
             QStringLiteral("キャンセル"));
    QVERIFY(QCoreApplication::translate("QFileDialog", "Look in:") != QStringLiteral("Look in:"));
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

void CommandsTest::theListToggleTheListOptionAndTheDeveloperMenu()
{
    const fs::path app = Copy("list");
    std::ofstream(app / "OnlyMrZentaroqCanSee.key").put('\n');
    Workbench workbench(app);
    QVERIFY(!workbench.Open());
    MainWindow& window = *workbench.Window();
    window.show();
    // With the marker the developer's reference tabs show the core's views.
    QVERIFY(window.SelectTab(QStringLiteral("ローテーション値")));
    QVERIFY(window.SelectTab(QStringLiteral("順位ﾃｰﾌﾞﾙ")));
    std::string message;
    const std::vector<TuningTab> tuning = BuildTuningTabs(*workbench.Session().Tables(message));
    for (const TuningTab& tab : tuning) {
        for (const TuningView& view : tab.Views) {
            GridView* shown = window.findChild<GridView*>(Q(view.Caption));
            QVERIFY2(shown && shown->Grid() == view.Grid, qPrintable(Q(view.Caption)));
        }
    }
    Save(window, QStringLiteral("ローテーション値"));

    RaceListPanel& list = *window.ListPanel();
    QWidget* toggle = window.findChild<QWidget*>(QStringLiteral("ListToggle"));
    QVERIFY(toggle && list.isVisible());
    QTest::mouseClick(toggle, Qt::LeftButton);
    QVERIFY(!list.isVisible());
    QTest::mouseClick(toggle, Qt::LeftButton);
    QVERIFY(list.isVisible());

    // The option hides the list once a day shows, and is kept in the settings.
    QAction* option = window.findChild<QAction*>(QStringLiteral("分析画面表示後、ﾃﾞｰﾀﾘｽﾄを消す"));
    QVERIFY(option);
    option->trigger();
    QVERIFY(kCloseDateList.Read(Settings(SettingsFile(app))));
    Choose(window, m_days[1]);
    QTRY_VERIFY(!list.isVisible());

    // The developer methods rerun the pipeline with the developer set when it has priority.
    QAction* priority = window.findChild<QAction*>(QStringLiteral("開発用買い目を優先する"));
    QVERIFY(priority);
    const std::string suffix = workbench.Session().Day()->BetKindSuffix;
    AwaitCommand(window, [priority] { priority->trigger(); });
    QVERIFY(kDeveloperBetsFirst.Read(Settings(SettingsFile(app))));
    QVERIFY(workbench.Session().Day()->BetKindSuffix != suffix);
    QAction* second = window.findChild<QAction*>(QStringLiteral("買い目2"));
    QVERIFY(second);
    const std::string first = workbench.Session().Day()->BetKindSuffix;
    AwaitCommand(window, [second] { second->trigger(); });
    QCOMPARE(kDeveloperBettingSet.Read(Settings(SettingsFile(app))), 2);
    QVERIFY(workbench.Session().Day()->BetKindSuffix != first);
}

void CommandsTest::theSettingsFilesBridgeServesTheCheckAndTheQuickOdds()
{
    // The bridge names an old component: the start-up check shows that it went through it.
    const fs::path feed = m_root / "bridge-feed";
    fs::remove_all(feed);
    fs::copy(m_feed, feed, fs::copy_options::recursive);
    std::ofstream(feed / "link.ini") << "[link]\nversion=0480\n";
    const fs::path app = Copy("bridge");
    const std::string command = "\"" + std::string(VORNAL_JVLINK_PATH) + "\" --replay \"" + feed.string() + "\"";
    QVERIFY(kLinkBridgeCommand.Write(Settings(SettingsFile(app)), "\"" + command + "\""));
    Workbench workbench(app);
    QVERIFY(!workbench.Open());
    MainWindow& window = *workbench.Window();
    QVERIFY(dynamic_cast<BridgeLink*>(&window.Link()));
    window.show();
    QTRY_VERIFY(window.LastMessage().startsWith(QStringLiteral("ご利用中のJV-Linkのバージョンは[4.8.0]です。")));
    Choose(window, m_days[0]);
    window.ShowEntry(3);
    QAction* all = window.findChild<QAction*>(QStringLiteral("全ﾚｰｽ速報ｵｯｽﾞ取得(&O)"));
    AwaitCommand(window, [all] { all->trigger(); });
    // The same odds as the replay link fetches directly.
    const fs::path direct = Copy("bridge-direct");
    const test::CliResult cli =
        test::RunCli("--app-dir " + test::ShellQuote(direct.string()) + " odds --feed " +
                     test::ShellQuote(feed.string()) + " --date " + test::ShellQuote(ToUtf8(m_days[0])) + " --all");
    QCOMPARE(cli.exitCode, 0);
    QVERIFY(fs::exists(WinOddsFile(app, m_days[0])));
    QCOMPARE(test::Slurp(WinOddsFile(app, m_days[0])), test::Slurp(WinOddsFile(direct, m_days[0])));
}

// A race with too little data leaves the analysis strip on the race shown before it; the
// strip's matrix toggles must then read the day the session shows now, never the day an odds
// fetch, a time-series import or a reload has freed.
void CommandsTest::theMatrixTogglesFollowEverySwapOfTheDay()
{
    const fs::path app = Copy("swap");
    QVERIFY(ChooseOddsFolder(app, m_root / "timeseries"));
    // Race 1 of every racecourse of the day loses its runners: too little data to show, and
    // the first race a load shows.
    int blanked = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(DataDir(app))) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(ToUtf8(m_days[0])) || entry.path().extension() != ".jvSEr") {
            continue;
        }
        std::string bytes = test::Slurp(entry.path());
        std::size_t at = 0;
        for (int line = 0; line < kRunnerSlotsPerRace; ++line) {
            const std::size_t end = bytes.find("\r\n", at);
            QVERIFY(end != std::string::npos);
            std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(end),
                      ' ');
            at = end + 2;
        }
        std::ofstream(entry.path(), std::ios::binary) << bytes;
        ++blanked;
    }
    QVERIFY(blanked > 0);

    Workbench workbench(app);
    QVERIFY(!workbench.Open());
    MainWindow& window = *workbench.Window();
    window.SetFeedFolder(m_feed);
    window.show();
    Choose(window, m_days[0]);
    const DaySession& session = workbench.Session();
    int thin = -1;
    int full = -1;
    for (int entry = 0; entry < window.ListPanel()->EntryCount(); ++entry) {
        int& first = InsufficientDataMessage(*session.Day(), window.ListPanel()->SlotOf(entry)) ? thin : full;
        if (first < 0) {
            first = entry;
        }
    }
    QVERIFY(thin >= 0 && full >= 0);
    const int fullSlot = window.ListPanel()->SlotOf(full);
    auto* payout = window.AnalysisPanel()->findChild<QPushButton*>(QStringLiteral("MatrixPayout"));
    auto* share = window.AnalysisPanel()->findChild<QPushButton*>(QStringLiteral("MatrixVoteShare"));
    QVERIFY(payout && share);

    // What the quinella matrix shows against what the day shown holds.
    const auto matrixIsOfTheDayShown = [&](MatrixView view) {
        const TriangleGrid grid = ShowQuinellaMatrix(*session.Day(), fullSlot, view);
        QTableWidget* matrix = window.AnalysisPanel()->QuinellaMatrix();
        for (int larger = 1; larger <= grid.Size(); ++larger) {
            for (int smaller = 1; smaller <= grid.Size(); ++smaller) {
                QTableWidgetItem* item = matrix->item(larger - 1, smaller - 1);
                if (!item || item->text() != Q(grid.Cell(smaller, larger))) {
                    return false;
                }
            }
        }
        return true;
    };
    QAction* allOdds = window.findChild<QAction*>(QStringLiteral("全ﾚｰｽ速報ｵｯｽﾞ取得(&O)"));
    QAction* series = window.findChild<QAction*>(QStringLiteral("時系列オッズより取得(&J)"));
    QVERIFY(allOdds && series);
    // A reload clears the strip: its toggles then have no day to read.
    struct Swap
    {
        const char* name;
        std::function<void()> run;
        bool clearsStrip;
    };
    const std::vector<Swap> swaps = {
        {"quick odds", [&] { AwaitCommand(window, [allOdds] { allOdds->trigger(); }); }, false},
        {"time series", [&] { AwaitCommand(window, [series] { series->trigger(); }); }, false},
        {"reload", [&] { Choose(window, m_days[0]); }, true},
    };
    for (const Swap& swap : swaps) {
        window.ShowEntry(full);
        window.ShowEntry(thin); // the strip stays on the full race
        QCOMPARE(window.AnalysisPanel()->ShownSlot(), fullSlot);
        const RaceDay* before = session.Day();
        swap.run();
        QVERIFY2(session.Day() != before, swap.name);
        QVERIFY2(InsufficientDataMessage(*session.Day(), window.SelectedRace()).has_value(), swap.name);
        QTest::mouseClick(share, Qt::LeftButton);
        QTest::mouseClick(payout, Qt::LeftButton);
        if (swap.clearsStrip) {
            QCOMPARE(window.AnalysisPanel()->ShownSlot(), -1);
            QVERIFY2(!window.AnalysisPanel()->QuinellaMatrix()->item(0, 0), swap.name);
            continue;
        }
        QTest::mouseClick(share, Qt::LeftButton);
        QVERIFY2(matrixIsOfTheDayShown(MatrixView::VoteShare), swap.name);
        QTest::mouseClick(payout, Qt::LeftButton);
        QVERIFY2(matrixIsOfTheDayShown(MatrixView::Payout), swap.name);
    }
}

namespace {

// A copy of the feed whose real-time reads answer "busy" for as long as anyone waits.
fs::path HungFeed(const fs::path& root, const fs::path& feed)
{
    const fs::path hung = root / "feed-hung";
    fs::remove_all(hung);
    fs::copy(feed, hung, fs::copy_options::recursive);
    std::ofstream(hung / "link.ini") << "[link]\nbusy=2000000000\n";
    return hung;
}

} // namespace

void CommandsTest::aLoadAndAHungRealTimeReadAreCancelledByTheUser()
{
    const fs::path app = Copy("cancel");
    Workbench workbench(app);
    QVERIFY(!workbench.Open());
    MainWindow& window = *workbench.Window();
    window.SetFeedFolder(HungFeed(m_root, m_feed));
    window.show();
    Choose(window, m_days[0]); // the last day: its odds are in the feed

    // "中止" on the waiting window stops a load: the day shown stays, and no message says
    // anything went wrong.
    const QString messageBefore = window.LastMessage();
    QVERIFY(window.LoadDate(m_days[1]));
    QVERIFY(window.Waiting()->isVisible());
    QTest::mouseClick(window.Waiting()->CancelButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!window.Loading(), 10000);
    QCOMPARE(workbench.Session().DayName(), m_days[0]);
    QCOMPARE(window.LastMessage(), messageBefore);
    QVERIFY(!window.Waiting()->isVisible());

    // Quick odds on a link that never answers: Esc reaches the job while input is blocked.
    window.ShowEntry(1);
    QAction* quick = window.findChild<QAction*>(QStringLiteral("速報ｵｯｽﾞ"));
    QVERIFY(quick);
    quick->trigger();
    QTest::qWait(200);
    QVERIFY(window.Loading());
    QTest::keyClick(window.ListPanel(), Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!window.Loading(), 10000);

    // Results retrieval on the same link: "中止" on the waiting window ends the read, and the
    // day shown stays whole.
    const RaceDay* shown = workbench.Session().Day();
    QAction* results = window.findChild<QAction*>(QStringLiteral("結果情報"));
    QVERIFY(results);
    results->trigger();
    QTest::qWait(200);
    QVERIFY(window.Loading());
    Save(*window.Waiting(), QStringLiteral("waiting"));
    QTest::mouseClick(window.Waiting()->CancelButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!window.Loading(), 10000);
    QVERIFY(results->isEnabled());
    QCOMPARE(workbench.Session().Day(), shown);
    QCOMPARE(workbench.Session().DayName(), m_days[0]);
}

void CommandsTest::closingWhileBusyAsksThenStopsTheJobAndCloses()
{
    const fs::path app = Copy("closing");
    Workbench workbench(app);
    QVERIFY(!workbench.Open());
    MainWindow& window = *workbench.Window();
    window.SetFeedFolder(HungFeed(m_root, m_feed));
    window.show();
    Choose(window, m_days[0]);
    window.ShowEntry(1);
    QStringList asked;
    bool answer = false;
    window.SetAsk([&](const QString& question) {
        asked << question;
        return answer;
    });
    window.findChild<QAction*>(QStringLiteral("速報ｵｯｽﾞ"))->trigger();
    QTest::qWait(100);
    QVERIFY(window.Loading());
    // No: the job goes on and the window stays.
    window.close();
    QCOMPARE(asked, QStringList{QStringLiteral("処理中です。中止して終了しますか？")});
    QVERIFY(window.isVisible());
    QTest::qWait(100);
    QVERIFY(window.Loading());
    // Yes: the job stops, then the window closes by itself.
    answer = true;
    window.close();
    QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 10000);
    QVERIFY(!window.Loading());
    QCOMPARE(asked.size(), 2);
}

// The recording runs on its own worker and link: meanwhile the main window loads another
// day; the window shows the races, the snapshots and the next fetch, and at the end every
// race has its file.
void CommandsTest::recordingTheOddsLeavesTheWindowWorking()
{
    const fs::path app = Copy("recording");
    const fs::path recorded = m_root / "recorded";
    QVERIFY(ChooseOddsFolder(app, recorded));
    Workbench workbench(app);
    QVERIFY(!workbench.Open());
    MainWindow& window = *workbench.Window();
    window.SetFeedFolder(m_feed);
    window.show();
    QVERIFY(window.RecordOdds() == nullptr); // no day shown yet
    Choose(window, m_days[0]);
    const std::string digits = DayDigits(m_days[0]);
    SimulatedClock clock({std::stoi(digits.substr(0, 4)), std::stoi(digits.substr(4, 2)),
                          std::stoi(digits.substr(6, 2)), 8, 50, 0},
                         15);
    OddsRecordingWindow* recording = window.RecordOdds(&clock);
    QVERIFY(recording != nullptr);
    const int races = RaceListCount(*workbench.Session().Day());
    QVERIFY(recording->StatusText().startsWith(QStringLiteral("0 / %1ﾚｰｽ終了").arg(races)));
    QVERIFY(recording->Start());
    QVERIFY(recording->Running());
    QTRY_VERIFY_WITH_TIMEOUT(recording->StatusText().contains(QStringLiteral("09:")), 20000);
    Choose(window, m_days[1]);
    QVERIFY(recording->Running());
    QVERIFY(recording->grab().save(QStringLiteral(VORNAL_SCREENSHOT_DIR "/odds-recording.png")));
    QTRY_VERIFY_WITH_TIMEOUT(!recording->Running(), 120000);
    QVERIFY2(recording->StatusText().startsWith(QStringLiteral("%1 / %1ﾚｰｽ終了").arg(races)),
             qPrintable(recording->StatusText()));
    QVERIFY(recording->StatusText().contains(QStringLiteral("記録を終了しました。")));
    QVERIFY2(recording->Report().errorLines.empty(), recording->Report().errorLines.empty() ? "" : qPrintable(Q(recording->Report().errorLines.front())));
    int files = 0;
    for (const auto& entry : fs::directory_iterator(recorded / digits)) {
        files += entry.path().extension() == ".jvO1" ? 1 : 0;
    }
    QCOMPARE(files, races);
    recording->close();
}

#include "CommandsTest.moc"
