#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include "cli/CliRun.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"

#include "support/JvRecordBuilder.h"

extern char** environ;

namespace vornal::test {
namespace {

RaceId Race(std::string date, int race, std::string course = "06")
{
    RaceId id;
    id.date = std::move(date);
    id.course = std::move(course);
    id.race = race;
    return id;
}

std::string Args(const std::filesystem::path& app, const std::string& rest)
{
    return "--app-dir " + ShellQuote(app.string()) + " " + rest;
}

// Two race days of the last year, regular data only, so that what is stored does not depend
// on the day the test runs.
void WriteSmallFeed(const std::filesystem::path& feed)
{
    WriteStoredFile(feed, "20250105180000", "a",
                    {RaRecord('1', Race("20250105", 1)), SeRecord('1', Race("20250105", 1), 2, "2019104567"),
                     HrRecord('2', Race("20250105", 1))});
    WriteStoredFile(feed, "20250112180000", "b", {RaRecord('1', Race("20250112", 11, "09"))});
    Spit(feed / "realtime" / "0B12" / "20250112.jvd",
         RaRecord('2', Race("20250112", 11, "09"), "final") + HrRecord('2', Race("20250112", 11, "09")));
}

TEST(StoreCommands, AcquirePrintsCreatedFilesAndMovesTheFromTime)
{
    TempDir app;
    TempDir feed;
    WriteSmallFeed(feed.Path());
    const CliResult first = RunCli(
        Args(app.Path(), "acquire --feed " + ShellQuote(feed.Path().string()) + " --from '2025/01/01 00:00:00'"));
    EXPECT_EQ(first.exitCode, 0);
    EXPECT_EQ(first.out, "作成済み:01R/2025年01月05日.jvRA\n"
                         "作成済み:01R/02番/2025年01月05日中山.jvSEr\n"
                         "作成済み:01R/2025年01月05日.jvHR\n"
                         "作成済み:11R/2025年01月12日.jvRA\n"
                         "データ読込み完了(2/2)\n"
                         "スキップしたレコード: 0 件\n");
    EXPECT_NE(Slurp(app.Path() / "vornal.ini").find("LastTime=2025/01/12 18:00:00"), std::string::npos);

    const CliResult dates = RunCli(Args(app.Path(), "dates"));
    EXPECT_EQ(dates.exitCode, 0);
    EXPECT_EQ(dates.out, "2025年01月12日\n2025年01月05日\n");

    // The next run starts after the newest file: nothing new.
    const CliResult again = RunCli(Args(app.Path(), "acquire --feed " + ShellQuote(feed.Path().string())));
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out, "最新のデータがありません。\n");

    // An explicit from-time reads the newer file again; the store stays as it was.
    const auto store = Tree(app.Path() / "Data");
    const CliResult from = RunCli(
        Args(app.Path(), "acquire --feed " + ShellQuote(feed.Path().string()) + " --from '2025/01/10 00:00:00'"));
    EXPECT_EQ(from.exitCode, 0);
    EXPECT_EQ(from.out, "作成済み:11R/2025年01月12日.jvRA\nデータ読込み完了(1/1)\nスキップしたレコード: 0 件\n");
    EXPECT_EQ(Tree(app.Path() / "Data"), store);
}

TEST(StoreCommands, AcquireFailuresAndUsage)
{
    TempDir app;
    TempDir feed;
    WriteSmallFeed(feed.Path());
    const std::string feedArg = " --feed " + ShellQuote(feed.Path().string()) + " --from '2025/01/01 00:00:00'";
    EXPECT_EQ(RunCli(Args(app.Path(), "acquire")).exitCode, 2);
    EXPECT_EQ(RunCli(Args(app.Path(), "acquire --feed /no/such/feed")).exitCode, 2);
    EXPECT_EQ(
        RunCli(Args(app.Path(), "acquire --feed " + ShellQuote(feed.Path().string()) + " --from 2025-01-01")).exitCode,
        2);

    Spit(feed.Path() / "link.ini", "[errors]\nJVOpen=-504\n");
    const CliResult failed = RunCli(Args(app.Path(), "acquire" + feedArg), true);
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.out.find("JVOpenエラー:サーバーがメンテナンス中です。(-504)"), std::string::npos) << failed.out;

    // (A damaged line, -403, is passed over and named; a failed download stops the run.)
    Spit(feed.Path() / "link.ini", "[errors]\nJVRead=-502@3\n");
    const CliResult readError = RunCli(Args(app.Path(), "acquire" + feedArg), true);
    EXPECT_EQ(readError.exitCode, 1);
    EXPECT_NE(readError.out.find("JVReadエラー:ダウンロードに失敗しました。(通信エラーやディスクエラー)(-502)"),
              std::string::npos)
        << readError.out;
    // The two records before the error are stored.
    EXPECT_EQ(Tree(app.Path() / "Data").size(), 2u);

    Spit(feed.Path() / "link.ini", "[errors]\nJVInit=-101\n");
    EXPECT_EQ(RunCli(Args(app.Path(), "acquire" + feedArg)).exitCode, 1);
}

TEST(StoreCommands, AcquireWaitsForDownloads)
{
    TempDir app;
    TempDir feed;
    WriteSmallFeed(feed.Path());
    Spit(feed.Path() / "link.ini", "[link]\ndownload=2\n");
    const CliResult result = RunCli(
        Args(app.Path(), "acquire --feed " + ShellQuote(feed.Path().string()) + " --from '2025/01/01 00:00:00'"));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("データ読込み完了(2/2)"), std::string::npos);
    // After downloads the from-time stays where it was.
    EXPECT_EQ(Slurp(app.Path() / "vornal.ini").find("LastTime"), std::string::npos);
}

TEST(StoreCommands, ResultsStoresTheDaysRecords)
{
    TempDir app;
    TempDir feed;
    WriteSmallFeed(feed.Path());
    const std::string feedArg = " --feed " + ShellQuote(feed.Path().string());
    const CliResult result = RunCli(Args(app.Path(), "results" + feedArg + " --date 2025年01月12日"));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "2 records read for 2025年01月12日\n");
    const std::string day = DayNameFromDigits("20250112");
    EXPECT_EQ(Slurp(RaceFile(app.Path(), day)).substr(32, 5), "final");
    EXPECT_TRUE(std::filesystem::exists(PayoutFile(app.Path(), day)));

    const CliResult none = RunCli(Args(app.Path(), "results" + feedArg + " --date 20250113"));
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_NE(none.out.find("(-1)"), std::string::npos);
    EXPECT_EQ(RunCli(Args(app.Path(), "results" + feedArg + " --date 20250230")).exitCode, 2);
    EXPECT_EQ(RunCli(Args(app.Path(), "results --date 20250112")).exitCode, 2);
}

TEST(StoreCommands, DatesOfAnEmptyStore)
{
    TempDir app;
    const CliResult result = RunCli(Args(app.Path(), "dates"));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
}

// A feed that rewrites many files: races, runners, payouts and the histories of a pool of
// horses, with masters. `tag` changes every record, so a second feed replaces the lines of
// the first.
void WriteLargeFeed(const std::filesystem::path& feed, const std::string& stamp, const std::string& tag)
{
    std::vector<std::string> records;
    for (int day = 1; day <= 3; ++day) {
        for (const char* course : {"05", "08"}) {
            for (int race = 1; race <= 12; ++race) {
                const RaceId id = Race(fmt::sprintf("202502%02d", day), race, course);
                records.push_back(RaRecord('7', id, tag));
                for (int horse = 1; horse <= 8; ++horse) {
                    const std::string horseId = fmt::sprintf("2019%06d", (day * 131 + race * 17 + horse * 7) % 150);
                    records.push_back(SeRecord('7', id, horse, horseId, tag));
                }
                records.push_back(HrRecord('1', id, tag));
            }
        }
    }
    for (int i = 0; i < 20; ++i) {
        records.push_back(MasterRecord("KS", fmt::sprintf("%05d", i), tag));
    }
    WriteStoredFile(feed, stamp, "large", records);
}

void CopyTree(const std::filesystem::path& from, const std::filesystem::path& to)
{
    std::filesystem::remove_all(to);
    std::filesystem::copy(from, to, std::filesystem::copy_options::recursive);
}

// Runs an acquisition and kills it after `delay`; returns once the process is gone.
void AcquireAndKill(const std::filesystem::path& app, const std::filesystem::path& feed,
                    std::chrono::microseconds delay)
{
    const std::string appArg = app.string();
    const std::string feedArg = feed.string();
    const char* argv[] = {VORNAL_CLI_PATH, "--app-dir", appArg.c_str(),        "acquire", "--feed",
                          feedArg.c_str(), "--from",    "2000/01/01 00:00:00", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, VORNAL_CLI_PATH, &actions, nullptr, const_cast<char**>(argv), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    std::this_thread::sleep_for(delay);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
}

TEST(StoreCommands, KilledRunLeavesEveryFileWhole)
{
    TempDir work;
    const std::filesystem::path before = work.Path() / "before";
    const std::filesystem::path after = work.Path() / "after";
    const std::filesystem::path oldFeed = work.Path() / "old";
    const std::filesystem::path newFeed = work.Path() / "new";
    WriteLargeFeed(oldFeed, "20250301000000", "old");
    WriteLargeFeed(newFeed, "20250302000000", "new");
    const auto acquire = [](const std::filesystem::path& app, const std::filesystem::path& feed) {
        return RunCli(Args(app, "acquire --feed " + ShellQuote(feed.string()) + " --from '2000/01/01 00:00:00'"))
            .exitCode;
    };
    ASSERT_EQ(acquire(before, oldFeed), 0);
    CopyTree(before, after);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(acquire(after, newFeed), 0);
    const auto full = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    std::filesystem::remove(before / "vornal.ini");
    std::filesystem::remove(after / "vornal.ini");
    const auto oldStore = Tree(before);
    const auto newStore = Tree(after);
    ASSERT_GT(oldStore.size(), 150u);

    const std::filesystem::path victim = work.Path() / "victim";
    for (int step = 1; step <= 8; ++step) {
        CopyTree(before, victim);
        AcquireAndKill(victim, newFeed, full * step / 9);
        std::filesystem::remove(victim / "vornal.ini");
        int changed = 0;
        for (const auto& [name, bytes] : Tree(victim)) {
            if (std::filesystem::path(name).filename().string().starts_with(".")) {
                continue; // a temporary file of the write that was cut off
            }
            const auto oldFile = oldStore.find(name);
            const auto newFile = newStore.find(name);
            const bool whole = (oldFile != oldStore.end() && oldFile->second == bytes) ||
                               (newFile != newStore.end() && newFile->second == bytes);
            EXPECT_TRUE(whole) << "step " << step << ": " << ToUtf8(name);
            changed += oldFile == oldStore.end() || oldFile->second != bytes;
        }
        for (const auto& [name, bytes] : oldStore) {
            EXPECT_TRUE(std::filesystem::exists(victim / name)) << "step " << step << ": " << ToUtf8(name);
        }
        RecordProperty("changed_at_step_" + std::to_string(step), changed);
    }
}

} // namespace
} // namespace vornal::test
