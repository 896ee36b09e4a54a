#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/StoreLock.h"
#include "cli/CliRun.h"
#include "text/Encoding.h"

#include "store/StoreTestSupport.h"

namespace vornal::test {
namespace {

namespace fs = std::filesystem;

class StoreMigration : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("vornal-cli-migration-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Quoted(const std::string& name) const { return ShellQuote((m_dir / name).string()); }
    std::string App(const std::string& name) const { return "--app-dir " + Quoted(name) + " "; }

    // A store of a few generated days, as this version writes it.
    void MakeStore(const std::string& name)
    {
        const CliResult generated =
            RunCli("samplegen --feed " + Quoted("feed") + " --days 3 --tuning " + Quoted(name));
        ASSERT_EQ(generated.exitCode, 0) << generated.out;
        const std::string marker = "--from \"";
        const std::size_t at = generated.out.find(marker);
        ASSERT_NE(at, std::string::npos) << generated.out;
        const std::string from = generated.out.substr(at + marker.size(), 19);
        ASSERT_EQ(RunCli(App(name) + "acquire --feed " + Quoted("feed") + " --from '" + from + "'").exitCode, 0);
    }

    std::vector<std::string> Lines(const std::string& text) const
    {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    fs::path m_dir;
};

int CountOf(const std::string& text, const std::string& what)
{
    int count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

TEST_F(StoreMigration, AStoreOfCp932NamesIsRenamedOnceAndLoadsAsAFreshOne)
{
    MakeStore("fresh");
    // Readable names on disk, and a store with UTF-8 names from the start needs no renaming.
    int dataFiles = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_dir / "fresh" / "Data")) {
        const std::string name = entry.path().filename().native();
        EXPECT_TRUE(IsValidUtf8(name)) << name;
        EXPECT_NE(name.find("年"), std::string::npos) << name;
        ++dataFiles;
    }
    ASSERT_GT(dataFiles, 10);
    const CliResult freshDates = RunCli(App("fresh") + "dates", true);
    ASSERT_EQ(freshDates.exitCode, 0);
    EXPECT_EQ(CountOf(freshDates.out, "renamed"), 0) << freshDates.out;
    const std::vector<std::string> days = Lines(freshDates.out);
    ASSERT_EQ(days.size(), 3u) << freshDates.out;

    // What an earlier version left: the same files under their CP932 bytes.
    fs::copy(m_dir / "fresh", m_dir / "old", fs::copy_options::recursive);
    for (const fs::directory_entry& entry : fs::directory_iterator(m_dir / "fresh" / "Data")) {
        const fs::path utf8 = m_dir / "old" / "Data" / entry.path().filename();
        fs::rename(utf8, utf8.parent_path() / fs::path(ToCp932(utf8.filename().native())));
    }

    // While another writer holds the store the renames wait; the names still read as before.
    {
        Result<StoreLock> writer = TryLockStore(m_dir / "old");
        ASSERT_TRUE(writer);
        const CliResult waiting = RunCli(App("old") + "dates", true);
        ASSERT_EQ(waiting.exitCode, 0);
        EXPECT_EQ(CountOf(waiting.out, "renamed"), 0) << waiting.out;
        EXPECT_TRUE(fs::exists(m_dir / "old" / "Data" / fs::path(ToCp932(days[0] + ".jvRA"))));
    }

    const CliResult migrated = RunCli(App("old") + "dates", true);
    ASSERT_EQ(migrated.exitCode, 0);
    EXPECT_EQ(CountOf(migrated.out, "vornal-cli: renamed "), dataFiles) << migrated.out;
    EXPECT_NE(migrated.out.find("/Data/" + days[0] + ".jvRA (CP932 bytes) to "), std::string::npos);
    const std::string log = ToUtf8(Slurp(m_dir / "old" / "ErrorLog.txt"));
    EXPECT_EQ(CountOf(log, "renamed "), dataFiles) << log;

    for (const std::string& day : days) {
        const CliResult fresh = RunCli(App("fresh") + "day --json --date " + ShellQuote(day));
        const CliResult old = RunCli(App("old") + "day --json --date " + ShellQuote(day));
        ASSERT_EQ(fresh.exitCode, 0) << day;
        ASSERT_EQ(old.exitCode, 0) << day;
        EXPECT_EQ(old.out, fresh.out) << day;
    }

    const CliResult again = RunCli(App("old") + "dates", true);
    EXPECT_EQ(again.out, freshDates.out);
}

} // namespace
} // namespace vornal::test
