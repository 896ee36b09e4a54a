#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "app/AtomicFile.h"
#include "app/Clock.h"
#include "app/Progress.h"
#include "raceday/MasterIndex.h"
#include "raceday/RaceDay.h"

// The analysis passes a day load runs after reading the store, in this fixed order:
//
//   past-performance pass (raceday, run by the loader itself)
//   ratings       "計算"      CalcBtn
//   payouts       "配当計算"  TanHaiBtn
//   lap           "新ラップ"  NewLapBtn
//   axisCodes     axis codes of the past runs
//   (identification fields, set by the loader)
//   results       "成績結果"  SeiBtn
//   dayPipeline   "読込"      Read2Btn
//
// The passes live in the modules above raceday; the face that loads a day fills this list
// (an empty entry is skipped). Each pass writes only its own fields of the RaceDay.
namespace vornal {

// What a pass may use besides the RaceDay.
struct DayLoadContext
{
    std::filesystem::path appDir;
    std::string dayName;        // CP932 "YYYY年MM月DD日"
    const MasterIndex& masters; // the day's horse, jockey and trainer masters, indexed once
    Progress& progress;
    const Clock& clock;
};

// A pass returns a failure (with its CP932 message) to stop the load.
using DayPass = std::function<IoResult(RaceDay&, const DayLoadContext&)>;

struct DayPasses
{
    DayPass ratings;
    DayPass payouts;
    DayPass lap;
    // Runs over the race slots for which IsRaceSlotUsed holds.
    DayPass axisCodes;
    DayPass results;
    DayPass dayPipeline;
};

} // namespace vornal
