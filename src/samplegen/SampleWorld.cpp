#include "samplegen/SampleWorld.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "samplegen/RacingRules.h"
#include "samplegen/SampleNames.h"
#include "samplegen/SampleRandom.h"
#include "text/Format.h"

namespace vornal::samplegen {
namespace {

constexpr int kJraTrainers = 190;
constexpr int kLocalTrainers = 4;
constexpr int kFlatJockeys = 120;
constexpr int kJumpJockeys = 12;

// Horses alive at the season's start by age, and the size of a crop that reaches racing age
// during it. Sized so that some 7,500 horses are fit to run at any time: enough for three
// racecourses of twelve races of about fourteen runners on each day of a weekend.
int CropSize(int ageAtStart)
{
    switch (ageAtStart) {
    case 2:
        return 3200;
    case 3:
        return 3200;
    case 4:
        return 1300;
    case 5:
        return 950;
    case 6:
        return 600;
    case 7:
        return 330;
    case 8:
        return 130;
    default:
        return 3200; // crops that turn two during the season
    }
}

std::vector<YearRecord> YearsBefore(int startYear, int startDayOfYear, int yearStarts, double edge, double jumpShare)
{
    // The whole of last year and the part of this year before the season's first day.
    std::vector<YearRecord> years;
    const int partStarts = yearStarts * std::max(0, startDayOfYear - 1) / 365;
    for (const auto& [year, starts] : {std::pair{startYear - 1, yearStarts}, std::pair{startYear, partStarts}}) {
        YearRecord record;
        record.year = year;
        const int jumpStarts = static_cast<int>(std::lround(starts * jumpShare));
        record.flat = TypicalYear(starts - jumpStarts, edge);
        record.jump = TypicalYear(jumpStarts, edge);
        years.push_back(record);
    }
    return years;
}

std::string Code5(int prefix, int serial)
{
    return fmt::sprintf("%02d%03d", prefix, serial);
}

void CreatePeople(World& world, std::uint64_t seed, int firstDay, int lastDay)
{
    SampleRandom random = SampleRandom::Stream(seed, kStreamPeople);
    std::unordered_set<std::string> names;
    const SampleDate start = DateOfDay(firstDay);
    const int startDayOfYear = DayOfYear(start);

    for (int i = 0; i < kJraTrainers + kLocalTrainers; ++i) {
        Trainer trainer;
        const bool local = i >= kJraTrainers;
        trainer.code = local ? Code5(5, 201 + i - kJraTrainers) : Code5(1, 1 + i);
        trainer.shortName = MakePersonShortName(random, names);
        trainer.affiliation = local ? '3' : (i % 2 == 0 ? '1' : '2');
        trainer.quality = std::clamp(random.Normal() * 0.08, -0.2, 0.22);
        const int starts = local ? 6 : random.Between(180, 360);
        trainer.before = YearsBefore(start.year, startDayOfYear, starts, trainer.quality * 1.5, local ? 0.0 : 0.03);
        world.trainers.push_back(std::move(trainer));
    }

    for (int i = 0; i < kFlatJockeys + kJumpJockeys; ++i) {
        Jockey jockey;
        jockey.code = Code5(1, 1 + i);
        jockey.shortName = MakePersonShortName(random, names);
        jockey.affiliation = i % 2 == 0 ? '1' : '2';
        if (i < kFlatJockeys) {
            // A few stars, a broad middle and a tail of riders who rarely get a chance.
            jockey.skill = std::clamp(random.Normal() * 0.11 + (i < 6 ? 0.22 : 0.0), -0.3, 0.36);
            jockey.jumps = i >= kFlatJockeys - 14;
        } else {
            jockey.skill = std::clamp(random.Normal() * 0.08, -0.2, 0.2);
            jockey.flat = false;
            jockey.jumps = true;
        }
        jockey.demand = std::exp(jockey.skill * 7.0);
        const int rides = static_cast<int>(std::lround(std::clamp(jockey.demand * 300.0, 60.0, 950.0)));
        const double jumpShare = jockey.flat ? (jockey.jumps ? 0.1 : 0.0) : 1.0;
        jockey.before = YearsBefore(start.year, startDayOfYear, rides, jockey.skill, jumpShare);
        world.jockeys.push_back(std::move(jockey));
    }

    // Riders on short-term licences: three from local racing, two from abroad, each for a
    // couple of months somewhere in the season.
    const int seasonLength = std::max(1, lastDay - firstDay);
    for (int i = 0; i < 5; ++i) {
        Jockey jockey;
        const bool foreign = i >= 3;
        jockey.code = foreign ? Code5(5, 301 + i - 3) : Code5(5, 101 + i);
        jockey.shortName = foreign ? MakeForeignShortName(random, names) : MakePersonShortName(random, names);
        jockey.affiliation = foreign ? '4' : '3';
        jockey.skill = foreign ? 0.25 + random.Uniform() * 0.1 : 0.1 + random.Uniform() * 0.1;
        jockey.demand = std::exp(jockey.skill * 7.0);
        jockey.activeFrom = firstDay + random.Below(std::max(1, seasonLength - 30));
        jockey.activeTo = jockey.activeFrom + random.Between(56, 90);
        jockey.before = YearsBefore(start.year, startDayOfYear, foreign ? 40 : 20, jockey.skill, 0.0);
        world.jockeys.push_back(std::move(jockey));
    }
}

std::string PickCoat(SampleRandom& random)
{
    static constexpr double kWeights[] = {20, 4, 38, 18, 8, 3, 8.5, 0.5};
    static constexpr const char* kCodes[] = {"01", "02", "03", "04", "05", "06", "07", "11"};
    return kCodes[random.Weighted(kWeights, 8)];
}

int PickBestDistance(SampleRandom& random, Surface surface)
{
    static constexpr double kTurfWeights[] = {25, 30, 30, 15};
    static constexpr int kTurf[] = {1200, 1600, 2000, 2400};
    static constexpr double kDirtWeights[] = {40, 20, 35, 5};
    static constexpr int kDirt[] = {1200, 1400, 1800, 2100};
    const int base =
        surface == Surface::Turf ? kTurf[random.Weighted(kTurfWeights, 4)] : kDirt[random.Weighted(kDirtWeights, 4)];
    const double spread = 1.0 + random.Normal() * 0.08;
    return static_cast<int>(std::lround(base * spread / 100.0)) * 100;
}

// The wins a crop has to its name at the season's start, by share of the crop from the
// best downwards: {wins, share of those that have run}.
std::vector<std::pair<int, double>> WinShares(int age, int month)
{
    if (age <= 2) {
        return {{2, 0.03}, {1, 0.22}, {0, 0.75}};
    }
    if (age == 3 && month <= 6) {
        return {{3, 0.01}, {2, 0.05}, {1, 0.24}, {0, 0.70}};
    }
    if (age == 3) {
        return {{4, 0.02}, {3, 0.05}, {2, 0.15}, {1, 0.38}, {0, 0.40}};
    }
    return {{6, 0.05}, {4, 0.15}, {3, 0.15}, {2, 0.27}, {1, 0.38}};
}

void GivePriorCareer(Horse& horse, SampleRandom& random, int wins, double quantile, int monthsRacing)
{
    PriorCareer& prior = horse.prior;
    const int others =
        std::max(wins == 0 ? 1 : 0, static_cast<int>(std::lround(monthsRacing / 1.6 * (0.5 + random.Uniform() * 0.7))));
    prior.flat[0] = wins;
    for (int i = 0; i < others; ++i) {
        const double roll = random.Uniform();
        const double second = 0.10 + 0.10 * quantile;
        const double third = second + 0.09 + 0.06 * quantile;
        const double fourth = third + 0.09;
        const double fifth = fourth + 0.08;
        const int bucket = roll < second ? 1 : roll < third ? 2 : roll < fourth ? 3 : roll < fifth ? 4 : 5;
        ++prior.flat[static_cast<std::size_t>(bucket)];
    }
    // Prize of each win at the class the horse was in when it won, places at its class now.
    static constexpr RaceClass kClassOfWin[] = {RaceClass::Maiden, RaceClass::Win1, RaceClass::Win2, RaceClass::Win3};
    for (int w = 0; w < wins; ++w) {
        const RaceClass raceClass = w < 4 ? kClassOfWin[w] : RaceClass::Open;
        const char grade = w >= 5 && random.Chance(0.5) ? 'C' : ' ';
        const long long first = FirstPrize(raceClass, grade, w >= 1, false);
        prior.flatPrize += first;
        prior.flatEarned += EarnedForWin(raceClass, first);
    }
    const int level = LevelOfWins(wins);
    const RaceClass current = level == 0 ? RaceClass::Maiden : level < 4 ? kClassOfWin[level] : RaceClass::Open;
    const long long currentFirst = FirstPrize(current, ' ', false, false);
    for (int place = 2; place <= 5; ++place) {
        prior.flatPrize += PlacePrize(currentFirst, place) * prior.flat[static_cast<std::size_t>(place - 1)];
    }
    prior.flatAdded = wins >= 2 ? prior.flatPrize / 50 : 0;
    horse.flatWins = wins;
    for (int count : prior.flat) {
        horse.starts += count;
    }
}

void CreateCrop(World& world, std::uint64_t seed, int birthYear, const SampleDate& start, int firstDay)
{
    SampleRandom random = SampleRandom::Stream(seed, kStreamHorses, static_cast<std::uint64_t>(birthYear));
    const int ageAtStart = start.year - birthYear;
    const int size = CropSize(ageAtStart);
    const std::size_t firstHorse = world.horses.size();
    int serial = 0;
    for (int i = 0; i < size; ++i) {
        Horse horse;
        serial += random.Between(1, 6);
        horse.birthYear = birthYear;
        horse.id = fmt::sprintf("%04d1%05d", birthYear, serial);
        horse.local = i % 60 == 59; // a few are trained at local racecourses
        horse.sex = random.Chance(0.47) ? '2' : '1';
        if (horse.sex == '1' && ageAtStart >= 4 && random.Chance(0.12)) {
            horse.sex = '3';
        }
        horse.coat = PickCoat(random);
        horse.peak = horse.local ? random.Normal() * 0.7 - 0.4 : random.Normal() * 1.15 - 0.2;
        horse.surface = horse.local || random.Chance(0.5) ? Surface::Dirt : Surface::Turf;
        horse.offSurface = random.Chance(0.15) ? 0.05 + random.Uniform() * 0.25 : 0.3 + random.Uniform() * 1.3;
        horse.bestDistance = PickBestDistance(random, horse.surface);
        horse.style = std::clamp(random.Uniform() * 0.85 + (horse.bestDistance > 1800 ? 0.15 : 0.0), 0.0, 1.0);
        horse.trainer = horse.local ? kJraTrainers + random.Below(kLocalTrainers) : random.Below(kJraTrainers);
        world.horses.push_back(std::move(horse));
    }

    // Debut days. Juveniles start from June of their second year; most three-year-olds of a
    // January season ran as juveniles, the rest come out by April.
    const int juneOfTwo = DayNumber({birthYear + 2, 6, 1});
    const int aprilOfThree = DayNumber({birthYear + 3, 4, 30});
    for (std::size_t i = firstHorse; i < world.horses.size(); ++i) {
        Horse& horse = world.horses[i];
        if (random.Chance(0.8)) {
            const int spread = random.Below(120) + random.Below(90);
            horse.debutDay = juneOfTwo + spread;
        } else {
            horse.debutDay =
                DayNumber({birthYear + 3, 1, 4}) + random.Below(aprilOfThree - DayNumber({birthYear + 3, 1, 4}));
        }
        horse.readyDay = horse.debutDay;
    }

    // Horses that ran before the season: rank them by ability (as the results would) and give
    // the best the most wins.
    std::vector<std::size_t> raced;
    for (std::size_t i = firstHorse; i < world.horses.size(); ++i) {
        Horse& horse = world.horses[i];
        if (horse.debutDay < firstDay) {
            raced.push_back(i);
        }
    }
    std::vector<std::pair<double, std::size_t>> ranked;
    for (std::size_t i : raced) {
        ranked.emplace_back(world.horses[i].peak + random.Normal() * 0.35, i);
    }
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    const auto shares = WinShares(ageAtStart, start.month);
    std::size_t next = 0;
    for (std::size_t s = 0; s < shares.size(); ++s) {
        const std::size_t count = s + 1 == shares.size()
                                      ? ranked.size() - next
                                      : static_cast<std::size_t>(std::lround(shares[s].second * ranked.size()));
        for (std::size_t k = 0; k < count && next < ranked.size(); ++k, ++next) {
            Horse& horse = world.horses[ranked[next].second];
            int wins = shares[s].first;
            if (wins >= 4) {
                wins += random.Below(3);
            }
            const double quantile = 1.0 - static_cast<double>(next) / static_cast<double>(ranked.size());
            const int monthsRacing = std::max(1, (firstDay - horse.debutDay) / 30);
            GivePriorCareer(horse, random, wins, quantile, monthsRacing);
            horse.readyDay = firstDay - 21 + random.Below(49);
        }
    }

    // Some older horses of the lower classes have turned to steeplechasing.
    for (std::size_t i = firstHorse; i < world.horses.size(); ++i) {
        Horse& horse = world.horses[i];
        if (ageAtStart >= 4 && !horse.local && horse.flatWins <= 2 && random.Chance(0.08)) {
            horse.jumper = true;
            horse.jumpRating = horse.peak + random.Normal() * 0.7 - 0.3;
            if (random.Chance(0.4)) {
                const int jumpWins = random.Between(1, 3);
                horse.jumpWins = jumpWins;
                horse.prior.jump[0] = jumpWins;
                horse.prior.jump[5] = random.Between(1, 6);
                horse.prior.jump[1] = random.Below(3);
                horse.prior.jumpPrize =
                    FirstPrize(RaceClass::Maiden, ' ', false, true) +
                    FirstPrize(RaceClass::Open, ' ', false, true) * (jumpWins - 1) +
                    PlacePrize(FirstPrize(RaceClass::Open, ' ', false, true), 2) * horse.prior.jump[1];
                horse.prior.jumpEarned = 40000 + 85000LL * (jumpWins - 1);
                for (int count : horse.prior.jump) {
                    horse.starts += count;
                }
            }
        }
    }
}

} // namespace

PlaceCounts TypicalYear(int starts, double edge)
{
    PlaceCounts counts{};
    if (starts <= 0) {
        return counts;
    }
    const double factor = std::exp(edge * 4.0);
    const double rates[5] = {0.075 * factor, 0.072 * factor, 0.07 * std::sqrt(factor), 0.07, 0.068};
    int used = 0;
    for (int i = 0; i < 5; ++i) {
        counts[static_cast<std::size_t>(i)] = static_cast<int>(std::lround(starts * std::min(rates[i], 0.3)));
        used += counts[static_cast<std::size_t>(i)];
    }
    counts[5] = std::max(0, starts - used);
    return counts;
}

World CreateWorld(std::uint64_t seed, int firstDay, int lastDay)
{
    World world;
    CreatePeople(world, seed, firstDay, lastDay);
    const SampleDate start = DateOfDay(firstDay);
    const SampleDate end = DateOfDay(lastDay);
    // Every crop that is between two and eight during the season.
    for (int birthYear = start.year - 8; birthYear <= end.year - 2; ++birthYear) {
        CreateCrop(world, seed, birthYear, start, firstDay);
    }
    // Names last, in crop order: a longer season adds crops at the end and leaves the names
    // of the earlier ones as they were.
    SampleRandom random = SampleRandom::Stream(seed, kStreamHorses, 0);
    std::unordered_set<std::string> used;
    used.reserve(world.horses.size() * 2);
    for (Horse& horse : world.horses) {
        horse.name = MakeHorseName(random, used);
    }
    return world;
}

} // namespace vornal::samplegen
