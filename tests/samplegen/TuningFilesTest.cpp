#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "FeedSupport.h"
#include "app/AtomicFile.h"
#include "app/TuningTables.h"
#include "samplegen/TuningFiles.h"

namespace vornal::samplegen::test {
namespace {

namespace fs = std::filesystem;

double DoubleAt(const std::string& bytes, std::size_t index)
{
    // The files are little-endian; so is every machine the tests run on.
    double value = 0;
    std::memcpy(&value, bytes.data() + index * 8, 8);
    return value;
}

class TuningFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("vornal-samplegen-tuning-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path Write(const char* name, const std::string& bytes)
    {
        const fs::path file = m_dir / name;
        EXPECT_TRUE(WriteFileAtomic(file, bytes).ok);
        return file;
    }

    fs::path m_dir;
};

TEST_F(TuningFiles, GateAdjustmentsFillTheRowsOfEightToEighteenRunners)
{
    const std::string bytes = GateAdjBytes();
    ASSERT_EQ(bytes.size(), 15u * 576u);
    TuningTables tables;
    ASSERT_TRUE(LoadGateAdj(Write("GateAdj.dat", bytes), tables).ok);
    for (int f = 1; f <= 11; ++f) {
        for (int slot = 0; slot < 18; ++slot) {
            EXPECT_GT(tables.GateAdj(f, slot), 1.3) << f << " " << slot;
            EXPECT_LT(tables.GateAdj(f, slot), 1.7) << f << " " << slot;
        }
        // Outside gates cost a little more than inside ones.
        EXPECT_LT(tables.GateAdj(f, 0), tables.GateAdj(f, 17));
    }
    // Nothing outside the doubles that are read.
    for (std::size_t i = 0; i < 15 * 72; ++i) {
        const bool read = i / 72 >= 4 && i % 72 >= 36 && i % 72 < 54;
        if (!read) {
            EXPECT_EQ(DoubleAt(bytes, i), 0.0) << i;
        }
    }
}

TEST_F(TuningFiles, RotationStatisticsCountTheSeasonsStarters)
{
    const Fixture& f = SharedFixture();
    const std::string bytes = RotationBytes(f.season);
    ASSERT_EQ(bytes.size(), 2u * 4400u);
    TuningTables tables;
    ASSERT_TRUE(LoadRotation(Write("RT.dat", bytes), tables).ok);

    // Every starter of a JRA race with results is counted once per past-run number.
    int starters = 0;
    int winners = 0;
    for (const auto& [key, race] : ResultRaces(f.feed)) {
        for (std::string_view se : race.runners) {
            starters += Num(se, 360, 4) > 0 ? 1 : 0;
            winners += Num(se, 335, 2) == 1 ? 1 : 0;
        }
    }
    const RotationStatsTables& stats = tables.RotationStats;
    for (int k = 1; k <= 11; ++k) {
        int races = 0;
        int wins = 0;
        double normalised = 0;
        for (int b = 1; b <= 10; ++b) {
            races += stats.Races[k][b];
            wins += stats.Wins[k][b];
            EXPECT_LE(stats.Wins[k][b], stats.TopTwo[k][b]);
            EXPECT_LE(stats.TopTwo[k][b], stats.TopThree[k][b]);
            EXPECT_LE(stats.TopThree[k][b], stats.Races[k][b]);
            if (stats.Races[k][b] > 0) {
                EXPECT_DOUBLE_EQ(stats.WinRate[k][b], static_cast<double>(stats.Wins[k][b]) / stats.Races[k][b]);
            }
            normalised += tables.Rotation(k, b);
        }
        EXPECT_EQ(races, starters) << k;
        EXPECT_EQ(wins, winners) << k;
        EXPECT_NEAR(normalised, 1.0, 1e-9) << k;
    }
    // The table has something true to find: last time's runners-up win far more often than
    // horses beaten out of sight, and so do last time's winners, though they have gone up a
    // class since.
    EXPECT_GT(stats.WinRate[1][2], 2 * stats.WinRate[1][9]);
    EXPECT_GT(stats.WinRate[1][1], stats.WinRate[1][9]);
    EXPECT_LT(stats.WinRate[1][1], stats.WinRate[1][2]);
    // Early in the season most horses have no fifth run in the store yet.
    EXPECT_GT(stats.Races[5][10], stats.Races[1][10]);
}

TEST_F(TuningFiles, RotationRowsWithoutResultsStayUsable)
{
    // A one-day season has no results at all: the file still loads.
    SampleOptions options;
    options.days = 1;
    const Season season = BuildSampleSeason(options);
    TuningTables tables;
    EXPECT_TRUE(LoadRotation(Write("RT.dat", RotationBytes(season)), tables).ok);
    EXPECT_NEAR(tables.Rotation(1, 10), 0.1, 1e-9);
}

TEST_F(TuningFiles, RankHitTableHasAHitRateForEveryQuinellaRank)
{
    const std::string bytes = RankHitBytes();
    ASSERT_EQ(bytes.size(), 19584u);
    TuningTables tables;
    ASSERT_TRUE(LoadRankHit(Write("senuj.dat", bytes), tables).ok);
    bool star = false;
    for (int c = 1; c <= 8; ++c) {
        double total = 0;
        int marked = 0;
        for (int r = 1; r <= 153; ++r) {
            total += tables.RankHitRate(c, r);
            EXPECT_GT(tables.RankExpectedValue(c, r), 0.0);
            marked += tables.RankExpectedValue(c, r) >= 1.0 ? 1 : 0;
            star = star || tables.RankExpectedValue(c, r) >= 2.0;
            if (r > 1) {
                EXPECT_LE(tables.RankHitRate(c, r), tables.RankHitRate(c, r - 1));
            }
        }
        EXPECT_NEAR(total, 100.0, 1e-9) << c; // one winning pair a race
        EXPECT_GT(marked, 0) << c;
        EXPECT_LT(marked, 20) << c;
        if (c > 1) {
            EXPECT_GT(tables.RankHitRate(c, 1), tables.RankHitRate(c - 1, 1));
        }
    }
    EXPECT_TRUE(star);
}

} // namespace
} // namespace vornal::samplegen::test
