#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "app/Status.h"
#include "samplegen/SampleDate.h"
#include "samplegen/SampleFeed.h"
#include "samplegen/SeasonModel.h"

// `vornal-cli samplegen`: a synthetic season written as a replay feed, optionally with the
// outside program's time-series odds folder and the three tuning files. The same options
// always give the same bytes.
namespace vornal::samplegen {

struct SampleOptions
{
    std::filesystem::path feedDir;
    std::uint64_t seed = 1;
    int days = 60;                 // race days (Saturdays and Sundays)
    int courses = 0;               // racecourses a day, 1..3; 0: the calendar's two or three
    SampleDate start{2026, 1, 3};  // the season begins on the first weekend day from here
    std::optional<SampleDate> end; // instead of `start`: the last race day is the last weekend day up to here
    std::optional<std::filesystem::path> tuningDir;
    std::optional<std::filesystem::path> timeSeriesDir;
    bool allHorseMasters = false;
};

constexpr int kMaxDays = 1000;

struct SampleSummary
{
    SampleDate firstDay;
    SampleDate lastDay;
    int raceDays = 0;
    int races = 0; // JRA races, the last day's included
    int outsideRaces = 0;
    int runners = 0;
    int horses = 0; // horses that ran or are entered
    int jockeys = 0;
    int trainers = 0;
    int feedFiles = 0;
    long long feedBytes = 0;
    double favouriteWinRate = 0; // over the published races
    std::string acquireFrom;     // from-time that reads the whole feed
};

// The first race day of the season the options describe (with `end`, counted back).
SampleDate SeasonStart(const SampleOptions& options);

// The season of the options, in memory.
Season BuildSampleSeason(const SampleOptions& options);

// Generates the season and writes the feed (replacing the .jvd files of an earlier feed in
// its folders), the time-series files and the tuning files the options ask for. Fails with
// a message (UTF-8, for the terminal) naming the file that could not be written, or an
// option out of range.
Result<SampleSummary> GenerateSample(const SampleOptions& options);

SampleSummary Summarise(const Season& season, const SampleFeed& feed);

} // namespace vornal::samplegen
