#include "odds/OddsRecorder.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <thread>

#include "app/AtomicFile.h"
#include "app/ErrorLog.h"
#include "odds/OddsFile.h"
#include "odds/QuickOdds.h"
#include "odds/SnapshotFolder.h"
#include "results/HitJudgement.h"
#include "store/JvLayout.h"
#include "store/RecordFiling.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"
#include "vocab/CodeNames.h"
#include "vocab/JvResultMessage.h"
#include "vocab/TextHelpers.h"

namespace vornal {
namespace {

constexpr int kMinutesPerDay = 24 * 60;

// Minutes of `time` counted from midnight of the race day (negative the day before).
int MinuteOfDay(const LocalDateTime& time, const LocalDateTime& raceDay)
{
    const long long days =
        DaysSinceEpoch(time.year, time.month, time.day) - DaysSinceEpoch(raceDay.year, raceDay.month, raceDay.day);
    return static_cast<int>(days * kMinutesPerDay) + time.hour * 60 + time.minute;
}

LocalDateTime AtMinute(const LocalDateTime& raceDay, int minute)
{
    const int days = minute >= 0 ? minute / kMinutesPerDay : -((-minute + kMinutesPerDay - 1) / kMinutesPerDay);
    LocalDateTime at = AddDays(LocalDateTime{raceDay.year, raceDay.month, raceDay.day, 0, 0, 0}, days);
    const int rest = minute - days * kMinutesPerDay;
    at.hour = rest / 60;
    at.minute = rest % 60;
    return at;
}

struct RaceState
{
    int nextDue = 0;
    bool done = false;
};

// One fetch of one race: its O1 records of the race as read, or the error line's text.
struct FetchAnswer
{
    std::vector<std::string> snapshots;
    std::vector<std::string> errors; // status texts (CP932)
    bool failed = false;
};

FetchAnswer Fetch(JvLink& link, const RecordedRace& race, const CancelFlag& cancel)
{
    FetchAnswer answer;
    const std::string prefix = race.label + Sjis("R:");
    const int opened = link.JVRTOpen(kRaceOddsSpec, race.raceKey);
    if (opened == kJvOpenNoData) {
        // Nothing on sale yet: no answer, and no fault.
        (void)link.JVClose();
        return answer;
    }
    if (opened != 0) {
        answer.errors.push_back(prefix + Sjis("ｵｯｽﾞ取得エラー：") + JvResultMessage("JVRTOpen", opened));
        answer.failed = true;
        (void)link.JVClose();
        return answer;
    }
    std::string record;
    std::string fileName;
    while (!cancel.IsSet()) {
        const int result = link.JVRead(record, kJvReadBufferSize, fileName);
        if (result > 0) {
            const std::string_view read = std::string_view(record).substr(0, static_cast<std::size_t>(result));
            // Only whole O1 records of this race go into its file: the import reads it by
            // fixed-size lines, and a cancelled (9) or deleted (0) record is no odds.
            if (read.size() != kO1LineBytes + 2 || !read.ends_with("\r\n") || jv::View(read, jv::kRecordKind) != "O1" ||
                jv::View(read, jv::kRaceKey) != race.raceKey) {
                continue;
            }
            const std::string_view division = jv::View(read, jv::kDataDivision);
            if (division == "0" || division == "9" || FindBadNumber(read)) {
                continue;
            }
            answer.snapshots.emplace_back(read.substr(0, kO1LineBytes));
            continue;
        }
        if (result == kJvReadNextFile || result == -2 || result == kJvReadBusy) {
            continue;
        }
        if (result < kJvReadBusy) {
            answer.errors.push_back(prefix + JvResultMessage("JVRead", result));
            answer.failed = true;
        }
        break;
    }
    if (const int closed = link.JVClose(); closed != 0) {
        answer.errors.push_back(prefix + JvResultMessage("JVClose", closed));
    }
    return answer;
}

} // namespace

LocalDateTime SystemRecordingClock::Now() const
{
    return DefaultClock().Now();
}

bool SystemRecordingClock::WaitUntil(const LocalDateTime& when, const CancelFlag& cancel)
{
    while (!cancel.IsSet()) {
        const LocalDateTime now = Now();
        if (MinuteOfDay(now, when) * 60 + now.second >= when.hour * 60 * 60 + when.minute * 60 + when.second) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return false;
}

bool SimulatedClock::WaitUntil(const LocalDateTime& when, const CancelFlag& cancel)
{
    for (int waited = 0; waited < m_pauseMs && !cancel.IsSet(); waited += 10) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (cancel.IsSet()) {
        return false;
    }
    if (MinuteOfDay(m_now, when) < when.hour * 60 + when.minute ||
        (MinuteOfDay(m_now, when) == when.hour * 60 + when.minute && m_now.second < when.second)) {
        m_now = when;
    }
    return true;
}

void SimulatedClock::Advance(int minutes)
{
    m_now = AtMinute(m_now, m_now.hour * 60 + m_now.minute + minutes);
}

std::vector<RecordedRace> RecordingRaces(const RaceDay& day)
{
    std::vector<RecordedRace> races;
    const int count = RaceListCount(day);
    for (int r = 0; r < count; ++r) {
        const std::string_view ra = day.RaceRA[r].View();
        const std::string_view key = jv::View(ra, jv::kRaceKey);
        const std::string_view post = jv::View(ra, jv::ra::kPostTime);
        if (IsBlank(key) || !IsAllDigits(post)) {
            continue;
        }
        const int postMinutes =
            static_cast<int>(jv::Number(ra, jv::ra::kPostTime) / 100 * 60 + jv::Number(ra, jv::ra::kPostTime) % 100);
        if (postMinutes <= 0) {
            continue;
        }
        races.push_back(
            {std::string(key),
             CourseName(jv::View(ra, jv::kCourseCode), CourseForm::Short) + SpaceForZero(jv::View(ra, jv::kRaceNo)),
             postMinutes});
    }
    return races;
}

OddsRecordingReport RecordOdds(JvLink& link, const std::vector<RecordedRace>& races, std::string_view dayDigits,
                               const OddsRecordingOptions& options, RecordingClock& clock, const CancelFlag& cancel,
                               const RecordingWrite& write, const std::function<void(const RecordingStatus&)>& status)
{
    OddsRecordingReport report;
    report.status.races = static_cast<int>(races.size());
    if (!IsValidDateDigits(dayDigits)) {
        return report;
    }
    const LocalDateTime raceDay{static_cast<int>(LeadingNumber(dayDigits.substr(0, 4))),
                                static_cast<int>(LeadingNumber(dayDigits.substr(4, 2))),
                                static_cast<int>(LeadingNumber(dayDigits.substr(6, 2)))};
    const int every = std::max(1, options.everyMinutes);
    const int retry = std::max(1, options.retryMinutes);
    // Temporary files of a recording killed between writing and renaming.
    RemoveStaleTemporaries(options.seriesFolder / std::string(dayDigits), false);

    auto logError = [&](const std::string& text) {
        const std::string line = OddsErrorLine(clock.Now(), text);
        report.errorLines.push_back(line);
        ++report.status.errors;
        (void)write([&] { return AppendErrorLine(options.appDir, line); });
    };
    auto tell = [&] {
        if (status) {
            status(report.status);
        }
    };

    const int start = options.fromMinutes.value_or(MinuteOfDay(clock.Now(), raceDay));
    std::vector<RaceState> states(races.size());
    for (std::size_t i = 0; i < races.size(); ++i) {
        states[i].nextDue = std::min(start, races[i].postMinutes);
    }
    for (;;) {
        const int now = MinuteOfDay(clock.Now(), raceDay);
        // Races whose last chance has gone are done, recorded or not.
        std::optional<int> due;
        report.status.racesDone = 0;
        for (std::size_t i = 0; i < races.size(); ++i) {
            if (!states[i].done && now > races[i].postMinutes + options.lateMinutes) {
                states[i].done = true;
            }
            if (states[i].done) {
                ++report.status.racesDone;
            } else {
                due = std::min(due.value_or(states[i].nextDue), states[i].nextDue);
            }
        }
        if (!due) {
            report.status.nextFetch.reset();
            tell();
            return report;
        }
        report.status.nextFetch = AtMinute(raceDay, std::max(*due, now));
        if (*due > now) {
            report.status.waiting = true;
            tell();
            report.status.waiting = false;
            if (!clock.WaitUntil(AtMinute(raceDay, *due), cancel)) {
                report.cancelled = true;
                return report;
            }
            continue;
        }
        for (std::size_t i = 0; i < races.size(); ++i) {
            if (cancel.IsSet()) {
                report.cancelled = true;
                tell();
                return report;
            }
            const int at = MinuteOfDay(clock.Now(), raceDay);
            RaceState& state = states[i];
            if (state.done || state.nextDue > at) {
                continue;
            }
            FetchAnswer answer = Fetch(link, races[i], cancel);
            ++report.status.fetches;
            for (const std::string& snapshot : answer.snapshots) {
                Result<SnapshotAppendResult> appended;
                const Status written = write([&] {
                    appended = AppendSnapshot(options.seriesFolder, snapshot);
                    return appended.status;
                });
                if (!written) {
                    answer.errors.push_back(races[i].label + Sjis("R:") + written.message);
                    answer.failed = true;
                    continue;
                }
                if (!appended.value.droppedTornLine.empty()) {
                    answer.errors.push_back(races[i].label + Sjis("R:") + Sjis("途中で切れた行を除きました: ") +
                                            PathText(SnapshotFilePath(options.seriesFolder, snapshot)));
                }
                if (appended.value.outcome == SnapshotAppend::Appended) {
                    ++report.status.snapshots;
                } else {
                    ++report.duplicates;
                }
            }
            for (const std::string& error : answer.errors) {
                logError(error);
            }
            // Read the clock again: the fetch may have taken long (a hung call ends at its
            // deadline), and the next fetch follows from when this one ended.
            const int after = MinuteOfDay(clock.Now(), raceDay);
            const int post = races[i].postMinutes;
            if (answer.failed && !cancel.IsSet()) {
                state.nextDue = after + retry;
            } else if (at >= post) {
                // The fetch at the post time was the race's last.
                state.done = true;
            } else {
                int next = state.nextDue;
                while (next <= after) {
                    next += every;
                }
                state.nextDue = std::min(next, post);
                if (state.nextDue <= after) {
                    state.nextDue = post;
                }
            }
            tell();
        }
    }
}

std::string RecordingStatusText(const RecordingStatus& status)
{
    std::string text = Sjis("ｵｯｽﾞ記録 ") + fmt::sprintf("%d/%d", status.racesDone, status.races) +
                       Sjis("ﾚｰｽ終了 記録") + fmt::sprintf("%d", status.snapshots) + Sjis("件");
    if (status.errors > 0) {
        text += Sjis(" エラー") + fmt::sprintf("%d", status.errors) + Sjis("件");
    }
    if (status.nextFetch) {
        text += Sjis(" 次回取得") + fmt::sprintf("%02d:%02d", status.nextFetch->hour, status.nextFetch->minute);
    } else {
        text += Sjis(" 終了");
    }
    return text;
}

} // namespace vornal
