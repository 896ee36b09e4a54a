#include "cli/TableCommands.h"

#include <memory>
#include <ostream>

#include "cli/DayLoad.h"
#include "present/ClipboardText.h"
#include "present/GridSort.h"
#include "present/RaceAnalysisView.h"
#include "present/RaceList.h"
#include "present/RaceListDetail.h"
#include "present/TuningViews.h"
#include "present/ViewRegistry.h"
#include "text/Encoding.h"
#include "text/Fields.h"

namespace vornal::cli {
namespace {

// A view the table command prints: one with a grid or a list of lines.
bool IsTable(const ViewDescription& view)
{
    return view.DayBuilder != nullptr || view.RaceGrid != nullptr || view.RaceLines != nullptr;
}

// The usage lists every table by name and caption: the day tables, then those of one race.
std::string TableUsage()
{
    std::string usage = "vornal-cli table --date DAY --name NAME [--slot N] [--sort CAPTION] [--clipboard | --text]\n"
                        "  day tables: racelist, racelistdetail (the grid below the race list)";
    std::string race = "  race tables (--slot N):";
    const char* separator = " ";
    for (const ViewDescription& view : Views()) {
        if (!IsTable(view)) {
            continue;
        }
        const std::string entry = std::string(view.Id) + " (" + std::string(view.Caption) + ")";
        if (view.Scope == ViewScope::Day) {
            usage += ", " + entry;
        } else {
            race += separator + entry;
            separator = ", ";
        }
    }
    return usage + "\n" + race;
}
constexpr std::string_view kTableNames =
    "  day tables: racelist, racelistdetail, main, laptime, lapcheck, candidates; race tables (--slot N): pastruns, card, detail, "
    "lapcard, ranking, popularity, quinella";
constexpr std::string_view kViewUsage = "vornal-cli view --date DAY --slot N";

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
    for (const ViewDescription& view : Views()) {
        if (IsTable(view)) {
            names.push_back({view.Id, view.Caption, view.Scope == ViewScope::Race});
        }
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
    const ViewDescription* kind = FindView(name);
    if (kind != nullptr && !IsTable(*kind)) {
        kind = nullptr;
    }
    if (kind == nullptr && name != "racelist") {
        context.err << "vornal-cli: no table \"" << name << "\"\n" << kTableNames << "\n";
        return kExitUsage;
    }
    if (kind != nullptr && kind->Scope == ViewScope::Race && !slot) {
        context.err << "vornal-cli: --slot N (0.." << kRaceSlots - 1 << ") is required for a race table\n";
        return kExitUsage;
    }
    const RaceDay& day = *session.Day();
    if (kind == nullptr) {
        return PrintRaceList(context, day);
    }
    CellGrid grid;
    std::string title;
    if (kind->Scope == ViewScope::Day) {
        grid = ViewGrid(*kind, day, nullptr);
        title = ViewTitleText(kind->ListingTitle, day, 0);
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
        if (kind->RaceLines != nullptr) {
            for (const std::string& line : view.*kind->RaceLines) {
                context.out << ToUtf8(line) << "\n";
            }
            return kExitOk;
        }
        grid = ViewGrid(*kind, day, &view);
        title = ViewTitleText(kind->ListingTitle, day, *slot);
    }
    if (const std::optional<std::string> caption = context.Option("--sort")) {
        if (!kind->Sort || !PressToggle(grid, *kind->Sort, *caption)) {
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
        context.err << "vornal-cli: --date DAY and --name NAME are required\nusage: " << TableUsage() << "\n";
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
