#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include <QObject>

#include "app/Progress.h"

class QThread;

// One long operation of a window (a day load, a rerun, an acquisition, quick odds, results
// retrieval, the time-series import, a season report) in one shape: `work` runs on a worker
// thread with the job's cancel flag, `done` runs on the window's thread once the worker has
// ended, then Finished. Cancel only sets the flag (atomic); the work stops at its next check
// and `done` still runs. Progress crosses through a coalescing Progress of the window (the
// waiting window's QueuedProgress) or through Post, never as a copy of the data being built.
// One job at a time.
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
    // The job's cancel flag, for a core object that keeps its flag across runs (the
    // acquisition): Cancel sets it, Start clears it.
    CancelFlag& Flag() { return m_cancel; }

    // Runs `call` on the job's thread: at once when called there, else queued in the order
    // posted. However fast the worker posts, at most one flush waits in the event queue, and
    // each runs a bounded share, so a long backlog never stalls the window. Everything posted
    // runs before `done`.
    void Post(std::function<void()> call);
    // As Post, the worker waiting until `call` ran (a message the user must answer first);
    // what was posted before runs first.
    void PostAndWait(std::function<void()> call);

signals:
    // On the window's thread, after `done`.
    void Finished();
    // On the window's thread, after each share of posted calls ran.
    void PostsRan();

private:
    void Ended();
    void RunPosts();
    void RunAllPosts();

    QThread* m_thread = nullptr;
    CancelFlag m_cancel;
    std::function<void()> m_done;
    std::mutex m_postsMutex;
    std::vector<std::function<void()>> m_posts;
    bool m_flushQueued = false;
};

} // namespace vornal::ui
