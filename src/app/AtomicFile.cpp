#include "app/AtomicFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "text/Encoding.h"

namespace vornal {
namespace {

std::string ErrorText(const char* what, const std::filesystem::path& file, int error)
{
    return std::string(what) + " " + PathText(file) + ": " + std::strerror(error);
}

// A descriptor that closes itself; Close() reports the error of the final close, which on
// some file systems is where a failed write first shows.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }

    int Close()
    {
        int rc = ::close(m_fd);
        m_fd = -1;
        return rc == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

int WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// Creates a temporary file beside `file` under a name no other writer (thread or process)
// can pick at the same time.
int CreateTemporary(const std::filesystem::path& file, std::filesystem::path& tempPath, int& error)
{
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    const std::string stem = "." + file.filename().string() + ".tmp";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = folder / (stem + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1)));
        int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            return fd;
        }
        if (errno != EEXIST) {
            error = errno;
            return -1;
        }
    }
    error = EEXIST;
    return -1;
}

std::filesystem::path FolderOf(const std::filesystem::path& file)
{
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// After a rename the new directory entry is only durable once the folder itself is synced.
// A failure here does not undo the replacement, so it is not reported.
void SyncFolder(const std::filesystem::path& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

namespace {

// Writes `bytes` to a new temporary file beside `file`, flushed to the disk when `sync` is
// set. On failure nothing is left behind.
Status WriteTemporary(const std::filesystem::path& file, std::string_view bytes, bool sync,
                        std::filesystem::path& tempPath)
{
    if (file.empty() || !file.has_filename()) {
        return Status::Failure("cannot write " + PathText(file) + ": not a file name");
    }
    int error = 0;
    FileDescriptor fd(CreateTemporary(file, tempPath, error));
    if (!fd.IsOpen()) {
        return Status::Failure(ErrorText("cannot create a temporary file for", file, error));
    }
    auto fail = [&](const char* what, int cause) {
        ::unlink(tempPath.c_str());
        return Status::Failure(ErrorText(what, file, cause));
    };
    struct stat old
    {
    };
    if (::stat(file.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        ::fchmod(fd.Get(), old.st_mode & 07777);
    }
    if (int cause = WriteAll(fd.Get(), bytes)) {
        return fail("cannot write", cause);
    }
    if (sync && ::fsync(fd.Get()) != 0) {
        return fail("cannot flush", errno);
    }
    if (int cause = fd.Close()) {
        return fail("cannot write", cause);
    }
    return Status::Success();
}

// Flushes everything written to the file system holding `file` to the disk.
bool SyncFileSystemOf(const std::filesystem::path& file)
{
    FileDescriptor fd(::open(FolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.IsOpen() && ::syncfs(fd.Get()) == 0;
}

} // namespace

Status WriteFileAtomic(const std::filesystem::path& file, std::string_view bytes)
{
    std::filesystem::path tempPath;
    if (Status written = WriteTemporary(file, bytes, true, tempPath); !written) {
        return written;
    }
    if (::rename(tempPath.c_str(), file.c_str()) != 0) {
        const int cause = errno;
        ::unlink(tempPath.c_str());
        return Status::Failure(ErrorText("cannot replace", file, cause));
    }
    SyncFolder(FolderOf(file));
    return Status::Success();
}

AtomicFileSet::~AtomicFileSet()
{
    for (const PendingFile& file : m_pending) {
        ::unlink(file.temporary.c_str());
    }
}

Status AtomicFileSet::Add(const std::filesystem::path& file, std::string_view bytes)
{
    PendingFile pending{file, {}};
    if (Status written = WriteTemporary(file, bytes, false, pending.temporary); !written) {
        return written;
    }
    m_pending.push_back(std::move(pending));
    return Status::Success();
}

Status AtomicFileSet::Commit()
{
    Status first;
    // The new contents must be on the disk before any name points at them.
    if (!m_pending.empty() && !SyncFileSystemOf(m_pending.front().target)) {
        for (const PendingFile& file : m_pending) {
            FileDescriptor fd(::open(file.temporary.c_str(), O_WRONLY | O_CLOEXEC));
            if (!fd.IsOpen() || ::fsync(fd.Get()) != 0) {
                first = Status::Failure(ErrorText("cannot flush", file.target, errno));
            }
        }
        if (!first) {
            return first; // the destructor removes the temporary files
        }
    }
    std::vector<std::filesystem::path> folders;
    for (const PendingFile& file : m_pending) {
        if (::rename(file.temporary.c_str(), file.target.c_str()) != 0) {
            const int cause = errno;
            ::unlink(file.temporary.c_str());
            if (first) {
                first = Status::Failure(ErrorText("cannot replace", file.target, cause));
            }
            continue;
        }
        const std::filesystem::path folder = FolderOf(file.target);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
            folders.push_back(folder);
        }
    }
    m_pending.clear();
    for (const std::filesystem::path& folder : folders) {
        SyncFolder(folder);
    }
    return first;
}

namespace {

// The process id in a temporary file name ".<name>.tmp<pid>-<n>", or 0 for another name.
long TemporaryOwner(const std::string& name)
{
    if (name.size() < 2 || name[0] != '.') {
        return 0;
    }
    const std::size_t tmp = name.rfind(".tmp");
    const std::size_t dash = name.rfind('-');
    if (tmp == std::string::npos || dash == std::string::npos || dash < tmp + 5 || dash + 1 == name.size()) {
        return 0;
    }
    const std::string pid = name.substr(tmp + 4, dash - tmp - 4);
    const std::string counter = name.substr(dash + 1);
    if (pid.find_first_not_of("0123456789") != std::string::npos ||
        counter.find_first_not_of("0123456789") != std::string::npos || pid.size() > 9) {
        return 0;
    }
    return std::stol(pid);
}

bool ProcessIsRunning(long pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

} // namespace

std::size_t RemoveStaleTemporaries(const std::filesystem::path& folder, bool recursive)
{
    std::size_t removed = 0;
    std::error_code error;
    auto remove = [&removed](const std::filesystem::directory_entry& entry) {
        std::error_code ignored;
        if (!entry.is_regular_file(ignored)) {
            return;
        }
        const long owner = TemporaryOwner(entry.path().filename().string());
        if (owner > 0 && !ProcessIsRunning(owner) && std::filesystem::remove(entry.path(), ignored)) {
            ++removed;
        }
    };
    if (recursive) {
        for (std::filesystem::recursive_directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            remove(*it);
        }
    } else {
        for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            remove(*it);
        }
    }
    return removed;
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& file)
{
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.IsOpen()) {
        return std::nullopt;
    }
    std::string bytes;
    struct stat info
    {
    };
    if (::fstat(fd.Get(), &info) == 0 && info.st_size > 0) {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

BoundedRead ReadFileBytesUpTo(const std::filesystem::path& file, std::uintmax_t limit, FileBytes& bytes)
{
    bytes = {};
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.IsOpen()) {
        // Only what a look at the path can see counts as missing; a file that is there but
        // refuses to open is unreadable.
        struct stat info
        {
        };
        const bool seen = errno != ENOENT && errno != ENOTDIR && ::stat(file.c_str(), &info) == 0;
        return {seen ? BoundedRead::Outcome::Unreadable : BoundedRead::Outcome::Missing, 0};
    }
    struct stat info
    {
    };
    std::size_t expected = 0;
    if (::fstat(fd.Get(), &info) == 0 && S_ISREG(info.st_mode)) {
        const auto size = static_cast<std::uintmax_t>(info.st_size);
        if (size > limit) {
            return {BoundedRead::Outcome::TooLarge, size};
        }
        expected = static_cast<std::size_t>(size);
    }
    // One byte more than the size, so a file that grew since the status call is still read
    // to its end.
    std::size_t capacity = expected + 1;
    std::unique_ptr<char[]> data = std::make_unique_for_overwrite<char[]>(capacity);
    std::size_t filled = 0;
    for (;;) {
        if (filled == capacity) {
            const std::size_t larger = capacity + std::max<std::size_t>(capacity, 65536);
            std::unique_ptr<char[]> grown = std::make_unique_for_overwrite<char[]>(larger);
            std::memcpy(grown.get(), data.get(), filled);
            data = std::move(grown);
            capacity = larger;
        }
        const ssize_t n = ::read(fd.Get(), data.get() + filled, capacity - filled);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return {BoundedRead::Outcome::Unreadable, expected};
        }
        if (n == 0) {
            break;
        }
        filled += static_cast<std::size_t>(n);
    }
    bytes.data = std::move(data);
    bytes.size = filled;
    return {BoundedRead::Outcome::Read, filled};
}

std::string PathText(const std::filesystem::path& path)
{
    // The application folder comes from the user's (UTF-8) file system, while store file
    // names are CP932 bytes: convert each part by what it holds.
    std::string text;
    for (auto it = path.begin(); it != path.end(); ++it) {
        const std::string& part = it->native();
        if (!text.empty() && text.back() != '/') {
            text += '/';
        }
        text += IsValidUtf8(part) ? ToCp932(part) : part;
    }
    return text;
}

} // namespace vornal
