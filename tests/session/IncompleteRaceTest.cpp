#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "app/AtomicFile.h"
#include "cli/CliRun.h"
#include "session/DaySession.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"

// A race with a runner record missing from the store, through the whole day load.
namespace vornal {
namespace {

namespace fs = std::filesystem;
using test::CliResult;
using test::RunCli;
using test::ShellQuote;

bool HasBets(const BetRecord& bets)
{
    for (const auto& combo : bets.BetCombos) {
        if (!IsBlank(combo.View())) {
            return true;
        }
    }
    return bets.BetRunner != 0;
}

// The race is neither rated, priced nor bet; every other race of the day keeps its figures
// and bets exactly, and a rerun of the pipeline bets nothing on it either.
TEST(IncompleteRace, GetsNoFiguresAndNoBetsWhileTheOthersStay)
{
    const fs::path root = fs::temp_directory_path() / ("vornal-incomplete-" + std::to_string(::getpid()));
    fs::remove_all(root);
    const std::string app = ShellQuote((root / "good").string());
    const std::string feed = ShellQuote((root / "feed").string());
    const CliResult generated = RunCli("samplegen --feed " + feed + " --days 2 --seed 7 --tuning " + app);
    ASSERT_EQ(generated.exitCode, 0) << generated.out;
    const std::size_t at = generated.out.find("--from \"");
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(RunCli("--app-dir " + app + " acquire --feed " + feed + " --from '" + generated.out.substr(at + 8, 19) +
                     "'")
                  .exitCode,
              0);
    const std::string dayName = StoredDayNames(root / "good").back();

    DaySession good(root / "good");
    ASSERT_TRUE(good.LoadDay(dayName).Ok());
    EXPECT_TRUE(good.Warnings().empty());
    const RaceDay& sound = *good.Day();
    int slot = 0;
    while (slot < sound.RaceCount && !(HasBets(sound.Bets[slot]) && sound.Races[slot].RunnerCount >= 5)) {
        ++slot;
    }
    ASSERT_LT(slot, sound.RaceCount);
    const RaceSlot& race = sound.Races[slot];

    // Runner 3 of that race lost: its line in the runner file blanked.
    fs::copy(root / "good", root / "damaged", fs::copy_options::recursive);
    const fs::path runnerFile =
        RunnerFile(root / "damaged", dayName, FieldView(race.SlotKey.View(), 9, 2));
    std::optional<std::string> bytes = ReadFileBytes(runnerFile);
    ASSERT_TRUE(bytes);
    const int record = (static_cast<int>(FieldNumber(race.SlotKey.View(), 15, 2)) - 1) * 18 + 2;
    bytes->replace(static_cast<std::size_t>(record) * jv::kLengthSE, jv::kLengthSE - 2, std::string(jv::kLengthSE - 2, ' '));
    ASSERT_TRUE(WriteFileAtomic(runnerFile, *bytes));

    DaySession damaged(root / "damaged");
    ASSERT_TRUE(damaged.LoadDay(dayName).Ok());
    ASSERT_EQ(damaged.Warnings().size(), 1u);
    EXPECT_EQ(damaged.Warnings()[0].record, record);
    for (int pass = 0; pass < 2; ++pass) {
        const RaceDay& day = *damaged.Day();
        const RaceSlot& hit = day.Races[slot];
        EXPECT_TRUE(hit.incomplete);
        EXPECT_FALSE(HasBets(day.Bets[slot])) << pass;
        for (int h = 0; h < hit.RunnerCount; ++h) {
            const Runner& runner = hit.Runners[h];
            EXPECT_EQ(runner.AchievementProb, 0.0) << h;
            EXPECT_EQ(runner.RankAchievement, 0) << h;
            EXPECT_EQ(runner.RankFinalGoal, 0) << h;
            EXPECT_EQ(runner.PredictedWinPayout, 0.0) << h;
            EXPECT_EQ(runner.WinRank, 0) << h;
            EXPECT_EQ(runner.RankAbility, 0) << h;
        }
        for (int q = 1; q <= kQuinellaCount; ++q) {
            EXPECT_EQ(hit.PredictedQuinellaPayout[q], 0.0) << q;
            EXPECT_EQ(hit.QuinellaRank[q], 0) << q;
        }
        for (int r = 0; r < sound.RaceCount; ++r) {
            if (r == slot) {
                continue;
            }
            EXPECT_FALSE(day.Races[r].incomplete);
            for (int i = 1; i <= kBetSlots; ++i) {
                EXPECT_EQ(day.Bets[r].BetCombos[i], sound.Bets[r].BetCombos[i]) << r;
            }
            EXPECT_EQ(day.Bets[r].BetRunner, sound.Bets[r].BetRunner) << r;
            for (int h = 0; h < sound.Races[r].RunnerCount; ++h) {
                EXPECT_EQ(day.Races[r].Runners[h].PredictedWinPayout, sound.Races[r].Runners[h].PredictedWinPayout);
            }
        }
        ASSERT_TRUE(damaged.RerunDayPipeline());
    }
    fs::remove_all(root);
}

} // namespace
} // namespace vornal
