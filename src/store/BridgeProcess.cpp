#include "store/BridgeProcess.h"

#include <cerrno>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vornal {
namespace {

void CloseFd(int& fd)
{
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

} // namespace

BridgeProcess::~BridgeProcess()
{
    End(std::chrono::milliseconds(0));
}

std::string BridgeProcess::Start(const std::vector<std::string>& command)
{
    End();
    if (command.empty() || command.front().empty()) {
        return "no bridge command";
    }
    int toChild[2];
    int fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0) {
        return std::string("pipe: ") + std::strerror(errno);
    }
    if (::pipe2(fromChild, O_CLOEXEC) != 0) {
        const int error = errno;
        ::close(toChild[0]);
        ::close(toChild[1]);
        return std::string("pipe: ") + std::strerror(error);
    }
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    // dup2 clears close-on-exec on the child's copies; every other descriptor of ours
    // (O_CLOEXEC) stays out of the child.
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    // Its own process group; default signal handling, whatever ours is.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    for (const std::string& arg : command) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    if (spawned != 0) {
        ::close(toChild[1]);
        ::close(fromChild[0]);
        return "cannot start " + command.front() + ": " + std::strerror(spawned);
    }
    m_pid = pid;
    m_toChild = toChild[1];
    m_fromChild = fromChild[0];
    return {};
}

bool BridgeProcess::Write(std::string_view bytes)
{
    if (m_toChild < 0) {
        return false;
    }
    // A child that has gone raises SIGPIPE on this thread: hold it back, and take it out of
    // the pending set so that it is never delivered later.
    sigset_t pipeSignal;
    sigset_t previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    bool ok = true;
    while (!bytes.empty()) {
        const ssize_t n = ::write(m_toChild, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ok = false;
            if (errno == EPIPE) {
                const timespec noWait{};
                while (sigtimedwait(&pipeSignal, nullptr, &noWait) == SIGPIPE) {
                }
            }
            break;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return ok;
}

BridgeProcess::ReadResult BridgeProcess::Read(std::string& buffer, std::chrono::milliseconds wait)
{
    if (m_fromChild < 0) {
        return ReadResult::Closed;
    }
    pollfd entry{m_fromChild, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, static_cast<int>(wait.count()));
    } while (ready < 0 && errno == EINTR);
    if (ready == 0) {
        return ReadResult::Timeout;
    }
    char chunk[65536];
    ssize_t n = 0;
    do {
        n = ::read(m_fromChild, chunk, sizeof chunk);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
        return ReadResult::Closed;
    }
    buffer.append(chunk, static_cast<std::size_t>(n));
    return ReadResult::Data;
}

void BridgeProcess::End(std::chrono::milliseconds grace)
{
    CloseFd(m_toChild);
    CloseFd(m_fromChild);
    if (m_pid <= 0) {
        return;
    }
    // Closed input is the protocol's normal end; a bridge that ignores it is killed.
    int status = 0;
    const auto until = std::chrono::steady_clock::now() + grace;
    pid_t reaped = ::waitpid(m_pid, &status, WNOHANG);
    while (reaped == 0 && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        reaped = ::waitpid(m_pid, &status, WNOHANG);
    }
    // The whole group: a bridge started through a wrapper leaves no grandchild behind.
    ::kill(-m_pid, SIGKILL);
    if (reaped == 0) {
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    m_pid = -1;
}

} // namespace vornal
