#include "ui/DayLoader.h"

#include <QThread>

#include "ui/WaitWindow.h"

namespace vornal::ui {

DayLoader::DayLoader(DaySession& session, QueuedProgress* progress, QObject* parent)
    : QObject(parent), m_session(session), m_progress(progress)
{
}

DayLoader::~DayLoader()
{
    // Closing the window during a load waits for the worker: it holds the session.
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

bool DayLoader::Start(const std::string& dayName, std::function<void()> before)
{
    // Written by the worker, read by the user-interface thread only after the worker ended.
    auto prepared = std::make_shared<PreparedDay>();
    const DaySession* session = &m_session;
    Progress* progress = m_progress;
    return Run(
        [session, progress, prepared, dayName, before = std::move(before)] {
            if (before) {
                before();
            }
            *prepared = session->PrepareDay(dayName, progress);
        },
        [this, prepared] {
            if (!prepared->result.Ok()) {
                // A failed load leaves the day on screen whole: a half-loaded day with the
                // previous date's races mixed in is worse on a Saturday morning than the old
                // day and a message.
                emit Finished(prepared->result);
                return;
            }
            const LoadResult result = m_session.AdoptDay(std::move(*prepared));
            emit Finished(result);
        });
}

bool DayLoader::Run(std::function<void()> work, std::function<void()> done)
{
    if (m_thread) {
        return false;
    }
    m_done = std::move(done);
    m_thread = QThread::create(std::move(work));
    connect(m_thread, &QThread::finished, this, &DayLoader::Ended, Qt::QueuedConnection);
    m_thread->start();
    return true;
}

void DayLoader::Ended()
{
    m_thread->wait();
    m_thread->deleteLater();
    m_thread = nullptr;
    const std::function<void()> done = std::move(m_done);
    m_done = nullptr;
    if (done) {
        done();
    }
}

} // namespace vornal::ui
