#include "cli/TableCommands.h"

#include <functional>
#include <memory>
#include <ostream>

#include "cli/DayLoad.h"
#include "present/ClipboardText.h"
#include "present/DaySummaryTables.h"
#include "present/GridSort.h"
#include "present/RaceAnalysisView.h"
#include "present/RaceList.h"
#include "present/RaceListDetail.h"
#include "present/TuningViews.h"
#include "text/Encoding.h"
#include "text/Fields.h"

namespace vornal::cli {
namespace {

constexpr std::string_view kTableUsage =
    "vornal-cli table --date DAY --name NAME [--slot N] [--sort CAPTION] [--clipboard | --text]\n"
    "  day tables: racelist, racelistdetail (the grid below the race list), main (メイン用), laptime (ﾗｯﾌﾟﾀｲﾑ), lapcheck (ラップ検証表), candidates (買い目候補)\n"
    "  race tables (--slot N): pastruns (ランキング), card (出馬表), detail (個別詳細検討用), lapcard (ﾗｯﾌﾟ出馬表), "
    "ranking (ﾗﾝｷﾝｸﾞ表),\n"
    "  popularity (人気順位(秘))";
constexpr std::string_view kTableNames =
    "  day tables: racelist, racelistdetail, main, laptime, lapcheck, candidates; race tables (--slot N): pastruns, card, detail, "
    "lapcard, ranking, popularity, quinella";
constexpr std::string_view kViewUsage = "vornal-cli view --date DAY --slot N";

enum class Scope { Day, Race };

struct TableKind
{
    std::string_view name;
    std::string_view caption;
    Scope scope;
    std::optional<SortTable> sortTable;
};

const TableKind kTables[] = {
    {"main", "メイン用", Scope::Day, std::nullopt},
    {"laptime", "ﾗｯﾌﾟﾀｲﾑ", Scope::Day, std::nullopt},
    {"lapcheck", "ラップ検証表", Scope::Day, std::nullopt},
    {"candidates", "買い目候補", Scope::Day, std::nullopt},
    {"pastruns", "ランキング", Scope::Race, SortTable::PastRuns},
    {"card", "出馬表", Scope::Race, SortTable::RaceCard},
    {"detail", "個別詳細検討用", Scope::Race, std::nullopt},
    {"lapcard", "ﾗｯﾌﾟ出馬表", Scope::Race, SortTable::LapCard},
    {"ranking", "ﾗﾝｷﾝｸﾞ表", Scope::Race, SortTable::Ranking},
    {"popularity", "人気順位(秘)", Scope::Race, std::nullopt},
    {"quinella", "馬連予想配当", Scope::Race, std::nullopt},
};

const TableKind* FindTable(std::string_view name)
{
    for (const TableKind& kind : kTables) {
        if (kind.name == name || kind.caption == name) {
            return &kind;
        }
    }
    return nullptr;
}

std::optional<int> SlotOption(const CliContext& context)
{
    const std::optional<int> slot = ParseInt(context.Option("--slot").value_or(""));
    if (!slot || *slot < 0 || *slot >= kRaceSlots) {
        return std::nullopt;
    }
    return slot;
}

const TuningTables* LoadTables(CliContext& context, DaySession& session)
{
    std::string message;
    const TuningTables* tables = session.Tables(message);
    if (tables == nullptr) {
        context.err << "vornal-cli: " << ToUtf8(message) << "\n";
    }
    return tables;
}

void PrintUtf8Lines(CliContext& context, const std::string& cp932Text)
{
    context.out << ToUtf8(cp932Text);
}

int PrintRaceList(CliContext& context, const RaceDay& day)
{
    for (const RaceListEntry& entry : BuildRaceList(day)) {
        context.out << entry.Slot << "\t" << ToUtf8(entry.Text);
        if (entry.Incomplete) {
            context.out << "\t" << ToUtf8(IncompleteRaceNote());
        }
        context.out << "\n";
    }
    return kExitOk;
}

} // namespace

std::vector<ViewTableName> ViewTableNames()
{
    std::vector<ViewTableName> names;
    for (const TableKind& kind : kTables) {
        names.push_back({kind.name, kind.caption, kind.scope == Scope::Race});
    }
    return names;
}

int PrintViewTable(CliContext& context, DaySession& session, const std::string& name, std::optional<int> slot,
                   TableOutput output)
{
    if (name == "racelistdetail") {
        PrintUtf8Lines(context, output == TableOutput::Text ? GridText(BuildRaceListDetail())
                                                            : GridLines(BuildRaceListDetail(), "\n"));
        return kExitOk;
    }
    const TableKind* kind = FindTable(name);
    if (kind == nullptr && name != "racelist") {
        context.err << "vornal-cli: no table \"" << name << "\"\n" << kTableNames << "\n";
        return kExitUsage;
    }
    if (kind != nullptr && kind->scope == Scope::Race && !slot) {
        context.err << "vornal-cli: --slot N (0.." << kRaceSlots - 1 << ") is required for a race table\n";
        return kExitUsage;
    }
    const RaceDay& day = *session.Day();
    if (kind == nullptr) {
        return PrintRaceList(context, day);
    }
    CellGrid grid;
    std::string title;
    if (kind->scope == Scope::Day) {
        const std::function<CellGrid(const RaceDay&)> builders[] = {BuildMainTable, BuildLapTimeTable,
                                                                    BuildLapCheckTable, BuildBetCandidateTable};
        grid = builders[kind - kTables](day);
        title = DayTitle(day);
    } else {
        const TuningTables* tables = LoadTables(context, session);
        if (tables == nullptr) {
            return kExitFailure;
        }
        RaceAnalysis view = ShowRaceAnalysis(day, *tables, *slot);
        if (view.Message) {
            context.err << "vornal-cli: " << ToUtf8(*view.Message) << "\n";
            return kExitFailure;
        }
        const std::string_view which = kind->name;
        if (which == "quinella") {
            for (const std::string& line : view.QuinellaList) {
                context.out << ToUtf8(line) << "\n";
            }
            return kExitOk;
        }
        grid = which == "pastruns"  ? view.PastRuns
               : which == "card"    ? view.RaceCard
               : which == "detail"  ? view.DetailGrid
               : which == "lapcard" ? view.LapCard
               : which == "ranking" ? view.Ranking
                                    : view.PopularityOrder;
        title = which == "pastruns"  ? RaceTitle(day, *slot, CourseForm::Short)
                : which == "lapcard" ? LapCardTitle(day, *slot)
                                     : RaceTitle(day, *slot, CourseForm::Display);
    }
    if (const std::optional<std::string> caption = context.Option("--sort")) {
        if (!kind->sortTable || !PressToggle(grid, *kind->sortTable, *caption)) {
            context.err << "vornal-cli: the table has no toggle \"" << *caption << "\"\n";
            return kExitUsage;
        }
    }
    PrintUtf8Lines(context, output == TableOutput::Clipboard ? ClipboardText(grid, title)
                            : output == TableOutput::Text    ? GridText(grid)
                                                             : GridLines(grid, "\n"));
    return kExitOk;
}

int RunTable(CliContext& context)
{
    const std::optional<std::string> dayName = DayNameOption(context);
    const std::optional<std::string> name = context.Option("--name");
    if (!dayName || !name) {
        context.err << "vornal-cli: --date DAY and --name NAME are required\nusage: " << kTableUsage << "\n";
        return kExitUsage;
    }
    DaySession session(context.appDir);
    if (LoadDayForCli(context, session, *dayName) == nullptr) {
        return kExitFailure;
    }
    const TableOutput output = context.Flag("--clipboard") ? TableOutput::Clipboard
                               : context.Flag("--text")    ? TableOutput::Text
                                                           : TableOutput::Tsv;
    return PrintViewTable(context, session, *name, SlotOption(context), output);
}

int RunView(CliContext& context)
{
    const std::optional<std::string> dayName = DayNameOption(context);
    const std::optional<int> slot = SlotOption(context);
    if (!dayName || !slot) {
        context.err << "vornal-cli: --date DAY and --slot N are required\nusage: " << kViewUsage << "\n";
        return kExitUsage;
    }
    DaySession session(context.appDir);
    const RaceDay* day = LoadDayForCli(context, session, *dayName);
    const TuningTables* tables = day != nullptr ? LoadTables(context, session) : nullptr;
    if (day == nullptr || tables == nullptr) {
        return kExitFailure;
    }
    const RaceAnalysis view = ShowRaceAnalysis(*day, *tables, *slot);
    if (view.Message) {
        // The window shows the message and leaves its grids hidden: not a failure.
        context.out << "message\t" << ToUtf8(*view.Message) << "\n";
        return kExitOk;
    }
    auto line = [&](std::string_view key, const std::string& cp932) {
        context.out << key << "\t" << ToUtf8(cp932) << "\n";
    };
    if (view.Incomplete) {
        line("incomplete", IncompleteRaceNote());
    }
    const RaceHeaderTexts& h = view.Header;
    line("RunnerCount", h.RunnerCount);
    line("Course", h.CourseName);
    line("RaceNumber", h.RaceNumber);
    line("DateLine", h.DateLine);
    line("RaceName", h.RaceName);
    line("WeightKind", h.WeightKind);
    line("Class", h.Class);
    line("Track", h.Track);
    line("TrackPanel", h.TurfPanel ? "turf" : "dirt");
    line("Distance", h.Distance);
    line("PostTime", h.PostTime);
    line("Grade", h.Grade);
    for (const LapPanelRow& row : view.LapPanels) {
        line("LapPanel", row.Caption + "\t" + row.SampleCount + "\t" + row.Mean + "\t" + row.StdDev + "\t" +
                             row.SpreadPlus + "\t" + row.SpreadMinus);
    }
    line("Share", view.Share.Share);
    line("AbilityMean", view.Share.AbilityMean);
    line("AbilitySpread", view.Share.AbilitySpread);
    line("ShareClass", std::to_string(view.Share.ShareClass));
    for (const std::string& text : view.Share.Percentages) {
        line("ShareClassPercent", text);
    }
    for (const std::string& text : view.Share.Averages) {
        line("ShareClassAverage", text);
    }
    for (const std::string& text : view.QuinellaList) {
        line("Quinella", text);
    }
    for (const PickBox& pick : view.ComboPicks) {
        line("ComboPick", pick.Text + "\t" + pick.Payout + "\t" + (pick.Hit ? "red" : ""));
    }
    line("RunnerPick",
         view.RunnerPick.Text + "\t" + view.RunnerPick.Payout + "\t" + (view.RunnerPick.Hit ? "red" : ""));
    auto results = [&](std::string_view key, std::span<const ResultRow> rows) {
        for (const ResultRow& row : rows) {
            line(key, row.Key + "\t" + row.Popularity + "\t" + row.Payout);
        }
    };
    results("WinResult", view.Results.Win);
    results("PlaceResult", view.Results.Place);
    results("BracketResult", view.Results.Bracket);
    results("QuinellaResult", view.Results.Quinella);
    results("WideResult", view.Results.Wide);
    return kExitOk;
}

int RunTuning(CliContext& context)
{
    DaySession session(context.appDir);
    const TuningTables* tables = LoadTables(context, session);
    if (tables == nullptr) {
        return kExitFailure;
    }
    const std::vector<TuningTab> tabs = BuildTuningTabs(*tables);
    const std::optional<std::string> name = context.Option("--name");
    for (const TuningTab& tab : tabs) {
        for (const TuningView& view : tab.Views) {
            if (!name) {
                // The list of views: tab, view, and whether only the developer view shows it.
                context.out << ToUtf8(tab.Caption) << "\t" << ToUtf8(view.Caption)
                            << (tab.DeveloperOnly ? "\tdeveloper" : "") << "\n";
            } else if (ToUtf8(view.Caption) == *name) {
                PrintUtf8Lines(context, context.Flag("--text") ? GridText(view.Grid) : GridLines(view.Grid, "\n"));
                return kExitOk;
            }
        }
    }
    if (name) {
        context.err << "vornal-cli: no tuning view \"" << *name << "\"; vornal-cli tuning lists them\n";
        return kExitUsage;
    }
    return kExitOk;
}

} // namespace vornal::cli
