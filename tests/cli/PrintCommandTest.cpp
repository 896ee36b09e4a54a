#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "cli/CliRun.h"

namespace vornal::test {
namespace {

// "vornal-cli print" over a short synthetic season: the page data and the PDF of the sheets.
class PrintCommand : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        root = std::filesystem::temp_directory_path() / ("vornal-cli-print-" + std::to_string(::getpid()));
        std::filesystem::remove_all(root);
        app = root / "app";
        std::filesystem::create_directories(app);
        appArg = "--app-dir " + ShellQuote(app.string()) + " ";
        const std::string feed = ShellQuote((root / "feed").string());
        if (RunCli(appArg + "samplegen --feed " + feed + " --seed 3 --days 3 --tuning " + ShellQuote(app.string()))
                    .exitCode != 0 ||
            RunCli(appArg + "acquire --feed " + feed + " --from '2000/01/01 00:00:00'").exitCode != 0) {
            return;
        }
        const std::string dates = RunCli(appArg + "dates").out;
        date = dates.substr(0, dates.find('\n'));
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(root); }

    static int Count(const std::string& text, const std::string& piece)
    {
        int n = 0;
        for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
            ++n;
        }
        return n;
    }

    static inline std::filesystem::path root;
    static inline std::filesystem::path app;
    static inline std::string appArg;
    static inline std::string date;
};

TEST_F(PrintCommand, PageDataFollowsTheRaceList)
{
    ASSERT_FALSE(date.empty());
    const int races = Count(RunCli(appArg + "table --date " + ShellQuote(date) + " --name racelist").out, "\n");
    ASSERT_GT(races, 0);
    const CliResult sheets = RunCli(appArg + "print --date " + ShellQuote(date) + " --sheet race --json");
    ASSERT_EQ(sheets.exitCode, 0);
    EXPECT_EQ(Count(sheets.out, "{\"number\":"), races);
    EXPECT_EQ(Count(sheets.out, "\"text\":\"ﾚｰｽ\""), races);
    EXPECT_NE(
        sheets.out.find("\"caption\":\"Vornal 分析表印刷\",\"firstPage\":1,\"lastPage\":" + std::to_string(races)),
        std::string::npos);

    const CliResult one = RunCli(appArg + "print --date " + ShellQuote(date) + " --sheet race --slot 1 --json");
    ASSERT_EQ(one.exitCode, 0);
    EXPECT_EQ(Count(one.out, "{\"number\":2,"), 1);
    EXPECT_EQ(Count(one.out, "{\"number\":"), 1);
    EXPECT_NE(
        one.out.find("{\"kind\":\"text\",\"x\":120,\"y\":105,\"text\":\"2\",\"font\":\"ＭＳ ゴシック\",\"size\":20,"
                     "\"bold\":true,\"underline\":false,\"colour\":\"#FFFFFF\"}"),
        std::string::npos);

    const CliResult all = RunCli(appArg + "print --date " + ShellQuote(date) + " --sheet allbets --json");
    ASSERT_EQ(all.exitCode, 0);
    EXPECT_EQ(Count(all.out, "買い目表\""), Count(all.out, "{\"number\":"));
    EXPECT_EQ(RunCli(appArg + "print --date " + ShellQuote(date) + " --sheet allbets --slot 1 --json").exitCode, 2);
    EXPECT_EQ(RunCli(appArg + "print --date " + ShellQuote(date) + " --sheet race").exitCode, 2);
}

TEST_F(PrintCommand, PdfOfTheHitReport)
{
    ASSERT_FALSE(date.empty());
    const std::filesystem::path pdf = root / "hits.pdf";
    const CliResult result =
        RunCli(appArg + "print --date " + ShellQuote(date) + " --sheet hits --pdf " + ShellQuote(pdf.string()), true);
#ifdef VORNAL_TEST_CLI_PRINTS
    ASSERT_EQ(result.exitCode, 0) << result.out;
    std::ifstream in(pdf, std::ios::binary);
    std::string head(5, '\0');
    in.read(head.data(), 5);
    EXPECT_EQ(head, "%PDF-");
    EXPECT_GT(std::filesystem::file_size(pdf), 1000u);
    EXPECT_NE(RunCli(appArg + "print --date " + ShellQuote(date) + " --sheet hits --pdf " +
                     ShellQuote((root / "missing" / "x.pdf").string()))
                  .exitCode,
              0);
#else
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.out.find("printing needs the Qt build"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(pdf));
#endif
}

} // namespace
} // namespace vornal::test
