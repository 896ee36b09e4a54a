#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include <QDialog>

#include "app/Settings.h"
#include "session/DaySession.h"
#include "store/Acquisition.h"
#include "store/BridgeLink.h"
#include "store/ReplayLink.h"
#include "ui/Job.h"

class QDateTimeEdit;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

// The bulk acquisition window: the core's Acquisition state machine with its buttons, the
// from-date picker, the download and read bars, the label and the created-files list. A run
// goes on the window's Job (DaySession::Acquire on its worker); what it shows crosses to this
// window's thread as copied texts and numbers posted through the job, its messages wait for
// the user's OK as a modal box would. The acquisition's cancel flag is the job's: the cancel
// button only sets it (atomic); the Acquisition itself is touched by the worker alone while
// the run lasts.
namespace vornal::ui {

class AcquisitionWindow : public QDialog, private AcquisitionView
{
    Q_OBJECT
public:
    using Ask = std::function<bool(const QString& question)>;
    using Tell = std::function<void(const QString& message)>;

    // The window with a link of its own on the replay feed `feedFolder`. Runs go through
    // `session` (it takes the store lock), which must outlive the window.
    AcquisitionWindow(DaySession& session, std::filesystem::path feedFolder, QWidget* parent = nullptr);
    // The window on the main window's link (a replay feed or a bridge), which must outlive it.
    AcquisitionWindow(DaySession& session, JvLink& link, QWidget* parent = nullptr);
    ~AcquisitionWindow() override;

    void SetPrompts(Ask ask, Tell tell);
    // The acquisition; read its state only while no run goes (!Running()).
    const Acquisition& Run() const { return *m_acquisition; }
    bool Running() const { return m_job != nullptr && m_job->Running(); }
    // The replay feed the window reads ("JVLink設定" may have changed it); empty on a bridge.
    std::filesystem::path FeedFolder() const { return m_replay != nullptr ? m_replay->FeedFolder() : std::filesystem::path(); }
    QPushButton* StartButton() const { return m_start; }
    QPushButton* CancelButton() const { return m_cancelButton; }
    QProgressBar* ReadBar() const { return m_bars[1]; }
    QListWidget* CreatedFiles() const { return m_files; }
    QLabel* Label() const { return m_label; }

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

signals:
    void RunFinished();

private:
    AcquisitionWindow(DaySession& session, std::unique_ptr<ReplayLink> ownLink, JvLink* sharedLink,
                      QWidget* parent);
    void ShowLinkSettings();
    void StartRun();
    void OnRunEnded();
    void AskCancel();
    void SyncPicker();

    // AcquisitionView
    void SetLine(int line, const std::string& text) override;
    void SetBar(int bar, int position, int maximum) override;
    void ClearCreatedFiles() override;
    void AddCreatedFile(const std::string& line) override;
    void ShowMessage(const std::string& text) override;
    void Beep() override;
    void SetBusy(bool busy) override;

    DaySession& m_session;
    std::filesystem::path m_appDir;
    // The lock's refusal of the last run (written by the worker, read after it ended).
    std::string m_refusal;
    Settings m_settings;
    std::unique_ptr<ReplayLink> m_ownLink;
    JvLink& m_link;
    ReplayLink* m_replay;  // m_link when it is the replay link
    BridgeLink* m_bridge;  // m_link when it is a bridge
    // What the bridge reported to before this window took its cancel and progress.
    const CancelFlag* m_bridgeCancelBefore = nullptr;
    std::function<void(const std::string&)> m_bridgeProgressBefore;
    std::unique_ptr<Acquisition> m_acquisition;
    QPushButton* m_start;
    QPushButton* m_cancelButton;
    QPushButton* m_linkSettings;
    QDateTimeEdit* m_from;
    QProgressBar* m_bars[2];
    QLabel* m_label;
    QListWidget* m_files;
    Job* m_job;
    int m_linkResult = 0;
    Ask m_ask;
    Tell m_tell;
};

} // namespace vornal::ui
