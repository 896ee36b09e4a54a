#include <gtest/gtest.h>

#include <chrono>

#include "app/AppDir.h"
#include "store/FileNameMigration.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"

#include "store/StoreTestSupport.h"

namespace vornal {
namespace {

using test::Slurp;
using test::Spit;

// What an earlier version put on the disk: the CP932 name, byte for byte.
std::filesystem::path OldName(const std::filesystem::path& folder, const std::string& cp932Name)
{
    return folder / std::filesystem::path(cp932Name);
}

void SetAge(const std::filesystem::path& file, int secondsAgo)
{
    std::filesystem::last_write_time(file, std::filesystem::file_time_type::clock::now() -
                                               std::chrono::seconds(secondsAgo));
}

bool Mentions(const FileNameMigration& migration, const std::string& utf8)
{
    for (const std::string& message : migration.messages) {
        if (ToUtf8(message).find(utf8) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(FileNameMigration, RenamesOldStoreNamesOnceAndLeavesEverythingElse)
{
    test::TempDir app;
    const std::filesystem::path data = DataDir(app.Path());
    const std::string day = DayNameFromDigits("20260103");
    Spit(OldName(data, day + ".jvRA"), "race lines");
    Spit(OldName(data, day + Sjis("中山") + ".jvSEr"), "runner lines");
    Spit(OldName(app.Path(), Sjis("2026年馬連_No01.ksr")), "hit lines");
    // Not of a store file's shape, or not CP932 at all: nobody's business to rename.
    Spit(OldName(data, Sjis("メモ.txt")), "a note");
    Spit(OldName(data, "2026\xff.jvRA"), "junk");
    Spit(data / "2026年01月04日.jvRA", "already UTF-8");

    const FileNameMigration first = MigrateStoreFileNames(app.Path());
    EXPECT_EQ(first.renamed, 3);
    EXPECT_EQ(Slurp(data / "2026年01月03日.jvRA"), "race lines");
    EXPECT_EQ(Slurp(data / "2026年01月03日中山.jvSEr"), "runner lines");
    EXPECT_EQ(Slurp(app.Path() / "2026年馬連_No01.ksr"), "hit lines");
    EXPECT_FALSE(std::filesystem::exists(OldName(data, day + ".jvRA")));
    EXPECT_EQ(Slurp(OldName(data, Sjis("メモ.txt"))), "a note");
    EXPECT_EQ(Slurp(OldName(data, "2026\xff.jvRA")), "junk");
    EXPECT_EQ(Slurp(data / "2026年01月04日.jvRA"), "already UTF-8");
    EXPECT_TRUE(Mentions(first, "renamed " + ToUtf8(PathText(data)) + "/2026年01月03日中山.jvSEr (CP932 bytes) to "));
    EXPECT_EQ(first.messages.size(), 3u);

    EXPECT_EQ(StoredDayNames(app.Path()), (std::vector<std::string>{DayNameFromDigits("20260104"), day}));

    const FileNameMigration second = MigrateStoreFileNames(app.Path());
    EXPECT_EQ(second.renamed, 0);
    EXPECT_TRUE(second.messages.empty());
}

TEST(FileNameMigration, BothSpellingsKeepTheNewerAndDeleteNothing)
{
    test::TempDir app;
    const std::filesystem::path data = DataDir(app.Path());
    const std::string jan3 = DayNameFromDigits("20260103");
    const std::string jan4 = DayNameFromDigits("20260104");

    // The UTF-8 file is the newer: nothing moves, both are named.
    Spit(OldName(data, jan3 + ".jvHR"), "old bytes");
    Spit(data / "2026年01月03日.jvHR", "new utf8");
    SetAge(OldName(data, jan3 + ".jvHR"), 3600);
    // The CP932-byte file is the newer: it takes the name, the older UTF-8 file moves aside.
    Spit(OldName(data, jan4 + ".jvHR"), "new bytes");
    Spit(data / "2026年01月04日.jvHR", "old utf8");
    SetAge(data / "2026年01月04日.jvHR", 3600);

    const FileNameMigration first = MigrateStoreFileNames(app.Path());
    EXPECT_EQ(Slurp(data / "2026年01月03日.jvHR"), "new utf8");
    EXPECT_EQ(Slurp(OldName(data, jan3 + ".jvHR")), "old bytes");
    EXPECT_TRUE(Mentions(first, "keeping the newer"));
    EXPECT_EQ(Slurp(data / "2026年01月04日.jvHR"), "new bytes");
    EXPECT_EQ(Slurp(data / "2026年01月04日.jvHR.older"), "old utf8");
    EXPECT_FALSE(std::filesystem::exists(OldName(data, jan4 + ".jvHR")));
    EXPECT_TRUE(Mentions(first, "the older one moved to " + ToUtf8(PathText(data)) + "/2026年01月04日.jvHR.older"));

    // The pair left on purpose is named again at every start, and nothing more happens.
    const FileNameMigration second = MigrateStoreFileNames(app.Path());
    EXPECT_EQ(second.renamed, 0);
    EXPECT_EQ(second.messages.size(), 1u);
    EXPECT_EQ(Slurp(OldName(data, jan3 + ".jvHR")), "old bytes");
}

TEST(FileNameMigration, AMissingApplicationFolderIsNoError)
{
    const FileNameMigration migration = MigrateStoreFileNames("/nonexistent/vornal-app");
    EXPECT_EQ(migration.renamed, 0);
    EXPECT_TRUE(migration.messages.empty());
}

} // namespace
} // namespace vornal
