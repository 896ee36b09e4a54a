#pragma once

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
    // Starts loading `dayName` (CP932); false while a load runs.
    bool Start(const std::string& dayName);

signals:
    // On the user-interface thread, after the prepared day was adopted (or refused).
    void Finished(const vornal::LoadResult& result);

private:
    void Adopt();

    DaySession& m_session;
    QueuedProgress* m_progress;
    QThread* m_thread = nullptr;
    // Written by the worker, read by the user-interface thread only after the worker ended.
    std::shared_ptr<PreparedDay> m_prepared;
};

} // namespace vornal::ui
