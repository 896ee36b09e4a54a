#include <gtest/gtest.h>

#include <set>

#include "FeedSupport.h"
#include "store/JvLayout.h"
#include "text/Encoding.h"

namespace vornal::samplegen::test {
namespace {

int LengthOf(std::string_view kind)
{
    static const std::map<std::string, int, std::less<>> kLengths = {
        {"RA", jv::kLengthRA}, {"SE", jv::kLengthSE}, {"HR", jv::kLengthHR}, {"O1", jv::kLengthO1},
        {"O2", jv::kLengthO2}, {"UM", jv::kLengthUM}, {"KS", jv::kLengthKS}, {"CH", jv::kLengthCH}};
    const auto it = kLengths.find(kind);
    return it == kLengths.end() ? -1 : it->second;
}

void ExpectWellFormed(std::string_view record, const std::string& where)
{
    const int length = LengthOf(At(record, 1, 2));
    ASSERT_GT(length, 0) << where << ": unknown record kind " << At(record, 1, 2);
    ASSERT_EQ(static_cast<int>(record.size()), length) << where;
    EXPECT_EQ(record.substr(record.size() - 2), "\r\n") << where;
    EXPECT_EQ(record.substr(0, record.size() - 2).find_first_of("\r\n"), std::string_view::npos) << where;
}

// A CP932 text field made of double-byte characters only (names are full-width, padded with
// full-width blanks).
void ExpectFullWidth(std::string_view field, const std::string& where)
{
    ASSERT_EQ(field.size() % 2, 0u) << where;
    for (std::size_t i = 0; i < field.size(); i += 2) {
        EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(field[i]))) << where << " byte " << i;
    }
}

TEST(FeedRecords, EveryRecordHasItsLengthAndEndsInCrLf)
{
    const Fixture& f = SharedFixture();
    std::set<std::string> kinds;
    for (const FeedFile& file : f.feed.feed) {
        const std::vector<std::string_view> records = SplitRecords(file.bytes);
        ASSERT_FALSE(records.empty()) << file.path;
        for (std::size_t i = 0; i < records.size(); ++i) {
            ExpectWellFormed(records[i], file.path + " record " + std::to_string(i));
            kinds.insert(std::string(At(records[i], 1, 2)));
        }
    }
    EXPECT_EQ(kinds, (std::set<std::string>{"RA", "SE", "HR", "O1", "O2", "UM", "KS", "CH"}));
    for (const FeedFile& file : f.feed.timeSeries) {
        for (std::string_view record : SplitRecords(file.bytes)) {
            ExpectWellFormed(record, file.path);
            EXPECT_EQ(At(record, 1, 2), "O1") << file.path;
        }
    }
}

TEST(FeedRecords, RaceFieldsReadAsDigitsHoldDigits)
{
    const Fixture& f = SharedFixture();
    for (std::string_view ra : RecordsUnder(f.feed, "")) {
        if (At(ra, 1, 2) != "RA") {
            continue;
        }
        const std::string where(At(ra, 1, 27));
        EXPECT_TRUE(Digits(At(ra, 4, 8))) << where;
        EXPECT_TRUE(Digits(At(ra, 12, 8))) << where;
        EXPECT_TRUE(Digits(At(ra, 22, 6))) << where;
        EXPECT_TRUE(Digits(At(ra, 698, 4))) << where;
        EXPECT_TRUE(Digits(At(ra, 706, 2))) << where;
        EXPECT_TRUE(Digits(At(ra, 874, 4))) << where;
        EXPECT_TRUE(Digits(At(ra, 882, 2))) << where;
        EXPECT_TRUE(Digits(At(ra, 889, 2))) << where;
        EXPECT_TRUE(Digits(At(ra, 617, 2))) << where;
        EXPECT_TRUE(Digits(At(ra, 623, 15))) << where;
        EXPECT_NE(std::string_view(" ABCDEFGHL").find(ra[614]), std::string_view::npos) << where;
        if (!Blank(At(ra, 33, 60))) {
            ExpectFullWidth(At(ra, 33, 60), where);
            EXPECT_EQ(At(ra, 605, 6), At(ra, 33, 6)) << where;
        }
    }
}

TEST(FeedRecords, RunnerFieldsReadAsDigitsHoldDigits)
{
    const Fixture& f = SharedFixture();
    int withResults = 0;
    for (std::string_view se : RecordsUnder(f.feed, "")) {
        if (At(se, 1, 2) != "SE") {
            continue;
        }
        const std::string where = std::string(At(se, 1, 30)) + " " + std::string(At(se, 31, 10));
        for (const auto& [position, length] : std::initializer_list<std::pair<int, int>>{{12, 16},
                                                                                         {28, 1},
                                                                                         {29, 2},
                                                                                         {31, 10},
                                                                                         {81, 2},
                                                                                         {86, 5},
                                                                                         {289, 3},
                                                                                         {297, 5},
                                                                                         {333, 2},
                                                                                         {335, 2},
                                                                                         {339, 4},
                                                                                         {352, 8},
                                                                                         {360, 4},
                                                                                         {364, 2},
                                                                                         {391, 3}}) {
            EXPECT_TRUE(Digits(At(se, position, length))) << where << " at " << position;
        }
        EXPECT_NE(std::string_view("123").find(se[78]), std::string_view::npos) << where;
        ExpectFullWidth(At(se, 41, 36), where);
        ExpectFullWidth(At(se, 91, 8), where);
        ExpectFullWidth(At(se, 307, 8), where);
        const std::string_view margin = At(se, 532, 4);
        if (se[2] == '1' || se[2] == '2') {
            EXPECT_TRUE(Blank(margin)) << where;
        } else {
            ++withResults;
            EXPECT_TRUE(margin == "9999" || ((margin[0] == '+' || margin[0] == '-') && Digits(margin.substr(1))))
                << where << " margin " << margin;
        }
    }
    EXPECT_GT(withResults, 1000);
}

TEST(FeedRecords, PayoutAndMasterFieldsHoldDigits)
{
    const Fixture& f = SharedFixture();
    int masters = 0;
    for (std::string_view record : RecordsUnder(f.feed, "")) {
        const std::string_view kind = At(record, 1, 2);
        const std::string where = std::string(At(record, 1, 27));
        if (kind == "HR") {
            for (const jv::hr::PayTable& table :
                 {jv::hr::kWin, jv::hr::kPlace, jv::hr::kBracketQuinella, jv::hr::kQuinella, jv::hr::kWide}) {
                for (int n = 1; n <= table.entries; ++n) {
                    const jv::FieldPos key = jv::Nth(table.key, table.stride, n);
                    const jv::FieldPos pay = jv::Nth(table.payout, table.stride, n);
                    const jv::FieldPos pop = jv::Nth(table.popularity, table.stride, n);
                    const bool used = !Blank(At(record, key.position, key.length));
                    EXPECT_EQ(used, Digits(At(record, key.position, key.length))) << where;
                    EXPECT_EQ(used, Digits(At(record, pay.position, pay.length))) << where;
                    EXPECT_EQ(used, Digits(At(record, pop.position, pop.length))) << where;
                }
            }
        } else if (kind == "UM") {
            ++masters;
            EXPECT_TRUE(Digits(At(record, 12, 10))) << where;
            EXPECT_TRUE(Digits(At(record, 1053, 1592 - 1053 + 1))) << where;
        } else if (kind == "KS" || kind == "CH") {
            ++masters;
            EXPECT_TRUE(Digits(At(record, 12, 5))) << where;
            const int affiliation = kind == "KS" ? 231 : 195;
            EXPECT_NE(std::string_view("1234").find(record[static_cast<std::size_t>(affiliation - 1)]),
                      std::string_view::npos);
            const int thisYear = kind == "KS" ? 1060 : 749;
            const int lastYear = kind == "KS" ? 2112 : 1801;
            EXPECT_TRUE(Digits(At(record, thisYear, 72))) << where;
            EXPECT_TRUE(Digits(At(record, lastYear, 72))) << where;
        }
    }
    EXPECT_GT(masters, 300);
}

TEST(FeedRecords, OddsFieldsHoldDigitsOrTheirMarkers)
{
    const Fixture& f = SharedFixture();
    int snapshots = 0;
    for (std::string_view record : RecordsUnder(f.feed, "realtime/0B30/")) {
        const std::string where(At(record, 1, 35));
        EXPECT_TRUE(Digits(At(record, 28, 8))) << where;
        if (At(record, 1, 2) == "O2") {
            for (int q = 1; q <= 153; ++q) {
                const std::string_view odds = At(record, 45 + 13 * (q - 1), 6);
                EXPECT_TRUE(Digits(odds) || odds == "------" || Blank(odds)) << where;
            }
            continue;
        }
        ++snapshots;
        for (int n = 1; n <= 18; ++n) {
            for (int position : {46 + 8 * (n - 1), 270 + 12 * (n - 1), 274 + 12 * (n - 1)}) {
                const std::string_view odds = At(record, position, 4);
                EXPECT_TRUE(Digits(odds) || odds == "----" || Blank(odds)) << where;
            }
        }
        for (int k = 1; k <= 36; ++k) {
            const std::string_view odds = At(record, 606 + 9 * (k - 1), 5);
            EXPECT_TRUE(Digits(odds) || odds == "-----") << where;
        }
    }
    EXPECT_GT(snapshots, 24 * 20);
}

} // namespace
} // namespace vornal::samplegen::test
