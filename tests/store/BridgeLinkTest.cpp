#include <gtest/gtest.h>

#include <signal.h>

#include <thread>

#include "store/BridgeLink.h"
#include "store/ReplayLink.h"

#include "support/JvRecordBuilder.h"

// The bridge link through real pipes: vornal-jvlink serving a replay feed must answer every
// call as the replay link itself does, and a bridge that fails must fail the call it was
// in, cleanly, without leaving a process behind.
namespace vornal {
namespace {

using namespace std::chrono_literals;

BridgeDeadlines ShortDeadlines()
{
    BridgeDeadlines deadlines;
    deadlines.start = 5s;
    deadlines.call = 2s;
    deadlines.longCall = 2s;
    deadlines.afterCancel = 300ms;
    return deadlines;
}

bool ProcessGone(pid_t pid)
{
    return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
}

// Every call once, reads to the end: what a link answers, as text.
std::string Transcript(JvLink& link)
{
    const int init = link.JVInit(kJvSoftwareId);
    std::string out = "init " + std::to_string(init) + " v" + (init == 0 ? link.Version() : "-");
    out += " ui " + std::to_string(link.JVSetUIProperties());
    const JvOpenResult open = link.JVOpen(kBulkDataSpec, "20251231000000", kBulkOpenOption);
    out += " open " + std::to_string(open.code) + "/" + std::to_string(open.readCount) + "/" +
           std::to_string(open.downloadCount) + "/" + open.lastFileTimestamp + " status";
    for (int i = 0; i < 3; ++i) {
        out += " " + std::to_string(link.JVStatus());
    }
    out += " read";
    std::string record;
    std::string fileName;
    for (int i = 0, skipped = 0; i < 100; ++i) {
        const int r = link.JVRead(record, kJvReadBufferSize, fileName);
        out += " " + std::to_string(r);
        if (r > 0) {
            out += ":" + record.substr(0, 2) + "@" + fileName.substr(0, 8);
            // The rest of the second file is skipped.
            if (fileName.starts_with("20260102") && skipped++ == 0) {
                out += " skip " + std::to_string(link.JVSkip());
            }
        } else if (r == 0 || r < -3) {
            break;
        }
    }
    out += " close " + std::to_string(link.JVClose());
    out += " rt " + std::to_string(link.JVRTOpen(kRaceOddsSpec, "2026010506010211"));
    out += " " + std::to_string(link.JVRTOpen(kDayResultsSpec, "2026xx05"));
    link.JVCancel();
    out += " close " + std::to_string(link.JVClose());
    return out;
}

class BridgeLinkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::WriteStoredFile(Feed(), "20260101090000", "a", {"RA1\r\n", "SE1\r\n"});
        test::WriteStoredFile(Feed(), "20260102090000", "b", {"HR2\r\n", "SE2\r\n", "SE2\r\n"});
        test::WriteStoredFile(Feed(), "20260103090000", "c", {"UM3\r\n"});
    }
    const std::filesystem::path& Feed() const { return m_feed.Path(); }
    std::vector<std::string> Replay() const { return {VORNAL_JVLINK_PATH, "--replay", Feed().string()}; }
    std::vector<std::string> Faulty(const std::string& mode, int at) const
    {
        return {VORNAL_FAULT_BRIDGE_PATH, Feed().string(), mode, std::to_string(at)};
    }

    test::TempDir m_feed;
};

TEST_F(BridgeLinkTest, EveryCallAndResultCodeIsRelayedAsTheLinkItselfAnswers)
{
    const std::vector<std::string> inis = {
        "",
        "[link]\nversion=0480\ndownload=2\nbusy=1\nlastFile=00000000000000\n",
        "[errors]\nJVRead=-403@3\nJVStatus=-502@2\nJVClose=-201\n",
        "[errors]\nJVOpen=-504\nJVSetUIProperties=-100\nJVRTOpen=-1\n",
        "[errors]\nJVInit=-103\n",
    };
    for (const std::string& ini : inis) {
        test::Spit(Feed() / "link.ini", ini);
        ReplayLink direct(Feed());
        BridgeLink bridged(Replay(), ShortDeadlines());
        const std::string expected = Transcript(direct);
        EXPECT_EQ(Transcript(bridged), expected) << ini;
        EXPECT_EQ(bridged.LastFailure(), "");
        EXPECT_EQ(bridged.BackendName(), "replay");
    }
    // The transcripts above did cover the codes that matter.
    test::Spit(Feed() / "link.ini", "[link]\nbusy=1\n[errors]\nJVRead=-403@4\n");
    ReplayLink direct(Feed());
    const std::string codes = Transcript(direct);
    for (const char* code : {" -3 ", " -1 ", " -403", "skip 0", "rt -1 -114"}) {
        EXPECT_NE(codes.find(code), std::string::npos) << code << " in " << codes;
    }
}

TEST_F(BridgeLinkTest, ARecordKeepsEveryByteValue)
{
    std::string line;
    for (int c = 0; c < 256; ++c) {
        if (c != '\r' && c != '\n') {
            line.push_back(static_cast<char>(c));
        }
    }
    test::WriteStoredFile(Feed(), "20260104090000", "d", {line + "\r\n"});
    BridgeLink link(Replay(), ShortDeadlines());
    ASSERT_EQ(link.JVInit(kJvSoftwareId), 0);
    ASSERT_EQ(link.JVOpen(kBulkDataSpec, "20260103090000", kBulkOpenOption).readCount, 1);
    std::string record;
    std::string fileName;
    ASSERT_EQ(link.JVRead(record, kJvReadBufferSize, fileName), 256);
    EXPECT_EQ(record, line + "\r\n");
    EXPECT_EQ(fileName, "20260104090000-d.jvd");
}

// Reads until the end or an error; the last code.
int ReadAll(JvLink& link, int& records)
{
    std::string record;
    std::string fileName;
    records = 0;
    for (;;) {
        const int r = link.JVRead(record, kJvReadBufferSize, fileName);
        if (r > 0) {
            ++records;
        } else if (r == 0 || r < -3) {
            return r;
        }
    }
}

TEST_F(BridgeLinkTest, ABridgeThatFailsFailsTheCallAndIsEnded)
{
    struct Case
    {
        std::string mode;
        std::string failure;
    };
    for (const Case& c : {Case{"exit", "JVRead: the bridge exited; the bridge was ended"},
                          Case{"hang", "JVRead: the bridge did not answer within 1.0 s; the bridge was ended"},
                          Case{"garbage", "JVRead: the bridge answered something that is not the protocol"}}) {
        BridgeDeadlines deadlines = ShortDeadlines();
        deadlines.call = 1s;
        BridgeLink link(Faulty(c.mode, 3), deadlines);
        ASSERT_EQ(link.JVInit(kJvSoftwareId), 0) << link.LastFailure();
        ASSERT_EQ(link.JVOpen(kBulkDataSpec, "20251231000000", kBulkOpenOption).code, 0);
        const pid_t pid = link.BridgeProcessId();
        const auto start = std::chrono::steady_clock::now();
        int records = 0;
        EXPECT_EQ(ReadAll(link, records), -502) << c.mode;
        EXPECT_LT(std::chrono::steady_clock::now() - start, 3s) << c.mode;
        EXPECT_EQ(records, 2) << c.mode;
        EXPECT_EQ(link.LastFailure().substr(0, c.failure.size()), c.failure);
        EXPECT_TRUE(ProcessGone(pid)) << c.mode << ": no process left behind";
        EXPECT_EQ(link.BridgeProcessId(), -1);
        // The next call starts a fresh bridge, initialised as the link was.
        EXPECT_EQ(link.JVOpen(kBulkDataSpec, "20260102090000", kBulkOpenOption).readCount, 1) << link.LastFailure();
        EXPECT_EQ(ReadAll(link, records), 0);
        EXPECT_EQ(records, 1);
        EXPECT_EQ(link.LastFailure(), "");
    }
}

TEST_F(BridgeLinkTest, ABridgeThatIsNoBridgeOrIsMissingFailsAtTheFirstCall)
{
    BridgeLink missing({"/nonexistent/vornal-jvlink", "--replay", Feed().string()}, ShortDeadlines());
    EXPECT_EQ(missing.JVInit(kJvSoftwareId), -401);
    EXPECT_EQ(missing.LastFailure().substr(0, 41), "JVInit: the bridge did not start: cannot ");
    EXPECT_EQ(missing.JVClose(), 0) << "nothing was opened";

    // A program that writes text instead of the greeting.
    BridgeLink echo({"echo", "hello"}, ShortDeadlines());
    EXPECT_EQ(echo.JVInit(kJvSoftwareId), -401);
    EXPECT_NE(echo.LastFailure().find("not the protocol"), std::string::npos) << echo.LastFailure();
    EXPECT_EQ(echo.BridgeProcessId(), -1);
}

TEST_F(BridgeLinkTest, ACancelReachesTheBridgeWhileAReadWaits)
{
    BridgeDeadlines deadlines = ShortDeadlines();
    deadlines.call = 20s;
    BridgeLink link(Faulty("hang", 1), deadlines);
    CancelFlag cancel;
    link.SetCancelFlag(&cancel);
    std::vector<std::string> progress;
    link.SetWaitProgress([&progress](const std::string& line) { progress.push_back(line); });
    ASSERT_EQ(link.JVInit(kJvSoftwareId), 0);
    ASSERT_EQ(link.JVOpen(kBulkDataSpec, "20251231000000", kBulkOpenOption).code, 0);
    const pid_t pid = link.BridgeProcessId();
    std::thread face([&cancel] {
        std::this_thread::sleep_for(1200ms);
        cancel.Set();
    });
    const auto start = std::chrono::steady_clock::now();
    std::string record;
    std::string fileName;
    EXPECT_EQ(link.JVRead(record, kJvReadBufferSize, fileName), -502);
    face.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_EQ(link.LastFailure().substr(0, 50), "JVRead: cancelled, and the bridge did not answer w");
    EXPECT_TRUE(ProcessGone(pid));
    ASSERT_FALSE(progress.empty()) << "a long wait shows progress";
    EXPECT_EQ(progress.front(), "JVRead: waiting for the bridge (1 s)");

    // The flag stays set until the next acquisition clears it; later calls are not cancelled.
    BridgeLink next(Replay(), ShortDeadlines());
    next.SetCancelFlag(&cancel);
    ASSERT_EQ(next.JVInit(kJvSoftwareId), 0);
    ASSERT_EQ(next.JVOpen(kBulkDataSpec, "20251231000000", kBulkOpenOption).code, 0);
    EXPECT_EQ(next.JVRead(record, kJvReadBufferSize, fileName), 5);
}

TEST(BridgeCommandLine, SplitsOnBlanksAndKeepsQuotedWordsWhole)
{
    using Words = std::vector<std::string>;
    EXPECT_EQ(SplitCommandLine("  vornal-jvlink   --replay  feed "), (Words{"vornal-jvlink", "--replay", "feed"}));
    EXPECT_EQ(SplitCommandLine(R"(wine "C:\Program Files\vornal-jvlink.exe" "" x\y)"),
              (Words{"wine", R"(C:\Program Files\vornal-jvlink.exe)", "", R"(x\y)"}));
    EXPECT_EQ(SplitCommandLine(R"(a "say \"hi\" \\ now")"), (Words{"a", R"(say "hi" \ now)"}));
    EXPECT_EQ(SplitCommandLine(R"(a "open)"), std::nullopt);
    EXPECT_EQ(SplitCommandLine("   "), std::nullopt);
}

} // namespace
} // namespace vornal
