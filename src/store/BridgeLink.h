#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/Progress.h"
#include "bridge/BridgeProtocol.h"
#include "store/BridgeProcess.h"
#include "store/JvLink.h"

// The component reached through a bridge program (docs/bridge-protocol.md): BridgeLink
// starts the configured command line as a child process at the first call and relays each
// call over its pipes.
//
// The real component hangs on its own dialogs and downloads, so every call has a deadline.
// A bridge that does not answer in time, exits, or answers something that is not the
// protocol fails the call: the call returns the component's code that fits (JVRead and
// JVStatus -502, the download failure; the others -401, the component's internal error),
// LastFailure() says what happened, naming the call, and the child is ended and reaped.
// The next call starts a fresh bridge (repeating the last successful JVInit). An Error
// answer of the bridge fails the call the same way but keeps the bridge.
namespace vornal {

// The command-line rule of the settings file and of --bridge: words are separated by blanks;
// "..." groups a word with blanks in it, where \" stands for a quote and \\ for a
// backslash; every other backslash is an ordinary character (Windows paths). Nothing when a
// quote is left open or there is no word.
std::optional<std::vector<std::string>> SplitCommandLine(std::string_view line);

struct BridgeDeadlines
{
    std::chrono::milliseconds start{std::chrono::seconds(60)}; // the bridge's greeting
    std::chrono::milliseconds call{std::chrono::seconds(60)};
    // JVOpen and JVSetUIProperties: downloads and the component's own dialog.
    std::chrono::milliseconds longCall{std::chrono::minutes(30)};
    // After a cancel, how long a waiting call may still take before the bridge is ended.
    std::chrono::milliseconds afterCancel{std::chrono::seconds(5)};
};

class BridgeLink : public JvLink
{
public:
    explicit BridgeLink(std::vector<std::string> command, BridgeDeadlines deadlines = {});
    // The deadlines of the calls from now on (on the thread that makes the calls).
    void SetDeadlines(BridgeDeadlines deadlines) { m_deadlines = deadlines; }
    ~BridgeLink() override;

    // Tested about ten times a second while a call waits: when it becomes set, the bridge
    // gets JVCancel at once and the waiting call `afterCancel` to answer.
    void SetCancelFlag(const CancelFlag* cancel) { m_cancelFlag = cancel; }
    const CancelFlag* CancelFlagInUse() const { return m_cancelFlag; }
    // Called about once a second while a call waits, with a CP932 line such as
    // "JVOpen: waiting for the bridge (12 s)".
    void SetWaitProgress(std::function<void(const std::string&)> progress) { m_waitProgress = std::move(progress); }
    const std::function<void(const std::string&)>& WaitProgress() const { return m_waitProgress; }

    const std::vector<std::string>& Command() const { return m_command; }
    // What went wrong with the last call that failed outside the component's codes (CP932),
    // naming the call; empty once a call succeeds.
    const std::string& LastFailure() const { return m_failure; }
    // The backend the bridge named in its greeting; empty before the first call.
    const std::string& BackendName() const { return m_backendName; }
    // The bridge's process id while one runs, else -1.
    pid_t BridgeProcessId() const { return m_process.Id(); }

    int JVInit(std::string_view softwareId) override;
    std::string Version() const override;
    int JVSetUIProperties() override;
    JvOpenResult JVOpen(std::string_view dataSpec, std::string_view fromTime, int option) override;
    int JVStatus() override;
    int JVRead(std::string& record, int bufferSize, std::string& fileName) override;
    int JVSkip() override;
    int JVRTOpen(std::string_view dataSpec, std::string_view key) override;
    // From the calling thread a call like the others; from another thread while a call
    // waits, the cancel goes to the bridge at once.
    void JVCancel() override;
    int JVClose() override;

private:
    // Sends `request` and waits for its answer; nothing after a failure (recorded).
    std::optional<bridge::Answer> Call(const bridge::Request& request, std::chrono::milliseconds deadline);
    std::optional<bridge::Answer> Exchange(const bridge::Request& request, std::chrono::milliseconds deadline);
    bool EnsureStarted(const char* call);
    // Waits for the next whole frame; false (recorded) on a timeout, an exit or garbage.
    bool NextFrame(const char* call, std::chrono::milliseconds deadline, std::string& body);
    void SendCancelNow();
    void Fail(const char* call, const std::string& what, bool endBridge);
    int CodeCall(bridge::Op op, std::chrono::milliseconds deadline, int failureCode);

    std::vector<std::string> m_command;
    BridgeDeadlines m_deadlines;
    const CancelFlag* m_cancelFlag = nullptr;
    std::function<void(const std::string&)> m_waitProgress;

    std::mutex m_callMutex; // one call at a time; JVCancel from another thread skips it
    std::mutex m_writeMutex;
    std::atomic<bool> m_cancelAsked{false};
    BridgeProcess m_process;
    std::string m_input; // bytes read from the bridge, not yet a whole frame
    int m_cancelAnswersOwed = 0;
    bool m_cancelSentThisCall = false;
    bool m_flagSetBefore = false; // the cancel flag was already set when the call began
    std::optional<std::string> m_softwareId; // of the last successful JVInit
    std::string m_backendName;
    mutable std::string m_version;
    std::string m_failure;
};

// Lends a job's cancel flag to `link` while a scope runs, when the link is a bridge, so that
// the job's cancel reaches a call that waits; what the link had before comes back at the end.
class LinkCancelScope
{
public:
    LinkCancelScope(JvLink& link, const CancelFlag& cancel) : m_bridge(dynamic_cast<BridgeLink*>(&link))
    {
        if (m_bridge != nullptr) {
            m_before = m_bridge->CancelFlagInUse();
            m_bridge->SetCancelFlag(&cancel);
        }
    }
    ~LinkCancelScope()
    {
        if (m_bridge != nullptr) {
            m_bridge->SetCancelFlag(m_before);
        }
    }
    LinkCancelScope(const LinkCancelScope&) = delete;
    LinkCancelScope& operator=(const LinkCancelScope&) = delete;

private:
    BridgeLink* m_bridge;
    const CancelFlag* m_before = nullptr;
};

} // namespace vornal
