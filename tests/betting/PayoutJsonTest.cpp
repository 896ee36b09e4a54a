#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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
         {R"("PopularityShare":61.5)", R"("PredictedQuinellaPayout":[110,0,)", R"("QuinellaRank":[1,0,)",
          R"("QuinellaProb":[0,0,)", R"("AchievementProb":0.25,)", R"("RankOverallMin":2,)",
          R"("PredictedWinPayout":1230,)", R"("PastMargin":"15",)", R"("TotalPrize":0,)", R"("FinalGoalMargin":0,)",
          R"("PredictedMargin":0,)", R"("PastFinish":"",)", R"("PastWeight":"",)"}) {
        EXPECT_NE(out.find(piece), std::string::npos) << piece;
    }
}

// The 1-based arrays hold exactly their entries: 153 combinations, 36 bracket pairs, 10 bets;
// the first JSON element is entry 1, the last entry N.
TEST(PayoutJson, OneBasedArraysCarryOnlyTheirEntries)
{
    auto day = std::make_unique<RaceDay>();
    ClearRaceDay(*day);
    day->Races[0].RaceLoaded = true;
    day->Races[0].PredictedQuinellaPayout[153] = 9990.0;
    day->Races[0].BracketOddsValue[1] = 4.5;
    day->Bets[0].BetCombos[1] = " 3- 7";
    day->Bets[0].RankMark[153] = "S";
    std::string out;
    JsonWriter json(out);
    WriteRaceJson(json, *day, "20260105", 0);
    const auto entries = [&out](const std::string& key) {
        const std::size_t at = out.find("\"" + key + "\":[");
        EXPECT_NE(at, std::string::npos) << key;
        const std::string items = out.substr(at + key.size() + 4, out.find(']', at) - at - key.size() - 4);
        return std::make_pair(static_cast<int>(std::count(items.begin(), items.end(), ',')) + 1, items);
    };
    for (const auto& [key, count] : std::vector<std::pair<std::string, int>>{{"QuinellaProb", 153},
                                                                             {"PredictedQuinellaPayout", 153},
                                                                             {"QuinellaRank", 153},
                                                                             {"BracketOddsValue", 36},
                                                                             {"BetCombos", 10},
                                                                             {"CumulativeHitRate", 153},
                                                                             {"RankMark", 153},
                                                                             {"QuinellaHit", 10},
                                                                             {"QuinellaHitPay", 10},
                                                                             {"WideHit", 10},
                                                                             {"WideHitPay", 10}}) {
        EXPECT_EQ(entries(key).first, count) << key;
    }
    EXPECT_TRUE(entries("PredictedQuinellaPayout").second.ends_with(",9990"));
    EXPECT_TRUE(entries("BracketOddsValue").second.starts_with("4.5,"));
    EXPECT_TRUE(entries("BetCombos").second.starts_with("\" 3- 7\","));
    EXPECT_TRUE(entries("RankMark").second.ends_with(",\"S\""));
}

} // namespace
} // namespace vornal
