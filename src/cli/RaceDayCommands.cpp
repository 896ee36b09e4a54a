#include "cli/RaceDayCommands.h"

#include <cmath>
#include <ostream>

#include "cli/CellCommands.h"
#include "cli/DayLoad.h"
#include "raceday/RaceDayJson.h"
#include "cli/TableCommands.h"
#include "present/RaceAnalysisView.h"
#include "present/RaceLabels.h"
#include "present/RaceList.h"
#include "results/DayTotalsJson.h"
#include "results/HitJudgement.h"
#include "results/HitReport.h"
#include "vocab/Combinations.h"
#include "vocab/RacingTerms.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"

namespace vornal::cli {
namespace {

// One line per race: slot, race key, race name, distance, track, runners.
void PrintRaceLine(CliContext& context, const RaceSlot& race, int slot)
{
    context.out << fmt::sprintf("%2d %s %s %sm track %s %d runners\n", slot, ToUtf8(race.SlotKey),
                                ToUtf8(TrimRight(race.RaceName.View())), ToUtf8(race.DistanceText),
                                ToUtf8(race.TrackCode), race.RunnerCount);
}

std::optional<std::string> RequireDay(CliContext& context, std::string_view usage)
{
    std::optional<std::string> dayName = DayNameOption(context);
    if (!dayName && !context.Option("--date")) {
        context.err << "vornal-cli: --date DAY is required, as 2026年01月05日 or 20260105\nusage: " << usage << "\n";
    }
    return dayName;
}

constexpr std::string_view kRaceUsage =
    "vornal-cli race --date DAY --slot N [--json | --table pastruns|lapcard|ranking|card|detail|quinella|popularity "
    "[--sort TOGGLE] [--tsv | --clipboard] | --cells racecard|detail|margin|lapcard|ranking [--sort TOGGLE] "
    "[--width W --height H]]";
constexpr std::string_view kDayUsage =
    "vornal-cli day --date DAY [--json | --table racelist|main|laptime|lapcheck|candidates|hitreport [--tsv | "
    "--clipboard] | --cells main|laptime|lapcheck]";

TableOutput OutputOption(const CliContext& context)
{
    return context.Flag("--clipboard") ? TableOutput::Clipboard
           : context.Flag("--tsv")     ? TableOutput::Tsv
                                       : TableOutput::Text;
}

std::string Trimmed(std::string_view cp932)
{
    return ToUtf8(TrimRight(cp932));
}

// The bets, the single-runner pick and the judgement of one race, as the race view shows them.
void PrintRaceBets(CliContext& context, const RaceSlot& race, const BetRecord& bets)
{
    context.out << "   買い目:";
    bool any = false;
    for (int i = 1; i <= 3; ++i) {
        if (IsBlank(bets.BetCombos[i].View())) {
            continue;
        }
        any = true;
        const int q = QuinellaIndex(bets.BetCombos[i].View());
        const double predicted = q > 0 ? race.PredictedQuinellaPayout[q] : 0.0;
        context.out << fmt::sprintf(" [%s]", ToUtf8(bets.BetCombos[i].View()));
        // -1 and -2 mark market odds without a price: no payout to print.
        if (predicted > 0.0) {
            context.out << fmt::sprintf(" 予想%.0f円", predicted);
        }
        if (bets.QuinellaHit[i]) {
            context.out << fmt::sprintf(" 馬連的中%d円", bets.QuinellaHitPay[i]);
        }
        if (bets.WideHit[i]) {
            context.out << fmt::sprintf(" ﾜｲﾄﾞ的中%d円", bets.WideHitPay[i]);
        }
    }
    if (!any) {
        context.out << " なし";
    }
    if (bets.BetRunner > 0 && bets.BetRunner <= kRunnerSlots) {
        const Runner& runner = race.Runners[bets.BetRunner - 1];
        context.out << fmt::sprintf("  単複: %d %s 予想単勝%.0f円", bets.BetRunner, Trimmed(runner.HorseName.View()),
                                    runner.PredictedWinPayout);
        if (bets.WinHit) {
            context.out << fmt::sprintf(" 単勝的中%d円", bets.WinHitPay);
        }
        if (bets.PlaceHit) {
            context.out << fmt::sprintf(" 複勝的中%d円", bets.PlaceHitPay);
        }
    }
    context.out << "\n";
    if (race.WinResult[0].Key > 0) {
        context.out << fmt::sprintf("   結果: 単勝 %d %d円", race.WinResult[0].Key, race.WinResult[0].Payout);
        if (race.QuinellaResult[0].Payout > 0) {
            context.out << fmt::sprintf("  馬連 %s %d円", ToUtf8(race.QuinellaResult[0].Key.View()),
                                        race.QuinellaResult[0].Payout);
        }
        context.out << fmt::sprintf("  (%s%s%s%s)\n", ToUtf8(bets.ResultMarkQuinella.View()),
                                    ToUtf8(bets.ResultMarkWide.View()), ToUtf8(bets.ResultMarkWin.View()),
                                    ToUtf8(bets.ResultMarkPlace.View()));
    }
}

const char* ColourName(HitCellColour colour)
{
    switch (colour) {
    case HitCellColour::White: return "white";
    case HitCellColour::InfoTip: return "infotip";
    case HitCellColour::Red: return "red";
    case HitCellColour::Magenta: return "magenta";
    case HitCellColour::Cyan: return "cyan";
    case HitCellColour::Yellow: return "yellow";
    case HitCellColour::LightGrey: return "lightgrey";
    }
    return "";
}

// The hit evaluation report ("的中判定") as the window shows it: per tab its title, headers,
// one line of cell texts and one of cell colours per race, the totals and the notes.
int PrintHitReport(CliContext& context, const RaceDay& day, const std::string& dayName, const DayTotals& totals)
{
    const std::optional<HitReport> report = BuildHitReport(day, dayName, totals);
    if (!report) {
        context.err << "vornal-cli: " << ToUtf8(NoDayForHitReportMessage()) << "\n";
        return kExitFailure;
    }
    auto cells = [&](std::string_view key, const auto& texts) {
        context.out << key;
        for (const std::string& text : texts) {
            context.out << "\t" << ToUtf8(text);
        }
        context.out << "\n";
    };
    context.out << "window\t" << ToUtf8(report->WindowTitle) << "\n";
    for (const HitReportTable* table : {&report->QuinellaWide, &report->WinPlace}) {
        context.out << "tab\t" << ToUtf8(table->TabName) << "\n";
        context.out << "title\t" << ToUtf8(table->Title) << "\n";
        cells("header", table->Headers);
        for (const HitReportRow& row : table->Rows) {
            context.out << "row\t" << row.Slot;
            for (const HitReportCell& cell : row.Cells) {
                context.out << "\t" << ToUtf8(cell.Text);
            }
            context.out << "\ncolour\t" << row.Slot;
            for (const HitReportCell& cell : row.Cells) {
                context.out << "\t" << ColourName(cell.Colour);
            }
            context.out << "\n";
        }
        cells("captions", report->TotalsCaptions);
        for (const HitReportTotals& line : table->Totals) {
            context.out << "totals\t" << ToUtf8(line.Label);
            for (const std::string& text : line.Texts) {
                context.out << "\t" << ToUtf8(text);
            }
            context.out << "\n";
        }
        cells("note", report->Notes);
    }
    return kExitOk;
}

} // namespace

int RunRace(CliContext& context)
{
    const std::optional<std::string> dayName = RequireDay(context, kRaceUsage);
    if (!dayName) {
        return kExitUsage;
    }
    const std::optional<int> slot = ParseInt(context.Option("--slot").value_or(""));
    if (!slot || *slot < 0 || *slot >= kRaceSlots) {
        context.err << "vornal-cli: --slot N is required, a race slot 0.." << kRaceSlots - 1
                    << "\nusage: " << kRaceUsage << "\n";
        return kExitUsage;
    }
    DaySession session(context.appDir);
    const RaceDay* day = LoadDayForCli(context, session, *dayName);
    if (day == nullptr) {
        return kExitFailure;
    }
    if (!day->Races[*slot].RaceLoaded) {
        context.err << "vornal-cli: the day has no race in slot " << *slot << " (" << day->RaceCount << " races)\n";
        return kExitFailure;
    }
    if (const std::optional<std::string> table = context.Option("--table")) {
        if (*table == "hitreport") {
            return PrintHitReport(context, *day, *dayName, session.Totals());
        }
        return PrintViewTable(context, session, *table, *slot, OutputOption(context));
    }
    if (const std::optional<std::string> cells = context.Option("--cells")) {
        return PrintCells(context, session, *slot, *cells);
    }
    if (context.Flag("--json")) {
        std::string out;
        JsonWriter json(out);
        WriteRaceJson(json, *day, *dayName, *slot, &session.Warnings());
        return PrintDayJson(context, out, json);
    }
    const RaceSlot& race = day->Races[*slot];
    // The listing shows the same figures as the JSON and refuses the same way.
    for (int h = 0; h < race.RunnerCount; ++h) {
        const Runner& runner = race.Runners[h];
        if (!std::isfinite(runner.WinOdds) || !std::isfinite(runner.AchievementProb) ||
            !std::isfinite(runner.PredictedWinPayout)) {
            context.err << "vornal-cli: runner " << h + 1
                        << " has figures that are not finite numbers; nothing is printed\n";
            return kExitFailure;
        }
    }
    PrintRaceLine(context, race, *slot);
    if (race.incomplete) {
        context.out << "  " << ToUtf8(IncompleteRaceNote()) << "\n";
    }
    context.out << "  馬 馬名               騎手       単勝  実績確率 順  予想単勝 単順 着順\n";
    for (int h = 0; h < race.RunnerCount; ++h) {
        const Runner& runner = race.Runners[h];
        // Odds below 0 are the "no odds" markers: no cell.
        const std::string odds = runner.WinOdds >= 0.0 ? fmt::sprintf("%6.1f", runner.WinOdds) : std::string(6, ' ');
        const std::string finish = runner.FinishPos > 0 ? fmt::sprintf("%4d", runner.FinishPos) : std::string(4, ' ');
        context.out << fmt::sprintf("  %s %s %s %s %8.2f%% %2d %9.0f %4d %s\n", ToUtf8(runner.HorseNo),
                                    ToUtf8(runner.HorseName), ToUtf8(runner.JockeyName), odds,
                                    runner.AchievementProb * 100.0, runner.RankAchievement, runner.PredictedWinPayout,
                                    runner.WinRank, finish);
    }
    return kExitOk;
}

int RunDay(CliContext& context)
{
    const std::optional<std::string> dayName = RequireDay(context, kDayUsage);
    if (!dayName) {
        return kExitUsage;
    }
    DaySession session(context.appDir);
    const RaceDay* day = LoadDayForCli(context, session, *dayName);
    if (day == nullptr) {
        return kExitFailure;
    }
    if (const std::optional<std::string> table = context.Option("--table")) {
        if (*table == "hitreport") {
            return PrintHitReport(context, *day, *dayName, session.Totals());
        }
        return PrintViewTable(context, session, *table, std::nullopt, OutputOption(context));
    }
    if (const std::optional<std::string> cells = context.Option("--cells")) {
        return PrintDayCells(context, session, *cells);
    }
    if (context.Flag("--json")) {
        return PrintSessionDayJson(context, session, *dayName);
    }
    context.out << ToUtf8(*dayName) << "  " << ToUtf8(day->BetKindSuffix) << "\n";
    for (const RaceListEntry& entry : BuildRaceList(*day)) {
        const RaceSlot& race = day->Races[entry.Slot];
        context.out << fmt::sprintf("%2d %s %s %2d頭 %s%sm\n", entry.Slot, ToUtf8(entry.Text), Trimmed(race.RaceName.View()),
                                    race.RunnerCount, ToUtf8(TrackLabel(race.TrackCode.View())),
                                    ToUtf8(TrimRight(race.DistanceText.View())));
        if (entry.Incomplete) {
            context.out << "   " << ToUtf8(IncompleteRaceNote()) << "\n";
        }
        if (race.RaceLoaded) {
            PrintRaceBets(context, race, day->Bets[entry.Slot]);
        }
    }
    context.out << "合計\t買い点数\t的中点数\t買い金額\t回収金額\t回収率\n";
    for (BetType type : kBetTypes) {
        const BetTypeTotals& t = session.Totals()[type];
        context.out << fmt::sprintf("%s\t%d点\t%d点\t%lld円\t%lld円\t%s\n", ToUtf8(BetTypeName(type)), t.Points, t.Hits,
                                    t.Staked(), t.Returned, ToUtf8(t.RateText()));
    }
    return kExitOk;
}

} // namespace vornal::cli
