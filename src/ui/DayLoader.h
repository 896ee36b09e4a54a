#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QObject>

#include "session/DaySession.h"

class QThread;

// Loads a date off the user-interface thread. The worker runs DaySession::PrepareDay, which
// fills a fresh RaceDay and only reads the day shown; when it ends, the user-interface
// thread adopts the prepared day. Between Start and Finished the caller keeps every command
// that changes the session (another load, the pipeline rerun) blocked.
namespace vornal::ui {

class QueuedProgress;

class DayLoader : public QObject
{
    Q_OBJECT
public:
    DayLoader(DaySession& session, QueuedProgress* progress, QObject* parent = nullptr);
    ~DayLoader() override;

    bool Busy() const { return m_thread != nullptr; }
    // Starts loading `dayName` (CP932); false while a load runs. `before`, when given, runs
    // first on the worker (results retrieval stores the day's fresh records there).
    bool Start(const std::string& dayName, std::function<void()> before = {});
    // Runs `work` on the worker, then `done` on the user-interface thread; false while a job
    // runs. `work` may read the session (never change it); `done` may change it.
    bool Run(std::function<void()> work, std::function<void()> done);

signals:
    // On the user-interface thread, after the prepared day was adopted (or refused).
    void Finished(const vornal::LoadResult& result);

private:
    void Ended();

    DaySession& m_session;
    QueuedProgress* m_progress;
    QThread* m_thread = nullptr;
    std::function<void()> m_done;
};

} // namespace vornal::ui
