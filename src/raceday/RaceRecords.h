#pragma once

#include <set>
#include <string>
#include <utility>

#include "app/Progress.h"
#include "raceday/FileCache.h"
#include "raceday/LoadWarning.h"
#include "raceday/MasterIndex.h"
#include "raceday/RaceDay.h"

// The reading steps of a day load, between clearing the RaceDay and the analysis passes.
// Each throws RecordReadError when a record it needs cannot be read.
namespace vornal {

struct LoadState
{
    std::string dayName;
    const MasterIndex& masters;
    FileCache& files;
    Progress& progress;
    int autoOddsAdvance; // minutes before post time of the odds snapshot
    const CancelFlag* cancel = nullptr;
    // What the reading steps found wrong without stopping.
    LoadWarnings warnings{};
    // The past-run records (file, index) already warned of.
    std::set<std::pair<const RecordFile*, int>> warnedPastRecords{};
    // The jockey and trainer codes already warned of as missing from their master.
    std::set<std::string> warnedMasterCodes{};

    bool Cancelled() const { return cancel != nullptr && cancel->IsSet(); }
};

// Race records into RaceRA (at most 36), each with its runners, horse masters and history.
// A race whose runner records of the registered count are not all there (a blank record, a
// record of another horse number, no runner file) is marked incomplete with one warning
// naming the file and the first missing record. A numeric field of a race or runner record
// holding stray bytes gives a warning naming the file, the record and the field; so does one
// of a past run taken from a history file.
void ReadRaceRecords(RaceDay& day, const RecordFile& raceFile, LoadState& state);
// Payout records into the RaceHR of their race; stray bytes in a numeric field are warned of.
void ReadPayouts(RaceDay& day, const RecordFile& payoutFile, LoadState& state);
// Record r of the O1 file into RaceO1[r] when it belongs to race slot r; stray bytes in its
// numeric fields are warned of.
void ReadWinOddsRecords(RaceDay& day, const RecordFile& winOddsFile, LoadState& state);
// O2 records into the RaceO2 of their race.
void ReadQuinellaOddsRecords(RaceDay& day, const RecordFile& quinellaOddsFile);
// Per race slot: odds time, past-race records and odds of every runner slot.
void ReadOddsAndPastRaces(RaceDay& day, LoadState& state);
// The identification fields of a used race slot and its 18 runner slots.
void FillIdentification(RaceDay& day, int race);

// The waiting-window line of a race: short racecourse name, race number, "Ｒ処理中".
std::string RaceProgressText(std::string_view raRecord);

} // namespace vornal
