#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "samplegen/SampleGenerator.h"
#include "samplegen/SampleRandom.h"

namespace vornal::samplegen {
namespace {

namespace fs = std::filesystem;

// Every file under `root`, relative path -> bytes.
std::map<std::string, std::string> Tree(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            files[fs::relative(entry.path(), root).generic_string()] = bytes.str();
        }
    }
    return files;
}

class Generator : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("vornal-samplegen-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                 "-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    SampleOptions Options(const std::string& name) const
    {
        SampleOptions options;
        options.feedDir = m_dir / name / "feed";
        options.tuningDir = m_dir / name / "app";
        options.timeSeriesDir = m_dir / name / "jikeiretu";
        options.days = 6;
        return options;
    }

    fs::path m_dir;
};

TEST_F(Generator, TheSameOptionsGiveTheSameBytes)
{
    const Result<SampleSummary> first = GenerateSample(Options("a"));
    const Result<SampleSummary> second = GenerateSample(Options("b"));
    ASSERT_TRUE(first) << first.message();
    ASSERT_TRUE(second) << second.message();
    const auto a = Tree(m_dir / "a");
    const auto b = Tree(m_dir / "b");
    ASSERT_GT(a.size(), 20u);
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [path, bytes] : a) {
        ASSERT_TRUE(b.count(path)) << path;
        EXPECT_TRUE(bytes == b.at(path)) << path;
    }
    EXPECT_TRUE(a.count("app/RT.dat"));
    EXPECT_TRUE(a.count("app/GateAdj.dat"));
    EXPECT_TRUE(a.count("app/senuj.dat"));
}

TEST_F(Generator, AnotherSeedGivesAnotherSeason)
{
    SampleOptions other = Options("b");
    other.seed = 2;
    ASSERT_TRUE(GenerateSample(Options("a")));
    ASSERT_TRUE(GenerateSample(other));
    const auto a = Tree(m_dir / "a" / "feed");
    const auto b = Tree(m_dir / "b" / "feed");
    int differing = 0;
    for (const auto& [path, bytes] : a) {
        differing += b.count(path) && b.at(path) != bytes ? 1 : 0;
    }
    EXPECT_GT(differing, 5);
}

TEST_F(Generator, AnEarlierFeedIsReplacedNotMerged)
{
    SampleOptions options = Options("a");
    options.days = 8;
    ASSERT_TRUE(GenerateSample(options));
    std::ofstream(options.feedDir / "stored" / "notes.txt") << "kept";
    options.days = 4;
    ASSERT_TRUE(GenerateSample(options));
    const auto files = Tree(options.feedDir);
    EXPECT_TRUE(files.count("stored/notes.txt"));
    int results = 0;
    for (const auto& [path, bytes] : files) {
        results += path.find("RACE-RESULTS-") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(results, 3); // four days, the last without results
}

TEST_F(Generator, EndCountsTheSeasonBackFromTheLastWeekend)
{
    SampleOptions options;
    options.days = 4;
    options.end = SampleDate{2026, 3, 4}; // a Wednesday
    EXPECT_EQ(SeasonStart(options), (SampleDate{2026, 2, 21}));
    const Season season = BuildSampleSeason(options);
    EXPECT_EQ(DateOfDay(season.lastDay), (SampleDate{2026, 3, 1}));
    EXPECT_EQ(season.raceDays.size(), 4u);
    options.end = SampleDate{2026, 3, 7}; // a Saturday is itself the last day
    options.days = 1;
    EXPECT_EQ(SeasonStart(options), (SampleDate{2026, 3, 7}));
}

TEST_F(Generator, RefusesDaysOutOfRangeAndAMissingFeedFolder)
{
    SampleOptions options = Options("a");
    options.days = 0;
    EXPECT_FALSE(GenerateSample(options));
    options.days = kMaxDays + 1;
    EXPECT_FALSE(GenerateSample(options));
    options.days = 2;
    options.feedDir.clear();
    const Result<SampleSummary> result = GenerateSample(options);
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.message().empty());
    EXPECT_FALSE(fs::exists(m_dir / "a"));
}

TEST_F(Generator, ReportsAFeedFolderThatCannotBeWritten)
{
    std::ofstream(m_dir / "taken") << "a file, not a folder";
    SampleOptions options = Options("a");
    options.feedDir = m_dir / "taken";
    const Result<SampleSummary> result = GenerateSample(options);
    EXPECT_FALSE(result);
    EXPECT_NE(result.message().find("taken"), std::string::npos) << result.message();
}

TEST(SampleDates, CountDaysAndWeekdaysAcrossMonthsAndLeapYears)
{
    EXPECT_EQ(DayNumber({1970, 1, 1}), 0);
    EXPECT_EQ(Weekday(DayNumber({2026, 1, 3})), 6); // a Saturday
    EXPECT_EQ(DayNumber({2024, 3, 1}) - DayNumber({2024, 2, 28}), 2);
    EXPECT_EQ(DayNumber({2026, 3, 1}) - DayNumber({2026, 2, 28}), 1);
    for (int day = DayNumber({2023, 12, 25}); day < DayNumber({2025, 1, 10}); ++day) {
        EXPECT_EQ(DayNumber(DateOfDay(day)), day);
    }
    EXPECT_EQ(DayOfYear({2024, 12, 31}), 366);
    EXPECT_EQ(ParseIsoDate("2026-02-28"), (SampleDate{2026, 2, 28}));
    EXPECT_FALSE(ParseIsoDate("2026-02-29"));
    EXPECT_FALSE(ParseIsoDate("2026-2-28"));
    EXPECT_FALSE(ParseIsoDate("20260228"));
    EXPECT_FALSE(ParseIsoDate("2026-13-01"));
}

TEST(SampleRandomSource, StreamsAreFixedAndIndependent)
{
    SampleRandom a = SampleRandom::Stream(1, 3, 100);
    SampleRandom b = SampleRandom::Stream(1, 3, 100);
    SampleRandom c = SampleRandom::Stream(1, 3, 101);
    int same = 0;
    for (int i = 0; i < 100; ++i) {
        const std::uint64_t x = a.Next();
        EXPECT_EQ(x, b.Next());
        same += x == c.Next() ? 1 : 0;
    }
    EXPECT_EQ(same, 0);
}

TEST(SampleRandomSource, DrawsHaveTheirRangesAndMoments)
{
    SampleRandom random(42);
    double sum = 0;
    double squares = 0;
    constexpr int kDraws = 200000;
    for (int i = 0; i < kDraws; ++i) {
        const double x = random.Normal();
        sum += x;
        squares += x * x;
        EXPECT_LE(std::abs(x), 3.47);
        const int k = random.Below(7);
        EXPECT_GE(k, 0);
        EXPECT_LT(k, 7);
        const double u = random.Uniform();
        EXPECT_GE(u, 0.0);
        EXPECT_LT(u, 1.0);
    }
    EXPECT_NEAR(sum / kDraws, 0.0, 0.01);
    EXPECT_NEAR(squares / kDraws, 1.0, 0.02);
    const double weights[] = {0.0, 3.0, 1.0};
    int counts[3] = {};
    for (int i = 0; i < 40000; ++i) {
        ++counts[random.Weighted(weights, 3)];
    }
    EXPECT_EQ(counts[0], 0);
    EXPECT_NEAR(counts[1] / 40000.0, 0.75, 0.01);
}

} // namespace
} // namespace vornal::samplegen
