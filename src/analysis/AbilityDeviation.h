#pragma once

#include "app/Status.h"
#include "raceday/RaceDay.h"

// The ability deviation table, the "実力偏差値" command: the runners' ability indices as
// race-relative deviation values, and an R index and R time for every past run, ranked
// across all past runs of the race.
namespace vornal {

// Processes every race slot whose runner slot 0 holds horse number 1, in slot order; the
// other slots are left as they are. First every such race is reset: AbilityMean,
// AbilitySpread, and per runner slot AbilityDeviation and the R fields of its five runs are
// 0, and PastRowCount counts the present runs plus one row for each runner slot without any.
// Then per race:
//   - AbilityMean and AbilitySpread (sample standard deviation) of the positive ability
//     indices; each such runner gets (AbilityIndex - AbilityMean) / AbilitySpread x 10 + 50.
//     When the spread is 0 (one index, or all equal) the runners get 50 and the spread
//     stays 0.
//   - Every run at a JRA racecourse with a known margin gets RIndex = 100 - ClassMargin -
//     margin - grade bonus (G1 -1.4, G2 -1.0, G3 -0.6, 特別 -0.2, so a graded run scores
//     higher), and RTime = RIndex + PastBaseTime when it has a base time. The margin is 0
//     for a winner and the time difference in seconds for a runner placed 2nd or lower; a
//     run without a finishing position, or placed without a time difference, is not scored.
//   - RIndexRank and RTimeRank: descending, values compared at one decimal, ties to the
//     larger grade code (blank as "000"), then the higher runner slot, then the older run.
//
// A time difference that is not a signed number stops the pass: the result names the race
// slot, the runner and the run; the races before it keep their results.
Status ComputeAbilityDeviation(RaceDay& day);

} // namespace vornal
