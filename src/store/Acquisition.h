#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "app/Clock.h"
#include "app/Progress.h"
#include "app/Settings.h"
#include "store/JvLink.h"
#include "store/RecordFiling.h"

// Bulk acquisition: downloads every record the data service has after a from-time and
// files it into the day store. The state machine is independent of any window: the face
// calls Start, then PollStatus every 10 ms while the state is Downloading (the status
// timer), Cancel when the user confirmed AcquisitionCancelQuestion, and ShowSettings for
// the component's settings. What the window shows arrives through AcquisitionView.
//
// A run may go on a worker thread (DaySession::Acquire): the face then only sets the
// cancel flag, from its own thread, and the run cancels itself at its next step; every
// AcquisitionView call comes from the worker.
//
//   Idle --Start--> (open) --no download--> Reading --> (close) --> Idle
//                          --downloads----> Downloading --PollStatus: all done--> Reading
//                          --no data/error--> (close) --> Idle
//
// The store files of a run are held in memory and written once when the read loop ends,
// however it ends (complete, cancelled, read error), so every record accepted before a
// cancel or an error stays stored. The master files are written only by a complete run.
namespace vornal {

// What the acquisition window shows. Caption line 0 is the progress label; bar 0 is the
// download bar, bar 1 the read bar.
class AcquisitionView : public Progress
{
public:
    // The list of created files ("作成済みデータ").
    virtual void ClearCreatedFiles() = 0;
    virtual void AddCreatedFile(const std::string& line) = 0;
    // A message box with an information icon and an OK button (CP932 text).
    virtual void ShowMessage(const std::string& text) = 0;
    virtual void Beep() = 0;
    // The busy pointer while the component works.
    virtual void SetBusy(bool) {}
};

enum class AcquisitionState {
    Idle,
    Downloading, // the status timer runs
    Reading,
};

// How the last run ended.
enum class AcquisitionOutcome {
    None,         // no run yet, or one still going
    NoData,       // nothing newer than the from-time
    OpenFailed,   // JVOpen error
    StatusFailed, // JVStatus error while downloading
    Cancelled,
    ReadFailed,  // JVRead error
    StoreFailed, // a store file could not be read or written
    Completed,
};

// "データ取込を中止します。実行しますか？": the face asks it (Yes/No) before Cancel.
const std::string& AcquisitionCancelQuestion();

// "yyyy/mm/dd hh:nn:ss" as a date and time; nothing unless every field is a real value.
std::optional<LocalDateTime> ParseAcquisitionTime(std::string_view text);
// "yyyymmddhhnnss" as a date and time; nothing unless every field is a real value.
std::optional<LocalDateTime> ParseTimestampDigits(std::string_view digits);

class Acquisition
{
public:
    // The from-time starts as "JvDataGet"/"LastTime", or eight days before now when the key
    // is missing or unreadable.
    Acquisition(JvLink& link, std::filesystem::path appDir, const Settings& settings, const Clock& clock,
                CancelFlag& cancel, AcquisitionView& view);

    const LocalDateTime& FromTime() const { return m_fromTime; }
    void SetFromTime(const LocalDateTime& time) { m_fromTime = time; }

    AcquisitionState State() const { return m_state; }
    AcquisitionOutcome Outcome() const { return m_outcome; }
    int ReadCount() const { return m_open.readCount; }
    int DownloadCount() const { return m_open.downloadCount; }
    // The dates of the RA records stored by the current or last run, ascending.
    const std::set<std::string>& DateList() const { return m_dates; }
    // The records the current or last run did not store, by reason (the window's label of
    // skipped records; see SkipSummary).
    const SkipCounts& Skips() const { return m_skips; }
    // The master lines of every run of this window; a new start does not clear them.
    const MasterLists& Masters() const { return m_masters; }

    // "データ取込み開始": opens a read from the from-time; reads at once when nothing is to
    // download, else leaves the state Downloading for PollStatus.
    void Start();
    // One tick of the status timer; does nothing unless Downloading.
    void PollStatus();
    // "データ取込み中止" after the user said Yes: stops the status timer, cancels the
    // component's download and sets the cancel flag that ends the read loop.
    void Cancel();
    // Whether the cancel flag is set (by this thread or another).
    bool CancelRequested() const { return m_cancel.IsSet(); }
    // "JVLink設定": the component's settings dialog.
    void ShowSettings();

    // How long the read waits while the component answers "data still arriving" before it
    // gives up with a read error (default five minutes). While it waits the label says so,
    // each second, and the cancel ends the wait.
    void SetArrivalWaitLimit(std::chrono::milliseconds limit) { m_arrivalWaitLimit = limit; }
    std::chrono::milliseconds ArrivalWaitLimit() const { return m_arrivalWaitLimit; }
    // Why "JVLink"/"ArrivalWaitSeconds" reads as its default; empty when it is sound (CP932).
    const std::string& SettingWarning() const { return m_settingWarning; }

private:
    void ReadAll();
    void Close();
    void Fail(AcquisitionOutcome outcome, const std::string& message);
    void MoveFromTime();
    void SetLabel(const std::string& text);
    // The component's cancel, the beep, the message and the label of a cancel.
    void ShowCancel();

    JvLink& m_link;
    std::filesystem::path m_appDir;
    const Settings& m_settings;
    const Clock& m_clock;
    CancelFlag& m_cancel;
    AcquisitionView& m_view;

    LocalDateTime m_fromTime;
    AcquisitionState m_state = AcquisitionState::Idle;
    AcquisitionOutcome m_outcome = AcquisitionOutcome::None;
    bool m_cancelShown = false; // the cancel of this run was shown to the user
    JvOpenResult m_open;
    std::set<std::string> m_dates;
    SkipCounts m_skips;
    // Records the component could not hand out (a damaged line), counted with the skips.
    SkipCounts m_badReads;
    MasterLists m_masters;
    std::chrono::milliseconds m_arrivalWaitLimit = std::chrono::minutes(5);
    std::string m_settingWarning;
};

} // namespace vornal
