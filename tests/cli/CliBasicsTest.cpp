#include <gtest/gtest.h>

#include "cli/CliRun.h"

namespace vornal::test {
namespace {

TEST(CliBasics, VersionPrintsProgramAndVersion)
{
    CliResult result = RunCli("--version");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.rfind("vornal-cli ", 0), 0u) << result.out;
}

TEST(CliBasics, HelpListsEveryCommandAndTheAppFolderOptions)
{
    CliResult result = RunCli("help");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("--app-dir"), std::string::npos);
    EXPECT_NE(result.out.find("VORNAL_APP_DIR"), std::string::npos);
    EXPECT_NE(result.out.find("  help"), std::string::npos);
    // No command gives the help as well.
    EXPECT_EQ(RunCli("").out, result.out);
}

TEST(CliBasics, UnknownCommandIsAUsageError)
{
    CliResult result = RunCli("no-such-command", true);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.out.find("no-such-command"), std::string::npos);
}

TEST(CliBasics, UnknownOptionsAndImpossibleDatesAreUsageErrors)
{
    // Each refused before anything is read: the folder does not even exist.
    const std::string app = "--app-dir /nonexistent/vornal-app ";
    for (const char* bad : {"day --date 20260105 --jsn", "dates extra", "day --date", "backtest --method no1 --form 1",
                            "race --date 20260105 --slot 0 --tabel ranking"}) {
        const CliResult result = RunCli(app + bad, true);
        EXPECT_EQ(result.exitCode, 2) << bad;
        EXPECT_NE(result.out.find("usage: vornal-cli "), std::string::npos) << bad << ": " << result.out;
    }
    const CliResult impossible = RunCli(app + "day --date 20260230", true);
    EXPECT_EQ(impossible.exitCode, 2);
    EXPECT_NE(impossible.out.find("\"20260230\" is not a possible date"), std::string::npos) << impossible.out;
    const CliResult notADate = RunCli(app + "day --date 2026-01-05", true);
    EXPECT_NE(notADate.out.find("is not a date"), std::string::npos) << notADate.out;
}

} // namespace
} // namespace vornal::test
