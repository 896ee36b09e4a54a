#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliContext.h"
#include "session/DaySession.h"

namespace vornal::cli {

// "table --date DAY --name NAME [--slot N] [--sort CAPTION] [--clipboard | --text]": one table
// of the screens as TAB-separated UTF-8 lines, with --clipboard as the "ｸﾘｯﾌﾟﾎﾞｰﾄﾞ" button
// copies it (title line, CR LF), with --text aligned for reading. --sort presses the table's
// toggle of that caption first.
int RunTable(CliContext& context);

enum class TableOutput { Text, Tsv, Clipboard };

// One table of the loaded day, by its name (the day tables "racelist", "main", "laptime",
// "lapcheck", "candidates"; the race tables of slot `slot` "pastruns", "card", "detail",
// "lapcard", "ranking", "popularity", "quinella"), after pressing the toggle of "--sort"
// when given: aligned text, TAB-separated lines, or the clipboard text with its title.
int PrintViewTable(CliContext& context, DaySession& session, const std::string& name, std::optional<int> slot,
                   TableOutput output);

// "view --date DAY --slot N": the texts of the race analysis view of one race.
int RunView(CliContext& context);
// tuning [--name VIEW] [--text]: the views of the tuning tables, or one of them as TAB-separated
// lines (aligned text with --text).
int RunTuning(CliContext& context);

// A table `table --name` knows: its name, its caption on the screen, and whether it is a
// race table (needs --slot).
struct ViewTableName
{
    std::string_view name;
    std::string_view caption;
    bool race = false;
};
std::vector<ViewTableName> ViewTableNames();

} // namespace vornal::cli
