#pragma once

#include "raceday/RaceDay.h"

// Results loading, the "成績結果" step of a day load: the confirmed results of every race
// copied into the race day, per runner from its entry record and per race from its payout
// record.
namespace vornal {

// For every race slot whose race record has a year (RA position 12):
//   - per runner slot below RunnerCount, from its SE record: FinishPos (確定着順, position
//     335), WinPopularity (単勝人気順, 364) and FinalWinOdds (単勝オッズ, 360, tenths);
//     a blank or all-zero field ("00", "0000") leaves the value as it was;
//   - from the HR record, every entry of WinResult, PlaceResult, BracketResult,
//     QuinellaResult and WideResult in the record's order. Numbers are the leading digits
//     after blanks (a blank field gives 0); pair keys are the five-character combination
//     text " 3- 6", so an empty entry becomes " 0- 0", which matches no bet.
// A race without results has blank records and keeps every result at 0. Never fails.
void LoadResults(RaceDay& day);

} // namespace vornal
