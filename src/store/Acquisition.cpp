#include "store/Acquisition.h"

#include <thread>

#include "app/AtomicFile.h"
#include "app/SettingKeys.h"
#include "store/DayStoreBatch.h"
#include "store/MasterFiles.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"
#include "vocab/JvResultMessage.h"

namespace vornal {
namespace {

constexpr int kDownloadBar = 0;
constexpr int kReadBar = 1;
// JVRead: the downloaded file's content is damaged at this record. The record is lost, but
// the read goes on with the next one, so one bad line does not stop every later file.
constexpr int kJvReadBadContent = -403;

// "（20260103170000-RACE.jvd の 5 件目）": where a read error happened, for the user to look.
// The component names the file with each record it hands out; before the first record of a
// file there is only its number.
std::string ReadPlace(const std::string& fileName, int fileNumber, int recordInFile)
{
    const std::string file =
        fileName.empty() ? std::to_string(fileNumber) + Sjis(" 番目のファイルの ") : fileName + Sjis(" の ");
    return Sjis("（") + file + std::to_string(recordInFile) + Sjis(" 件目）");
}

std::optional<LocalDateTime> MakeTime(int year, int month, int day, int hour, int minute, int second)
{
    const std::string digits = fmt::sprintf("%04d%02d%02d", year, month, day);
    if (!IsValidDateDigits(digits) || hour > 23 || minute > 59 || second > 59) {
        return std::nullopt;
    }
    return LocalDateTime{year, month, day, hour, minute, second};
}

int Digits(std::string_view text, std::size_t from, std::size_t count)
{
    return static_cast<int>(LeadingNumber(text.substr(from, count)));
}

std::string TimestampDigits(const LocalDateTime& time)
{
    return fmt::sprintf("%04d%02d%02d%02d%02d%02d", time.year, time.month, time.day, time.hour, time.minute,
                        time.second);
}

} // namespace

const std::string& AcquisitionCancelQuestion()
{
    return Sjis("データ取込を中止します。実行しますか？");
}

std::optional<LocalDateTime> ParseAcquisitionTime(std::string_view text)
{
    // yyyy/mm/dd hh:nn:ss
    constexpr std::string_view kShape = "dddd/dd/dd dd:dd:dd";
    if (text.size() != kShape.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kShape[i] == 'd' ? !digit : text[i] != kShape[i]) {
            return std::nullopt;
        }
    }
    return MakeTime(Digits(text, 0, 4), Digits(text, 5, 2), Digits(text, 8, 2), Digits(text, 11, 2),
                    Digits(text, 14, 2), Digits(text, 17, 2));
}

std::optional<LocalDateTime> ParseTimestampDigits(std::string_view digits)
{
    if (digits.size() != 14 || !IsAllDigits(digits)) {
        return std::nullopt;
    }
    return MakeTime(Digits(digits, 0, 4), Digits(digits, 4, 2), Digits(digits, 6, 2), Digits(digits, 8, 2),
                    Digits(digits, 10, 2), Digits(digits, 12, 2));
}

Acquisition::Acquisition(JvLink& link, std::filesystem::path appDir, const Settings& settings, const Clock& clock,
                         CancelFlag& cancel, AcquisitionView& view)
    : m_link(link), m_appDir(std::move(appDir)), m_settings(settings), m_clock(clock), m_cancel(cancel), m_view(view)
{
    const std::optional<LocalDateTime> stored = ParseAcquisitionTime(ReadLastAcquisitionTime(settings, clock));
    m_fromTime = stored ? *stored : AddDays(clock.Now(), -8);
    const CheckedInteger wait = ReadArrivalWaitSeconds(settings);
    m_arrivalWaitLimit = std::chrono::seconds(wait.value);
    m_settingWarning = wait.warning;
}

void Acquisition::SetLabel(const std::string& text)
{
    m_view.SetLine(0, text);
}

void Acquisition::Start()
{
    m_view.ShowMessage(Sjis("データ取込を開始します。データ作成が終了するまで本ソフトを操作したり他のアプリケーショ"
                            "ンを操作することは極力避けてください。"));
    m_state = AcquisitionState::Idle;
    m_outcome = AcquisitionOutcome::None;
    m_cancel.Clear();
    m_cancelShown = false;
    m_view.SetBar(kDownloadBar, 0, 100);
    m_view.SetBar(kReadBar, 0, 100);
    m_view.ClearCreatedFiles();
    m_dates.clear();
    m_skips.clear();
    m_badReads.clear();
    m_view.SetBusy(true);

    m_open = m_link.JVOpen(kBulkDataSpec, TimestampDigits(m_fromTime), kBulkOpenOption);
    if (m_open.code == kJvOpenNoData || (m_open.code == 0 && m_open.readCount == 0)) {
        Fail(AcquisitionOutcome::NoData, Sjis("最新のデータがありません。"));
        Close();
        return;
    }
    if (m_open.code != 0) {
        Fail(AcquisitionOutcome::OpenFailed, Sjis("JVOpenエラー:") + JvResultMessage("JVOpen", m_open.code));
        Close();
        return;
    }
    SetLabel(Sjis("JVOpen正常:") + JvResultMessage("JVOpen", 0));
    SetLabel(fmt::sprintf("ReadCount:%d, DownloadCount:%d", m_open.readCount, m_open.downloadCount));
    if (m_open.downloadCount > 0) {
        // The read starts when the status timer sees the last file downloaded.
        SetLabel(Sjis("ダウンロード中・・・"));
        m_view.SetBar(kDownloadBar, 0, m_open.downloadCount);
        m_state = AcquisitionState::Downloading;
        return;
    }
    m_view.SetBar(kDownloadBar, 100, 100);
    ReadAll();
    Close();
    MoveFromTime();
}

void Acquisition::PollStatus()
{
    if (m_state != AcquisitionState::Downloading) {
        return;
    }
    const int done = m_link.JVStatus();
    if (done < 0) {
        m_state = AcquisitionState::Idle;
        Fail(AcquisitionOutcome::StatusFailed, Sjis("JVStatusエラー:") + JvResultMessage("JVStatus", done));
        Close();
        return;
    }
    SetLabel(Sjis("ダウンロード中．．．(") + std::to_string(done) + "/" + std::to_string(m_open.downloadCount) + ")");
    m_view.SetBar(kDownloadBar, done, m_open.downloadCount);
    if (done < m_open.downloadCount) {
        return;
    }
    // After a download the from-time stays, so the next run asks again from the same time.
    ReadAll();
    Close();
}

void Acquisition::Cancel()
{
    const bool downloading = m_state == AcquisitionState::Downloading;
    if (downloading) {
        // The timer stops; the component is not closed after a cancelled download.
        m_state = AcquisitionState::Idle;
        m_outcome = AcquisitionOutcome::Cancelled;
        m_view.SetBusy(false);
    }
    m_cancel.Set();
    ShowCancel();
}

void Acquisition::ShowCancel()
{
    m_cancelShown = true;
    m_link.JVCancel();
    m_view.Beep();
    const std::string& text = Sjis("JVCancel:キャンセルされました");
    m_view.ShowMessage(text);
    SetLabel(text);
}

void Acquisition::ShowSettings()
{
    if (const int result = m_link.JVSetUIProperties(); result != 0) {
        m_view.Beep();
        m_view.ShowMessage(Sjis("JVSetUIPropertiesエラー：") + JvResultMessage("JVSetUIProperties", result));
    }
}

void Acquisition::ReadAll()
{
    m_state = AcquisitionState::Reading;
    const int readCount = m_open.readCount;
    SetLabel(Sjis("データ読込み中．．．(0/") + std::to_string(readCount) + ")");
    m_view.SetBar(kReadBar, 0, readCount);
    int files = 0;
    // "Today" is taken once: a run across midnight files every record by the same rules.
    const LocalDateTime today = m_clock.Now();
    const int todayMonthDay = today.month * 100 + today.day;

    DayStoreBatch batch(m_appDir);
    AcquisitionFiler filer(m_appDir, batch, RecentRaceCutoff(today), m_dates, m_masters);
    std::string record;
    std::string fileName;
    std::vector<std::string> reported;
    AcquisitionOutcome outcome = AcquisitionOutcome::None;
    std::string storeError;
    int recordInFile = 0;
    // The component ends a file with -1; whether the last file gets one before the end (0)
    // differs between links, so the last file read is counted at the end when it was not.
    bool fileUncounted = false;
    // The component answers -2/-3 while its data is still arriving: the wait is shown, and
    // has an end, so a component that never delivers does not hold the run for good.
    using WaitClock = std::chrono::steady_clock;
    std::optional<WaitClock::time_point> waitingSince;
    long long waitShown = 0;
    int busyInARow = 0;
    while (outcome == AcquisitionOutcome::None) {
        if (m_cancel.IsSet()) {
            // Set by another thread (the window's cancel button): the cancel takes effect
            // here, between two records, as Cancel would have done.
            if (!m_cancelShown) {
                ShowCancel();
            }
            outcome = AcquisitionOutcome::Cancelled;
            break;
        }
        const int result = m_link.JVRead(record, kJvReadBufferSize, fileName);
        if (result > 0 || result == kJvReadBadContent) {
            ++recordInFile;
            fileUncounted = true;
        }
        if (result == kJvReadBusy || result == -2) {
            const WaitClock::time_point now = WaitClock::now();
            if (!waitingSince) {
                waitingSince = now;
                waitShown = 0;
                busyInARow = 0;
            }
            // A short wait is the normal pace of the component; a long one gets a pause
            // between calls instead of a busy loop.
            if (++busyInARow > 1000) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(now - *waitingSince);
            if (waited >= m_arrivalWaitLimit) {
                m_view.Beep();
                m_view.ShowMessage(Sjis("JVReadエラー:データの到着を ") +
                                   std::to_string(std::chrono::duration_cast<std::chrono::seconds>(waited).count()) +
                                   Sjis(" 秒待ちましたが届きません。取込みを中止しました。") +
                                   ReadPlace(fileName, files + 1, recordInFile + 1));
                outcome = AcquisitionOutcome::ReadFailed;
                break;
            }
            const long long seconds = std::chrono::duration_cast<std::chrono::seconds>(waited).count();
            if (seconds > waitShown) {
                waitShown = seconds;
                SetLabel(Sjis("データ到着待ち．．．(") + std::to_string(seconds) + Sjis(" 秒、中止できます)"));
            }
            continue;
        }
        waitingSince.reset();
        if (result > 0) {
            reported.clear();
            const Status io =
                filer.File(std::string_view(record).substr(0, static_cast<std::size_t>(result)), reported);
            for (const std::string& line : reported) {
                m_view.AddCreatedFile(line);
            }
            if (!io) {
                outcome = AcquisitionOutcome::StoreFailed;
                storeError = io.message;
            }
        } else if (result == kJvReadNextFile) {
            ++files;
            fileUncounted = false;
            recordInFile = 0;
            fileName.clear();
            m_view.SetBar(kReadBar, files, readCount);
            SetLabel(Sjis("データ読込み中．．．(") + std::to_string(files) + "/" + std::to_string(readCount) + ")");
        } else if (result == kJvReadEnd) {
            outcome = AcquisitionOutcome::Completed;
            files += fileUncounted ? 1 : 0;
        } else if (result == kJvReadBadContent) {
            m_view.AddCreatedFile(Sjis("スキップ:JVReadエラー:") + JvResultMessage("JVRead", result) +
                                  ReadPlace(fileName, files + 1, recordInFile));
            ++m_badReads[Sjis("読込エラー")];
        } else if (result < kJvReadBusy) {
            m_view.Beep();
            m_view.ShowMessage(Sjis("JVReadエラー:") + JvResultMessage("JVRead", result) +
                               ReadPlace(fileName, files + 1, recordInFile + 1));
            outcome = AcquisitionOutcome::ReadFailed;
        }
    }

    m_skips = filer.Skips();
    for (const auto& [reason, count] : m_badReads) {
        m_skips[reason] += count;
    }
    // Whatever ended the loop, the records accepted so far go to the disk now.
    if (Status io = batch.Flush(); !io && storeError.empty()) {
        storeError = io.message;
        outcome = AcquisitionOutcome::StoreFailed;
    }
    m_state = AcquisitionState::Idle;
    m_outcome = outcome;
    if (outcome == AcquisitionOutcome::StoreFailed) {
        m_view.Beep();
        m_view.ShowMessage(storeError);
        return;
    }
    if (outcome != AcquisitionOutcome::Completed) {
        return;
    }
    SetLabel("JVRead EndOfFile :0");
    SetLabel(Sjis("データ読込み完了(") + std::to_string(files) + "/" + std::to_string(readCount) + ")");
    const MasterFilesResult masters = WriteMasterFiles(m_appDir, m_masters, m_dates, todayMonthDay);
    for (const std::string& line : masters.reported) {
        m_view.AddCreatedFile(line);
    }
    if (!masters.io) {
        m_outcome = AcquisitionOutcome::StoreFailed;
        m_view.Beep();
        m_view.ShowMessage(masters.io.message);
    }
    m_view.SetBar(kDownloadBar, 0, 100);
    m_view.SetBar(kReadBar, 0, 100);
    m_view.Beep();
}

void Acquisition::Fail(AcquisitionOutcome outcome, const std::string& message)
{
    m_outcome = outcome;
    m_view.Beep();
    m_view.ShowMessage(message);
}

void Acquisition::Close()
{
    const int result = m_link.JVClose();
    m_view.SetBusy(false);
    m_view.Beep();
    if (result != 0) {
        m_view.ShowMessage(Sjis("JVCloseエラー:") + JvResultMessage("JVClose", result));
    }
}

void Acquisition::MoveFromTime()
{
    // Only a complete read has stored everything up to the newest file; after a cancel or an
    // error the next run must ask again from the old time, or the unread files are lost.
    if (m_outcome != AcquisitionOutcome::Completed) {
        return;
    }
    const std::string stamp = Trim(m_open.lastFileTimestamp);
    if (stamp.empty() || stamp == "00000000000000") {
        return;
    }
    const std::optional<LocalDateTime> time = ParseTimestampDigits(stamp);
    if (!time) {
        return;
    }
    m_fromTime = *time;
    // The records are stored, but a next run of another window would start from the old time
    // again: the run must not be reported complete.
    if (!kLastAcquisitionTime.Write(m_settings, FormatDateTime(*time))) {
        Fail(AcquisitionOutcome::StoreFailed,
             PathText(m_settings.File()) + Sjis(" に取得日時を書き込めません。次回は前回の日時から取得します。"));
    }
}

} // namespace vornal
