#include <gtest/gtest.h>

#include "app/AppDir.h"
#include "store/DayStoreBatch.h"
#include "store/MasterFiles.h"
#include "store/RecordFiling.h"
#include "store/StoreLines.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"

#include "support/JvRecordBuilder.h"

namespace vornal {
namespace {

using test::RaceId;

// Today 10 January 2026: the cutoff is 5 January, races from the 6th on are recent.
constexpr long long kCutoff = 20260105;

RaceId Race(std::string date, int race, std::string course = "06")
{
    RaceId id;
    id.date = std::move(date);
    id.course = std::move(course);
    id.race = race;
    return id;
}

class FilingTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(EnsureAppFolders(App())); }
    const std::filesystem::path& App() const { return m_app.Path(); }

    // Files the records as one run and returns the reported lines.
    std::vector<std::string> File(const std::vector<std::string>& records)
    {
        DayStoreBatch batch(App());
        AcquisitionFiler filer(App(), batch, kCutoff, m_dates, m_masters);
        std::vector<std::string> reported;
        for (const std::string& record : records) {
            EXPECT_TRUE(filer.File(record, reported));
        }
        EXPECT_TRUE(batch.Flush());
        return reported;
    }
    bool Has(const std::filesystem::path& file) const { return std::filesystem::exists(file); }

    test::TempDir m_app;
    std::set<std::string> m_dates;
    MasterLists m_masters;
};

TEST(RecentRaces, CutoffIsFiveDaysBeforeToday)
{
    EXPECT_EQ(RecentRaceCutoff({2026, 1, 10, 9, 0, 0}), 20260105);
    EXPECT_EQ(RecentRaceCutoff({2026, 1, 3, 0, 0, 0}), 20251229);
    EXPECT_EQ(RecentRaceCutoff({2024, 3, 5, 0, 0, 0}), 20240229);
}

TEST_F(FilingTest, RaceRecordsByDivisionAndDate)
{
    const std::string old = "20260104";
    const std::string recent = "20260106";
    const std::vector<std::string> reported = File({
        test::RaRecord('1', Race(old, 1)),    // regular data: stored
        test::RaRecord('0', Race(recent, 2)), // division 0 never reaches the date file
        test::RaRecord('9', Race(recent, 3)), // recent, not 0: stored
        test::RaRecord('A', Race(recent, 4)), // A reads 0: not in the date file, but history
        test::RaRecord('9', Race(old, 5)),    // old and irregular: nothing
        test::RaRecord('1', Race(old, 0)),    // race number 0: nothing
    });
    // What no rule takes still says so.
    const std::vector<std::string> expected = {
        Sjis("作成済み:01R/2026年01月04日.jvRA"), Sjis("スキップ:RA/データ区分0"),
        Sjis("作成済み:03R/2026年01月06日.jvRA"), Sjis("作成済み:04R/2026010606.jvSERA"),
        Sjis("スキップ:RA/データ区分9"),          Sjis("スキップ:RA/レース番号00"),
    };
    EXPECT_EQ(reported, expected);
    EXPECT_EQ(m_dates, (std::set<std::string>{DayNameFromDigits(old), DayNameFromDigits(recent)}));
    EXPECT_EQ(SplitLines(test::Slurp(RaceFile(App(), DayNameFromDigits(recent)))).size(), 1u);
    EXPECT_EQ(test::Slurp(ResultHistoryFile(App(), "2026010606")).substr(0, 11), "RA000000000");
}

TEST_F(FilingTest, HistoryRaceRecordGoesToBothFilesWhenRecent)
{
    const std::vector<std::string> reported = File({test::RaRecord('7', Race("20260107", 11, "09"))});
    EXPECT_EQ(reported, (std::vector<std::string>{Sjis("作成済み:11R/2026年01月07日.jvRA"),
                                                  Sjis("作成済み:11R/2026010709.jvSERA")}));
    EXPECT_TRUE(Has(App() / "SEIR" / "2026" / "2026010709.jvSERA"));
}

TEST_F(FilingTest, RunnerRecordsByDivisionDateAndSlot)
{
    const std::vector<std::string> reported = File({
        test::SeRecord('0', Race("20260106", 2), 3, "2019104567"),  // recent: division 0 still stored
        test::SeRecord('9', Race("20260104", 2), 4, "2019104568"),  // old and irregular: nothing
        test::SeRecord('1', Race("20260104", 13), 1, "2019104569"), // no slot above the 12th race
        test::SeRecord('1', Race("20260104", 1), 19, "2019104569"), // no horse number 19
    });
    EXPECT_EQ(reported, (std::vector<std::string>{Sjis("作成済み:02R/03番/2026年01月06日中山.jvSEr"),
                                                  Sjis("スキップ:SE/データ区分9"), Sjis("スキップ:SE/レース番号13"),
                                                  Sjis("スキップ:SE/馬番19")}));
    const std::vector<std::string> lines =
        SplitLines(test::Slurp(RunnerFile(App(), DayNameFromDigits("20260106"), "06")));
    ASSERT_EQ(lines.size(), 216u);
    EXPECT_EQ(lines[20].substr(0, 3), "SE0"); // runner lines keep their division
    EXPECT_FALSE(Has(RunnerFile(App(), DayNameFromDigits("20260104"), "06")));
    // A date reached only through runners has no race file and no place in the date list.
    EXPECT_TRUE(m_dates.empty());
    EXPECT_FALSE(Has(RaceFile(App(), DayNameFromDigits("20260106"))));
}

TEST_F(FilingTest, HistoryRunnerRecordsFillThePerHorseFile)
{
    const std::vector<std::string> reported = File({
        test::SeRecord('B', Race("20251220", 5, "05"), 7, "2019104567"),
        test::SeRecord('7', Race("20251103", 9, "08"), 2, "2019104567"),
        test::SeRecord('7', Race("20251220", 5, "05"), 7, "2019104567", "again"),
    });
    EXPECT_EQ(reported[0], Sjis("作成済み:2025年12月20日東京05R/2019104567.jvSEI"));
    EXPECT_EQ(reported[1], Sjis("作成済み:2025年11月03日京都09R/2019104567.jvSEI"));
    const std::vector<std::string> lines = SplitLines(test::Slurp(HorseHistoryFile(App(), "2019104567")));
    ASSERT_EQ(lines.size(), 2u); // the repeated run replaced its line; oldest race first
    EXPECT_EQ(lines[0].substr(11, 8), "20251103");
    EXPECT_EQ(lines[1].substr(40, 5), "again");
    EXPECT_EQ(lines[1].substr(0, 11), "SE000000000");
}

TEST_F(FilingTest, PayoutsWithRaceNumberAreStored)
{
    const std::vector<std::string> reported =
        File({test::HrRecord('2', Race("20251201", 4)), test::HrRecord('2', Race("20251201", 0))});
    EXPECT_EQ(reported,
              (std::vector<std::string>{Sjis("作成済み:04R/2025年12月01日.jvHR"), Sjis("スキップ:HR/レース番号00")}));
    EXPECT_EQ(test::Slurp(PayoutFile(App(), DayNameFromDigits("20251201"))).substr(0, 11), "HR000000000");
}

TEST_F(FilingTest, MastersAreCollectedNotStored)
{
    EXPECT_TRUE(File({test::MasterRecord("KS", "01234"), test::MasterRecord("UM", "2019104567"),
                      test::MasterRecord("CH", "05678"), test::BlankRecord("O1", 962)})
                    .empty());
    EXPECT_EQ(m_masters.jockeys.size(), 1u);
    EXPECT_EQ(m_masters.trainers.size(), 1u);
    ASSERT_EQ(m_masters.horses.size(), 1u);
    EXPECT_EQ(m_masters.horses[0].size(), 1607u);
    EXPECT_EQ(test::Tree(DataDir(App())).size(), 0u);
}

TEST_F(FilingTest, BadNameBytesAreReportedAndSkipped)
{
    const std::vector<std::string> reported = File({
        test::RaRecord('1', Race("2026013X", 1)),
        test::RaRecord('7', Race("20260230", 1)),
        test::RaRecord('7', Race("20260106", 1, "/.")),
        test::SeRecord('7', Race("20251220", 5), 7, "../../../x"),
        test::HrRecord('1', Race("20261301", 1)),
    });
    const std::vector<std::string> expected = {
        Sjis("スキップ:RA/日付2026013X"),
        Sjis("スキップ:RA/日付20260230"), // the date file
        Sjis("スキップ:RA/日付20260230"), // the history file
        Sjis("作成済み:01R/2026年01月06日.jvRA"),   Sjis("スキップ:RA/場コード/."),
        Sjis("スキップ:SE/血統登録番号../../../x"), Sjis("スキップ:HR/日付20261301"),
    };
    EXPECT_EQ(reported, expected);
    EXPECT_EQ(test::Tree(App() / "SEI").size(), 0u);
    EXPECT_EQ(test::Tree(App() / "SEIR").size(), 0u);
    EXPECT_EQ(test::Tree(DataDir(App())).size(), 1u); // the one good date file
}

// Drops that once passed without a word: a runner of racecourse "ZZ" was filed under a
// blank name, horse number "19" and division "Z" vanished. Each now has its line, and the
// run counts its drops by reason.
TEST_F(FilingTest, EveryDroppedRecordIsReportedAndCounted)
{
    DayStoreBatch batch(App());
    AcquisitionFiler filer(App(), batch, kCutoff, m_dates, m_masters);
    std::vector<std::string> reported;
    for (const std::string& record : {
             test::SeRecord('1', Race("20260104", 1, "ZZ"), 1, "2019104567"),
             test::SeRecord('1', Race("20260104", 1), 19, "2019104567"),
             test::SeRecord('1', Race("20260104", 1), 0, "2019104567"), // before the draw
             test::RaRecord('Z', Race("20260106", 1)), test::SeRecord('Z', Race("20260106", 1), 1, "2019104567"),
             test::SeRecord('1', Race("20260104", 2), 2, "2019104567"), // the one sound record
         }) {
        ASSERT_TRUE(filer.File(record, reported));
    }
    ASSERT_TRUE(batch.Flush());
    const std::vector<std::string> expected = {
        Sjis("スキップ:SE/場コードZZ"),   Sjis("スキップ:SE/馬番19"),
        Sjis("スキップ:SE/馬番未確定00"), Sjis("スキップ:RA/データ区分Z"),
        Sjis("スキップ:SE/データ区分Z"),  Sjis("作成済み:02R/02番/2026年01月04日中山.jvSEr"),
    };
    EXPECT_EQ(reported, expected);
    EXPECT_EQ(test::Tree(DataDir(App())).size(), 1u);
    EXPECT_EQ(SkipSummary(filer.Skips()),
              Sjis("スキップしたレコード: 5 件（データ区分 2 件、場コード 1 件、馬番 1 件、馬番未確定 1 件）"));
    EXPECT_EQ(SkipSummary({}), Sjis("スキップしたレコード: 0 件"));
}

// A numeric field read by its leading digits turned "1x00" into 1 and "9Z" into 9: such a
// record is refused, naming the field, while the documented markers and signs still pass.
TEST_F(FilingTest, NumericFieldsHoldOnlyDigitsBlanksAndMarkers)
{
    const std::string ra = test::RaRecord('1', Race("20260104", 1));
    const std::string se = test::SeRecord('1', Race("20260104", 1), 3, "2019104567");
    const std::string hr = test::HrRecord('1', Race("20260104", 1));
    const std::vector<std::string> reported = File({
        test::Put(ra, 698, "1x00"),                                    // distance
        test::Put(ra, 882, "9Z"),                                      // registered runners
        test::Put(test::RaRecord('1', Race("20260104", 2)), 26, "-1"), // race number
        test::Put(se, 360, "1a23"),                                    // win odds
        test::Put(se, 532, "+0+3"),                                    // a sign only in front
        test::Put(hr, 105, "00000150\x82"),                            // a payout
        test::Put(test::Put(se, 360, "----"), 532, "-003"),            // no sale, the winner's margin: taken
        test::Put(test::Put(ra, 698, "1800"), 874, "****"),            // a marker filling the field: taken
    });
    const std::vector<std::string> expected = {
        Sjis("スキップ:RA/距離1x00"),
        Sjis("スキップ:RA/登録頭数9Z"),
        Sjis("スキップ:RA/レース番号-1"),
        Sjis("スキップ:SE/単勝オッズ1a23"),
        Sjis("スキップ:SE/タイム差+0+3"),
        Sjis("スキップ:HR/払戻00000150?"),
        Sjis("作成済み:01R/03番/2026年01月04日中山.jvSEr"),
        Sjis("作成済み:01R/2026年01月04日.jvRA"),
    };
    EXPECT_EQ(reported, expected);
    // The results retrieval refuses them the same way.
    DayStoreBatch batch(App());
    std::vector<std::string> skipped;
    ASSERT_TRUE(FileResultRecord(App(), batch, test::Put(se, 29, "1Z"), skipped));
    EXPECT_EQ(skipped, std::vector<std::string>{Sjis("スキップ:SE/馬番1Z")});
}

// The named broken records of tests/data/broken/records, each alone, with the line it gives
// (expected.txt: file name, tab, line in UTF-8). None may reach the store.
TEST_F(FilingTest, BrokenSampleRecordsGiveTheirSkipLines)
{
    const std::filesystem::path folder = std::filesystem::path(VORNAL_TEST_DATA_DIR) / "broken" / "records";
    const std::vector<std::string> expectations = SplitLines(test::Slurp(folder / "expected.txt"));
    ASSERT_GE(expectations.size(), 9u);
    for (const std::string& expectation : expectations) {
        const std::size_t tab = expectation.find('\t');
        ASSERT_NE(tab, std::string::npos) << expectation;
        const std::string name = expectation.substr(0, tab);
        EXPECT_EQ(File({test::Slurp(folder / name)}), std::vector<std::string>{ToCp932(expectation.substr(tab + 1))})
            << name;
    }
    EXPECT_EQ(test::Tree(App()).size(), 0u);
}

TEST_F(FilingTest, RecordsOfTheWrongShapeAreSkipped)
{
    std::string truncated = test::RaRecord('1', Race("20260105", 1));
    truncated.erase(100, 10);
    std::string noLineEnd = test::HrRecord('1', Race("20260105", 1));
    noLineEnd[noLineEnd.size() - 2] = ' ';
    std::string innerLineEnd = test::SeRecord('1', Race("20260105", 1), 1, "2019104567");
    innerLineEnd[200] = '\n';
    const std::vector<std::string> reported =
        File({truncated, noLineEnd, innerLineEnd, test::Put(test::BlankRecord("UM", 1577), 12, "2019104567")});
    // Each line names the race, runner or horse the dropped record was about.
    const std::vector<std::string> expected = {
        Sjis("スキップ:RA/レコード長1262（2026年01月05日中山01R）"), Sjis("スキップ:HR/改行位置（2026年01月05日中山01R）"),
        Sjis("スキップ:SE/改行位置（2026年01月05日中山01R01番）"),
        Sjis("スキップ:UM/レコード長1577（血統登録番号 2019104567）")};
    EXPECT_EQ(reported, expected);
    EXPECT_TRUE(m_masters.Empty());
    EXPECT_EQ(test::Tree(App()).size(), 0u);
}

TEST_F(FilingTest, ResultsRulesStoreRaceRunnerAndPayoutOnly)
{
    DayStoreBatch batch(App());
    std::vector<std::string> skipped;
    for (const std::string& record : {
             test::RaRecord('0', Race("20251201", 1)), // any division
             test::SeRecord('7', Race("20251201", 1), 2, "2019104567"),
             test::SeRecord('7', Race("20251201", 1), 19, "2019104568"), // no slot
             test::HrRecord('0', Race("20251201", 1)),
             test::RaRecord('1', Race("20251201", 0)),
             test::MasterRecord("KS", "01234"),
         }) {
        ASSERT_TRUE(FileResultRecord(App(), batch, record, skipped));
    }
    ASSERT_TRUE(batch.Flush());
    EXPECT_TRUE(skipped.empty());
    const std::string day = DayNameFromDigits("20251201");
    EXPECT_EQ(SplitLines(test::Slurp(RaceFile(App(), day))).size(), 1u);
    EXPECT_EQ(SplitLines(test::Slurp(PayoutFile(App(), day))).size(), 1u);
    EXPECT_EQ(SplitLines(test::Slurp(RunnerFile(App(), day, "06")))[1].substr(0, 3), "SE7");
    EXPECT_EQ(test::Tree(App() / "SEI").size(), 0u);
    EXPECT_EQ(test::Tree(App()).size(), 3u);
}

class MasterFilesTest : public FilingTest
{
protected:
    MasterLists Lists() const
    {
        MasterLists lists;
        lists.jockeys = {StoredLine(test::MasterRecord("KS", "00002")), StoredLine(test::MasterRecord("KS", "00001"))};
        lists.horses = {StoredLine(test::MasterRecord("UM", "2019104567"))};
        return lists;
    }
};

TEST_F(MasterFilesTest, EveryDateGetsTheWholeSortedList)
{
    const std::set<std::string> dates = {DayNameFromDigits("20260111"), DayNameFromDigits("20260110")};
    const MasterFilesResult result = WriteMasterFiles(App(), Lists(), dates, 110);
    ASSERT_TRUE(result.io);
    const std::vector<std::string> expected = {
        Sjis("作成済み:2026年01月10日.jvKS"), Sjis("作成済み:2026年01月11日.jvKS"),
        Sjis("作成済み:2026年01月10日.jvUM2"), Sjis("作成済み:2026年01月11日.jvUM2")};
    EXPECT_EQ(result.reported, expected);
    const std::vector<std::string> lines = SplitLines(test::Slurp(JockeyMasterFile(App(), *dates.begin())));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(11, 5), "00001");
    EXPECT_EQ(lines[0].size(), 4171u);
    EXPECT_EQ(test::Slurp(JockeyMasterFile(App(), *dates.begin())),
              test::Slurp(JockeyMasterFile(App(), *dates.rbegin())));
    EXPECT_FALSE(std::filesystem::exists(TrainerMasterFile(App(), *dates.begin())));
}

TEST_F(MasterFilesTest, PastMonthDaysKeepTheirFilesLaterOnesAreReplaced)
{
    const std::string past = DayNameFromDigits("20260109");
    const std::string today = DayNameFromDigits("20260110");
    const std::string lastYearLater = DayNameFromDigits("20251230");
    const std::string pastMissing = DayNameFromDigits("20260108");
    for (const std::string& day : {past, today, lastYearLater}) {
        test::Spit(JockeyMasterFile(App(), day), "old\r\n");
    }
    const MasterFilesResult result = WriteMasterFiles(App(), Lists(), {past, today, lastYearLater, pastMissing}, 110);
    ASSERT_TRUE(result.io);
    EXPECT_EQ(test::Slurp(JockeyMasterFile(App(), past)), "old\r\n");
    EXPECT_NE(test::Slurp(JockeyMasterFile(App(), today)), "old\r\n");
    // Only month and day count: 30 December of last year is "later" than 10 January.
    EXPECT_NE(test::Slurp(JockeyMasterFile(App(), lastYearLater)), "old\r\n");
    EXPECT_TRUE(std::filesystem::exists(JockeyMasterFile(App(), pastMissing)));
    EXPECT_EQ(std::count(result.reported.begin(), result.reported.end(), Sjis("作成済み:2026年01月09日.jvKS")), 0);
}

TEST_F(MasterFilesTest, NothingWithoutDatesOrLines)
{
    EXPECT_TRUE(WriteMasterFiles(App(), Lists(), {}, 110).reported.empty());
    EXPECT_TRUE(WriteMasterFiles(App(), MasterLists{}, {DayNameFromDigits("20260110")}, 110).reported.empty());
    EXPECT_EQ(test::Tree(App()).size(), 0u);
}

} // namespace
} // namespace vornal
