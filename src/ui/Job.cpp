#include "ui/Job.h"

#include <QCoreApplication>
#include <QThread>

namespace vornal::ui {

Job::Job(QObject* parent) : QObject(parent) {}

Job::~Job()
{
    if (m_thread) {
        // Its `done` belongs to a window going away: it must not run.
        disconnect(m_thread, nullptr, this, nullptr);
        m_done = nullptr;
        m_cancel.Set();
        // The work may wait for this thread (a message the user must answer first): events
        // other than the user's keep running until it has stopped.
        while (!m_thread->wait(10)) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
        delete m_thread;
    }
}

bool Job::Start(Work work, std::function<void()> done)
{
    if (m_thread) {
        return false;
    }
    m_cancel.Clear();
    m_done = std::move(done);
    m_thread = QThread::create([this, work = std::move(work)] { work(m_cancel); });
    // Queued: `done` runs on this object's thread whichever thread the worker ended on.
    connect(m_thread, &QThread::finished, this, &Job::Ended, Qt::QueuedConnection);
    m_thread->start();
    return true;
}

void Job::Cancel()
{
    if (m_thread) {
        m_cancel.Set();
    }
}

void Job::Ended()
{
    m_thread->wait();
    m_thread->deleteLater();
    m_thread = nullptr;
    const std::function<void()> done = std::move(m_done);
    m_done = nullptr;
    if (done) {
        done();
    }
    emit Finished();
}

} // namespace vornal::ui
