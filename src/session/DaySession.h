#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/AtomicFile.h"
#include "app/Clock.h"
#include "app/Progress.h"
#include "app/TuningTables.h"
#include "raceday/RaceDay.h"
#include "raceday/RaceDayLoader.h"

// One day session: what a face stands on. It owns the application folder, the clock, the
// tuning tables (read once, when a load first needs them) and the race day shown, and
// loads a date with every pass in the fixed order of a day load:
//
//   read the store (races, runners, masters, past runs, payouts, odds, past performance)
//   ratings ("計算"), predicted payouts ("配当計算"), lap analysis ("新ラップ"),
//   axis codes, the identification fields, results ("成績結果"), the day pipeline ("読込")
//
// A load fills a fresh RaceDay and swaps it in only when done, so a face may read the day
// shown on one thread while a load runs on another; the session itself is not shared
// between threads. Progress may be reported from the loading thread.
namespace vornal {

// The passes after the past-performance pass, in the order a load runs them.
enum class DayPassKind {
    Ratings,
    Payouts,
    Lap,
    AxisCodes,
    Results,
    DayPipeline,
};

class DaySession
{
public:
    // `clock` must outlive the session; the system clock when null.
    explicit DaySession(std::filesystem::path appDir, const Clock* clock = nullptr);
    ~DaySession();
    DaySession(const DaySession&) = delete;
    DaySession& operator=(const DaySession&) = delete;

    const std::filesystem::path& AppDir() const { return m_appDir; }
    const Clock& GetClock() const { return *m_clock; }

    // The tuning tables, read on first use; null with `message` set to the start-up message
    // that names the file when they cannot be read.
    const TuningTables* Tables(std::string& message);

    // Loads `dayName` (CP932 "YYYY年MM月DD日") with every pass. The fresh day starts as a
    // copy of the day shown, so values a load keeps (the odds of slots the new day does not
    // use) carry over exactly as in a load in place. The day shown is replaced when the load
    // changed it, whatever its outcome, and kept when the load was refused (a bad date, a
    // missing master) or cancelled. `cancel` is tested between races and between passes.
    LoadResult LoadDay(std::string_view dayName, Progress* progress = nullptr, const CancelFlag* cancel = nullptr);

    // Reruns the day pipeline alone on the day shown (the betting method changed): no
    // reloading, no rerating.
    Status RerunDayPipeline(Progress* progress = nullptr);

    // The day shown, or null before the first load.
    const RaceDay* Day() const { return m_day.get(); }
    // The date of the day shown (CP932), empty before the first load.
    const std::string& DayName() const { return m_dayName; }

    // For tests: called before each pass of a load with the day in hand.
    void SetPassObserver(std::function<void(DayPassKind, const RaceDay&)> observer)
    {
        m_observer = std::move(observer);
    }

private:
    Status RunPass(DayPassKind pass, RaceDay& day, std::string_view dayName, Progress& progress);
    Status RunDayPipeline(RaceDay& day, std::string_view dayName, Progress& progress);

    std::filesystem::path m_appDir;
    const Clock* m_clock;
    std::unique_ptr<TuningTables> m_tables;
    std::unique_ptr<RaceDay> m_day;
    std::string m_dayName;
    std::function<void(DayPassKind, const RaceDay&)> m_observer;
};

} // namespace vornal
