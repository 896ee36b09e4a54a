#include "ui/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "app/AppDir.h"
#include "app/ErrorLog.h"
#include "present/DaySummaryTables.h"
#include "present/ViewRegistry.h"
#include "present/RaceAnalysisView.h"
#include "store/StorePaths.h"
#include "ui/CalibrationWindow.h"
#include "ui/DayLoader.h"
#include "ui/Job.h"
#include "ui/GridView.h"
#include "ui/RaceAnalysisPanel.h"
#include "ui/RaceListPanel.h"
#include "ui/RaceViewBindings.h"
#include "ui/TuningTabs.h"
#include "ui/Text.h"
#include "ui/WaitWindow.h"
#include "ui/WindowPlace.h"

namespace vornal::ui {

MainWindow::MainWindow(DaySession& session, const StartUpOutcome& startUp, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_developerView(startUp.developerView),
      m_list(new RaceListPanel(this)), m_analysis(new RaceAnalysisPanel(this)), m_raceMessage(new QLabel(this)),
      m_methodLabel(new QLabel(this)), m_tabs(new QTabWidget(this)), m_wait(new WaitWindow(this)),
      m_progress(new QueuedProgress(m_wait)), m_loader(new DayLoader(session, m_progress, this))
{
    setWindowTitle(QStringLiteral("Vornal"));
    setObjectName(QStringLiteral("MainWindow"));
    // The window never sits waiting for another writer of the folder: it says so, and the
    // user tries again when the other is done.
    m_session.SetStoreWait(StoreWait::Refuse);
    ApplyWindowPlace(*this, startUp.geometry, kMainWindowPlace.defaultRect);

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* right = new QVBoxLayout;
    auto* toggleList = new QPushButton(QStringLiteral("F"), central);
    toggleList->setObjectName(QStringLiteral("ListToggle"));
    toggleList->setFixedWidth(24);
    toggleList->setStatusTip(QStringLiteral("レースリストの表示／非表示"));
    connect(toggleList, &QPushButton::clicked, this, [this] { m_list->setVisible(!m_list->isVisible()); });
    auto* top = new QHBoxLayout;
    top->addWidget(toggleList, 0, Qt::AlignTop);
    // A narrow window scrolls the analysis strip rather than clipping it or growing past
    // the geometry the user chose.
    auto* strip = new QScrollArea(central);
    strip->setWidget(m_analysis);
    strip->setWidgetResizable(true);
    strip->setFrameShape(QFrame::NoFrame);
    strip->setFixedHeight(240);
    top->addWidget(strip, 1);
    right->addLayout(top);
    m_raceMessage->setObjectName(QStringLiteral("RaceMessage"));
    m_raceMessage->hide();
    right->addWidget(m_raceMessage);
    right->addWidget(m_tabs, 1);
    layout->addWidget(m_list);
    layout->addLayout(right, 1);
    setCentralWidget(central);

    for (const ViewDescription& view : Views()) {
        if (view.Tab && (view.DayBuilder != nullptr || view.RaceGrid != nullptr)) {
            AddTab(new GridView(view.Sort), ViewCaption(view), view.DeveloperOnly);
        }
    }
    BindRaceViews(*this, m_session);
    std::string tablesMessage;
    if (const TuningTables* tables = m_session.Tables(tablesMessage)) {
        AddTuningTabs(*m_tabs, *tables, m_developerView, [this] {
            auto* window = new CalibrationWindow(m_session.AppDir(), this);
            window->setAttribute(Qt::WA_DeleteOnClose);
            window->show();
        });
    }

    statusBar()->addPermanentWidget(m_methodLabel);
    m_methodLabel->setObjectName(QStringLiteral("MethodLabel"));
    BuildMenus();
    BuildCommands();
    UpdateMethodLabel();

    connect(m_list, &RaceListPanel::DateChosen, this, [this](const std::string& day) { LoadDate(day); });
    connect(m_list, &RaceListPanel::RaceChosen, this, [this](int entry, int slot) { ShowRace(entry, slot); });
    connect(m_loader, &DayLoader::Finished, this, &MainWindow::OnLoaded);
    // The settings file's link; a command line it cannot read is reported at the check.
    const Result<LinkChoice> choice = ReadLinkChoice(Settings(SettingsFile(m_session.AppDir())), {});
    m_linkProblem = choice.message();
    for (const std::string& warning : choice.value.warnings) {
        // Read once per window: the log is where a setting's fault is told.
        static_cast<void>(AppendErrorLine(m_session.AppDir(), warning));
    }
    SetLink(choice.value);
    // Every holder of the day shown follows its swaps: the analysis strip keeps the day for
    // its matrix toggles, which must never read a day the session has freed.
    m_dayListener = m_session.OnDayReplaced([this](const RaceDay& day) { m_analysis->DayReplaced(day); });
    m_ask = [this](const QString& question) {
        return QMessageBox::question(this, windowTitle(), question) == QMessageBox::Yes;
    };
    connect(m_wait, &WaitWindow::CancelRequested, this, &MainWindow::CancelJob);
    connect(m_loader->CurrentJob(), &Job::Finished, this, [this] {
        if (m_closeAfterJob) {
            QTimer::singleShot(0, this, &QWidget::close);
        }
    });
    BuildDateList();
}

MainWindow::~MainWindow()
{
    m_session.ForgetDayReplaced(m_dayListener);
    // A job still running reads the link and the session: it stops before they go.
    delete m_loader;
    m_loader = nullptr;
    WaitForLinkCheck();
}

void MainWindow::AddTab(GridView* view, const QString& caption, bool developerOnly)
{
    view->setObjectName(caption);
    const int index = m_tabs->addTab(view, caption);
    m_tabs->setTabVisible(index, !developerOnly || m_developerView);
}

GridView* MainWindow::View(const QString& caption) const
{
    return findChild<GridView*>(caption);
}

GridView* MainWindow::View(const ViewDescription& view) const
{
    return View(ViewCaption(view));
}

bool MainWindow::SelectTab(const QString& caption)
{
    for (int i = 0; i < m_tabs->count(); ++i) {
        if (m_tabs->tabText(i) == caption && m_tabs->isTabVisible(i)) {
            m_tabs->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

void MainWindow::BuildDateList()
{
    std::vector<std::string> ignored;
    m_list->SetDates(StoredDayNames(m_session.AppDir(), &ignored));
}

bool MainWindow::Loading() const
{
    return m_loader != nullptr && m_loader->Busy();
}

void MainWindow::CancelJob()
{
    if (Loading()) {
        m_loader->Cancel();
        statusBar()->showMessage(QStringLiteral("中止しています…"));
    }
}

void MainWindow::SetFeedFolder(std::filesystem::path folder)
{
    LinkChoice choice;
    choice.feedFolder = std::move(folder);
    SetLink(choice);
}

void MainWindow::SetBusy(bool busy, bool waitWindow)
{
    // The user cannot act on the day while it is being replaced, but the window still
    // repaints and the waiting window keeps blinking. Input is dropped rather than the
    // widgets disabled: disabling restyles every child twice, a visible stall on a big day.
    if (busy) {
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
    }
    if (!waitWindow) {
        if (busy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QApplication::restoreOverrideCursor();
        }
    } else if (busy) {
        m_wait->Open();
    } else {
        m_wait->hide();
    }
}

bool MainWindow::LoadDate(const std::string& dayName)
{
    if (!m_loader->Start(dayName)) {
        return false;
    }
    SetBusy(true);
    statusBar()->showMessage(Q(dayName) + QStringLiteral(" 読込中"));
    return true;
}

void MainWindow::OnLoaded(const LoadResult& result)
{
    SetBusy(false);
    statusBar()->clearMessage();
    std::function<void()> after = std::move(m_afterLoad);
    m_afterLoad = nullptr;
    if (!result.Ok()) {
        if (result.beep) {
            QApplication::beep();
        }
        // A load the user stopped needs no message: the day shown stays.
        if (result.outcome != LoadOutcome::Cancelled) {
            Notify(Q(result.message));
        }
        // The date failed after the day was cleared: its empty day is shown, not the old one.
        if (LoadReplacesDay(result.outcome)) {
            RefreshDay();
        }
        if (after) {
            after();
        }
        emit DayShown(false);
        return;
    }
    RefreshDay();
    // The first race in an event of its own, so the window repaints between the two halves
    // of the refresh instead of stalling once for both.
    QTimer::singleShot(0, this, [this, after] {
        ShowFirstRace();
        if (after) {
            after();
        }
        emit DayShown(true);
    });
}

void MainWindow::RefreshDay()
{
    const RaceDay* day = m_session.Day();
    m_analysis->Clear();
    if (!day) {
        return;
    }
    m_list->SetRaces(BuildRaceList(*day));
    for (const ViewDescription& view : Views()) {
        if (view.Tab && view.DayBuilder != nullptr) {
            View(view)->SetGrid(ViewGrid(view, *day, nullptr));
        }
    }
    setWindowTitle(QStringLiteral("Vornal - ") + Q(m_session.DayName()));
}

void MainWindow::ShowFirstRace()
{
    if (m_list->EntryCount() > 0) {
        ShowEntry(0);
    }
    // The load's warnings (a skipped rule-set line, a file that could not be written) are
    // the user's to see, not to lose.
    QStringList warnings;
    for (const LoadWarning& warning : m_session.Warnings()) {
        warnings << Q(warning.text);
    }
    for (const std::string& message : m_session.PipelineMessages()) {
        warnings << Q(message);
    }
    if (!warnings.isEmpty()) {
        Notify(warnings.join(QLatin1Char('\n')));
    }
    if (m_closeListOption && m_closeListOption->isChecked()) {
        m_list->hide();
    }
}

void MainWindow::ShowEntry(int entry)
{
    ShowRace(entry, m_list->SlotOf(entry));
}

void MainWindow::ShowRace(int entry, int slot)
{
    const RaceDay* day = m_session.Day();
    std::string message;
    const TuningTables* tables = m_session.Tables(message);
    if (!day || !tables || slot < 0) {
        return;
    }
    m_selectedRace = slot;
    m_list->SelectEntry(entry);
    const RaceAnalysis analysis = ShowRaceAnalysis(*day, *tables, slot);
    std::vector<GridView*> raceGrids;
    for (const ViewDescription& view : Views()) {
        if (view.Tab && view.RaceGrid != nullptr) {
            raceGrids.push_back(View(view));
        }
    }
    if (analysis.Message) {
        // Too little data: the grids stay hidden and unchanged until a race with data shows.
        for (GridView* grid : raceGrids) {
            grid->Table()->hide();
        }
        m_raceMessage->setText(Q(*analysis.Message));
        m_raceMessage->show();
        Notify(Q(*analysis.Message));
        return;
    }
    // An incomplete race shows its runners as read, with the reason it has no figures.
    m_raceMessage->setText(analysis.Incomplete ? Q(IncompleteRaceNote()) : QString());
    m_raceMessage->setVisible(analysis.Incomplete);
    for (const ViewDescription& view : Views()) {
        if (view.Tab && view.RaceGrid != nullptr) {
            View(view)->SetGrid(ViewGrid(view, *day, &analysis));
        }
    }
    for (GridView* grid : raceGrids) {
        grid->Table()->show();
    }
    m_analysis->Show(analysis, *day);
}

void MainWindow::Notify(const QString& message)
{
    m_lastMessage = message;
    statusBar()->showMessage(message, 10000);
    // Not exec(): a message must not stall the event loop (or a test driving the window).
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Vornal"), message, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("Message"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
        // Esc stays the user's way out while input is blocked: it stops the job.
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && Loading()) {
            CancelJob();
            return true;
        }
        [[fallthrough]];
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->window() == this) {
            return true;
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (Loading()) {
        // The worker holds the session: the job stops first, then the window closes.
        if (!m_closeAfterJob && m_ask(QStringLiteral("処理中です。中止して終了しますか？"))) {
            m_closeAfterJob = true;
            CancelJob();
        }
        event->ignore();
        return;
    }
    const QRect rect = geometry();
    const Settings settings(SettingsFile(m_session.AppDir()));
    // A place that cannot be saved only costs the next opening its place.
    static_cast<void>(kMainWindowPlace.Write(settings, {rect.top(), rect.left(), rect.width(), rect.height()}));
    event->accept();
}

} // namespace vornal::ui
