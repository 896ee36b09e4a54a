#pragma once

#include <string_view>
#include <vector>

#include "present/CellGrid.h"
#include "present/FieldFormat.h"
#include "raceday/RaceDay.h"

// The tables of the race analysis view for one race, in horse-number order as built (the view
// then presses each table's "馬番" toggle). Data cells that receive no value keep the
// full-width blank "　", so in ascending order rows without a rank sort last.
namespace vornal {

// The past-run table ("ランキング" tab), 40 columns: column 0 the row number (written by the
// sorts), then one row per present past run of every runner from the oldest to the latest,
// or one row of the runner's own figures when it has none. The base-time, best-time, 大局 and
// the ability and R-index rank columns start empty instead of "　". Rows at the bottom whose
// horse number is blank are dropped; one data row always stays.
CellGrid BuildPastRunTable(const RaceSlot& race);

// The lap card ("ﾗｯﾌﾟ出馬表" tab), 21 columns: running style, lap figures, ability and
// stamina with their ranks, axis code and lap mark, ability deviation, finishing position.
CellGrid BuildLapCard(const RaceSlot& race);

// The ranking table ("ﾗﾝｷﾝｸﾞ表" tab), 36 columns: every rating as a value and its rank.
CellGrid BuildRankingTable(const RaceSlot& race);

// The key cells of the race card ("出馬表" tab), 15 columns: bracket, horse number and the
// rank numbers "%2d" that the card's drawing turns into marks and that its toggles sort by
// (a finishing position below 1 reads "99"). Columns 13 and 14 (win and B ranks) have zero
// width: hidden sort keys.
CellGrid BuildRaceCardKeys(const RaceSlot& race);

// The key cells of the detail grid ("個別詳細検討用" tab), 9 columns: only column 1 holds a
// text (the horse number); the rest of the grid is drawn from the race day.
CellGrid BuildDetailGridKeys(const RaceSlot& race);

// The column descriptions of the race table `table` ("pastruns", "lapcard", "ranking",
// "card", "detail"), in the order of its columns; empty for any other name. The CLI's
// reference page lists them.
std::vector<FieldFormat> RaceTableFields(std::string_view table);

} // namespace vornal
