#pragma once

#include <memory>
#include <string>

#include <QMainWindow>

#include "session/DaySession.h"
#include "ui/StartUp.h"

class QLabel;
class QTabWidget;
class QAction;

// The main window: binds the race-list panel, the analysis strip and the table tabs to the
// day session, and the menus to the session's commands.
namespace vornal::ui {

class DayLoader;
class DayTablesTabs;
class GridView;
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
    // The replay feed that "JVデータ取得" reads ("JVLink設定" in that window changes it).
    void SetFeedFolder(std::filesystem::path folder) { m_feedFolder = std::move(folder); }

    bool Loading() const;
    int SelectedRace() const { return m_selectedRace; }
    // The last message shown to the user (UTF-16), for the status line and tests.
    const QString& LastMessage() const { return m_lastMessage; }
    RaceListPanel* ListPanel() const { return m_list; }
    RaceAnalysisPanel* AnalysisPanel() const { return m_analysis; }
    GridView* View(const QString& caption) const;
    QTabWidget* Tabs() const { return m_tabs; }
    WaitWindow* Waiting() const { return m_wait; }

signals:
    void DayShown(bool ok);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void AddTab(GridView* view, const QString& caption, bool developerOnly);
    void OnLoaded(const LoadResult& result);
    void RefreshDay();
    void ShowFirstRace();
    void ShowRace(int entry, int slot);
    void RerunPipeline();
    void Notify(const QString& message);
    void UpdateMethodLabel();
    void SetBusy(bool busy);

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
};

} // namespace vornal::ui
