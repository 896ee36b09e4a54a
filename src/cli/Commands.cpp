#include "cli/Commands.h"

#include <algorithm>
#include <array>
#include <ostream>

#include "cli/BetCommands.h"
#include "cli/CalibrateCommand.h"
#include "cli/DocCommand.h"
#include "cli/OddsCommands.h"
#include "cli/PrintCommand.h"
#include "cli/RaceDayCommands.h"
#include "cli/RecordOddsCommand.h"
#include "cli/ReportCommand.h"
#include "cli/SamplegenCommand.h"
#include "cli/StoreCommands.h"
#include "cli/TableCommands.h"
#include "app/ErrorLog.h"
#include "session/DaySession.h"
#include "text/Encoding.h"

namespace vornal::cli {

std::span<const Command> AllCommands()
{
    static const std::array commands = {
        Command{"help", "help", "list the commands", &RunHelp},
        Command{"samplegen",
                "samplegen --feed DIR [--seed N] [--days N] [--courses N] [--start YYYY-MM-DD | --end YYYY-MM-DD] [--tuning DIR] "
                "[--timeseries DIR] [--all-masters]",
                "write a synthetic sample season as a replay feed (and the tuning files)", &RunSamplegen,
                {"--feed", "--seed", "--days", "--courses", "--start", "--end", "--tuning", "--timeseries"}, {"--all-masters"}},
        Command{"acquire",
                "acquire --feed DIR | --bridge \"COMMAND ARG...\" [--from \"yyyy/mm/dd hh:nn:ss\"] [--arrival-wait SECONDS] "
                "[--no-wait]",
                "bulk acquisition from a replay feed or a bridge into the store; prints the created-file lines (waits for "
                "another writer of the folder, or with --no-wait refuses; gives up when no data arrives for "
                "--arrival-wait seconds, 10..86400, default the settings file's JVLink/ArrivalWaitSeconds or 300)",
                &RunAcquire, {"--feed", "--bridge", "--from", "--arrival-wait"}, {"--no-wait"}},
        Command{"results", "results --feed DIR | --bridge \"COMMAND ARG...\" --date DAY [--no-wait]",
                "results retrieval of one day from a replay feed or a bridge (one writer at a time, as acquire)", &RunResults,
                {"--feed", "--bridge", "--date"}, {"--no-wait"}},
        Command{"odds", "odds --feed DIR | --bridge \"COMMAND ARG...\" --date DAY [--slot N | --all] [--json]",
                "quick odds of one race or of every race from a replay feed or a bridge, imported into the day; with "
                "--json the day as it stands after the import, as day --json prints it (the progress on the error stream)",
                &RunOdds, {"--feed", "--bridge", "--date", "--slot"}, {"--all", "--no-wait", "--json"}},
        Command{"tsodds", "tsodds [--folder DIR] --date DAY [--json]",
                "take each race's odds snapshot nearest to its odds time from the time-series folder; with --json "
                "the day as it stands after the import", &RunTimeSeriesOdds,
                {"--folder", "--date"}, {"--no-wait", "--json"}},
        Command{"record-odds",
                "record-odds --feed DIR | --bridge \"COMMAND ARG...\" --date DAY [--every MIN] [--from HH:MM] "
                "[--folder DIR] [--simulate HH:MM [--pace MS]] [--no-wait]",
                "record every race's odds of the day as they move, every MIN minutes (10) from HH:MM (now) until "
                "each race's post time, into the time-series folder (--folder, else the one chosen); a failed fetch is "
                "logged in ErrorLog.txt and tried again; a restart adds only new announcements. --simulate runs on a "
                "clock starting at HH:MM of the race day that skips every wait (--pace MS: each wait lasts MS)",
                &RunRecordOdds, {"--feed", "--bridge", "--date", "--every", "--from", "--folder", "--simulate", "--pace"},
                {"--no-wait"}},
        Command{"oddstime", "oddstime [MINUTES]", "show or set the odds time, minutes before post time (3..59)",
                &RunOddsTime, {}, {}, 1},
        Command{"dates", "dates", "the stored race dates, newest first", &RunDates},
        Command{"day",
                "day --date DAY [--json | --table racelist|main|laptime|lapcheck|candidates|hitreport [--tsv | "
                "--clipboard] | --cells main|laptime|lapcheck]",
                "load the day and run every pass: the races with their bets, results and hits, the day totals; or one "
                "day table, the hit evaluation report (hitreport: texts and colours of its cells), or the cell "
                "colours of a day table as JSON",
                &RunDay, {"--date", "--table", "--cells"}, {"--json", "--tsv", "--clipboard"}},
        Command{"race",
                "race --date DAY --slot N [--json | --table pastruns|lapcard|ranking|card|detail|quinella|popularity "
                "[--sort TOGGLE] [--tsv | --clipboard] | --cells racecard|detail|margin|lapcard|ranking [--sort TOGGLE] "
                "[--width W --height H]]",
                "one race of the loaded day: every race, runner and past-run field, one table of the race view, or "
                "the painted cells of a grid or the margin chart as JSON",
                &RunRace, {"--date", "--slot", "--table", "--sort", "--cells", "--width", "--height"},
                {"--json", "--tsv", "--clipboard"}},
        Command{"table", "table --date DAY --name NAME [--slot N] [--sort CAPTION] [--clipboard | --text]",
                "one table of the screens (race list, day tables, race tables) as TAB-separated lines", &RunTable,
                {"--date", "--name", "--slot", "--sort"}, {"--clipboard", "--text"}},
        Command{"view", "view --date DAY --slot N", "the texts of the race analysis view of one race", &RunView,
                {"--date", "--slot"}},
        Command{"print",
                "print --date DAY --sheet race|allbets|hits|table [--name TABLE] [--slot N] [--pdf FILE] [--json]",
                "the printed sheets of the loaded day (race sheets, all bets, hit report, the tabs' tables) as PDF "
                "or page data",
                &RunPrint, {"--date", "--sheet", "--name", "--slot", "--pdf"}, {"--json"}},
        Command{"tuning", "tuning [--name VIEW] [--text]",
                "the views of the tuning tables (tab, view), or one view as TAB-separated lines", &RunTuning,
                {"--name"}, {"--text"}},
        Command{"doc", "doc",
                "the reference page of the day JSON's keys, the tables' columns and the commands (Markdown), as "
                "docs/cli-reference.md holds it",
                &RunDoc},
        Command{"usersets", "usersets", "the user betting rule sets of UserSet.usd", &RunUserSets},
        Command{"userset", "userset save --fields \"NAME,...\" [--yes] [--no-wait] | userset delete --name NAME [--yes] [--no-wait]",
                "save or delete a user betting rule set, with the settings window's checks", &RunUserSet,
                {"--fields", "--name"}, {"--yes", "--no-wait"}, 1},
        Command{"backtest",
                "backtest [--from DAY] [--to DAY] --method no1|no2|user|sp1|sp2|sp3 [--set NAME] [--json] [--write-ksr] "
                "[--threads N]",
                "judge a betting method over the stored days; per-day hit lines and the totals", &RunBacktest,
                {"--from", "--to", "--method", "--set", "--threads"}, {"--json", "--write-ksr"}},
        Command{"report",
                "report [--from DAY] [--to DAY] --method no1[,no2,...] [--set NAME] "
                "[--by course,surface,distance,class,field,month,odds] [--csv DIR] [--json] [--threads N] [--seed N]",
                "season report of betting methods: totals by breakdown, profit curve, drawdown, losing streaks, "
                "bootstrap interval, predicted against paid payouts",
                &RunReport, {"--from", "--to", "--method", "--set", "--by", "--csv", "--threads", "--seed"}, {"--json"}},
        Command{"calibrate",
                "calibrate --from DAY --to DAY [--out DIR] [--install --yes] [--method no1[,no2,...]] [--set NAME] "
                "[--prior N] [--threads N] [--json]",
                "measure the tuning tables again on the stored days: learn from the first two thirds, judge on the "
                "rest against the tables in use, and write the new files",
                &RunCalibrate, {"--from", "--to", "--out", "--method", "--set", "--prior", "--threads"},
                {"--install", "--yes", "--json"}},
    };
    return commands;
}

int RunHelp(CliContext& context)
{
    context.out << "Vornal: analysis workbench for JRA race days.\n\n"
                   "usage: vornal-cli [--app-dir DIR] COMMAND [OPTIONS]\n"
                   "       vornal-cli --version\n\n"
                   "The application folder holds the store (Data, SEI, SEIR), vornal.ini and the tuning\n"
                   "files. It defaults to the folder of the executable; --app-dir or VORNAL_APP_DIR\n"
                   "override it. DAY is a date as 2026年01月05日 or 20260105.\n\n"
                   "commands:\n";
    for (const Command& command : AllCommands()) {
        context.out << "  " << command.usage << "\n      " << command.summary << "\n";
    }
    return kExitOk;
}

} // namespace vornal::cli

namespace vornal::cli {

std::optional<std::string> UnknownArgument(const Command& command, const std::vector<std::string>& args)
{
    auto among = [](const std::vector<std::string_view>& names, const std::string& arg) {
        return std::find(names.begin(), names.end(), arg) != names.end();
    };
    int words = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (among(command.valued, args[i])) {
            if (i + 1 == args.size()) {
                return args[i];
            }
            ++i;
        } else if (among(command.flags, args[i])) {
            continue;
        } else if (args[i].rfind("--", 0) == 0 || ++words > command.words) {
            return args[i];
        }
    }
    return std::nullopt;
}

void StartUp(CliContext& context)
{
    for (const std::string& message : DaySession(context.appDir).MigrateFileNames()) {
        context.err << "vornal-cli: " << ToUtf8(message) << "\n";
    }
}

} // namespace vornal::cli
