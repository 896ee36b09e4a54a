#include <gtest/gtest.h>

#include <fstream>

#include "app/AppDir.h"
#include "store/StorePaths.h"
#include "text/FileNames.h"
#include "text/Encoding.h"

#include "store/StoreTestSupport.h"

namespace vornal {
namespace {

// 2026年01月05日 in CP932.
const std::string kJan5 = "2026\x94\x4E"
                          "01\x8C\x8E"
                          "05\x93\xFA";

TEST(StoreNames, DayNameFromRecordAndDigits)
{
    std::string record = "RA7202512282026010506010201" + std::string(100, ' ');
    EXPECT_EQ(DayName(record), kJan5);
    EXPECT_EQ(DayNameFromDigits("20260105"), kJan5);
    EXPECT_EQ(DayName(record).size(), 14u);
    EXPECT_EQ(DayDigits(kJan5), "20260105");
    EXPECT_EQ(RaceKey(record), "2026010506010201");
}

TEST(StoreNames, DateDigitsMustFormARealDate)
{
    EXPECT_TRUE(IsValidDateDigits("20260105"));
    EXPECT_TRUE(IsValidDateDigits("20240229"));
    EXPECT_TRUE(IsValidDateDigits("20001231"));
    EXPECT_FALSE(IsValidDateDigits("20250229"));
    EXPECT_FALSE(IsValidDateDigits("19000229"));
    EXPECT_FALSE(IsValidDateDigits("20261301"));
    EXPECT_FALSE(IsValidDateDigits("20260100"));
    EXPECT_FALSE(IsValidDateDigits("20260431"));
    EXPECT_FALSE(IsValidDateDigits("00000105"));
    EXPECT_FALSE(IsValidDateDigits("2026 105"));
    EXPECT_FALSE(IsValidDateDigits("2026/1/5"));
    EXPECT_FALSE(IsValidDateDigits("202601051"));
    EXPECT_FALSE(IsValidDateDigits("../../x0"));
}

TEST(StoreNames, DayNameTextChecks)
{
    EXPECT_TRUE(IsDayName(kJan5));
    EXPECT_FALSE(IsDayName(DayNameFromDigits("20260230")));
    EXPECT_FALSE(IsDayName(kJan5.substr(0, 13)));
    std::string wrongMark = kJan5;
    wrongMark[5] = '\x4F';
    EXPECT_FALSE(IsDayName(wrongMark));
    EXPECT_EQ(ParseDayName("20260105"), kJan5);
    EXPECT_EQ(ParseDayName(kJan5), kJan5);
    EXPECT_EQ(ParseDayName("2026-01-05"), "");
    EXPECT_EQ(ParseDayName("20260132"), "");
}

TEST(StoreNames, CourseCodesAndHorseIds)
{
    EXPECT_TRUE(IsKnownCourseCode("06"));
    EXPECT_TRUE(IsKnownCourseCode("44"));
    EXPECT_TRUE(IsKnownCourseCode("C4")); // abroad, without a name
    EXPECT_FALSE(IsKnownCourseCode("00"));
    EXPECT_FALSE(IsKnownCourseCode("  "));
    EXPECT_FALSE(IsKnownCourseCode("6"));
    EXPECT_FALSE(IsKnownCourseCode(".."));
    EXPECT_TRUE(IsValidHorseId("2019104567"));
    EXPECT_FALSE(IsValidHorseId("201910456"));
    EXPECT_FALSE(IsValidHorseId("2019 04567"));
    EXPECT_FALSE(IsValidHorseId("../../../x"));
}

TEST(StoreNames, FileNamesAreCp932Bytes)
{
    EXPECT_EQ(RunnerFileName(DayNameFromDigits("20050105"), "06"), Sjis("2005年01月05日中山.jvSEr"));
    EXPECT_EQ(RunnerFileName(kJan5, "00"), kJan5 + "    .jvSEr");
    EXPECT_EQ(DayFileName(kJan5, kRaceExt), kJan5 + ".jvRA");
    EXPECT_EQ(ResultHistoryFileName("2026010506"), "2026010506.jvSERA");
    EXPECT_EQ(HorseHistoryFileName("2019104567"), "2019104567.jvSEI");
}

TEST(StorePathsOnDisk, EveryFileLiesInItsFolderUnderItsUtf8Name)
{
    const std::filesystem::path app = "/store/app";
    EXPECT_EQ(RaceFile(app, kJan5).native(), "/store/app/Data/2026年01月05日.jvRA");
    EXPECT_EQ(PayoutFile(app, kJan5).filename().native(), "2026年01月05日.jvHR");
    EXPECT_EQ(WinOddsFile(app, kJan5).filename().native(), "2026年01月05日.jvO1");
    EXPECT_EQ(QuinellaOddsFile(app, kJan5).filename().native(), "2026年01月05日.jvO2");
    EXPECT_EQ(JockeyMasterFile(app, kJan5).filename().native(), "2026年01月05日.jvKS");
    EXPECT_EQ(TrainerMasterFile(app, kJan5).filename().native(), "2026年01月05日.jvCH");
    EXPECT_EQ(HorseMasterFile(app, kJan5).filename().native(), "2026年01月05日.jvUM2");
    EXPECT_EQ(OldHorseMasterFile(app, kJan5).filename().native(), "2026年01月05日.jvUMA");
    EXPECT_EQ(RunnerFile(app, kJan5, "09"), app / "Data" / "2026年01月05日阪神.jvSEr");
    EXPECT_EQ(Cp932Name(RunnerFile(app, kJan5, "09")), kJan5 + Sjis("阪神") + ".jvSEr");
    EXPECT_EQ(ResultHistoryFile(app, "2026010506"), app / "SEIR" / "2026" / "2026010506.jvSERA");
    EXPECT_EQ(HorseHistoryFile(app, "2019104567"), app / "SEI" / "2019" / "2019104567.jvSEI");
}

TEST(StorePathsOnDisk, HistoryPathsAreTheTextsOfTheJoinedParts)
{
    // The texts key the load's file cache and name files in messages: the same bytes as
    // joining the parts, whatever form the application folder was given in.
    for (const std::filesystem::path app : {"/store/app", "/store/app/", "store", "", "/", "/store/./app/."}) {
        EXPECT_EQ(HorseHistoryFile(app, "2019104567").native(), (app / "SEI" / "2019" / "2019104567.jvSEI").native());
        EXPECT_EQ(ResultHistoryFile(app, "2026010506").native(),
                  (app / "SEIR" / "2026" / "2026010506.jvSERA").native());
    }
}

TEST(StorePathsOnDisk, BadNamesNeverBecomePaths)
{
    const std::filesystem::path app = "/store/app";
    EXPECT_THROW(RaceFile(app, DayNameFromDigits("../../..")), StoreNameError);
    EXPECT_THROW(RunnerFile(app, DayNameFromDigits("20261305"), "06"), StoreNameError);
    EXPECT_THROW(ResultHistoryFile(app, "2026010500"), StoreNameError);
    EXPECT_THROW(ResultHistoryFile(app, "2026/1/5/6"), StoreNameError);
    EXPECT_THROW(HorseHistoryFile(app, "../../etc/"), StoreNameError);
    EXPECT_TRUE(IsInsideFolder(app / "SEI" / "2019" / "x.jvSEI", app));
    EXPECT_FALSE(IsInsideFolder(app / "SEI" / ".." / ".." / "x", app));
    EXPECT_FALSE(IsInsideFolder(app, app));
}

TEST(StorePathsOnDisk, StoredDaysNewestFirst)
{
    test::TempDir app;
    EXPECT_TRUE(StoredDayNames(app.Path()).empty());
    ASSERT_TRUE(EnsureAppFolders(app.Path()));
    for (const char* digits : {"20050109", "20050108", "20041230"}) {
        std::ofstream(RaceFile(app.Path(), DayNameFromDigits(digits))) << "x";
    }
    std::ofstream(PayoutFile(app.Path(), DayNameFromDigits("20050110"))) << "x";
    std::ofstream(DataDir(app.Path()) / "notes.jvRA") << "x";
    const std::vector<std::string> expected = {DayNameFromDigits("20050109"), DayNameFromDigits("20050108"),
                                               DayNameFromDigits("20041230")};
    EXPECT_EQ(StoredDayNames(app.Path()), expected);

    // A copy made elsewhere may bring names nobody can decode: left out, said, never fatal.
    test::Spit(DataDir(app.Path()) / "2005\xff\xfe.jvRA", "x");
    test::Spit(DataDir(app.Path()) / "\x82\xa0.jvRA", "x"); // CP932 "あ", not a date
    std::vector<std::string> ignored;
    EXPECT_EQ(StoredDayNames(app.Path(), &ignored), expected);
    ASSERT_EQ(ignored.size(), 2u);
    for (const std::string& message : ignored) {
        EXPECT_NE(message.find("not a race file name"), std::string::npos) << message;
    }
    EXPECT_NE(ToUtf8(ignored[0] + ignored[1]).find("2005\\xFF\\xFE.jvRA"), std::string::npos);
}

} // namespace
} // namespace vornal
