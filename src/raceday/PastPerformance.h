#pragma once

#include <functional>
#include <string_view>

#include "raceday/FileCache.h"
#include "raceday/RaceDay.h"

// The five most recent earlier runs of every runner and the speed figures drawn from them:
// base times, distance-adjusted last 600 m, paces, the winner's figures, running style,
// race means and spreads, grades and the gap ranking.
namespace vornal {

// Surface class of a track code: 0 none, 1 turf, 2 dirt, 3 other, 5 obstacle. Codes 25..29
// count as class 3 for today's race but as dirt (2) for a past race.
int TodaySurfaceClass(std::string_view trackCode);
int PastSurfaceClass(std::string_view trackCode);

// True for a run at a JRA racecourse: SE racecourse code "01".."10".
bool IsJraRun(std::string_view seRecord);
// The same for a loaded past run, by characters 9-10 of its PastRunKey.
bool IsJraRun(const PastRun& run);

// Told of every record a past-run reader takes into the day, with its file and 0-based index.
using TakenRecord = std::function<void(const RecordFile& file, int index, std::string_view record)>;

// Fills PastSE[race][runner][0..4] from the runner's history file SEI/<NNNN>/<HorseId>.jvSEI,
// walking it from the last record back: records dated before `raceDate` (yyyymmdd, both
// positive) are taken, newest first, at most five; later ones are skipped, so reloading an
// old date never sees later runs. No file (or a horse id that is not 10 digits) leaves
// the runs blank. Throws RecordReadError for a history file that ends in a cut record.
void ReadHistory(RaceDay& day, int race, int runner, long long raceDate, FileCache& files,
                 const TakenRecord& taken = {});

// Fills PastRA[race][runner][k] of every past run with the first record of its past-race
// file SEIR/<YYYY>/<YYYYMMDD><JJ>.jvSERA whose race number equals the run's. A run whose
// date or racecourse cannot name a file, or whose file is missing, keeps a blank record.
void ReadPastRaces(RaceDay& day, int race, int runner, FileCache& files, const TakenRecord& taken = {});

// The past-performance figures of one race slot, from its raw records: past-run fields,
// base times, paces, corner statistics, race means and spreads, gaps, grades, the gap
// ranking and the last-600 m offsets of every runner below the registered count.
void PastPerformancePass(RaceDay& day, int race);

} // namespace vornal
