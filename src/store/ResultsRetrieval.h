#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/AtomicFile.h"
#include "app/Progress.h"
#include "store/JvLink.h"

// Results retrieval, the engine of the "結果情報" button: fetches the day's race, runner and
// payout records in real time ("0B12" with the day's date) and stores them by the results
// rules (RecordFiling.h), so results and payouts appear without a full acquisition. The
// caller then reloads the day and shows the selected race again.
//
// JV-Link errors are not reported: an open error closes the component, a read error ends
// the loop, and what was stored stays. The read loop also ends when the acquisition's
// cancel flag is set (it stays set after a cancelled acquisition until the next one starts).
namespace vornal {

enum class RetrievalOutcome {
    NotRun,      // no day loaded or no race selected
    OpenFailed,  // JVRTOpen answered an error or no data
    Stopped,     // a read error or the cancel flag ended the loop
    StoreFailed, // a store file could not be read or written
    Completed,
};

struct RetrievalReport
{
    RetrievalOutcome outcome = RetrievalOutcome::NotRun;
    int openResult = 0;
    int readResult = 0; // the JVRead result that ended the loop
    int recordsRead = 0;
    int recordsForeign = 0; // records without the frame of JV-Data (see IsJvDataRecord)
    std::vector<std::string> skipped; // "スキップ:..." lines of records that could not be stored
    Status io;
};

// Runs the retrieval for the day of `raceSlot0` (the RA line of race slot 0 of the loaded
// day; its bytes 12..19 are the key). Does nothing when `raceSlot0` is blank (no day loaded)
// or `raceSelected` is false. `beep` sounds for every JVClose that answers 0.
RetrievalReport RetrieveResults(JvLink& link, const std::filesystem::path& appDir, std::string_view raceSlot0,
                                bool raceSelected, const CancelFlag& cancel, Progress& progress,
                                const std::function<void()>& beep);

// The same for the day of eight date digits, without the checks of a loaded day.
RetrievalReport RetrieveResultsForDay(JvLink& link, const std::filesystem::path& appDir, std::string_view dayDigits,
                                      const CancelFlag& cancel, Progress& progress, const std::function<void()>& beep);

} // namespace vornal
