#pragma once

#include <filesystem>
#include <memory>

#include <QDialog>

#include "season/CalibrationRun.h"
#include "ui/Job.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

// The developer's command that measures the tuning tables again on every stored day (learning
// from the first two thirds, judged on the rest) on a worker thread, then shows every
// developer tuning view in use beside the new one and what the held-out days said. The new
// files are saved to a chosen folder; replacing the files in use asks first. The season
// report figures of the comparison are those of betting method No.1.
namespace vornal::ui {

class BarProgress;

class CalibrationWindow : public QDialog
{
    Q_OBJECT
public:
    explicit CalibrationWindow(std::filesystem::path appDir, QWidget* parent = nullptr);
    ~CalibrationWindow() override;

    bool Run();
    void Cancel();
    bool Running() const { return m_job != nullptr && m_job->Running(); }
    const CalibrationResult* Result() const { return m_result.get(); }
    QTabWidget* Tabs() const { return m_tabs; }
    // Writes the new files into `folder`; the message shown on failure.
    Status SaveTo(const std::filesystem::path& folder);
    // Replaces the files in use (the confirmation already given).
    Status Install();

signals:
    void Finished();

private:

    void OnRunEnded();
    void AskInstall();

    std::filesystem::path m_appDir;
    QPushButton* m_run;
    QPushButton* m_cancel;
    QPushButton* m_save;
    QPushButton* m_install;
    QProgressBar* m_progress;
    QLabel* m_status;
    QTabWidget* m_tabs;
    QPlainTextEdit* m_summary;
    std::unique_ptr<BarProgress> m_runProgress;
    std::unique_ptr<CalibrationResult> m_pending; // written by the worker
    std::unique_ptr<CalibrationResult> m_result;
    Job* m_job;
};

} // namespace vornal::ui
