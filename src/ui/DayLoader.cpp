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

bool DayLoader::Start(const std::string& dayName)
{
    if (m_thread) {
        return false;
    }
    auto prepared = std::make_shared<PreparedDay>();
    m_prepared = prepared;
    const DaySession* session = &m_session;
    Progress* progress = m_progress;
    m_thread = QThread::create([session, progress, prepared, dayName] {
        *prepared = session->PrepareDay(dayName, progress);
    });
    connect(m_thread, &QThread::finished, this, &DayLoader::Adopt, Qt::QueuedConnection);
    m_thread->start();
    return true;
}

void DayLoader::Adopt()
{
    m_thread->wait();
    m_thread->deleteLater();
    m_thread = nullptr;
    std::shared_ptr<PreparedDay> prepared = std::move(m_prepared);
    if (!prepared->result.Ok()) {
        // A failed load leaves the day on screen whole: a half-loaded day with the previous
        // date's races mixed in is worse on a Saturday morning than the old day and a message.
        emit Finished(prepared->result);
        return;
    }
    const LoadResult result = m_session.AdoptDay(std::move(*prepared));
    emit Finished(result);
}

} // namespace vornal::ui
