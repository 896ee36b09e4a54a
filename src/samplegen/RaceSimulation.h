#pragma once

#include "samplegen/SampleRandom.h"
#include "samplegen/SeasonModel.h"

// Running a race whose field is set: late scratchings, the betting, the race itself (times,
// positions in running, the last 600 m, margins, dead heats, horses pulled up) and the prize
// money and payouts that follow.
namespace vornal::samplegen {

// Runs `race`. Each runner must carry its horse number, frame, weight, true rating on the
// day (`rating`) and the market's estimate (`market`). `payouts` is false for races outside
// JRA, whose pools the feed does not report.
void RunRace(Race& race, SampleRandom& random, bool payouts);

// Margin value of a runner that did not finish or did not start ("9999" in the record).
constexpr int kNoMargin = 9999;

// How the market turns ratings into win chances. Tuned so that the favourite wins about a
// third of the races and the odds on offer are close to the real chances.
constexpr double kMarketTemperature = 0.70;

} // namespace vornal::samplegen
