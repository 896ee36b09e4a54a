#pragma once

#include "cli/CliContext.h"

namespace vornal::cli {

// "report [--from DAY] [--to DAY] --method no1[,no2,...] [--set NAME] [--by course,surface,...]
// [--csv DIR] [--json] [--threads N] [--seed N]": the season report of the methods over the
// stored days of the range (days with time-series odds judged at decision time), as text,
// as JSON, and with --csv also as CSV files in DIR.
int RunReport(CliContext& context);

} // namespace vornal::cli
