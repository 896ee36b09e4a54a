#include "app/AppDir.h"

#include <cstdlib>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "TempDir.h"

using namespace vornal;

namespace {

// Sets or clears VORNAL_APP_DIR for one test and restores it afterwards.
class AppDirVariable
{
public:
    explicit AppDirVariable(const char* value)
    {
        if (const char* old = std::getenv(kAppDirVariable)) {
            m_old = old;
        }
        if (value != nullptr) {
            ::setenv(kAppDirVariable, value, 1);
        } else {
            ::unsetenv(kAppDirVariable);
        }
    }
    ~AppDirVariable()
    {
        if (m_old) {
            ::setenv(kAppDirVariable, m_old->c_str(), 1);
        } else {
            ::unsetenv(kAppDirVariable);
        }
    }

private:
    std::optional<std::string> m_old;
};

TEST(AppDir, CommandLineBeatsEnvironmentBeatsExecutable)
{
    TempDir dir;
    const std::string fromEnvironment = (dir / "env").string();
    {
        AppDirVariable variable(fromEnvironment.c_str());
        EXPECT_EQ(ResolveAppDir(dir / "cli"), dir / "cli");
        EXPECT_EQ(ResolveAppDir(), dir / "env");
        EXPECT_EQ(ResolveAppDir(std::filesystem::path()), dir / "env");
    }
    {
        AppDirVariable variable("");
        EXPECT_EQ(ResolveAppDir(), ExecutableDir());
    }
    AppDirVariable variable(nullptr);
    EXPECT_EQ(ResolveAppDir(), ExecutableDir());
}

TEST(AppDir, ExecutableDirHoldsTheRunningProgram)
{
    const std::filesystem::path folder = ExecutableDir();
    EXPECT_TRUE(folder.is_absolute());
    EXPECT_TRUE(std::filesystem::exists(folder / "test_app"));
}

TEST(AppDir, ResolvedFolderIsAbsoluteWithoutTrailingSeparator)
{
    TempDir dir;
    EXPECT_EQ(ResolveAppDir(dir.Path() / ""), dir.Path());
    EXPECT_EQ(ResolveAppDir(dir.Path() / "a" / ".." / "b"), dir / "b");
    EXPECT_EQ(ResolveAppDir(std::filesystem::path("rel")), std::filesystem::current_path() / "rel");
    EXPECT_EQ(SettingsFile(ResolveAppDir(dir.Path() / "")), dir / "vornal.ini");
}

TEST(AppDir, FoldersAreCreatedOnceAndKept)
{
    TempDir dir;
    const auto appDir = dir / "app";
    ASSERT_TRUE(EnsureAppFolders(appDir).ok);
    EXPECT_EQ(Names(appDir), (std::vector<std::string>{"Data", "SEI", "SEIR"}));
    EXPECT_EQ(DataDir(appDir), appDir / "Data");
    EXPECT_EQ(SeiDir(appDir), appDir / "SEI");
    EXPECT_EQ(SeirDir(appDir), appDir / "SEIR");

    PutFile(DataDir(appDir) / "kept.jvRA", "x");
    ASSERT_TRUE(EnsureAppFolders(appDir).ok);
    EXPECT_EQ(GetFile(DataDir(appDir) / "kept.jvRA"), "x");
}

TEST(AppDir, FolderNameTakenByAFileIsReported)
{
    TempDir dir;
    PutFile(dir / "SEIR", "not a folder");
    Status result = EnsureAppFolders(dir.Path());
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("SEIR"), std::string::npos);
    EXPECT_EQ(GetFile(dir / "SEIR"), "not a folder");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "SEI"));
}

TEST(AppDir, AFolderTheSystemCannotNameIsReportedNotThrown)
{
    TempDir dir;
    std::filesystem::create_directory_symlink("loop2", dir / "loop1");
    std::filesystem::create_directory_symlink("loop1", dir / "loop2");
    for (const std::filesystem::path& folder : {dir / std::string(300, 'x'), dir / "loop1" / "app"}) {
        Status result = Status::Success();
        EXPECT_NO_THROW(result = EnsureAppFolders(folder));
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message.find("cannot create the folder"), std::string::npos) << result.message;
    }
}

} // namespace
