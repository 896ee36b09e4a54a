#pragma once

#include "app/Status.h"
#include "app/TuningTables.h"
#include "raceday/RaceDay.h"

// Lap analysis, the "新ラップ" command: each runner's recent runs are set against the
// standard race figures of their course type and distance, giving per runner a record-time
// figure, a front-half and a back-half speed (the means over the usable runs, adjusted to
// today's race), an ability index and ability time, a stamina value, six rankings and a
// one-character lap mark.
namespace vornal {

// Runs the lap analysis over race slots 0..35 in order. A race is analysed when it is
// loaded, its racecourse code is a JRA one (not "00", blank, local or overseas), it is not
// an obstacle race, not a newcomer race (youngest-age condition "701" or "702"), and its
// distance has standard figures for its course type; any other race is left untouched.
// Writes per runner RecordTime, FrontSpeed, BackSpeed, AbilityIndex, AbilityTime, Stamina,
// the ranks RankAbility, RankAbilityTime, RankStamina, RankRecordTime, RankFrontSpeed,
// RankBackSpeed and LapMark, and per race LapSpreadPlus and LapSpreadMinus. Reads the race
// records directly (it runs before the identification fields are set), the past-run fields,
// the race statistics of the past-performance pass, ClassMargin, FinalGoalMargin,
// AchievementProb and PredictedWinPayout.
//
// A past time or last-600 m time with something other than digits where a usable run's
// digits are read stops the pass: the result names the race slot, the runner and the run;
// the races before it keep their results and the race in hand is left untouched.
Status ComputeLapAnalysis(RaceDay& day, const TuningTables& tables);

// The rank bucket of the lap mark: ranks 1-3 -> 1, 4-6 -> 2, 7-9 -> 3, 10-12 -> 4,
// 13-15 -> 5, 16 and above -> 6. Ranks below 1 give 0 (no bucket).
int LapRankBucket(int rank);

// The race category of the rank-pair and threshold tables: 1 turf up to 1650 m, 2 longer
// turf, 3 dirt up to 1650 m, 4 longer dirt. Turf is a track code 11..22; every other code,
// straight turf "10" included, counts as dirt here.
int LapCategory(std::string_view trackCode, int distanceMetres);

} // namespace vornal
