#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QObject>

#include "session/DaySession.h"
#include "ui/Job.h"

// Loads a date off the user-interface thread, as the window's one Job. The worker runs
// DaySession::PrepareDay, which fills a fresh RaceDay and only reads the day shown; when it
// ends, the user-interface thread adopts the prepared day. Between Start and Finished the
// caller keeps every command that changes the session (another load, the pipeline rerun)
// blocked. Cancel stops a load between races and passes; the day shown then stays. A load
// that failed is adopted too: the session shows the date empty (LoadReplacesDay).
namespace vornal::ui {

class QueuedProgress;

class DayLoader : public QObject
{
    Q_OBJECT
public:
    DayLoader(DaySession& session, QueuedProgress* progress, QObject* parent = nullptr);
    ~DayLoader() override;

    bool Busy() const { return m_job->Running(); }
    // Starts loading `dayName` (CP932); false while a load runs. `before`, when given, runs
    // first on the worker with the job's cancel flag (results retrieval stores the day's
    // fresh records there).
    bool Start(const std::string& dayName, Job::Work before = {});
    // Runs `work` on the worker, then `done` on the user-interface thread; false while a job
    // runs. `work` may read the session (never change it); `done` may change it.
    bool Run(Job::Work work, std::function<void()> done);
    // Asks the running job to stop (the user's cancel, or closing while busy).
    void Cancel() { m_job->Cancel(); }
    // The job behind every run (its Finished follows each `done`).
    Job* CurrentJob() const { return m_job; }

signals:
    // On the user-interface thread, after the prepared day was adopted (or refused).
    void Finished(const vornal::LoadResult& result);

private:
    DaySession& m_session;
    QueuedProgress* m_progress;
    Job* m_job;
};

} // namespace vornal::ui
