#pragma once

#include "cli/CliContext.h"

namespace vornal::cli {

// "table --date DAY --name NAME [--slot N] [--sort CAPTION] [--clipboard | --text]": one table
// of the screens as TAB-separated UTF-8 lines, with --clipboard as the "ｸﾘｯﾌﾟﾎﾞｰﾄﾞ" button
// copies it (title line, CR LF), with --text aligned for reading. --sort presses the table's
// toggle of that caption first.
int RunTable(CliContext& context);

// "view --date DAY --slot N": the texts of the race analysis view of one race.
int RunView(CliContext& context);

} // namespace vornal::cli
