#include <gtest/gtest.h>

#include "app/AppDir.h"
#include "store/DayStoreBatch.h"
#include "store/StoreLines.h"
#include "store/StorePaths.h"

#include "support/JvRecordBuilder.h"

namespace vornal {
namespace {

using test::RaceId;

class DayStoreBatchTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(EnsureAppFolders(m_app.Path())); }
    const std::filesystem::path& App() const { return m_app.Path(); }
    std::filesystem::path Day(std::string_view ext) const { return DayFile(App(), DayNameFromDigits("20260105"), ext); }

    test::TempDir m_app;
};

RaceId Race(int race)
{
    RaceId id;
    id.race = race;
    return id;
}

TEST_F(DayStoreBatchTest, NothingReachesTheDiskBeforeFlush)
{
    DayStoreBatch batch(App());
    ASSERT_TRUE(batch.UpsertRaceLine(Day(kRaceExt), BlankRecordPrefix(test::RaRecord('1', Race(1))), true));
    ASSERT_TRUE(batch.PutRunnerLine(RunnerFile(App(), DayNameFromDigits("20260105"), "06"),
                                    test::SeRecord('1', Race(1), 1, "2019104567")));
    EXPECT_FALSE(std::filesystem::exists(Day(kRaceExt)));
    EXPECT_EQ(batch.PendingFiles(), 2u);
    ASSERT_TRUE(batch.Flush());
    EXPECT_EQ(batch.WrittenFiles(), 2u);
    EXPECT_EQ(test::Slurp(Day(kRaceExt)).size(), 1272u);
    EXPECT_EQ(test::Slurp(RunnerFile(App(), DayNameFromDigits("20260105"), "06")).size(), 216u * 555u);
}

TEST_F(DayStoreBatchTest, EachFileIsReadAndWrittenOncePerRun)
{
    test::Spit(Day(kRaceExt), JoinLines({StoredLine(BlankRecordPrefix(test::RaRecord('1', Race(4))))}));
    DayStoreBatch batch(App());
    for (int race = 1; race <= 12; ++race) {
        ASSERT_TRUE(batch.UpsertRaceLine(Day(kRaceExt), BlankRecordPrefix(test::RaRecord('1', Race(race))), true));
        // Changing the file behind the batch's back proves it is not read again.
        test::Spit(Day(kRaceExt), "gone");
    }
    ASSERT_TRUE(batch.Flush());
    EXPECT_EQ(batch.WrittenFiles(), 1u);
    const std::vector<std::string> lines = SplitLines(test::Slurp(Day(kRaceExt)));
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
}

TEST_F(DayStoreBatchTest, UnchangedFilesAreNotRewritten)
{
    const std::string bytes = JoinLines({StoredLine(BlankRecordPrefix(test::RaRecord('1', Race(4))))});
    test::Spit(Day(kRaceExt), bytes);
    const auto before = std::filesystem::last_write_time(Day(kRaceExt));
    DayStoreBatch batch(App());
    ASSERT_TRUE(batch.UpsertRaceLine(Day(kRaceExt), BlankRecordPrefix(test::RaRecord('5', Race(4))), true));
    ASSERT_TRUE(batch.Flush());
    EXPECT_EQ(batch.WrittenFiles(), 0u);
    EXPECT_EQ(std::filesystem::last_write_time(Day(kRaceExt)), before);

    // The same lines with other line ends are rewritten as the per-record rewrite would.
    std::string lfOnly = bytes;
    lfOnly.erase(lfOnly.size() - 2, 1);
    test::Spit(Day(kRaceExt), lfOnly);
    DayStoreBatch again(App());
    ASSERT_TRUE(again.UpsertRaceLine(Day(kRaceExt), BlankRecordPrefix(test::RaRecord('5', Race(4))), true));
    ASSERT_TRUE(again.Flush());
    EXPECT_EQ(test::Slurp(Day(kRaceExt)), bytes);
}

TEST_F(DayStoreBatchTest, DestructionWritesWhatWasAccepted)
{
    {
        DayStoreBatch batch(App());
        ASSERT_TRUE(batch.UpsertRaceLine(Day(kPayoutExt), BlankRecordPrefix(test::HrRecord('2', Race(1))), false));
    }
    EXPECT_EQ(test::Slurp(Day(kPayoutExt)).size(), 719u);
}

TEST_F(DayStoreBatchTest, MemoryBudgetFlushesEarlyWithTheSameBytes)
{
    const auto store = [&](std::size_t budget) {
        DayStoreBatch batch(App(), budget);
        for (int round = 0; round < 2; ++round) {
            for (int race = 12; race >= 1; --race) {
                const std::string name = round == 0 ? "first" : "second";
                EXPECT_TRUE(batch.UpsertRaceLine(Day(kRaceExt),
                                                 BlankRecordPrefix(test::RaRecord('1', Race(race), name)), true));
                EXPECT_TRUE(batch.PutRunnerLine(RunnerFile(App(), DayNameFromDigits("20260105"), "06"),
                                                test::SeRecord('1', Race(race), race, "2019104567", name)));
            }
        }
        EXPECT_TRUE(batch.Flush());
        return batch.WrittenFiles();
    };
    EXPECT_EQ(store(DayStoreBatch::kDefaultMemoryBudget), 2u);
    const auto large = test::Tree(App());
    std::filesystem::remove_all(DataDir(App()));
    EXPECT_GT(store(4000), 2u);
    EXPECT_EQ(test::Tree(App()), large);
}

TEST_F(DayStoreBatchTest, OverTheBudgetTheFilesTouchedLongestAgoGoFirst)
{
    // A runner file holds about 120 kB (216 blank-padded lines), the race file one line.
    const auto runners = [&](std::string_view course) {
        return RunnerFile(App(), DayNameFromDigits("20260105"), course);
    };
    DayStoreBatch batch(App(), 300'000);
    ASSERT_TRUE(batch.UpsertRaceLine(Day(kRaceExt), BlankRecordPrefix(test::RaRecord('1', Race(1))), true));
    ASSERT_TRUE(batch.PutRunnerLine(runners("05"), test::SeRecord('1', Race(1), 1, "2019104567")));
    ASSERT_TRUE(batch.PutRunnerLine(runners("06"), test::SeRecord('1', Race(2), 1, "2019104568")));
    ASSERT_TRUE(batch.UpsertRaceLine(Day(kRaceExt), BlankRecordPrefix(test::RaRecord('1', Race(2))), true));
    EXPECT_EQ(batch.PendingFiles(), 3u);
    // A third runner file passes the budget: the two runner files touched before the race
    // file was touched again are written and dropped, down to half the budget.
    ASSERT_TRUE(batch.PutRunnerLine(runners("08"), test::SeRecord('1', Race(3), 1, "2019104569")));
    EXPECT_TRUE(std::filesystem::exists(runners("05")));
    EXPECT_TRUE(std::filesystem::exists(runners("06")));
    EXPECT_FALSE(std::filesystem::exists(runners("08")));
    EXPECT_FALSE(std::filesystem::exists(Day(kRaceExt)));
    EXPECT_EQ(batch.PendingFiles(), 2u);
    // A file written early is read again by its next record.
    ASSERT_TRUE(batch.PutRunnerLine(runners("05"), test::SeRecord('1', Race(4), 1, "2019104570")));
    ASSERT_TRUE(batch.Flush());
    const std::string bytes = test::Slurp(runners("05"));
    EXPECT_NE(bytes.find("2019104567"), std::string::npos);
    EXPECT_NE(bytes.find("2019104570"), std::string::npos);
    EXPECT_EQ(test::Slurp(Day(kRaceExt)).size(), 2u * 1272u);
}

TEST_F(DayStoreBatchTest, RefusesPathsOutsideTheApplicationFolder)
{
    DayStoreBatch batch(App() / "Data");
    const std::filesystem::path outside = App() / "Data" / ".." / "escaped.jvRA";
    EXPECT_FALSE(batch.UpsertRaceLine(outside, test::RaRecord('1', Race(1)), true));
    EXPECT_TRUE(batch.Flush());
    EXPECT_FALSE(std::filesystem::exists(App() / "escaped.jvRA"));
}

TEST_F(DayStoreBatchTest, UnreadableFileFailsWithoutLosingOthers)
{
    std::filesystem::create_directories(Day(kPayoutExt)); // a folder where the file should be
    DayStoreBatch batch(App());
    ASSERT_TRUE(batch.UpsertRaceLine(Day(kRaceExt), BlankRecordPrefix(test::RaRecord('1', Race(1))), true));
    const Status failed =
        batch.UpsertRaceLine(Day(kPayoutExt), BlankRecordPrefix(test::HrRecord('1', Race(1))), false);
    EXPECT_FALSE(failed);
    EXPECT_FALSE(failed.message.empty());
    EXPECT_TRUE(batch.Flush());
    EXPECT_EQ(test::Slurp(Day(kRaceExt)).size(), 1272u);
}

TEST_F(DayStoreBatchTest, HistoryFoldersAreCreatedOnFirstWrite)
{
    DayStoreBatch batch(App());
    const std::filesystem::path sei = HorseHistoryFile(App(), "2019104567");
    ASSERT_TRUE(batch.UpsertRaceLine(sei, BlankRecordPrefix(test::SeRecord('7', Race(1), 1, "2019104567")), false));
    ASSERT_TRUE(batch.Flush());
    EXPECT_TRUE(std::filesystem::is_directory(App() / "SEI" / "2019"));
    EXPECT_EQ(test::Slurp(sei).substr(0, 11), "SE000000000");
}

} // namespace
} // namespace vornal
