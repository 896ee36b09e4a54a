#include <gtest/gtest.h>

#include <fstream>

#include <sys/stat.h>

#include "app/AtomicFile.h"
#include "results/HitEvaluation.h"
#include "results/HitJudgementFiles.h"
#include "results/HitTestSupport.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

using test::AddRace;
using test::PayoutBuilder;
using test::SetBets;

class HitFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        day = test::EmptyDay();
        day->BetKindSuffix = "_No01";
        for (int slot = 0; slot < 3; ++slot) {
            AddRace(*day, slot, 10, PayoutBuilder().Win(1, 3, 450).Place(1, 3, 160).Quinella(1, "0305", 1520));
            SetBets(*day, slot, " 3- 5", " 1- 2", "", 3);
        }
        EvaluateDayHits(*day);
        totals = JudgeHits(*day);
    }

    void Enable() const { std::ofstream(app.Path() / kHitFileSwitchName) << ""; }

    std::filesystem::path File(BetType type, std::string_view dayName = "") const
    {
        return NamedPath(app.Path(), HitFileName(dayName.empty() ? kDay : dayName, type, day->BetKindSuffix));
    }

    std::string Contents(BetType type) const { return ReadFileBytes(File(type)).value_or("<missing>"); }

    test::TempAppDir app;
    std::unique_ptr<RaceDay> day;
    DayTotals totals;
    const std::string kDay = Sjis("2026年01月05日");
};

TEST_F(HitFiles, NothingIsWrittenWithoutTheSwitchFileOrWithOneRace)
{
    ASSERT_TRUE(WriteHitJudgementFiles(app.Path(), kDay, *day, totals));
    for (BetType type : kBetTypes) {
        EXPECT_FALSE(std::filesystem::exists(File(type)));
    }

    Enable();
    auto single = test::EmptyDay();
    AddRace(*single, 0, 10);
    ASSERT_TRUE(WriteHitJudgementFiles(app.Path(), kDay, *single, JudgeHits(*single)));
    EXPECT_FALSE(std::filesystem::exists(NamedPath(app.Path(), HitFileName(kDay, BetType::Win, ""))));
}

TEST_F(HitFiles, RerunsLeaveOneLinePerDayAndOtherDaysAreFiledInOrder)
{
    Enable();
    const auto lines = HitFileLines(*day, kDay, totals);
    for (int run = 0; run < 3; ++run) {
        ASSERT_TRUE(WriteHitJudgementFiles(app.Path(), kDay, *day, totals));
    }
    for (BetType type : kBetTypes) {
        EXPECT_EQ(Contents(type), lines[static_cast<std::size_t>(type)] + "\r\n") << static_cast<int>(type);
    }

    // An earlier day of the year goes before it; the day's own line is replaced by the rerun.
    const std::string earlier = Sjis("2026年01月04日");
    ASSERT_TRUE(WriteHitJudgementFiles(app.Path(), earlier, *day, totals));
    SetBets(*day, 0, "", "", "", 0);
    EvaluateDayHits(*day);
    const DayTotals changed = JudgeHits(*day);
    ASSERT_TRUE(WriteHitJudgementFiles(app.Path(), kDay, *day, changed));
    const std::string quinella = Contents(BetType::Quinella);
    EXPECT_EQ(quinella,
              HitFileLines(*day, earlier, totals)[2] + "\r\n" + HitFileLines(*day, kDay, changed)[2] + "\r\n");
    EXPECT_NE(changed[BetType::Quinella].Points, totals[BetType::Quinella].Points);
}

TEST_F(HitFiles, AFileThatCannotBeReplacedStopsTheStepNamingIt)
{
    Enable();
    std::filesystem::create_directories(File(BetType::Quinella));

    const IoResult result = WriteHitJudgementFiles(app.Path(), kDay, *day, totals);

    ASSERT_FALSE(result);
    EXPECT_NE(result.message.find(Sjis("2026年馬連_No01.ksr")), std::string::npos) << ToUtf8(result.message);
    EXPECT_TRUE(std::filesystem::is_directory(File(BetType::Quinella)));
    EXPECT_NE(Contents(BetType::Win), "<missing>");
    EXPECT_NE(Contents(BetType::Place), "<missing>");
    EXPECT_FALSE(std::filesystem::exists(File(BetType::Wide)));
}

TEST_F(HitFiles, AFileThatCannotBeReadStopsTheStepNamingIt)
{
    Enable();
    ASSERT_EQ(::mkfifo(File(BetType::Place).c_str(), 0600), 0);

    const IoResult result = WriteHitJudgementFiles(app.Path(), kDay, *day, totals);

    ASSERT_FALSE(result);
    EXPECT_NE(result.message.find(Sjis("2026年複勝_No01.ksr")), std::string::npos) << ToUtf8(result.message);
    EXPECT_NE(Contents(BetType::Win), "<missing>");
    EXPECT_FALSE(std::filesystem::exists(File(BetType::Quinella)));
}

TEST_F(HitFiles, ASuffixThatWouldLeaveTheFolderIsRefused)
{
    Enable();
    day->BetKindSuffix = "_/../../x";
    const IoResult result = WriteHitJudgementFiles(app.Path(), kDay, *day, totals);
    EXPECT_FALSE(result);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(app.Path()), {}), 4); // Data, SEI, SEIR, switch

    day->BetKindSuffix = Sjis("_ソ連"); // 0x5C trail byte: no separator
    EXPECT_TRUE(WriteHitJudgementFiles(app.Path(), kDay, *day, totals));
    EXPECT_TRUE(std::filesystem::exists(File(BetType::Wide)));
}

} // namespace
} // namespace vornal
