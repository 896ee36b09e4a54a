#include "ui/OddsRecordingWindow.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "store/BridgeLink.h"
#include "text/Encoding.h"
#include "vocab/JvResultMessage.h"
#include "ui/Text.h"

namespace vornal::ui {

OddsRecordingWindow::OddsRecordingWindow(const DaySession& session, std::unique_ptr<JvLink> link,
                                         std::vector<RecordedRace> races, std::string dayDigits, RecordingClock* clock,
                                         QWidget* parent)
    : QDialog(parent), m_session(session), m_link(std::move(link)), m_races(std::move(races)),
      m_dayDigits(std::move(dayDigits)), m_job(new Job(this))
{
    if (clock == nullptr) {
        m_ownClock = std::make_unique<SystemRecordingClock>();
        clock = m_ownClock.get();
    }
    m_clock = clock;
    setWindowTitle(QStringLiteral("ｵｯｽﾞ記録"));
    setObjectName(QStringLiteral("OddsRecordingWindow"));

    m_every = new QSpinBox(this);
    m_every->setObjectName(QStringLiteral("Every"));
    m_every->setRange(1, 60);
    m_every->setValue(10);
    m_every->setSuffix(QStringLiteral("分毎"));
    m_raceCount = new QLabel(this);
    m_snapshots = new QLabel(this);
    m_next = new QLabel(this);
    m_message = new QLabel(this);
    m_message->setWordWrap(true);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, std::max(1, static_cast<int>(m_races.size())));
    m_bar->setValue(0);
    m_start = new QPushButton(QStringLiteral("記録開始"), this);
    m_start->setObjectName(QStringLiteral("Start"));
    m_stop = new QPushButton(QStringLiteral("中止"), this);
    m_stop->setObjectName(QStringLiteral("Stop"));
    m_stop->setEnabled(false);

    auto* form = new QFormLayout;
    const QString day = QString::fromStdString(m_dayDigits);
    form->addRow(QStringLiteral("開催日"), new QLabel(day.left(4) + "/" + day.mid(4, 2) + "/" + day.mid(6, 2), this));
    form->addRow(QStringLiteral("取得間隔"), m_every);
    form->addRow(QStringLiteral("ﾚｰｽ"), m_raceCount);
    form->addRow(QStringLiteral("記録"), m_snapshots);
    form->addRow(QStringLiteral("次回取得"), m_next);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_start);
    buttons->addWidget(m_stop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_bar);
    layout->addWidget(m_message);
    layout->addLayout(buttons);

    RecordingStatus before;
    before.races = static_cast<int>(m_races.size());
    Show(before);
    m_next->setText(QStringLiteral("—"));
    connect(m_start, &QPushButton::clicked, this, [this] { Start(); });
    connect(m_stop, &QPushButton::clicked, this, &OddsRecordingWindow::Stop);
}

OddsRecordingWindow::~OddsRecordingWindow() = default;

bool OddsRecordingWindow::Start()
{
    if (m_job->Running()) {
        return false;
    }
    OddsRecordingOptions options;
    options.everyMinutes = m_every->value();
    m_start->setEnabled(false);
    m_every->setEnabled(false);
    m_stop->setEnabled(true);
    m_message->clear();
    m_report = {};
    return m_job->Start(
        [this, options](const CancelFlag& cancel) {
            // A cancel reaches a bridge call that waits, not only the waits between fetches.
            auto* bridge = dynamic_cast<BridgeLink*>(m_link.get());
            if (bridge != nullptr) {
                bridge->SetCancelFlag(&cancel);
            }
            if (const int init = m_link->JVInit(kJvSoftwareId); init != 0) {
                m_report.refusal = Sjis("JVInitエラー：") + JvResultMessage("JVInit", init);
                return;
            }
            m_report = m_session.RecordOdds(*m_link, m_races, m_dayDigits, options, *m_clock, cancel,
                                            [this](const RecordingStatus& status) {
                                                QMetaObject::invokeMethod(
                                                    this, [this, status] { Show(status); }, Qt::QueuedConnection);
                                            });
            if (bridge != nullptr) {
                bridge->SetCancelFlag(nullptr);
            }
        },
        [this] { OnEnded(); });
}

void OddsRecordingWindow::Stop()
{
    m_job->Cancel();
}

void OddsRecordingWindow::Show(const RecordingStatus& status)
{
    m_raceCount->setText(QStringLiteral("%1 / %2ﾚｰｽ終了").arg(status.racesDone).arg(status.races));
    m_snapshots->setText(status.errors > 0 ? QStringLiteral("%1件 (ｴﾗｰ %2件)").arg(status.snapshots).arg(status.errors)
                                           : QStringLiteral("%1件").arg(status.snapshots));
    m_next->setText(status.nextFetch ? QStringLiteral("%1:%2")
                                           .arg(status.nextFetch->hour, 2, 10, QLatin1Char('0'))
                                           .arg(status.nextFetch->minute, 2, 10, QLatin1Char('0'))
                                     : QStringLiteral("—"));
    m_bar->setValue(status.racesDone);
}

void OddsRecordingWindow::OnEnded()
{
    Show(m_report.status);
    if (!m_report.refusal.empty()) {
        m_message->setText(Q(m_report.refusal));
    } else if (m_report.cancelled) {
        m_message->setText(QStringLiteral("中止しました。記録したｵｯｽﾞはそのまま残っています。"));
    } else {
        m_message->setText(QStringLiteral("全ﾚｰｽの発走時刻を過ぎました。記録を終了しました。"));
    }
    if (!m_report.errorLines.empty()) {
        m_message->setText(m_message->text() + QStringLiteral("\nｴﾗｰは ErrorLog.txt に記録しました。"));
    }
    m_start->setEnabled(true);
    m_every->setEnabled(true);
    m_stop->setEnabled(false);
    emit Finished();
}

QString OddsRecordingWindow::StatusText() const
{
    return m_raceCount->text() + "\n" + m_snapshots->text() + "\n" + m_next->text() + "\n" + m_message->text();
}

void OddsRecordingWindow::closeEvent(QCloseEvent* event)
{
    // The worker ends at its next check; the snapshots written stay in their files.
    m_job->Cancel();
    QDialog::closeEvent(event);
}

} // namespace vornal::ui
