#include <gtest/gtest.h>

#include "app/Clock.h"
#include "store/ReplayLink.h"
#include "text/Encoding.h"

#include "support/JvRecordBuilder.h"

namespace vornal {
namespace {

// Reads until the end or an error; -1 shows as "|", records as their first two bytes.
std::string Drain(JvLink& link, int limit = 1000)
{
    std::string seen;
    std::string record;
    std::string fileName;
    for (int i = 0; i < limit; ++i) {
        const int result = link.JVRead(record, kJvReadBufferSize, fileName);
        if (result > 0) {
            EXPECT_EQ(static_cast<std::size_t>(result), record.size());
            EXPECT_TRUE(record.ends_with("\r\n"));
            seen += record.substr(0, 2);
        } else if (result == kJvReadNextFile) {
            seen += "|";
        } else if (result == kJvReadBusy) {
            seen += ".";
        } else {
            return seen + "=" + std::to_string(result);
        }
    }
    return seen + "...";
}

class ReplayLinkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::WriteStoredFile(Feed(), "20260101090000", "a", {"RA1\r\n", "SE1\r\n"});
        test::WriteStoredFile(Feed(), "20260102090000", "b", {"HR2\r\n"});
        // Line feeds alone and empty lines are accepted too.
        test::Spit(Feed() / "stored" / "20260103090000-c.jvd", "UM3\n\nKS3");
        test::Spit(Feed() / "stored" / "notes.txt", "ignored");
    }
    const std::filesystem::path& Feed() const { return m_feed.Path(); }
    void Ini(const std::string& text) { test::Spit(Feed() / "link.ini", text); }

    test::TempDir m_feed;
};

TEST_F(ReplayLinkTest, OpenServesNewerFilesInNameOrder)
{
    ReplayLink link(Feed());
    ASSERT_EQ(link.JVInit(kJvSoftwareId), 0);
    const JvOpenResult open = link.JVOpen(kBulkDataSpec, "20260101090000", kBulkOpenOption);
    EXPECT_EQ(open.code, 0);
    EXPECT_EQ(open.readCount, 2);
    EXPECT_EQ(open.downloadCount, 0);
    EXPECT_EQ(open.lastFileTimestamp, "20260103090000");
    EXPECT_EQ(Drain(link), "HR|UMKS=0");
    EXPECT_EQ(link.JVClose(), 0);

    ASSERT_EQ(link.JVOpen(kBulkDataSpec, "20251231000000", kBulkOpenOption).readCount, 3);
    EXPECT_EQ(Drain(link), "RASE|HR|UMKS=0");
    link.JVClose();
}

TEST_F(ReplayLinkTest, SkipLeavesTheRestOfTheFileUnread)
{
    ReplayLink link(Feed());
    std::string record;
    std::string fileName;
    EXPECT_EQ(link.JVSkip(), -201) << "before JVInit";
    link.JVInit(kJvSoftwareId);
    EXPECT_EQ(link.JVSkip(), -203) << "before an open";
    ASSERT_EQ(link.JVOpen(kBulkDataSpec, "20251231000000", kBulkOpenOption).readCount, 3);
    ASSERT_GT(link.JVRead(record, kJvReadBufferSize, fileName), 0);
    EXPECT_EQ(record, "RA1\r\n");
    EXPECT_EQ(link.JVSkip(), 0);
    // The skipped SE1 never comes; the next file does. Skipping a file not yet begun skips it.
    EXPECT_EQ(Drain(link, 1), "|...");
    EXPECT_EQ(link.JVSkip(), 0);
    EXPECT_EQ(Drain(link), "|UMKS=0");
    EXPECT_EQ(link.JVSkip(), 0) << "at the end nothing is left to skip";
    EXPECT_EQ(Drain(link), "=0");
}

TEST_F(ReplayLinkTest, RecordsKeepTheirBytesAndFileName)
{
    const std::string record = test::RaRecord('1', {}, "\x83\x5C\x83\x5C");
    test::WriteStoredFile(Feed(), "20260104090000", "d", {record});
    ReplayLink link(Feed());
    link.JVInit(kJvSoftwareId);
    link.JVOpen(kBulkDataSpec, "20260103090000", kBulkOpenOption);
    std::string read;
    std::string fileName;
    EXPECT_EQ(link.JVRead(read, kJvReadBufferSize, fileName), 1272);
    EXPECT_EQ(read, record);
    EXPECT_EQ(fileName, "20260104090000-d.jvd");
    EXPECT_EQ(link.JVRead(read, 100, fileName), kJvReadEnd);
}

TEST_F(ReplayLinkTest, NoNewerDataAndWrongCalls)
{
    ReplayLink link(Feed());
    EXPECT_EQ(link.JVOpen(kBulkDataSpec, "20200101000000", 2).code, -201); // before JVInit
    link.JVInit(kJvSoftwareId);
    EXPECT_EQ(link.JVOpen(kBulkDataSpec, "20260103090000", 2).code, kJvOpenNoData);
    EXPECT_EQ(link.JVOpen(kBulkDataSpec, "2026/01/01", 2).code, -112);
    EXPECT_EQ(link.JVOpen(kBulkDataSpec, "20200101000000", 9).code, -115);
    EXPECT_EQ(link.JVOpen(kBulkDataSpec, "20200101000000", 2).code, 0);
    EXPECT_EQ(link.JVOpen(kBulkDataSpec, "20200101000000", 2).code, -202); // still open
    link.JVClose();
    EXPECT_EQ(link.JVStatus(), -203);

    Ini("[link]\nnoData=0\n");
    ReplayLink empty(Feed());
    empty.JVInit(kJvSoftwareId);
    const JvOpenResult open = empty.JVOpen(kBulkDataSpec, "20260103090000", 2);
    EXPECT_EQ(open.code, 0);
    EXPECT_EQ(open.readCount, 0);
    EXPECT_EQ(Drain(empty), "=0");
}

TEST_F(ReplayLinkTest, DownloadsProgressThroughStatus)
{
    Ini("; two files still to fetch\n[link]\ndownload=2\nstatusStep=1\nversion=0480\nlastFile=00000000000000\n");
    ReplayLink link(Feed());
    EXPECT_EQ(link.Version(), "0480");
    link.JVInit(kJvSoftwareId);
    const JvOpenResult open = link.JVOpen(kBulkDataSpec, "20251231000000", 2);
    EXPECT_EQ(open.downloadCount, 2);
    EXPECT_EQ(open.lastFileTimestamp, "00000000000000");
    EXPECT_EQ(link.JVStatus(), 0);
    EXPECT_EQ(link.JVStatus(), 1);
    EXPECT_EQ(link.JVStatus(), 2);
    EXPECT_EQ(link.JVStatus(), 2);
}

TEST_F(ReplayLinkTest, InjectedErrorsAtAChosenCallOrRecord)
{
    Ini("[link]\nbusy=1\n[errors]\nJVRead=-403@3\nJVStatus=-502@2\nJVClose=-1@2\nJVOpen=-504@2\n");
    ReplayLink link(Feed());
    link.JVInit(kJvSoftwareId);
    ASSERT_EQ(link.JVOpen(kBulkDataSpec, "20251231000000", 2).code, 0);
    EXPECT_EQ(link.JVStatus(), 0);
    EXPECT_EQ(link.JVStatus(), -502);
    // The third record is preceded by the error once, then comes as usual.
    EXPECT_EQ(Drain(link, 7), ".RA.SE|.=-403");
    EXPECT_EQ(Drain(link), "HR|.UM.KS=0");
    EXPECT_EQ(link.JVClose(), 0);
    EXPECT_EQ(link.JVOpen(kBulkDataSpec, "20251231000000", 2).code, -504);
    EXPECT_EQ(link.JVClose(), -1);
    EXPECT_EQ(link.JVOpen(kBulkDataSpec, "20251231000000", 2).code, 0);
}

TEST_F(ReplayLinkTest, EveryCallCanFail)
{
    Ini("[errors]\nJVInit=-101\nJVRTOpen=-504\nJVSetUIProperties=-100\n");
    ReplayLink link(Feed());
    EXPECT_EQ(link.JVInit(kJvSoftwareId), -101);
    EXPECT_EQ(link.JVInit(kJvSoftwareId), -101);
    EXPECT_EQ(link.JVRTOpen(kDayResultsSpec, "20260105"), -504);
    EXPECT_EQ(link.JVSetUIProperties(), -100);
}

TEST_F(ReplayLinkTest, RealTimeReadsByDayOrRaceKey)
{
    test::Spit(Feed() / "realtime" / "0B12" / "20260105.jvd", "RAx\r\nSEx\r\n");
    test::Spit(Feed() / "realtime" / "0B30" / "2026010506010101.jvd", "O1x\r\n");
    ReplayLink link(Feed());
    link.JVInit(kJvSoftwareId);
    ASSERT_EQ(link.JVRTOpen(kDayResultsSpec, "20260105"), 0);
    EXPECT_EQ(Drain(link), "RASE=0");
    link.JVClose();
    ASSERT_EQ(link.JVRTOpen(kRaceOddsSpec, "2026010506010101"), 0);
    EXPECT_EQ(Drain(link), "O1=0");
    link.JVClose();
    EXPECT_EQ(link.JVRTOpen(kDayResultsSpec, "20260106"), kJvOpenNoData);
    EXPECT_EQ(link.JVRTOpen(kDayResultsSpec, "../../x"), -114);
    EXPECT_EQ(link.JVRTOpen(kRaceOddsSpec, "2026010506/../01"), -114);
    EXPECT_EQ(link.JVRTOpen("0B99", "20260105"), -111);
}

// A race's odds file of announcements: with a clock the link answers as the service would
// at that moment, the newest O1 and O2 announced by then (the eve's announcement of 31
// December counts for a race of 1 January), and nothing before the first.
TEST_F(ReplayLinkTest, RaceOddsFollowTheClock)
{
    auto odds = [](const char* kind, const char* announced) {
        return std::string(kind) + "120251231" + "2026010106010111" + announced + "\r\n";
    };
    test::Spit(Feed() / "realtime" / "0B30" / "2026010106010111.jvd",
               odds("O1", "12311700") + odds("O1", "01010900") + odds("O1", "01010910") + odds("O2", "01010910") +
                   "AVx\r\n");
    ReplayLink link(Feed());
    link.JVInit(kJvSoftwareId);
    FixedClock clock({2025, 12, 31, 16, 59, 0});
    link.SetClock(&clock);
    EXPECT_EQ(link.JVRTOpen(kRaceOddsSpec, "2026010106010111"), kJvOpenNoData);
    clock.Set({2026, 1, 1, 9, 5, 0});
    ASSERT_EQ(link.JVRTOpen(kRaceOddsSpec, "2026010106010111"), 0);
    std::string record;
    std::string file;
    ASSERT_GT(link.JVRead(record, kJvReadBufferSize, file), 0);
    EXPECT_EQ(record.substr(27, 8), "01010900");
    ASSERT_GT(link.JVRead(record, kJvReadBufferSize, file), 0);
    EXPECT_EQ(record.substr(0, 2), "AV");
    EXPECT_EQ(link.JVRead(record, kJvReadBufferSize, file), kJvReadEnd);
    link.JVClose();
    clock.Set({2026, 1, 1, 12, 0, 0});
    ASSERT_EQ(link.JVRTOpen(kRaceOddsSpec, "2026010106010111"), 0);
    EXPECT_EQ(Drain(link), "O1O2AV=0");
    link.JVClose();
    // Without a clock the file is served whole, as before.
    link.SetClock(nullptr);
    ASSERT_EQ(link.JVRTOpen(kRaceOddsSpec, "2026010106010111"), 0);
    EXPECT_EQ(Drain(link), "O1O1O1O2AV=0");
}

TEST_F(ReplayLinkTest, SettingsDialogChoosesTheFeed)
{
    ReplayLink link(Feed());
    EXPECT_EQ(link.JVSetUIProperties(), 0);
    test::TempDir other;
    link.SetFolderChooser([&]() -> std::optional<std::filesystem::path> { return other.Path(); });
    EXPECT_EQ(link.JVSetUIProperties(), 0);
    EXPECT_EQ(link.FeedFolder(), other.Path());
    link.SetFolderChooser([]() -> std::optional<std::filesystem::path> { return std::nullopt; });
    EXPECT_EQ(link.JVSetUIProperties(), -100);
    EXPECT_EQ(link.FeedFolder(), other.Path());
}

TEST(JvLinkStart, InitErrorAndVersionNotice)
{
    test::TempDir feed;
    ReplayLink current(feed.Path());
    EXPECT_EQ(InitJvLink(current), "");

    test::Spit(feed.Path() / "link.ini", "[link]\nversion=0480\n");
    ReplayLink old(feed.Path());
    EXPECT_EQ(InitJvLink(old), Sjis("ご利用中のJV-Linkのバージョンは[4.8.0]です。\r\n"
                                    "本ソフトのご利用にはバージョン[4.9.0]以上が必要です。\r\n"
                                    "JRA-VANのホームページより最新のJV-Linkを入手し、インストールしてください。"));

    test::Spit(feed.Path() / "link.ini", "[errors]\nJVInit=-103\n");
    ReplayLink failing(feed.Path());
    EXPECT_EQ(InitJvLink(failing), Sjis("JVInitエラー：sid が不正（sid の１桁目がスペース）です。(-103)"));
}

} // namespace
} // namespace vornal
