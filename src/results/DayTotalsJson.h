#pragma once

#include "raceday/JsonWriter.h"
#include "results/HitJudgement.h"

namespace vornal {

// The day totals as a JSON object keyed by the bet types "単勝", "複勝", "馬連", "ﾜｲﾄﾞ",
// each {"points", "hits", "staked", "returned", "rate"} with the rate as its text.
void WriteDayTotalsJson(JsonWriter& json, const DayTotals& totals);

} // namespace vornal
