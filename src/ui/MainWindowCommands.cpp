#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QListWidget>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QPointer>
#include <QThread>
#include <QToolBar>
#include <QUrl>

#include "app/AppDir.h"
#include "odds/TimeSeriesOdds.h"
#include "store/ReplayLink.h"
#include "store/StorePaths.h"
#include "results/HitReport.h"
#include "text/Encoding.h"
#include "ui/DayLoader.h"
#include "ui/HitReportWindow.h"
#include "ui/MainWindow.h"
#include "ui/OddsRecordingWindow.h"
#include "ui/RaceListPanel.h"
#include "ui/Text.h"

// The commands of a race morning: the quick odds, the time-series odds, results retrieval,
// the hit report, the help page and the exit. The long ones (quick odds, results) run on the
// day loader's worker, as a day load does: the worker fetches into a copy of the day shown
// (or into the store, then loads the day afresh), and the copy replaces the day shown on
// this thread when complete. What crosses: the status-line texts and the beeps, queued to
// this thread; never the day shown, which the worker only reads.
namespace vornal::ui {

// The status line as the core's progress: caption line 0, from any thread.
class StatusLineProgress : public QObject, public Progress
{
public:
    explicit StatusLineProgress(QStatusBar* bar) : QObject(bar), m_bar(bar) {}

    void SetLine(int line, const std::string& text) override
    {
        if (line != 0) {
            return;
        }
        QMetaObject::invokeMethod(
            m_bar, [bar = m_bar, shown = Q(text)] { shown.isEmpty() ? bar->clearMessage() : bar->showMessage(shown); },
            Qt::QueuedConnection);
    }
    void SetBar(int, int, int) override {}

private:
    QStatusBar* m_bar;
};

namespace {

// The status text of an error-log line: what follows "【エラー】hh:nn:ss：".
std::string StatusOfErrorLine(const std::string& line)
{
    const std::string prefix = Sjis("【エラー】");
    const std::string colon = Sjis("：");
    const std::size_t start = prefix.size() + 8;
    if (line.size() < start + colon.size() || line.compare(start, colon.size(), colon) != 0) {
        return line;
    }
    return line.substr(start + colon.size());
}

} // namespace

void MainWindow::BuildCommands()
{
    m_statusLine = new StatusLineProgress(statusBar());
    auto* file = findChild<QMenu*>(QStringLiteral("FileMenu"));
    auto* exitSeparator = findChild<QAction*>(QStringLiteral("ExitSeparator"));
    auto fileAction = [&](const QString& caption) {
        auto* action = new QAction(caption, file);
        action->setObjectName(caption);
        file->insertAction(exitSeparator, action);
        return action;
    };
    file->insertSeparator(exitSeparator);
    connect(fileAction(QStringLiteral("全ﾚｰｽ速報ｵｯｽﾞ取得(&O)")), &QAction::triggered, this,
            [this] { FetchOdds(true); });
    connect(fileAction(QStringLiteral("時系列ｵｯｽﾞﾌｫﾙﾀﾞ指定(&J)")), &QAction::triggered, this, [this] {
        const QString start = QString::fromStdString(OddsSeriesFolder(m_session.AppDir()).string());
        const QString folder =
            QFileDialog::getExistingDirectory(this, QStringLiteral("時系列ｵｯｽﾞﾃﾞｰﾀﾌｫﾙﾀﾞの指定"), start);
        if (folder.isEmpty()) {
            return;
        }
        if (const Status chosen = ChooseOddsFolder(m_session.AppDir(), folder.toStdString()); !chosen) {
            Notify(Q(chosen.message));
        }
    });
    connect(fileAction(QStringLiteral("時系列オッズより取得(&J)")), &QAction::triggered, this,
            &MainWindow::ImportSeriesOdds);
    connect(fileAction(QStringLiteral("ｵｯｽﾞ記録(&R)")), &QAction::triggered, this, [this] { RecordOdds(); });

    QToolBar* tools = addToolBar(QStringLiteral("ツール"));
    tools->setObjectName(QStringLiteral("Tools"));
    tools->setMovable(false);
    auto tool = [&](const QString& caption, const QString& hint) {
        QAction* action = tools->addAction(caption);
        action->setObjectName(caption);
        action->setStatusTip(hint);
        return action;
    };
    connect(tool(QStringLiteral("速報ｵｯｽﾞ"), QStringLiteral("選択中のレースの速報オッズを取得します。")),
            &QAction::triggered, this, [this] { FetchOdds(false); });
    m_resultsAction = tool(QStringLiteral("結果情報"), QStringLiteral("レース結果の簡易表示窓を出します。"));
    connect(m_resultsAction, &QAction::triggered, this, &MainWindow::RetrieveResults);
    connect(tool(QStringLiteral("判定"), QStringLiteral("的中判定表を表示します。")), &QAction::triggered, this,
            [this] { ShowHitReport(); });
    connect(tool(QStringLiteral("ﾍﾙﾌﾟ"), QStringLiteral("ヘルプを表示します。")), &QAction::triggered, this,
            &MainWindow::OpenHelp);
    connect(tool(QStringLiteral("終了"), QStringLiteral("ソフトを終了します。")), &QAction::triggered, this,
            &QWidget::close);

    QMenu* help = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    QAction* contents = help->addAction(QStringLiteral("目次(&C)"));
    contents->setObjectName(QStringLiteral("目次(&C)"));
    connect(contents, &QAction::triggered, this, &MainWindow::OpenHelp);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_linkChecked) {
        m_linkChecked = true;
        // After the first showing, so the message stands over the window.
        QTimer::singleShot(0, this, &MainWindow::CheckLink);
    }
}

OddsRecordingWindow* MainWindow::RecordOdds(RecordingClock* clock)
{
    const RaceDay* day = m_session.Day();
    if (day == nullptr || m_session.DayName().empty()) {
        Notify(QStringLiteral("ｵｯｽﾞを記録したい開催日ﾃﾞｰﾀを読み込んでください。"));
        return nullptr;
    }
    // A link of its own: the recording runs for hours beside the quick odds and results
    // retrieval of this window, and one component read cannot serve two.
    std::unique_ptr<JvLink> link;
    if (const auto* replay = dynamic_cast<const ReplayLink*>(m_link.get())) {
        auto own = std::make_unique<ReplayLink>(replay->FeedFolder());
        if (clock != nullptr) {
            own->SetClock(clock);
        }
        link = std::move(own);
    } else {
        link = MakeJvLink(m_linkChoice);
    }
    auto* window = new OddsRecordingWindow(m_session, std::move(link), RecordingRaces(*day),
                                           DayDigits(m_session.DayName()), clock, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

void MainWindow::SetLink(const LinkChoice& choice)
{
    WaitForLinkCheck();
    m_linkChoice = choice;
    m_feedFolder = choice.feedFolder;
    m_link = MakeJvLink(choice);
    if (auto* bridge = dynamic_cast<BridgeLink*>(m_link.get())) {
        // Waits show in the status line; each job lends the bridge its cancel flag.
        Progress* status = m_statusLine;
        bridge->SetWaitProgress([status](const std::string& line) {
            if (status != nullptr) {
                status->SetLine(0, line);
            }
        });
    }
    if (m_linkChecked) {
        // The check ran on the link this one replaces: the component starts as it did.
        m_link->JVInit(kJvSoftwareId);
    }
}

void MainWindow::WaitForLinkCheck()
{
    if (m_checkWorker) {
        m_checkWorker->wait();
    }
}

void MainWindow::CheckLink()
{
    // "JVInitエラー：" + message, or the notice of an old component; the program goes on.
    if (!m_linkProblem.empty()) {
        Notify(Q(m_linkProblem));
    }
    auto check = [](JvLink& link) {
        const std::string message = InitJvLink(link);
        const std::string failure = message.empty() ? std::string() : LinkFailure(link);
        return failure.empty() ? message : message + "\r\n" + failure;
    };
    if (dynamic_cast<BridgeLink*>(m_link.get()) == nullptr) {
        if (const std::string message = check(*m_link); !message.empty()) {
            Notify(Q(message));
        }
        return;
    }
    // A bridge starts a process and may wait for it: off this thread, so the window stays
    // live; the link serialises its calls with the commands that may come meanwhile.
    JvLink* link = m_link.get();
    QPointer<MainWindow> window(this);
    auto* worker = QThread::create([link, window, check] {
        const std::string message = check(*link);
        QMetaObject::invokeMethod(qApp, [window, message] {
            if (window && !message.empty()) {
                window->Notify(Q(message));
            }
        }, Qt::QueuedConnection);
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    m_checkWorker = worker;
    worker->start();
}

void MainWindow::FetchOdds(bool allRaces)
{
    if (Loading() || !m_session.Day() || m_list->EntryCount() == 0) {
        return;
    }
    std::optional<int> race;
    if (!allRaces) {
        if (m_selectedRace < 0) {
            return;
        }
        race = m_selectedRace;
    }
    auto prepared = std::make_shared<PreparedOdds>();
    const DaySession* session = &m_session;
    JvLink* link = m_link.get();
    Progress* status = m_statusLine;
    auto beep = [this] {
        QMetaObject::invokeMethod(
            this, [] { QApplication::beep(); }, Qt::QueuedConnection);
    };
    const bool started = m_loader->Run(
        [session, link, status, race, prepared, beep](const CancelFlag& cancel) {
            const LinkCancelScope lend(*link, cancel);
            *prepared = session->PrepareOdds(*link, race, cancel, status, beep);
        },
        [this, prepared] {
            const OddsFetchReport report = prepared->report;
            m_session.AdoptOdds(std::move(*prepared));
            EndOddsFetch(report);
        });
    if (started) {
        SetBusy(true, false);
    }
}

void MainWindow::EndOddsFetch(const OddsFetchReport& report)
{
    SetBusy(false, false);
    ShowRaceAgain();
    // The status line was cleared after every race; the last error stays on it, so the user
    // sees that something failed without opening the log.
    if (!report.errorLines.empty()) {
        statusBar()->showMessage(Q(StatusOfErrorLine(report.errorLines.back())));
    }
    if (!report.failures.empty()) {
        QStringList lines;
        for (const std::string& failure : report.failures) {
            lines << Q(failure);
        }
        Notify(lines.join(QLatin1Char('\n')));
    }
    emit CommandDone();
}

void MainWindow::ShowRaceAgain()
{
    const int entry = m_list->Races()->currentRow();
    if (entry >= 0 && entry < m_list->EntryCount()) {
        ShowEntry(entry);
    }
}

void MainWindow::ImportSeriesOdds()
{
    auto prepared = std::make_shared<PreparedSeriesOdds>();
    const DaySession* session = &m_session;
    const bool started = m_loader->Run([session, prepared](const CancelFlag&) { *prepared = session->PrepareTimeSeriesOdds(); },
                                       [this, prepared] {
                                           SetBusy(false, false);
                                           const TimeSeriesReport report = prepared->report;
                                           m_session.AdoptSeriesOdds(std::move(*prepared));
                                           EndSeriesImport(report);
                                       });
    if (started) {
        SetBusy(true, false);
    }
}

void MainWindow::EndSeriesImport(const TimeSeriesReport& report)
{
    if (report.beep) {
        QApplication::beep();
    }
    QStringList lines;
    if (!report.message.empty()) {
        lines << Q(report.message);
    }
    for (const std::string& skipped : report.skipped) {
        lines << Q(skipped);
    }
    if (!report.io) {
        lines << Q(report.io.message);
    }
    if (!report.refused) {
        ShowRaceAgain();
    }
    if (!lines.isEmpty()) {
        Notify(lines.join(QLatin1Char('\n')));
    }
    emit CommandDone();
}

void MainWindow::RetrieveResults()
{
    if (Loading() || !m_session.Day() || m_selectedRace < 0) {
        return;
    }
    const int entry = m_list->Races()->currentRow();
    const DaySession* session = &m_session;
    JvLink* link = m_link.get();
    auto beep = [this] {
        QMetaObject::invokeMethod(
            this, [] { QApplication::beep(); }, Qt::QueuedConnection);
    };
    // The fresh records go to the store on the worker, then the day loads again there.
    const bool started = m_loader->Start(m_session.DayName(), [session, link, beep](const CancelFlag& cancel) {
        const LinkCancelScope lend(*link, cancel);
        session->RetrieveResults(*link, cancel, true, {}, beep);
    });
    if (!started) {
        return;
    }
    m_resultsAction->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_afterLoad = [this, entry] {
        QApplication::restoreOverrideCursor();
        m_resultsAction->setEnabled(true);
        if (entry >= 0 && entry < m_list->EntryCount()) {
            ShowEntry(entry);
        }
        emit CommandDone();
    };
    SetBusy(true);
}

HitReportWindow* MainWindow::ShowHitReport()
{
    const RaceDay* day = m_session.Day();
    const std::optional<HitReport> report = day != nullptr && m_list->EntryCount() > 0
                                                ? BuildHitReport(*day, m_session.DayName(), m_session.Totals())
                                                : std::nullopt;
    if (!report) {
        Notify(Q(NoDayForHitReportMessage()));
        return nullptr;
    }
    auto* window = new HitReportWindow(m_session.AppDir(), *report, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->open();
    return window;
}

QString MainWindow::HelpPage()
{
    // Bundled beside the program; a test program one folder further down finds it too.
    const QDir beside(QCoreApplication::applicationDirPath());
    for (const QString& candidate :
         {beside.filePath(QStringLiteral("guide.html")), beside.filePath(QStringLiteral("../guide.html"))}) {
        if (QFileInfo::exists(candidate)) {
            return QFileInfo(candidate).canonicalFilePath();
        }
    }
    return beside.filePath(QStringLiteral("guide.html"));
}

void MainWindow::OpenHelp()
{
    // There is no compiled help file here: the user guide opens in the desktop's browser.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(HelpPage()))) {
        Notify(QStringLiteral("ヘルプを開けません: ") + HelpPage());
    }
}

} // namespace vornal::ui
