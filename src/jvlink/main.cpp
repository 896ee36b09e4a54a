#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "bridge/BridgeLoop.h"
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "bridge/ComBackend.h"
#else
#include "jvlink/ReplayBackend.h"
#endif

// vornal-jvlink: the bridge protocol on standard input and output. Messages for people go to
// standard error only.
//
//   vornal-jvlink [--com [--progid ID]]   (Windows) drives the data service's component
//   vornal-jvlink --replay FEED_DIR       (Linux) serves a replay feed folder
//
// The Windows build holds only the protocol and the component backend (no fmt, no core
// library), so it has no replay backend; the Linux build has no component to drive.
namespace {

int Usage()
{
#ifdef _WIN32
    std::fputs("usage: vornal-jvlink [--com [--progid PROGID]]\n", stderr);
#else
    std::fputs("usage: vornal-jvlink --replay FEED_DIR\n", stderr);
#endif
    return 2;
}

int Serve(vornal::bridge::Backend& backend)
{
    vornal::bridge::FileSource in(stdin);
    vornal::bridge::FileSink out(stdout);
    return vornal::bridge::RunBridgeLoop(backend, in, out);
}

} // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Text mode would turn every LF of a frame into CR LF and end the input at a 0x1A byte.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    std::wstring progId = vornal::bridge::kComponentProgId;
    int at = 1;
    if (at < argc && std::strcmp(argv[at], "--com") == 0) {
        ++at;
    }
    if (at + 1 < argc && std::strcmp(argv[at], "--progid") == 0) {
        const std::string name = argv[at + 1];
        progId.assign(name.begin(), name.end());
        at += 2;
    }
    if (at != argc) {
        if (std::strcmp(argv[at], "--replay") == 0) {
            std::fputs("vornal-jvlink: this Windows build drives the component only; replay feeds are served by the "
                       "Linux build\n",
                       stderr);
        }
        return Usage();
    }
    vornal::bridge::ComBackend backend(progId);
    return Serve(backend);
#else
    if (argc == 2 && std::strcmp(argv[1], "--com") == 0) {
        std::fputs("vornal-jvlink: the component runs on Windows; use vornal-jvlink.exe there or under Wine\n", stderr);
        return 2;
    }
    if (argc != 3 || std::strcmp(argv[1], "--replay") != 0) {
        return Usage();
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(argv[2], ec)) {
        std::fprintf(stderr, "vornal-jvlink: %s is not a feed folder\n", argv[2]);
        return 2;
    }
    vornal::jvlink::ReplayBackend backend(argv[2]);
    return Serve(backend);
#endif
}
