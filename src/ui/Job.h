#pragma once

#include <functional>

#include <QObject>

#include "app/Progress.h"

class QThread;

// One long operation of a window (a day load, a rerun, an acquisition, quick odds, results
// retrieval, the time-series import, a season report) in one shape: `work` runs on a worker
// thread with the job's cancel flag, `done` runs on the window's thread once the worker has
// ended, then Finished. Cancel only sets the flag (atomic); the work stops at its next check
// and `done` still runs. Progress crosses through a coalescing Progress of the window (the
// waiting window's QueuedProgress), never as a copy of the data being built. One job at a time.
namespace vornal::ui {

class Job : public QObject
{
    Q_OBJECT
public:
    using Work = std::function<void(const CancelFlag& cancel)>;

    explicit Job(QObject* parent = nullptr);
    // A job still running is cancelled and its worker waited for (events other than the
    // user's keep running meanwhile); its `done` does not run.
    ~Job() override;

    bool Running() const { return m_thread != nullptr; }
    // Starts `work`; false, starting nothing, while a job runs.
    bool Start(Work work, std::function<void()> done = {});
    // Asks the running job to stop; nothing when none runs.
    void Cancel();
    bool CancelRequested() const { return m_cancel.IsSet(); }

signals:
    // On the window's thread, after `done`.
    void Finished();

private:
    void Ended();

    QThread* m_thread = nullptr;
    CancelFlag m_cancel;
    std::function<void()> m_done;
};

} // namespace vornal::ui
