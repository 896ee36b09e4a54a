#include "store/BridgeLink.h"

#include <algorithm>

#include "text/Encoding.h"

namespace vornal {
namespace {

using namespace std::chrono_literals;
using bridge::Answer;
using bridge::Op;
using bridge::Request;

// The component's codes a failed bridge call returns.
constexpr int kInternalError = -401;
constexpr int kDownloadFailed = -502;

constexpr auto kPollTick = 100ms;

std::string Seconds(std::chrono::milliseconds span)
{
    const long long tenths = span.count() / 100;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
}

// Text the bridge sends for people is UTF-8; the core's messages are CP932.
std::string FromBridgeText(const std::string& text)
{
    return IsValidUtf8(text) ? ToCp932(text) : std::string("(unreadable text)");
}

} // namespace

std::optional<std::vector<std::string>> SplitCommandLine(std::string_view line)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                word.push_back(line[++i]);
            } else if (c == '"') {
                quoted = false;
            } else {
                word.push_back(c);
            }
        } else if (c == ' ' || c == '\t') {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else {
            word.push_back(c);
            inWord = true;
        }
    }
    if (quoted) {
        return std::nullopt;
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    if (words.empty()) {
        return std::nullopt;
    }
    return words;
}

BridgeLink::BridgeLink(std::vector<std::string> command, BridgeDeadlines deadlines)
    : m_command(std::move(command)), m_deadlines(deadlines)
{
}

BridgeLink::~BridgeLink()
{
    // Closed input ends a bridge; the component releases itself there.
    m_process.End(std::chrono::milliseconds(500));
}

void BridgeLink::Fail(const char* call, const std::string& what, bool endBridge)
{
    m_failure = std::string(call) + ": " + what;
    if (endBridge) {
        m_failure += "; the bridge was ended";
        m_process.End();
        m_input.clear();
        m_cancelAnswersOwed = 0;
    }
}

bool BridgeLink::EnsureStarted(const char* call)
{
    if (m_process.Running()) {
        return true;
    }
    m_input.clear();
    m_cancelAnswersOwed = 0;
    if (const std::string error = m_process.Start(m_command); !error.empty()) {
        Fail(call, "the bridge did not start: " + error, false);
        return false;
    }
    std::string body;
    if (!NextFrame(call, m_deadlines.start, body)) {
        return false;
    }
    try {
        m_backendName = bridge::DecodeHello(body);
    } catch (const bridge::ProtocolError& error) {
        Fail(call, std::string("the bridge does not speak the protocol: ") + error.what(), true);
        return false;
    }
    // A fresh bridge after a failure: the component starts again where the link stood.
    if (m_softwareId) {
        const std::optional<Answer> init = Exchange(Request{Op::Init, *m_softwareId, "", 0}, m_deadlines.call);
        if (!init) {
            return false;
        }
        if (init->IsError() || init->code != 0) {
            Fail(call, "the restarted bridge refused JVInit", true);
            return false;
        }
    }
    return true;
}

bool BridgeLink::NextFrame(const char* call, std::chrono::milliseconds deadline, std::string& body)
{
    const auto start = std::chrono::steady_clock::now();
    auto limit = start + deadline;
    auto nextProgress = start + 1s;
    for (;;) {
        if (m_input.size() >= 4) {
            const auto* p = reinterpret_cast<const unsigned char*>(m_input.data());
            const std::uint32_t size = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
            if (size > bridge::kMaxFrameBytes) {
                Fail(call, "the bridge announced a frame of " + std::to_string(size) + " bytes (not the protocol)",
                     true);
                return false;
            }
            if (m_input.size() >= 4 + static_cast<std::size_t>(size)) {
                body.assign(m_input, 4, size);
                m_input.erase(0, 4 + static_cast<std::size_t>(size));
                return true;
            }
        }
        const auto now = std::chrono::steady_clock::now();
        // Only a cancel of this wait: a flag that stays set after an earlier cancel (the
        // acquisition clears it at its next start) must not cancel every later call.
        const bool cancelled =
            m_cancelAsked.exchange(false) || (m_cancelFlag && !m_flagSetBefore && m_cancelFlag->IsSet());
        if (cancelled && !m_cancelSentThisCall) {
            m_cancelSentThisCall = true;
            SendCancelNow();
            limit = std::min(limit, now + m_deadlines.afterCancel);
        }
        if (now >= limit) {
            Fail(call,
                 (m_cancelSentThisCall ? "cancelled, and the bridge did not answer within "
                                       : "the bridge did not answer within ") +
                     Seconds(std::chrono::duration_cast<std::chrono::milliseconds>(limit - start)),
                 true);
            return false;
        }
        if (m_waitProgress && now >= nextProgress) {
            nextProgress += 1s;
            const auto waited = std::chrono::duration_cast<std::chrono::seconds>(now - start).count();
            m_waitProgress(std::string(call) + ": waiting for the bridge (" + std::to_string(waited) + " s)");
        }
        const auto wait = std::min<std::chrono::milliseconds>(
            kPollTick, std::chrono::duration_cast<std::chrono::milliseconds>(limit - now) + 1ms);
        if (m_process.Read(m_input, wait) == BridgeProcess::ReadResult::Closed) {
            Fail(call, m_input.empty() ? "the bridge exited" : "the bridge exited inside a frame", true);
            return false;
        }
    }
}

void BridgeLink::SendCancelNow()
{
    const std::lock_guard lock(m_writeMutex);
    if (m_process.Write(bridge::Framed(bridge::EncodeRequest(Request{Op::Cancel, "", "", 0})))) {
        ++m_cancelAnswersOwed;
    }
}

std::optional<Answer> BridgeLink::Exchange(const Request& request, std::chrono::milliseconds deadline)
{
    const char* call = bridge::CallName(static_cast<std::uint8_t>(request.op));
    bool written = false;
    {
        const std::lock_guard lock(m_writeMutex);
        written = m_process.Write(bridge::Framed(bridge::EncodeRequest(request)));
    }
    if (!written) {
        Fail(call, "the bridge no longer reads its input", true);
        return std::nullopt;
    }
    const auto type = bridge::AnswerType(request.op);
    std::string body;
    for (;;) {
        if (!NextFrame(call, deadline, body)) {
            return std::nullopt;
        }
        Answer answer;
        try {
            answer = bridge::DecodeAnswer(body);
        } catch (const bridge::ProtocolError& error) {
            Fail(call, std::string("the bridge answered something that is not the protocol: ") + error.what(), true);
            return std::nullopt;
        }
        const auto cancelType = bridge::AnswerType(Op::Cancel);
        const bool ofCancel = answer.type == cancelType || (answer.IsError() && answer.errorOf == static_cast<std::uint8_t>(Op::Cancel));
        if (ofCancel && m_cancelAnswersOwed > 0) {
            --m_cancelAnswersOwed; // the answer of a cancel sent while a call waited
            continue;
        }
        if (answer.type == type) {
            return answer;
        }
        if (answer.IsError() && (answer.errorOf == static_cast<std::uint8_t>(request.op) || answer.errorOf == 0)) {
            Fail(call, "the bridge reported: " + FromBridgeText(answer.text), answer.errorOf == 0);
            return std::nullopt;
        }
        Fail(call, "the bridge answered type " + std::to_string(answer.type) + ", not the answer of the call", true);
        return std::nullopt;
    }
}

std::optional<Answer> BridgeLink::Call(const Request& request, std::chrono::milliseconds deadline)
{
    const std::lock_guard lock(m_callMutex);
    m_cancelSentThisCall = false;
    m_flagSetBefore = m_cancelFlag != nullptr && m_cancelFlag->IsSet();
    const char* call = bridge::CallName(static_cast<std::uint8_t>(request.op));
    if (!EnsureStarted(call)) {
        return std::nullopt;
    }
    std::optional<Answer> answer = Exchange(request, deadline);
    if (answer) {
        m_failure.clear();
    }
    return answer;
}

int BridgeLink::CodeCall(Op op, std::chrono::milliseconds deadline, int failureCode)
{
    const std::optional<Answer> answer = Call(Request{op, "", "", 0}, deadline);
    return answer ? answer->code : failureCode;
}

int BridgeLink::JVInit(std::string_view softwareId)
{
    const std::optional<Answer> answer = Call(Request{Op::Init, std::string(softwareId), "", 0}, m_deadlines.call);
    if (!answer) {
        return kInternalError;
    }
    if (answer->code == 0) {
        m_softwareId = std::string(softwareId);
        const std::optional<Answer> version = Call(Request{Op::Version, "", "", 0}, m_deadlines.call);
        m_version = version ? version->text : std::string();
    }
    return answer->code;
}

std::string BridgeLink::Version() const
{
    return m_version;
}

int BridgeLink::JVSetUIProperties()
{
    return CodeCall(Op::SetUIProperties, m_deadlines.longCall, kInternalError);
}

JvOpenResult BridgeLink::JVOpen(std::string_view dataSpec, std::string_view fromTime, int option)
{
    const std::optional<Answer> answer =
        Call(Request{Op::Open, std::string(dataSpec), std::string(fromTime), option}, m_deadlines.longCall);
    if (!answer) {
        return JvOpenResult{kInternalError, 0, 0, {}};
    }
    return JvOpenResult{answer->code, answer->readCount, answer->downloadCount, answer->text};
}

int BridgeLink::JVStatus()
{
    return CodeCall(Op::Status, m_deadlines.call, kDownloadFailed);
}

int BridgeLink::JVRead(std::string& record, int bufferSize, std::string& fileName)
{
    std::optional<Answer> answer = Call(Request{Op::Read, "", "", bufferSize}, m_deadlines.call);
    if (!answer) {
        return kDownloadFailed;
    }
    if (answer->code > 0) {
        record = std::move(answer->text);
        fileName = std::move(answer->fileName);
    }
    return answer->code;
}

int BridgeLink::JVSkip()
{
    return CodeCall(Op::Skip, m_deadlines.call, kInternalError);
}

int BridgeLink::JVRTOpen(std::string_view dataSpec, std::string_view key)
{
    const std::optional<Answer> answer =
        Call(Request{Op::RTOpen, std::string(dataSpec), std::string(key), 0}, m_deadlines.call);
    return answer ? answer->code : kInternalError;
}

void BridgeLink::JVCancel()
{
    std::unique_lock lock(m_callMutex, std::try_to_lock);
    if (!lock.owns_lock()) {
        // A call is waiting on another thread: its wait sends the cancel.
        m_cancelAsked = true;
        return;
    }
    lock.unlock();
    // Nothing runs, nothing to stop.
    if (!m_process.Running()) {
        return;
    }
    CodeCall(Op::Cancel, m_deadlines.call, kInternalError);
}

int BridgeLink::JVClose()
{
    if (!m_process.Running()) {
        return 0; // a bridge that was ended has nothing open
    }
    return CodeCall(Op::Close, m_deadlines.call, kInternalError);
}

} // namespace vornal
