#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>

#include <QDialog>

#include "app/Progress.h"
#include "present/CellGrid.h"
#include "season/SeasonReport.h"
#include "ui/Job.h"

class QChartView;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

// "成績分析": the season report of chosen betting methods over a range of stored days. The
// run goes on a worker thread (RunSeason with its own sessions; the window never touches the
// day shown) with progress and cancel; when it ends the window shows one breakdown of one
// method as a sortable table, the profit curve with its drawdown shaded, the return rate by
// the breakdown with its interval, and the predicted against the paid payouts. The table
// exports as CSV, the window as PNG.
namespace vornal::ui {

class BarProgress;

class GridModel;

class SeasonReportWindow : public QDialog
{
    Q_OBJECT
public:
    explicit SeasonReportWindow(std::filesystem::path appDir, QWidget* parent = nullptr);
    ~SeasonReportWindow() override;

    // Starts a run with the choices made; false while one runs or when no method is chosen.
    bool Run();
    void Cancel();
    bool Running() const { return m_job != nullptr && m_job->Running(); }
    const SeasonReport* Report() const { return m_report.get(); }
    QTableView* Table() const { return m_table; }
    const CellGrid& Grid() const { return m_grid; }
    // Chooses the breakdown shown (its index in kBreakdowns).
    void ShowBreakdown(int index);
    // Sorts the table by `column`; the same column again reverses the order.
    void SortBy(int column);
    bool ExportCsv(const QString& file) const;
    bool ExportPng(const QString& file);

signals:
    void Finished();

private:

    void OnRunEnded();
    void ShowReport();
    void ShowCharts();

    std::filesystem::path m_appDir;
    QListWidget* m_methods;
    QComboBox* m_from;
    QComboBox* m_to;
    QComboBox* m_by;
    QComboBox* m_shownMethod;
    QComboBox* m_series;
    QPushButton* m_run;
    QPushButton* m_cancel;
    QProgressBar* m_progress;
    QLabel* m_status;
    QTableView* m_table;
    GridModel* m_model;
    QChartView* m_curve;
    QChartView* m_rates;
    QChartView* m_calibration;

    CellGrid m_grid;
    int m_sortColumn = -1;
    bool m_descending = false;
    std::unique_ptr<SeasonReport> m_report;

    // Shared with the worker: the progress and the finished report, which the window reads
    // only after the worker ended (the Job's `done`).
    std::unique_ptr<BarProgress> m_runProgress;
    std::unique_ptr<SeasonReport> m_result;
    std::string m_resultMessage; // the first message of the pipeline runs (CP932)
    Job* m_job;
};

} // namespace vornal::ui
