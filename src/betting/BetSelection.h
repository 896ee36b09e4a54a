#pragma once

#include <string>

#include "betting/BetMethod.h"
#include "raceday/RaceDay.h"

// Betting combinations ("買い目", kaimeBtn): for every race of the day up to three quinella
// combinations (BetCombos[1..3]), judged later as 馬連 and ワイド, and one runner
// (BetRunner), judged as 単勝 and 複勝.
//
// Each pair rule of a method names a rating and two ranks; the runners holding them form a
// candidate, written as its predicted quinella payout "%10.1f" followed by the combination
// text (" 3- 7"). The race's candidates are kept once each in text order, which is the
// cheapest payout first and equal payouts by combination text, and the first three become
// the bets. A single rule names the runner of one rank. The built-in rules look for a rank
// among the runner slots below RunnerCount, the user rules among all 18 slots; either way
// the lowest slot holding the rank is taken.
//
// Reads the race record's year (RA 12, 4 bytes), RunnerCount, DistanceText, TrackCode, the
// youngest-age condition code ConditionCodes[4], the runners' rating, payout and lap ranks,
// PredictedQuinellaPayout and PredictedWinPayout; writes BetCombos, BetRunner and the
// day's BetKindSuffix, nothing else.
namespace vornal {

struct BetSelectionResult
{
    // The information message of the day (CP932), empty when there is none: the user method
    // without a set says NoUserSetMessage() and bets no race.
    std::string message;
};

// Runs `method` over race slots 0..35. Slots whose race record has a blank year are left
// untouched; every other slot first loses its bets (BetCombos[1..10], BetRunner), as the
// day pipeline clears them, so a second run shows the second method's bets alone.
// BetKindSuffix becomes BetKindSuffixOf(method). Never fails.
//
// No.1, No.2 and the user method bet no steeplechase (TrackCode "5x") and no race whose
// youngest-age condition is "701" (新馬) or "702" (未出走); TrackCode 10..22 is turf.
// The developer methods run SelectDeveloperBets.
BetSelectionResult SelectBets(RaceDay& day, const BetMethod& method);

// The developer methods ("開発用買い目", kaihatuKaimeBtn): `method` must be one of
// Developer1..3 (any other kind runs Developer1). 買い目１ bets fields of 13..16 runners of
// up to 1600 m or from 1700 m, takes only candidates paying more than 1500 as printed
// "%10.1f", treats TrackCode 10 (straight turf) as dirt, and bets the runner with the
// highest predicted win payout among its single candidates when that is 1000 or more.
// 買い目2 and 買い目3 bet nothing. Clears and sets as SelectBets does.
void SelectDeveloperBets(RaceDay& day, BetMethodKind method);

} // namespace vornal
