#include <cstdio>
#include <cstring>
#include <filesystem>

#include "bridge/BridgeLoop.h"
#include "jvlink/ReplayBackend.h"

// vornal-jvlink --replay DIR: the bridge protocol on standard input and output, served from
// a replay feed folder. Messages for people go to standard error only.
int main(int argc, char** argv)
{
    if (argc != 3 || std::strcmp(argv[1], "--replay") != 0) {
        std::fputs("usage: vornal-jvlink --replay FEED_DIR\n", stderr);
        return 2;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(argv[2], ec)) {
        std::fprintf(stderr, "vornal-jvlink: %s is not a feed folder\n", argv[2]);
        return 2;
    }
    vornal::jvlink::ReplayBackend backend(argv[2]);
    vornal::bridge::FileSource in(stdin);
    vornal::bridge::FileSink out(stdout);
    return vornal::bridge::RunBridgeLoop(backend, in, out);
}
