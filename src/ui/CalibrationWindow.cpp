#include "ui/CalibrationWindow.h"

#include <atomic>

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/AtomicFile.h"
#include "season/CalibrationText.h"
#include "season/CalibrationViews.h"
#include "ui/BarProgress.h"
#include "ui/GridView.h"
#include "ui/Text.h"

namespace vornal::ui {

CalibrationWindow::CalibrationWindow(std::filesystem::path appDir, QWidget* parent)
    : QDialog(parent), m_appDir(std::move(appDir)), m_run(new QPushButton(QStringLiteral("実行"), this)),
      m_cancel(new QPushButton(QStringLiteral("中止"), this)),
      m_save(new QPushButton(QStringLiteral("新しい表を保存"), this)),
      m_install(new QPushButton(QStringLiteral("使用中の表を置き換える"), this)), m_progress(new QProgressBar(this)),
      m_status(new QLabel(this)), m_tabs(new QTabWidget(this)), m_summary(new QPlainTextEdit(this)),
      m_job(new Job(this))
{
    setObjectName(QStringLiteral("CalibrationWindow"));
    setWindowTitle(Q(RecalibrateCaption()));
    resize(1100, 720);
    m_summary->setReadOnly(true);
    m_summary->setObjectName(QStringLiteral("CalibrationSummary"));
    m_tabs->addTab(m_summary, Q(CalibrationSummaryCaption()));
    m_cancel->setEnabled(false);
    m_save->setEnabled(false);
    m_install->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    for (QWidget* widget : {static_cast<QWidget*>(m_run), static_cast<QWidget*>(m_cancel),
                            static_cast<QWidget*>(m_progress), static_cast<QWidget*>(m_save),
                            static_cast<QWidget*>(m_install)}) {
        buttons->addWidget(widget);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_status);
    layout->addWidget(m_tabs, 1);

    connect(m_run, &QPushButton::clicked, this, [this] { Run(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { Cancel(); });
    connect(m_save, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("保存先フォルダ"));
        if (folder.isEmpty()) {
            return;
        }
        const Status saved = SaveTo(std::filesystem::path(folder.toStdString()));
        m_status->setText(saved ? QStringLiteral("保存しました：%1").arg(folder) : Q(saved.message));
    });
    connect(m_install, &QPushButton::clicked, this, [this] { AskInstall(); });
    connect(m_job, &Job::Finished, this, &CalibrationWindow::Finished);
}

CalibrationWindow::~CalibrationWindow()
{
    // The worker writes this window's members: it stops before they go.
    delete m_job;
    m_job = nullptr;
}

bool CalibrationWindow::Run()
{
    if (Running()) {
        return false;
    }
    CalibrationRunOptions options;
    options.methods = {{"no1", {}}};
    m_runProgress = std::make_unique<BarProgress>(m_progress);
    options.progress = m_runProgress.get();
    m_run->setEnabled(false);
    m_cancel->setEnabled(true);
    m_progress->setValue(0);
    m_status->setText(QStringLiteral("集計中…"));
    return m_job->Start(
        [this, options](const CancelFlag& cancel) mutable {
            options.cancel = &cancel;
            m_pending = std::make_unique<CalibrationResult>(RunCalibration(m_appDir, options));
        },
        [this] { OnRunEnded(); });
}

void CalibrationWindow::Cancel()
{
    m_job->Cancel();
}

void CalibrationWindow::OnRunEnded()
{
    m_runProgress->Flush();
    m_run->setEnabled(true);
    m_cancel->setEnabled(false);
    std::unique_ptr<CalibrationResult> result = std::move(m_pending);
    if (!result || !result->status) {
        m_status->setText(result ? Q(result->status.message) : QString());
        return;
    }
    m_result = std::move(result);
    while (m_tabs->count() > 1) {
        QWidget* page = m_tabs->widget(1);
        m_tabs->removeTab(1);
        delete page;
    }
    QString summary;
    for (const std::string& line : CalibrationTextLines(*m_result)) {
        summary += Q(line) + QLatin1Char('\n');
    }
    m_summary->setPlainText(summary);
    for (const TuningTab& tab : CalibrationTabs(*m_result)) {
        auto* sheets = new QTabWidget;
        sheets->setObjectName(Q(tab.Caption));
        for (const TuningView& view : tab.Views) {
            auto* grid = new GridView;
            grid->setObjectName(Q(view.Caption));
            grid->SetGrid(view.Grid);
            sheets->addTab(grid, Q(view.Caption));
        }
        m_tabs->addTab(sheets, Q(tab.Caption));
    }
    m_status->setText(QStringLiteral("学習 %1日、検証 %2日%3")
                          .arg(m_result->trainingDays.size())
                          .arg(m_result->heldOutDays.size())
                          .arg(m_result->failedDays.empty()
                                   ? QString()
                                   : QStringLiteral("　読込めない日 %1").arg(m_result->failedDays.size())));
    m_save->setEnabled(true);
    m_install->setEnabled(true);
}

Status CalibrationWindow::SaveTo(const std::filesystem::path& folder)
{
    if (!m_result) {
        return Status::Failure({});
    }
    return WriteCalibratedTables(m_appDir, folder, *m_result);
}

Status CalibrationWindow::Install()
{
    if (!m_result) {
        return Status::Failure({});
    }
    return InstallCalibratedTables(m_appDir, *m_result);
}

void CalibrationWindow::AskInstall()
{
    const auto answer = QMessageBox::question(
        this, Q(RecalibrateCaption()),
        QStringLiteral("使用中の RT.dat、senuj.dat、RankRate.dat を新しい表で置き換えますか？\n"
                       "元の表は「.old」を付けて残します。次回の起動から使われます。"));
    if (answer != QMessageBox::Yes) {
        return;
    }
    const Status installed = Install();
    m_status->setText(installed ? QStringLiteral("置き換えました。次回の起動から使われます。") : Q(installed.message));
}

} // namespace vornal::ui
