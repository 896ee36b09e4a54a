#include "app/AtomicFile.h"

#include <algorithm>
#include <csignal>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "text/Encoding.h"

using namespace vornal;

namespace {

using Strings = std::vector<std::string>;

TEST(WriteFileAtomic, CreatesAndReplacesWithoutLeavingTemporaries)
{
    TempDir dir;
    const auto file = dir / "a.txt";

    ASSERT_TRUE(WriteFileAtomic(file, "first\r\n").ok);
    EXPECT_EQ(GetFile(file), "first\r\n");

    const std::string binary("\0\x83\x5C\xFF\r\n", 6);
    Status second = WriteFileAtomic(file, binary);
    EXPECT_TRUE(second.ok);
    EXPECT_TRUE(second.message.empty());
    EXPECT_EQ(GetFile(file), binary);

    ASSERT_TRUE(WriteFileAtomic(file, "").ok);
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
    EXPECT_EQ(Names(dir.Path()), Strings{"a.txt"});
}

TEST(WriteFileAtomic, KeepsThePermissionsOfTheReplacedFile)
{
    TempDir dir;
    const auto file = dir / "keep.txt";
    PutFile(file, "old");
    ::chmod(file.c_str(), 0640);

    ASSERT_TRUE(WriteFileAtomic(file, "new").ok);
    struct stat info
    {
    };
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(WriteFileAtomic, FailedRenameLeavesTheTargetAndNoTemporary)
{
    TempDir dir;
    // A folder that is not empty cannot be replaced by a file.
    const auto target = dir / "occupied";
    std::filesystem::create_directory(target);
    PutFile(target / "inside.txt", "keep");

    Status result = WriteFileAtomic(target, "new bytes");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("occupied"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(target));
    EXPECT_EQ(GetFile(target / "inside.txt"), "keep");
    EXPECT_EQ(Names(dir.Path()), Strings{"occupied"});
}

TEST(WriteFileAtomic, FailedWriteLeavesTheOldFile)
{
    TempDir dir;
    const auto file = dir / "settings.ini";
    PutFile(file, "old contents\r\n");

    // Limit the size of files this process may write, so the write fails part way through.
    struct sigaction ignore
    {
    };
    struct sigaction previousAction
    {
    };
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previousAction);
    rlimit previousLimit{};
    ::getrlimit(RLIMIT_FSIZE, &previousLimit);
    rlimit small = previousLimit;
    small.rlim_cur = 4;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);

    Status result = WriteFileAtomic(file, std::string(4096, 'x'));

    ::setrlimit(RLIMIT_FSIZE, &previousLimit);
    ::sigaction(SIGXFSZ, &previousAction, nullptr);

    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("settings.ini"), std::string::npos);
    EXPECT_EQ(GetFile(file), "old contents\r\n");
    EXPECT_EQ(Names(dir.Path()), Strings{"settings.ini"});
}

// A write that the system refuses half-way (a full disk, a file-size limit): the old file
// stays whole and no temporary file is left. The limit binds the superuser too, so the
// failure is real wherever the tests run; it is set in a child process only.
TEST(WriteFileAtomic, AWriteThatFailsLeavesTheOldFile)
{
    TempDir dir;
    PutFile(dir / "f.txt", "old");
    auto writeOverTheLimit = [&dir] {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = 2;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const Status result = WriteFileAtomic(dir / "f.txt", "new bytes beyond the limit");
        std::_Exit(!result.ok && result.message.find("f.txt") != std::string::npos ? 0 : 1);
    };
    EXPECT_EXIT(writeOverTheLimit(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(GetFile(dir / "f.txt"), "old");
    EXPECT_EQ(Names(dir.Path()), Strings{"f.txt"});
}

TEST(WriteFileAtomic, MissingFolderFails)
{
    TempDir dir;
    Status result = WriteFileAtomic(dir / "no" / "such.txt", "x");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("such.txt"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

TEST(ReadFileBytes, ReadsEveryByteAndFailsOnMissingOrFolder)
{
    TempDir dir;
    std::string bytes;
    for (int i = 0; i < 200000; ++i) {
        bytes.push_back(static_cast<char>(i % 251));
    }
    PutFile(dir / "big.bin", bytes);

    EXPECT_EQ(ReadFileBytes(dir / "big.bin"), bytes);
    PutFile(dir / "empty", "");
    EXPECT_EQ(ReadFileBytes(dir / "empty"), std::string());
    EXPECT_FALSE(ReadFileBytes(dir / "missing").has_value());
    EXPECT_FALSE(ReadFileBytes(dir.Path()).has_value());
}

TEST(ReadFileBytesUpTo, TellsMissingFromUnreadableAndRefusesALargeFileUnread)
{
    TempDir dir;
    std::string bytes(200001, 'x');
    bytes[100000] = '\0';
    PutFile(dir / "big.bin", bytes);
    FileBytes read;

    BoundedRead whole = ReadFileBytesUpTo(dir / "big.bin", bytes.size(), read);
    EXPECT_EQ(whole.outcome, BoundedRead::Outcome::Read);
    EXPECT_EQ(whole.size, bytes.size());
    EXPECT_EQ(read.View(), bytes);

    BoundedRead large = ReadFileBytesUpTo(dir / "big.bin", bytes.size() - 1, read);
    EXPECT_EQ(large.outcome, BoundedRead::Outcome::TooLarge);
    EXPECT_EQ(large.size, bytes.size());
    EXPECT_TRUE(read.View().empty()) << "nothing of a refused file is kept";

    PutFile(dir / "empty", "");
    EXPECT_EQ(ReadFileBytesUpTo(dir / "empty", 0, read).outcome, BoundedRead::Outcome::Read);
    EXPECT_TRUE(read.View().empty());
    EXPECT_EQ(ReadFileBytesUpTo(dir / "missing", 10, read).outcome, BoundedRead::Outcome::Missing);
    EXPECT_EQ(ReadFileBytesUpTo(dir / "no" / "such" / "file", 10, read).outcome, BoundedRead::Outcome::Missing);
    // A file where a folder should be: nothing can be under it.
    EXPECT_EQ(ReadFileBytesUpTo(dir / "empty" / "file", 10, read).outcome, BoundedRead::Outcome::Missing);
    EXPECT_EQ(ReadFileBytesUpTo(dir.Path(), 1 << 20, read).outcome, BoundedRead::Outcome::Unreadable);
    if (::geteuid() != 0) {
        PutFile(dir / "locked", "secret");
        ::chmod((dir / "locked").c_str(), 0);
        EXPECT_EQ(ReadFileBytesUpTo(dir / "locked", 10, read).outcome, BoundedRead::Outcome::Unreadable);
    }
}

} // namespace

namespace vornal {
namespace {

TEST(PathText, KeepsCp932StoreNamesUnderAUtf8Folder)
{
    std::filesystem::path path = std::filesystem::path("/home/ユーザー/vornal/Data") / Sjis("2026年01月05日.jvRA");
    EXPECT_EQ(PathText(path), Sjis("/home/ユーザー/vornal/Data/2026年01月05日.jvRA"));
}

} // namespace
} // namespace vornal

namespace vornal {
namespace {

std::vector<std::string> FolderEntries(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicFileSet, CommitReplacesEveryFileAndLeavesNoTemporary)
{
    const auto dir = std::filesystem::temp_directory_path() / ("vornal-fileset-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "sub");
    ASSERT_TRUE(WriteFileAtomic(dir / "a", "old a"));
    {
        AtomicFileSet files;
        ASSERT_TRUE(files.Add(dir / "a", "new a"));
        ASSERT_TRUE(files.Add(dir / "sub" / "b", "new b"));
        // Nothing is replaced before the commit.
        EXPECT_EQ(ReadFileBytes(dir / "a"), "old a");
        EXPECT_FALSE(ReadFileBytes(dir / "sub" / "b"));
        EXPECT_EQ(files.Pending(), 2u);
        ASSERT_TRUE(files.Commit());
    }
    EXPECT_EQ(ReadFileBytes(dir / "a"), "new a");
    EXPECT_EQ(ReadFileBytes(dir / "sub" / "b"), "new b");
    EXPECT_EQ(FolderEntries(dir), (std::vector<std::string>{"a", "sub"}));
    EXPECT_EQ(FolderEntries(dir / "sub"), (std::vector<std::string>{"b"}));
    std::filesystem::remove_all(dir);
}

TEST(AtomicFileSet, DroppedSetAndFailedAddLeaveTheOldFiles)
{
    const auto dir = std::filesystem::temp_directory_path() / ("vornal-fileset2-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    ASSERT_TRUE(WriteFileAtomic(dir / "a", "old a"));
    {
        AtomicFileSet files;
        ASSERT_TRUE(files.Add(dir / "a", "new a"));
        EXPECT_FALSE(files.Add(dir / "missing-folder" / "b", "b"));
        EXPECT_EQ(files.Pending(), 1u);
        // Destroyed without a commit: as if the run had stopped here.
    }
    EXPECT_EQ(ReadFileBytes(dir / "a"), "old a");
    EXPECT_EQ(FolderEntries(dir), (std::vector<std::string>{"a"}));
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace vornal

namespace vornal {
namespace {

TEST(AtomicFileSet, StaleTemporariesOfDeadWritersAreRemoved)
{
    const auto dir = std::filesystem::temp_directory_path() / ("vornal-stale-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "sub");
    // A pid far above the kernel's limit belongs to no process.
    const std::vector<std::string> names = {".a.jvRA.tmp999999999-0", ".b.tmp" + std::to_string(::getpid()) + "-3",
                                            ".hidden", "a.jvRA", ".c.tmpx-1"};
    for (const std::string& name : names) {
        ASSERT_TRUE(WriteFileAtomic(dir / name, "x"));
    }
    ASSERT_TRUE(WriteFileAtomic(dir / "sub" / ".d.tmp999999999-12", "x"));

    EXPECT_EQ(RemoveStaleTemporaries(dir, false), 1u);
    EXPECT_TRUE(std::filesystem::exists(dir / "sub" / ".d.tmp999999999-12"));
    EXPECT_EQ(RemoveStaleTemporaries(dir, true), 1u);
    // The running writer's temporary file, ordinary and look-alike names stay.
    EXPECT_EQ(FolderEntries(dir), (std::vector<std::string>{".b.tmp" + std::to_string(::getpid()) + "-3", ".c.tmpx-1",
                                                             ".hidden", "a.jvRA", "sub"}));
    EXPECT_EQ(RemoveStaleTemporaries(dir / "missing", true), 0u);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace vornal
