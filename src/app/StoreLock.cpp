#include "app/StoreLock.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "app/AtomicFile.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

int OpenLockFile(const std::filesystem::path& appDir)
{
    int fd = -1;
    do {
        // Never through a link: a link planted in its place would have the lock file made,
        // or an outside file opened for writing, wherever it points.
        fd = ::open((appDir / kStoreLockFileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

Status CannotOpen(const std::filesystem::path& appDir)
{
    return Status::Failure(PathText(appDir / kStoreLockFileName) + Sjis(" を開けません。"));
}

// flock, retried when a signal interrupts it.
int Flock(int fd, int operation)
{
    int result = -1;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

} // namespace

StoreLock::StoreLock(StoreLock&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

StoreLock& StoreLock::operator=(StoreLock&& other) noexcept
{
    if (this != &other) {
        Release();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

StoreLock::~StoreLock()
{
    Release();
}

void StoreLock::Release()
{
    if (m_fd >= 0) {
        // Closing the only descriptor of the open file releases the lock.
        ::close(m_fd);
        m_fd = -1;
    }
}

const std::string& StoreBusyMessage()
{
    return Sjis("別の処理がこのフォルダのデータを書き込み中です。");
}

Result<StoreLock> TryLockStore(const std::filesystem::path& appDir)
{
    StoreLock lock;
    lock.m_fd = OpenLockFile(appDir);
    if (lock.m_fd < 0) {
        return Result<StoreLock>::Failure(CannotOpen(appDir).message);
    }
    if (Flock(lock.m_fd, LOCK_EX | LOCK_NB) != 0) {
        return Result<StoreLock>::Failure(errno == EWOULDBLOCK
                                              ? StoreBusyMessage()
                                              : PathText(appDir / kStoreLockFileName) + Sjis(" をロックできません。"));
    }
    return Result<StoreLock>::Success(std::move(lock));
}

Result<StoreLock> LockStore(const std::filesystem::path& appDir, const std::function<void(const std::string&)>& waiting)
{
    StoreLock lock;
    lock.m_fd = OpenLockFile(appDir);
    if (lock.m_fd < 0) {
        return Result<StoreLock>::Failure(CannotOpen(appDir).message);
    }
    if (Flock(lock.m_fd, LOCK_EX | LOCK_NB) == 0) {
        return Result<StoreLock>::Success(std::move(lock));
    }
    if (errno == EWOULDBLOCK) {
        if (waiting) {
            waiting(StoreBusyMessage());
        }
        if (Flock(lock.m_fd, LOCK_EX) == 0) {
            return Result<StoreLock>::Success(std::move(lock));
        }
    }
    return Result<StoreLock>::Failure(PathText(appDir / kStoreLockFileName) + Sjis(" をロックできません。"));
}

} // namespace vornal
