#include "bridge/BridgeLoop.h"

#include <exception>

namespace vornal::bridge {
namespace {

Answer Call(Backend& backend, const Request& request)
{
    Answer answer;
    switch (request.op) {
    case Op::Init:
        answer.code = backend.Init(request.text);
        break;
    case Op::Version:
        answer.text = backend.Version();
        break;
    case Op::SetUIProperties:
        answer.code = backend.SetUIProperties();
        break;
    case Op::Open: {
        OpenReply reply = backend.Open(request.text, request.text2, request.number);
        answer.code = reply.code;
        answer.readCount = reply.readCount;
        answer.downloadCount = reply.downloadCount;
        answer.text = std::move(reply.lastFileTimestamp);
        break;
    }
    case Op::Status:
        answer.code = backend.Status();
        break;
    case Op::Read:
        answer.code = backend.Read(answer.text, request.number, answer.fileName);
        if (answer.code <= 0) {
            answer.text.clear();
            answer.fileName.clear();
        } else if (answer.text.size() != static_cast<std::size_t>(answer.code)) {
            throw BackendError("the component reported " + std::to_string(answer.code) + " bytes but handed " +
                               std::to_string(answer.text.size()));
        }
        break;
    case Op::Skip:
        answer.code = backend.Skip();
        break;
    case Op::RTOpen:
        answer.code = backend.RTOpen(request.text, request.text2);
        break;
    case Op::Cancel:
        answer.code = backend.Cancel();
        break;
    case Op::Close:
        answer.code = backend.Close();
        break;
    case Op::Hello:
    case Op::Error:
        throw BackendError("not a request");
    }
    return answer;
}

} // namespace

int RunBridgeLoop(Backend& backend, ByteSource& in, ByteSink& out)
{
    if (!out.WriteAll(Framed(EncodeHello(backend.Name())))) {
        return kLoopBroken;
    }
    std::string body;
    for (;;) {
        switch (ReadFrame(in, body)) {
        case FrameRead::Frame:
            break;
        case FrameRead::End:
            return 0;
        case FrameRead::Truncated:
            out.WriteAll(Framed(EncodeError(0, "input ended inside a frame")));
            return kLoopBroken;
        case FrameRead::TooLarge:
            out.WriteAll(Framed(EncodeError(0, "frame longer than the protocol allows")));
            return kLoopBroken;
        }
        const std::uint8_t type = body.empty() ? 0 : static_cast<std::uint8_t>(body.front());
        std::string reply;
        try {
            const Request request = DecodeRequest(body);
            reply = EncodeAnswer(request.op, Call(backend, request));
        } catch (const std::exception& error) {
            // BackendError, ProtocolError, or anything the backend let through: the session
            // goes on, the client decides.
            reply = EncodeError(type, error.what());
        }
        if (!out.WriteAll(Framed(reply))) {
            return kLoopBroken;
        }
    }
}

std::size_t FileSource::ReadSome(char* data, std::size_t size)
{
    // One frame at a time: never wait for more than the caller needs.
    return std::fread(data, 1, size, m_file);
}

bool FileSink::WriteAll(std::string_view bytes)
{
    return std::fwrite(bytes.data(), 1, bytes.size(), m_file) == bytes.size() && std::fflush(m_file) == 0;
}

} // namespace vornal::bridge
