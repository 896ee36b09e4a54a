#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/CliRun.h"

namespace vornal::test {
namespace {

namespace fs = std::filesystem;

class SamplegenCommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir =
            fs::temp_directory_path() /
            ("vornal-cli-samplegen-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
             "-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Path(const std::string& name) const { return ShellQuote((m_dir / name).string()); }

    fs::path m_dir;
};

TEST_F(SamplegenCommand, RefusesMissingAndMalformedOptions)
{
    EXPECT_EQ(RunCli("samplegen").exitCode, 2);
    for (const char* bad : {"--days x", "--days 0", "--days 1001", "--seed -1", "--start 2026-02-30",
                            "--start 2026-01-03 --end 2026-02-01", "--end tomorrow"}) {
        const CliResult result = RunCli("samplegen --feed " + Path("feed") + " " + bad, true);
        EXPECT_EQ(result.exitCode, 2) << bad;
        EXPECT_NE(result.out.find("samplegen"), std::string::npos) << bad;
    }
    EXPECT_FALSE(fs::exists(m_dir / "feed"));
}

TEST_F(SamplegenCommand, WritesAFeedThatAcquiresIntoALoadableStore)
{
    const CliResult generated = RunCli("samplegen --feed " + Path("feed") + " --days 2 --tuning " + Path("app") +
                                       " --timeseries " + Path("ts"));
    ASSERT_EQ(generated.exitCode, 0);
    EXPECT_NE(generated.out.find("2026-01-03 .. 2026-01-04: 2 race days"), std::string::npos) << generated.out;
    const std::string marker = "--from \"";
    const std::size_t at = generated.out.find(marker);
    ASSERT_NE(at, std::string::npos) << generated.out;
    const std::string from = generated.out.substr(at + marker.size(), 19);
    EXPECT_TRUE(fs::exists(m_dir / "app" / "RT.dat"));
    EXPECT_TRUE(fs::exists(m_dir / "ts" / "20260104"));

    const std::string app = "--app-dir " + Path("app") + " ";
    const CliResult acquired = RunCli(app + "acquire --feed " + Path("feed") + " --from '" + from + "'");
    ASSERT_EQ(acquired.exitCode, 0) << acquired.out;
    const CliResult dates = RunCli(app + "dates");
    ASSERT_EQ(dates.exitCode, 0);
    std::istringstream lines(dates.out);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        count += line.empty() ? 0 : 1;
    }
    EXPECT_EQ(count, 2) << dates.out;
    // The last day holds entries only; a past day has its results.
    EXPECT_EQ(RunCli(app + "day --date 20260104").exitCode, 0);
    EXPECT_EQ(RunCli(app + "day --date 20260103").exitCode, 0);
}

} // namespace
} // namespace vornal::test
