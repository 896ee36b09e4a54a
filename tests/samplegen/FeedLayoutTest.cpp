#include <gtest/gtest.h>

#include <set>

#include "FeedSupport.h"
#include "samplegen/SampleDate.h"
#include "text/Format.h"

namespace vornal::samplegen::test {
namespace {

const FeedFile* FileNamed(const SampleFeed& feed, std::string_view part)
{
    for (const FeedFile& file : feed.feed) {
        if (file.path.find(part) != std::string::npos) {
            return &file;
        }
    }
    return nullptr;
}

std::set<std::string> RaceKeys(std::string_view bytes, std::string_view kind)
{
    std::set<std::string> keys;
    for (std::string_view record : SplitRecords(bytes)) {
        if (At(record, 1, 2) == kind) {
            keys.insert(std::string(At(record, 12, 16)));
        }
    }
    return keys;
}

std::set<char> Divisions(std::string_view bytes, std::string_view kind)
{
    std::set<char> divisions;
    for (std::string_view record : SplitRecords(bytes)) {
        if (At(record, 1, 2) == kind) {
            divisions.insert(record[2]);
        }
    }
    return divisions;
}

TEST(FeedLayout, StoredFilesAreNamedByTimeInTheOrderOfEvents)
{
    const Fixture& f = SharedFixture();
    std::string previous;
    for (const FeedFile& file : f.feed.feed) {
        if (file.path.rfind("stored/", 0) != 0) {
            continue;
        }
        const std::string name = file.path.substr(7);
        ASSERT_GT(name.size(), 19u) << name;
        EXPECT_TRUE(Digits(name.substr(0, 14))) << name;
        EXPECT_EQ(name[14], '-') << name;
        EXPECT_EQ(name.substr(name.size() - 4), ".jvd") << name;
        EXPECT_LT(previous, name);
        previous = name;
    }
    // An acquisition from the advertised from-time reads the first file.
    const std::string from = AcquireFromText(f.season);
    const std::string digits = from.substr(0, 4) + from.substr(5, 2) + from.substr(8, 2) + "000000";
    EXPECT_LT(digits, f.feed.feed.front().path.substr(7, 14));
}

TEST(FeedLayout, PastDaysHaveFlashResultsThenFinalResults)
{
    const Fixture& f = SharedFixture();
    for (std::size_t d = 0; d + 1 < f.season.raceDays.size(); ++d) {
        const std::string tag = DateDigits(f.season.raceDays[d].date);
        const FeedFile* flash = FileNamed(f.feed, "RACE-FLASH-" + tag);
        const FeedFile* results = FileNamed(f.feed, "RACE-RESULTS-" + tag);
        ASSERT_NE(flash, nullptr) << tag;
        ASSERT_NE(results, nullptr) << tag;
        EXPECT_LT(flash->path.substr(7, 14), results->path.substr(7, 14));
        EXPECT_EQ(flash->path.substr(7, 8), tag);
        EXPECT_EQ(RaceKeys(flash->bytes, "RA"), RaceKeys(results->bytes, "RA")) << tag;
        EXPECT_EQ(RaceKeys(results->bytes, "RA"), RaceKeys(results->bytes, "HR")) << tag;
        EXPECT_EQ(Divisions(flash->bytes, "RA"), std::set<char>{'6'});
        EXPECT_EQ(Divisions(flash->bytes, "SE"), std::set<char>{'6'});
        EXPECT_EQ(Divisions(flash->bytes, "HR"), std::set<char>{'1'});
        EXPECT_EQ(Divisions(results->bytes, "RA"), std::set<char>{'7'});
        EXPECT_EQ(Divisions(results->bytes, "SE"), std::set<char>{'7'});
        EXPECT_EQ(Divisions(results->bytes, "HR"), std::set<char>{'2'});
        for (const std::string& key : RaceKeys(results->bytes, "RA")) {
            EXPECT_EQ(key.substr(0, 8), tag);
        }
    }
}

TEST(FeedLayout, RacesOutsideJraAreDivisionsAAndB)
{
    const Fixture& f = SharedFixture();
    int files = 0;
    for (const FeedFile& file : f.feed.feed) {
        const bool local = file.path.find("RACE-LOCAL-") != std::string::npos;
        const bool abroad = file.path.find("RACE-ABROAD-") != std::string::npos;
        if (!local && !abroad) {
            continue;
        }
        ++files;
        for (std::string_view record : SplitRecords(file.bytes)) {
            EXPECT_EQ(record[2], local ? 'A' : 'B') << file.path;
            const std::string_view course = At(record, 20, 2);
            if (local) {
                EXPECT_TRUE(Digits(course) && Num(record, 20, 2) >= 30 && Num(record, 20, 2) <= 61) << course;
            } else {
                EXPECT_FALSE(Digits(course)) << course;
            }
        }
        EXPECT_EQ(RaceKeys(file.bytes, "HR").size(), 0u) << "no payouts outside JRA";
    }
    EXPECT_EQ(files, static_cast<int>(f.season.outsideRaces.size()));
}

TEST(FeedLayout, TheLastDayHasEntriesAndCardsButNoStoredResults)
{
    const Fixture& f = SharedFixture();
    const RaceDay& last = f.season.raceDays.back();
    const std::string tag = DateDigits(last.date);
    const FeedFile* entries = FileNamed(f.feed, "RACE-ENTRIES-" + tag);
    const FeedFile* cards = FileNamed(f.feed, "RACE-CARDS-" + tag);
    ASSERT_NE(entries, nullptr);
    ASSERT_NE(cards, nullptr);
    EXPECT_LT(entries->path, cards->path);
    EXPECT_LT(cards->path.substr(7, 8), tag);
    EXPECT_EQ(Divisions(entries->bytes, "RA"), std::set<char>{'1'});
    EXPECT_EQ(Divisions(cards->bytes, "SE"), std::set<char>{'2'});
    EXPECT_EQ(RaceKeys(entries->bytes, "RA"), RaceKeys(cards->bytes, "RA"));
    EXPECT_EQ(RaceKeys(cards->bytes, "RA").size(), last.races.size());
    for (std::string_view se : SplitRecords(entries->bytes)) {
        if (At(se, 1, 2) == "SE") {
            EXPECT_EQ(At(se, 28, 3), "000"); // the draw for frames and numbers is not yet made
        }
    }
    std::map<std::string, std::set<int>> numbers;
    for (std::string_view se : SplitRecords(cards->bytes)) {
        if (At(se, 1, 2) == "SE") {
            numbers[std::string(At(se, 12, 16))].insert(Num(se, 29, 2));
            EXPECT_EQ(At(se, 335, 2), "00");
        }
    }
    for (std::string_view ra : SplitRecords(cards->bytes)) {
        if (At(ra, 1, 2) == "RA") {
            const std::set<int>& drawn = numbers[std::string(At(ra, 12, 16))];
            EXPECT_EQ(static_cast<int>(drawn.size()), Num(ra, 882, 2));
            EXPECT_EQ(*drawn.rbegin(), Num(ra, 882, 2));
            EXPECT_EQ(At(ra, 889, 2), "00"); // going not known yet
        }
    }
    for (const FeedFile& file : f.feed.feed) {
        if (file.path.rfind("stored/", 0) == 0 && file.path != entries->path && file.path != cards->path) {
            for (const std::string& key : RaceKeys(file.bytes, "RA")) {
                EXPECT_NE(key.substr(0, 8), tag) << file.path;
            }
        }
    }
}

TEST(FeedLayout, RealtimeFoldersServeTheLastDaysResultsAndOdds)
{
    const Fixture& f = SharedFixture();
    const RaceDay& last = f.season.raceDays.back();
    const std::string tag = DateDigits(last.date);
    const FeedFile* results = FileNamed(f.feed, "realtime/0B12/" + tag + ".jvd");
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(Divisions(results->bytes, "RA"), std::set<char>{'6'});
    EXPECT_EQ(RaceKeys(results->bytes, "HR"), RaceKeys(results->bytes, "RA"));
    const std::set<std::string> keys = RaceKeys(results->bytes, "RA");
    EXPECT_EQ(keys.size(), last.races.size());

    // The odds of each race: announcements in time order ending with the final odds, which
    // are the odds of the results.
    std::map<std::string, std::string_view> finalOdds;
    for (std::string_view se : SplitRecords(results->bytes)) {
        if (At(se, 1, 2) == "SE") {
            finalOdds[std::string(At(se, 12, 16)) + std::string(At(se, 29, 2))] = At(se, 360, 4);
        }
    }
    for (const std::string& key : keys) {
        const FeedFile* odds = FileNamed(f.feed, "realtime/0B30/" + key + ".jvd");
        ASSERT_NE(odds, nullptr) << key;
        const std::vector<std::string_view> records = SplitRecords(odds->bytes);
        ASSERT_GE(records.size(), 5u) << key;
        EXPECT_EQ(At(records.back(), 1, 2), "O2") << key;
        std::string previous;
        std::string_view finalO1;
        for (std::string_view o1 : records) {
            if (At(o1, 1, 2) != "O1") {
                continue;
            }
            EXPECT_EQ(At(o1, 12, 16), key);
            EXPECT_NE(o1[2], '0');
            EXPECT_NE(o1[2], '9');
            // Month-day-hour-minute keeps its order except across a new year.
            EXPECT_LT(previous, std::string(At(o1, 28, 8))) << key;
            previous = std::string(At(o1, 28, 8));
            finalO1 = o1;
        }
        EXPECT_EQ(At(finalO1, 28, 4), key.substr(4, 4)) << key;
        for (int n = 1; n <= 18; ++n) {
            const auto it = finalOdds.find(key + fmt::format("{:02d}", n));
            const std::string_view win = At(finalO1, 46 + 8 * (n - 1), 4);
            if (it == finalOdds.end()) {
                EXPECT_TRUE(Blank(win)) << key << " horse " << n;
            } else if (it->second == "0000") {
                EXPECT_EQ(win, "----") << key << " horse " << n; // scratched
            } else {
                EXPECT_EQ(win, it->second) << key << " horse " << n;
                EXPECT_LE(Num(finalO1, 270 + 12 * (n - 1), 4), Num(finalO1, 274 + 12 * (n - 1), 4));
            }
        }
    }
}

TEST(FeedLayout, TimeSeriesFolderHoldsTheMorningsOdds)
{
    const Fixture& f = SharedFixture();
    // Every day of the season, so that every day can be judged at decision time.
    std::set<std::string> tags;
    std::size_t races = 0;
    for (const RaceDay& day : f.season.raceDays) {
        tags.insert(DateDigits(day.date));
        races += day.races.size();
    }
    ASSERT_EQ(f.feed.timeSeries.size(), races);
    int previousDay = 0;
    for (const FeedFile& file : f.feed.timeSeries) {
        ASSERT_EQ(file.path.size(), 8 + 1 + 8 + 5) << file.path;
        const std::string tag = file.path.substr(0, 8);
        EXPECT_TRUE(tags.contains(tag)) << file.path;
        EXPECT_EQ(file.path.substr(8, 1), "/");
        EXPECT_EQ(file.path.substr(17), ".jvO1");
        const std::string key = tag + file.path.substr(9, 8);
        const FeedFile* realtime = FileNamed(f.feed, "realtime/0B30/" + key + ".jvd");
        ASSERT_NE(realtime, nullptr);
        EXPECT_EQ(realtime->bytes.substr(0, file.bytes.size()), file.bytes);
        for (std::string_view o1 : SplitRecords(file.bytes)) {
            previousDay += At(o1, 28, 4) != At(o1, 16, 4) ? 1 : 0;
        }
    }
    EXPECT_GT(previousDay, 0) << "the main races are also sold the day before";
}

} // namespace
} // namespace vornal::samplegen::test
