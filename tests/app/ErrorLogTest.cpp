#include "app/ErrorLog.h"

#include <string>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "app/AppDir.h"
#include "text/Encoding.h"

using namespace vornal;

namespace {

std::string StartLine(const char* time)
{
    // "ソフト起動：" in CP932.
    return std::string("\x83\x5C\x83\x74\x83\x67\x8B\x4E\x93\xAE\x81\x46") + time + "\r\n";
}

TEST(ErrorLog, RestartWritesExactlyTheTwoStartLines)
{
    TempDir dir;
    ASSERT_TRUE(RestartErrorLog(dir.Path(), {2026, 1, 5, 9, 3, 7}).ok);
    EXPECT_EQ(GetFile(ErrorLogFile(dir.Path())), StartLine("2026/01/05 09:03:07") + dir.Path().string() + "\r\n");
    EXPECT_EQ(ErrorLogFile(dir.Path()), dir / "ErrorLog.txt");
}

TEST(ErrorLog, SecondStartReplacesEverythingBefore)
{
    TempDir dir;
    ASSERT_TRUE(RestartErrorLog(dir.Path(), {2026, 1, 5, 9, 0, 0}).ok);
    ASSERT_TRUE(AppendErrorLine(dir.Path(), "error one").ok);
    ASSERT_TRUE(RestartErrorLog(dir.Path(), {2026, 12, 31, 23, 59, 59}).ok);
    EXPECT_EQ(GetFile(dir / "ErrorLog.txt"), StartLine("2026/12/31 23:59:59") + dir.Path().string() + "\r\n");
}

TEST(ErrorLog, AppendKeepsEarlierLines)
{
    TempDir dir;
    ASSERT_TRUE(RestartErrorLog(dir.Path(), {2026, 1, 5, 9, 0, 0}).ok);
    const std::string start = GetFile(dir / "ErrorLog.txt");
    ASSERT_TRUE(AppendErrorLine(dir.Path(), "\x92\x86\x8E\x52 JVRTOpen(-1)").ok);
    ASSERT_TRUE(AppendErrorLine(dir.Path(), "second").ok);
    EXPECT_EQ(GetFile(dir / "ErrorLog.txt"), start + "\x92\x86\x8E\x52 JVRTOpen(-1)\r\nsecond\r\n");
}

TEST(ErrorLog, AppendStartsAMissingLogAndMendsAMissingLineEnd)
{
    TempDir dir;
    ASSERT_TRUE(AppendErrorLine(dir.Path(), "first").ok);
    EXPECT_EQ(GetFile(dir / "ErrorLog.txt"), "first\r\n");

    PutFile(dir / "ErrorLog.txt", "cut short");
    ASSERT_TRUE(AppendErrorLine(dir.Path(), "next").ok);
    EXPECT_EQ(GetFile(dir / "ErrorLog.txt"), "cut short\r\nnext\r\n");
}

TEST(ErrorLog, PathWithJapaneseNameIsWrittenInCp932)
{
    TempDir dir;
    const auto appDir = dir.Path() / "\xE7\xAB\xB6\xE9\xA6\xAC"; // 競馬 as a UTF-8 file name
    std::filesystem::create_directory(appDir);
    ASSERT_TRUE(RestartErrorLog(appDir, {2026, 1, 5, 9, 0, 0}).ok);
    const std::string log = GetFile(appDir / "ErrorLog.txt");
    EXPECT_NE(log.find(dir.Path().string() + "/\x8B\xA3\x94\x6E\r\n"), std::string::npos);
}

TEST(ErrorLog, FailureIsReportedNotHidden)
{
    TempDir dir;
    EXPECT_FALSE(RestartErrorLog(dir / "missing", {2026, 1, 5, 9, 0, 0}).ok);
    std::filesystem::create_directory(dir / "ErrorLog.txt");
    EXPECT_FALSE(AppendErrorLine(dir.Path(), "x").ok);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "ErrorLog.txt"));
}

} // namespace
