#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/AppDir.h"
#include "app/SettingKeys.h"
#include "store/Acquisition.h"
#include "store/LinkChoice.h"
#include "store/ReplayLink.h"
#include "store/StoreLines.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"

#include "store/AcquisitionSupport.h"

namespace vornal {
namespace {

using test::RaceId;

RaceId Race(std::string date, std::string course, int race)
{
    RaceId id;
    id.date = std::move(date);
    id.course = std::move(course);
    id.race = race;
    return id;
}

class AcquisitionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureAppFolders(App()));
        const RaceId jan4 = Race("20260104", "06", 1);
        test::WriteStoredFile(Feed(), "20260103120000", "a",
                              {test::RaRecord('2', jan4), test::SeRecord('2', jan4, 1, "2019104567"),
                               test::SeRecord('2', jan4, 2, "2019104568"), test::HrRecord('2', jan4),
                               test::MasterRecord("KS", "00001"), test::MasterRecord("CH", "00002"),
                               test::MasterRecord("UM", "2019104567")});
        test::WriteStoredFile(Feed(), "20260104120000", "b",
                              {test::RaRecord('7', jan4), test::SeRecord('7', jan4, 1, "2019104567")});
        const RaceId jan10 = Race("20260110", "09", 11);
        test::WriteStoredFile(Feed(), "20260109180000", "c",
                              {test::RaRecord('1', jan10), test::SeRecord('1', jan10, 5, "2019104569"),
                               test::MasterRecord("KS", "00003")});
    }

    const std::filesystem::path& App() const { return m_app.Path(); }
    const std::filesystem::path& Feed() const { return m_feed.Path(); }
    void Ini(const std::string& text) { test::Spit(Feed() / "link.ini", text); }
    std::string LastTime() const { return kLastAcquisitionTime.Read(m_settings); }

    // A fresh link (it reads link.ini when made) and acquisition window.
    Acquisition& Window()
    {
        m_link = std::make_unique<ReplayLink>(Feed());
        m_link->JVInit(kJvSoftwareId);
        m_window = std::make_unique<Acquisition>(*m_link, App(), m_settings, m_clock, m_cancel, m_view);
        return *m_window;
    }
    // Polls the status timer until the download is over.
    void RunTimer(Acquisition& window)
    {
        for (int tick = 0; tick < 100 && window.State() == AcquisitionState::Downloading; ++tick) {
            window.PollStatus();
        }
    }

    test::TempDir m_app;
    test::TempDir m_feed;
    Settings m_settings{SettingsFile(m_app.Path())};
    FixedClock m_clock{{2026, 1, 10, 10, 0, 0}};
    CancelFlag m_cancel;
    test::RecordingView m_view;
    std::unique_ptr<ReplayLink> m_link;
    std::unique_ptr<Acquisition> m_window;
};

// The component ends every file with -1, the last one too, before it answers 0.
class EveryFileEndedLink : public ReplayLink
{
public:
    using ReplayLink::ReplayLink;
    int JVRead(std::string& record, int bufferSize, std::string& fileName) override
    {
        const int result = ReplayLink::JVRead(record, bufferSize, fileName);
        if (result == 0 && !m_lastEnded) {
            m_lastEnded = true;
            return -1;
        }
        return result;
    }

private:
    bool m_lastEnded = false;
};

TEST_F(AcquisitionTest, TheEndCountsEveryFileReadWhicheverWayTheLinkEndsTheLast)
{
    EveryFileEndedLink link(Feed());
    link.JVInit(kJvSoftwareId);
    Acquisition acquisition(link, App(), m_settings, m_clock, m_cancel, m_view);
    acquisition.Start();
    EXPECT_EQ(acquisition.Outcome(), AcquisitionOutcome::Completed);
    EXPECT_EQ(m_view.Only("label").back(), "label0 データ読込み完了(3/3)");
}

TEST_F(AcquisitionTest, CompleteRunStoresReportsAndMovesTheFromTime)
{
    Acquisition& window = Window();
    EXPECT_EQ(window.FromTime(), (LocalDateTime{2026, 1, 2, 10, 0, 0})); // eight days before now
    window.Start();
    EXPECT_EQ(window.Outcome(), AcquisitionOutcome::Completed);
    const std::vector<std::string> created = {
        "作成済み:01R/2026年01月04日.jvRA",
        "作成済み:01R/01番/2026年01月04日中山.jvSEr",
        "作成済み:01R/02番/2026年01月04日中山.jvSEr",
        "作成済み:01R/2026年01月04日.jvHR",
        "作成済み:01R/2026010406.jvSERA",
        "作成済み:2026年01月04日中山01R/2019104567.jvSEI",
        "作成済み:11R/2026年01月10日.jvRA",
        "作成済み:11R/05番/2026年01月10日阪神.jvSEr",
        "作成済み:2026年01月04日.jvKS",
        "作成済み:2026年01月10日.jvKS",
        "作成済み:2026年01月04日.jvCH",
        "作成済み:2026年01月10日.jvCH",
        "作成済み:2026年01月04日.jvUM2",
        "作成済み:2026年01月10日.jvUM2",
    };
    EXPECT_EQ(m_view.created, created);
    const std::vector<std::string> labels = {
        "label0 JVOpen正常:正常に実行されました。(0)",
        "label0 ReadCount:3, DownloadCount:0",
        "label0 データ読込み中．．．(0/3)",
        "label0 データ読込み中．．．(1/3)",
        "label0 データ読込み中．．．(2/3)",
        "label0 JVRead EndOfFile :0",
        "label0 データ読込み完了(3/3)",
    };
    EXPECT_EQ(m_view.Only("label"), labels);
    EXPECT_EQ(m_view.events.front(), "message データ取込を開始します。データ作成が終了するまで本ソフトを操作したり他"
                                     "のアプリケーションを操作することは極力避けてください。");
    EXPECT_EQ(m_view.Only("beep").size(), 2u); // end of the read, then the close
    EXPECT_EQ(m_view.bars[1], "0/100");
    EXPECT_FALSE(m_view.busy);
    EXPECT_EQ(window.DateList(), (std::set<std::string>{DayNameFromDigits("20260104"), DayNameFromDigits("20260110")}));
    // Nothing to download: the next run starts from the newest file.
    EXPECT_EQ(LastTime(), "2026/01/09 18:00:00");
    EXPECT_EQ(window.FromTime(), (LocalDateTime{2026, 1, 9, 18, 0, 0}));
    EXPECT_EQ(SplitLines(test::Slurp(JockeyMasterFile(App(), DayNameFromDigits("20260104")))).size(), 2u);
}

// A settings file that cannot be written: the records stay stored, but the run does not end
// as complete, since the next run would start again from the old time.
TEST_F(AcquisitionTest, AnUnsavedFromTimeIsAFailureNotACompletion)
{
    std::filesystem::create_directory(SettingsFile(App())); // the settings file cannot be replaced
    Acquisition& window = Window();
    window.Start();
    EXPECT_EQ(window.Outcome(), AcquisitionOutcome::StoreFailed);
    ASSERT_FALSE(m_view.Only("message").empty());
    EXPECT_NE(m_view.Only("message").back().find("に取得日時を書き込めません。"), std::string::npos)
        << m_view.Only("message").back();
    EXPECT_TRUE(std::filesystem::exists(RaceFile(App(), DayNameFromDigits("20260110"))));
}

TEST_F(AcquisitionTest, RunWithDownloadsReadsAfterTheTimerAndKeepsTheFromTime)
{
    Ini("[link]\ndownload=2\n");
    Acquisition& window = Window();
    window.Start();
    ASSERT_EQ(window.State(), AcquisitionState::Downloading);
    EXPECT_TRUE(m_view.Shows("label0 ダウンロード中・・・"));
    EXPECT_TRUE(test::Tree(DataDir(App())).empty());
    RunTimer(window);
    EXPECT_EQ(window.Outcome(), AcquisitionOutcome::Completed);
    EXPECT_TRUE(m_view.Shows("label0 ダウンロード中．．．(1/2)"));
    EXPECT_TRUE(m_view.Shows("label0 ダウンロード中．．．(2/2)"));
    EXPECT_EQ(m_view.created.size(), 14u);
    EXPECT_EQ(LastTime(), "");
    EXPECT_EQ(window.FromTime(), (LocalDateTime{2026, 1, 2, 10, 0, 0}));
}

TEST_F(AcquisitionTest, ZeroTimestampLeavesTheFromTime)
{
    Ini("[link]\nlastFile=00000000000000\n");
    ASSERT_TRUE(kLastAcquisitionTime.Write(m_settings, "2026/01/01 00:00:00"));
    Acquisition& window = Window();
    EXPECT_EQ(window.FromTime(), (LocalDateTime{2026, 1, 1, 0, 0, 0}));
    window.Start();
    EXPECT_EQ(window.Outcome(), AcquisitionOutcome::Completed);
    EXPECT_EQ(LastTime(), "2026/01/01 00:00:00");
}

TEST_F(AcquisitionTest, NoNewerDataEitherWay)
{
    ASSERT_TRUE(kLastAcquisitionTime.Write(m_settings, "2026/01/09 18:00:00"));
    Acquisition& window = Window();
    window.Start();
    EXPECT_EQ(window.Outcome(), AcquisitionOutcome::NoData);
    EXPECT_TRUE(m_view.Shows("message 最新のデータがありません。"));

    Ini("[link]\nnoData=0\n");
    m_view.events.clear();
    Acquisition& second = Window();
    second.Start();
    EXPECT_EQ(second.Outcome(), AcquisitionOutcome::NoData);
    EXPECT_TRUE(m_view.Shows("message 最新のデータがありません。"));
    EXPECT_TRUE(m_view.Only("label").empty());
    EXPECT_EQ(LastTime(), "2026/01/09 18:00:00");
}

TEST_F(AcquisitionTest, ComponentErrorsAreShownWithTheirPrefix)
{
    Ini("[errors]\nJVOpen=-301\nJVClose=-1\n");
    Window().Start();
    EXPECT_EQ(m_window->Outcome(), AcquisitionOutcome::OpenFailed);
    EXPECT_TRUE(m_view.Shows("message JVOpenエラー:認証エラーが発生しました。(-301)"));
    EXPECT_TRUE(m_view.Shows("message JVCloseエラー:(-1)"));

    Ini("[link]\ndownload=3\n[errors]\nJVStatus=-502@2\n");
    m_view.events.clear();
    Acquisition& window = Window();
    window.Start();
    RunTimer(window);
    EXPECT_EQ(window.Outcome(), AcquisitionOutcome::StatusFailed);
    EXPECT_TRUE(
        m_view.Shows("message JVStatusエラー:ダウンロードに失敗しました。（通信エラーやディスクエラーなど）(-502)"));
    EXPECT_EQ(window.State(), AcquisitionState::Idle);
    EXPECT_TRUE(test::Tree(DataDir(App())).empty());
}

TEST_F(AcquisitionTest, ReadErrorKeepsEarlierRecordsButWritesNoMasters)
{
    Ini("[errors]\nJVRead=-502@10\n");
    Acquisition& window = Window();
    window.Start();
    EXPECT_EQ(window.Outcome(), AcquisitionOutcome::ReadFailed);
    EXPECT_TRUE(m_view.Shows("message JVReadエラー:ダウンロードに失敗しました。(通信エラーやディスクエラー)(-502)（3 "
                             "番目のファイルの 1 件目）"))
        << testing::PrintToString(m_view.Only("message"));
    // The first nine records are stored, the tenth never came.
    EXPECT_TRUE(std::filesystem::exists(RaceFile(App(), DayNameFromDigits("20260104"))));
    EXPECT_TRUE(std::filesystem::exists(HorseHistoryFile(App(), "2019104567")));
    EXPECT_FALSE(std::filesystem::exists(RaceFile(App(), DayNameFromDigits("20260110"))));
    EXPECT_FALSE(std::filesystem::exists(JockeyMasterFile(App(), DayNameFromDigits("20260104"))));
    // The unread files must be asked for again.
    EXPECT_EQ(LastTime(), "");
}

TEST_F(AcquisitionTest, CancelDuringReadKeepsEarlierRecordsButWritesNoMasters)
{
    Acquisition& window = Window();
    m_view.onCreated = [&] {
        if (m_view.created.size() == 4) {
            m_cancel.Set(); // the user says Yes to the question on the window's thread
        }
    };
    window.Start();
    EXPECT_EQ(window.Outcome(), AcquisitionOutcome::Cancelled);
    EXPECT_TRUE(m_cancel.IsSet());
    EXPECT_TRUE(m_view.Shows("message JVCancel:キャンセルされました"));
    EXPECT_TRUE(m_view.Shows("label0 JVCancel:キャンセルされました"));
    EXPECT_EQ(m_view.created.size(), 4u);
    EXPECT_EQ(SplitLines(test::Slurp(PayoutFile(App(), DayNameFromDigits("20260104")))).size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(JockeyMasterFile(App(), DayNameFromDigits("20260104"))));
    EXPECT_EQ(LastTime(), "");
    // A new start clears the flag and runs to the end.
    m_view.onCreated = nullptr;
    window.Start();
    EXPECT_EQ(window.Outcome(), AcquisitionOutcome::Completed);
    EXPECT_FALSE(m_cancel.IsSet());
}

TEST_F(AcquisitionTest, CancelDuringDownloadStopsTheTimerWithoutClosing)
{
    Ini("[link]\ndownload=3\n[errors]\nJVClose=-1\n");
    Acquisition& window = Window();
    window.Start();
    window.PollStatus();
    window.Cancel();
    EXPECT_EQ(window.State(), AcquisitionState::Idle);
    window.PollStatus(); // the timer is stopped: nothing happens
    EXPECT_EQ(window.Outcome(), AcquisitionOutcome::Cancelled);
    EXPECT_FALSE(m_view.Shows("message JVCloseエラー:(-1)"));
    EXPECT_TRUE(test::Tree(DataDir(App())).empty());
}

TEST_F(AcquisitionTest, BusyReadsAreRetried)
{
    Ini("[link]\nbusy=2\n");
    Window().Start();
    EXPECT_EQ(m_window->Outcome(), AcquisitionOutcome::Completed);
    EXPECT_EQ(m_view.created.size(), 14u);
}

// A record the component cannot hand out (a damaged line of a downloaded file) is named by
// file and place and passed over; the rest of the run, its masters and the new from-time
// follow, so a rerun does not stop at the same line for good.
TEST_F(AcquisitionTest, ADamagedLineIsNamedAndPassedOver)
{
    Ini("[errors]\nJVRead=-403@2\n");
    Window().Start();
    EXPECT_EQ(m_window->Outcome(), AcquisitionOutcome::Completed);
    EXPECT_NE(
        std::find(
            m_view.created.begin(), m_view.created.end(),
            "スキップ:JVReadエラー:ダウンロードしたファイル内容が異常です。(-403)（20260103120000-a.jvd の 2 件目）"),
        m_view.created.end());
    EXPECT_EQ(m_window->Skips().at(Sjis("読込エラー")), 1);
    EXPECT_TRUE(std::filesystem::exists(JockeyMasterFile(App(), DayNameFromDigits("20260110"))));
    EXPECT_EQ(LastTime(), "2026/01/09 18:00:00");
}

// The wait for arriving data and the bridge's deadlines come from the settings file; a value
// no wait can be reads as the default and says which key it was.
TEST_F(AcquisitionTest, WaitsOfTheSettingsFileAreCheckedAndNamed)
{
    EXPECT_EQ(Window().ArrivalWaitLimit(), std::chrono::minutes(5));
    EXPECT_TRUE(Window().SettingWarning().empty());
    test::Spit(SettingsFile(App()), "[JVLink]\r\nArrivalWaitSeconds=7200\r\nCallSeconds=0\r\nLongCallSeconds=90\r\n");
    EXPECT_EQ(Window().ArrivalWaitLimit(), std::chrono::hours(2));
    Result<LinkChoice> choice = ReadLinkChoice(m_settings, Feed());
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice.value.deadlines.call, std::chrono::seconds(60));
    EXPECT_EQ(choice.value.deadlines.longCall, std::chrono::seconds(90));
    ASSERT_EQ(choice.value.warnings.size(), 1U);
    EXPECT_NE(choice.value.warnings[0].find("[JVLink] CallSeconds"), std::string::npos);

    test::Spit(SettingsFile(App()), "[JVLink]\r\nArrivalWaitSeconds=2000000000\r\n");
    EXPECT_EQ(Window().ArrivalWaitLimit(), std::chrono::minutes(5));
    EXPECT_NE(Window().SettingWarning().find("[JVLink] ArrivalWaitSeconds"), std::string::npos);
}

// A component that keeps answering "still arriving" is shown as waiting, can be cancelled,
// and is given up after the wait limit with a read error: the from-time stays.
TEST_F(AcquisitionTest, AWaitForDataIsShownCancellableAndEnds)
{
    Ini("[link]\nbusy=2000000000\n");
    Acquisition& window = Window();
    window.SetArrivalWaitLimit(std::chrono::milliseconds(1200));
    window.Start();
    EXPECT_EQ(window.Outcome(), AcquisitionOutcome::ReadFailed);
    EXPECT_TRUE(m_view.Shows("label0 データ到着待ち．．．(1 秒、中止できます)"));
    EXPECT_TRUE(m_view.Shows("message JVReadエラー:データの到着を 1 "
                             "秒待ちましたが届きません。取込みを中止しました。（1 番目のファイルの 1 件目）"))
        << testing::PrintToString(m_view.Only("message"));
    EXPECT_EQ(LastTime(), "");

    window.SetArrivalWaitLimit(std::chrono::minutes(5));
    std::thread user([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        m_cancel.Set();
    });
    window.Start();
    user.join();
    EXPECT_EQ(window.Outcome(), AcquisitionOutcome::Cancelled);
}

// An empty feed file is one still being written: the run stops its from-time before it, and
// the next run reads it once it is filled.
TEST_F(AcquisitionTest, AnEmptyFeedFileIsReadWhenItFills)
{
    test::WriteStoredFile(Feed(), "20260109200000", "d", {});
    Window().Start();
    EXPECT_EQ(m_window->Outcome(), AcquisitionOutcome::Completed);
    EXPECT_EQ(LastTime(), "2026/01/09 18:00:00");

    const RaceId jan11 = Race("20260111", "09", 1);
    test::WriteStoredFile(Feed(), "20260109200000", "d", {test::RaRecord('1', jan11)});
    Window().Start();
    EXPECT_EQ(m_window->Outcome(), AcquisitionOutcome::Completed);
    EXPECT_TRUE(std::filesystem::exists(RaceFile(App(), DayNameFromDigits("20260111"))));
    EXPECT_EQ(LastTime(), "2026/01/09 20:00:00");
}

TEST_F(AcquisitionTest, MastersOfEarlierStartsReachTheNextRunsDates)
{
    Acquisition& window = Window();
    window.Start();
    // A second feed file with a new date and no masters, read by a second start.
    test::WriteStoredFile(Feed(), "20260110090000", "d", {test::RaRecord('1', Race("20260111", "05", 1))});
    window.Start();
    ASSERT_EQ(window.Outcome(), AcquisitionOutcome::Completed);
    EXPECT_EQ(window.DateList(), std::set<std::string>{DayNameFromDigits("20260111")});
    EXPECT_EQ(window.Masters().jockeys.size(), 2u);
    EXPECT_EQ(SplitLines(test::Slurp(JockeyMasterFile(App(), DayNameFromDigits("20260111")))).size(), 2u);
}

TEST_F(AcquisitionTest, MasterFilesOfPastMonthDaysAreKept)
{
    const std::string past = DayNameFromDigits("20260104");
    const std::string today = DayNameFromDigits("20260110");
    test::Spit(JockeyMasterFile(App(), past), "kept\r\n");
    test::Spit(JockeyMasterFile(App(), today), "replaced\r\n");
    Window().Start();
    ASSERT_EQ(m_window->Outcome(), AcquisitionOutcome::Completed);
    EXPECT_EQ(test::Slurp(JockeyMasterFile(App(), past)), "kept\r\n");
    EXPECT_EQ(SplitLines(test::Slurp(JockeyMasterFile(App(), today))).size(), 2u);
    EXPECT_EQ(std::count(m_view.created.begin(), m_view.created.end(), "作成済み:2026年01月04日.jvKS"), 0);
    EXPECT_EQ(std::count(m_view.created.begin(), m_view.created.end(), "作成済み:2026年01月10日.jvKS"), 1);

    // A day later the 10th is past too and keeps what it has.
    m_clock.Set({2026, 1, 11, 8, 0, 0});
    test::Spit(JockeyMasterFile(App(), today), "kept too\r\n");
    ASSERT_TRUE(kLastAcquisitionTime.Write(m_settings, "2026/01/01 00:00:00"));
    Window().Start();
    EXPECT_EQ(test::Slurp(JockeyMasterFile(App(), today)), "kept too\r\n");
}

TEST_F(AcquisitionTest, DateReachedOnlyThroughRunnersGetsNoMasters)
{
    test::TempDir feed;
    const RaceId jan12 = Race("20260112", "06", 3);
    test::WriteStoredFile(feed.Path(), "20260109000000", "a",
                          {test::SeRecord('0', jan12, 4, "2019104567"), test::MasterRecord("KS", "00001")});
    ReplayLink link(feed.Path());
    link.JVInit(kJvSoftwareId);
    Acquisition window(link, App(), m_settings, m_clock, m_cancel, m_view);
    window.Start();
    ASSERT_EQ(window.Outcome(), AcquisitionOutcome::Completed);
    EXPECT_TRUE(std::filesystem::exists(RunnerFile(App(), DayNameFromDigits("20260112"), "06")));
    EXPECT_EQ(test::Tree(DataDir(App())).size(), 1u);
    EXPECT_TRUE(window.DateList().empty());
}

TEST_F(AcquisitionTest, SameFeedTwiceGivesTheSameStore)
{
    Window().Start();
    const auto first = test::Tree(App());
    ASSERT_TRUE(kLastAcquisitionTime.Write(m_settings, "2026/01/02 10:00:00"));
    Window().Start();
    EXPECT_EQ(m_window->Outcome(), AcquisitionOutcome::Completed);
    auto second = test::Tree(App());
    EXPECT_EQ(second, first);
}

TEST(AcquisitionTimes, TextAndDigitForms)
{
    EXPECT_EQ(ParseAcquisitionTime("2026/01/05 09:30:15"), (LocalDateTime{2026, 1, 5, 9, 30, 15}));
    EXPECT_FALSE(ParseAcquisitionTime("2026/02/30 09:30:15"));
    EXPECT_FALSE(ParseAcquisitionTime("2026/01/05 24:00:00"));
    EXPECT_FALSE(ParseAcquisitionTime("2026-01-05 09:30:15"));
    EXPECT_FALSE(ParseAcquisitionTime("2026/1/5 9:30:15"));
    EXPECT_EQ(ParseTimestampDigits("20260109180000"), (LocalDateTime{2026, 1, 9, 18, 0, 0}));
    EXPECT_FALSE(ParseTimestampDigits("00000000000000"));
    EXPECT_FALSE(ParseTimestampDigits("2026010918000"));
}

} // namespace
} // namespace vornal
