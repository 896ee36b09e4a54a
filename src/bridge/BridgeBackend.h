#pragma once

#include <stdexcept>
#include <string>

// What the bridge program (vornal-jvlink) drives on the far side of its pipe: the data
// service's component itself (the COM backend, on Windows or under Wine) or a replay feed
// folder (the replay backend, for tests and for machines without the component).
//
// Each call is one call of the component with its own integer result code, exactly as the
// component answers it: the protocol loop relays codes and never interprets them. Standard
// C++ only (no Qt, no fmt, no POSIX): the Windows bridge is cross-built from this code.
//
// The wire format the loop speaks is described in docs/bridge-protocol.md.
namespace vornal::bridge {

// JVOpen's answer with its three by-reference outputs.
struct OpenReply
{
    int code = 0;
    int readCount = 0;
    int downloadCount = 0;
    std::string lastFileTimestamp; // "yyyymmddhhnnss", 14 zeros or blank
};

// A call that failed outside the component's result codes: the component could not be
// created, a method is missing, a COM call failed (its HRESULT and EXCEPINFO text). The
// loop answers it with an error frame carrying `what()`; the client shows it, naming the call.
class BackendError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class Backend
{
public:
    virtual ~Backend() = default;

    // Named in the handshake, e.g. "replay" or "com".
    virtual std::string Name() const = 0;

    virtual int Init(const std::string& softwareId) = 0;
    // The component's version text ("0490"); read after a successful Init.
    virtual std::string Version() = 0;
    virtual int SetUIProperties() = 0;
    virtual OpenReply Open(const std::string& dataSpec, const std::string& fromTime, int option) = 0;
    virtual int Status() = 0;
    // n > 0 with `record` holding the record's exact n bytes (CP932, ending in CR LF) and
    // `fileName` its file; 0 at the end; -1 next file; -2/-3 busy; below -3 an error.
    virtual int Read(std::string& record, int bufferSize, std::string& fileName) = 0;
    // Skips the rest of the file being read.
    virtual int Skip() = 0;
    virtual int RTOpen(const std::string& dataSpec, const std::string& key) = 0;
    virtual int Cancel() = 0;
    virtual int Close() = 0;
};

} // namespace vornal::bridge
