#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "FeedSupport.h"
#include "samplegen/Courses.h"
#include "samplegen/SampleDate.h"
#include "text/Format.h"

namespace vornal::samplegen::test {
namespace {

SampleDate DateOf(std::string_view record)
{
    return {Num(record, 12, 4), Num(record, 16, 2), Num(record, 18, 2)};
}

int SurfaceClass(int track)
{
    return track >= 51 ? 3 : track >= 23 ? 2 : 1;
}

TEST(SeasonFeed, RaceDaysAreWeekendsOfTwoOrThreeCoursesWithTwelveRaces)
{
    const Fixture& f = SharedFixture();
    std::map<std::string, std::map<std::string, std::set<int>>> days; // date -> course -> race numbers
    for (const auto& [key, race] : ResultRaces(f.feed)) {
        days[key.substr(0, 8)][key.substr(8, 2)].insert(Num(race.ra, 26, 2));
    }
    ASSERT_EQ(days.size(), static_cast<std::size_t>(f.options.days - 1)); // the last day has no results yet
    for (const auto& [date, courses] : days) {
        const int weekday = Weekday(
            DayNumber({std::stoi(date.substr(0, 4)), std::stoi(date.substr(4, 2)), std::stoi(date.substr(6, 2))}));
        EXPECT_TRUE(weekday == 0 || weekday == 6) << date;
        EXPECT_GE(courses.size(), 2u) << date;
        EXPECT_LE(courses.size(), 3u) << date;
        for (const auto& [course, numbers] : courses) {
            EXPECT_EQ(numbers.size(), 12u) << date << " " << course;
            EXPECT_EQ(*numbers.rbegin(), 12) << date << " " << course;
        }
    }
}

TEST(SeasonFeed, RacesFollowTheCourseLayoutsAndClasses)
{
    const Fixture& f = SharedFixture();
    std::set<std::string> conditions;
    std::set<char> grades;
    int jumps = 0;
    for (const auto& [key, race] : ResultRaces(f.feed)) {
        const CourseInfo* course = FindCourse(At(race.ra, 20, 2));
        ASSERT_NE(course, nullptr) << key;
        const int track = Num(race.ra, 706, 2);
        const int distance = Num(race.ra, 698, 4);
        const int surface = SurfaceClass(track);
        const std::span<const int> distances = Distances(*course, surface == 1   ? Surface::Turf
                                                                  : surface == 2 ? Surface::Dirt
                                                                                 : Surface::Jump);
        EXPECT_NE(std::find(distances.begin(), distances.end(), distance), distances.end()) << key << " " << distance;
        EXPECT_TRUE((track >= 10 && track <= 24) || (track >= 51 && track <= 59)) << key;
        const int registered = Num(race.ra, 882, 2);
        EXPECT_GE(registered, 5) << key;
        EXPECT_LE(registered, 18) << key;
        EXPECT_EQ(static_cast<int>(race.runners.size()), registered) << key;
        EXPECT_GE(race.ra[888], '1');
        EXPECT_LE(race.ra[888], '4');
        EXPECT_GE(race.ra[889], '1');
        EXPECT_LE(race.ra[889], '4');
        conditions.insert(std::string(At(race.ra, 635, 3)));
        grades.insert(race.ra[614]);
        jumps += surface == 3 ? 1 : 0;
        if (surface == 3) {
            EXPECT_TRUE(At(race.ra, 617, 2) == "18" || At(race.ra, 617, 2) == "19") << key;
        }
    }
    EXPECT_EQ(conditions, (std::set<std::string>{"701", "703", "005", "010", "016", "999"}));
    for (char grade : {' ', 'E', 'L', 'B', 'C'}) {
        EXPECT_TRUE(grades.count(grade)) << "grade " << grade;
    }
    EXPECT_GT(jumps, 10);
}

TEST(SeasonFeed, HorsesRunAtMostOnceADayAndInDateOrder)
{
    const Fixture& f = SharedFixture();
    std::map<std::string, std::vector<int>> runs; // horse id -> day numbers in feed order
    int outside = 0;
    for (std::string_view se : ResultRecords(f.feed, "SE")) {
        runs[std::string(At(se, 31, 10))].push_back(DayNumber(DateOf(se)));
        outside += se[2] != '7' ? 1 : 0;
    }
    EXPECT_GT(outside, 0) << "no runs at local racecourses or abroad";
    for (const auto& [id, days] : runs) {
        for (std::size_t i = 1; i < days.size(); ++i) {
            EXPECT_LT(days[i - 1], days[i]) << id;
        }
    }
    EXPECT_GT(runs.size(), 3000u);
}

TEST(SeasonFeed, HorseIdsCarryTheBirthYearAndAgesFitTheRaces)
{
    const Fixture& f = SharedFixture();
    for (const auto& [key, race] : ResultRaces(f.feed)) {
        const std::string_view kind = At(race.ra, 617, 2);
        const int year = Num(race.ra, 12, 4);
        for (std::string_view se : race.runners) {
            const int age = year - Num(se, 31, 4);
            EXPECT_EQ(At(se, 35, 1), "1") << key; // breed: thoroughbred
            EXPECT_GE(age, 2) << key;
            EXPECT_LE(age, 10) << key;
            if (kind == "12") {
                EXPECT_EQ(age, 3) << key;
            } else if (kind == "14" || kind == "19") {
                EXPECT_GE(age, 4) << key;
            }
        }
    }
}

TEST(SeasonFeed, TimesMarginsAndSectionalsAreConsistent)
{
    const Fixture& f = SharedFixture();
    double goodTurf = 0;
    double heavyTurf = 0;
    int goodCount = 0;
    int heavyCount = 0;
    for (const auto& [key, race] : ResultRaces(f.feed)) {
        const int distance = Num(race.ra, 698, 4);
        const int surface = SurfaceClass(Num(race.ra, 706, 2));
        std::vector<std::pair<int, std::string_view>> finishers;
        for (std::string_view se : race.runners) {
            if (Num(se, 335, 2) > 0) {
                finishers.emplace_back(Num(se, 335, 2), se);
            } else {
                EXPECT_EQ(At(se, 532, 4), "9999") << key;
                EXPECT_EQ(At(se, 339, 4), "0000") << key;
            }
        }
        std::sort(finishers.begin(), finishers.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        ASSERT_GE(finishers.size(), 2u) << key;
        auto tenths = [](std::string_view se) { return Num(se, 339, 1) * 600 + Num(se, 340, 3); };
        const int winner = tenths(finishers[0].second);
        const double perMetre = winner / 10.0 / distance;
        EXPECT_GT(perMetre, surface == 3 ? 0.060 : 0.054) << key;
        EXPECT_LT(perMetre, surface == 3 ? 0.080 : 0.070) << key;
        EXPECT_EQ(At(finishers[0].second, 532, 1), "-") << key;
        EXPECT_EQ(-Num(finishers[0].second, 533, 3), winner - tenths(finishers[1].second)) << key;
        int previous = winner;
        for (std::size_t i = 1; i < finishers.size(); ++i) {
            const std::string_view se = finishers[i].second;
            EXPECT_GE(tenths(se), previous) << key;
            previous = tenths(se);
            if (finishers[i].first > 1) {
                EXPECT_EQ(At(se, 532, 1), "+") << key;
                EXPECT_EQ(Num(se, 533, 3), std::min(tenths(se) - winner, 999)) << key;
            }
            const int last3F = Num(se, 391, 3);
            if (surface == 3) {
                EXPECT_NEAR(last3F, tenths(se) * 200.0 / distance, 1.0) << key; // average furlong
            } else {
                EXPECT_GE(last3F, 310) << key;
                EXPECT_LE(last3F, 499) << key;
                EXPECT_LT(last3F * 600.0 / distance, tenths(se)) << key;
            }
            for (int c = 1; c <= 4; ++c) {
                EXPECT_LE(Num(se, 352 + 2 * (c - 1), 2), static_cast<int>(race.runners.size())) << key;
            }
            EXPECT_GT(Num(se, 358, 2), 0) << key << " no position at the last corner";
        }
        if (surface == 1) {
            const double standard = StandardTime(Surface::Turf, distance);
            if (race.ra[888] == '1') {
                goodTurf += winner / 10.0 / standard;
                ++goodCount;
            } else if (race.ra[888] >= '3') {
                heavyTurf += winner / 10.0 / standard;
                ++heavyCount;
            }
        }
    }
    ASSERT_GT(goodCount, 20);
    ASSERT_GT(heavyCount, 5);
    EXPECT_GT(heavyTurf / heavyCount, goodTurf / goodCount) << "soft turf should ride slower";
}

TEST(SeasonFeed, WinningTimesLookLikeRealRacing)
{
    // Average winning times of the common distances, within a second or so of what JRA
    // winners of all classes run on good going.
    const Fixture& f = SharedFixture();
    std::map<std::pair<int, int>, std::pair<double, int>> times; // (surface, distance) -> sum, count
    for (const auto& [key, race] : ResultRaces(f.feed)) {
        if (race.ra[888] != '1' || race.ra[889] != '1') {
            continue;
        }
        for (std::string_view se : race.runners) {
            if (Num(se, 335, 2) == 1) {
                auto& slot = times[{SurfaceClass(Num(race.ra, 706, 2)), Num(race.ra, 698, 4)}];
                slot.first += Num(se, 339, 1) * 60 + Num(se, 340, 3) / 10.0;
                ++slot.second;
                break;
            }
        }
    }
    const std::pair<std::pair<int, int>, std::pair<double, double>> expected[] = {
        {{1, 1200}, {68.0, 70.5}}, {{1, 1600}, {93.0, 96.0}},   {{1, 2000}, {118.5, 122.0}},
        {{2, 1200}, {71.0, 74.0}}, {{2, 1800}, {111.0, 115.5}},
    };
    for (const auto& [where, range] : expected) {
        const auto& [sum, count] = times[where];
        ASSERT_GE(count, 5) << where.first << " " << where.second;
        EXPECT_GE(sum / count, range.first) << where.first << " " << where.second;
        EXPECT_LE(sum / count, range.second) << where.first << " " << where.second;
    }
}

TEST(SeasonFeed, OddsAgreeWithPopularityAndTheFavouriteWinsAboutAThird)
{
    const Fixture& f = SharedFixture();
    int races = 0;
    int favourites = 0;
    for (const auto& [key, race] : ResultRaces(f.feed)) {
        ++races;
        for (std::string_view se : race.runners) {
            const int odds = Num(se, 360, 4);
            const int popularity = Num(se, 364, 2);
            if (odds == 0) {
                EXPECT_EQ(popularity, 0) << key; // scratched
                continue;
            }
            int shorter = 0;
            for (std::string_view other : race.runners) {
                const int otherOdds = Num(other, 360, 4);
                shorter += otherOdds > 0 && otherOdds < odds ? 1 : 0;
            }
            EXPECT_EQ(popularity, shorter + 1) << key;
            favourites += popularity == 1 && Num(se, 335, 2) == 1 ? 1 : 0;
        }
    }
    EXPECT_GT(favourites, races * 0.25);
    EXPECT_LT(favourites, races * 0.42);
}

TEST(SeasonFeed, PayoutsAgreeWithTheFinishingOrder)
{
    const Fixture& f = SharedFixture();
    for (const auto& [key, race] : ResultRaces(f.feed)) {
        ASSERT_FALSE(race.hr.empty()) << key;
        std::map<int, std::string_view> byNumber;
        std::map<int, std::vector<int>> byPosition;
        int starters = 0;
        for (std::string_view se : race.runners) {
            byNumber[Num(se, 29, 2)] = se;
            byPosition[Num(se, 335, 2)].push_back(Num(se, 29, 2));
            starters += Num(se, 360, 4) > 0 ? 1 : 0;
        }
        auto entries = [&](int first, int keyLength, int stride, int count) {
            std::vector<std::pair<std::string, int>> out;
            for (int n = 0; n < count; ++n) {
                const std::string_view k = At(race.hr, first + n * stride, keyLength);
                if (!Blank(k)) {
                    out.emplace_back(std::string(k), Num(race.hr, first + keyLength + n * stride, 9));
                }
            }
            return out;
        };
        // Win: the horses placed first; a sole winner pays its odds.
        const auto win = entries(103, 2, 13, 3);
        ASSERT_EQ(win.size(), byPosition[1].size()) << key;
        if (win.size() == 1) {
            const std::string_view winner = byNumber[std::stoi(win[0].first)];
            EXPECT_EQ(Num(winner, 335, 2), 1) << key;
            EXPECT_EQ(win[0].second, Num(winner, 360, 4) * 10) << key;
            EXPECT_EQ(Num(race.hr, 114, 2), Num(winner, 364, 2)) << key;
        }
        // Place: the first three (two with fewer than eight starters).
        const int places = starters >= 8 ? 3 : 2;
        for (const auto& [horse, yen] : entries(142, 2, 13, 5)) {
            EXPECT_LE(Num(byNumber[std::stoi(horse)], 335, 2), places) << key;
            EXPECT_GE(yen, 100) << key;
            EXPECT_EQ(yen % 10, 0) << key;
        }
        // Quinella: the first two; bracket quinella their brackets (sold from nine runners).
        std::vector<int> firstTwo = byPosition[1];
        if (firstTwo.size() == 1) {
            firstTwo.insert(firstTwo.end(), byPosition[2].begin(), byPosition[2].end());
        }
        const auto quinella = entries(246, 4, 16, 3);
        ASSERT_FALSE(quinella.empty()) << key;
        const std::string pair =
            fmt::sprintf("%02d%02d", std::min(firstTwo[0], firstTwo[1]), std::max(firstTwo[0], firstTwo[1]));
        EXPECT_EQ(quinella[0].first, pair) << key;
        const auto bracket = entries(207, 2, 13, 3);
        if (Num(race.ra, 882, 2) >= 9) {
            ASSERT_FALSE(bracket.empty()) << key;
            const int fa = Num(byNumber[firstTwo[0]], 28, 1);
            const int fb = Num(byNumber[firstTwo[1]], 28, 1);
            EXPECT_EQ(bracket[0].first, fmt::sprintf("%d%d", std::min(fa, fb), std::max(fa, fb))) << key;
        } else {
            EXPECT_TRUE(bracket.empty()) << key;
        }
        // Wide: two of the first three.
        for (const auto& [horses, yen] : entries(294, 4, 16, 7)) {
            EXPECT_LE(Num(byNumber[std::stoi(horses.substr(0, 2))], 335, 2), 3) << key;
            EXPECT_LE(Num(byNumber[std::stoi(horses.substr(2, 2))], 335, 2), 3) << key;
            EXPECT_LT(horses.substr(0, 2), horses.substr(2, 2)) << key;
            EXPECT_GE(yen, 100) << key;
        }
        if (byPosition[1].size() == 1 && byPosition[2].size() == 1 && byPosition[3].size() == 1) {
            EXPECT_EQ(entries(294, 4, 16, 7).size(), 3u) << key;
            EXPECT_EQ(entries(142, 2, 13, 5).size(), static_cast<std::size_t>(places)) << key;
        }
    }
}

} // namespace
} // namespace vornal::samplegen::test
