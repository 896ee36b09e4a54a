#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "cli/CliRun.h"

#include "support/JvRecordBuilder.h"

// The commands that use the component, through vornal-jvlink on the pipe: the store they
// leave must be the store the replay link leaves directly, byte for byte; a bridge that
// fails must fail the command cleanly and leave nothing running.
namespace vornal::test {
namespace {

namespace fs = std::filesystem;

class BridgeCommands : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_root = fs::temp_directory_path() / ("vornal-cli-bridge-" + std::to_string(::getpid()));
        fs::remove_all(s_root);
        const CliResult generated =
            RunCli("samplegen --feed " + Q(s_root / "feed") + " --days 2 --tuning " + Q(s_root / "tuning"));
        ASSERT_EQ(generated.exitCode, 0) << generated.out;
        const std::size_t at = generated.out.find("--from \"");
        ASSERT_NE(at, std::string::npos);
        s_from = generated.out.substr(at + 8, 19);
        CopyTuning(s_root / "direct");
        s_directOut = RunCli(App(s_root / "direct") + Acquire("--feed " + Q(s_root / "feed")));
        ASSERT_EQ(s_directOut.exitCode, 0) << s_directOut.out;
    }
    static void TearDownTestSuite() { fs::remove_all(s_root); }

    // The day loads of odds need the tuning files in the application folder.
    static void CopyTuning(const fs::path& app)
    {
        fs::create_directories(app);
        fs::copy(s_root / "tuning", app, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }
    static std::string Q(const fs::path& path) { return ShellQuote(path.string()); }
    static std::string App(const fs::path& app) { return "--app-dir " + Q(app) + " "; }
    static std::string Acquire(const std::string& link) { return "acquire " + link + " --from '" + s_from + "'"; }
    // --bridge with a command line of `words`, each quoted by the settings file's rule.
    static std::string Bridge(const std::vector<std::string>& words)
    {
        std::string line;
        for (const std::string& word : words) {
            line += (line.empty() ? "\"" : " \"") + word + "\"";
        }
        return "--bridge " + ShellQuote(line);
    }
    static std::string Replay() { return Bridge({VORNAL_JVLINK_PATH, "--replay", (s_root / "feed").string()}); }
    static std::string Faulty(const std::string& mode)
    {
        return Bridge({VORNAL_FAULT_BRIDGE_PATH, (s_root / "feed").string(), mode, "40"});
    }
    // The store without the settings file (whose deadlines the fault runs set).
    static std::map<std::string, std::string> Store(const fs::path& app)
    {
        std::map<std::string, std::string> tree = Tree(app);
        tree.erase("vornal.ini");
        return tree;
    }
    // Processes whose command line names the feed folder of this test: bridges left behind.
    static int BridgesRunning()
    {
        int found = 0;
        const std::string feed = (s_root / "feed").string();
        for (const auto& entry : fs::directory_iterator("/proc")) {
            std::ifstream in(entry.path() / "cmdline", std::ios::binary);
            const std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            found += line.find(feed) != std::string::npos && line.find("vornal-cli") == std::string::npos;
        }
        return found;
    }

    static inline fs::path s_root;
    static inline std::string s_from;
    static inline CliResult s_directOut;
};

TEST_F(BridgeCommands, AcquisitionResultsAndOddsStoreWhatTheReplayLinkStores)
{
    const fs::path bridged = s_root / "bridged";
    CopyTuning(bridged);
    const CliResult acquired = RunCli(App(bridged) + Acquire(Replay()));
    ASSERT_EQ(acquired.exitCode, 0) << acquired.out;
    EXPECT_EQ(acquired.out, s_directOut.out);
    EXPECT_GT(Tree(bridged).size(), 50u);
    EXPECT_TRUE(Tree(bridged) == Tree(s_root / "direct")) << "the stores differ";

    const fs::path direct = s_root / "direct-rt";
    fs::copy(s_root / "direct", direct, fs::copy_options::recursive);
    for (const std::string& command : {std::string("results --date 20260104"), std::string("odds --all --date 20260104")}) {
        const CliResult viaBridge = RunCli(App(bridged) + command + " " + Replay());
        const CliResult viaFeed = RunCli(App(direct) + command + " --feed " + Q(s_root / "feed"));
        EXPECT_EQ(viaBridge.exitCode, 0) << command << ": " << viaBridge.out;
        EXPECT_EQ(viaBridge.out, viaFeed.out) << command;
        EXPECT_TRUE(Tree(bridged) == Tree(direct)) << command << ": the stores differ";
    }
    EXPECT_NE(Tree(bridged), Tree(s_root / "direct")) << "results and odds changed the store";
    EXPECT_EQ(BridgesRunning(), 0);
}

TEST_F(BridgeCommands, AFailingBridgeFailsTheCommandAndARerunConverges)
{
    struct Case
    {
        std::string link;
        std::string message;
    };
    const std::vector<Case> cases = {
        {Faulty("exit"), "bridge: JVRead: the bridge exited; the bridge was ended"},
        {Faulty("hang"), "bridge: JVRead: the bridge did not answer within 2.0 s; the bridge was ended"},
        {Faulty("garbage"), "bridge: JVRead: the bridge answered something that is not the protocol"},
        {Bridge({(s_root / "no-such-bridge").string()}), "bridge: JVInit: the bridge did not start: cannot start"},
    };
    const auto want = Store(s_root / "direct");
    int index = 0;
    for (const Case& c : cases) {
        const fs::path app = s_root / ("fault" + std::to_string(index++));
        CopyTuning(app);
        Spit(app / "vornal.ini", "[JVLink]\r\nCallSeconds=2\r\n");
        const CliResult failed = RunCli(App(app) + Acquire(c.link), true);
        EXPECT_EQ(failed.exitCode, 1) << failed.out;
        EXPECT_NE(failed.out.find("vornal-cli: " + c.message), std::string::npos) << failed.out;
        EXPECT_EQ(BridgesRunning(), 0) << c.link;
        for (const auto& [name, bytes] : Tree(app)) {
            EXPECT_FALSE(fs::path(name).filename().string().starts_with(".")) << name << " left from a cut write";
        }
        const CliResult rerun = RunCli(App(app) + Acquire(Replay()));
        EXPECT_EQ(rerun.exitCode, 0) << rerun.out;
        EXPECT_TRUE(Store(app) == want) << c.link << ": the rerun did not converge";
    }
}

TEST_F(BridgeCommands, TheSettingsFileChoosesTheBridgeAndABadCommandLineIsAUsageError)
{
    const fs::path app = s_root / "chosen";
    CopyTuning(app);
    // The file's own quotes around the value, then the command line's.
    Spit(app / "vornal.ini", "[JVLink]\r\nBridge=\"\"" + std::string(VORNAL_JVLINK_PATH) + "\" --replay \"" +
                                 (s_root / "feed").string() + "\"\"\r\n");
    const CliResult acquired = RunCli(App(app) + "acquire --from '" + s_from + "'");
    EXPECT_EQ(acquired.exitCode, 0) << acquired.out;
    EXPECT_TRUE(Store(app) == Store(s_root / "direct"));
    EXPECT_EQ(RunCli(App(app) + "acquire --bridge '\"unclosed' --from '" + s_from + "'").exitCode, 2);
    EXPECT_EQ(RunCli(App(app) + "acquire --bridge x --feed " + Q(s_root / "feed")).exitCode, 2);
}

} // namespace
} // namespace vornal::test
