#pragma once

#include <cstdio>

#include "bridge/BridgeBackend.h"
#include "bridge/BridgeProtocol.h"

// The bridge program's protocol loop: greets, then answers one request per frame by calling
// the backend, until its input ends. Standard C++ only.
namespace vornal::bridge {

// Exit status of the loop: 0 when the input ended between frames, else kLoopBroken (the
// input ended inside a frame, announced an oversized frame, or the output is gone).
inline constexpr int kLoopBroken = 3;

int RunBridgeLoop(Backend& backend, ByteSource& in, ByteSink& out);

// The C streams as frame streams (the bridge's standard input and output; on Windows the
// caller puts them in binary mode first).
class FileSource : public ByteSource
{
public:
    explicit FileSource(std::FILE* file) : m_file(file) {}
    std::size_t ReadSome(char* data, std::size_t size) override;

private:
    std::FILE* m_file;
};

class FileSink : public ByteSink
{
public:
    explicit FileSink(std::FILE* file) : m_file(file) {}
    bool WriteAll(std::string_view bytes) override;

private:
    std::FILE* m_file;
};

} // namespace vornal::bridge
