#include "cli/OddsCommands.h"

#include "cli/StoreCommands.h"

#include <memory>
#include <ostream>

#include "cli/DayLoad.h"
#include "cli/LinkOption.h"
#include "odds/OddsTimeSetting.h"
#include "odds/TimeSeriesOdds.h"
#include "session/DaySession.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "vocab/JvResultMessage.h"

namespace vornal::cli {
namespace {

constexpr std::string_view kOddsUsage =
    "vornal-cli odds --feed DIR | --bridge \"COMMAND ARG...\" --date DAY [--slot N | --all] [--json]";
constexpr std::string_view kTsOddsUsage = "vornal-cli tsodds [--folder DIR] --date DAY [--json]";
constexpr std::string_view kOddsTimeUsage = "vornal-cli oddstime [MINUTES]";

// The status line on the terminal: each text as it is shown; clearing it prints nothing.
class StatusLinePrinter : public Progress
{
public:
    explicit StatusLinePrinter(std::ostream& out) : m_out(out) {}
    void SetLine(int line, const std::string& text) override
    {
        if (line == 0 && !text.empty()) {
            m_out << ToUtf8(text) << "\n" << std::flush;
        }
    }
    void SetBar(int, int, int) override {}

private:
    std::ostream& m_out;
};

void PrintFailures(CliContext& context, const std::vector<std::string>& failures)
{
    for (const std::string& failure : failures) {
        context.err << "vornal-cli: " << ToUtf8(failure) << "\n";
    }
}

} // namespace

int RunOdds(CliContext& context)
{
    const std::optional<std::string> dayName = DayNameOption(context);
    std::optional<int> slot;
    if (context.Option("--slot")) {
        slot = ParseInt(*context.Option("--slot"));
        if (!slot || *slot < 0 || *slot >= kRaceSlots || context.Flag("--all")) {
            context.err << "vornal-cli: --slot N takes a race slot 0.." << kRaceSlots - 1
                        << " and excludes --all\nusage: " << kOddsUsage << "\n";
            return kExitUsage;
        }
    }
    if (!dayName) {
        context.err << "vornal-cli: --date DAY is required\nusage: " << kOddsUsage << "\n";
        return kExitUsage;
    }
    int exitCode = kExitOk;
    std::unique_ptr<JvLink> link = OpenLink(context, kOddsUsage, exitCode);
    if (!link) {
        return exitCode;
    }
    // Quick odds rewrite the day's odds file: the session takes the one-writer lock for it.
    DaySession session(context.appDir);
    if (!PrepareStore(context, session)) {
        return kExitFailure;
    }
    const RaceDay* day = LoadDayForCli(context, session, *dayName);
    if (day == nullptr) {
        return kExitFailure;
    }
    if (slot && !day->Races[*slot].RaceLoaded) {
        context.err << "vornal-cli: the day has no race in slot " << *slot << " (" << day->RaceCount << " races)\n";
        return kExitFailure;
    }
    // With --json the standard output carries the day alone; the progress goes to the errors.
    const bool json = context.Flag("--json");
    std::ostream& said = json ? context.err : context.out;
    CancelFlag cancel;
    StatusLinePrinter status(said);
    const OddsFetchReport report = session.FetchOdds(*link, slot, cancel, &status);
    ReportLinkFailure(context, *link);
    PrintFailures(context, report.failures);
    said << report.racesOpened << " races fetched, " << report.recordsStored << " records stored, "
         << report.ErrorCount() << " errors\n";
    exitCode = report.ErrorCount() == 0 ? kExitOk : kExitFailure;
    if (json && PrintSessionDayJson(context, session, *dayName) != kExitOk) {
        return kExitFailure;
    }
    return exitCode;
}

int RunTimeSeriesOdds(CliContext& context)
{
    const std::optional<std::string> dayName = DayNameOption(context);
    if (!dayName) {
        context.err << "vornal-cli: --date DAY is required, as 2026年01月05日 or 20260105\nusage: " << kTsOddsUsage
                    << "\n";
        return kExitUsage;
    }
    if (const std::optional<std::string> folder = context.Option("--folder")) {
        if (!std::filesystem::is_directory(*folder)) {
            context.err << "vornal-cli: --folder DIR must name a folder\nusage: " << kTsOddsUsage << "\n";
            return kExitUsage;
        }
        if (Status chosen = ChooseOddsFolder(context.appDir, std::filesystem::absolute(*folder)); !chosen) {
            context.err << "vornal-cli: " << ToUtf8(chosen.message) << "\n";
            return kExitFailure;
        }
    }
    DaySession session(context.appDir);
    if (!PrepareStore(context, session)) {
        return kExitFailure;
    }
    if (LoadDayForCli(context, session, *dayName) == nullptr) {
        return kExitFailure;
    }
    const TimeSeriesReport report = session.ImportTimeSeriesOdds();
    PrintFailures(context, report.skipped);
    if (report.refused) {
        context.err << ToUtf8(report.message) << "\n";
        return kExitFailure;
    }
    const bool json = context.Flag("--json");
    std::ostream& said = json ? context.err : context.out;
    if (!report.io) {
        context.err << "vornal-cli: " << ToUtf8(report.io.message) << "\n";
    } else {
        said << ToUtf8(report.message) << "\n";
    }
    const int errors = static_cast<int>(report.skipped.size()) + (report.io ? 0 : 1);
    said << report.taken << " races taken, " << report.skipped.size() << " races skipped, " << errors << " errors\n";
    const int exitCode = errors == 0 ? kExitOk : kExitFailure;
    if (json && PrintSessionDayJson(context, session, *dayName) != kExitOk) {
        return kExitFailure;
    }
    return exitCode;
}

int RunOddsTime(CliContext& context)
{
    if (context.args.empty()) {
        context.out << ToUtf8(Sjis("発走")) << OddsTimeSetting(context.appDir) << ToUtf8(Sjis("分前")) << "\n";
        return kExitOk;
    }
    const std::optional<int> minutes = ParseInt(context.args[0]);
    if (!minutes || context.args.size() > 1) {
        context.err << "usage: " << kOddsTimeUsage << "\n";
        return kExitUsage;
    }
    if (Status set = SetOddsTimeSetting(context.appDir, *minutes); !set) {
        context.err << "vornal-cli: " << ToUtf8(set.message) << "\n";
        return kExitFailure;
    }
    context.out << ToUtf8(Sjis("発走")) << *minutes << ToUtf8(Sjis("分前")) << "\n";
    return kExitOk;
}

} // namespace vornal::cli
