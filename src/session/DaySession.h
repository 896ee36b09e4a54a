#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/AtomicFile.h"
#include "app/Clock.h"
#include "app/Progress.h"
#include "app/StoreLock.h"
#include "app/TuningTables.h"
#include "betting/BetMethod.h"
#include "betting/UserSetFile.h"
#include "odds/OddsRecorder.h"
#include "odds/QuickOdds.h"
#include "odds/TimeSeriesOdds.h"
#include "raceday/RaceDay.h"
#include "raceday/RaceDayLoader.h"
#include "results/HitJudgement.h"
#include "store/Acquisition.h"
#include "store/ResultsRetrieval.h"

// One day session: what a face stands on. It owns the application folder, the clock, the
// tuning tables (read once, when a load first needs them) and the race day shown, and
// loads a date with every pass in the fixed order of a day load:
//
//   read the store (races, runners, masters, past runs, payouts, odds, past performance)
//   ratings ("計算"), predicted payouts ("配当計算"), lap analysis ("新ラップ"),
//   axis codes, the identification fields, results ("成績結果"), the day pipeline ("読込")
//
// A load fills a fresh RaceDay and only then replaces the day shown, in two steps: PrepareDay
// does all the work and may run on a worker thread while the face reads the day shown;
// AdoptDay, on the face's thread, swaps the result in. LoadDay does both. Apart from
// PrepareDay running beside readers of Day(), the session belongs to one thread. Progress
// is reported from the thread that prepares.
//
// The session owns every write of the application folder: each writing operation takes the
// store's one-writer lock itself (StoreLock), so neither face holds or forgets it. Every
// replacement of the day shown goes through one swap that tells the holders registered with
// OnDayReplaced, so no view keeps a pointer to a day that is gone.
namespace vornal {

// How a writing operation of the session meets another writer of the folder.
enum class StoreWait {
    Wait,   // wait for it to finish, saying so once through the waiting callback
    Refuse, // give up at once with StoreBusyMessage()
};

// The passes after the past-performance pass, in the order a load runs them.
enum class DayPassKind {
    Ratings,
    Payouts,
    Lap,
    AxisCodes,
    Results,
    DayPipeline,
};

// What the last run of the day pipeline left besides the day: the day totals of the judged
// bets and its messages (CP932) for the user, in the order they arose: the missing user set,
// lines of "UserSet.usd" that were skipped, a hit-judgement file that could not be written.
struct PipelineOutcome
{
    DayTotals totals;
    std::vector<std::string> messages;
    // A hit-judgement file asked for could not be written (its message is among `messages`).
    bool hitFilesFailed = false;
};

// Quick odds fetched into a copy of the day shown, to be adopted.
struct PreparedOdds
{
    OddsFetchReport report;
    std::unique_ptr<RaceDay> day; // null when nothing was fetched (no day, no race list)
};

// The time-series import run on a copy of the day shown, to be adopted.
struct PreparedSeriesOdds
{
    TimeSeriesReport report;
    std::unique_ptr<RaceDay> day; // null when the import was refused
};

// Whether a load that ended with `outcome` replaces the day shown. A loaded day does; so
// does a load that failed after the day was cleared (a missing race file, a store file that
// cannot be read, a failed pass): the chosen date is then shown empty, with no races, so
// neither a half-built day nor the previous date's races stand under its name. A refused or
// cancelled load leaves the day shown as it was.
bool LoadReplacesDay(LoadOutcome outcome);

// A prepared load, to be adopted.
struct PreparedDay
{
    LoadResult result;
    std::unique_ptr<RaceDay> day; // null when the day shown stays (refused or cancelled)
    std::string dayName;
    PipelineOutcome pipeline;
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

    // The tuning tables, read on first use (by whichever thread first needs them); null with
    // `message` set to the start-up message that names the file when they cannot be read.
    const TuningTables* Tables(std::string& message);
    // Judges with `tables` instead of the files of the application folder (a comparison of
    // tables measured again against the shipped ones). Takes effect from the next load.
    void UseTables(const TuningTables& tables);

    // Loads `dayName` (CP932 "YYYY年MM月DD日") with every pass: AdoptDay(PrepareDay(...)).
    LoadResult LoadDay(std::string_view dayName, Progress* progress = nullptr, const CancelFlag* cancel = nullptr);

    // The load without its last step. The fresh day takes from the day shown what a load in
    // place keeps (the odds of slots the new day does not use, the bets), so they carry over
    // exactly as in a load in place. It carries a day when LoadReplacesDay says the outcome
    // replaces the day shown (the date's empty day when the load failed), and none otherwise.
    // `cancel` is tested between races and between passes. Reads the day shown, never
    // writes it.
    PreparedDay PrepareDay(std::string_view dayName, Progress* progress = nullptr,
                           const CancelFlag* cancel = nullptr) const;
    // Shows the prepared day (when it carries one) and returns its outcome. Both faces adopt
    // every prepared load, failed or not, so they show the same after a failure.
    LoadResult AdoptDay(PreparedDay prepared);

    // Reruns the day pipeline alone on the day shown (the betting method changed): no
    // reloading, no rerating, in place. PreparePipelineRerun runs it on a copy of the day
    // shown instead (a worker may, while the face reads the day shown); AdoptDay shows the
    // copy. A rerun there that fails carries no day: the day shown stays as it was.
    Status RerunDayPipeline(Progress* progress = nullptr);
    PreparedDay PreparePipelineRerun() const;

    // How writing operations meet another writer of the folder (Wait, silently, until set).
    // `waiting` is called once with StoreBusyMessage() before a wait. A wait ends early,
    // refused, when the operation's cancel flag is set.
    void SetStoreWait(StoreWait wait, std::function<void(const std::string&)> waiting = {});

    // Bulk acquisition ("JVデータ取得") start to end on the calling thread, a worker's or the
    // CLI's, holding the store lock: Start, then the status timer's poll every 10 ms while
    // the download runs. The run's cancel flag may be set by any thread: a download then
    // stops as after the cancel button, a read before its next record. Returns how the run
    // ended, or the lock's failure (nothing ran) when another writer holds the folder.
    Result<AcquisitionOutcome> Acquire(Acquisition& acquisition);

    // The start-up renames of store file names written by an earlier version (see
    // MigrateStoreFileNames), each line also appended to "ErrorLog.txt". Nothing happens
    // while another writer holds the folder: the renames wait for a later start.
    std::vector<std::string> MigrateFileNames();

    // "設定登録(R)" and "設定削除" of the user rule sets (SaveUserSet, DeleteUserSet) under
    // the store lock: `sets` is read again from the file first, so a set another writer
    // saved since `sets` was read is kept. Delete finds the line that `line` of `sets`
    // held before, by its text. Failed, with the lock's message, when the lock is refused.
    UserSetResult SaveUserSet(UserSetFile& sets, const UserRuleSet& set, const UserSetQuestion& confirmOverwrite);
    UserSetResult DeleteUserSet(UserSetFile& sets, int line, const UserSetQuestion& confirmDelete);

    // Results retrieval ("結果情報"): the day's race, runner and payout records in real time
    // into the store, for the day shown (nothing when no day is shown or `raceSelected` is
    // false), or for the day of eight digits `dayDigits`. Only reads the session, so a
    // worker may run it; the face then reloads the day (PrepareDay) and shows the race.
    // Holds the store lock; StoreFailed with the lock's message when it is refused.
    RetrievalReport RetrieveResults(JvLink& link, const CancelFlag& cancel, bool raceSelected,
                                    std::string_view dayDigits = {}, std::function<void()> beep = {}) const;

    // Quick odds on the day shown: race slot `race` ("速報ｵｯｽﾞ", the race selected), or every
    // race of the race list ("全ﾚｰｽ速報ｵｯｽﾞ取得(&O)") when none. The status line is caption
    // line 0 of `progress`; errors also go to "ErrorLog.txt". The fetched odds are imported
    // into the day (win and place odds, bracket quinella odds, quinella values, odds times);
    // nothing else is rerun, the face shows the race again. Nothing happens before a load.
    // Holds the store lock; a refused lock is a store failure.
    OddsFetchReport FetchOdds(JvLink& link, std::optional<int> race, const CancelFlag& cancel,
                              Progress* progress = nullptr, std::function<void()> beep = {});
    // The same fetch into a copy of the day shown, for a worker thread; AdoptOdds shows it.
    PreparedOdds PrepareOdds(JvLink& link, std::optional<int> race, const CancelFlag& cancel,
                             Progress* progress = nullptr, std::function<void()> beep = {}) const;
    void AdoptOdds(PreparedOdds prepared);

    // The time-series import on the day shown ("時系列オッズより取得(&J)"), with the same
    // import afterwards. Refused with its message before a load, and with the lock's
    // message while another writer holds the folder.
    TimeSeriesReport ImportTimeSeriesOdds();
    // The same import into a copy of the day shown, for a worker thread; AdoptSeriesOdds
    // shows it.
    PreparedSeriesOdds PrepareTimeSeriesOdds() const;
    void AdoptSeriesOdds(PreparedSeriesOdds prepared);

    // Records the moving odds of `races` (RecordingRaces of a day, taken when the recording
    // starts) on the day of eight digits `dayDigits` into the time-series folder
    // ("Dir"/"jikeiretu", unless `options` names one): see RecordOdds. Every append and
    // error-log line is written under the store lock, taken for that write alone, so other
    // writers go on between fetches; a write waits for another writer whatever SetStoreWait
    // says (only the cancel ends the wait), so no snapshot is dropped for a busy folder. Reads nothing of the session but its folder, so a worker
    // may run it for hours while the face loads other days. Refused, recording nothing, when
    // the folder is the application folder ("時系列ｵｯｽﾞﾌｫﾙﾀﾞ指定をしてください。") or there
    // is no race ("ｵｯｽﾞを記録するﾚｰｽがありません。").
    OddsRecordingReport RecordOdds(JvLink& link, const std::vector<RecordedRace>& races, std::string_view dayDigits,
                                   OddsRecordingOptions options, RecordingClock& clock, const CancelFlag& cancel,
                                   const std::function<void(const RecordingStatus&)>& status = {}) const;

    // The betting method of every later pipeline run, instead of the one the settings
    // choose (a backtest runs a method without rewriting the settings); nothing to follow
    // the settings again.
    void SetBetMethod(std::optional<BetMethod> method) { m_methodOverride = std::move(method); }

    // Whether the pipeline files the day into the hit-judgement files: as a day load does
    // (when "makeKaishuFile.key" exists), never, or always (a backtest asked to).
    enum class HitFiles { AsSwitched, Never, Always };
    void SetHitFiles(HitFiles mode) { m_hitFiles = mode; }

    // The outcome of the last pipeline run on the day shown.
    const DayTotals& Totals() const { return m_pipeline.totals; }
    const std::vector<std::string>& PipelineMessages() const { return m_pipeline.messages; }
    bool HitFilesFailed() const { return m_pipeline.hitFilesFailed; }
    // What the load of the day shown found wrong without stopping (LoadResult::warnings).
    const LoadWarnings& Warnings() const { return m_warnings; }

    // The day shown, or null before the first load. The pointer holds until the next swap:
    // a holder that keeps it registers with OnDayReplaced.
    const RaceDay* Day() const { return m_day.get(); }

    // Called on the session's thread after every swap of the day shown (a load, a pipeline
    // rerun, quick odds, the time-series import) with the new day; the old one is already
    // gone. Returns the handle for ForgetDayReplaced, which a holder calls before it dies.
    int OnDayReplaced(std::function<void(const RaceDay& day)> listener);
    void ForgetDayReplaced(int handle);
    // The date of the day shown (CP932), empty before the first load.
    const std::string& DayName() const { return m_dayName; }

    // For tests: called before each pass of a load with the day in hand.
    void SetPassObserver(std::function<void(DayPassKind, const RaceDay&)> observer)
    {
        m_observer = std::move(observer);
    }
    // For tests: called with the store lock held, before each writing operation writes,
    // with its name ("acquire", "results", "odds", "tsodds", "userset", "hitfiles",
    // "oddsfile", "rename", "recordodds").
    void SetWriteObserver(std::function<void(std::string_view what)> observer)
    {
        m_writeObserver = std::move(observer);
    }

private:
    // The store lock for writing operation `what`, as SetStoreWait says (never waiting when
    // `mayWait` is false); `cancel` ends a wait.
    Result<StoreLock> LockForWriting(std::string_view what, const CancelFlag* cancel = nullptr,
                                     bool mayWait = true) const;
    void ReplaceDay(std::unique_ptr<RaceDay> day);
    const TuningTables* SharedTables(std::string& message) const;
    Status RunPass(DayPassKind pass, RaceDay& day, std::string_view dayName, Progress& progress,
                   const MasterIndex* masters, PipelineOutcome& pipeline) const;
    Status RunDayPipeline(RaceDay& day, std::string_view dayName, PipelineOutcome& pipeline) const;

    std::filesystem::path m_appDir;
    const Clock* m_clock;
    mutable std::mutex m_tablesMutex;
    mutable std::unique_ptr<TuningTables> m_tables;
    std::unique_ptr<RaceDay> m_day;
    std::string m_dayName;
    std::optional<BetMethod> m_methodOverride;
    HitFiles m_hitFiles = HitFiles::AsSwitched;
    PipelineOutcome m_pipeline;
    LoadWarnings m_warnings;
    std::function<void(DayPassKind, const RaceDay&)> m_observer;
    std::function<void(std::string_view)> m_writeObserver;
    StoreWait m_storeWait = StoreWait::Wait;
    std::function<void(const std::string&)> m_storeWaiting;
    std::vector<std::pair<int, std::function<void(const RaceDay&)>>> m_dayListeners;
    int m_nextListener = 0;
};

} // namespace vornal
