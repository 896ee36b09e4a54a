#pragma once

#include <cstdint>

#include "samplegen/SeasonModel.h"

// The population of the sample season: horses of every crop that races during it, with
// their hidden abilities and what they had done before it began, and the riders and
// trainers with their records of the year before.
namespace vornal::samplegen {

// Streams of the random source, one per part of the world.
enum : std::uint64_t {
    kStreamPeople = 1,
    kStreamHorses = 2,
    kStreamDay = 3,
    kStreamOutside = 4,
    kStreamOdds = 5,
    kStreamCalendar = 6,
};

// Builds the world for a season from `firstDay` to `lastDay` (day numbers).
World CreateWorld(std::uint64_t seed, int firstDay, int lastDay);

// Finishing counts of a year of `starts` rides or runners at the strength `edge` (seconds a
// mile above the average): wins, seconds and thirds rise with it, the rest are unplaced.
PlaceCounts TypicalYear(int starts, double edge);

} // namespace vornal::samplegen
