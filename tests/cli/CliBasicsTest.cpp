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

} // namespace
} // namespace vornal::test
