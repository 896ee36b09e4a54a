#include <gtest/gtest.h>

#include <string>

#include "vocab/Combinations.h"

namespace vornal {
namespace {

// The five-character layout written out by hand: each number right-aligned in two.
std::string Layout(int a, int b)
{
    auto two = [](int n) { return (n < 10 ? " " : "") + std::to_string(n); };
    return two(a) + "-" + two(b);
}

TEST(Quinella, NumberedInPairOrder)
{
    int expected = 0;
    for (int a = 1; a <= 18; ++a) {
        for (int b = a + 1; b <= 18; ++b) {
            ++expected;
            std::string text = Layout(a, b);
            EXPECT_EQ(QuinellaIndex(a, b), expected) << text;
            EXPECT_EQ(QuinellaIndex(text), expected) << text;
            EXPECT_EQ(QuinellaText(expected), text);
            auto pair = QuinellaPair(expected);
            ASSERT_TRUE(pair.has_value());
            EXPECT_EQ(*pair, std::make_pair(a, b));
        }
    }
    EXPECT_EQ(expected, kQuinellaCount);
}

TEST(Quinella, KnownIndices)
{
    EXPECT_EQ(QuinellaIndex(" 1- 2"), 1);
    EXPECT_EQ(QuinellaIndex(" 1-18"), 17);
    EXPECT_EQ(QuinellaIndex(" 2- 3"), 18);
    EXPECT_EQ(QuinellaIndex(" 9-18"), QuinellaIndex(9, 18));
    EXPECT_EQ(QuinellaIndex("17-18"), 153);
}

TEST(Quinella, TextsSortInIndexOrder)
{
    // Right-aligned numbers make text order and index order agree, which sorted lists rely on.
    for (int i = 1; i < kQuinellaCount; ++i) {
        EXPECT_LT(QuinellaText(i), QuinellaText(i + 1)) << i;
    }
}

TEST(Quinella, AnythingButTheExactTextIsZero)
{
    for (std::string_view text : {" 2- 1", "18-17", "1-2", " 1- 2 ", "  1- 2", "01-02", " 1-02", "01- 2", " 1- 1",
                                  " 0- 1", " 0- 0", "18-19", "19-20", " 1 - 2", " 1+ 2", "", "17-18\n", " a- b"}) {
        EXPECT_EQ(QuinellaIndex(text), 0) << '[' << text << ']';
    }
    for (auto [a, b] : {std::pair{2, 1}, {1, 1}, {0, 5}, {-1, 2}, {17, 19}, {18, 18}}) {
        EXPECT_EQ(QuinellaIndex(a, b), 0) << a << '-' << b;
    }
}

TEST(Quinella, OnlyTheCombinationTextsAreRecognised)
{
    // Every "xx-yy" made of blanks and digits: exactly the 153 texts give an index.
    const std::string chars = " 0123456789";
    int recognised = 0;
    for (int n = 0; n < 11 * 11 * 11 * 11; ++n) {
        std::string text = {chars[n / 1331], chars[n / 121 % 11], '-', chars[n / 11 % 11], chars[n % 11]};
        if (int index = QuinellaIndex(text); index != 0) {
            ++recognised;
            EXPECT_EQ(QuinellaText(index), text);
        }
    }
    EXPECT_EQ(recognised, kQuinellaCount);
}

TEST(Quinella, TextOutsideTheRangeLeavesTheTarget)
{
    for (int index : {0, 154, -1, 1000}) {
        std::string target = "keep";
        QuinellaText(index, target);
        EXPECT_EQ(target, "keep") << index;
        EXPECT_EQ(QuinellaText(index), "") << index;
        EXPECT_FALSE(QuinellaPair(index).has_value()) << index;
    }
    std::string target = "keep";
    QuinellaText(153, target);
    EXPECT_EQ(target, "17-18");
}

TEST(Bracket, NumberedInOddsRecordOrder)
{
    int expected = 0;
    for (int a = 1; a <= 8; ++a) {
        for (int b = a; b <= 8; ++b) {
            ++expected;
            EXPECT_EQ(BracketIndex(a, b), expected) << a << '-' << b;
            EXPECT_EQ(BracketText(expected), Layout(a, b));
            EXPECT_EQ(BracketIndex(Layout(a, b)), expected);
            auto pair = BracketPair(expected);
            ASSERT_TRUE(pair.has_value());
            EXPECT_EQ(*pair, std::make_pair(a, b));
        }
    }
    EXPECT_EQ(expected, kBracketCount);
    EXPECT_EQ(BracketText(1), " 1- 1");
    EXPECT_EQ(BracketText(8), " 1- 8");
    EXPECT_EQ(BracketText(9), " 2- 2");
    EXPECT_EQ(BracketText(36), " 8- 8");
}

TEST(Bracket, InvalidPairsAndIndices)
{
    for (auto [a, b] : {std::pair{2, 1}, {0, 1}, {1, 9}, {9, 9}, {0, 0}, {8, 7}}) {
        EXPECT_EQ(BracketIndex(a, b), 0) << a << '-' << b;
    }
    for (std::string_view text : {" 5- 3", "3-5", " 3- 5 ", "03-05", " 9- 9", " 0- 0", ""}) {
        EXPECT_EQ(BracketIndex(text), 0) << '[' << text << ']';
    }
    for (int index : {0, 37, -5}) {
        EXPECT_EQ(BracketText(index), "") << index;
        EXPECT_FALSE(BracketPair(index).has_value()) << index;
    }
}

} // namespace
} // namespace vornal
