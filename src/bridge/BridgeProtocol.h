#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// The bridge protocol's frames (docs/bridge-protocol.md): a 4-byte little-endian body
// length, a type byte, then the fields of that type: 32-bit little-endian integers and
// length-prefixed bytes. Standard C++ only, so the Windows bridge builds from it too.
namespace vornal::bridge {

inline constexpr std::int32_t kProtocolVersion = 1;
inline constexpr std::string_view kHelloMagic = "VJVB";
// The longest frame body either side accepts.
inline constexpr std::uint32_t kMaxFrameBytes = 16u * 1024u * 1024u;

enum class Op : std::uint8_t {
    Init = 0x01,
    Version = 0x02,
    SetUIProperties = 0x03,
    Open = 0x04,
    Status = 0x05,
    Read = 0x06,
    Skip = 0x07,
    RTOpen = 0x08,
    Cancel = 0x09,
    Close = 0x0A,
    Hello = 0x48,
    Error = 0x7F,
};

// The answer type of a request type.
constexpr std::uint8_t AnswerType(Op request)
{
    return static_cast<std::uint8_t>(static_cast<std::uint8_t>(request) | 0x80u);
}

// The component call a request stands for ("JVRead"), for messages; "?" for other bytes.
const char* CallName(std::uint8_t requestType);

// A frame body that does not hold what its type says.
class ProtocolError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// One request. Fields a request type does not carry stay empty.
struct Request
{
    Op op = Op::Status;
    std::string text;  // Init: software id; Open, RTOpen: data spec
    std::string text2; // Open: from-time; RTOpen: key
    std::int32_t number = 0; // Open: option; Read: buffer size
};

// One answer (or an Error frame). Fields an answer type does not carry stay empty.
struct Answer
{
    std::uint8_t type = 0; // AnswerType(op), or Op::Error
    std::int32_t code = 0;
    std::int32_t readCount = 0;
    std::int32_t downloadCount = 0;
    std::string text;     // Version: version text; Open: last-file time stamp; Read: record; Error: message
    std::string fileName; // Read
    std::uint8_t errorOf = 0; // Error: the request type it answers

    bool IsError() const { return type == static_cast<std::uint8_t>(Op::Error); }
};

// Frame bodies (without the length prefix).
std::string EncodeRequest(const Request& request);
std::string EncodeAnswer(Op request, const Answer& answer);
std::string EncodeError(std::uint8_t requestType, std::string_view message);
std::string EncodeHello(std::string_view backendName);

// Throw ProtocolError when the body does not hold exactly what its type says.
Request DecodeRequest(std::string_view body);
Answer DecodeAnswer(std::string_view body);
// The backend name of a Hello body of this protocol version.
std::string DecodeHello(std::string_view body);

// The body with its 4-byte length in front.
std::string Framed(std::string_view body);

// Byte streams the frames travel on.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    // Up to `size` bytes into `data`; 0 at the end of the stream or on an error.
    virtual std::size_t ReadSome(char* data, std::size_t size) = 0;
};

class ByteSink
{
public:
    virtual ~ByteSink() = default;
    // All of `bytes`, flushed; false when the stream is gone.
    virtual bool WriteAll(std::string_view bytes) = 0;
};

enum class FrameRead {
    Frame,     // `body` holds one frame body
    End,       // the stream ended between frames
    Truncated, // the stream ended inside a frame
    TooLarge,  // the announced length is over kMaxFrameBytes
};

// Reads one frame body from `source`.
FrameRead ReadFrame(ByteSource& source, std::string& body);

} // namespace vornal::bridge
