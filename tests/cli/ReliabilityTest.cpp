#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include <unistd.h>

#include "app/StoreLock.h"
#include "cli/CliRun.h"
#include "support/TestFiles.h"

// The command-line faces of the store's and the tables' refusals, on a short sample season.
namespace vornal::test {
namespace {

std::string AppDirArg(const std::filesystem::path& appDir)
{
    return "--app-dir " + ShellQuote(appDir.string()) + " ";
}

bool Mentions(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class ShortSeason : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_root = std::filesystem::temp_directory_path() / ("vornal-reliability-" + std::to_string(::getpid()));
        std::filesystem::remove_all(s_root);
        const CliResult generated =
            RunCli(AppDirArg(s_root / "tuning") + "samplegen --feed " + ShellQuote((s_root / "feed").string()) +
                   " --seed 5 --days 3 --tuning " + ShellQuote((s_root / "tuning").string()));
        const std::size_t from = generated.out.find("--from \"");
        if (generated.exitCode == 0 && from != std::string::npos) {
            s_from = generated.out.substr(from + 8, 19);
        }
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(s_root); }

    // A fresh application folder with the season's tuning files.
    std::filesystem::path FreshApp(const std::string& name) const
    {
        const std::filesystem::path app = s_root / name;
        std::filesystem::create_directories(app);
        for (const char* file : {"GateAdj.dat", "RT.dat", "senuj.dat"}) {
            std::filesystem::copy_file(s_root / "tuning" / file, app / file);
        }
        return app;
    }
    std::string AcquireArgs(const std::filesystem::path& app) const
    {
        return AppDirArg(app) + "acquire --feed " + ShellQuote((s_root / "feed").string()) + " --from " +
               ShellQuote(s_from);
    }

    static inline std::filesystem::path s_root;
    static inline std::string s_from;
};

// A value out of its bounds in a tuning file stops the load with the file and record named,
// and no figure reaches the output, neither as JSON nor as the listing.
TEST_F(ShortSeason, TuningValueOutOfBoundsPrintsNoFigures)
{
    ASSERT_FALSE(s_from.empty());
    const std::filesystem::path app = FreshApp("tuning-bounds");
    ASSERT_EQ(RunCli(AcquireArgs(app)).exitCode, 0);
    std::filesystem::copy_file(std::filesystem::path(VORNAL_TEST_DATA_DIR) / "broken" / "tuning" / "GateAdj-1e300.dat",
                               app / "GateAdj.dat", std::filesystem::copy_options::overwrite_existing);
    for (const std::string command : {"day --date 20260103 --json", "race --date 20260103 --slot 0"}) {
        const CliResult quiet = RunCli(AppDirArg(app) + command);
        EXPECT_EQ(quiet.exitCode, 1) << command;
        EXPECT_EQ(quiet.out, "") << command;
        const CliResult told = RunCli(AppDirArg(app) + command, true);
        EXPECT_TRUE(Mentions(told.out, "GateAdj.dat：レコード 4 のバイト 288 からの値 1e+300 が範囲外です"))
            << told.out;
    }
}

// Two acquisitions into one folder once interleaved and lost history lines. While another
// writer holds the folder, acquire --no-wait refuses and writes nothing; without it the
// command says it waits and runs when the other is done. The run ends with its skip count.
TEST_F(ShortSeason, OneWriterAtATime)
{
    ASSERT_FALSE(s_from.empty());
    const std::filesystem::path app = FreshApp("one-writer");
    Result<StoreLock> other = TryLockStore(app);
    ASSERT_TRUE(other);

    const CliResult refused = RunCli(AcquireArgs(app) + " --no-wait", true);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(Mentions(refused.out, "別の処理がこのフォルダのデータを書き込み中です。")) << refused.out;
    EXPECT_TRUE(std::filesystem::is_empty(app / "Data"));

    std::thread release([&other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        other.value.Release();
    });
    const CliResult waited = RunCli(AcquireArgs(app), true);
    release.join();
    EXPECT_EQ(waited.exitCode, 0);
    EXPECT_TRUE(Mentions(waited.out, "書き込み中です。 waiting for it to finish")) << waited.out.substr(0, 300);
    EXPECT_FALSE(std::filesystem::is_empty(app / "Data"));
    // The entries published before the draw are the season's only drops.
    EXPECT_TRUE(Mentions(waited.out, "\nスキップしたレコード: ")) << waited.out.substr(waited.out.size() - 300);
    EXPECT_TRUE(Mentions(waited.out, "件（馬番未確定 ")) << waited.out.substr(waited.out.size() - 300);
}

// A day whose store lost a runner line and its horse master: the load goes on, each warning
// on the error stream and under "warnings", the race marked in the listing and the JSON.
TEST_F(ShortSeason, WarningsOfALoadReachTheErrorStreamAndTheJson)
{
    ASSERT_FALSE(s_from.empty());
    const std::filesystem::path app = FreshApp("warnings");
    ASSERT_EQ(RunCli(AcquireArgs(app)).exitCode, 0);
    const std::string good = RunCli(AppDirArg(app) + "day --date 20260103 --json").out;
    ASSERT_FALSE(Mentions(good, "\"warnings\":"));
    ASSERT_FALSE(Mentions(good, "\"incomplete\":"));

    const std::filesystem::path runnerFile = app / "Data" / "2026年01月03日中山.jvSEr";
    std::string bytes = Slurp(runnerFile);
    ASSERT_FALSE(bytes.empty());
    Spit(runnerFile, bytes.replace(555, 553, std::string(553, ' '))); // race 1, horse 2
    std::filesystem::remove(app / "Data" / "2026年01月03日.jvUM2");

    const CliResult listed = RunCli(AppDirArg(app) + "day --date 20260103", true);
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_TRUE(Mentions(listed.out, "vornal-cli: 警告: Data/2026年01月03日.jvUM2：馬マスタのファイルがありません"))
        << listed.out.substr(0, 600);
    EXPECT_TRUE(Mentions(listed.out, "jvSEr：レコード 1：1R 馬番 2 の出走馬のレコードが空です"))
        << listed.out.substr(0, 600);
    EXPECT_TRUE(Mentions(listed.out, "出走馬のデータが欠けているため、このレースは評価も買い目もありません。"));
    const std::string json = RunCli(AppDirArg(app) + "day --date 20260103 --json").out;
    EXPECT_TRUE(
        Mentions(json, "\"warnings\":[{\"file\":\"Data/2026年01月03日.jvUM2\",\"record\":-1,\"field\":\"\",\"text\":"))
        << json.substr(0, 600);
    EXPECT_TRUE(Mentions(RunCli(AppDirArg(app) + "race --date 20260103 --slot 0 --json").out,
                         "\"slot\":0,\"warnings\":[{\"file\":\"Data/2026年01月03日.jvUM2\""));
    // The race: no bets, and not one runner (the blank one least of all) rated or priced.
    const std::size_t at = json.find("\"incomplete\":true");
    ASSERT_NE(at, std::string::npos);
    const std::string after = json.substr(at);
    const std::string raceJson = after.substr(0, after.find("{\"date\":"));
    EXPECT_TRUE(
        Mentions(raceJson, "\"BetCombos\":[\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"],\"BetRunner\":0"));
    for (const char* figure :
         {"\"PredictedWinPayout\":", "\"RankAchievement\":", "\"WinRank\":", "\"AchievementProb\":"}) {
        for (std::size_t f = raceJson.find(figure); f != std::string::npos; f = raceJson.find(figure, f + 1)) {
            EXPECT_EQ(raceJson.substr(f + std::string(figure).size(), 2), "0,") << figure;
        }
    }
}

} // namespace
} // namespace vornal::test
