#include <gtest/gtest.h>

#include "analysis/MasterRates.h"
#include "app/TempDir.h"
#include "RatingTestSupport.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

using ratingtest::JockeyRecord;
using ratingtest::TrainerRecord;

TEST(MasterRates, TopTwoShareCountsFirstsAndSecondsOfBothYearsAndBothCodes)
{
    // This year flat 3-2-1-1-1-2, this year jump 1-0-0-0-0-1, last year flat 1-1-0-0-0-8,
    // last year jump 0-1-0-0-0-0: firsts and seconds 3+2+1+0+1+1+0+1 = 9 of 23 runs.
    std::vector<std::vector<int>> counts{
        {3, 2, 1, 1, 1, 2}, {1, 0, 0, 0, 0, 1}, {1, 1, 0, 0, 0, 8}, {0, 1, 0, 0, 0, 0}};
    EXPECT_DOUBLE_EQ(MasterRates::RecordRate(JockeyRecord("00001", "1", counts), MasterKind::Jockey), 9.0 / 23.0);
    EXPECT_DOUBLE_EQ(MasterRates::RecordRate(TrainerRecord("01001", "2", counts), MasterKind::Trainer), 9.0 / 23.0);
    EXPECT_DOUBLE_EQ(MasterRates::RecordRate(JockeyRecord("00001", "1"), MasterKind::Jockey), 0.0);
}

TEST(MasterRates, InvitedJockeysAndTrainersGetFixedRates)
{
    std::vector<std::vector<int>> strong{{50, 0, 0, 0, 0, 0}};
    EXPECT_DOUBLE_EQ(MasterRates::RecordRate(JockeyRecord("00001", "3", strong), MasterKind::Jockey), 0.2);
    EXPECT_DOUBLE_EQ(MasterRates::RecordRate(JockeyRecord("00001", "4", strong), MasterKind::Jockey), 0.25);
    EXPECT_DOUBLE_EQ(MasterRates::RecordRate(TrainerRecord("01001", "3", strong), MasterKind::Trainer), 0.15);
    EXPECT_DOUBLE_EQ(MasterRates::RecordRate(TrainerRecord("01001", "4", strong), MasterKind::Trainer), 0.2);
}

TEST(MasterRates, LastRecordOfACodeWinsAndUnknownCodesRateZero)
{
    std::string bytes = JockeyRecord("00001", "1", {{1, 0, 0, 0, 0, 1}}) + JockeyRecord("00002", "3") +
                        JockeyRecord("00001", "1", {{1, 0, 0, 0, 0, 3}});
    MasterRatesResult result = ParseMasterRates(bytes, MasterKind::Jockey, "KS");
    ASSERT_TRUE(result) << result.message();
    EXPECT_EQ(result.value.Count(), 2u);
    EXPECT_DOUBLE_EQ(result.value.Rate("00001"), 0.25);
    EXPECT_DOUBLE_EQ(result.value.Rate("00002"), 0.2);
    EXPECT_DOUBLE_EQ(result.value.Rate("00003"), 0.0);
}

TEST(MasterRates, DamagedFilesNameTheFileAndRecord)
{
    std::string good = TrainerRecord("01001", "1");
    std::string bad = good;
    bad[bad.size() - 2] = ' ';
    MasterRatesResult noCrLf = ParseMasterRates(good + bad + good, MasterKind::Trainer, "X.jvCH");
    EXPECT_FALSE(noCrLf);
    EXPECT_EQ(noCrLf.message(),
              "Assertion failure (X.jvCH" + Sjis(" のレコード 1 の末尾が CR LF ではありません。") + ")");

    MasterRatesResult cut = ParseMasterRates(good + good + good.substr(0, 100), MasterKind::Trainer, "X.jvCH");
    EXPECT_FALSE(cut);
    EXPECT_EQ(cut.message(), "X.jvCH" + Sjis(" のレコード 2 が途中で切れています。"));

    // A jockey file read with the trainer length is not a whole number of records either.
    EXPECT_FALSE(ParseMasterRates(JockeyRecord("00001", "1"), MasterKind::Trainer, "X"));
    EXPECT_TRUE(ParseMasterRates("", MasterKind::Jockey, "X"));
}

TEST(MasterRates, ReadsFilesAndReportsMissingOnes)
{
    TempDir dir;
    ratingtest::WriteFile(dir / "d.jvKS", JockeyRecord("00007", "4"));
    MasterRatesResult read = ReadMasterRates(dir / "d.jvKS", MasterKind::Jockey);
    ASSERT_TRUE(read) << read.message();
    EXPECT_DOUBLE_EQ(read.value.Rate("00007"), 0.25);

    MasterRatesResult missing = ReadMasterRates(dir / "none.jvKS", MasterKind::Jockey);
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.message().find("none.jvKS"), std::string::npos);
}

} // namespace
} // namespace vornal
