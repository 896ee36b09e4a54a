#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>

#include "store/BridgeLink.h"
#include "store/ReplayLink.h"

#include "cli/CliRun.h"
#include "support/JvRecordBuilder.h"

// The Windows bridge under Wine, through BridgeLink, driving the stand-in component (a COM
// server registered under the component's ProgID in the build tree's Wine prefix): it must
// answer every call as the replay link answers over the same feed, byte for byte, and turn
// each way a component can fail into a clean failure of the call.
namespace vornal {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

bool OnPath(const char* program)
{
    const char* path = std::getenv("PATH");
    for (std::string_view rest = path != nullptr ? path : ""; !rest.empty();) {
        const std::size_t colon = std::min(rest.find(':'), rest.size());
        if (::access((std::string(rest.substr(0, colon)) + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
        rest.remove_prefix(std::min(colon + 1, rest.size()));
    }
    return false;
}

// Z:\tmp\... : how the Windows side names a Linux path.
std::string WindowsPath(const fs::path& path)
{
    std::string text = "Z:" + path.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

// Every byte value but CR and LF, then the record's CR LF: what no text conversion keeps.
std::string EveryByteRecord()
{
    std::string record = "ZZ";
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n') {
            record.push_back(static_cast<char>(b));
        }
    }
    return record + "\r\n";
}

// CP932 text that survives the round trip through UTF-16: kana, kanji, half-width kana,
// a circled digit (NEC row 13) and a trail byte 0x5C ("ソ").
std::string TextRecord()
{
    return "TX\x83\x5C\x83\x93\x8B\xA3\x91\x96\xB6\xDE\x87\x40 2026\r\n";
}

class WineBridge : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (std::string_view(VORNAL_WINE_BRIDGE).empty()) {
            GTEST_SKIP() << "no mingw-w64 cross compiler: the Windows bridge was not built (scripts/bootstrap)";
        }
        if (!OnPath("wine") || !OnPath("wineserver")) {
            GTEST_SKIP() << "wine is not installed (scripts/bootstrap installs it)";
        }
        ASSERT_TRUE(fs::exists(fs::path(VORNAL_WINE_PREFIX) / ".vornal-prefix-ready"))
            << "the Wine prefix was not made: run the tests through ctest (fixture wine_prefix)";
        ::setenv("WINEPREFIX", VORNAL_WINE_PREFIX, 1);
        ::setenv("WINEDEBUG", "-all", 1);
        ::setenv("VORNAL_STANDIN_FEED", WindowsPath(m_feed.Path()).c_str(), 1);
        ::unsetenv("VORNAL_STANDIN_FAULT");
        ::unsetenv("VORNAL_STANDIN_NOGETS");
    }

    std::vector<std::string> Command(std::vector<std::string> extra = {}) const
    {
        std::vector<std::string> command{"wine", VORNAL_WINE_BRIDGE};
        command.insert(command.end(), extra.begin(), extra.end());
        return command;
    }

    static BridgeDeadlines Deadlines(std::chrono::milliseconds call)
    {
        BridgeDeadlines deadlines;
        deadlines.start = 60s;
        deadlines.call = call;
        deadlines.longCall = call;
        return deadlines;
    }

    test::TempDir m_feed;
};

// What a link answers to every call of a session over the feed, as text with the records'
// bytes. Busy answers (-3) are counted apart: the stand-in gives one before each file.
std::string Transcript(JvLink& link, int& busy)
{
    busy = 0;
    std::string out = "init " + std::to_string(link.JVInit(kJvSoftwareId));
    out += " v" + link.Version();
    const JvOpenResult open = link.JVOpen(kBulkDataSpec, "20251231000000", kBulkOpenOption);
    out += " open " + std::to_string(open.code) + "/" + std::to_string(open.readCount) + "/" +
           std::to_string(open.downloadCount) + "/" + open.lastFileTimestamp + " status";
    for (int i = 0; i < 4; ++i) {
        out += " " + std::to_string(link.JVStatus());
    }
    const auto readAll = [&](bool skipAfterFirst) {
        std::string record;
        std::string fileName;
        for (int i = 0; i < 100; ++i) {
            const int code = link.JVRead(record, kJvReadBufferSize, fileName);
            if (code == kJvReadBusy) {
                ++busy;
                continue;
            }
            out += "\n" + std::to_string(code);
            if (code > 0) {
                out += " " + fileName + " " + record;
                if (skipAfterFirst && fileName.find("-A.jvd") != std::string::npos) {
                    out += "skip " + std::to_string(link.JVSkip());
                    skipAfterFirst = false;
                }
            }
            if (code == 0 || code < kJvReadBusy) {
                break;
            }
        }
    };
    readAll(false);
    out += "\nclose " + std::to_string(link.JVClose());
    out += " again " + std::to_string(link.JVOpen(kBulkDataSpec, "20251231000000", kBulkOpenOption).code);
    readAll(true);
    out += "\nclose " + std::to_string(link.JVClose());
    out += " rt " + std::to_string(link.JVRTOpen(kDayResultsSpec, "20260104"));
    readAll(false);
    out += "\nclose " + std::to_string(link.JVClose());
    out += " rt " + std::to_string(link.JVRTOpen(kRaceOddsSpec, "2026010406010299"));
    out += " close " + std::to_string(link.JVClose());
    // A cancelled download leaves nothing to read.
    out += " open " + std::to_string(link.JVOpen(kBulkDataSpec, "20251231000000", kBulkOpenOption).code);
    link.JVCancel();
    std::string record;
    std::string fileName;
    out += " cancelled " + std::to_string(link.JVRead(record, kJvReadBufferSize, fileName));
    out += " close " + std::to_string(link.JVClose());
    return out;
}

TEST_F(WineBridge, AnswersEveryCallAsTheReplayLinkByteForByte)
{
    const std::string everyByte = EveryByteRecord();
    test::WriteStoredFile(m_feed.Path(), "20260101100000", "A",
                          {"AA first\r\n", everyByte, "AA third\r\n"});
    test::WriteStoredFile(m_feed.Path(), "20260102100000", "B", {TextRecord(), std::string("BB\x1A\0 end\r\n", 10)});
    test::WriteStoredFile(m_feed.Path(), "20251230100000", "OLD", {"OO too old\r\n"});
    test::Spit(m_feed / "realtime/0B12/20260104.jvd", "R1 result\r\n" + everyByte);
    // The stand-in counts every file as still to download; the replay link does so when told.
    test::Spit(m_feed / "link.ini", "[link]\ndownload=99\n");

    ReplayLink replay(m_feed.Path());
    int replayBusy = 0;
    const std::string expected = Transcript(replay, replayBusy);
    BridgeLink bridge(Command(), Deadlines(60s));
    int bridgeBusy = 0;
    const std::string answered = Transcript(bridge, bridgeBusy);

    EXPECT_EQ(bridge.BackendName(), "com");
    EXPECT_EQ(bridge.LastFailure(), "");
    EXPECT_EQ(answered, expected);
    EXPECT_NE(answered.find(everyByte), std::string::npos);
    // Busy answers were waited out, not taken for records: one per file the stand-in opened.
    EXPECT_EQ(bridgeBusy, 2 + 2 + 1);
}

// The faces through the bridge: acquisition, results retrieval and quick odds must leave the
// store exactly as the replay link leaves it over the same generated season.
TEST_F(WineBridge, FillsTheStoreAsTheReplayLinkDoes)
{
    const test::TempDir work;
    const std::string feed = m_feed.Path().string();
    const std::string viaFeed = (work / "feed-app").string();
    const std::string viaBridge = (work / "bridge-app").string();
    const test::CliResult made = test::RunCli("--app-dir " + test::ShellQuote(viaFeed) + " samplegen --feed " +
                                              test::ShellQuote(feed) + " --seed 5 --days 2 --tuning " +
                                              test::ShellQuote(viaFeed));
    ASSERT_EQ(made.exitCode, 0) << made.out;
    // The stand-in counts every file as still to download; the replay link does so when told.
    test::Spit(m_feed / "link.ini", "[link]\ndownload=99\n");
    fs::create_directories(viaBridge);
    for (const char* tuning : {"GateAdj.dat", "RT.dat", "senuj.dat"}) {
        fs::copy_file(fs::path(viaFeed) / tuning, fs::path(viaBridge) / tuning);
    }
    const std::string bridge = "--bridge " + test::ShellQuote("wine " + std::string(VORNAL_WINE_BRIDGE));
    const std::string steps[] = {
        "acquire %s --from \"2025/12/30 00:00:00\"",
        "results %s --date 20260103",
        "odds %s --date 20260104 --all",
    };
    for (const std::string& step : steps) {
        const std::size_t at = step.find("%s");
        const auto run = [&](const std::string& app, const std::string& link) {
            return test::RunCli("--app-dir " + test::ShellQuote(app) + " " + step.substr(0, at) + link +
                                    step.substr(at + 2),
                                true);
        };
        const test::CliResult expected = run(viaFeed, "--feed " + test::ShellQuote(feed));
        const test::CliResult answered = run(viaBridge, bridge);
        ASSERT_EQ(expected.exitCode, 0) << step << "\n" << expected.out;
        EXPECT_EQ(answered.exitCode, 0) << step << "\n" << answered.out;
    }
    const std::map<std::string, std::string> expected = test::Tree(viaFeed);
    const std::map<std::string, std::string> answered = test::Tree(viaBridge);
    const auto names = [](const std::map<std::string, std::string>& tree) {
        std::vector<std::string> list;
        for (const auto& entry : tree) {
            list.push_back(entry.first);
        }
        return list;
    };
    EXPECT_GT(expected.size(), 100u);
    ASSERT_EQ(names(answered), names(expected));
    for (const auto& [name, bytes] : expected) {
        EXPECT_TRUE(answered.at(name) == bytes) << name << " differs";
    }
}

TEST_F(WineBridge, ReadsWithJVReadWhenTheComponentHasNoJVGets)
{
    test::WriteStoredFile(m_feed.Path(), "20260101100000", "A", {TextRecord(), "AA plain\r\n"});
    test::Spit(m_feed / "link.ini", "[link]\ndownload=99\n");
    ::setenv("VORNAL_STANDIN_NOGETS", "1", 1);

    ReplayLink replay(m_feed.Path());
    int busy = 0;
    const std::string expected = Transcript(replay, busy);
    BridgeLink bridge(Command(), Deadlines(60s));
    EXPECT_EQ(Transcript(bridge, busy), expected);
    EXPECT_EQ(bridge.LastFailure(), "");
}

TEST_F(WineBridge, RelaysTheComponentsErrorCodesUnchanged)
{
    test::WriteStoredFile(m_feed.Path(), "20260101100000", "A", {"AA first\r\n"});
    ::setenv("VORNAL_STANDIN_FAULT", "JVOpen:-504", 1);
    BridgeLink bridge(Command(), Deadlines(60s));
    ASSERT_EQ(bridge.JVInit(kJvSoftwareId), 0);
    EXPECT_EQ(bridge.JVOpen(kBulkDataSpec, "20251231000000", kBulkOpenOption).code, -504);
    EXPECT_EQ(bridge.LastFailure(), "");
    // Before any open, the component's own code for a read without one.
    std::string record;
    std::string fileName;
    EXPECT_EQ(bridge.JVRead(record, kJvReadBufferSize, fileName), -203);
}

TEST_F(WineBridge, AComponentThatIsNotRegisteredFailsEachCallWithItsReason)
{
    BridgeLink bridge(Command({"--progid", "Vornal.NoSuchComponent"}), Deadlines(60s));
    EXPECT_LT(bridge.JVInit(kJvSoftwareId), 0);
    EXPECT_NE(bridge.LastFailure().find("JVInit"), std::string::npos) << bridge.LastFailure();
    EXPECT_NE(bridge.LastFailure().find("\"Vornal.NoSuchComponent\" is not registered"), std::string::npos)
        << bridge.LastFailure();
    // The bridge stays and says so again.
    const pid_t pid = bridge.BridgeProcessId();
    EXPECT_GT(pid, 0);
    EXPECT_LT(bridge.JVClose(), 0);
    EXPECT_NE(bridge.LastFailure().find("not registered"), std::string::npos) << bridge.LastFailure();
    EXPECT_EQ(bridge.BridgeProcessId(), pid);
}

TEST_F(WineBridge, AnExceptionOfTheComponentFailsTheCallWithItsText)
{
    test::WriteStoredFile(m_feed.Path(), "20260101100000", "A", {"AA first\r\n"});
    ::setenv("VORNAL_STANDIN_FAULT", "JVOpen:throw", 1);
    BridgeLink bridge(Command(), Deadlines(60s));
    ASSERT_EQ(bridge.JVInit(kJvSoftwareId), 0);
    const JvOpenResult open = bridge.JVOpen(kBulkDataSpec, "20251231000000", kBulkOpenOption);
    EXPECT_LT(open.code, 0);
    EXPECT_EQ(open.readCount, 0);
    EXPECT_NE(bridge.LastFailure().find("JVOpen raised an exception: the stand-in was told to fail here"),
              std::string::npos)
        << bridge.LastFailure();
    // The session goes on.
    EXPECT_EQ(bridge.JVClose(), 0);
    EXPECT_EQ(bridge.LastFailure(), "");
}

TEST_F(WineBridge, AHungCallEndsAtItsDeadlineAndTheBridgeWithIt)
{
    test::WriteStoredFile(m_feed.Path(), "20260101100000", "A", {"AA first\r\n"});
    ::setenv("VORNAL_STANDIN_FAULT", "JVStatus:hang", 1);
    // Wine may take seconds to create the component on a loaded machine: only the hung call
    // runs on the short deadline.
    BridgeLink bridge(Command(), Deadlines(60s));
    ASSERT_EQ(bridge.JVInit(kJvSoftwareId), 0);
    ASSERT_EQ(bridge.JVOpen(kBulkDataSpec, "20251231000000", kBulkOpenOption).code, 0);
    bridge.SetDeadlines(Deadlines(3s));
    const pid_t pid = bridge.BridgeProcessId();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_LT(bridge.JVStatus(), 0);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 3s);
    EXPECT_LT(waited, 30s);
    EXPECT_NE(bridge.LastFailure().find("JVStatus: the bridge did not answer within"), std::string::npos)
        << bridge.LastFailure();
    EXPECT_EQ(bridge.BridgeProcessId(), -1);
    EXPECT_TRUE(::kill(pid, 0) != 0 && errno == ESRCH) << "the hung bridge " << pid << " still runs";
    // The next call starts a fresh bridge, which the fault no longer hangs.
    ::unsetenv("VORNAL_STANDIN_FAULT");
    bridge.SetDeadlines(Deadlines(60s));
    EXPECT_EQ(bridge.JVOpen(kBulkDataSpec, "20251231000000", kBulkOpenOption).code, 0);
    EXPECT_EQ(bridge.JVStatus(), 0);
}

} // namespace
} // namespace vornal
