#include <gtest/gtest.h>

#include <vector>

#include "raceday/Ranking.h"

namespace vornal {
namespace {

RankEntry Entry(int slot, std::initializer_list<RankKey> keys, bool hasPrimary = true)
{
    RankEntry entry;
    entry.slot = slot;
    entry.horseNo = slot + 1;
    int i = 0;
    for (RankKey key : keys) {
        entry.keys[static_cast<std::size_t>(i++)] = key;
    }
    entry.keyCount = i;
    entry.hasPrimary = hasPrimary;
    return entry;
}

std::vector<int> Rank(const std::vector<RankEntry>& entries, RankDirection direction, std::size_t n)
{
    std::vector<int> ranks(n, 0);
    RankEntries(entries, direction, ranks);
    return ranks;
}

TEST(Ranking, DescendingTieGoesToHigherHorseNumber)
{
    // Equal to five decimals: 0.123451 and 0.123449 both round to 0.12345.
    auto ranks = Rank({Entry(0, {{0.123451, 5}}), Entry(1, {{0.123449, 5}}), Entry(2, {{0.2, 5}})},
                      RankDirection::Descending, 3);
    EXPECT_EQ(ranks, (std::vector<int>{3, 2, 1}));
}

TEST(Ranking, AscendingTieFallsToSecondKeyThenLowerHorseNumber)
{
    // Goal margin ties fall to the achievement rank, then the lower horse number.
    auto ranks = Rank({Entry(0, {{0.5, 5}, {3, 0}}), Entry(1, {{0.5, 5}, {1, 0}}), Entry(2, {{0.0, 5}, {2, 0}}),
                       Entry(3, {{0.5, 5}, {1, 0}})},
                      RankDirection::Ascending, 4);
    EXPECT_EQ(ranks, (std::vector<int>{4, 2, 1, 3}));
}

TEST(Ranking, MissingPrimaryComesLastEvenAgainstNegativeValues)
{
    auto ranks = Rank({Entry(0, {{-3.0, 5}, {0.1, 5}}), Entry(1, {{0.0, 5}, {0.9, 5}}, false),
                       Entry(2, {{-1.0, 5}, {0.2, 5}}), Entry(3, {{0.0, 5}, {0.3, 5}}, false)},
                      RankDirection::Descending, 4);
    EXPECT_EQ(ranks, (std::vector<int>{2, 3, 1, 4}));
}

TEST(Ranking, LeavesOtherSlotsAlone)
{
    std::vector<int> ranks(5, 7);
    std::vector<RankEntry> entries{Entry(1, {{1.0, 0}}), Entry(3, {{2.0, 0}})};
    RankEntries(entries, RankDirection::Ascending, ranks);
    EXPECT_EQ(ranks, (std::vector<int>{7, 1, 7, 2, 7}));
}

TEST(Ranking, KeysAreTheValuesAsPrintedAtTheStatedPlace)
{
    EXPECT_EQ(RoundedKey(0.1236, 3), 124);
    EXPECT_EQ(RoundedKey(-0.1236, 3), -124);
    EXPECT_EQ(RoundedKey(-0.0004, 3), 0); // "-0.000" is no smaller than "0.000"
    EXPECT_EQ(RoundedKey(2.675, 2), 267);   // 2.67499999... in binary prints as 2.67
    EXPECT_EQ(RoundedKey(1.0005, 3), 1000); // likewise 1.000499999...
    EXPECT_EQ(RoundedKey(0.125, 2), 12);    // an exact half goes to even
    EXPECT_EQ(RoundedKey(10000.0, 5), 1000000000);
    // Huge stand-ins saturate instead of overflowing, and still order beyond real values.
    EXPECT_GT(RoundedKey(1e300, 5), RoundedKey(1e9, 5));
    EXPECT_LT(RoundedKey(-1e300, 5), RoundedKey(-1e9, 5));
}

} // namespace
} // namespace vornal
