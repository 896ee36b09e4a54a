#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QDialog>

#include "odds/OddsRecorder.h"
#include "session/DaySession.h"
#include "ui/Job.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;

// "ｵｯｽﾞ記録(&R)": records the odds of the day shown as they move, into the time-series
// folder, until every race's post time. The recording runs for hours on a worker thread
// with a link of its own, so the main window keeps loading days and fetching odds meanwhile;
// the window shows the races done, the snapshots recorded, the errors and the next fetch.
// Closing the window stops the recording; every snapshot written stays.
namespace vornal::ui {

class OddsRecordingWindow : public QDialog
{
    Q_OBJECT
public:
    // Records `races` of the day of eight digits `dayDigits` through `link` on `clock`
    // (the machine's clock when null). The session, link and clock must outlive the window.
    OddsRecordingWindow(const DaySession& session, std::unique_ptr<JvLink> link, std::vector<RecordedRace> races,
                        std::string dayDigits, RecordingClock* clock = nullptr, QWidget* parent = nullptr);
    ~OddsRecordingWindow() override;

    // Starts the recording; false while one runs.
    bool Start();
    void Stop();
    bool Running() const { return m_job->Running(); }
    const OddsRecordingReport& Report() const { return m_report; }
    // The status lines as shown (UTF-16), for tests.
    QString StatusText() const;

signals:
    void Finished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Show(const RecordingStatus& status);
    void OnEnded();

    const DaySession& m_session;
    std::unique_ptr<JvLink> m_link;
    std::vector<RecordedRace> m_races;
    std::string m_dayDigits;
    std::unique_ptr<RecordingClock> m_ownClock;
    RecordingClock* m_clock;
    Job* m_job;
    OddsRecordingReport m_report;
    QSpinBox* m_every;
    QPushButton* m_start;
    QPushButton* m_stop;
    QProgressBar* m_bar;
    QLabel* m_raceCount;
    QLabel* m_snapshots;
    QLabel* m_next;
    QLabel* m_message;
};

} // namespace vornal::ui
