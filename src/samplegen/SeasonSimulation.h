#pragma once

#include <cstdint>

#include "samplegen/SeasonModel.h"

// The season: race days on Saturdays and Sundays from the first weekend day on or after
// `start`, each with the programme of its racecourses, the fields drawn from the horses that
// are fit and suited, the races run, and the horses' careers moving on; now and then a local
// exchange race in midweek or a race abroad. The last race day is run too (the world needs
// a result) but marked unpublished: the feed shows only its entries.
namespace vornal::samplegen {

Season SimulateSeason(std::uint64_t seed, const SampleDate& start, int raceDays, int courses = 0);

// The first `count` Saturdays and Sundays from `start` on, as day numbers.
std::vector<int> RaceDayNumbers(const SampleDate& start, int count);

} // namespace vornal::samplegen
