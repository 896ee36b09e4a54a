#pragma once

#include "cli/CliContext.h"

namespace vornal::cli {

// "print --date DAY --sheet race|allbets|hits|table [--name TABLE] [--slot N] [--pdf FILE] [--json]":
// the pages of a printed sheet of the loaded day, as a PDF file and/or as the page model in JSON.
// --slot N keeps the race sheet of race slot N alone, or names the race of a race table
// ("--sheet table --name pastruns|lapcard|ranking"). Writing a PDF needs the Qt build; the
// build without Qt says so and exits 2.
int RunPrint(CliContext& context);

} // namespace vornal::cli
