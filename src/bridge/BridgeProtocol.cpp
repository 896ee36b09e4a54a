#include "bridge/BridgeProtocol.h"

namespace vornal::bridge {
namespace {

void PutU32(std::string& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFFu));
    }
}

void PutInt(std::string& out, std::int32_t value)
{
    PutU32(out, static_cast<std::uint32_t>(value));
}

void PutBytes(std::string& out, std::string_view bytes)
{
    PutU32(out, static_cast<std::uint32_t>(bytes.size()));
    out.append(bytes);
}

std::uint32_t GetU32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads the fields of one body in order; every read past the end, and any byte left over at
// Finish, is a ProtocolError.
class FieldReader
{
public:
    explicit FieldReader(std::string_view body) : m_rest(body) {}

    std::uint8_t Type()
    {
        Need(1, "type");
        const auto type = static_cast<std::uint8_t>(m_rest.front());
        m_rest.remove_prefix(1);
        return type;
    }
    std::int32_t Int()
    {
        Need(4, "integer");
        const std::uint32_t raw = GetU32(reinterpret_cast<const unsigned char*>(m_rest.data()));
        m_rest.remove_prefix(4);
        return static_cast<std::int32_t>(raw);
    }
    std::string Bytes()
    {
        Need(4, "bytes length");
        const std::uint32_t size = GetU32(reinterpret_cast<const unsigned char*>(m_rest.data()));
        m_rest.remove_prefix(4);
        Need(size, "bytes");
        std::string bytes(m_rest.substr(0, size));
        m_rest.remove_prefix(size);
        return bytes;
    }
    void Finish() const
    {
        if (!m_rest.empty()) {
            throw ProtocolError(std::to_string(m_rest.size()) + " bytes after the last field");
        }
    }

private:
    void Need(std::size_t size, const char* what) const
    {
        if (m_rest.size() < size) {
            throw ProtocolError(std::string("frame ends inside its ") + what);
        }
    }

    std::string_view m_rest;
};

bool IsRequestType(std::uint8_t type)
{
    return type >= static_cast<std::uint8_t>(Op::Init) && type <= static_cast<std::uint8_t>(Op::Close);
}

} // namespace

const char* CallName(std::uint8_t requestType)
{
    switch (static_cast<Op>(requestType)) {
    case Op::Init:
        return "JVInit";
    case Op::Version:
        return "Version";
    case Op::SetUIProperties:
        return "JVSetUIProperties";
    case Op::Open:
        return "JVOpen";
    case Op::Status:
        return "JVStatus";
    case Op::Read:
        return "JVRead";
    case Op::Skip:
        return "JVSkip";
    case Op::RTOpen:
        return "JVRTOpen";
    case Op::Cancel:
        return "JVCancel";
    case Op::Close:
        return "JVClose";
    case Op::Hello:
    case Op::Error:
        break;
    }
    return "?";
}

std::string EncodeRequest(const Request& request)
{
    std::string body(1, static_cast<char>(request.op));
    switch (request.op) {
    case Op::Init:
        PutBytes(body, request.text);
        break;
    case Op::Open:
        PutBytes(body, request.text);
        PutBytes(body, request.text2);
        PutInt(body, request.number);
        break;
    case Op::Read:
        PutInt(body, request.number);
        break;
    case Op::RTOpen:
        PutBytes(body, request.text);
        PutBytes(body, request.text2);
        break;
    default:
        break;
    }
    return body;
}

Request DecodeRequest(std::string_view body)
{
    FieldReader in(body);
    const std::uint8_t type = in.Type();
    if (!IsRequestType(type)) {
        throw ProtocolError("unknown request type " + std::to_string(type));
    }
    Request request;
    request.op = static_cast<Op>(type);
    switch (request.op) {
    case Op::Init:
        request.text = in.Bytes();
        break;
    case Op::Open:
        request.text = in.Bytes();
        request.text2 = in.Bytes();
        request.number = in.Int();
        break;
    case Op::Read:
        request.number = in.Int();
        break;
    case Op::RTOpen:
        request.text = in.Bytes();
        request.text2 = in.Bytes();
        break;
    default:
        break;
    }
    in.Finish();
    return request;
}

std::string EncodeAnswer(Op request, const Answer& answer)
{
    std::string body(1, static_cast<char>(AnswerType(request)));
    switch (request) {
    case Op::Version:
        PutBytes(body, answer.text);
        break;
    case Op::Open:
        PutInt(body, answer.code);
        PutInt(body, answer.readCount);
        PutInt(body, answer.downloadCount);
        PutBytes(body, answer.text);
        break;
    case Op::Read:
        PutInt(body, answer.code);
        PutBytes(body, answer.text);
        PutBytes(body, answer.fileName);
        break;
    default:
        PutInt(body, answer.code);
        break;
    }
    return body;
}

std::string EncodeError(std::uint8_t requestType, std::string_view message)
{
    std::string body(1, static_cast<char>(Op::Error));
    PutInt(body, requestType);
    PutBytes(body, message);
    return body;
}

Answer DecodeAnswer(std::string_view body)
{
    FieldReader in(body);
    Answer answer;
    answer.type = in.Type();
    if (answer.IsError()) {
        const std::int32_t of = in.Int();
        answer.errorOf = of >= 0 && of <= 0xFF ? static_cast<std::uint8_t>(of) : 0;
        answer.text = in.Bytes();
        in.Finish();
        return answer;
    }
    if ((answer.type & 0x80u) == 0 || !IsRequestType(static_cast<std::uint8_t>(answer.type & 0x7Fu))) {
        throw ProtocolError("unknown answer type " + std::to_string(answer.type));
    }
    switch (static_cast<Op>(answer.type & 0x7Fu)) {
    case Op::Version:
        answer.text = in.Bytes();
        break;
    case Op::Open:
        answer.code = in.Int();
        answer.readCount = in.Int();
        answer.downloadCount = in.Int();
        answer.text = in.Bytes();
        break;
    case Op::Read:
        answer.code = in.Int();
        answer.text = in.Bytes();
        answer.fileName = in.Bytes();
        if (answer.code > 0 ? answer.text.size() != static_cast<std::size_t>(answer.code) : !answer.text.empty()) {
            throw ProtocolError("record length " + std::to_string(answer.text.size()) + " under code " +
                                std::to_string(answer.code));
        }
        break;
    default:
        answer.code = in.Int();
        break;
    }
    in.Finish();
    return answer;
}

std::string EncodeHello(std::string_view backendName)
{
    std::string body(1, static_cast<char>(Op::Hello));
    PutBytes(body, kHelloMagic);
    PutInt(body, kProtocolVersion);
    PutBytes(body, backendName);
    return body;
}

std::string DecodeHello(std::string_view body)
{
    FieldReader in(body);
    if (in.Type() != static_cast<std::uint8_t>(Op::Hello) || in.Bytes() != kHelloMagic) {
        throw ProtocolError("no bridge greeting");
    }
    const std::int32_t version = in.Int();
    if (version != kProtocolVersion) {
        throw ProtocolError("bridge protocol version " + std::to_string(version) + ", expected " +
                            std::to_string(kProtocolVersion));
    }
    std::string name = in.Bytes();
    in.Finish();
    return name;
}

std::string Framed(std::string_view body)
{
    std::string out;
    out.reserve(body.size() + 4);
    PutU32(out, static_cast<std::uint32_t>(body.size()));
    out.append(body);
    return out;
}

namespace {

// Fills `data` completely; false when the stream ends first.
bool ReadExactly(ByteSource& source, char* data, std::size_t size, std::size_t& got)
{
    got = 0;
    while (got < size) {
        const std::size_t n = source.ReadSome(data + got, size - got);
        if (n == 0) {
            return false;
        }
        got += n;
    }
    return true;
}

} // namespace

FrameRead ReadFrame(ByteSource& source, std::string& body)
{
    unsigned char prefix[4];
    std::size_t got = 0;
    if (!ReadExactly(source, reinterpret_cast<char*>(prefix), 4, got)) {
        return got == 0 ? FrameRead::End : FrameRead::Truncated;
    }
    const std::uint32_t size = GetU32(prefix);
    if (size > kMaxFrameBytes) {
        return FrameRead::TooLarge;
    }
    body.resize(size);
    if (!ReadExactly(source, body.data(), size, got)) {
        return FrameRead::Truncated;
    }
    return FrameRead::Frame;
}

} // namespace vornal::bridge
