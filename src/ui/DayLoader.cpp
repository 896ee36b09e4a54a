#include "ui/DayLoader.h"

#include "ui/WaitWindow.h"

namespace vornal::ui {

DayLoader::DayLoader(DaySession& session, QueuedProgress* progress, QObject* parent)
    : QObject(parent), m_session(session), m_progress(progress), m_job(new Job(this))
{
}

// Closing the window during a load cancels it and waits for the worker (the Job's
// destructor): it holds the session.
DayLoader::~DayLoader() = default;

bool DayLoader::Start(const std::string& dayName, Job::Work before)
{
    // Written by the worker, read by the user-interface thread only after the worker ended.
    auto prepared = std::make_shared<PreparedDay>();
    const DaySession* session = &m_session;
    Progress* progress = m_progress;
    return Run(
        [session, progress, prepared, dayName, before = std::move(before)](const CancelFlag& cancel) {
            if (before) {
                before(cancel);
            }
            *prepared = session->PrepareDay(dayName, progress, &cancel);
        },
        [this, prepared] {
            // Failed or not, as the command line adopts it: the session decides what is shown.
            const LoadResult result = m_session.AdoptDay(std::move(*prepared));
            emit Finished(result);
        });
}

bool DayLoader::Run(Job::Work work, std::function<void()> done)
{
    return m_job->Start(std::move(work), std::move(done));
}

} // namespace vornal::ui
