#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/Clock.h"
#include "app/Progress.h"
#include "app/Status.h"
#include "raceday/RaceDay.h"
#include "store/JvLink.h"

// Quick odds ("速報ｵｯｽﾞ", "全ﾚｰｽ速報ｵｯｽﾞ取得(&O)"): the current win, place and bracket
// quinella odds of a race, read in real time ("0B30" with the race key) and written into
// the day's ".jvO1" file, then imported into the race day.
//
// Progress and errors go to the status line of the main window, which is caption line 0
// of the Progress; every error also becomes a line of "ErrorLog.txt":
// "【エラー】hh:nn:ss：" + the status line. Errors never stop a fetch of all races.
namespace vornal {

// What a fetch needs besides the day.
struct OddsFetchContext
{
    JvLink& link;
    std::filesystem::path appDir;
    const Clock& clock;
    Progress& progress;
    // The acquisition's shared cancel flag: it ends the read loop of each race.
    const CancelFlag& cancel;
    // The default beep of an error; nothing when empty.
    std::function<void()> beep;
};

struct OddsFetchReport
{
    int racesOpened = 0;    // races whose JVRTOpen answered 0
    int recordsRead = 0;    // records handed out by JVRead
    int recordsStored = 0;  // O1 lines replaced in the day's ".jvO1" file
    std::vector<std::string> errorLines; // the lines added to the error log (CP932)
    // A store file that could not be read or written, or the error log that could not be
    // written; the fetch stopped at a store failure, what was saved stays.
    std::vector<std::string> failures;
    bool storeFailed = false; // a ".jvO1" file could not be read or written


    int ErrorCount() const { return static_cast<int>(errorLines.size() + failures.size()); }
};

// The error-log line of a status text: "【エラー】hh:nn:ss" + "：" + `statusText`.
std::string OddsErrorLine(const LocalDateTime& now, const std::string& statusText);

// The read loop of an open real-time read: stores every O1 record (division neither "0"
// nor "9", race number above 0) of a race of `day` in line i of the ".jvO1" file of its
// slot i, when the stored line's announcement time is older than the record's. Records of
// races not in the day, other kinds and records that are not whole are dropped. A file that
// does not exist stays missing. Ends at the end of the data, a read error (reported) or
// the cancel flag.
void StoreOddsRecords(const RaceDay& day, OddsFetchContext& context, OddsFetchReport& report);

// Closes the read; an error is reported.
void CloseOdds(OddsFetchContext& context, OddsFetchReport& report);

// Fetches race slot `race` and imports its odds. Does nothing when the slot has no race key.
OddsFetchReport FetchRaceOdds(RaceDay& day, int race, OddsFetchContext& context);

// Fetches every race of the race list in order (a slot without a race key ends the loop),
// then imports the odds of every race of the list. A ".jvO1" file that cannot be read or
// written ends the fetching; the races fetched before are still imported.
OddsFetchReport FetchAllOdds(RaceDay& day, OddsFetchContext& context);

} // namespace vornal
