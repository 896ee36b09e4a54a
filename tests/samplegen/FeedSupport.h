#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "samplegen/SampleFeed.h"
#include "samplegen/SampleGenerator.h"

// One season and its feed shared by the invariant tests (building it takes a moment), and
// small readers for the records of the feed.
namespace vornal::samplegen::test {

struct Fixture
{
    SampleOptions options;
    Season season;
    SampleFeed feed;
};

inline const Fixture& SharedFixture()
{
    static const Fixture fixture = [] {
        Fixture f;
        f.options.seed = 7;
        f.options.days = 30;
        f.options.start = {2026, 1, 3};
        f.season = BuildSampleSeason(f.options);
        FeedOptions feedOptions;
        feedOptions.seed = f.options.seed;
        feedOptions.allHorseMasters = true;
        feedOptions.timeSeries = true;
        f.feed = BuildFeed(f.season, feedOptions);
        return f;
    }();
    return fixture;
}

// The records of a file, each with its CR LF. A trailing piece without CR LF is returned as
// it is, so that a broken file shows as a short record.
inline std::vector<std::string_view> SplitRecords(std::string_view bytes)
{
    std::vector<std::string_view> records;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        const std::size_t stop = end == std::string_view::npos ? bytes.size() : end + 2;
        records.push_back(bytes.substr(start, stop - start));
        start = stop;
    }
    return records;
}

inline std::string_view At(std::string_view record, int position, int length)
{
    return record.substr(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(length));
}

inline int Num(std::string_view record, int position, int length)
{
    int value = 0;
    for (char c : At(record, position, length)) {
        value = value * 10 + (c - '0');
    }
    return value;
}

inline bool Digits(std::string_view text)
{
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

inline bool Blank(std::string_view text)
{
    return text.find_first_not_of(' ') == std::string_view::npos;
}

// Every record of the feed folder's files whose path starts with `prefix`, in name order.
inline std::vector<std::string_view> RecordsUnder(const SampleFeed& feed, std::string_view prefix)
{
    std::vector<std::string_view> records;
    for (const FeedFile& file : feed.feed) {
        if (file.path.rfind(prefix, 0) == 0) {
            for (std::string_view record : SplitRecords(file.bytes)) {
                records.push_back(record);
            }
        }
    }
    return records;
}

// The results of the published races as the feed reports them: division 7 for JRA races,
// A and B outside.
inline std::vector<std::string_view> ResultRecords(const SampleFeed& feed, std::string_view kind)
{
    std::vector<std::string_view> out;
    for (std::string_view record : RecordsUnder(feed, "stored/")) {
        if (At(record, 1, 2) == kind && (record[2] == '7' || record[2] == 'A' || record[2] == 'B')) {
            out.push_back(record);
        }
    }
    return out;
}

} // namespace vornal::samplegen::test

namespace vornal::samplegen::test {

// A race of the feed: its RA record, its runners' SE records by horse number and its HR.
struct FeedRace
{
    std::string_view ra;
    std::vector<std::string_view> runners;
    std::string_view hr;
};

// The JRA races of the feed with results (division 7), by race key.
inline std::map<std::string, FeedRace> ResultRaces(const SampleFeed& feed)
{
    std::map<std::string, FeedRace> races;
    for (std::string_view record : RecordsUnder(feed, "stored/")) {
        if (record[2] != '7' && !(At(record, 1, 2) == "HR" && record[2] == '2')) {
            continue;
        }
        FeedRace& race = races[std::string(At(record, 12, 16))];
        if (At(record, 1, 2) == "RA") {
            race.ra = record;
        } else if (At(record, 1, 2) == "SE") {
            race.runners.push_back(record);
        } else if (At(record, 1, 2) == "HR") {
            race.hr = record;
        }
    }
    return races;
}

} // namespace vornal::samplegen::test
