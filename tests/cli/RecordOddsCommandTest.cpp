#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include <unistd.h>

#include "cli/CliRun.h"

#include "odds/TimeSeriesOdds.h"
#include "store/StorePaths.h"
#include "store/StoreTestSupport.h"
#include "support/TestFiles.h"
#include "text/Fields.h"

namespace vornal::test {
namespace {

namespace fs = std::filesystem;

// A generated season of three days acquired into an application folder; the generator's own
// time-series folder is what recording every morning must come to.
class RecordOddsCommand : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_root = fs::temp_directory_path() / ("vornal-cli-record-" + std::to_string(::getpid()));
        fs::remove_all(s_root);
        const CliResult generated =
            RunCli("samplegen --feed " + Q(s_root / "feed") + " --days 3 --courses 2 --tuning " + Q(s_root / "app") +
                   " --timeseries " + Q(s_root / "ts"));
        ASSERT_EQ(generated.exitCode, 0) << generated.out;
        const std::size_t at = generated.out.find("--from \"");
        ASSERT_NE(at, std::string::npos);
        ASSERT_EQ(RunCli(App() + "acquire --feed " + Q(s_root / "feed") + " --from '" +
                         generated.out.substr(at + 8, 19) + "'")
                      .exitCode,
                  0);
        s_days = StoredDayNames(s_root / "app");
        ASSERT_EQ(s_days.size(), 3u);
    }
    static void TearDownTestSuite() { fs::remove_all(s_root); }

    static std::string Q(const fs::path& path) { return ShellQuote(path.string()); }
    static std::string App() { return "--app-dir " + Q(s_root / "app") + " "; }
    static std::string Record(const std::string& digits, const fs::path& folder)
    {
        return App() + "record-odds --feed " + Q(s_root / "feed") + " --date " + digits + " --folder " + Q(folder) +
               " --simulate 08:50";
    }
    static std::map<std::string, std::string> Files(const fs::path& folder)
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                files[entry.path().lexically_relative(folder).string()] = Slurp(entry.path());
            }
        }
        return files;
    }

    static inline fs::path s_root;
    static inline std::vector<std::string> s_days;
};

// Every morning of the season recorded on a simulated clock: the decision-time report over
// the recorded folder is the report over the generator's own snapshots.
TEST_F(RecordOddsCommand, RecordedMorningsGiveTheDecisionTimeReportOfTheGeneratorsSnapshots)
{
    const fs::path recorded = s_root / "recorded";
    for (const std::string& day : s_days) {
        const CliResult run = RunCli(Record(DayDigits(day), recorded));
        EXPECT_EQ(run.exitCode, 0) << run.out;
        EXPECT_NE(run.out.find(" 0 errors"), std::string::npos) << run.out;
    }
    EXPECT_EQ(Files(recorded), Files(s_root / "ts"));

    ASSERT_TRUE(ChooseOddsFolder(s_root / "app", s_root / "ts"));
    const CliResult generated = RunCli(App() + "report --method no1,no2 --json");
    ASSERT_TRUE(ChooseOddsFolder(s_root / "app", recorded));
    const CliResult fromRecording = RunCli(App() + "report --method no1,no2 --json");
    ASSERT_EQ(fromRecording.exitCode, 0);
    EXPECT_EQ(fromRecording.out, generated.out);
    // Every day judged at decision time.
    std::size_t decided = 0;
    for (std::size_t at = 0; (at = fromRecording.out.find("\"decision\"", at)) != std::string::npos; ++at) {
        ++decided;
    }
    EXPECT_GE(decided, s_days.size());
}

// A recording killed mid-morning leaves only whole files; its restart adds the rest, and
// nothing twice.
TEST_F(RecordOddsCommand, AKillAndARestartLoseAndRepeatNothing)
{
    const fs::path folder = s_root / "killed";
    const std::string digits = DayDigits(s_days.front());
    const std::string command = "( " + ShellQuote(VORNAL_CLI_PATH) + " " + Record(digits, folder) +
                                " --pace 40 >/dev/null 2>&1 & pid=$!; sleep 1; kill -9 $pid; wait $pid ) 2>/dev/null";
    ASSERT_NE(std::system(command.c_str()), -1);

    std::size_t lines = 0;
    const std::map<std::string, std::string> reference = Files(s_root / "ts" / digits);
    for (const auto& [name, bytes] : Files(folder / digits)) {
        if (!name.ends_with(".jvO1")) {
            continue; // a temporary file the kill left behind
        }
        std::set<std::string> announced;
        for (const std::string& line : SplitLfLines(bytes)) {
            EXPECT_EQ(line.size(), 960u) << name;
            EXPECT_TRUE(announced.insert(line.substr(27, 8)).second) << name;
            EXPECT_NE(reference.at(name).find(line), std::string::npos) << name;
            ++lines;
        }
        EXPECT_TRUE(bytes.ends_with("\r\n")) << name;
    }
    std::size_t all = 0;
    for (const auto& [name, bytes] : reference) {
        all += SplitLfLines(bytes).size();
    }
    ASSERT_LT(lines, all) << "the recording was to be killed before the end of the morning";

    const CliResult restart = RunCli(Record(digits, folder));
    EXPECT_EQ(restart.exitCode, 0) << restart.out;
    EXPECT_NE(restart.out.find(" " + std::to_string(lines) + " already recorded"), std::string::npos) << restart.out;
    EXPECT_EQ(Files(folder / digits), reference);
}

TEST_F(RecordOddsCommand, WrongOptionsAreRefused)
{
    const std::string base = App() + "record-odds --feed " + Q(s_root / "feed") + " --date " + DayDigits(s_days[0]);
    EXPECT_EQ(RunCli(base + " --every 0").exitCode, 2);
    EXPECT_EQ(RunCli(base + " --from 25:00").exitCode, 2);
    EXPECT_EQ(RunCli(base + " --pace 10").exitCode, 2); // --pace goes with --simulate
    // The application folder is no time-series folder.
    ASSERT_TRUE(ChooseOddsFolder(s_root / "app", s_root / "app"));
    const CliResult refused = RunCli(base + " --simulate 08:50", true);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.out.find("時系列ｵｯｽﾞﾌｫﾙﾀﾞ指定をしてください。"), std::string::npos) << refused.out;
}

} // namespace
} // namespace vornal::test
