#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>

#include <unistd.h>

#include "cli/CliRun.h"
#include "present/CellGrid.h"
#include "present/GridSort.h"
#include "present/RaceAnalysisView.h"
#include "present/DaySummaryTables.h"
#include "raceday/RaceDayLoader.h"
#include "session/DaySession.h"
#include "text/Encoding.h"

namespace vornal::test {
namespace {

// The table and view commands on a short synthetic season: the CLI prints exactly the grid
// the core builds, so checks made through it hold for the window and the clipboard too.
class TableCommands : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        root = std::filesystem::temp_directory_path() / ("vornal-cli-tables-" + std::to_string(::getpid()));
        std::filesystem::remove_all(root);
        app = root / "app";
        std::filesystem::create_directories(app);
        const std::string appArg = "--app-dir " + ShellQuote(app.string()) + " ";
        const std::string feed = ShellQuote((root / "feed").string());
        if (RunCli(appArg + "samplegen --feed " + feed + " --seed 5 --days 20 --tuning " + ShellQuote(app.string()))
                    .exitCode != 0 ||
            RunCli(appArg + "acquire --feed " + feed + " --from '2000/01/01 00:00:00'").exitCode != 0) {
            app.clear();
            return;
        }
        const std::string dates = RunCli(appArg + "dates").out;
        date = dates.substr(0, dates.find('\n'));
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(root); }

    void SetUp() override
    {
        if (app.empty() || date.empty()) {
            GTEST_FAIL() << "the sample season could not be made";
        }
    }

    static CliResult Run(const std::string& arguments)
    {
        return RunCli("--app-dir " + ShellQuote(app.string()) + " " + arguments + " --date " + ShellQuote(date));
    }

    static inline std::filesystem::path root;
    static inline std::filesystem::path app;
    static inline std::string date;
};

TEST_F(TableCommands, DayTablesAreTheCoreGrids)
{
    DaySession session(app);
    ASSERT_TRUE(session.LoadDay(ToCp932(date)).Ok());
    const RaceDay* day = session.Day();
    const CliResult main = Run("table --name main");
    ASSERT_EQ(main.exitCode, 0);
    EXPECT_EQ(main.out, ToUtf8(GridLines(BuildMainTable(*day), "\n")));
    const CliResult lapCheck = Run("table --name ラップ検証表");
    EXPECT_EQ(lapCheck.out, ToUtf8(GridLines(BuildLapCheckTable(*day), "\n")));
    EXPECT_NE(lapCheck.out.find("S数"), std::string::npos);
}

TEST_F(TableCommands, RaceTablesSortAndCopy)
{
    const CliResult copied = Run("table --name ranking --slot 0 --sort 実力 --clipboard");
    ASSERT_EQ(copied.exitCode, 0);
    EXPECT_EQ(copied.out.rfind(date.substr(0, 4) + "年", 0), 0u);
    EXPECT_NE(copied.out.find("R\r\n枠\t馬\t馬名\t実力\t順"), std::string::npos);
    // Sorted by the ability rank: the first data row holds rank 1.
    const std::size_t firstRow = copied.out.find("\r\n", copied.out.find("\r\n") + 2) + 2;
    const std::string row = copied.out.substr(firstRow, copied.out.find("\r\n", firstRow) - firstRow);
    std::vector<std::string> cells;
    for (std::size_t at = 0; at <= row.size();) {
        const std::size_t tab = std::min(row.find('\t', at), row.size());
        cells.push_back(row.substr(at, tab - at));
        at = tab + 1;
    }
    ASSERT_GT(cells.size(), 4u);
    EXPECT_EQ(cells[4], " 1");

    const CliResult pastRuns = Run("table --name pastruns --slot 0");
    EXPECT_EQ(pastRuns.out.rfind("順\t枠\t馬\t馬名", 0), 0u);
    EXPECT_NE(pastRuns.out.find("\n 1\t"), std::string::npos) << "rows are numbered";
}

TEST_F(TableCommands, BadRequestsAreUsageErrors)
{
    EXPECT_EQ(Run("table --name nosuch").exitCode, 2);
    EXPECT_EQ(Run("table --name lapcard").exitCode, 2) << "a race table needs --slot";
    EXPECT_EQ(Run("table --name lapcard --slot 0 --sort nosuch").exitCode, 2);
    EXPECT_EQ(Run("view --slot 40").exitCode, 2);
    const CliResult view = Run("view --slot 0");
    EXPECT_EQ(view.exitCode, 0);
    EXPECT_NE(view.out.find("LapPanel\t勝ちタイム："), std::string::npos);
}

} // namespace
} // namespace vornal::test

namespace vornal::test {
namespace {

// The painted cells through the command line: a sorted race card keeps each drawing with
// its runner, and the margin chart places the BShare leader on the goal line.
TEST_F(TableCommands, CellsFollowTheirRunnersAsJson)
{
    DaySession session(app);
    ASSERT_TRUE(session.LoadDay(ToCp932(date)).Ok());
    const RaceSlot& race = session.Day()->Races[0];
    int favourite = -1;
    for (int h = 0; h < race.RunnerCount; ++h) {
        if (race.Runners[h].WinRank == 1) {
            favourite = h;
        }
    }
    ASSERT_GE(favourite, 0);
    const CliResult card = Run("race --slot 0 --cells racecard --sort 単勝");
    ASSERT_EQ(card.exitCode, 0) << card.out;
    // Row 1 after the "単勝" toggle belongs to the WinRank leader, whatever its horse number.
    const std::size_t cell = card.out.find("{\"row\":1,\"column\":2,");
    ASSERT_NE(cell, std::string::npos);
    const std::size_t next = card.out.find("{\"row\":1,\"column\":3,", cell);
    const std::string name = ToUtf8(race.Runners[favourite].HorseName.View());
    const std::string drawn = card.out.substr(cell, next - cell);
    EXPECT_NE(drawn.find("\"text\":\"" + name + "\""), std::string::npos) << drawn.substr(0, 400);
    EXPECT_NE(drawn.find("単勝ﾗﾝｷﾝｸﾞ=◎"), std::string::npos);
    EXPECT_EQ(card.out.find("{\"row\":0,"), std::string::npos) << "the header row shows its own text";

    const CliResult chart = Run("race --slot 0 --cells margin --width 600 --height 400");
    ASSERT_EQ(chart.exitCode, 0) << chart.out;
    const std::size_t goal = chart.out.find("\"goalX\":");
    ASSERT_NE(goal, std::string::npos);
    const std::string goalX = chart.out.substr(goal + 8, chart.out.find(',', goal) - goal - 8);
    EXPECT_NE(chart.out.find("\"x\":" + goalX + ",\"y\""), std::string::npos) << "a figure on the goal line";

    const CliResult lapCheck = Run("day --cells lapcheck");
    ASSERT_EQ(lapCheck.exitCode, 0);
    EXPECT_NE(lapCheck.out.find("{\"row\":1,\"column\":7,"), std::string::npos);
    EXPECT_NE(lapCheck.out.find("\"fill\":[232,208,255]"), std::string::npos);

    EXPECT_EQ(Run("race --slot 0 --cells nosuch").exitCode, 2);
    EXPECT_EQ(Run("day --cells racecard").exitCode, 2);
    EXPECT_EQ(Run("race --slot 0 --cells detail --sort 単勝").exitCode, 2) << "the detail grid has no toggles";
}

// The keys of the JSON text `json`: every string followed by a colon.
std::set<std::string> JsonKeys(const std::string& json)
{
    std::set<std::string> keys;
    for (std::size_t at = json.find('"'); at != std::string::npos; at = json.find('"', at + 1)) {
        std::size_t end = at + 1;
        while (end < json.size() && json[end] != '"') {
            end += json[end] == '\\' ? 2 : 1;
        }
        if (end + 1 < json.size() && json[end + 1] == ':') {
            keys.insert(json.substr(at + 1, end - at - 1));
        }
        at = end;
    }
    return keys;
}

// The reference page under docs/ is the one the program makes now, and it names every key
// the JSON of a real day and of a real race carries, nested ones included.
TEST_F(TableCommands, TheReferencePageIsCurrentAndNamesEveryJsonKey)
{
    const CliResult doc = RunCli("doc");
    ASSERT_EQ(doc.exitCode, 0);
    std::ifstream file(std::filesystem::path(VORNAL_SOURCE_DIR).parent_path() / "docs" / "cli-reference.md",
                       std::ios::binary);
    const std::string committed{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_EQ(doc.out, committed) << "docs/cli-reference.md is stale: vornal-cli doc > docs/cli-reference.md";

    const std::string day = Run("day --json").out;
    const std::string race = Run("race --slot 0 --json").out;
    ASSERT_NE(day.find("\"races\":[{"), std::string::npos);
    ASSERT_NE(race.find("\"runners\":[{"), std::string::npos);
    for (const std::string& json : {day, race}) {
        for (const std::string& key : JsonKeys(json)) {
            const bool named = doc.out.find("| `" + key + "` |") != std::string::npos ||
                               doc.out.find("{" + key + ",") != std::string::npos ||
                               doc.out.find(", " + key + ",") != std::string::npos ||
                               doc.out.find(", " + key + "}") != std::string::npos;
            EXPECT_TRUE(named) << key;
        }
    }
    // Every table with field columns lists them, each with the key it shows when it has one.
    for (const char* table : {"main", "laptime", "lapcheck", "candidates", "pastruns", "card", "detail", "lapcard",
                              "ranking"}) {
        EXPECT_NE(doc.out.find(std::string("### ") + table + " ("), std::string::npos) << table;
    }
}

} // namespace
} // namespace vornal::test
