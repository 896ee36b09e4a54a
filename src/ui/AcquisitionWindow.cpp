#include "ui/AcquisitionWindow.h"

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
#include <QTimer>
#include <QVBoxLayout>

#include "app/AppDir.h"
#include "text/Encoding.h"
#include "ui/Text.h"
#include "vocab/JvResultMessage.h"

namespace vornal::ui {

AcquisitionWindow::AcquisitionWindow(std::filesystem::path appDir, std::filesystem::path feedFolder, QWidget* parent)
    : QDialog(parent), m_appDir(std::move(appDir)), m_settings(SettingsFile(m_appDir)), m_link(std::move(feedFolder)),
      m_start(new QPushButton(QStringLiteral("データ取込み開始"), this)),
      m_cancelButton(new QPushButton(QStringLiteral("データ取込み中止"), this)),
      m_linkSettings(new QPushButton(QStringLiteral("JVLink設定"), this)), m_from(new QDateTimeEdit(this)),
      m_bars{new QProgressBar(this), new QProgressBar(this)}, m_label(new QLabel(this)),
      m_files(new QListWidget(this)), m_status(new QTimer(this))
{
    setWindowTitle(QStringLiteral("JVデータ取得"));
    m_acquisition = std::make_unique<Acquisition>(m_link, m_appDir, m_settings, DefaultClock(), m_cancel,
                                                  static_cast<AcquisitionView&>(*this));
    m_ask = [this](const QString& q) { return QMessageBox::question(this, windowTitle(), q) == QMessageBox::Yes; };
    m_tell = [this](const QString& m) { QMessageBox::information(this, windowTitle(), m); };
    // The feed folder of the replay link is what "JVLink設定" chooses.
    m_link.SetFolderChooser([this]() -> std::optional<std::filesystem::path> {
        const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("JVLink設定"));
        if (folder.isEmpty()) {
            return std::nullopt;
        }
        return std::filesystem::path(folder.toStdString());
    });

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

    m_status->setInterval(10);
    connect(m_status, &QTimer::timeout, this, [this] {
        m_acquisition->PollStatus();
        if (m_acquisition->State() != AcquisitionState::Downloading) {
            m_status->stop();
        }
    });
    connect(m_start, &QPushButton::clicked, this, &AcquisitionWindow::StartRun);
    // The window's own link is initialised before the first run, as the component must be.
    m_linkResult = m_link.JVInit(kJvSoftwareId);
    connect(m_cancelButton, &QPushButton::clicked, this, &AcquisitionWindow::AskCancel);
    connect(m_linkSettings, &QPushButton::clicked, this, [this] { m_acquisition->ShowSettings(); });
    SyncPicker();
}

AcquisitionWindow::~AcquisitionWindow() = default;

void AcquisitionWindow::SetPrompts(Ask ask, Tell tell)
{
    m_ask = std::move(ask);
    m_tell = std::move(tell);
}

void AcquisitionWindow::reject()
{
    // The read loop runs inside this window's events: the window stays until it ends, or
    // the loop would go on in a window already gone.
    if (m_acquisition->State() == AcquisitionState::Idle) {
        QDialog::reject();
    }
}

void AcquisitionWindow::closeEvent(QCloseEvent* event)
{
    if (m_acquisition->State() != AcquisitionState::Idle) {
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
    if (m_acquisition->State() != AcquisitionState::Idle) {
        return; // a run is on: the button does not start a second one inside it
    }
    if (m_linkResult != 0) {
        m_tell(Q(ToCp932("JVInitエラー：") + JvResultMessage("JVInit", m_linkResult)));
        return;
    }
    // One writer at a time: a second run into the folder (the CLI's, another window's) would
    // interleave with this one and lose history lines.
    Result<StoreLock> lock = TryLockStore(m_appDir);
    if (!lock) {
        m_tell(Q(lock.message()));
        return;
    }
    m_lock = std::move(lock.value);
    const QDateTime from = m_from->dateTime();
    m_acquisition->SetFromTime({from.date().year(), from.date().month(), from.date().day(), from.time().hour(),
                                from.time().minute(), from.time().second()});
    m_acquisition->Start();
    if (m_acquisition->State() == AcquisitionState::Downloading) {
        m_status->start();
    }
    SyncPicker();
}

void AcquisitionWindow::AskCancel()
{
    if (m_acquisition->State() == AcquisitionState::Idle) {
        return;
    }
    if (m_ask(Q(AcquisitionCancelQuestion()))) {
        m_status->stop();
        m_acquisition->Cancel();
    }
}

void AcquisitionWindow::SetLine(int, const std::string& text)
{
    m_label->setText(Q(text));
}

void AcquisitionWindow::SetBar(int bar, int position, int maximum)
{
    if (bar == 0 || bar == 1) {
        m_bars[bar]->setRange(0, std::max(1, maximum));
        m_bars[bar]->setValue(std::clamp(position, 0, std::max(1, maximum)));
    }
}

void AcquisitionWindow::ProcessEvents()
{
    QApplication::processEvents();
}

void AcquisitionWindow::ClearCreatedFiles()
{
    m_files->clear();
}

void AcquisitionWindow::AddCreatedFile(const std::string& line)
{
    m_files->addItem(Q(line));
    m_files->scrollToBottom();
}

void AcquisitionWindow::ShowMessage(const std::string& text)
{
    m_tell(Q(text));
}

void AcquisitionWindow::Beep()
{
    QApplication::beep();
}

void AcquisitionWindow::SetBusy(bool busy)
{
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
        m_lock.Release(); // every run ends here, whatever ended it
    }
}

} // namespace vornal::ui
