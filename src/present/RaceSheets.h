#pragma once

#include <vector>

#include "app/TuningTables.h"
#include "betting/BetMethod.h"
#include "present/PrintPage.h"
#include "raceday/RaceDay.h"

// The two sheets of the "ﾌｧｲﾙ(&F)" menu, composed as pages of 0.1 mm units for A4 portrait:
// the race sheets ("ﾚｰｽ別印刷(&P)...") and the all-bets sheet ("全買い目印刷(&K)").
// Both read the day as the last pipeline run left it.
namespace vornal {

// The race slots that get a sheet, in order: the loaded races of the race list. A race line
// the load could not use (a blank year) keeps its slot but has no sheet.
std::vector<int> RaceSheetSlots(const RaceDay& day);

// One page per slot of RaceSheetSlots, in order: the race header, the results, the runner
// table with ratings and ranks, the bets with their predicted payouts, the popularity-share
// statistics and the first five finishers. `method` is the betting method the pipeline ran
// (it names the bets in the header). Caption "Vornal 分析表印刷", pages 1 .. count.
PrintDocument PrintRaceSheets(const RaceDay& day, const TuningTables& tables, BetMethodKind method);

// The width in page units of `cp932` drawn at `points` in the fixed-pitch print font: every
// byte is half the point size wide (a double-byte character takes two halves).
int FixedPitchWidth(std::string_view cp932, int points);

// One page per racecourse of the loaded races (a new page whenever the racecourse changes
// from one loaded race to the next), a twelve-row table with each race's field, bets and
// best finisher. A race numbered above 12 goes to a further page of the same racecourse
// whose rows continue the numbering; a race number below 1 has no row and is left out.
// Caption "買い目一覧　印刷 by Tarvik"; the page range covers every page.
PrintDocument PrintAllBetsSheet(const RaceDay& day);

} // namespace vornal
