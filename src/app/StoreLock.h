#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "app/Status.h"

// One writer at a time per application folder. Two acquisitions into one folder once merged
// their runs line by line and lost history lines, and the settings' last acquisition time
// moved past what neither had stored. Every command that writes the store (acquisition,
// results retrieval, odds retrieval) and the window's writers hold this lock for the whole
// of their run: an advisory lock (flock) on "vornal.lock" in the application folder.
//
// The lock belongs to the open file, so it is released when the holder ends however it ends
// (a kill included) and never needs cleaning up; the file itself stays and is never deleted,
// since deleting it would let two writers lock two different files. Readers (loading a day)
// take no lock: every store file is replaced whole by its writer.
namespace vornal {

inline constexpr const char* kStoreLockFileName = "vornal.lock";

class StoreLock
{
public:
    StoreLock() = default;
    StoreLock(StoreLock&& other) noexcept;
    StoreLock& operator=(StoreLock&& other) noexcept;
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    ~StoreLock();

    bool Held() const { return m_fd >= 0; }
    // Gives the lock up before the end of the holder's scope.
    void Release();

private:
    friend Result<StoreLock> TryLockStore(const std::filesystem::path& appDir);
    friend Result<StoreLock> LockStore(const std::filesystem::path& appDir,
                                       const std::function<void(const std::string&)>& waiting);
    int m_fd = -1;
};

// "別の処理がこのフォルダのデータを書き込み中です。": the text of a refusal and of a wait.
const std::string& StoreBusyMessage();

// Takes the lock if no other writer holds it; otherwise fails with StoreBusyMessage() (and
// with the file's name when the lock file cannot be opened). The folder must exist.
Result<StoreLock> TryLockStore(const std::filesystem::path& appDir);

// Takes the lock, waiting for the other writer to finish: `waiting` is called once with
// StoreBusyMessage() before the wait, so the face can say why nothing happens.
Result<StoreLock> LockStore(const std::filesystem::path& appDir,
                            const std::function<void(const std::string&)>& waiting);

} // namespace vornal
