#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

#include <unistd.h>

#include "cli/CliRun.h"

#include "store/StoreTestSupport.h"

namespace vornal::test {
namespace {

namespace fs = std::filesystem;

// A generated store of a few days, shared by the tests of this file.
class BetCommands : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_root = fs::temp_directory_path() / ("vornal-cli-bets-" + std::to_string(::getpid()));
        fs::remove_all(s_root);
        const CliResult generated =
            RunCli("samplegen --feed " + Q(s_root / "feed") + " --days 6 --tuning " + Q(s_root / "app"));
        ASSERT_EQ(generated.exitCode, 0) << generated.out;
        const std::size_t at = generated.out.find("--from \"");
        ASSERT_NE(at, std::string::npos);
        const std::string from = generated.out.substr(at + 8, 19);
        ASSERT_EQ(RunCli(App() + "acquire --feed " + Q(s_root / "feed") + " --from '" + from + "'").exitCode, 0);
    }
    static void TearDownTestSuite() { fs::remove_all(s_root); }

    static std::string Q(const fs::path& path) { return ShellQuote(path.string()); }
    static std::string App() { return "--app-dir " + Q(s_root / "app") + " "; }

    static inline fs::path s_root;
};

// The "points", "hits", "staked" and "returned" numbers of every "DayTotals"-shaped object
// in a JSON text, summed per bet type.
std::map<std::string, std::array<long long, 4>> SumTotals(const std::string& json, const std::string& after = {})
{
    std::map<std::string, std::array<long long, 4>> sums;
    const std::regex entry(R"re("(単勝|複勝|馬連|ﾜｲﾄﾞ)":\{"points":(\d+),"hits":(\d+),"staked":(\d+),"returned":(\d+),)re");
    const std::string text = after.empty() ? json : json.substr(0, json.find(after));
    for (std::sregex_iterator it(text.begin(), text.end(), entry), end; it != end; ++it) {
        auto& sum = sums[(*it)[1]];
        for (int i = 0; i < 4; ++i) {
            sum[i] += std::stoll((*it)[i + 2]);
        }
    }
    return sums;
}

TEST_F(BetCommands, BacktestTotalsAreTheSumOfTheDayLoads)
{
    for (const char* method : {"no1", "no2", "sp1"}) {
        const CliResult backtest = RunCli(App() + "backtest --json --method " + method);
        ASSERT_EQ(backtest.exitCode, 0) << method;
        const auto days = SumTotals(backtest.out, "\"totals\":");
        const auto totals = SumTotals(backtest.out.substr(backtest.out.find("\"totals\":")));
        EXPECT_EQ(days, totals) << method;
        ASSERT_EQ(totals.size(), 4u) << backtest.out.substr(0, 500);
        if (std::string(method) == "no1") {
            EXPECT_GT(totals.at("馬連")[0], 0) << "No.1 bets the generated races";
        }
    }
    // The day loads under the settings' method (No.1 by default) give the same days.
    const CliResult dates = RunCli(App() + "dates");
    std::map<std::string, std::array<long long, 4>> byDay;
    std::istringstream lines(dates.out);
    for (std::string day; std::getline(lines, day);) {
        const CliResult loaded = RunCli(App() + "day --json --date " + ShellQuote(day));
        ASSERT_EQ(loaded.exitCode, 0) << day;
        for (const auto& [type, sum] : SumTotals(loaded.out.substr(0, loaded.out.find("\"races\":")))) {
            for (int i = 0; i < 4; ++i) {
                byDay[type][i] += sum[i];
            }
        }
    }
    const CliResult backtest = RunCli(App() + "backtest --json --method no1");
    EXPECT_EQ(byDay, SumTotals(backtest.out.substr(backtest.out.find("\"totals\":"))));
    // The method was an argument: the settings did not change, and no hit file was written.
    EXPECT_EQ(Slurp(s_root / "app" / "vornal.ini").find("kaime"), std::string::npos);
    for (const fs::directory_entry& entry : fs::directory_iterator(s_root / "app")) {
        EXPECT_NE(entry.path().extension(), ".ksr") << entry.path();
    }
}

TEST_F(BetCommands, UserSetsAreSavedCheckedAndDeletedThroughTheCli)
{
    const std::string pairs = "実績確率,1,実績確率,2,格,1,格,2,実力,1,実力,2,";
    const std::string fields = "テスト,実績確率,1,格,1," + pairs + pairs + "10,16,1000,2400,10,16,1000,2400";
    const CliResult saved = RunCli(App() + "userset save --fields " + ShellQuote(fields), true);
    EXPECT_EQ(saved.exitCode, 0) << saved.out;
    EXPECT_NE(saved.out.find("設定[テスト]を保存しました。"), std::string::npos) << saved.out;
    const CliResult listed = RunCli(App() + "usersets");
    EXPECT_EQ(listed.out.rfind("0\tテスト\t", 0), 0u) << listed.out;

    // The same name again asks first; without --yes nothing changes.
    const CliResult declined = RunCli(App() + "userset save --fields " + ShellQuote(fields), true);
    EXPECT_EQ(declined.exitCode, 1);
    EXPECT_NE(declined.out.find("[テスト]はすでに登録済みの名称です。上書きしますか?"), std::string::npos);
    EXPECT_EQ(RunCli(App() + "userset save --yes --fields " + ShellQuote(fields)).exitCode, 0);

    const CliResult user = RunCli(App() + "backtest --json --method user --set テスト");
    EXPECT_EQ(user.exitCode, 0);
    EXPECT_NE(user.out.find("\"BetKindSuffix\":\"_テスト\""), std::string::npos) << user.out.substr(0, 300);

    EXPECT_EQ(RunCli(App() + "userset delete --name テスト --yes").exitCode, 0);
    EXPECT_EQ(RunCli(App() + "usersets").out, "");
    EXPECT_EQ(RunCli(App() + "userset save --fields 'a,b'").exitCode, 2);
}

TEST_F(BetCommands, ReportTotalsAreTheBacktestsForEachMethod)
{
    const CliResult report = RunCli(App() + "report --json --threads 2 --method no1,no2 --by surface,odds");
    ASSERT_EQ(report.exitCode, 0);
    const std::size_t second = report.out.find("{\"method\":\"no2\"");
    ASSERT_NE(second, std::string::npos);
    for (const auto& [method, json] : {std::pair{"no1", report.out.substr(0, second)},
                                       std::pair{"no2", report.out.substr(second)}}) {
        const std::string totals = json.substr(json.find("\"totals\":"));
        const CliResult backtest = RunCli(App() + "backtest --json --method " + method);
        EXPECT_EQ(SumTotals(totals.substr(0, totals.find("\"breakdowns\":"))),
                  SumTotals(backtest.out.substr(backtest.out.find("\"totals\":"))))
            << method;
        // The rate texts are the backtest's too.
        const std::string rate = backtest.out.substr(backtest.out.find("\"totals\":"));
        EXPECT_EQ(totals.substr(0, totals.find("}}") + 2), rate.substr(0, rate.find("}}") + 2)) << method;
    }
    const CliResult text = RunCli(App() + "report --method no1 --by course");
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find("[競馬場]"), std::string::npos);
    EXPECT_EQ(text.out.find("[馬場]"), std::string::npos);
    for (const char* bad : {"--method no9", "--method no1 --by colour", "--method no1 --threads 0", "--by course"}) {
        EXPECT_EQ(RunCli(App() + "report " + bad).exitCode, 2) << bad;
    }
}

} // namespace
} // namespace vornal::test
