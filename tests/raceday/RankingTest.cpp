#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "raceday/Ranking.h"
#include "text/Format.h"

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

// The key the way it is defined: the printed text, its digits read back with the sign.
long long Printed(double value, int decimals)
{
    const std::string text = fmt::sprintf("%.*f", decimals, value);
    long long units = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            units = units * 10 + (c - '0');
        }
    }
    return text.front() == '-' ? -units : units;
}

TEST(Ranking, KeysMatchThePrintedTextOverRatingsOddsAndHalves)
{
    std::mt19937_64 random(17);
    std::uniform_real_distribution<double> spread(-200.0, 200.0);
    for (int decimals = 0; decimals <= 6; ++decimals) {
        for (int i = 0; i < 20000; ++i) {
            // Plain values, values on a printed place, and values on a half of the last one.
            const double plain = spread(random);
            const double place = std::round(plain * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
            const double half = place + 0.5 / std::pow(10.0, decimals);
            for (double value : {plain, place, half, -half, half * 1000.0}) {
                ASSERT_EQ(RoundedKey(value, decimals), Printed(value, decimals)) << value << " at " << decimals;
            }
        }
    }
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
