// The session's writers of the application folder and its swap of the day shown: every write
// runs under the store's one-writer lock taken here, so no face has to remember it.
#include "session/DaySession.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/ErrorLog.h"
#include "store/FileNameMigration.h"

namespace vornal {

void DaySession::SetStoreWait(StoreWait wait, std::function<void(const std::string&)> waiting)
{
    m_storeWait = wait;
    m_storeWaiting = std::move(waiting);
}

Result<StoreLock> DaySession::LockForWriting(std::string_view what, const CancelFlag* cancel, bool mayWait) const
{
    Result<StoreLock> lock = TryLockStore(m_appDir);
    if (!lock && lock.message() == StoreBusyMessage() && mayWait && m_storeWait == StoreWait::Wait) {
        if (m_storeWaiting) {
            m_storeWaiting(StoreBusyMessage());
        }
        // Polled rather than blocked in flock, so a cancel reaches a wait for a long acquisition.
        while (!lock && lock.message() == StoreBusyMessage() && (cancel == nullptr || !cancel->IsSet())) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            lock = TryLockStore(m_appDir);
        }
    }
    if (lock && m_writeObserver) {
        m_writeObserver(what);
    }
    return lock;
}

Result<AcquisitionOutcome> DaySession::Acquire(Acquisition& acquisition)
{
    // One writer at a time: a second run into the folder would interleave with this one and
    // lose history lines.
    Result<StoreLock> lock = LockForWriting("acquire");
    if (!lock) {
        return Result<AcquisitionOutcome>::Failure(lock.message());
    }
    acquisition.Start();
    // The status timer: poll every 10 ms until the download is over.
    while (acquisition.State() == AcquisitionState::Downloading) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (acquisition.CancelRequested()) {
            acquisition.Cancel();
            break;
        }
        acquisition.PollStatus();
    }
    return Result<AcquisitionOutcome>::Success(acquisition.Outcome());
}

std::vector<std::string> DaySession::MigrateFileNames()
{
    std::error_code ec;
    if (!std::filesystem::is_directory(m_appDir, ec)) {
        return {};
    }
    // The renames never wait: while another writer holds the store they wait for a later start.
    Result<StoreLock> lock = LockForWriting("rename", nullptr, false);
    if (!lock) {
        return {};
    }
    std::vector<std::string> messages = MigrateStoreFileNames(m_appDir).messages;
    for (const std::string& line : messages) {
        // A log that cannot be written loses only the log line; the face still shows it.
        (void)AppendErrorLine(m_appDir, line);
    }
    return messages;
}

UserSetResult DaySession::SaveUserSet(UserSetFile& sets, const UserRuleSet& set, const UserSetQuestion& confirmOverwrite)
{
    Result<StoreLock> lock = LockForWriting("userset");
    if (!lock) {
        return {UserSetOutcome::Failed, lock.message(), -1};
    }
    // Read again under the lock: a set saved by another writer since `sets` was read stays.
    sets = LoadUserSetFile(sets.file);
    return vornal::SaveUserSet(sets, set, confirmOverwrite);
}

UserSetResult DaySession::DeleteUserSet(UserSetFile& sets, int line, const UserSetQuestion& confirmDelete)
{
    Result<StoreLock> lock = LockForWriting("userset");
    if (!lock) {
        return {UserSetOutcome::Failed, lock.message(), -1};
    }
    const bool known = line >= 0 && static_cast<std::size_t>(line) < sets.lines.size();
    const std::string text = known ? sets.lines[static_cast<std::size_t>(line)] : std::string();
    sets = LoadUserSetFile(sets.file);
    // The line may have moved while another writer changed the file: found again by its text.
    int fresh = -1;
    if (known) {
        if (static_cast<std::size_t>(line) < sets.lines.size() && sets.lines[static_cast<std::size_t>(line)] == text) {
            fresh = line;
        } else if (auto it = std::find(sets.lines.begin(), sets.lines.end(), text); it != sets.lines.end()) {
            fresh = static_cast<int>(it - sets.lines.begin());
        }
    }
    return vornal::DeleteUserSet(sets, fresh, confirmDelete);
}

int DaySession::OnDayReplaced(std::function<void(const RaceDay& day)> listener)
{
    const int handle = m_nextListener++;
    m_dayListeners.emplace_back(handle, std::move(listener));
    return handle;
}

void DaySession::ForgetDayReplaced(int handle)
{
    std::erase_if(m_dayListeners, [handle](const auto& entry) { return entry.first == handle; });
}

void DaySession::ReplaceDay(std::unique_ptr<RaceDay> day)
{
    // The old day is freed here, before anyone is told: a holder that missed the news would
    // read freed memory at once under the sanitizers rather than a stale day by luck.
    m_day = std::move(day);
    const auto listeners = m_dayListeners; // a listener may forget itself
    for (const auto& [handle, listener] : listeners) {
        listener(*m_day);
    }
}

} // namespace vornal
