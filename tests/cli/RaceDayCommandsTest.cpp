#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include <unistd.h>

#include "cli/CliRun.h"
#include "raceday/RaceDayLoader.h"
#include "session/DaySession.h"
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
    // A date the store never held is said to be unknown, plainly.
    CliResult unknown = RunCli(AppDirArg(appDir) + "day --date 2000年01月05日", true);
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.out.find("2000年01月05日 のデータは保存されていません。"), std::string::npos) << unknown.out;
    // A date long past with its races but without a jockey master: the message asking for a
    // re-acquisition.
    std::filesystem::create_directories(appDir / "Data");
    std::ofstream(appDir / "Data" / "2000年01月05日.jvRA").put(' ');
    CliResult result = RunCli(AppDirArg(appDir) + "day --date 2000年01月05日", true);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("データが不揃いのようです。"), std::string::npos) << result.out;
    std::filesystem::remove_all(appDir);
}

// --- A whole synthetic season ---------------------------------------------------------

// Generates a 100-day season with the CLI and acquires it into a fresh application folder.
// Empty, with `error` saying why, when it fails.
std::filesystem::path AcquireSampleSeason(const std::filesystem::path& root, std::string& error)
{
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

// The figures every analysed race must satisfy, and the counts behind the signal check.
struct SignalCounts
{
    int races = 0;         // rated races with a winner
    int topRatedWins = 0;  // the AchievementProb favourite won
    double chance = 0.0;   // sum of 1/n: the wins a random pick would get
};

void ExpectSoundAnalysis(const RaceDay& day, const std::string& dayText, SignalCounts& counts)
{
    for (int r = 0; r < day.RaceCount; ++r) {
        const RaceSlot& race = day.Races[r];
        const int n = race.RunnerCount;
        if (n == 0 || LeadingNumber(race.Runners[0].HorseNo.View()) != 1) {
            continue;
        }
        SCOPED_TRACE(dayText + " race " + std::to_string(r));
        double classShare = 0, rotationShare = 0, goalShare = 0, winShare = 0, probability = 0;
        std::vector<std::vector<int>> ranks(11);
        int winner = -1;
        for (int h = 0; h < n; ++h) {
            const Runner& runner = race.Runners[h];
            classShare += runner.ClassShare;
            rotationShare += runner.RotationShare;
            goalShare += runner.GoalShare;
            winShare += runner.WinShare;
            probability += runner.AchievementProb;
            int i = 0;
            for (int rank : {runner.RankAchievement, runner.RankClass, runner.RankAvgMargin, runner.RankRotation,
                             runner.RankGoal, runner.RankFinalGoal, runner.RankBaseTime, runner.RankBestBaseTime,
                             runner.RankOverallMin, runner.WinRank, runner.BRank}) {
                ranks[static_cast<std::size_t>(i++)].push_back(rank);
            }
            const double payout = runner.PredictedWinPayout;
            if (payout != 0.0) {
                EXPECT_EQ(std::fmod(payout, 10.0), 0.0) << payout;
                EXPECT_GE(payout, 100.0);
                EXPECT_LE(payout, 9999900.0);
            }
            if (runner.FinishPos == 1) {
                winner = h;
            }
        }
        for (double sum : {classShare, rotationShare, goalShare, winShare}) {
            EXPECT_NEAR(sum, 100.0, 1e-6);
        }
        EXPECT_NEAR(probability, 1.05, 1e-9);
        std::vector<int> permutation(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            permutation[static_cast<std::size_t>(i)] = i + 1;
        }
        for (std::vector<int>& rank : ranks) {
            std::sort(rank.begin(), rank.end());
            EXPECT_EQ(rank, permutation);
        }
        for (int q = 1; q <= kQuinellaCount; ++q) {
            const double payout = race.PredictedQuinellaPayout[static_cast<std::size_t>(q)];
            if (payout != 0.0) {
                EXPECT_EQ(std::fmod(payout, 10.0), 0.0) << payout;
                EXPECT_GE(payout, 100.0);
                EXPECT_LE(payout, 9999900.0);
            }
        }
        if (winner >= 0) {
            ++counts.races;
            counts.chance += 1.0 / n;
            counts.topRatedWins += race.Runners[static_cast<std::size_t>(winner)].RankAchievement == 1 ? 1 : 0;
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
    ASSERT_FALSE(appDir.empty());
    const std::vector<std::string> days = StoredDayNames(appDir);
    ASSERT_GE(days.size(), 90u);

    // The loader itself, every day: past-run figures without the later passes.
    int runsWithBaseTime = 0;
    auto day = std::make_unique<RaceDay>();
    for (const std::string& dayName : days) {
        LoadOptions options;
        options.appDir = appDir;
        const LoadResult result = ReadRaceDay(*day, dayName, options);
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

    // Every pass in process: shares, ranks and payouts hold in every race, and the ratings
    // find the hidden ability: the top-rated runner wins far more often than a random pick.
    SignalCounts counts;
    DaySession session(appDir);
    for (const std::string& dayName : days) {
        const LoadResult result = session.LoadDay(dayName);
        ASSERT_TRUE(result.Ok()) << ToUtf8(dayName) << ": " << ToUtf8(result.message);
        ExpectSoundAnalysis(*session.Day(), ToUtf8(dayName), counts);
    }
    ASSERT_GT(counts.races, 2000);
    EXPECT_GT(counts.topRatedWins, 1.5 * counts.chance)
        << counts.topRatedWins << " wins of " << counts.races << " against " << counts.chance << " by chance";

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
