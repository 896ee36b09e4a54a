#include "cli/RecordOddsCommand.h"

#include <memory>
#include <ostream>

#include "cli/DayLoad.h"
#include "cli/LinkOption.h"
#include "cli/StoreCommands.h"
#include "odds/OddsRecorder.h"
#include "odds/TimeSeriesOdds.h"
#include "session/DaySession.h"
#include "store/ReplayLink.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"

namespace vornal::cli {
namespace {

constexpr std::string_view kUsage =
    "vornal-cli record-odds --feed DIR | --bridge \"COMMAND ARG...\" --date DAY [--every MIN] [--from HH:MM] "
    "[--folder DIR] [--simulate HH:MM [--pace MS]]";

// "09:30" as minutes since midnight; nothing for another text.
std::optional<int> ClockMinutes(std::string_view text)
{
    if (text.size() != 5 || text[2] != ':' || !IsAllDigits(text.substr(0, 2)) || !IsAllDigits(text.substr(3, 2))) {
        return std::nullopt;
    }
    const int hour = static_cast<int>(LeadingNumber(text.substr(0, 2)));
    const int minute = static_cast<int>(LeadingNumber(text.substr(3, 2)));
    if (hour > 23 || minute > 59) {
        return std::nullopt;
    }
    return hour * 60 + minute;
}

int Usage(CliContext& context, std::string_view why)
{
    context.err << "vornal-cli: " << why << "\nusage: " << kUsage << "\n";
    return kExitUsage;
}

} // namespace

int RunRecordOdds(CliContext& context)
{
    const std::optional<std::string> dayName = DayNameOption(context);
    if (!dayName) {
        return Usage(context, "--date DAY is required, as 2026年01月05日 or 20260105");
    }
    OddsRecordingOptions options;
    if (const std::optional<std::string> every = context.Option("--every")) {
        const std::optional<int> minutes = ParseInt(*every);
        if (!minutes || *minutes < 1 || *minutes > 120) {
            return Usage(context, "--every takes minutes 1..120");
        }
        options.everyMinutes = *minutes;
    }
    if (const std::optional<std::string> from = context.Option("--from")) {
        options.fromMinutes = ClockMinutes(*from);
        if (!options.fromMinutes) {
            return Usage(context, "--from takes a time of day as HH:MM");
        }
    }
    std::optional<int> simulated;
    int pace = 0;
    if (const std::optional<std::string> start = context.Option("--simulate")) {
        simulated = ClockMinutes(*start);
        if (!simulated) {
            return Usage(context, "--simulate takes a time of day as HH:MM");
        }
    }
    if (const std::optional<std::string> text = context.Option("--pace")) {
        const std::optional<int> ms = ParseInt(*text);
        if (!simulated || !ms || *ms < 0 || *ms > 60000) {
            return Usage(context, "--pace takes milliseconds 0..60000 and goes with --simulate");
        }
        pace = *ms;
    }
    if (const std::optional<std::string> folder = context.Option("--folder")) {
        std::error_code ec;
        std::filesystem::create_directories(*folder, ec);
        if (!std::filesystem::is_directory(*folder, ec)) {
            return Usage(context, "--folder DIR must name a folder");
        }
        options.seriesFolder = std::filesystem::absolute(*folder);
    }
    int exitCode = kExitOk;
    std::unique_ptr<JvLink> link = OpenLink(context, kUsage, exitCode);
    if (!link) {
        return exitCode;
    }
    DaySession session(context.appDir);
    if (!PrepareStore(context, session)) {
        return kExitFailure;
    }
    const RaceDay* day = LoadDayForCli(context, session, *dayName);
    if (day == nullptr) {
        return kExitFailure;
    }
    const std::string digits = DayDigits(*dayName);
    std::unique_ptr<RecordingClock> clock;
    if (simulated) {
        const LocalDateTime start{static_cast<int>(LeadingNumber(std::string_view(digits).substr(0, 4))),
                                  static_cast<int>(LeadingNumber(std::string_view(digits).substr(4, 2))),
                                  static_cast<int>(LeadingNumber(std::string_view(digits).substr(6, 2))),
                                  *simulated / 60,
                                  *simulated % 60,
                                  0};
        clock = std::make_unique<SimulatedClock>(start, pace);
        if (auto* replay = dynamic_cast<ReplayLink*>(link.get())) {
            replay->SetClock(clock.get());
        }
    } else {
        clock = std::make_unique<SystemRecordingClock>();
    }
    CancelFlag cancel;
    const OddsRecordingReport report = session.RecordOdds(
        *link, RecordingRaces(*day), digits, options, *clock, cancel, [&context](const RecordingStatus& status) {
            if (status.waiting || !status.nextFetch) {
                context.out << ToUtf8(RecordingStatusText(status)) << "\n" << std::flush;
            }
        });
    if (auto* replay = dynamic_cast<ReplayLink*>(link.get())) {
        replay->SetClock(nullptr);
    }
    ReportLinkFailure(context, *link);
    if (!report.refusal.empty()) {
        context.err << ToUtf8(report.refusal) << "\n";
        return kExitFailure;
    }
    for (const std::string& line : report.errorLines) {
        context.err << "vornal-cli: " << ToUtf8(line) << "\n";
    }
    context.out << report.status.races << " races, " << report.status.snapshots << " snapshots recorded, "
                << report.duplicates << " already recorded, " << report.status.fetches << " fetches, "
                << report.status.errors << " errors\n";
    return report.status.errors == 0 ? kExitOk : kExitFailure;
}

} // namespace vornal::cli
