#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "samplegen/SeasonModel.h"

// The sample season as a replay feed: the files the replay link serves, built in memory.
//
//   stored/<yyyymmddhhnnss>-<name>.jvd  per past race day a flash file on the evening of the
//                                       day (RA/SE division 6, HR division 1) and a results
//                                       file later that night (division 7, HR 2); a file per
//                                       race outside JRA (division A or B); for the last day
//                                       the entries (division 1, Thursday) and race cards
//                                       (division 2, Friday); the masters (UM, KS, CH) on
//                                       the evening before the last day.
//   realtime/0B12/<YYYYMMDD>.jvd        the last day's results (division 6, HR 1)
//   realtime/0B30/<RaceKey>.jvd         every day's odds of each race: O1 announcements
//                                       through the morning, then the final O2
// and, apart from the feed, the outside program's time-series odds of every day:
//   <YYYYMMDD>/<JJKKNNRR>.jvO1          O1 announcements of one race, oldest first
namespace vornal::samplegen {

struct FeedFile
{
    std::string path; // relative, '/'-separated
    std::string bytes;
};

struct FeedOptions
{
    std::uint64_t seed = 1;
    bool allHorseMasters = false; // every horse of the season instead of the last day's runners
    bool timeSeries = false;
};

struct SampleFeed
{
    std::vector<FeedFile> feed;       // relative to the feed folder
    std::vector<FeedFile> timeSeries; // relative to the time-series folder
};

SampleFeed BuildFeed(const Season& season, const FeedOptions& options);

// The from-time ("yyyy/mm/dd hh:nn:ss") before the first stored file of the feed: an
// acquisition from it reads the whole season.
std::string AcquireFromText(const Season& season);

} // namespace vornal::samplegen
