#include "ui/Job.h"

#include <algorithm>
#include <iterator>

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

void Job::Post(std::function<void()> call)
{
    if (QThread::currentThread() == thread()) {
        call();
        return;
    }
    bool queue = false;
    {
        const std::lock_guard lock(m_postsMutex);
        m_posts.push_back(std::move(call));
        queue = !m_flushQueued;
        m_flushQueued = true;
    }
    if (queue) {
        QMetaObject::invokeMethod(this, &Job::RunPosts, Qt::QueuedConnection);
    }
}

void Job::PostAndWait(std::function<void()> call)
{
    if (QThread::currentThread() == thread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, call = std::move(call)] {
            RunAllPosts();
            call();
        },
        Qt::BlockingQueuedConnection);
}

void Job::RunPosts()
{
    constexpr std::size_t kCallsPerFlush = 200;
    std::vector<std::function<void()>> calls;
    bool more = false;
    {
        const std::lock_guard lock(m_postsMutex);
        const std::size_t count = std::min(kCallsPerFlush, m_posts.size());
        calls.assign(std::make_move_iterator(m_posts.begin()),
                     std::make_move_iterator(m_posts.begin() + static_cast<std::ptrdiff_t>(count)));
        m_posts.erase(m_posts.begin(), m_posts.begin() + static_cast<std::ptrdiff_t>(count));
        more = !m_posts.empty();
        m_flushQueued = more;
    }
    for (const std::function<void()>& call : calls) {
        call();
    }
    emit PostsRan();
    if (more) {
        QMetaObject::invokeMethod(this, &Job::RunPosts, Qt::QueuedConnection);
    }
}

void Job::RunAllPosts()
{
    bool more = true;
    while (more) {
        RunPosts();
        const std::lock_guard lock(m_postsMutex);
        more = !m_posts.empty();
    }
}

void Job::Ended()
{
    m_thread->wait();
    m_thread->deleteLater();
    m_thread = nullptr;
    RunAllPosts();
    const std::function<void()> done = std::move(m_done);
    m_done = nullptr;
    if (done) {
        done();
    }
    emit Finished();
}

} // namespace vornal::ui
