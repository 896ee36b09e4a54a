#include "raceday/RaceDayJson.h"

#include <algorithm>

// The key is the field's own name, so JSON keys and RaceDay names cannot drift apart.
#define VORNAL_JSON_FIELD(json, object, name) (json).Field(#name, (object).name)
// A 1-based array: its entries 1 .. N only, so index i of the JSON array is entry i + 1.
#define VORNAL_JSON_FROM_ONE(json, object, name) (json).FieldFromOne(#name, (object).name)
#define VORNAL_JSON_PAYOUTS(json, object, name) WritePayouts((json), #name, (object).name)

namespace vornal {
namespace {

// A result table: one object per entry, in the payout record's order.
template <typename Entry, std::size_t N>
void WritePayouts(JsonWriter& json, std::string_view key, const std::array<Entry, N>& entries)
{
    json.Key(key);
    json.BeginArray();
    for (const Entry& entry : entries) {
        json.BeginObject();
        json.Field("Key", entry.Key);
        json.Field("Payout", entry.Payout);
        json.Field("Popularity", entry.Popularity);
        json.EndObject();
    }
    json.EndArray();
}

} // namespace

void WriteRaceFields(JsonWriter& json, const RaceSlot& race)
{
    VORNAL_JSON_FIELD(json, race, RaceLoaded);
    // Only when set, so the JSON of a sound day stays as it always was.
    if (race.incomplete) {
        VORNAL_JSON_FIELD(json, race, incomplete);
    }
    VORNAL_JSON_FIELD(json, race, SlotKey);
    VORNAL_JSON_FIELD(json, race, RaceName);
    VORNAL_JSON_FIELD(json, race, RaceShortName);
    VORNAL_JSON_FIELD(json, race, GradeCode);
    VORNAL_JSON_FIELD(json, race, WeightKindCode);
    VORNAL_JSON_FIELD(json, race, ConditionCodes);
    VORNAL_JSON_FIELD(json, race, RaceKindCode);
    VORNAL_JSON_FIELD(json, race, DistanceText);
    VORNAL_JSON_FIELD(json, race, TrackCode);
    VORNAL_JSON_FIELD(json, race, PostTime);
    VORNAL_JSON_FIELD(json, race, RunnerCount);
    VORNAL_JSON_FIELD(json, race, AutoOddsTime);
    VORNAL_JSON_FIELD(json, race, OddsO1Time);
    VORNAL_JSON_FIELD(json, race, OddsO2Time);
    // Past-performance statistics.
    VORNAL_JSON_FIELD(json, race, RaceMeanWinnerBase);
    VORNAL_JSON_FIELD(json, race, RaceMeanLast3F);
    VORNAL_JSON_FIELD(json, race, RaceMeanFirstPace);
    VORNAL_JSON_FIELD(json, race, RaceSdWinnerBase);
    VORNAL_JSON_FIELD(json, race, RaceSdLast3F);
    VORNAL_JSON_FIELD(json, race, RaceSdFirstPace);
    VORNAL_JSON_FIELD(json, race, RaceCountWinnerBase);
    VORNAL_JSON_FIELD(json, race, RaceCountLast3F);
    VORNAL_JSON_FIELD(json, race, RaceCountFirstPace);
    // Predicted payouts: combinations 1..153, in combination-number order.
    VORNAL_JSON_FROM_ONE(json, race, QuinellaProb);
    VORNAL_JSON_FROM_ONE(json, race, PredictedQuinellaPayout);
    VORNAL_JSON_FROM_ONE(json, race, QuinellaRank);
    VORNAL_JSON_FIELD(json, race, PopularityShare);
    // Imported bracket quinella odds 1..36 (the odds import; 0 until odds are imported).
    VORNAL_JSON_FROM_ONE(json, race, BracketOddsValue);
    // Lap analysis and ability deviation.
    VORNAL_JSON_FIELD(json, race, LapSpreadPlus);
    VORNAL_JSON_FIELD(json, race, LapSpreadMinus);
    VORNAL_JSON_FIELD(json, race, AbilityMean);
    VORNAL_JSON_FIELD(json, race, AbilitySpread);
    VORNAL_JSON_FIELD(json, race, PastRowCount);
    // Results.
    VORNAL_JSON_PAYOUTS(json, race, WinResult);
    VORNAL_JSON_PAYOUTS(json, race, PlaceResult);
    VORNAL_JSON_PAYOUTS(json, race, BracketResult);
    VORNAL_JSON_PAYOUTS(json, race, QuinellaResult);
    VORNAL_JSON_PAYOUTS(json, race, WideResult);
}

void WriteRunnerFields(JsonWriter& json, const Runner& runner)
{
    VORNAL_JSON_FIELD(json, runner, HorseNo);
    VORNAL_JSON_FIELD(json, runner, FrameNo);
    VORNAL_JSON_FIELD(json, runner, RunnerHorseId);
    VORNAL_JSON_FIELD(json, runner, HorseName);
    VORNAL_JSON_FIELD(json, runner, SexCode);
    VORNAL_JSON_FIELD(json, runner, CoatColourCode);
    VORNAL_JSON_FIELD(json, runner, CarriedWeight);
    VORNAL_JSON_FIELD(json, runner, JockeyCode);
    VORNAL_JSON_FIELD(json, runner, JockeyName);
    VORNAL_JSON_FIELD(json, runner, TrainerCode);
    VORNAL_JSON_FIELD(json, runner, TrainerName);
    VORNAL_JSON_FIELD(json, runner, FinishCounts);
    VORNAL_JSON_FIELD(json, runner, WinOdds);
    VORNAL_JSON_FIELD(json, runner, PlaceOddsLow);
    VORNAL_JSON_FIELD(json, runner, PlaceOddsHigh);
    // Ratings.
    VORNAL_JSON_FIELD(json, runner, TotalPrize);
    VORNAL_JSON_FIELD(json, runner, TotalStarts);
    VORNAL_JSON_FIELD(json, runner, ClassValue);
    VORNAL_JSON_FIELD(json, runner, ClassShare);
    VORNAL_JSON_FIELD(json, runner, ClassMargin);
    VORNAL_JSON_FIELD(json, runner, JockeyRate);
    VORNAL_JSON_FIELD(json, runner, TrainerRate);
    VORNAL_JSON_FIELD(json, runner, CareerRuns);
    VORNAL_JSON_FIELD(json, runner, CareerAdj);
    VORNAL_JSON_FIELD(json, runner, AvgMargin);
    VORNAL_JSON_FIELD(json, runner, AvgWeight);
    VORNAL_JSON_FIELD(json, runner, GateAdj);
    VORNAL_JSON_FIELD(json, runner, RawGoalMargin);
    VORNAL_JSON_FIELD(json, runner, GoalMargin);
    VORNAL_JSON_FIELD(json, runner, RelMargin);
    VORNAL_JSON_FIELD(json, runner, ConditionTerm);
    VORNAL_JSON_FIELD(json, runner, GoalShare);
    VORNAL_JSON_FIELD(json, runner, FinalGoalMargin);
    VORNAL_JSON_FIELD(json, runner, RotationValue);
    VORNAL_JSON_FIELD(json, runner, RotationShare);
    VORNAL_JSON_FIELD(json, runner, RotationPayout);
    VORNAL_JSON_FIELD(json, runner, RotationWinRate);
    VORNAL_JSON_FIELD(json, runner, RotationExcess);
    VORNAL_JSON_FIELD(json, runner, AchievementProb);
    VORNAL_JSON_FIELD(json, runner, RankAchievement);
    VORNAL_JSON_FIELD(json, runner, RankClass);
    VORNAL_JSON_FIELD(json, runner, RankAvgMargin);
    VORNAL_JSON_FIELD(json, runner, RankRotation);
    VORNAL_JSON_FIELD(json, runner, RankGoal);
    VORNAL_JSON_FIELD(json, runner, RankFinalGoal);
    VORNAL_JSON_FIELD(json, runner, RankBaseTime);
    VORNAL_JSON_FIELD(json, runner, RankBestBaseTime);
    VORNAL_JSON_FIELD(json, runner, RankOverallMin);
    // Predicted payouts.
    VORNAL_JSON_FIELD(json, runner, WinShare);
    VORNAL_JSON_FIELD(json, runner, TopTwoShare);
    VORNAL_JSON_FIELD(json, runner, TopTwoChance);
    VORNAL_JSON_FIELD(json, runner, BShare);
    VORNAL_JSON_FIELD(json, runner, PredictedWinPayout);
    VORNAL_JSON_FIELD(json, runner, WinRank);
    VORNAL_JSON_FIELD(json, runner, BRank);
    VORNAL_JSON_FIELD(json, runner, PredictedMargin);
    // Running style and base times.
    VORNAL_JSON_FIELD(json, runner, AvgCorner4);
    VORNAL_JSON_FIELD(json, runner, RunningStyle);
    VORNAL_JSON_FIELD(json, runner, Corner4StdDev);
    VORNAL_JSON_FIELD(json, runner, RunningStyleRank);
    VORNAL_JSON_FIELD(json, runner, BestBaseTime);
    VORNAL_JSON_FIELD(json, runner, OverallMin);
    VORNAL_JSON_FIELD(json, runner, AvgAdjLast3F);
    VORNAL_JSON_FIELD(json, runner, Last3FOffset);
    VORNAL_JSON_FIELD(json, runner, Last3FOffsetRank);
    VORNAL_JSON_FIELD(json, runner, BestGradeCode);
    VORNAL_JSON_FIELD(json, runner, RunnerAxisCode);
    // Lap analysis and ability deviation.
    VORNAL_JSON_FIELD(json, runner, RecordTime);
    VORNAL_JSON_FIELD(json, runner, FrontSpeed);
    VORNAL_JSON_FIELD(json, runner, BackSpeed);
    VORNAL_JSON_FIELD(json, runner, AbilityIndex);
    VORNAL_JSON_FIELD(json, runner, AbilityTime);
    VORNAL_JSON_FIELD(json, runner, Stamina);
    VORNAL_JSON_FIELD(json, runner, RankAbility);
    VORNAL_JSON_FIELD(json, runner, RankAbilityTime);
    VORNAL_JSON_FIELD(json, runner, RankStamina);
    VORNAL_JSON_FIELD(json, runner, RankRecordTime);
    VORNAL_JSON_FIELD(json, runner, RankFrontSpeed);
    VORNAL_JSON_FIELD(json, runner, RankBackSpeed);
    VORNAL_JSON_FIELD(json, runner, LapMark);
    VORNAL_JSON_FIELD(json, runner, AbilityDeviation);
    // Results.
    VORNAL_JSON_FIELD(json, runner, FinishPos);
    VORNAL_JSON_FIELD(json, runner, WinPopularity);
    VORNAL_JSON_FIELD(json, runner, FinalWinOdds);
}

void WritePastRunFields(JsonWriter& json, const PastRun& past)
{
    VORNAL_JSON_FIELD(json, past, PastRunPresent);
    VORNAL_JSON_FIELD(json, past, PastRaceKey);
    VORNAL_JSON_FIELD(json, past, PastRunKey);
    VORNAL_JSON_FIELD(json, past, PastDistance);
    VORNAL_JSON_FIELD(json, past, PastPlace);
    VORNAL_JSON_FIELD(json, past, PastTime);
    VORNAL_JSON_FIELD(json, past, PastLast3F);
    VORNAL_JSON_FIELD(json, past, PastTrack);
    VORNAL_JSON_FIELD(json, past, PastGoing);
    VORNAL_JSON_FIELD(json, past, PastHorseNo);
    VORNAL_JSON_FIELD(json, past, PastFrameNo);
    VORNAL_JSON_FIELD(json, past, PastCorner);
    VORNAL_JSON_FIELD(json, past, PastTimeDiff);
    VORNAL_JSON_FIELD(json, past, PastRaceName3);
    VORNAL_JSON_FIELD(json, past, PastGrade);
    VORNAL_JSON_FIELD(json, past, PastRaceKind);
    VORNAL_JSON_FIELD(json, past, PastRaceSymbol);
    VORNAL_JSON_FIELD(json, past, PastWeightKind);
    VORNAL_JSON_FIELD(json, past, PastCondition);
    VORNAL_JSON_FIELD(json, past, PastPopularity);
    // Speed figures.
    VORNAL_JSON_FIELD(json, past, PastBaseTime);
    VORNAL_JSON_FIELD(json, past, PastAdjLast3F);
    VORNAL_JSON_FIELD(json, past, PastFirstPace);
    VORNAL_JSON_FIELD(json, past, PastWinnerBaseTime);
    VORNAL_JSON_FIELD(json, past, PastNearLast3F);
    VORNAL_JSON_FIELD(json, past, PastWinnerFirstPace);
    VORNAL_JSON_FIELD(json, past, PastBaseTimeGap);
    VORNAL_JSON_FIELD(json, past, PastLast3FGap);
    VORNAL_JSON_FIELD(json, past, PastFirstPaceGap);
    VORNAL_JSON_FIELD(json, past, PastRankKey);
    VORNAL_JSON_FIELD(json, past, PastGapRank);
    VORNAL_JSON_FIELD(json, past, PastGradeCode);
    VORNAL_JSON_FIELD(json, past, PastAxisCode);
    // Working values of the rating pass.
    VORNAL_JSON_FIELD(json, past, PastFinish);
    VORNAL_JSON_FIELD(json, past, PastMargin);
    VORNAL_JSON_FIELD(json, past, PastWeight);
    // Ability deviation.
    VORNAL_JSON_FIELD(json, past, RIndex);
    VORNAL_JSON_FIELD(json, past, RIndexRank);
    VORNAL_JSON_FIELD(json, past, RTime);
    VORNAL_JSON_FIELD(json, past, RTimeRank);
}

void WriteBetFields(JsonWriter& json, const BetRecord& bets)
{
    // Bets 1..10 and quinella ranks 1..153, in order.
    VORNAL_JSON_FROM_ONE(json, bets, BetCombos);
    VORNAL_JSON_FIELD(json, bets, BetRunner);
    VORNAL_JSON_FROM_ONE(json, bets, CumulativeHitRate);
    VORNAL_JSON_FROM_ONE(json, bets, RankMark);
    VORNAL_JSON_FROM_ONE(json, bets, QuinellaHit);
    VORNAL_JSON_FROM_ONE(json, bets, QuinellaHitPay);
    VORNAL_JSON_FROM_ONE(json, bets, WideHit);
    VORNAL_JSON_FROM_ONE(json, bets, WideHitPay);
    VORNAL_JSON_FIELD(json, bets, WinHit);
    VORNAL_JSON_FIELD(json, bets, WinHitPay);
    VORNAL_JSON_FIELD(json, bets, PlaceHit);
    VORNAL_JSON_FIELD(json, bets, PlaceHitPay);
    VORNAL_JSON_FIELD(json, bets, ResultMarkQuinella);
    VORNAL_JSON_FIELD(json, bets, ResultMarkWide);
    VORNAL_JSON_FIELD(json, bets, ResultMarkWin);
    VORNAL_JSON_FIELD(json, bets, ResultMarkPlace);
}

void WriteRaceJson(JsonWriter& json, const RaceDay& day, std::string_view dayName, int race,
                   const LoadWarnings* warnings)
{
    const RaceSlot& slot = day.Races[race];
    json.BeginObject();
    json.Key("date");
    json.Cp932(dayName);
    json.Field("slot", race);
    if (warnings != nullptr) {
        WriteLoadWarningsJson(json, *warnings);
    }
    WriteRaceFields(json, slot);
    WriteBetFields(json, day.Bets[race]);
    json.Key("runners");
    json.BeginArray();
    const int runners = std::clamp(slot.RunnerCount, 0, kRunnerSlots);
    for (int h = 0; h < runners; ++h) {
        const Runner& runner = slot.Runners[h];
        json.BeginObject();
        json.Field("slot", h);
        WriteRunnerFields(json, runner);
        json.Key("past");
        json.BeginArray();
        for (int k = 0; k < kPastRuns; ++k) {
            json.BeginObject();
            json.Field("k", k);
            WritePastRunFields(json, runner.Past[k]);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

void WriteLoadWarningsJson(JsonWriter& json, const LoadWarnings& warnings)
{
    if (warnings.empty()) {
        return;
    }
    json.Key("warnings");
    json.BeginArray();
    for (const LoadWarning& warning : warnings) {
        json.BeginObject();
        json.Key("file");
        json.Cp932(warning.file);
        json.Field("record", warning.record);
        json.Key("field");
        json.Cp932(warning.field);
        json.Key("text");
        json.Cp932(warning.text);
        json.EndObject();
    }
    json.EndArray();
}

void WriteDayJson(JsonWriter& json, const RaceDay& day, std::string_view dayName,
                  const std::function<void(JsonWriter&)>& dayFields)
{
    json.BeginObject();
    json.Key("date");
    json.Cp932(dayName);
    json.Field("RaceCount", day.RaceCount);
    json.Key("BetKindSuffix");
    json.Cp932(day.BetKindSuffix);
    if (dayFields) {
        dayFields(json);
    }
    json.Key("races");
    json.BeginArray();
    for (int r = 0; r < kRaceSlots; ++r) {
        if (day.Races[r].RaceLoaded) {
            WriteRaceJson(json, day, dayName, r);
        }
    }
    json.EndArray();
    json.EndObject();
}

} // namespace vornal
