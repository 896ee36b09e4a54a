#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

// The bridge program as a child process: started without a shell from its command line,
// standard input and output on pipes (standard error is inherited, for its logs), in a
// process group of its own so that ending it ends whatever it started. Writes never raise
// SIGPIPE; reads wait with a time limit.
namespace vornal {

class BridgeProcess
{
public:
    BridgeProcess() = default;
    BridgeProcess(const BridgeProcess&) = delete;
    BridgeProcess& operator=(const BridgeProcess&) = delete;
    // Ends the child if it still runs.
    ~BridgeProcess();

    // Starts `command` (program, then its arguments; the program is looked up in PATH when
    // it has no slash). Empty on success, else why it could not start.
    std::string Start(const std::vector<std::string>& command);
    bool Running() const { return m_pid > 0; }
    // The child's process id, -1 when none runs.
    pid_t Id() const { return m_pid; }

    // All of `bytes` to the child's input; false when the child no longer reads.
    bool Write(std::string_view bytes);

    enum class ReadResult { Data, Timeout, Closed };
    // Appends what the child has written to `buffer`, waiting at most `wait` for the first
    // byte. Closed: the child closed its output (it ended or is ending).
    ReadResult Read(std::string& buffer, std::chrono::milliseconds wait);

    // Closes the child's input, gives it `grace` to exit, then kills its process group, and
    // reaps it. Afterwards nothing of the child runs.
    void End(std::chrono::milliseconds grace = std::chrono::milliseconds(200));

private:
    pid_t m_pid = -1;
    int m_toChild = -1;
    int m_fromChild = -1;
};

} // namespace vornal
