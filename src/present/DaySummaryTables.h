#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "present/CellGrid.h"
#include "present/FieldFormat.h"
#include "raceday/RaceDay.h"

// The four day-summary tables: one row per race (row = race slot + 1), built after every
// run of the day pipeline from the values the passes stored. They share columns 0..6 (the
// race) and differ in what follows:
//   "メイン用"       the winner's and runner-up's ratings, payouts and predictions
//   "ﾗｯﾌﾟﾀｲﾑ"        the race's lap statistics and the two finishers' base times and lap figures
//   "ラップ検証表"   lap spreads and the first three finishers' lap figures, the payouts
//   "買い目候補"     the five best runners by final goal margin (developer view)
// Every table has 1 + (loaded race slots) rows; a slot whose race record has no 開催年 keeps
// an empty row. Columns about a finishing position are written only when a runner with that
// 確定着順 exists.
namespace vornal {

// Column 0 of a summary row: the first two characters of the racecourse name, meeting
// number, "回", day number, "日", "%2d" race number and "R" ("東京3回5日11R").
std::string VenueRaceText(const RaceSlot& race);

CellGrid BuildMainTable(const RaceDay& day);         // "メイン用", 47 columns
CellGrid BuildLapTimeTable(const RaceDay& day);      // "ﾗｯﾌﾟﾀｲﾑ", 56 columns
CellGrid BuildLapCheckTable(const RaceDay& day);     // "ラップ検証表", 63 columns
CellGrid BuildBetCandidateTable(const RaceDay& day); // "買い目候補", 22 columns

// The column descriptions of the day table `table` ("main", "laptime", "lapcheck",
// "candidates"), in the order of its columns, a block the table repeats per placed runner
// once; empty for any other name. The CLI's reference page lists them.
std::vector<FieldFormat> DayTableFields(std::string_view table);

} // namespace vornal
