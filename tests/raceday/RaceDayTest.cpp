#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "raceday/RaceDay.h"
#include "text/Fields.h"

namespace vornal {
namespace {

TEST(RaceDay, FixedTextCutsAtCapacityAndKeepsBytes)
{
    FixedText<4> text("\x83\x5C\x83\x5Cxx");
    EXPECT_EQ(text.View(), "\x83\x5C\x83\x5C");
    text = "";
    EXPECT_TRUE(text.empty());
    RecordText<6> record;
    EXPECT_EQ(record.View(), "      ");
    record = "ab";
    EXPECT_EQ(record.View(), "ab    ");
    record = "abcdefgh";
    EXPECT_EQ(record.View(), "abcdef");
}

TEST(RaceDay, ClearResetsDerivedFieldsToTheirInitialValues)
{
    auto day = std::make_unique<RaceDay>();
    Runner& runner = day->Races[3].Runners[7];
    runner.OverallMin = -1.5;
    runner.RankGoal = 4;
    runner.RecordTime = 55.0;
    runner.HorseName = "X";
    runner.Past[2].PastLast3FGap = 0.3;
    runner.Past[2].PastRunPresent = true;
    day->Races[3].RaceLoaded = true;
    day->Races[3].QuinellaRank[153] = 9;
    day->RaceCount = 12;

    ClearRaceDay(*day);

    for (const RaceSlot& race : day->Races) {
        EXPECT_FALSE(race.RaceLoaded);
        EXPECT_EQ(race.QuinellaRank[153], 0);
        for (const Runner& r : race.Runners) {
            EXPECT_EQ(r.OverallMin, 10000.0);
            EXPECT_EQ(r.RecordTime, 10000.0);
            EXPECT_EQ(r.FrontSpeed, 10000.0);
            EXPECT_EQ(r.BackSpeed, 10000.0);
            EXPECT_EQ(r.RankGoal, 0);
            EXPECT_TRUE(r.HorseName.empty());
            for (const PastRun& p : r.Past) {
                EXPECT_FALSE(p.PastRunPresent);
                EXPECT_EQ(p.PastBaseTimeGap, 10000.0);
                EXPECT_EQ(p.PastLast3FGap, 10000.0);
                EXPECT_EQ(p.PastFirstPaceGap, 10000.0);
                EXPECT_EQ(p.PastRankKey, 10000.0);
                EXPECT_EQ(p.PastBaseTime, 0.0);
            }
        }
    }
    EXPECT_EQ(day->RaceCount, 0);
}

TEST(RaceDay, ClearKeepsOddsRecordsAndBets)
{
    auto day = std::make_unique<RaceDay>();
    day->Races[0].Runners[17].WinOdds = 12.3;
    day->Races[35].Runners[0].PlaceOddsHigh = -2.0;
    day->RaceRA[0] = "RA7";
    day->Bets[5].BetCombos[1] = " 1- 2";
    day->Bets[5].WinHitPay = 560;

    ClearRaceDay(*day);

    EXPECT_EQ(day->Races[0].Runners[17].WinOdds, 12.3);
    EXPECT_EQ(day->Races[35].Runners[0].PlaceOddsHigh, -2.0);
    EXPECT_EQ(day->RaceRA[0].View().substr(0, 4), "RA7 ");
    EXPECT_EQ(day->Bets[5].BetCombos[1], " 1- 2");
    EXPECT_EQ(day->Bets[5].WinHitPay, 560);

    BlankRaceDayRecords(*day);
    EXPECT_EQ(day->RaceRA[0].View(), std::string(1272, ' '));
    EXPECT_EQ(day->PastRA[35][17][4].View(), std::string(1272, ' '));
}

TEST(RaceDay, AClearedDayIsWhatClearingAndBlankingACopyGives)
{
    auto shown = std::make_unique<RaceDay>();
    shown->RaceCount = 9;
    shown->RaceRA[2] = "RA2";
    shown->RunnerSE[2][5] = "SE5";
    shown->PastRA[8][17][4] = "RA old";
    shown->Races[2].RaceName = "X";
    shown->Races[2].Runners[5].RankGoal = 3;
    shown->Races[2].Runners[5].Past[1].PastBaseTimeGap = 0.4;
    shown->Races[35].Runners[17].WinOdds = 4.5;
    shown->Races[0].Runners[0].PlaceOddsLow = -1.0;
    shown->Bets[7].BetCombos[2] = " 3- 4";
    shown->BetKindSuffix = "_No02";

    auto expected = shown->Clone();
    ClearRaceDay(*expected);
    BlankRaceDayRecords(*expected);
    const std::unique_ptr<RaceDay> cleared = ClearedRaceDay(shown.get());

    EXPECT_EQ(cleared->RaceCount, 0);
    EXPECT_EQ(cleared->RaceRA[2].View(), expected->RaceRA[2].View());
    EXPECT_EQ(cleared->RunnerSE[2][5].View(), std::string(jv::kLengthSE, ' '));
    EXPECT_EQ(cleared->PastRA[8][17][4].View(), expected->PastRA[8][17][4].View());
    EXPECT_TRUE(cleared->Races[2].RaceName.empty());
    EXPECT_EQ(cleared->Races[2].Runners[5].RankGoal, 0);
    EXPECT_EQ(cleared->Races[2].Runners[5].Past[1].PastBaseTimeGap, kNoValue);
    EXPECT_EQ(cleared->Races[2].Runners[5].OverallMin, kNoValue);
    for (int r = 0; r < kRaceSlots; ++r) {
        for (int h = 0; h < kRunnerSlots; ++h) {
            const Runner& a = cleared->Races[r].Runners[h];
            const Runner& b = expected->Races[r].Runners[h];
            ASSERT_EQ(a.WinOdds, b.WinOdds) << r << " " << h;
            ASSERT_EQ(a.PlaceOddsLow, b.PlaceOddsLow) << r << " " << h;
            ASSERT_EQ(a.PlaceOddsHigh, b.PlaceOddsHigh) << r << " " << h;
        }
    }
    EXPECT_EQ(cleared->Bets[7].BetCombos[2], " 3- 4");
    EXPECT_EQ(cleared->BetKindSuffix, "_No02");
    // Without a day shown: a new day, as constructed.
    const std::unique_ptr<RaceDay> first = ClearedRaceDay(nullptr);
    EXPECT_EQ(first->Races[35].Runners[17].WinOdds, 0.0);
    EXPECT_EQ(first->PastSE[35][17][4].View(), std::string(jv::kLengthSE, ' '));
}

} // namespace
TEST(RaceDay, ADayMadeWhereAnotherWasFreedStartsNew)
{
    // Freed days' memory is kept for the next days: whatever the freed ones held must not
    // show through. Several at once, more than are kept, so kept and fresh blocks both serve.
    std::vector<std::unique_ptr<RaceDay>> days;
    for (int i = 0; i < 4; ++i) {
        auto& day = days.emplace_back(std::make_unique<RaceDay>());
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(day.get()) % alignof(RaceDay), 0u);
        day->RaceCount = 36;
        day->PastRA[35][17][4] = "RA old";
        day->Races[35].Runners[17].WinOdds = 4.5;
        day->Races[35].Runners[17].OverallMin = 1.0;
        day->Bets[35].BetCombos[10] = " 3- 4";
        day->BetKindSuffix = std::string(100, 'x');
    }
    days.clear();
    for (int i = 0; i < 4; ++i) {
        const auto day = std::make_unique<RaceDay>();
        EXPECT_EQ(day->RaceCount, 0);
        EXPECT_EQ(day->PastRA[35][17][4].View(), std::string(jv::kLengthRA, ' '));
        EXPECT_EQ(day->Races[35].Runners[17].WinOdds, 0.0);
        EXPECT_EQ(day->Races[35].Runners[17].OverallMin, kNoValue);
        EXPECT_TRUE(TrimView(day->Bets[35].BetCombos[10].View()).empty());
        EXPECT_TRUE(day->BetKindSuffix.empty());
    }
}

} // namespace vornal
