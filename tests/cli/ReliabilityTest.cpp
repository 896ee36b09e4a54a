#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include <unistd.h>

#include "app/StoreLock.h"
#include "cli/CliRun.h"

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

} // namespace
} // namespace vornal::test
