// The odds recording of the session: hours of fetching, with the store lock taken only for
// each write, so that loads, quick odds and acquisitions go on beside it.
#include "session/DaySession.h"

#include <chrono>
#include <system_error>
#include <thread>

#include "text/Encoding.h"

namespace vornal {

OddsRecordingReport DaySession::RecordOdds(JvLink& link, const std::vector<RecordedRace>& races,
                                           std::string_view dayDigits, OddsRecordingOptions options,
                                           RecordingClock& clock, const CancelFlag& cancel,
                                           const std::function<void(const RecordingStatus&)>& status) const
{
    OddsRecordingReport report;
    if (options.seriesFolder.empty()) {
        options.seriesFolder = OddsSeriesFolder(m_appDir);
    }
    options.appDir = m_appDir;
    std::error_code ec;
    const auto canonical = [&ec](const std::filesystem::path& path) {
        const std::filesystem::path found = std::filesystem::weakly_canonical(path, ec);
        return (found.empty() ? path : found).lexically_normal();
    };
    // The import never reads the application folder as the time-series folder: snapshots
    // recorded there would be written for nothing.
    if (canonical(options.seriesFolder) == canonical(m_appDir)) {
        report.refusal = Sjis("時系列ｵｯｽﾞﾌｫﾙﾀﾞ指定をしてください。");
        return report;
    }
    if (races.empty()) {
        report.refusal = Sjis("ｵｯｽﾞを記録するﾚｰｽがありません。");
        return report;
    }
    const RecordingWrite write = [this, &cancel](const std::function<Status()>& change) {
        // The recording runs unattended: a snapshot waits for another writer's moment (a day
        // load filing its odds file, an acquisition) rather than being dropped, whatever the
        // face chose for its own commands. Only a cancel ends the wait.
        Result<StoreLock> lock = LockForWriting("recordodds", &cancel, false);
        while (!lock && lock.message() == StoreBusyMessage() && !cancel.IsSet()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            lock = LockForWriting("recordodds", &cancel, false);
        }
        if (!lock) {
            return lock.status;
        }
        return change();
    };
    return vornal::RecordOdds(link, races, dayDigits, options, clock, cancel, write, status);
}

} // namespace vornal
