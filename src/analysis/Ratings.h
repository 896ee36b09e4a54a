#pragma once

#include <filesystem>
#include <string>

#include "analysis/MasterRates.h"
#include "app/Status.h"
#include "app/Settings.h"
#include "app/TuningTables.h"
#include "app/UserSettings.h"
#include "raceday/MasterIndex.h"
#include "raceday/RaceDay.h"

// The rating pass ("計算", CalcBtn): for every runner of every race of the loaded day, a
// predicted finishing margin against the best runner of the race (the goal margin), a
// rotation score from the last five finishes, a class value from the prize money, the
// achievement probability "実績確率" and nine rankings.
//
// It reads the raw records of the RaceDay (RaceRA, RunnerSE, RunnerUM, PastSE), the
// past-run keys and base times of the past-performance pass, the day's jockey and trainer
// master files, the "User" settings and the tuning tables, and writes the rating fields of
// the runners (TotalPrize .. RankOverallMin, the working values PastFinish, PastMargin and
// PastWeight of the past runs) and nothing else, except that a latest-run PastBaseTime or
// a BestBaseTime above 999 is reset to 0 before the base-time rankings.
namespace vornal {

class Progress;

struct RatingInputs
{
    const TuningTables& tables;
    // The settings file; its section "User" is read afresh for every calculation.
    const Settings& settings;
    // The day's jockey and trainer master files (DayName + ".jvKS" / ".jvCH" in Data).
    std::filesystem::path jockeyMasterFile;
    std::filesystem::path trainerMasterFile;
    // The same files as the load already read them; when given, the pass rates from these
    // bytes instead of reading the files a second time (the paths still name them).
    const MasterIndex* masters = nullptr;
};

// The outcome of the pass: `ok` false and a CP932 message when the pass stopped. Races
// rated before the failure keep their new values.

// Rates race slots 0..RaceCount-1 in slot order. A race is rated only when the horse
// number of its runner slot 0 reads as 1; other races keep their fields. The master files
// are read once, when the first race is rated.
//
// Stops with a message for a missing or unreadable master file, a master record that does
// not end in CR LF or a master file ending in a cut record (naming the file and record), a
// "User" setting that is not a number or a list item the race needs that the list lacks,
// and a past finishing position that is not a number.
Status CalculateRatings(RaceDay& day, const RatingInputs& inputs, Progress* progress = nullptr);

// Rates one race slot with the settings and master rates given (the body of
// CalculateRatings for one race). A race whose slot 0 does not hold horse 1 is left as it
// is and counts as success.
Status RateRace(RaceDay& day, int race, const TuningTables& tables, const UserSettings& settings,
                       const MasterRates& jockeys, const MasterRates& trainers, Progress* progress = nullptr);

// True when the race slot is rated: the horse number of runner slot 0 reads as exactly 1.
bool IsRatedRace(const RaceDay& day, int race);

// Progress texts of the waiting window: the race caption year "/" month "/" day " "
// racecourse short name " " race number "R" of a race record, and the circled horse
// number followed by the horse name of a runner record.
std::string RatingRaceCaption(std::string_view raceRecord);
std::string RatingRunnerCaption(int slot, std::string_view runnerRecord);

// The rotation payout of a rotation share in percent: the win payout, per 100 yen, of a
// runner whose rotation share is its chance, priced down to 100 at most; shares below 5.1
// are priced as 5.1.
double RotationPayoutOf(double rotationShare);

// The margin in seconds implied by a class value.
double ClassMarginOf(double classValue);

// FinalGoalMargin of a runner whose RotationShare x RTSW is 0 (the division has no value):
// a figure larger than any real margin, so the runner ranks last by it.
inline constexpr double kNoFinalGoalMargin = 10000.0;

} // namespace vornal
