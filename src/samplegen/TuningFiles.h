#pragma once

#include <string>

#include "samplegen/SeasonModel.h"

// The three tuning files in their binary formats (little-endian doubles and 32-bit
// integers in fixed-size records).
namespace vornal::samplegen {

// "GateAdj.dat": 15 records of 72 doubles. Records 4..14 hold, in doubles 36..53, the gate
// adjustment of runner slots 0..17 for fields of 8..18 runners. Sample values: about one and
// a half seconds, growing a little with the field and towards the outside gates.
std::string GateAdjBytes();

// "RT.dat": two records of 4400 bytes. Record 1 holds the finishing statistics of the
// season's JRA starters by the number of the past run looked at (1..11, 1 the latest) and
// the finishing bucket of that run (1..8, 9 for ninth or worse, 10 for no placing or no such
// run): starters, wins, win rate, top-two finishes and rate, top-three finishes and rate.
// Record 0 holds the same for flat races only. A row without any win (a season too short
// for it) takes the season's overall rates, so that every row can be normalised.
std::string RotationBytes(const Season& season);

// "senuj.dat": one record of 2448 doubles. For share classes 1..8: the hit rate (percent)
// of quinella ranks 1..153, falling geometrically, faster for the classes where the money
// is more concentrated; then the expected return as a ratio of the stake (1.0 breaks even),
// mostly below 1.0 with a band of value ranks per class and one long shot above 2.0.
// Sample values, not derived from the season.
std::string RankHitBytes();

// The rotation statistics themselves, [k-1][b-1], for tests and the README's figures.
struct RotationCounts
{
    int races[11][10]{};
    int wins[11][10]{};
    int topTwo[11][10]{};
    int topThree[11][10]{};
};
RotationCounts CountRotations(const Season& season, bool flatOnly);

} // namespace vornal::samplegen
