#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "bridge/BridgeLoop.h"
#include "jvlink/ReplayBackend.h"

// A bridge that misbehaves on purpose, for the tests of the link's fault handling:
//
//   vornal-fault-bridge FEED exit|hang|garbage N
//
// serves FEED like vornal-jvlink --replay, until the N-th JVRead: there it exits, hangs, or
// writes bytes that are not the protocol (and then goes on).
namespace {

class FaultBackend : public vornal::jvlink::ReplayBackend
{
public:
    FaultBackend(const char* feed, std::string mode, int at)
        : ReplayBackend(feed), m_mode(std::move(mode)), m_at(at)
    {
    }

    int Read(std::string& record, int bufferSize, std::string& fileName) override
    {
        if (++m_reads == m_at) {
            if (m_mode == "exit") {
                std::fflush(stdout);
                std::_Exit(1);
            }
            if (m_mode == "hang") {
                std::this_thread::sleep_for(std::chrono::minutes(10));
            }
            if (m_mode == "garbage") {
                static const char kGarbage[] = "\x05\x00\x00\x00\x42garbage";
                std::fwrite(kGarbage, 1, sizeof kGarbage - 1, stdout);
            }
        }
        return ReplayBackend::Read(record, bufferSize, fileName);
    }

private:
    std::string m_mode;
    int m_at;
    int m_reads = 0;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fputs("usage: vornal-fault-bridge FEED exit|hang|garbage N\n", stderr);
        return 2;
    }
    FaultBackend backend(argv[1], argv[2], std::atoi(argv[3]));
    vornal::bridge::FileSource in(stdin);
    vornal::bridge::FileSink out(stdout);
    return vornal::bridge::RunBridgeLoop(backend, in, out);
}
