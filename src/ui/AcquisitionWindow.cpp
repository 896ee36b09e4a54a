#include "ui/AcquisitionWindow.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QDateTimeEdit>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppDir.h"
#include "app/ErrorLog.h"
#include "session/DaySession.h"
#include "store/LinkChoice.h"
#include "text/Encoding.h"
#include "ui/Text.h"
#include "vocab/JvResultMessage.h"

namespace vornal::ui {

AcquisitionWindow::AcquisitionWindow(DaySession& session, std::filesystem::path feedFolder, QWidget* parent)
    : AcquisitionWindow(session, std::make_unique<ReplayLink>(std::move(feedFolder)), nullptr, parent)
{
}

AcquisitionWindow::AcquisitionWindow(DaySession& session, JvLink& link, QWidget* parent)
    : AcquisitionWindow(session, nullptr, &link, parent)
{
}

AcquisitionWindow::AcquisitionWindow(DaySession& session, std::unique_ptr<ReplayLink> ownLink, JvLink* sharedLink,
                                     QWidget* parent)
    : QDialog(parent), m_session(session), m_appDir(session.AppDir()), m_settings(SettingsFile(m_appDir)),
      m_ownLink(std::move(ownLink)), m_link(sharedLink != nullptr ? *sharedLink : *m_ownLink),
      m_replay(dynamic_cast<ReplayLink*>(&m_link)), m_bridge(dynamic_cast<BridgeLink*>(&m_link)),
      m_start(new QPushButton(QStringLiteral("データ取込み開始"), this)),
      m_cancelButton(new QPushButton(QStringLiteral("データ取込み中止"), this)),
      m_linkSettings(new QPushButton(QStringLiteral("JVLink設定"), this)), m_from(new QDateTimeEdit(this)),
      m_bars{new QProgressBar(this), new QProgressBar(this)}, m_label(new QLabel(this)),
      m_files(new QListWidget(this)), m_job(new Job(this))
{
    setWindowTitle(QStringLiteral("JVデータ取得"));
    m_acquisition = std::make_unique<Acquisition>(m_link, m_appDir, m_settings, DefaultClock(), m_job->Flag(),
                                                  static_cast<AcquisitionView&>(*this));
    if (!m_acquisition->SettingWarning().empty()) {
        static_cast<void>(AppendErrorLine(m_appDir, m_acquisition->SettingWarning()));
    }
    m_ask = [this](const QString& q) { return QMessageBox::question(this, windowTitle(), q) == QMessageBox::Yes; };
    m_tell = [this](const QString& m) { QMessageBox::information(this, windowTitle(), m); };
    // A bridge's waits show in the label, and the cancel button reaches a call that waits.
    if (m_bridge != nullptr) {
        m_bridgeCancelBefore = m_bridge->CancelFlagInUse();
        m_bridgeProgressBefore = m_bridge->WaitProgress();
        m_bridge->SetCancelFlag(&m_job->Flag());
        m_bridge->SetWaitProgress([this](const std::string& line) { SetLine(0, line); });
    }
    // The feed folder of the replay link is what "JVLink設定" chooses.
    if (m_replay != nullptr) {
        m_replay->SetFolderChooser([this]() -> std::optional<std::filesystem::path> {
            const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("JVLink設定"));
            if (folder.isEmpty()) {
                return std::nullopt;
            }
            return std::filesystem::path(folder.toStdString());
        });
    }

    // Thousands of lines: one height for all, or every line added lays out the whole list.
    m_files->setUniformItemSizes(true);
    m_from->setDisplayFormat(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    m_from->setCalendarPopup(true);
    for (QPushButton* button : {m_start, m_cancelButton, m_linkSettings}) {
        button->setAutoDefault(false);
    }
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("取得開始日付"), this));
    top->addWidget(m_from);
    top->addStretch(1);
    top->addWidget(m_start);
    top->addWidget(m_cancelButton);
    top->addWidget(m_linkSettings);
    layout->addLayout(top);
    layout->addWidget(m_bars[0]);
    layout->addWidget(m_bars[1]);
    layout->addWidget(m_label);
    layout->addWidget(new QLabel(QStringLiteral("作成済みデータ"), this));
    layout->addWidget(m_files, 1);
    resize(640, 480);

    connect(m_start, &QPushButton::clicked, this, &AcquisitionWindow::StartRun);
    // The window's own link is initialised before the first run, as the component must be.
    // A bridge starts a process and may wait for it: its JVInit runs on the worker of each run.
    m_linkResult = m_bridge != nullptr ? 0 : m_link.JVInit(kJvSoftwareId);
    connect(m_cancelButton, &QPushButton::clicked, this, &AcquisitionWindow::AskCancel);
    connect(m_linkSettings, &QPushButton::clicked, this, &AcquisitionWindow::ShowLinkSettings);
    // Thousands of created-file lines: the list follows them once per share, not per line.
    connect(m_job, &Job::PostsRan, m_files, &QListWidget::scrollToBottom);
    SyncPicker();
}

AcquisitionWindow::~AcquisitionWindow()
{
    // A shared link outlives the window's dialog, label and cancel flag.
    if (m_replay != nullptr) {
        m_replay->SetFolderChooser({});
    }
    // Only a window torn down with its parent can still have a run: the job cancels it, and
    // its messages, which wait for this thread, are answered meanwhile. The worker uses the
    // acquisition and this window's members: it ends before they go.
    delete m_job;
    m_job = nullptr;
    if (m_bridge != nullptr) {
        m_bridge->SetCancelFlag(m_bridgeCancelBefore);
        m_bridge->SetWaitProgress(std::move(m_bridgeProgressBefore));
    }
}

void AcquisitionWindow::ShowLinkSettings()
{
    if (Running()) {
        return;
    }
    if (m_bridge == nullptr) {
        m_acquisition->ShowSettings(); // the feed folder chooser, on this thread
        return;
    }
    // The component's own dialog may stay open for minutes: the bridge waits on the worker,
    // as a run does, and the window stays live.
    Acquisition* acquisition = m_acquisition.get();
    m_job->Start([acquisition](const CancelFlag&) { acquisition->ShowSettings(); });
}

void AcquisitionWindow::SetPrompts(Ask ask, Tell tell)
{
    m_ask = std::move(ask);
    m_tell = std::move(tell);
}

void AcquisitionWindow::reject()
{
    // The window stays until its run ends: the worker reports to it.
    if (!Running()) {
        QDialog::reject();
    }
}

void AcquisitionWindow::closeEvent(QCloseEvent* event)
{
    if (Running()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void AcquisitionWindow::SyncPicker()
{
    const LocalDateTime& t = m_acquisition->FromTime();
    m_from->setDateTime(QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second)));
}

void AcquisitionWindow::StartRun()
{
    if (Running()) {
        return; // a run is on: the button does not start a second one beside it
    }
    if (m_linkResult != 0) {
        m_tell(Q(ToCp932("JVInitエラー：") + JvResultMessage("JVInit", m_linkResult)));
        return;
    }
    const QDateTime from = m_from->dateTime();
    m_acquisition->SetFromTime({from.date().year(), from.date().month(), from.date().day(), from.time().hour(),
                                from.time().minute(), from.time().second()});
    Acquisition* acquisition = m_acquisition.get();
    DaySession* session = &m_session;
    JvLink* bridge = m_bridge;
    AcquisitionView* view = this;
    m_refusal.clear();
    // The session holds the store lock for the whole run: a second run into the folder (the
    // CLI's, another window's) would interleave with this one and lose history lines.
    // The acquisition's cancel flag is the job's (the cancel button sets it, after asking).
    m_job->Start(
        [this, acquisition, session, bridge, view](const CancelFlag&) {
            // A bridge starts (and the component initialises) here, off this thread.
            if (bridge != nullptr) {
                if (const int result = bridge->JVInit(kJvSoftwareId); result != 0) {
                    const std::string failure = LinkFailure(*bridge);
                    view->Beep();
                    view->ShowMessage(ToCp932("JVInitエラー：") + JvResultMessage("JVInit", result) +
                                      (failure.empty() ? "" : "\r\n" + failure));
                    return;
                }
            }
            if (const Result<AcquisitionOutcome> run = session->Acquire(*acquisition); !run) {
                m_refusal = run.message();
            }
        },
        [this] { OnRunEnded(); });
}

void AcquisitionWindow::OnRunEnded()
{
    if (!m_refusal.empty()) {
        m_tell(Q(m_refusal));
    }
    SyncPicker();
    emit RunFinished();
}

void AcquisitionWindow::AskCancel()
{
    if (!Running()) {
        return;
    }
    // The worker sees the flag at its next step and cancels as the core's Cancel does.
    if (m_ask(Q(AcquisitionCancelQuestion()))) {
        m_job->Cancel();
    }
}

void AcquisitionWindow::SetLine(int, const std::string& text)
{
    m_job->Post([this, text = Q(text)] { m_label->setText(text); });
}

void AcquisitionWindow::SetBar(int bar, int position, int maximum)
{
    if (bar != 0 && bar != 1) {
        return;
    }
    m_job->Post([this, bar, position, maximum] {
        m_bars[bar]->setRange(0, std::max(1, maximum));
        m_bars[bar]->setValue(std::clamp(position, 0, std::max(1, maximum)));
    });
}

void AcquisitionWindow::ClearCreatedFiles()
{
    m_job->Post([this] { m_files->clear(); });
}

void AcquisitionWindow::AddCreatedFile(const std::string& line)
{
    m_job->Post([this, text = Q(line)] { m_files->addItem(text); });
}

void AcquisitionWindow::ShowMessage(const std::string& text)
{
    // The run goes on only after the user's OK, as after a modal box.
    m_job->PostAndWait([this, message = Q(text)] { m_tell(message); });
}

void AcquisitionWindow::Beep()
{
    m_job->Post([] { QApplication::beep(); });
}

void AcquisitionWindow::SetBusy(bool busy)
{
    m_job->Post([busy] {
        if (busy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QApplication::restoreOverrideCursor();
        }
    });
}

} // namespace vornal::ui
