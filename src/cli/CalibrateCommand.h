#pragma once

#include "cli/CliContext.h"

namespace vornal::cli {

// "calibrate --from DAY --to DAY [--out DIR] [--install --yes] [--method no1[,...]]
// [--prior N] [--threads N] [--json]": measures the tuning tables again on the stored days
// of the range (learning from the first two thirds, judged on the rest) and writes the new
// files into DIR ("calibrated" in the application folder by default). --install --yes
// replaces the files in use, keeping the old ones as "<name>.old".
int RunCalibrate(CliContext& context);

} // namespace vornal::cli
