// The replay feed's "link.ini": the whole life of a link (init, open, the status timer,
// reads, close) under whatever the file says, with a bounded number of calls.
#include "FuzzSupport.h"
#include "store/ReplayLink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path feed = [] {
        const std::filesystem::path folder = vornal::fuzz::ScratchDir() / "feed";
        std::filesystem::create_directories(folder / "stored");
        vornal::fuzz::WriteInput(folder / "stored" / "20260101000000-a.jvd", "RA1\r\nSE1\r\n");
        vornal::fuzz::WriteInput(folder / "stored" / "20260102000000-b.jvd", "HR1\r\n");
        return folder;
    }();
    vornal::fuzz::WriteInput(feed / "link.ini", vornal::fuzz::Input(data, size));
    vornal::ReplayLink link(feed);
    (void)link.JVInit("UNKNOWN");
    (void)link.Version();
    (void)link.JVSetUIProperties();
    const vornal::JvOpenResult open = link.JVOpen("RACE", "20251231000000", 1);
    for (int i = 0; i < 20; ++i) {
        (void)link.JVStatus();
    }
    std::string record;
    std::string fileName;
    for (int i = 0; i < 40; ++i) {
        if (link.JVRead(record, 110000, fileName) == 0) {
            break;
        }
    }
    (void)open;
    (void)link.JVClose();
    return 0;
}
