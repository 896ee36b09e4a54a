#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include <sys/stat.h>

#include "app/AtomicFile.h"
#include "results/HitJudgementFiles.h"
#include "results/HitTestSupport.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

class HitFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        day->BetKindSuffix = "_No01";
        for (int slot = 0; slot < 3; ++slot) {
            test::AddRace(*day, slot, 10, test::Payouts().Quinella(1, "0305", 1520), {" 3- 5"}, 3);
        }
        std::ofstream(app.Path() / kHitFileSwitchName) << "";
    }

    Status Run(std::string_view dayName) { return RunHitJudgement(*day, app.Path(), dayName, totals); }
    std::filesystem::path File(BetType type) const
    {
        return NamedPath(app.Path(), HitFileName(kDay, type, day->BetKindSuffix));
    }
    std::string Contents(BetType type) const { return ReadFileBytes(File(type)).value_or("<missing>"); }

    test::TempAppDir app;
    std::unique_ptr<RaceDay> day = test::EmptyDay();
    DayTotals totals;
    const std::string kDay = Sjis("2026年01月05日");
};

TEST_F(HitFiles, RerunsLeaveOneLinePerDayAndOtherDaysAreFiledInOrder)
{
    const std::string earlier = Sjis("2026年01月04日");
    ASSERT_TRUE(Run(kDay));
    ASSERT_TRUE(Run(earlier));
    day->Bets[0].BetCombos[1].Clear(); // another method's bets, same suffix
    ASSERT_TRUE(Run(kDay));
    ASSERT_TRUE(Run(kDay));

    EXPECT_EQ(Contents(BetType::Quinella), Sjis("01月04日中山03回05日  3点  3点  300円   4560円1520.0%\r\n"
                                                "01月05日中山03回05日  2点  2点  200円   3040円1520.0%\r\n"));
    for (BetType type : kBetTypes) {
        const std::string contents = Contents(type);
        EXPECT_EQ(std::count(contents.begin(), contents.end(), '\n'), 2) << ToUtf8(contents);
    }
}

TEST_F(HitFiles, NothingIsWrittenWithoutTheSwitchFileOrWithOneRace)
{
    std::filesystem::remove(app.Path() / kHitFileSwitchName);
    ASSERT_TRUE(Run(kDay));
    EXPECT_FALSE(std::filesystem::exists(File(BetType::Win)));

    std::ofstream(app.Path() / kHitFileSwitchName) << "";
    day = test::EmptyDay();
    test::AddRace(*day, 0, 10);
    ASSERT_TRUE(Run(kDay));
    EXPECT_FALSE(std::filesystem::exists(NamedPath(app.Path(), HitFileName(kDay, BetType::Win, ""))));
}

TEST_F(HitFiles, AFileThatCannotBeReadOrReplacedStopsTheStepNamingIt)
{
    std::filesystem::create_directories(File(BetType::Quinella));
    const Status replaced = Run(kDay);
    ASSERT_FALSE(replaced);
    EXPECT_NE(replaced.message.find(Sjis("2026年馬連_No01.ksr")), std::string::npos) << ToUtf8(replaced.message);
    EXPECT_NE(Contents(BetType::Place), "<missing>");
    EXPECT_FALSE(std::filesystem::exists(File(BetType::Wide)));
    EXPECT_EQ(totals[BetType::Quinella].Hits, 3); // the totals stand without the files

    // A pipe of the name would block a read for ever.
    std::filesystem::remove(File(BetType::Place));
    ASSERT_EQ(::mkfifo(File(BetType::Place).c_str(), 0600), 0);
    const Status read = Run(kDay);
    ASSERT_FALSE(read);
    EXPECT_NE(read.message.find(Sjis("2026年複勝_No01.ksr")), std::string::npos) << ToUtf8(read.message);
}

TEST_F(HitFiles, ASuffixThatWouldLeaveTheFolderIsRefused)
{
    day->BetKindSuffix = "_/../../x";
    EXPECT_FALSE(Run(kDay));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(app.Path()), {}), 4); // Data, SEI, SEIR, switch

    day->BetKindSuffix = Sjis("_ソ連"); // 0x5C as a trail byte is no separator
    EXPECT_TRUE(Run(kDay));
    EXPECT_TRUE(std::filesystem::exists(File(BetType::Wide)));
}

} // namespace
} // namespace vornal
