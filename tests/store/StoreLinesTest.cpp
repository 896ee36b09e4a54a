#include <gtest/gtest.h>

#include "store/StoreLines.h"

#include "support/JvRecordBuilder.h"

namespace vornal {
namespace {

using test::RaceId;

RaceId Race(int race, std::string course = "06")
{
    RaceId id;
    id.course = std::move(course);
    id.race = race;
    return id;
}

TEST(StoreLineFiles, SplitAndJoinKeepEveryLine)
{
    EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
    EXPECT_EQ(SplitLines("a\r\nb\r\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitLines("a\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitLines("a\rb\r\n\r\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(SplitLines("\r\n"), std::vector<std::string>{""});
    EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(JoinLines({}), "");
    const std::vector<std::string> lines = {"x", "", "  ", "\x83\x5C"};
    EXPECT_EQ(SplitLines(JoinLines(lines)), lines);
}

TEST(StoreLineFiles, BlankRecordPrefixZeroesDivisionAndCreationDate)
{
    const std::string record = test::RaRecord('7', Race(3));
    const std::string blanked = BlankRecordPrefix(record);
    EXPECT_EQ(blanked.size(), record.size());
    EXPECT_EQ(blanked.substr(0, 11), "RA000000000");
    EXPECT_EQ(blanked.substr(11), record.substr(11));
    EXPECT_EQ(StoredLine(record).size(), 1270u);
}

TEST(UpsertRaceLine, SecondRecordOfARaceReplacesTheFirst)
{
    std::vector<std::string> lines;
    UpsertRaceLine(lines, BlankRecordPrefix(test::RaRecord('1', Race(5), "first")), true);
    UpsertRaceLine(lines, BlankRecordPrefix(test::RaRecord('1', Race(2))), true);
    UpsertRaceLine(lines, BlankRecordPrefix(test::RaRecord('2', Race(5), "later")), true);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(25, 2), "02");
    EXPECT_EQ(lines[1].substr(25, 2), "05");
    EXPECT_EQ(lines[1].substr(32, 5), "later");
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
    EXPECT_EQ(lines[0].size(), 1270u);
}

TEST(UpsertRaceLine, SortsByRaceKeyAcrossRacecourses)
{
    std::vector<std::string> lines;
    for (const auto& [course, race] : std::vector<std::pair<std::string, int>>{{"09", 1}, {"06", 12}, {"06", 1}}) {
        UpsertRaceLine(lines, BlankRecordPrefix(test::RaRecord('1', Race(race, course))), true);
    }
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(19, 8), "06010101");
    EXPECT_EQ(lines[1].substr(19, 8), "06010112");
    EXPECT_EQ(lines[2].substr(19, 8), "09010101");
}

TEST(UpsertRaceLine, OnlyABlankFirstLineIsDropped)
{
    std::vector<std::string> lines = {"", "   ", StoredLine(BlankRecordPrefix(test::RaRecord('1', Race(1))))};
    EXPECT_TRUE(UpsertRaceLine(lines, BlankRecordPrefix(test::RaRecord('1', Race(2))), true));
    // One blank line remains: the drop takes the first line only.
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "   ");

    std::vector<std::string> kept = {"", StoredLine(BlankRecordPrefix(test::RaRecord('1', Race(1))))};
    UpsertRaceLine(kept, BlankRecordPrefix(test::RaRecord('1', Race(2))), false);
    EXPECT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0], "");
}

TEST(UpsertRaceLine, AnUnsortedFileComesOutSorted)
{
    const std::string late = StoredLine(BlankRecordPrefix(test::RaRecord('1', Race(9))));
    const std::string early = StoredLine(BlankRecordPrefix(test::RaRecord('1', Race(1))));
    std::vector<std::string> lines = {late, early};
    // The record equals the stored line of race 9, yet the file changes: it gets sorted.
    EXPECT_TRUE(UpsertRaceLine(lines, BlankRecordPrefix(test::RaRecord('1', Race(9))), false));
    EXPECT_EQ(lines, (std::vector<std::string>{early, late}));
    EXPECT_FALSE(UpsertRaceLine(lines, BlankRecordPrefix(test::RaRecord('1', Race(9))), false));
}

TEST(PutRunnerLine, NewFileHas216EmptySlotsAndOneRunner)
{
    std::vector<std::string> lines;
    const std::string record = test::SeRecord('1', Race(2), 3, "2019104567");
    EXPECT_TRUE(PutRunnerLine(lines, record));
    ASSERT_EQ(lines.size(), 216u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i].size(), 553u);
        if (i == 20) {
            EXPECT_EQ(lines[i], StoredLine(record));
        } else {
            EXPECT_EQ(lines[i], std::string(553, ' ')) << "line " << i;
        }
    }
}

TEST(PutRunnerLine, OnlyThe12By18GridHasSlots)
{
    EXPECT_EQ(RunnerSlot(test::SeRecord('1', Race(1), 1, "2019104567")), 0);
    EXPECT_EQ(RunnerSlot(test::SeRecord('1', Race(12), 18, "2019104567")), 215);
    EXPECT_FALSE(RunnerSlot(test::SeRecord('1', Race(13), 1, "2019104567")));
    EXPECT_FALSE(RunnerSlot(test::SeRecord('1', Race(1), 19, "2019104567")));
    EXPECT_FALSE(RunnerSlot(test::SeRecord('1', Race(1), 0, "2019104567")));
    std::vector<std::string> lines;
    EXPECT_FALSE(PutRunnerLine(lines, test::SeRecord('1', Race(13), 1, "2019104567")));
    EXPECT_TRUE(lines.empty());
}

TEST(PutRunnerLine, ShortFileIsFilledUpWithEmptySlots)
{
    std::vector<std::string> lines = {"kept"};
    PutRunnerLine(lines, test::SeRecord('1', Race(12), 18, "2019104567"));
    ASSERT_EQ(lines.size(), 216u);
    EXPECT_EQ(lines[0], "kept");
    EXPECT_EQ(lines[100], std::string(553, ' '));
    EXPECT_EQ(lines[215].substr(0, 2), "SE");
}

} // namespace
} // namespace vornal
