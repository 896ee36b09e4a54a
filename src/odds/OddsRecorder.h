#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Clock.h"
#include "app/Progress.h"
#include "app/Status.h"
#include "raceday/RaceDay.h"
#include "store/JvLink.h"

// The odds recorder: through the link, the real-time odds of every race of a day ("0B30",
// as quick odds fetch one race) every few minutes until each race's post time, each new
// announcement added to the time-series folder in the layout the time-series import reads
// (SnapshotFolder). It runs unattended for hours: a fetch that fails or hangs (a bridge call
// past its deadline) is logged in "ErrorLog.txt" and tried again a minute later, and never
// stops the recording; every snapshot is written as soon as it is read, so a cancel or a
// kill loses none, and a restart adds only announcements the files do not hold yet.
namespace vornal {

// The recorder's time: now, and a wait for a later moment that a cancel cuts short.
class RecordingClock : public Clock
{
public:
    // Returns when `when` has come (true) or the cancel flag is set (false).
    virtual bool WaitUntil(const LocalDateTime& when, const CancelFlag& cancel) = 0;
};

// The machine's clock; a wait sleeps in short steps so that a cancel ends it at once.
class SystemRecordingClock : public RecordingClock
{
public:
    LocalDateTime Now() const override;
    bool WaitUntil(const LocalDateTime& when, const CancelFlag& cancel) override;
};

// A clock that jumps to the end of every wait: a race morning rehearsed in moments (tests,
// and recording a replay feed). `pauseMs` real milliseconds pass at each wait.
class SimulatedClock : public RecordingClock
{
public:
    explicit SimulatedClock(LocalDateTime start, int pauseMs = 0) : m_now(start), m_pauseMs(pauseMs) {}
    LocalDateTime Now() const override { return m_now; }
    bool WaitUntil(const LocalDateTime& when, const CancelFlag& cancel) override;
    // Moves the clock on by `minutes` (a call that hangs, in tests).
    void Advance(int minutes);

private:
    LocalDateTime m_now;
    int m_pauseMs = 0;
};

// One race to record: taken from the day when the recording starts, so that the recording
// does not read the day shown while it runs for hours.
struct RecordedRace
{
    std::string raceKey; // the 16-byte race key of the RA record
    std::string label;   // "東京 9" of the status line (CP932)
    int postMinutes = 0; // post time, minutes since midnight of the race day
};

// The races of `day`'s race list with a race key and a post time, in list order.
std::vector<RecordedRace> RecordingRaces(const RaceDay& day);

struct OddsRecordingOptions
{
    std::filesystem::path seriesFolder;
    std::filesystem::path appDir; // for "ErrorLog.txt"
    int everyMinutes = 10;
    // When the first fetch of the day is due (minutes since midnight), or now.
    std::optional<int> fromMinutes;
    int retryMinutes = 1;
    // Minutes after a race's post time during which a fetch that failed is still retried:
    // the last odds of a race stay on offer until its result.
    int lateMinutes = 30;
};

// Where the recording stands, after every fetch and before every wait.
struct RecordingStatus
{
    int races = 0;
    int racesDone = 0; // races past their post time, recorded to the end
    int snapshots = 0; // snapshots appended by this recording
    int fetches = 0;
    int errors = 0;
    std::optional<LocalDateTime> nextFetch; // none once every race is done
    bool waiting = false;                   // told before a wait for `nextFetch`
};

struct OddsRecordingReport
{
    RecordingStatus status;
    int duplicates = 0;                  // announcements read again that the files already held
    std::vector<std::string> errorLines; // the lines added to "ErrorLog.txt" (CP932)
    bool cancelled = false;
    // Why nothing was recorded (CP932): no time-series folder chosen, a day without races.
    std::string refusal;
};

// How the recorder writes: `write` runs one change of the files (an append, an error-log
// line) and returns its status; the session runs it under the store lock.
using RecordingWrite = std::function<Status(const std::function<Status()>& change)>;

// Records `races` of the day of eight digits `dayDigits` on `clock` until every race is past
// its post time or `cancel` is set. `status` (may be empty) hears of every step.
OddsRecordingReport RecordOdds(JvLink& link, const std::vector<RecordedRace>& races, std::string_view dayDigits,
                               const OddsRecordingOptions& options, RecordingClock& clock, const CancelFlag& cancel,
                               const RecordingWrite& write,
                               const std::function<void(const RecordingStatus&)>& status = {});

// "ｵｯｽﾞ記録 12/24ﾚｰｽ 記録135件 次回10:40" and the like: the status in one line (CP932).
std::string RecordingStatusText(const RecordingStatus& status);

} // namespace vornal
