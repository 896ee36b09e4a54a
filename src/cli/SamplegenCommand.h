#pragma once

#include "cli/CliContext.h"

namespace vornal::cli {

// samplegen --feed DIR [--seed N] [--days N] [--courses N] [--start YYYY-MM-DD | --end YYYY-MM-DD]
//           [--tuning DIR] [--timeseries DIR] [--all-masters]:
// writes the synthetic sample season as a replay feed.
int RunSamplegen(CliContext& context);

} // namespace vornal::cli
