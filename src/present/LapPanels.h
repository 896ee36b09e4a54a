#pragma once

#include <array>
#include <string>

#include "raceday/RaceDay.h"

// The lap statistics of a race as its two panels show them: one row each for the winners'
// base figures ("勝ちタイム："), the first-part pace ("前半ｽﾋﾟｰﾄﾞ：") and the last three
// furlongs ("後半ｽﾋﾟｰﾄﾞ："). The first panel shows count, mean and standard deviation, the
// second count, mean and the two spreads of the lap analysis.
namespace vornal {

struct LapPanelRow
{
    std::string Caption;     // "勝ちタイム：" ... (CP932)
    std::string SampleCount; // "%2d"
    std::string Mean;        // "%6.2f"
    std::string StdDev;      // "%6.2f"
    std::string SpreadPlus;  // "%6.2f" of LapSpreadPlus
    std::string SpreadMinus; // "%6.2f" of LapSpreadMinus
};

// Rows in panel order: winners' base figures, first-part pace, last three furlongs.
std::array<LapPanelRow, 3> LapPanelRows(const RaceSlot& race);

} // namespace vornal
