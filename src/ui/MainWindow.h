#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QMainWindow>
#include <QPointer>
#include <QThread>

#include "session/DaySession.h"
#include "store/LinkChoice.h"
#include "ui/StartUp.h"

class QLabel;
class QTabWidget;
class QAction;

namespace vornal {
struct ViewDescription;
}

// The main window: binds the race-list panel, the analysis strip and the table tabs to the
// day session, and the menus to the session's commands.
namespace vornal::ui {

class DayLoader;
class DayTablesTabs;
class GridView;
class HitReportWindow;
class OddsRecordingWindow;
class StatusLineProgress;
class QueuedProgress;
class RaceAnalysisPanel;
class RaceListPanel;
class WaitWindow;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(DaySession& session, const StartUpOutcome& startUp, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Rebuilds the date list from the store.
    void BuildDateList();
    // Starts loading the date (CP932); false while a load runs.
    bool LoadDate(const std::string& dayName);
    // Shows race-list entry `entry`.
    void ShowEntry(int entry);
    bool SelectTab(const QString& caption);
    // The link that the start-up check, "JVデータ取得", "結果情報" and the quick odds use:
    // at first the settings file's choice (LinkChoice); SetFeedFolder makes it the replay
    // feed `folder` ("JVLink設定" in the acquisition window changes it), SetLink any choice.
    void SetFeedFolder(std::filesystem::path folder);
    void SetLink(const LinkChoice& choice);
    JvLink& Link() { return *m_link; }

    // The commands of MainWindowCommands.cpp: "速報ｵｯｽﾞ" (the race selected) and
    // "全ﾚｰｽ速報ｵｯｽﾞ取得(&O)" (allRaces), "時系列オッズより取得(&J)", "結果情報", "判定",
    // "目次(&C)". A long one runs on the worker and returns at once (Busy() until done).
    void FetchOdds(bool allRaces);
    void ImportSeriesOdds();
    // "ｵｯｽﾞ記録(&R)": opens the recording window of the day shown, on a link of its own
    // (the same feed or bridge) and on `clock` (the machine's when null; a replay link then
    // answers as at its moments). Null, after a message, when no day is shown.
    OddsRecordingWindow* RecordOdds(RecordingClock* clock = nullptr);
    void RetrieveResults();
    HitReportWindow* ShowHitReport();
    void OpenHelp();
    // The help page opened by OpenHelp.
    static QString HelpPage();

    bool Loading() const;
    // Asks the long operation that runs to stop ("中止" on the waiting window, or Esc while
    // input is blocked); nothing when none runs.
    void CancelJob();
    // Replaces the Yes/No box of closing while busy (tests answer without a modal loop).
    void SetAsk(std::function<bool(const QString& question)> ask) { m_ask = std::move(ask); }
    int SelectedRace() const { return m_selectedRace; }
    // The last message shown to the user (UTF-16), for the status line and tests.
    const QString& LastMessage() const { return m_lastMessage; }
    RaceListPanel* ListPanel() const { return m_list; }
    RaceAnalysisPanel* AnalysisPanel() const { return m_analysis; }
    GridView* View(const QString& caption) const;
    // The tab of a registered view; nullptr for a view without a grid tab.
    GridView* View(const ViewDescription& view) const;
    QTabWidget* Tabs() const { return m_tabs; }
    WaitWindow* Waiting() const { return m_wait; }

signals:
    void DayShown(bool ok);
    // A command of the worker ended and its results are on screen.
    void CommandDone();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildCommands();
    void CheckLink();
    void EndOddsFetch(const OddsFetchReport& report);
    void EndSeriesImport(const TimeSeriesReport& report);
    void ShowRaceAgain();
    void AddTab(GridView* view, const QString& caption, bool developerOnly);
    void OnLoaded(const LoadResult& result);
    void RefreshDay();
    void ShowFirstRace();
    void ShowRace(int entry, int slot);
    void RerunPipeline();
    void Notify(const QString& message);
    void UpdateMethodLabel();
    void NotifyUnsavedSetting();
    // Blocks the user's input on this window (and shows the waiting window) while the worker
    // changes the day; the busy pointer when `waitWindow` is false.
    void SetBusy(bool busy, bool waitWindow = true);

    DaySession& m_session;
    bool m_developerView;
    RaceListPanel* m_list;
    RaceAnalysisPanel* m_analysis;
    QLabel* m_raceMessage;
    QLabel* m_methodLabel;
    QTabWidget* m_tabs;
    WaitWindow* m_wait;
    QueuedProgress* m_progress;
    DayLoader* m_loader;
    QAction* m_closeListOption = nullptr;
    int m_selectedRace = -1;
    QString m_lastMessage;
    std::filesystem::path m_feedFolder;
    std::unique_ptr<JvLink> m_link;
    LinkChoice m_linkChoice;
    bool m_linkChecked = false;
    // The start-up check of a bridge runs here; the link outlives it.
    QPointer<QThread> m_checkWorker;
    void WaitForLinkCheck();
    std::string m_linkProblem; // why the settings file's link could not be used (CP932)
    std::function<bool(const QString& question)> m_ask;
    // The user chose to close while busy: the window closes once the job has stopped.
    bool m_closeAfterJob = false;
    StatusLineProgress* m_statusLine = nullptr;
    QAction* m_resultsAction = nullptr;
    // Runs once after the next load ends, whatever its outcome (results retrieval's reshow).
    std::function<void()> m_afterLoad;
    // This window's registration for the session's swaps of the day shown.
    int m_dayListener = -1;
};

} // namespace vornal::ui
