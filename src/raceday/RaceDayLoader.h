#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/AtomicFile.h"
#include "app/Clock.h"
#include "app/Progress.h"
#include "raceday/LoadWarning.h"
#include "raceday/MasterIndex.h"
#include "raceday/RaceDay.h"

// Reading one race date from the day store into the RaceDay: races, runners, horse
// masters, past runs, payouts and odds, and the past-performance pass. The analysis passes
// that follow, in their fixed order, are the day session's.
namespace vornal {

enum class LoadOutcome {
    Loaded,
    BadDate,         // the text is not a race date
    NoAppFolder,     // the application folder or its data folder is not there
    UnknownDay,      // the store holds nothing of the date
    MissingMaster,   // no jockey or trainer master file: nothing loaded, the old day stays
    MissingRaceFile, // no race file: the day is cleared, the race list stays empty
    ReadFailed,      // a store file could not be read or written; the day is cleared
    PassFailed,      // an analysis pass stopped the load with its message
    Cancelled,       // the cancel flag was set; what was read is to be thrown away
};

struct LoadResult
{
    LoadOutcome outcome = LoadOutcome::Loaded;
    // The message for the user (CP932), empty when the day loaded.
    std::string message;
    // The default beep goes with the message (missing race file).
    bool beep = false;
    // What the load found wrong without stopping, in the order it was found; empty for a
    // sound day.
    LoadWarnings warnings;

    bool Ok() const { return outcome == LoadOutcome::Loaded; }
};

struct LoadOptions
{
    std::filesystem::path appDir;
    const Clock* clock = nullptr; // the system clock when null
    Progress* progress = nullptr; // the waiting window; nothing shown when null
    // Tested between races; a set flag ends the read with LoadOutcome::Cancelled.
    const CancelFlag* cancel = nullptr;
    // Builds the .jvUM2 file of the date from its .jvUMA file when the former is missing;
    // the store's ConvertHorseMaster when empty.
    std::function<Status(const std::filesystem::path& appDir, std::string_view dayName)> convertHorseMaster;
    // Runs the one write of a load (the blank odds file) under the store's one-writer lock;
    // false, having written nothing, when the lock was refused. Written directly when empty.
    std::function<bool(const std::function<void()>& write)> guardWrite;
    // The day is already as ClearRaceDay and BlankRaceDayRecords leave it (ClearedRaceDay):
    // the load does not clear it again.
    bool dayCleared = false;
};

// Reads the date `dayName` (CP932 "YYYY年MM月DD日") into `day`, up to and including the
// past-performance pass. Missing jockey or trainer masters refuse the load with the user's
// message (which depends on how many days ahead the date lies) and leave `day` as it was; a
// missing race file clears the day. A record that cannot be read stops the load with a
// message naming the file and record, and leaves the day cleared.
// The day's masters, read and indexed once, go to `masters` when given, for the passes
// that follow.
LoadResult ReadRaceDay(RaceDay& day, std::string_view dayName, const LoadOptions& options,
                       std::optional<MasterIndex>* masters = nullptr);

// Whole days from `now` to midnight of the date, truncated toward zero: the same date is 0,
// yesterday -1, tomorrow 0 (less than a day ahead).
int DaysAhead(int year, int month, int dayOfMonth, const LocalDateTime& now);

// True for a race slot whose race record has a year and a racecourse code other than "00".
bool IsRaceSlotUsed(std::string_view raRecord);

// The odds time of a race: `postTime` ("hhmm") moved `advanceMinutes` earlier; empty when
// the post time is no minute above midnight or the setting is not above 0 (1540, 30 ->
// "1510"; 1005, 10 -> "0955").
std::string AutoOddsTimeOf(std::string_view postTime, int advanceMinutes);

// An odds text in tenths as odds: -1 for "----" or "****", -2 for a blank text, else the
// number / 10 ("0123" -> 12.3).
double OddsValue(std::string_view text);

} // namespace vornal
