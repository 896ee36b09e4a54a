#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "season/Calibration.h"
#include "season/SeasonReport.h"
#include "season/SeasonRun.h"

// Measuring the tuning tables again on a range of stored days, with an honest test: the
// tables are counted on the first two thirds of the days (by date) and judged on the last
// third, which they never saw, against the tables in use.
//
// The counting takes two runs over the training days: the first, with the tables in use,
// gives the rotation and rank-rate tables; the second, with those, gives RankHitTable,
// whose share classes and quinella ranks come from the predicted payouts the new rank rates
// make. The held-out days are then run once with the tables in use and once with the new
// ones, each run judged against what it observed and put through the season report.
namespace vornal {

struct CalibrationRunOptions
{
    std::optional<std::string> from; // CP932 day names, inclusive
    std::optional<std::string> to;
    std::vector<SeasonMethod> methods; // the betting methods of the season reports
    double prior = kDefaultPriorWeight;
    int threads = 0;
    Progress* progress = nullptr;
    const CancelFlag* cancel = nullptr;
};

// The held-out days under one set of tables.
struct CalibrationTrial
{
    CalibrationCounts observed;
    std::vector<CalibrationGap> gaps;
    SeasonReport report;
};

struct CalibrationResult
{
    Status status;
    std::vector<std::string> trainingDays; // oldest first
    std::vector<std::string> heldOutDays;
    std::vector<std::string> failedDays;   // days of either part that did not load
    double prior = kDefaultPriorWeight;
    CalibrationCounts training;            // the counts behind the new tables
    TuningTables current;                  // the tables in use
    TuningTables calibrated;
    RankRateCounts rankCounts{};           // behind the new rank rates
    CalibrationTrial before;               // held-out days with the tables in use
    CalibrationTrial after;                // ... and with the new ones
};

// Fails without two stored days in the range, when the tables in use cannot be read, or when
// cancelled.
CalibrationResult RunCalibration(const std::filesystem::path& appDir, const CalibrationRunOptions& options);

// Writes "RT.dat", "senuj.dat" and "RankRate.dat" of the new tables into `folder` (made when
// missing). Refuses the application folder itself: the files in use are replaced only by
// InstallCalibratedTables.
Status WriteCalibratedTables(const std::filesystem::path& appDir, const std::filesystem::path& folder,
                             const CalibrationResult& result);

// Replaces the tuning files of the application folder by the new ones, keeping each old
// file as "<name>.old"; an existing "<name>.old" (the file first replaced, the one shipped)
// is never overwritten. "RankRate.dat", when there was none, needs no copy: deleting it
// restores the built-in rank rates. The tables are read at start-up, so the new ones are
// used from the next start.
Status InstallCalibratedTables(const std::filesystem::path& appDir, const CalibrationResult& result);

} // namespace vornal
