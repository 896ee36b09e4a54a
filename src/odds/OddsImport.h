#pragma once

#include <string_view>
#include <vector>

#include "app/Status.h"
#include "raceday/RaceDay.h"

// The odds import: turns the stored odds records of one race into the race day's odds
// values. It runs after every quick-odds fetch and after the time-series import.
namespace vornal {

// An odds text of `width` bytes in tenths as odds: -1 for a text of dashes or asterisks
// (no sale, withdrawn), -2 for a blank text (not announced yet), else the number / 10.
double MarkedOddsValue(std::string_view text, std::size_t width);

// Imports race slot `race`: takes record `race` of the day's ".jvO1" file (day.OddsO1Path)
// into RaceO1 when it belongs to the slot's racecourse and race number (else RaceO1 keeps
// what the load put there), then sets WinOdds, PlaceOddsLow and PlaceOddsHigh of the
// registered runners, BracketOddsValue 1..36 from RaceO1, PredictedQuinellaPayout 1..153
// from RaceO2 (the market's odds replace the predicted values when the race has any
// quinella odds; a race without them keeps the predicted values, and an entry of the
// market may then be -1 or -2, which no display shows as a payout) and the odds times
// OddsO1Time and OddsO2Time. Fails, changing nothing, when the file exists but cannot be read.
Status ImportOdds(RaceDay& day, int race);

// Whether race slot `race` has any quinella odds of the market in RaceO2: after ImportOdds
// its PredictedQuinellaPayout then holds odds (yen per 1 yen), not predicted payouts.
bool HasQuinellaOdds(const RaceDay& day, int race);

// ImportOdds for every race of the race list (RaceListCount, results/HitJudgement.h: the
// race file is sorted, so they are slots 0 .. count - 1) in turn; stops at the first failure.
Status ImportAllOdds(RaceDay& day);

// ImportOdds for races 0 .. count - 1, each whatever the others did; the failures in race
// order. The day's odds file is read once for all of them.
std::vector<Status> ImportEveryRaceOdds(RaceDay& day, int count);

} // namespace vornal
