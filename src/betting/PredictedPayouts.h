#pragma once

#include "app/TuningTables.h"
#include "raceday/RaceDay.h"

// Predicted payouts ("配当計算", TanHaiBtn): the runners' places in the ten ratings turned
// into win, top-two and B shares, predicted win and quinella payouts, the win and B
// rankings, the quinella popularity ranks, a predicted margin behind the leader and the
// race's popularity share.
//
// Reads the RA record of each race slot, the nine rating ranks and AchievementProb of the
// rating pass and RunningStyleRank of the past-performance pass; writes WinShare,
// TopTwoShare, TopTwoChance, BShare, PredictedWinPayout, WinRank, BRank and
// PredictedMargin of the runners below the registered count, QuinellaProb,
// PredictedQuinellaPayout and QuinellaRank of their combinations, and PopularityShare.
namespace vornal {

// Processes race slots 0..35 in order; a slot whose racecourse code is blank or "00" or
// whose year is blank is left untouched. Never fails.
//
// Undefined divisions are settled so the step always completes: a field of fewer than 3
// runners takes the field-size row of 3; a share whose sum over the race is 0 is 0 for
// every runner; a runner (or combination) whose share is 0 gets no predicted payout (0),
// and a combination without a payout gets no quinella rank.
void ComputePredictedPayouts(RaceDay& day, const TuningTables& tables);

// The predicted win payout per 100 yen of a win share in percent: 80 / share x 100 (the
// pool pays back 80 %), cut down to a multiple of 10 and kept within 100 .. 9999900; 0 (no
// payout) when the share is not positive.
double PredictedWinPayoutOf(double winShare);
// The predicted quinella payout of a quinella probability (a fraction): 75 / probability,
// cut and kept within bounds the same way; 0 when the probability is not positive.
double PredictedQuinellaPayoutOf(double quinellaProb);

} // namespace vornal
