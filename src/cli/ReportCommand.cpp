#include "cli/ReportCommand.h"

#include <ostream>
#include <system_error>

#include "app/AtomicFile.h"
#include "betting/QuinellaRanks.h"
#include "cli/BetCommands.h"
#include "raceday/JsonWriter.h"
#include "season/SeasonGrid.h"
#include "season/SeasonReport.h"
#include "season/SeasonReportJson.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"

namespace vornal::cli {
namespace {

constexpr std::string_view kReportUsage =
    "vornal-cli report [--from DAY] [--to DAY] --method no1[,no2,...] [--set NAME] "
    "[--by course,surface,distance,class,field,month,odds] [--csv DIR] [--json] [--threads N] [--seed N]";

std::vector<std::string> CommaList(const std::string& text)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(',', start), text.size());
        items.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

void PrintMethod(CliContext& context, const SeasonReport& report, const MethodReport& method)
{
    std::ostream& out = context.out;
    out << "\n方式 " << method.name << " (" << ToUtf8(method.betKindSuffix) << ")\n";
    out << "合計\t買い点数\t的中点数\t買い金額\t回収金額\t回収率\n";
    for (BetType type : kBetTypes) {
        PrintTotalsLine(context, ToUtf8(BetTypeName(type)), method.totals[type]);
    }
    for (const BreakdownTable& table : method.breakdowns) {
        out << "\n[" << ToUtf8(BreakdownCaption(table.by)) << "]\n" << ToUtf8(GridLines(BreakdownGrid(table), "\n"));
    }
    out << "\n[収支]\n" << ToUtf8(GridLines(FiguresGrid(method), "\n"));
    out << "\n[日別収支]\n日付\t判定\t収支\t累計\n";
    for (std::size_t d = 0; d < report.days.size(); ++d) {
        long long profit = 0;
        for (BetType type : kBetTypes) {
            profit += method.dayTotals[d][type].Returned - method.dayTotals[d][type].Staked();
        }
        out << fmt::sprintf("%s\t%s\t%lld円\t%lld円\n", ToUtf8(report.days[d]),
                            report.modes[d] == DecisionMode::DecisionTime ? "時系列" : "確定", profit,
                            method.series[kAllTypes].cumulative[d]);
    }
    out << "\n[馬連的中率]\n占有率\t買い点数\t的中点数\t的中率\t期待的中率\n";
    for (const HitRateRow& row : method.hitRates) {
        out << fmt::sprintf("%s\t%d点\t%d点\t%6.2f%%\t%6.2f%%\n",
                            row.shareClass == 0 ? std::string("全体") : ToUtf8(ShareClassLabel(row.shareClass)),
                            row.points, row.hits, row.Rate(), row.expectedRate);
    }
}

void PrintCalibration(CliContext& context, const char* title, const std::vector<CalibrationRow>& rows)
{
    context.out << "\n[" << title << "]\n" << ToUtf8(GridLines(CalibrationGrid(rows), "\n"));
}

void PrintText(CliContext& context, const SeasonReport& report)
{
    std::ostream& out = context.out;
    int decision = 0;
    for (DecisionMode mode : report.modes) {
        decision += mode == DecisionMode::DecisionTime ? 1 : 0;
    }
    out << "成績分析\t";
    if (!report.days.empty()) {
        out << ToUtf8(report.days.front()) << " - " << ToUtf8(report.days.back());
    }
    out << fmt::sprintf("\t%d日\n", static_cast<int>(report.days.size()));
    out << fmt::sprintf("判定\t確定オッズ %d日\t時系列オッズ %d日\n", static_cast<int>(report.days.size()) - decision,
                        decision);
    for (std::size_t d = 0; d < report.days.size(); ++d) {
        if (report.modes[d] == DecisionMode::DecisionTime) {
            out << "時系列\t" << ToUtf8(report.days[d]) << "\n";
        }
    }
    out << fmt::sprintf("区間\t90%% (ブートストラップ %d回, seed %llu)\n", report.resamples,
                        static_cast<unsigned long long>(report.seed));
    for (const MethodReport& method : report.methods) {
        PrintMethod(context, report, method);
    }
    PrintCalibration(context, "単勝 予想配当と払戻", report.winCalibration);
    PrintCalibration(context, "馬連 予想配当と払戻", report.quinellaCalibration);
}

bool WriteCsv(CliContext& context, const std::string& folder, const SeasonReport& report)
{
    const std::filesystem::path dir(folder);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (const CsvTable& table : SeasonReportCsv(report)) {
        if (Status written = WriteFileAtomic(dir / table.name, table.text); !written) {
            context.err << "vornal-cli: " << ToUtf8(written.message) << "\n";
            return false;
        }
    }
    return true;
}

} // namespace

int RunReport(CliContext& context)
{
    std::vector<SeasonMethod> methods;
    bool usable = context.Option("--method").has_value();
    if (usable) {
        for (const std::string& name : CommaList(*context.Option("--method"))) {
            const std::optional<BetMethodKind> kind = MethodKind(name);
            if (!kind) {
                usable = false;
                break;
            }
            methods.push_back({name, ChosenMethod(context, *kind)});
        }
    }
    SeasonReportOptions reportOptions;
    if (const std::optional<std::string> by = context.Option("--by")) {
        reportOptions.by.clear();
        for (const std::string& name : CommaList(*by)) {
            const std::optional<Breakdown> breakdown = BreakdownByName(name);
            usable = usable && breakdown.has_value();
            if (breakdown) {
                reportOptions.by.push_back(*breakdown);
            }
        }
    }
    if (const std::optional<std::string> seed = context.Option("--seed")) {
        const std::optional<int> value = ParseInt(*seed);
        usable = usable && value && *value >= 0;
        reportOptions.seed = value ? static_cast<std::uint64_t>(*value) : 0;
    }
    SeasonRunOptions runOptions;
    runOptions.from = DayBound(context, "--from");
    runOptions.to = DayBound(context, "--to");
    const std::optional<int> threads = ThreadCount(context);
    if (!usable || !threads || (runOptions.from && runOptions.from->empty()) ||
        (runOptions.to && runOptions.to->empty())) {
        context.err << "vornal-cli: --method takes no1, no2, user, sp1, sp2, sp3 separated by commas; --by the "
                       "breakdown names; --from and --to a date as 2026年01月05日 or 20260105; --threads and --seed "
                       "numbers\nusage: "
                    << kReportUsage << "\n";
        return kExitUsage;
    }
    if (!context.RequireAppFolder()) {
        return kExitFailure;
    }
    runOptions.threads = *threads;
    runOptions.decisionTime = true;
    const SeasonRun run = RunSeason(context.appDir, methods, runOptions);
    const SeasonReport report = BuildSeasonReport(run, reportOptions);

    for (const SeasonDay& day : run.days) {
        if (!day.loaded) {
            context.err << "vornal-cli: " << ToUtf8(day.dayName) << ": " << ToUtf8(day.loadMessage) << "\n";
            continue;
        }
        PrintProblems(context, day.skippedSnapshots);
        for (const SeasonMethodDay& judged : day.methods) {
            PrintProblems(context, judged.messages);
        }
    }
    if (context.Flag("--json")) {
        std::string out;
        JsonWriter json(out);
        WriteSeasonReportJson(json, report);
        context.out << out << "\n";
    } else {
        PrintText(context, report);
    }
    if (const std::optional<std::string> folder = context.Option("--csv");
        folder && !WriteCsv(context, *folder, report)) {
        return kExitFailure;
    }
    if (!report.failedDays.empty()) {
        context.err << "vornal-cli: " << report.failedDays.size()
                    << " days could not be loaded and are not in the report\n";
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace vornal::cli
