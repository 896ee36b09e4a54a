#include "cli/RaceDayCommands.h"

#include <ostream>

#include "cli/DayLoad.h"
#include "raceday/RaceDayJson.h"
#include "results/DayTotalsJson.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"

namespace vornal::cli {
namespace {

// Prints the JSON text; a value that was not finite is a fault of the pass that made it.
int PrintJson(CliContext& context, const std::string& out, const JsonWriter& json)
{
    context.out << out << "\n";
    if (json.NonFiniteCount() > 0) {
        context.err << "vornal-cli: " << json.NonFiniteCount() << " values were not finite numbers (written as null)\n";
        return kExitFailure;
    }
    return kExitOk;
}

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
    if (!dayName) {
        context.err << "vornal-cli: --date DAY is required, as 2026年01月05日 or 20260105\nusage: " << usage << "\n";
    }
    return dayName;
}

constexpr std::string_view kRaceUsage = "vornal-cli race --date DAY --slot N [--json]";
constexpr std::string_view kDayUsage = "vornal-cli day --date DAY [--json]";

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
    if (context.Flag("--json")) {
        std::string out;
        JsonWriter json(out);
        WriteRaceJson(json, *day, *dayName, *slot);
        return PrintJson(context, out, json);
    }
    const RaceSlot& race = day->Races[*slot];
    PrintRaceLine(context, race, *slot);
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
    if (context.Flag("--json")) {
        std::string out;
        JsonWriter json(out);
        WriteDayJson(json, *day, *dayName, [&session](JsonWriter& writer) {
            writer.Key("DayTotals");
            WriteDayTotalsJson(writer, session.Totals());
        });
        return PrintJson(context, out, json);
    }
    for (int r = 0; r < kRaceSlots; ++r) {
        if (day->Races[r].RaceLoaded) {
            PrintRaceLine(context, day->Races[r], r);
        }
    }
    return kExitOk;
}

} // namespace vornal::cli
