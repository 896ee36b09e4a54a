#pragma once

#include "raceday/RaceDay.h"

// The six-character axis code of every runner: a compact summary of running style, rating
// ranks and predicted-payout rank, refined per past run by its placing and grade.
namespace vornal {

// The axis codes of one race slot, for every runner slot below the registered count (RA
// position 882). Characters, each "0" unless set:
//   1 "C" when the runner races near the front (RunningStyle 3 or less);
//   3 "$" when RankAvgMargin or RankFinalGoal is 1..3;
//   6 the WinRank: "A", "B", "C" for 1..3, the digit for 4..9, "-" for 10 or more;
// characters 2, 4 and 5 stay "0". That base code goes to PastAxisCode of the latest run;
// every JRA run within 400 m of today's distance that has a base time gets the base code
// with character 2 "J" (placed 1st or 2nd within 200 m of today's distance) and character
// 5 "*" (base-time grade "5"). RunnerAxisCode becomes the code of the runner's best run,
// which the past-performance pass leaves in RunnerAxisCode as the single digit of its run
// index, or of the latest run when there is none.
//
// Runs after the rating pass, the predicted payouts and the lap analysis, whose ranks it
// reads, and after the past-performance pass of the same day load.
void AxisCodes(RaceDay& day, int race);

} // namespace vornal
