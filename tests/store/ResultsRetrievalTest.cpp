#include <gtest/gtest.h>

#include "app/AppDir.h"
#include "store/ReplayLink.h"
#include "store/ResultsRetrieval.h"
#include "store/StoreLines.h"
#include "store/StorePaths.h"

#include "support/JvRecordBuilder.h"

namespace vornal {
namespace {

using test::RaceId;

RaceId Race(std::string date, int race)
{
    RaceId id;
    id.date = std::move(date);
    id.race = race;
    return id;
}

class ResultsRetrievalTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureAppFolders(App()));
        std::string bytes;
        for (const std::string& record : {
                 test::RaRecord('2', Race("20260105", 1), "result"),
                 test::SeRecord('7', Race("20260105", 1), 3, "2019104567"),
                 test::HrRecord('2', Race("20260105", 1)),
                 test::RaRecord('2', Race("20260104", 2)), // another day, filed under its own date
                 test::MasterRecord("UM", "2019104567"),
             }) {
            bytes += record;
        }
        test::Spit(Feed() / "realtime" / "0B12" / "20260105.jvd", bytes);
        m_link.JVInit(kJvSoftwareId);
    }
    const std::filesystem::path& App() const { return m_app.Path(); }
    const std::filesystem::path& Feed() const { return m_feed.Path(); }
    RetrievalReport Run(bool raceSelected = true)
    {
        return RetrieveResults(m_link, App(), test::RaRecord('1', Race("20260105", 1)), raceSelected, m_cancel,
                               m_progress, [this] { ++m_beeps; });
    }

    test::TempDir m_app;
    test::TempDir m_feed;
    ReplayLink m_link{m_feed.Path()};
    CancelFlag m_cancel;
    NullProgress m_progress;
    int m_beeps = 0;
};

TEST_F(ResultsRetrievalTest, StoresTheDaysRecordsAndClosesTwice)
{
    const RetrievalReport report = Run();
    EXPECT_EQ(report.outcome, RetrievalOutcome::Completed);
    EXPECT_EQ(report.recordsRead, 5);
    EXPECT_EQ(m_beeps, 2);
    const std::string day = DayNameFromDigits("20260105");
    EXPECT_EQ(SplitLines(test::Slurp(RaceFile(App(), day)))[0].substr(32, 6), "result");
    EXPECT_EQ(SplitLines(test::Slurp(RunnerFile(App(), day, "06")))[2].substr(0, 3), "SE7");
    EXPECT_TRUE(std::filesystem::exists(PayoutFile(App(), day)));
    EXPECT_TRUE(std::filesystem::exists(RaceFile(App(), DayNameFromDigits("20260104"))));
    // Nothing else: no history, no masters.
    EXPECT_TRUE(test::Tree(App() / "SEI").empty());
    EXPECT_EQ(test::Tree(App()).size(), 4u);
}

TEST_F(ResultsRetrievalTest, NothingWithoutADayOrARace)
{
    EXPECT_EQ(Run(false).outcome, RetrievalOutcome::NotRun);
    EXPECT_EQ(RetrieveResults(m_link, App(), "", true, m_cancel, m_progress, nullptr).outcome,
              RetrievalOutcome::NotRun);
    EXPECT_EQ(m_beeps, 0);
    EXPECT_TRUE(test::Tree(App()).empty());
}

TEST_F(ResultsRetrievalTest, OpenErrorClosesSilently)
{
    test::Spit(Feed() / "link.ini", "[errors]\nJVRTOpen=-504\n");
    m_link.SetFeedFolder(Feed());
    const RetrievalReport report = Run();
    EXPECT_EQ(report.outcome, RetrievalOutcome::OpenFailed);
    EXPECT_EQ(report.openResult, -504);
    EXPECT_EQ(m_beeps, 2);
    EXPECT_TRUE(test::Tree(App()).empty());
}

TEST_F(ResultsRetrievalTest, ReadErrorKeepsWhatCameBefore)
{
    test::Spit(Feed() / "link.ini", "[errors]\nJVRead=-403@3\n");
    m_link.SetFeedFolder(Feed());
    const RetrievalReport report = Run();
    EXPECT_EQ(report.outcome, RetrievalOutcome::Stopped);
    EXPECT_EQ(report.readResult, -403);
    EXPECT_TRUE(std::filesystem::exists(RaceFile(App(), DayNameFromDigits("20260105"))));
    EXPECT_FALSE(std::filesystem::exists(PayoutFile(App(), DayNameFromDigits("20260105"))));
}

TEST_F(ResultsRetrievalTest, CancelledAcquisitionStopsTheReadAtOnce)
{
    m_cancel.Set();
    const RetrievalReport report = Run();
    EXPECT_EQ(report.outcome, RetrievalOutcome::Stopped);
    EXPECT_EQ(report.recordsRead, 0);
    EXPECT_TRUE(test::Tree(App()).empty());
}

} // namespace
} // namespace vornal
