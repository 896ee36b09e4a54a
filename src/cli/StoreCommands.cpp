#include "cli/StoreCommands.h"

#include <memory>
#include <ostream>

#include <unistd.h>

#include "app/AppDir.h"
#include "app/Clock.h"
#include "app/SettingKeys.h"
#include "app/Settings.h"
#include "cli/DayLoad.h"
#include "cli/LinkOption.h"
#include "session/DaySession.h"
#include "store/Acquisition.h"
#include "store/ResultsRetrieval.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "vocab/JvResultMessage.h"

namespace vornal::cli {
namespace {

constexpr std::string_view kAcquireUsage = "vornal-cli acquire --feed DIR | --bridge \"COMMAND ARG...\" [--from "
                                           "\"yyyy/mm/dd hh:nn:ss\"] [--arrival-wait SECONDS] [--no-wait]";
constexpr std::string_view kResultsUsage =
    "vornal-cli results --feed DIR | --bridge \"COMMAND ARG...\" --date DAY [--no-wait]";

// The acquisition window on a terminal: created-file lines go to the output as they come;
// the progress label is kept, and shown live on the error stream when that is a terminal.
class TerminalAcquisitionView : public AcquisitionView
{
public:
    explicit TerminalAcquisitionView(CliContext& context) : m_context(context), m_live(::isatty(STDERR_FILENO) == 1) {}

    void SetLine(int, const std::string& text) override
    {
        m_label = ToUtf8(text);
        if (m_live) {
            m_context.err << "\r\x1b[K" << m_label << std::flush;
        }
    }
    void SetBar(int, int, int) override {}
    void ClearCreatedFiles() override {}
    void AddCreatedFile(const std::string& line) override { m_context.out << ToUtf8(line) << "\n"; }
    void ShowMessage(const std::string& text) override { m_messages.push_back(ToUtf8(text)); }
    void Beep() override {}

    // Ends the live label and returns the last one.
    const std::string& FinishLabel()
    {
        if (m_live && !m_label.empty()) {
            m_context.err << "\r\x1b[K" << std::flush;
        }
        return m_label;
    }
    const std::vector<std::string>& Messages() const { return m_messages; }

private:
    CliContext& m_context;
    bool m_live;
    std::string m_label;
    std::vector<std::string> m_messages;
};

} // namespace

bool PrepareStore(CliContext& context, DaySession& session)
{
    if (const Status folders = EnsureAppFolders(context.appDir); !folders) {
        context.err << "vornal-cli: " << ToUtf8(folders.message) << "\n";
        return false;
    }
    ChooseStoreWait(context, session);
    return true;
}

void ChooseStoreWait(CliContext& context, DaySession& session)
{
    if (context.Flag("--no-wait")) {
        session.SetStoreWait(StoreWait::Refuse);
        return;
    }
    session.SetStoreWait(StoreWait::Wait, [&context](const std::string& message) {
        context.err << "vornal-cli: " << ToUtf8(message) << " waiting for it to finish\n" << std::flush;
    });
}

int RunAcquire(CliContext& context)
{
    std::optional<LocalDateTime> from;
    if (const std::optional<std::string> text = context.Option("--from")) {
        from = ParseAcquisitionTime(*text);
        if (!from) {
            context.err << "vornal-cli: --from takes \"yyyy/mm/dd hh:nn:ss\"\nusage: " << kAcquireUsage << "\n";
            return kExitUsage;
        }
    }
    std::optional<int> arrivalWait;
    if (const std::optional<std::string> text = context.Option("--arrival-wait")) {
        arrivalWait = ParseInt(*text);
        if (!arrivalWait || *arrivalWait < 10 || *arrivalWait > kSecondsPerDay) {
            context.err << "vornal-cli: --arrival-wait takes seconds, 10.." << kSecondsPerDay
                        << "\nusage: " << kAcquireUsage << "\n";
            return kExitUsage;
        }
    }
    int exitCode = kExitOk;
    std::unique_ptr<JvLink> link = OpenLink(context, kAcquireUsage, exitCode);
    if (!link) {
        return exitCode;
    }
    DaySession session(context.appDir);
    if (!PrepareStore(context, session)) {
        return kExitFailure;
    }
    const Settings settings(SettingsFile(context.appDir));
    CancelFlag cancel;
    TerminalAcquisitionView view(context);
    Acquisition acquisition(*link, context.appDir, settings, DefaultClock(), cancel, view);
    if (from) {
        acquisition.SetFromTime(*from);
    }
    if (arrivalWait) {
        acquisition.SetArrivalWaitLimit(std::chrono::seconds(*arrivalWait));
    } else if (!acquisition.SettingWarning().empty()) {
        context.err << "vornal-cli: " << ToUtf8(acquisition.SettingWarning()) << "\n";
    }
    const Result<AcquisitionOutcome> run = session.Acquire(acquisition);
    if (!run) {
        context.err << "vornal-cli: " << ToUtf8(run.message()) << "\n";
        return kExitFailure;
    }
    const AcquisitionOutcome outcome = run.value;
    const std::string label = view.FinishLabel();
    ReportLinkFailure(context, *link);
    const bool failed = outcome != AcquisitionOutcome::Completed && outcome != AcquisitionOutcome::NoData;
    // The first message is the notice shown when a run starts; a terminal needs none.
    const std::vector<std::string>& messages = view.Messages();
    for (std::size_t i = 1; i < messages.size(); ++i) {
        (failed ? context.err : context.out) << messages[i] << "\n";
    }
    if (!label.empty()) {
        context.out << label << "\n";
    }
    if (outcome != AcquisitionOutcome::NoData && outcome != AcquisitionOutcome::OpenFailed) {
        context.out << ToUtf8(SkipSummary(acquisition.Skips())) << "\n";
    }
    return failed ? kExitFailure : kExitOk;
}

int RunResults(CliContext& context)
{
    const std::optional<std::string> dayName = DayNameOption(context);
    if (!dayName) {
        context.err << "vornal-cli: --date DAY is required, as 2026年01月05日 or 20260105\nusage: " << kResultsUsage
                    << "\n";
        return kExitUsage;
    }
    int exitCode = kExitOk;
    std::unique_ptr<JvLink> link = OpenLink(context, kResultsUsage, exitCode);
    if (!link) {
        return exitCode;
    }
    DaySession session(context.appDir);
    if (!PrepareStore(context, session)) {
        return kExitFailure;
    }
    CancelFlag cancel;
    const RetrievalReport report = session.RetrieveResults(*link, cancel, true, DayDigits(*dayName));
    ReportLinkFailure(context, *link);
    for (const std::string& line : report.skipped) {
        context.out << ToUtf8(line) << "\n";
    }
    switch (report.outcome) {
    case RetrievalOutcome::Completed:
        // The real component never answers bytes that are not JV-Data: such an answer is a
        // damaged one, and its records are not the day's results.
        if (report.recordsForeign > 0) {
            context.err << "vornal-cli: " << report.recordsForeign << " of " << report.recordsRead
                        << " records read for " << ToUtf8(*dayName) << " are not JV-Data; they were not stored\n";
            return kExitFailure;
        }
        context.out << report.recordsRead << " records read for " << ToUtf8(*dayName) << "\n";
        return kExitOk;
    case RetrievalOutcome::OpenFailed:
        (report.openResult == kJvOpenNoData ? context.out : context.err)
            << ToUtf8(JvResultMessage("JVRTOpen", report.openResult)) << "\n";
        return report.openResult == kJvOpenNoData ? kExitOk : kExitFailure;
    case RetrievalOutcome::Stopped:
        context.err << ToUtf8(JvResultMessage("JVRead", report.readResult)) << "\n"
                    << report.recordsRead << " records read before the error; they are stored\n";
        return kExitFailure;
    case RetrievalOutcome::StoreFailed:
        context.err << "vornal-cli: " << ToUtf8(report.io.message) << "\n";
        return kExitFailure;
    case RetrievalOutcome::NotRun:
        break;
    }
    return kExitFailure;
}

int RunDates(CliContext& context)
{
    std::vector<std::string> ignored;
    for (const std::string& day : StoredDayNames(context.appDir, &ignored)) {
        context.out << ToUtf8(day) << "\n";
    }
    for (const std::string& message : ignored) {
        context.err << "vornal-cli: " << ToUtf8(message) << "\n";
    }
    return kExitOk;
}

} // namespace vornal::cli
