#pragma once

#include <string>
#include <vector>

#include "raceday/JsonWriter.h"
#include "season/SeasonReport.h"

// The season report as JSON and as CSV tables. Keys are fixed ASCII words and the bet type
// names "単勝", "複勝", "馬連", "ﾜｲﾄﾞ" with "合計" for all of them; labels are UTF-8. Per
// method: "totals" shaped as the backtest's, "breakdowns" (per breakdown name the rows, each
// with its "key", "totals" and, per bet type with points, the "intervals" of its rate), "curve" (per day the profit and
// the cumulative profit per series), "drawdown", "streak", "interval" (per series) and "calibration" (the predicted
// against paid win and quinella payouts, and the 馬連 hit rates against RankHitTable).
namespace vornal {

void WriteSeasonReportJson(JsonWriter& json, const SeasonReport& report);

// A CSV file of the report: its name and UTF-8 contents (comma-separated, CR LF lines, the
// texts that hold a comma quoted).
struct CsvTable
{
    std::string name;
    std::string text;
};

// "breakdowns.csv" (method, breakdown, key, bet type, points, hits, staked, returned,
// rate), "curve.csv" (method, date, mode, then profit and cumulative profit per series),
// "figures.csv" (method, series, drawdown yen and days, losing days and races, rate,
// interval), "calibration.csv" (bet type, band, count, mean predicted, mean paid, ratio)
// and "hitrates.csv" (method, share class, points, hits, rate, expected rate).
std::vector<CsvTable> SeasonReportCsv(const SeasonReport& report);

// The CSV of one breakdown table of one method, as the window shows it.
std::string BreakdownCsv(const MethodReport& method, const BreakdownTable& table);

// "stored" or "decision".
const char* DecisionModeName(DecisionMode mode);

} // namespace vornal
