#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include <unistd.h>

#include "cli/CliRun.h"
#include "raceday/RaceDayLoader.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"

namespace vornal::test {
namespace {

std::filesystem::path TempDir(const std::string& name)
{
    auto path = std::filesystem::temp_directory_path() / ("vornal-cli-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

std::string AppDirArg(const std::filesystem::path& appDir)
{
    return "--app-dir " + ShellQuote(appDir.string()) + " ";
}

TEST(RaceDayCommands, DateAndSlotAreRequired)
{
    EXPECT_EQ(RunCli("race --slot 0 --json").exitCode, 2);
    EXPECT_EQ(RunCli("race --date 20260230 --slot 0").exitCode, 2) << "not a real date";
    EXPECT_EQ(RunCli("race --date 20260105 --slot 36").exitCode, 2);
    EXPECT_EQ(RunCli("day").exitCode, 2);
}

TEST(RaceDayCommands, RefusedLoadPrintsTheMessageAndFails)
{
    const auto appDir = TempDir("refused");
    // A date long past without a jockey master: the message asking for a re-acquisition.
    CliResult result = RunCli(AppDirArg(appDir) + "day --date 2000年01月05日", true);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("データが不揃いのようです。"), std::string::npos) << result.out;
    std::filesystem::remove_all(appDir);
}

// --- A whole synthetic season ---------------------------------------------------------

// Generates a 100-day season with the CLI and acquires it into a fresh application folder.
// Empty when the CLI cannot; `error` says why when it tried and failed.
std::filesystem::path AcquireSampleSeason(const std::filesystem::path& root, std::string& error)
{
    const std::string help = RunCli("help").out;
    if (help.find("samplegen") == std::string::npos || help.find("acquire") == std::string::npos) {
        return {};
    }
    const auto feed = root / "feed";
    const auto app = root / "app";
    std::filesystem::create_directories(app);
    const CliResult generated = RunCli(AppDirArg(app) + "samplegen --feed " + ShellQuote(feed.string()) +
                                       " --seed 11 --days 100 --tuning " + ShellQuote(app.string()));
    // The generator names the acquisition start that takes the whole season.
    const std::string fromKey = "--from \"";
    const std::size_t from = generated.out.find(fromKey);
    if (generated.exitCode != 0 || from == std::string::npos) {
        error = "samplegen failed: " + generated.out;
        return {};
    }
    const std::string fromTime = generated.out.substr(from + fromKey.size(), 19);
    if (RunCli(AppDirArg(app) + "acquire --feed " + ShellQuote(feed.string()) + " --from " + ShellQuote(fromTime))
            .exitCode != 0) {
        error = "acquire failed";
        return {};
    }
    return app;
}

void ExpectPlausibleFigures(const RaceDay& day, const std::string& dayText, int& runsWithBaseTime)
{
    for (int r = 0; r < day.RaceCount; ++r) {
        const RaceSlot& race = day.Races[r];
        const int registered = static_cast<int>(LeadingNumber(FieldView(day.RaceRA[r], 882, 2)));
        for (int h = 0; h < registered && h < kRunnerSlots; ++h) {
            const Runner& runner = race.Runners[h];
            SCOPED_TRACE(dayText + " race " + std::to_string(r) + " runner " + std::to_string(h));
            EXPECT_TRUE(std::isfinite(runner.AvgCorner4) && std::isfinite(runner.Corner4StdDev));
            EXPECT_TRUE(std::isfinite(runner.AvgAdjLast3F) && std::isfinite(runner.Last3FOffset));
            double smallestKey = 10000.0;
            for (int k = 0; k < kPastRuns; ++k) {
                const PastRun& past = runner.Past[k];
                for (double value : {past.PastBaseTime, past.PastAdjLast3F, past.PastFirstPace, past.PastWinnerBaseTime,
                                     past.PastNearLast3F, past.PastWinnerFirstPace, past.PastBaseTimeGap,
                                     past.PastLast3FGap, past.PastFirstPaceGap, past.PastRankKey}) {
                    EXPECT_TRUE(std::isfinite(value)) << "k " << k;
                }
                if (past.PastBaseTime > 0.0) {
                    ++runsWithBaseTime;
                    EXPECT_GT(past.PastBaseTime, 70.0) << "k " << k;
                    EXPECT_LT(past.PastBaseTime, 130.0) << "k " << k;
                    EXPECT_NE(past.PastBaseTimeGap, 10000.0) << "a base time always has its gap";
                }
                if (past.PastAdjLast3F > 0.0 && race.RaceMeanLast3F > 0.0) {
                    EXPECT_NE(past.PastLast3FGap, 10000.0) << "k " << k;
                    EXPECT_LT(std::abs(past.PastLast3FGap), 15.0) << "k " << k;
                    EXPECT_GT(past.PastGapRank, 0) << "k " << k;
                }
                if (past.PastRankKey < 1000.0) {
                    smallestKey = std::min(smallestKey, past.PastRankKey);
                }
            }
            EXPECT_EQ(runner.OverallMin, smallestKey);
        }
    }
}

// One test, so that the season is generated and acquired once.
TEST(SampleSeason, EveryDayLoadsAndShowsPlausiblePastRunFigures)
{
    const auto root = TempDir("season");
    std::string error;
    const std::filesystem::path appDir = AcquireSampleSeason(root, error);
    ASSERT_TRUE(error.empty()) << error;
    if (appDir.empty()) {
        std::filesystem::remove_all(root);
        GTEST_SKIP() << "vornal-cli has no samplegen and acquire commands";
    }
    const std::vector<std::string> days = StoredDayNames(appDir);
    ASSERT_GE(days.size(), 90u);

    // The loader itself, every day: past-run figures without the later passes.
    int runsWithBaseTime = 0;
    auto day = std::make_unique<RaceDay>();
    for (const std::string& dayName : days) {
        LoadOptions options;
        options.appDir = appDir;
        const LoadResult result = LoadRaceDay(*day, dayName, options);
        ASSERT_TRUE(result.Ok()) << ToUtf8(dayName) << ": " << ToUtf8(result.message);
        EXPECT_GE(day->RaceCount, 12) << ToUtf8(dayName);
        ExpectPlausibleFigures(*day, ToUtf8(dayName), runsWithBaseTime);
    }
    EXPECT_GT(runsWithBaseTime, 1000) << "careers across the season give past runs with base times";

    // The whole day load with every pass, every day, through the CLI.
    for (const std::string& dayName : days) {
        CliResult result = RunCli(AppDirArg(appDir) + "day --json --date " + DayDigits(dayName), true);
        ASSERT_EQ(result.exitCode, 0) << ToUtf8(dayName) << result.out.substr(0, 2000);
        EXPECT_EQ(result.out.find("null"), std::string::npos) << ToUtf8(dayName);
        EXPECT_EQ(result.out.rfind("{\"date\":\"" + ToUtf8(dayName) + "\",\"RaceCount\":", 0), 0u);
    }

    // One race of a day a quarter into the season, whose runners have careers by then.
    CliResult result = RunCli(AppDirArg(appDir) + "race --json --slot 0 --date " + ToUtf8(days[days.size() / 4]));
    ASSERT_EQ(result.exitCode, 0);
    const std::string& out = result.out;
    for (const char* key : {"\"SlotKey\":", "\"RunnerCount\":", "\"runners\":[{\"slot\":0,\"HorseNo\":",
                            "\"OverallMin\":", "\"past\":[{\"k\":0,\"PastRunPresent\":true",
                            "\"PastBaseTime\":", "\"PastGapRank\":", "\"PastGradeCode\":"}) {
        EXPECT_NE(out.find(key), std::string::npos) << key;
    }
    EXPECT_NE(out.find("\"PastBaseTime\":9"), std::string::npos) << "some base time in the 90s";
    EXPECT_EQ(out.find("null"), std::string::npos);
    std::filesystem::remove_all(root);
}

} // namespace
} // namespace vornal::test
