#pragma once

#include <string>
#include <vector>

#include "raceday/JsonWriter.h"
#include "season/CalibrationRun.h"

// What a calibration shows: the split, each table's gap to the rates observed on the
// held-out days with the tables in use and with the new ones, and the season report's
// figures of both runs. The command line prints it; the window shows it beside the tables.
namespace vornal {

// The season report figures of one run that a calibration compares: per method the 馬連
// hit rate observed against the rate RankHitTable expected of the points bought, the return
// rate of each bet type, and over all races paid / predicted for 単勝 and 馬連.
struct CalibrationFigures
{
    struct Method
    {
        std::string name;
        int quinellaPoints = 0;
        double quinellaHitRate = 0.0;      // percent
        double quinellaExpectedRate = 0.0; // percent
        std::array<double, kBetTypes.size()> returnRate{};
        std::array<int, kBetTypes.size()> points{};
    };
    std::vector<Method> methods;
    int winRaces = 0;
    double winPaidOverPredicted = 0.0;
    int quinellaRaces = 0;
    double quinellaPaidOverPredicted = 0.0;
};
CalibrationFigures FiguresOf(const SeasonReport& report);

// Tab-separated lines, CP932.
std::vector<std::string> CalibrationTextLines(const CalibrationResult& result);

void WriteCalibrationJson(JsonWriter& json, const CalibrationResult& result);

} // namespace vornal
