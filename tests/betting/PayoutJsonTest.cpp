#include <gtest/gtest.h>

#include <memory>

#include "raceday/RaceDayJson.h"

namespace vornal {
namespace {

// The rating and payout fields reach `race --json` and `day --json` under their names.
TEST(PayoutJson, RatingAndPayoutFieldsAreWritten)
{
    auto day = std::make_unique<RaceDay>();
    ClearRaceDay(*day);
    RaceSlot& race = day->Races[0];
    race.RaceLoaded = true;
    race.RunnerCount = 2;
    race.PopularityShare = 61.5;
    race.PredictedQuinellaPayout[1] = 110.0;
    race.QuinellaRank[1] = 1;
    race.Runners[1].AchievementProb = 0.25;
    race.Runners[1].RankOverallMin = 2;
    race.Runners[1].PredictedWinPayout = 1230.0;
    race.Runners[1].Past[0].PastMargin = "15";
    std::string out;
    JsonWriter json(out);
    WriteRaceJson(json, *day, "20260105", 0);
    for (const char* piece :
         {R"("PopularityShare":61.5)", R"("PredictedQuinellaPayout":[0,110,0,)", R"("QuinellaRank":[0,1,0,)",
          R"("QuinellaProb":[0,0,)", R"("AchievementProb":0.25,)", R"("RankOverallMin":2,)",
          R"("PredictedWinPayout":1230,)", R"("PastMargin":"15",)", R"("TotalPrize":0,)", R"("FinalGoalMargin":0,)",
          R"("PredictedMargin":0,)", R"("PastFinish":"",)", R"("PastWeight":"",)"}) {
        EXPECT_NE(out.find(piece), std::string::npos) << piece;
    }
}

} // namespace
} // namespace vornal
