#include "store/ResultsRetrieval.h"

#include "store/DayStoreBatch.h"
#include "store/JvLayout.h"
#include "store/RecordFiling.h"
#include "text/Fields.h"

namespace vornal {
namespace {

void CloseLink(JvLink& link, const std::function<void()>& beep)
{
    // A failed close is not reported here; the next open would say so.
    if (link.JVClose() == 0 && beep) {
        beep();
    }
}

void ReadAndStore(JvLink& link, const std::filesystem::path& appDir, const CancelFlag& cancel, RetrievalReport& report)
{
    DayStoreBatch batch(appDir);
    std::string record;
    std::string fileName;
    report.outcome = RetrievalOutcome::Stopped;
    while (true) {
        if (cancel.IsSet()) {
            break;
        }
        const int result = link.JVRead(record, kJvReadBufferSize, fileName);
        if (result > 0) {
            ++report.recordsRead;
            if (!IsJvDataRecord(std::string_view(record).substr(0, static_cast<std::size_t>(result)))) {
                ++report.recordsForeign;
            }
            const Status io = FileResultRecord(
                appDir, batch, std::string_view(record).substr(0, static_cast<std::size_t>(result)), report.skipped);
            if (!io) {
                report.outcome = RetrievalOutcome::StoreFailed;
                report.io = io;
                break;
            }
            continue;
        }
        if (result == kJvReadNextFile || result == -2 || result == kJvReadBusy) {
            continue;
        }
        report.readResult = result;
        if (result == kJvReadEnd) {
            report.outcome = RetrievalOutcome::Completed;
        }
        break;
    }
    // Records stored before an error or a cancel stay stored.
    if (Status io = batch.Flush(); !io && report.io) {
        report.outcome = RetrievalOutcome::StoreFailed;
        report.io = io;
    }
}

} // namespace

RetrievalReport RetrieveResults(JvLink& link, const std::filesystem::path& appDir, std::string_view raceSlot0,
                                bool raceSelected, const CancelFlag& cancel, Progress& progress,
                                const std::function<void()>& beep)
{
    if (IsBlank(raceSlot0) || !raceSelected) {
        return {};
    }
    return RetrieveResultsForDay(link, appDir, jv::Get(raceSlot0, jv::kDate), cancel, progress, beep);
}

RetrievalReport RetrieveResultsForDay(JvLink& link, const std::filesystem::path& appDir, std::string_view dayDigits,
                                      const CancelFlag& cancel, Progress&, const std::function<void()>& beep)
{
    RetrievalReport report;
    report.openResult = link.JVRTOpen(kDayResultsSpec, dayDigits);
    if (report.openResult != 0) {
        report.outcome = RetrievalOutcome::OpenFailed;
    } else {
        ReadAndStore(link, appDir, cancel, report);
    }
    CloseLink(link, beep);
    // The component is closed once more in every case, as after every real-time read.
    CloseLink(link, beep);
    return report;
}

} // namespace vornal
