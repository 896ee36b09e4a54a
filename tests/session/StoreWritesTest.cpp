#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "app/AppDir.h"
#include "app/Settings.h"
#include "app/StoreLock.h"
#include "cli/CliRun.h"
#include "odds/TimeSeriesOdds.h"
#include "results/HitJudgementFiles.h"
#include "session/DaySession.h"
#include "store/ReplayLink.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

namespace fs = std::filesystem;
using test::CliResult;
using test::RunCli;
using test::ShellQuote;

std::string Slurp(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The fields of a valid user rule set named `name`.
std::string RuleSetFields(const std::string& name)
{
    const std::string pairs = "実績確率,1,実績確率,2,格,1,格,2,実力,1,実力,2,";
    return name + ",実績確率,1,格,1," + pairs + pairs + "10,16,1000,2400,10,16,1000,2400";
}

// An acquisition view that shows nothing.
class QuietView : public AcquisitionView
{
public:
    void SetLine(int, const std::string&) override {}
    void SetBar(int, int, int) override {}
    void ClearCreatedFiles() override {}
    void AddCreatedFile(const std::string&) override {}
    void ShowMessage(const std::string&) override {}
    void Beep() override {}
};

// A second writer of the folder: `vornal-cli userset save` started in the background.
class BackgroundCli
{
public:
    explicit BackgroundCli(const std::string& arguments)
        : m_pipe(popen((ShellQuote(VORNAL_CLI_PATH) + " " + arguments + " 2>&1").c_str(), "r"))
    {
    }
    // Waits for it to end: its exit code and what it printed.
    CliResult Finish()
    {
        CliResult result;
        char buffer[4096];
        std::size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, m_pipe)) > 0) {
            result.out.append(buffer, n);
        }
        const int status = pclose(m_pipe);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return result;
    }

private:
    FILE* m_pipe;
};

// A generated season with its time-series folder, acquired into a fresh application folder.
class StoreWritesTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_root = fs::temp_directory_path() / ("vornal-writes-" + std::to_string(::getpid()));
        fs::remove_all(s_root);
        const std::string app = ShellQuote((s_root / "app").string());
        const CliResult generated = RunCli("samplegen --feed " + ShellQuote((s_root / "feed").string()) +
                                           " --days 2 --tuning " + app + " --timeseries " +
                                           ShellQuote((s_root / "ts").string()));
        ASSERT_EQ(generated.exitCode, 0) << generated.out;
        const std::size_t at = generated.out.find("--from \"");
        ASSERT_NE(at, std::string::npos);
        s_from = generated.out.substr(at + 8, 19);
    }
    static void TearDownTestSuite() { fs::remove_all(s_root); }

    static inline fs::path s_root;
    static inline std::string s_from;
};

// Every writer the window runs through the session holds the store lock while it writes: a
// second writer (the CLI, as a process) started meanwhile waits, says so, and then saves its
// own set; neither loses the other's work.
TEST_F(StoreWritesTest, EveryWriterOfTheSessionMakesASecondWriterWait)
{
    const fs::path app = s_root / "app";
    ASSERT_TRUE(EnsureAppFolders(app));
    DaySession session(app);
    std::vector<std::unique_ptr<BackgroundCli>> others;
    std::vector<std::string> names;
    std::multiset<std::string> writers;
    session.SetWriteObserver([&](std::string_view what) {
        writers.insert(std::string(what));
        const std::string name = "W" + std::to_string(others.size());
        names.push_back(name);
        others.push_back(std::make_unique<BackgroundCli>("--app-dir " + ShellQuote(app.string()) +
                                                         " userset save --yes --fields " +
                                                         ShellQuote(RuleSetFields(name))));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        // Still waiting: its set is not in the file while this writer holds the folder.
        EXPECT_EQ(ToUtf8(Slurp(UserSetPath(app))).find(name + ","), std::string::npos) << what;
    });

    // The acquisition.
    ReplayLink link(s_root / "feed");
    ASSERT_EQ(link.JVInit(kJvSoftwareId), 0);
    {
        const Settings settings(SettingsFile(app));
        CancelFlag cancel;
        QuietView view;
        Acquisition acquisition(link, app, settings, DefaultClock(), cancel, view);
        acquisition.SetFromTime(*ParseAcquisitionTime(s_from));
        const Result<AcquisitionOutcome> run = session.Acquire(acquisition);
        ASSERT_TRUE(run);
        ASSERT_EQ(run.value, AcquisitionOutcome::Completed);
    }
    const std::vector<std::string> days = StoredDayNames(app);
    ASSERT_EQ(days.size(), 2u);
    const std::string day = days.front(); // the newest: race cards, odds and time series

    // The blank odds file a load makes, and the hit-judgement files of the day pipeline.
    std::ofstream(app / kHitFileSwitchName).put('\n');
    ASSERT_TRUE(session.LoadDay(day).Ok());
    // Results retrieval, quick odds and the time-series import on the day shown.
    CancelFlag cancel;
    session.RetrieveResults(link, cancel, true);
    session.FetchOdds(link, std::nullopt, cancel);
    ASSERT_TRUE(ChooseOddsFolder(app, s_root / "ts"));
    EXPECT_FALSE(session.ImportTimeSeriesOdds().refused);
    // A rule set saved by the settings window.
    UserSetFile sets = LoadUserSets(app);
    const std::optional<UserRuleSet> windowSet = UserRuleSetFromFields(SplitCommaText(ToCp932(RuleSetFields("窓"))));
    ASSERT_TRUE(windowSet);
    EXPECT_TRUE(session.SaveUserSet(sets, *windowSet, [](const std::string&) { return true; }).Written());
    // The start-up renames of a store file named by its CP932 bytes. They never wait for the
    // folder, so the second writers started so far finish first.
    std::vector<CliResult> results;
    for (const std::unique_ptr<BackgroundCli>& other : others) {
        results.push_back(other->Finish());
    }
    std::ofstream(DataDir(app) / ToCp932(ToUtf8(day) + ".jvXX")).put('\n');
    EXPECT_FALSE(session.MigrateFileNames().empty());

    for (const char* writer : {"acquire", "oddsfile", "hitfiles", "results", "odds", "tsodds", "userset", "rename"}) {
        EXPECT_TRUE(writers.contains(writer)) << writer;
    }
    for (std::size_t i = results.size(); i < others.size(); ++i) {
        results.push_back(others[i]->Finish());
    }
    for (const CliResult& other : results) {
        EXPECT_EQ(other.exitCode, 0) << other.out;
        EXPECT_NE(other.out.find("waiting for it to finish"), std::string::npos) << other.out;
    }
    // Every set of the second writers and the window's own set are in the file.
    const UserSetFile saved = LoadUserSets(app);
    for (const std::string& name : names) {
        EXPECT_GE(saved.FindSet(name), 0) << name;
    }
    EXPECT_GE(saved.FindSet(ToCp932("窓")), 0);
}

// With --no-wait the second writer refuses at once with the lock's message instead.
TEST_F(StoreWritesTest, ASecondWriterWithNoWaitRefusesWhileTheSessionWrites)
{
    const fs::path app = s_root / "nowait";
    ASSERT_TRUE(EnsureAppFolders(app));
    DaySession session(app);
    CliResult refused;
    session.SetWriteObserver([&](std::string_view) {
        refused = RunCli("--app-dir " + ShellQuote(app.string()) + " userset save --no-wait --yes --fields " +
                             ShellQuote(RuleSetFields("B")),
                         true);
    });
    UserSetFile sets = LoadUserSets(app);
    const std::optional<UserRuleSet> set = UserRuleSetFromFields(SplitCommaText(ToCp932(RuleSetFields("A"))));
    ASSERT_TRUE(set);
    EXPECT_TRUE(session.SaveUserSet(sets, *set, [](const std::string&) { return true; }).Written());
    EXPECT_EQ(refused.exitCode, 1) << refused.out;
    EXPECT_NE(refused.out.find(ToUtf8(StoreBusyMessage())), std::string::npos) << refused.out;
    EXPECT_EQ(LoadUserSets(app).SetLines().size(), 1u);
}

// Two `userset save` at once, each with its own set: both sets are kept.
TEST_F(StoreWritesTest, TwoRuleSetSavesAtOnceKeepBothSets)
{
    const fs::path app = s_root / "twice";
    ASSERT_TRUE(EnsureAppFolders(app));
    for (int round = 0; round < 5; ++round) {
        const std::string a = "A" + std::to_string(round);
        const std::string b = "B" + std::to_string(round);
        const std::string prefix = "--app-dir " + ShellQuote(app.string()) + " userset save --yes --fields ";
        BackgroundCli first(prefix + ShellQuote(RuleSetFields(a)));
        BackgroundCli second(prefix + ShellQuote(RuleSetFields(b)));
        EXPECT_EQ(first.Finish().exitCode, 0);
        EXPECT_EQ(second.Finish().exitCode, 0);
        const UserSetFile saved = LoadUserSets(app);
        EXPECT_GE(saved.FindSet(a), 0) << round;
        EXPECT_GE(saved.FindSet(b), 0) << round;
    }
    EXPECT_EQ(LoadUserSets(app).SetLines().size(), 10u);
}

// A CLI load that has to write the day's blank odds file while another writer holds the
// folder says that it waits, then loads once the folder is free.
TEST_F(StoreWritesTest, ACliLoadSaysThatItWaitsForAnotherWriter)
{
    const fs::path app = s_root / "reader";
    const CliResult acquired = RunCli("--app-dir " + ShellQuote(app.string()) + " acquire --feed " +
                                      ShellQuote((s_root / "feed").string()) + " --from " + ShellQuote(s_from));
    ASSERT_EQ(acquired.exitCode, 0) << acquired.out;
    for (const char* table : {"GateAdj.dat", "RT.dat", "senuj.dat"}) {
        fs::copy_file(s_root / "app" / table, app / table, fs::copy_options::overwrite_existing);
    }
    const std::string day = StoredDayNames(app).front();
    fs::remove(WinOddsFile(app, day));
    Result<StoreLock> held = TryLockStore(app);
    ASSERT_TRUE(held);
    BackgroundCli reader("--app-dir " + ShellQuote(app.string()) + " day --date " + ShellQuote(ToUtf8(day)));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_FALSE(fs::exists(WinOddsFile(app, day)));
    held.value.Release();
    const CliResult read = reader.Finish();
    EXPECT_EQ(read.exitCode, 0) << read.out;
    EXPECT_NE(read.out.find("waiting for it to finish"), std::string::npos) << read.out;
    EXPECT_TRUE(fs::exists(WinOddsFile(app, day)));
}

} // namespace
} // namespace vornal
