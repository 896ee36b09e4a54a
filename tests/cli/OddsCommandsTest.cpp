#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include <unistd.h>

#include "cli/CliRun.h"

#include "store/StoreTestSupport.h"
#include "text/Encoding.h"

namespace vornal::test {
namespace {

namespace fs = std::filesystem;

// A generated season whose last day (2026-01-11) has race cards but no results yet, its
// realtime odds in the feed and its time-series folder.
class OddsCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("vornal-cli-odds-" + std::to_string(::getpid()));
        fs::remove_all(m_root);
        const CliResult generated = RunCli("samplegen --feed " + Q(m_root / "feed") + " --days 4 --tuning " +
                                           Q(m_root / "app") + " --timeseries " + Q(m_root / "ts"));
        ASSERT_EQ(generated.exitCode, 0) << generated.out;
        const std::size_t at = generated.out.find("--from \"");
        ASSERT_NE(at, std::string::npos);
        const std::string from = generated.out.substr(at + 8, 19);
        ASSERT_EQ(RunCli(App() + "acquire --feed " + Q(m_root / "feed") + " --from '" + from + "'").exitCode, 0);
    }
    void TearDown() override { fs::remove_all(m_root); }

    std::string Q(const fs::path& path) const { return ShellQuote(path.string()); }
    std::string App() const { return "--app-dir " + Q(m_root / "app") + " "; }

    fs::path m_root;
};

std::vector<std::string> Values(const std::string& json, const std::string& key)
{
    std::vector<std::string> values;
    const std::regex entry("\"" + key + "\":(\"[^\"]*\"|[-0-9.e]+)");
    for (std::sregex_iterator it(json.begin(), json.end(), entry), end; it != end; ++it) {
        values.push_back((*it)[1]);
    }
    return values;
}

// The numbers of every array `key` holds, all races together.
std::vector<double> ArrayValues(const std::string& json, const std::string& key)
{
    std::vector<double> values;
    const std::regex array("\"" + key + "\":\\[([^\\]]*)\\]");
    for (std::sregex_iterator it(json.begin(), json.end(), array), end; it != end; ++it) {
        const std::string items = (*it)[1];
        std::size_t at = 0;
        while (at < items.size()) {
            std::size_t next = items.find(',', at);
            next = next == std::string::npos ? items.size() : next;
            values.push_back(std::stod(items.substr(at, next - at)));
            at = next + 1;
        }
    }
    return values;
}

TEST_F(OddsCommands, QuickOddsThenTimeSeriesChangeTheRaceOdds)
{
    const std::string race = App() + "race --date 20260111 --slot 5 --json";
    const CliResult before = RunCli(race);
    ASSERT_EQ(before.exitCode, 0) << before.out;
    EXPECT_EQ(Values(before.out, "OddsO1Time"), std::vector<std::string>{"\"    \""}) << "a blank record";
    for (const std::string& odds : Values(before.out, "WinOdds")) {
        EXPECT_EQ(odds, "-2") << "no odds before the fetch";
    }

    const CliResult fetched = RunCli(App() + "odds --all --date 20260111 --feed " + Q(m_root / "feed"));
    ASSERT_EQ(fetched.exitCode, 0) << fetched.out;
    EXPECT_NE(fetched.out.find("オッズ取得中\n"), std::string::npos);
    const std::smatch summary = [&] {
        std::smatch m;
        std::regex_search(fetched.out, m, std::regex(R"((\d+) races fetched, (\d+) records stored, 0 errors\n$)"));
        return m;
    }();
    ASSERT_FALSE(summary.empty()) << fetched.out.substr(fetched.out.size() > 200 ? fetched.out.size() - 200 : 0);
    EXPECT_GT(std::stoi(summary[2]), std::stoi(summary[1])) << "many announcements a race";

    const CliResult quick = RunCli(race);
    ASSERT_EQ(quick.exitCode, 0);
    const std::vector<std::string> quickTime = Values(quick.out, "OddsO1Time");
    ASSERT_EQ(quickTime.size(), 1u);
    EXPECT_NE(quickTime[0], "\"    \"");
    int priced = 0;
    for (const std::string& odds : Values(quick.out, "WinOdds")) {
        priced += std::stod(odds) > 0.0 ? 1 : 0;
    }
    EXPECT_GT(priced, 4);
    // A second fetch stores nothing: every stored line is as new as the feed's last record.
    const CliResult again = RunCli(App() + "odds --slot 5 --date 20260111 --feed " + Q(m_root / "feed"));
    EXPECT_NE(again.out.find("1 races fetched, 0 records stored, 0 errors"), std::string::npos) << again.out;

    // The snapshot of 30 minutes before the off is older than the last quick odds.
    const CliResult series = RunCli(App() + "tsodds --date 20260111 --folder " + Q(m_root / "ts"));
    ASSERT_EQ(series.exitCode, 0) << series.out;
    EXPECT_NE(series.out.find("ﾚｰｽ分の単ｵｯｽﾞを取りこみました。\n"), std::string::npos);
    const CliResult taken = RunCli(race);
    const std::vector<std::string> postTime = Values(taken.out, "PostTime");
    const std::vector<std::string> oddsTime = Values(taken.out, "AutoOddsTime");
    const std::vector<std::string> seriesTime = Values(taken.out, "OddsO1Time");
    ASSERT_EQ(oddsTime.size(), 1u);
    ASSERT_EQ(seriesTime.size(), 1u);
    EXPECT_NE(seriesTime, quickTime);
    const auto minutes = [](const std::string& quoted) {
        return std::stoi(quoted.substr(1, 2)) * 60 + std::stoi(quoted.substr(3, 2));
    };
    EXPECT_LE(std::abs(minutes(seriesTime[0]) - minutes(oddsTime[0])), 5) << "announcements are ten minutes apart";
    EXPECT_NE(Values(taken.out, "WinOdds"), Values(quick.out, "WinOdds"));
}

// The feed has no quinella odds: the payouts the bets rest on must survive both imports, and
// --json prints the day as it stands after them (the progress kept off the standard output).
TEST_F(OddsCommands, ImportsKeepThePredictedQuinellaPayoutsAndPrintTheDay)
{
    const CliResult loaded = RunCli(App() + "day --date 20260111 --json");
    ASSERT_EQ(loaded.exitCode, 0);
    const std::vector<double> predicted = ArrayValues(loaded.out, "PredictedQuinellaPayout");
    const std::size_t priced = std::count_if(predicted.begin(), predicted.end(), [](double v) { return v > 0.0; });
    ASSERT_GT(priced, 100u);

    const CliResult fetched = RunCli(App() + "odds --all --json --date 20260111 --feed " + Q(m_root / "feed"));
    ASSERT_EQ(fetched.exitCode, 0);
    ASSERT_EQ(fetched.out.rfind("{\"date\":", 0), 0u) << fetched.out.substr(0, 200);
    EXPECT_EQ(ArrayValues(fetched.out, "PredictedQuinellaPayout"), predicted);
    const std::vector<std::string> win = Values(fetched.out, "WinOdds");
    EXPECT_GT(std::count_if(win.begin(), win.end(), [](const std::string& v) { return std::stod(v) > 0.0; }), 100)
        << "the day printed is the one the fetch imported into, not a fresh load";

    const CliResult series = RunCli(App() + "tsodds --json --date 20260111 --folder " + Q(m_root / "ts"));
    ASSERT_EQ(series.exitCode, 0);
    ASSERT_EQ(series.out.rfind("{\"date\":", 0), 0u) << series.out.substr(0, 200);
    EXPECT_EQ(ArrayValues(series.out, "PredictedQuinellaPayout"), predicted);
    EXPECT_NE(Values(series.out, "WinOdds"), win);
}

TEST_F(OddsCommands, AnInjectedOpenErrorIsLoggedAndTheOtherRacesAreFetched)
{
    Spit(m_root / "feed" / "link.ini", "[errors]\nJVRTOpen=-504@3\n");
    const CliResult fetched = RunCli(App() + "odds --date 20260111 --feed " + Q(m_root / "feed"));
    EXPECT_EQ(fetched.exitCode, 1);
    const std::regex error("\n(\\S+ ?\\d+R:ｵｯｽﾞ取得エラー：[^\n]*\\(-504\\))\n");
    std::smatch line;
    ASSERT_TRUE(std::regex_search(fetched.out, line, error)) << fetched.out;
    const std::regex total(R"((\d+) races fetched, \d+ records stored, 1 errors\n$)");
    std::smatch summary;
    ASSERT_TRUE(std::regex_search(fetched.out, summary, total));
    // Every race was tried: the one that failed to open is the only one not fetched.
    const std::regex tried("オッズ取得中\n");
    const auto races = std::distance(std::sregex_iterator(fetched.out.begin(), fetched.out.end(), tried),
                                     std::sregex_iterator());
    EXPECT_GT(races, 20);
    EXPECT_EQ(std::stoi(summary[1]), races - 1);
    // The log holds the same text behind the time stamp.
    const std::string logText = ToUtf8(Slurp(m_root / "app" / "ErrorLog.txt"));
    EXPECT_TRUE(std::regex_search(logText, std::regex("【エラー】\\d\\d:\\d\\d:\\d\\d：" +
                                                      std::regex_replace(line[1].str(), std::regex(R"([()])"), "\\$&") +
                                                      "\r\n")))
        << logText;
}

} // namespace
} // namespace vornal::test
