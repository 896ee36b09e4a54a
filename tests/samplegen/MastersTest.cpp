#include <gtest/gtest.h>

#include <set>
#include <unordered_map>

#include "FeedSupport.h"
#include "samplegen/SampleDate.h"

namespace vornal::samplegen::test {
namespace {

using Counts = std::array<int, 6>;

int Bucket(int position)
{
    return position >= 1 && position <= 5 ? position - 1 : 5;
}

Counts ReadCounts(std::string_view record, int position, int width)
{
    Counts counts{};
    for (int i = 0; i < 6; ++i) {
        counts[static_cast<std::size_t>(i)] = Num(record, position + i * width, width);
    }
    return counts;
}

Counts Plus(Counts a, const Counts& b)
{
    for (std::size_t i = 0; i < 6; ++i) {
        a[i] += b[i];
    }
    return a;
}

std::string_view MastersFile(const Fixture& f)
{
    for (const FeedFile& file : f.feed.feed) {
        if (file.path.find("-MASTERS") != std::string::npos) {
            return file.bytes;
        }
    }
    return {};
}

bool Scratched(std::string_view se)
{
    return Num(se, 335, 2) == 0 && Num(se, 360, 4) == 0;
}

// What the feed shows of each horse's career: overall counts (every run) and JRA counts.
struct FeedCareer
{
    Counts overall{};
    Counts jra{};
    Counts jump{};
};

TEST(Masters, HorseMastersAgreeWithTheCareersInTheFeed)
{
    const Fixture& f = SharedFixture();
    std::unordered_map<std::string, FeedCareer> careers;
    const std::map<std::string, FeedRace> races = ResultRaces(f.feed);
    for (std::string_view se : ResultRecords(f.feed, "SE")) {
        if (Scratched(se)) {
            continue;
        }
        FeedCareer& career = careers[std::string(At(se, 31, 10))];
        const int bucket = Bucket(Num(se, 335, 2));
        ++career.overall[static_cast<std::size_t>(bucket)];
        if (se[2] == '7') {
            ++career.jra[static_cast<std::size_t>(bucket)];
            if (Num(races.at(std::string(At(se, 12, 16))).ra, 706, 2) >= 51) {
                ++career.jump[static_cast<std::size_t>(bucket)];
            }
        }
    }
    std::unordered_map<std::string, const Horse*> horses;
    for (const Horse& horse : f.season.world.horses) {
        horses[horse.id] = &horse;
    }

    int checked = 0;
    for (std::string_view um : SplitRecords(MastersFile(f))) {
        if (At(um, 1, 2) != "UM") {
            continue;
        }
        const std::string id(At(um, 12, 10));
        ASSERT_TRUE(horses.count(id)) << id;
        const Horse& horse = *horses[id];
        const FeedCareer career = careers[id];
        const Counts prior = Plus(horse.prior.flat, horse.prior.jump);
        EXPECT_EQ(ReadCounts(um, 1107, 3), Plus(prior, career.overall)) << id;
        const Counts jra = ReadCounts(um, 1125, 3);
        EXPECT_EQ(jra, Plus(prior, career.jra)) << id;
        EXPECT_EQ(ReadCounts(um, 1251, 3), Plus(horse.prior.jump, career.jump)) << id;
        // The groups by surface and direction, by going, and by distance all add up to the
        // JRA total (distance groups leave the steeplechases out).
        Counts bySurface{};
        Counts byGoing{};
        Counts byDistance{};
        for (int g = 0; g < 6; ++g) {
            bySurface = Plus(bySurface, ReadCounts(um, 1143 + 18 * g, 3));
        }
        for (int g = 0; g < 12; ++g) {
            byGoing = Plus(byGoing, ReadCounts(um, 1269 + 18 * g, 3));
        }
        for (int g = 0; g < 6; ++g) {
            byDistance = Plus(byDistance, ReadCounts(um, 1485 + 18 * g, 3));
        }
        EXPECT_EQ(Plus(bySurface, ReadCounts(um, 1251, 3)), jra) << id;
        EXPECT_EQ(byGoing, jra) << id;
        EXPECT_EQ(Plus(byDistance, ReadCounts(um, 1251, 3)), jra) << id;
        // Prize money: the JRA flat main prize grows by what the horse won in the feed.
        long long won = 0;
        for (const RunRef& run : horse.runs) {
            const Race& race = f.season.races[static_cast<std::size_t>(run.race)];
            if (race.published && race.course->region == CourseRegion::Jra && race.surface != Surface::Jump) {
                won += race.runners[static_cast<std::size_t>(run.runner)].prize;
            }
        }
        EXPECT_EQ(Num(um, 1053, 9), horse.prior.flatPrize + won) << id;
        ++checked;
    }
    EXPECT_GT(checked, 3000);
}

TEST(Masters, JockeyAndTrainerCountsAgreeWithTheRides)
{
    const Fixture& f = SharedFixture();
    const int year = DateOfDay(f.season.lastDay - 1).year;
    std::map<std::string, std::pair<Counts, Counts>> jockeys; // code -> flat, jump of this year
    std::map<std::string, std::pair<Counts, Counts>> trainers;
    for (const auto& [key, race] : ResultRaces(f.feed)) {
        if (Num(race.ra, 12, 4) != year) {
            continue;
        }
        const bool jump = Num(race.ra, 706, 2) >= 51;
        for (std::string_view se : race.runners) {
            if (Scratched(se)) {
                continue;
            }
            const std::size_t bucket = static_cast<std::size_t>(Bucket(Num(se, 335, 2)));
            auto& jockey = jockeys[std::string(At(se, 297, 5))];
            auto& trainer = trainers[std::string(At(se, 86, 5))];
            ++(jump ? jockey.second : jockey.first)[bucket];
            ++(jump ? trainer.second : trainer.first)[bucket];
        }
    }
    auto before = [year](const std::vector<YearRecord>& records, int which) {
        for (const YearRecord& record : records) {
            if (record.year == year - which) {
                return record;
            }
        }
        return YearRecord{};
    };
    int checked = 0;
    for (std::string_view record : SplitRecords(MastersFile(f))) {
        const bool ks = At(record, 1, 2) == "KS";
        if (!ks && At(record, 1, 2) != "CH") {
            continue;
        }
        const std::string code(At(record, 12, 5));
        const std::vector<YearRecord>* history = nullptr;
        for (const Jockey& jockey : f.season.world.jockeys) {
            if (ks && jockey.code == code) {
                history = &jockey.before;
            }
        }
        for (const Trainer& trainer : f.season.world.trainers) {
            if (!ks && trainer.code == code) {
                history = &trainer.before;
            }
        }
        ASSERT_NE(history, nullptr) << code;
        const auto& rides = (ks ? jockeys : trainers)[code];
        const YearRecord thisYear = before(*history, 0);
        const YearRecord lastYear = before(*history, 1);
        const int flatAt = ks ? 1060 : 749;
        const int lastAt = ks ? 2112 : 1801;
        EXPECT_EQ(ReadCounts(record, flatAt, 6), Plus(thisYear.flat, rides.first)) << code;
        EXPECT_EQ(ReadCounts(record, flatAt + 36, 6), Plus(thisYear.jump, rides.second)) << code;
        EXPECT_EQ(ReadCounts(record, lastAt, 6), lastYear.flat) << code;
        EXPECT_EQ(ReadCounts(record, lastAt + 36, 6), lastYear.jump) << code;
        ++checked;
    }
    EXPECT_EQ(checked, static_cast<int>(f.season.world.jockeys.size() + f.season.world.trainers.size()));
}

TEST(Masters, InvitedRidersAndTrainersCarryTheirAffiliation)
{
    const Fixture& f = SharedFixture();
    std::set<char> jockeyCodes;
    std::set<char> trainerCodes;
    for (std::string_view record : SplitRecords(MastersFile(f))) {
        if (At(record, 1, 2) == "KS") {
            jockeyCodes.insert(record[230]);
        } else if (At(record, 1, 2) == "CH") {
            trainerCodes.insert(record[194]);
        }
    }
    EXPECT_EQ(jockeyCodes, (std::set<char>{'1', '2', '3', '4'}));
    EXPECT_EQ(trainerCodes, (std::set<char>{'1', '2', '3'}));
}

} // namespace
} // namespace vornal::samplegen::test
