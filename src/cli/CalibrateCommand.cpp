#include "cli/CalibrateCommand.h"

#include <algorithm>
#include <ostream>

#include "app/AtomicFile.h"
#include "cli/BetCommands.h"
#include "raceday/JsonWriter.h"
#include "season/CalibrationText.h"
#include "text/Encoding.h"
#include "text/Fields.h"

namespace vornal::cli {
namespace {

constexpr std::string_view kCalibrateUsage =
    "vornal-cli calibrate --from DAY --to DAY [--out DIR] [--install --yes] [--method no1[,no2,...]] [--set NAME] "
    "[--prior N] [--threads N] [--json]";

} // namespace

int RunCalibrate(CliContext& context)
{
    CalibrationRunOptions options;
    options.from = DayBound(context, "--from");
    options.to = DayBound(context, "--to");
    bool usable = options.from && options.to && !options.from->empty() && !options.to->empty();
    const std::string methods = context.Option("--method").value_or("no1");
    std::size_t start = 0;
    while (usable && start <= methods.size()) {
        const std::size_t end = std::min(methods.find(',', start), methods.size());
        const std::string name = methods.substr(start, end - start);
        const std::optional<BetMethodKind> kind = MethodKind(name);
        usable = kind.has_value();
        if (kind) {
            options.methods.push_back({name, ChosenMethod(context, *kind)});
        }
        start = end + 1;
    }
    if (const std::optional<std::string> prior = context.Option("--prior")) {
        const std::optional<double> value = ParseDouble(*prior);
        usable = usable && value && *value >= 0.0 && *value <= 1e9;
        options.prior = value.value_or(0.0);
    }
    const std::optional<int> threads = ThreadCount(context);
    const bool install = context.Flag("--install");
    if (!usable || !threads || (install && context.Option("--out"))) {
        context.err << "vornal-cli: --from and --to take a date as 2026年01月05日 or 20260105; --method no1, no2, "
                       "user, sp1, sp2, sp3 separated by commas; --prior a weight of 0 or more; --install writes no "
                       "--out folder\nusage: "
                    << kCalibrateUsage << "\n";
        return kExitUsage;
    }
    if (install && !context.Flag("--yes")) {
        context.err << "vornal-cli: --install replaces the tuning files in use (the old ones are kept as .old); "
                       "confirm with --yes\n";
        return kExitUsage;
    }
    if (!context.RequireAppFolder()) {
        return kExitFailure;
    }
    options.threads = *threads;
    const CalibrationResult result = RunCalibration(context.appDir, options);
    if (!result.status) {
        context.err << "vornal-cli: " << ToUtf8(result.status.message) << "\n";
        return kExitFailure;
    }
    for (const std::string& day : result.failedDays) {
        context.err << "vornal-cli: " << ToUtf8(day) << ": could not be loaded and is not counted\n";
    }

    const std::filesystem::path folder =
        context.Option("--out") ? std::filesystem::path(*context.Option("--out")) : context.appDir / "calibrated";
    const Status written =
        install ? InstallCalibratedTables(context.appDir, result) : WriteCalibratedTables(context.appDir, folder, result);
    if (context.Flag("--json")) {
        std::string out;
        JsonWriter json(out);
        WriteCalibrationJson(json, result);
        context.out << out << "\n";
    } else {
        for (const std::string& line : CalibrationTextLines(result)) {
            context.out << ToUtf8(line) << "\n";
        }
    }
    if (!written) {
        context.err << "vornal-cli: " << ToUtf8(written.message) << "\n";
        return kExitFailure;
    }
    context.err << "vornal-cli: the new tables are in "
                << (install ? ToUtf8(PathText(context.appDir)) + " (the old ones as .old; used from the next start)"
                            : ToUtf8(PathText(folder)))
                << "\n";
    return kExitOk;
}

} // namespace vornal::cli
