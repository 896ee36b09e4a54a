#include "samplegen/SeasonSimulation.h"

#include <algorithm>
#include <cmath>

#include "samplegen/Programme.h"
#include "samplegen/RaceSimulation.h"
#include "samplegen/RacingRules.h"
#include "samplegen/SampleNames.h"
#include "samplegen/SampleWorld.h"

namespace vornal::samplegen {
namespace {

constexpr int kMinField = 5;

struct DayState
{
    Season& season;
    int day;
    SampleDate date;
    SampleRandom random;
    std::vector<char> busy;        // per horse: runs today
    std::vector<int> jockeyCourse; // per jockey: course index today, -1 when not riding
    std::vector<int> jockeyRides;
};

bool TrainerIsEast(const World& world, const Horse& horse)
{
    return world.trainers[static_cast<std::size_t>(horse.trainer)].affiliation == '1';
}

// The horse's ability for this race before the jockey and the weight: mature ability less
// what youth still costs, the wrong surface, a distance away from its best, plus the stable.
double BaseRating(const World& world, const Horse& horse, const Race& race, double* hidden = nullptr)
{
    const int age = AgeIn(horse, race.date.year);
    const bool jump = race.surface == Surface::Jump;
    const double ability = (jump ? horse.jumpRating : horse.peak) - MaturityLoss(age, race.date.month);
    double penalty = 0;
    if (!jump && horse.surface != race.surface) {
        penalty += horse.offSurface;
    }
    const double stretch = std::log(race.distance / static_cast<double>(jump ? 3200 : horse.bestDistance));
    penalty += (jump ? 0.5 : 2.5) * stretch * stretch;
    if (hidden != nullptr) {
        // The public sees most of a horse's trouble with a surface or distance, not all of it.
        *hidden = penalty * 0.3;
    }
    return ability - penalty + world.trainers[static_cast<std::size_t>(horse.trainer)].quality;
}

bool MaidenTimeOver(const Horse& horse, const SampleDate& date)
{
    // Maiden races for three-year-olds end in early September; horses still without a win
    // then leave for local racing.
    if (horse.flatWins > 0 || horse.jumper) {
        return false;
    }
    const int age = AgeIn(horse, date.year);
    return age >= 4 || (age == 3 && (date.month > 9 || (date.month == 9 && date.day > 15)));
}

bool Eligible(const Horse& horse, const Race& race)
{
    const int age = AgeIn(horse, race.date.year);
    switch (race.age) {
    case AgeRule::TwoYear:
        if (age != 2) {
            return false;
        }
        break;
    case AgeRule::ThreeYear:
        if (age != 3) {
            return false;
        }
        break;
    case AgeRule::ThreePlus:
        if (age < 3) {
            return false;
        }
        break;
    case AgeRule::FourPlus:
        if (age < 4) {
            return false;
        }
        break;
    }
    if (race.fillies && horse.sex != '2') {
        return false;
    }
    if (horse.local && !race.designated) {
        return false;
    }
    if (race.surface == Surface::Jump) {
        return horse.jumper && (race.raceClass == RaceClass::Open || horse.jumpWins == 0);
    }
    const int level = LevelOfWins(horse.flatWins);
    switch (race.raceClass) {
    case RaceClass::Newcomer:
        return horse.starts == 0;
    case RaceClass::Maiden:
        return level == 0;
    default:
        return level <= ClassLevel(race.raceClass);
    }
}

double EntryScore(const World& world, const Horse& horse, const Race& race, double logDistance, int day,
                  SampleRandom& random)
{
    double score = 0;
    if (race.surface == Surface::Jump) {
        score += race.raceClass == RaceClass::Open ? (horse.jumpWins > 0 ? 3 : -1) : 3;
    } else {
        const int level = LevelOfWins(horse.flatWins);
        const int raceLevel = ClassLevel(race.raceClass);
        const bool youngOpen =
            race.raceClass == RaceClass::Open && (race.age == AgeRule::TwoYear || race.age == AgeRule::ThreeYear);
        if (youngOpen) {
            // Juvenile and classic-age open races take the winners of their crop.
            score += level >= 2 ? 3 : level == 1 ? 1 : -4;
        } else if (level == raceLevel) {
            score += 3;
        } else if (level == raceLevel - 1) {
            score += raceLevel == 4 ? -1 : -2.5; // running up in class
        } else if (raceLevel > 0) {
            score -= 6;
        }
        if (race.raceClass == RaceClass::Open && race.grade != 'E' && race.grade != 'L') {
            score += 0.5 * std::min(std::max(horse.flatWins - 4, 0), 4);
        }
        score += horse.surface == race.surface ? 2.0 : -1.0 - horse.offSurface * 2.0;
        score -= 5.0 * std::abs(logDistance - std::log(static_cast<double>(horse.bestDistance)));
        if (horse.jumper) {
            score -= 2.0;
        }
    }
    if (race.course->region == CourseRegion::Jra) {
        const bool summer = race.course->code == "01" || race.course->code == "02" || race.course->code == "03" ||
                            race.course->code == "04" || race.course->code == "07" || race.course->code == "10";
        if (!summer && !horse.local) {
            score += TrainerIsEast(world, horse) == race.course->east ? 1.0 : -1.0;
        }
    }
    score += std::min(day - horse.readyDay, 35) / 14.0;
    score += random.Normal() * 0.9;
    return score;
}

std::vector<int> FramesFor(int runners)
{
    // Eight brackets; beyond eight runners the outside brackets take a second (then a third)
    // horse first.
    std::array<int, 9> perFrame{};
    for (int f = 1; f <= 8; ++f) {
        perFrame[static_cast<std::size_t>(f)] = runners >= f ? 1 : 0;
    }
    for (int extra = runners - 8, f = 8; extra > 0; --extra) {
        ++perFrame[static_cast<std::size_t>(f)];
        f = f == 1 ? 8 : f - 1;
    }
    std::vector<int> frames;
    for (int f = 1; f <= 8; ++f) {
        for (int k = 0; k < perFrame[static_cast<std::size_t>(f)]; ++k) {
            frames.push_back(f);
        }
    }
    return frames;
}

int RestDays(SampleRandom& random)
{
    static constexpr double kWeights[] = {10, 24, 25, 16, 9, 7, 4, 5};
    static constexpr int kWeeks[] = {2, 3, 4, 5, 6, 8, 10, 16};
    return kWeeks[random.Weighted(kWeights, 8)] * 7 - 1 + random.Below(3);
}

void AssignJockeyCourses(DayState& state, const std::vector<CourseDay>& courses, const std::vector<bool>& jumpToday)
{
    const World& world = state.season.world;
    state.jockeyCourse.assign(world.jockeys.size(), -1);
    state.jockeyRides.assign(world.jockeys.size(), 0);
    for (std::size_t j = 0; j < world.jockeys.size(); ++j) {
        const Jockey& jockey = world.jockeys[j];
        if (state.day < jockey.activeFrom || state.day > jockey.activeTo) {
            continue;
        }
        std::vector<double> weights;
        for (std::size_t c = 0; c < courses.size(); ++c) {
            const CourseInfo& course = *courses[c].course;
            double w = 1.0;
            if (jockey.affiliation == '1' || jockey.affiliation == '2') {
                w = (jockey.affiliation == '1') == course.east ? 4.0 : 1.0;
            }
            if ((jockey.skill > 0.15 || jockey.affiliation == '4') && courses[c].index < 2) {
                w *= 2.5;
            }
            if (!jockey.flat) {
                w = jumpToday[c] ? 1.0 : 0.02;
            } else if (jockey.jumps && jumpToday[c]) {
                w *= 1.5;
            }
            weights.push_back(w);
        }
        state.jockeyCourse[j] = state.random.Weighted(weights.data(), static_cast<int>(weights.size()));
    }
}

void AssignJockeys(DayState& state, Race& race, int courseIndex)
{
    const World& world = state.season.world;
    const bool jump = race.surface == Surface::Jump;
    std::vector<std::size_t> byRating(race.runners.size());
    for (std::size_t i = 0; i < byRating.size(); ++i) {
        byRating[i] = i;
    }
    std::sort(byRating.begin(), byRating.end(),
              [&race](std::size_t a, std::size_t b) { return race.runners[a].rating > race.runners[b].rating; });
    std::vector<char> used(world.jockeys.size(), 0);
    for (std::size_t rank = 0; rank < byRating.size(); ++rank) {
        Runner& runner = race.runners[byRating[rank]];
        const Horse* horse = runner.horse >= 0 ? &world.horses[static_cast<std::size_t>(runner.horse)] : nullptr;
        std::vector<double> weights(world.jockeys.size(), 0.0);
        bool any = false;
        for (std::size_t j = 0; j < world.jockeys.size(); ++j) {
            const Jockey& jockey = world.jockeys[j];
            if (state.jockeyCourse[j] != courseIndex || used[j] || !(jump ? jockey.jumps : jockey.flat)) {
                continue;
            }
            // Trainers book the best riders they can get for their best chances.
            double w = jockey.demand * std::exp(jockey.skill * (rank < 3 ? 5.0 : 1.5));
            if (state.jockeyRides[j] >= 8) {
                w *= 0.2;
            }
            if (horse != nullptr && horse->local) {
                w *= jockey.affiliation == '3' ? 15.0 : 1.0;
            } else if (jockey.affiliation == '3') {
                w *= 0.5;
            }
            weights[j] = w;
            any = true;
        }
        if (!any) {
            // Short of riders at this course: anyone not already in the race.
            for (std::size_t j = 0; j < world.jockeys.size(); ++j) {
                const Jockey& jockey = world.jockeys[j];
                if (!used[j] && (jump ? jockey.jumps : jockey.flat) && state.day >= jockey.activeFrom &&
                    state.day <= jockey.activeTo) {
                    weights[j] = 1.0;
                }
            }
        }
        const std::size_t pick =
            static_cast<std::size_t>(state.random.Weighted(weights.data(), static_cast<int>(weights.size())));
        used[pick] = 1;
        ++state.jockeyRides[pick];
        runner.jockey = static_cast<int>(pick);
    }
}

// Weights, jockeys and the ratings on the day of a drawn field.
void DressField(DayState& state, Race& race, int courseIndex)
{
    const World& world = state.season.world;
    std::vector<double> hidden(race.runners.size(), 0.0);
    double mean = 0;
    for (std::size_t i = 0; i < race.runners.size(); ++i) {
        Runner& runner = race.runners[i];
        const Horse& horse = world.horses[static_cast<std::size_t>(runner.horse)];
        runner.rating = BaseRating(world, horse, race, &hidden[i]);
        runner.trainer = horse.trainer;
        runner.style = horse.style;
        mean += runner.rating;
    }
    mean /= static_cast<double>(race.runners.size());
    AssignJockeys(state, race, courseIndex);
    for (std::size_t i = 0; i < race.runners.size(); ++i) {
        Runner& runner = race.runners[i];
        const Horse& horse = world.horses[static_cast<std::size_t>(runner.horse)];
        const int wins = race.surface == Surface::Jump ? horse.jumpWins : horse.flatWins;
        runner.weight = CarriedWeight(race, horse, runner.rating - mean, wins);
        const Jockey& jockey = world.jockeys[static_cast<std::size_t>(runner.jockey)];
        // About a tenth of a second a mile for each kilogram.
        runner.rating += jockey.skill - (runner.weight / 10.0 - 55.0) * 0.1;
        const double blur = horse.starts == 0 ? 0.8 : 0.35;
        runner.market = runner.rating + hidden[i] + state.random.Normal() * blur;
    }
}

bool DrawField(DayState& state, RacePlan& plan, const std::vector<int>& pool)
{
    const World& world = state.season.world;
    Race& race = plan.race;
    const double logDistance = std::log(static_cast<double>(race.distance));
    std::vector<std::pair<double, int>> scored;
    for (int h : pool) {
        if (state.busy[static_cast<std::size_t>(h)]) {
            continue;
        }
        const Horse& horse = world.horses[static_cast<std::size_t>(h)];
        if (!Eligible(horse, race)) {
            continue;
        }
        const double score = EntryScore(world, horse, race, logDistance, state.day, state.random);
        if (score > -4.0) {
            scored.emplace_back(score, h);
        }
    }
    if (static_cast<int>(scored.size()) < kMinField) {
        return false;
    }
    const std::size_t take = std::min(scored.size(), static_cast<std::size_t>(plan.fieldTarget));
    std::partial_sort(
        scored.begin(), scored.begin() + static_cast<std::ptrdiff_t>(take), scored.end(),
        [](const auto& a, const auto& b) { return a.first > b.first || (a.first == b.first && a.second < b.second); });
    std::vector<int> field;
    for (std::size_t k = 0; k < take; ++k) {
        field.push_back(scored[k].second);
    }
    state.random.Shuffle(field);
    const std::vector<int> frames = FramesFor(static_cast<int>(field.size()));
    race.runners.clear();
    for (std::size_t k = 0; k < field.size(); ++k) {
        Runner runner;
        runner.horse = field[k];
        runner.number = static_cast<int>(k) + 1;
        runner.frame = frames[k];
        race.runners.push_back(runner);
        state.busy[static_cast<std::size_t>(field[k])] = 1;
    }
    race.registered = static_cast<int>(field.size());
    return true;
}

int Priority(const Race& race)
{
    if (race.surface == Surface::Jump) {
        return 5;
    }
    int priority = ClassLevel(race.raceClass) * 2;
    if (race.grade == 'A' || race.grade == 'B' || race.grade == 'C') {
        priority += 4;
    }
    return priority;
}

// Records the runs of a finished race in the careers of its horses.
void Settle(Season& season, SampleRandom& random, int raceIndex)
{
    World& world = season.world;
    const Race& race = season.races[static_cast<std::size_t>(raceIndex)];
    const bool jra = race.course->region == CourseRegion::Jra;
    for (std::size_t i = 0; i < race.runners.size(); ++i) {
        const Runner& runner = race.runners[i];
        if (runner.horse < 0) {
            continue;
        }
        Horse& horse = world.horses[static_cast<std::size_t>(runner.horse)];
        horse.runs.push_back({raceIndex, static_cast<int>(i)});
        if (runner.status == RunStatus::Scratched) {
            horse.readyDay = race.day + 6 + random.Below(9);
            continue;
        }
        ++horse.starts;
        if (runner.position == 1 && jra) {
            if (race.surface == Surface::Jump) {
                ++horse.jumpWins;
            } else {
                ++horse.flatWins;
            }
        }
        horse.readyDay = race.day + (jra ? RestDays(random) : 27 + random.Below(30));
        // Trainers aim at either day of a weekend: half the horses due on a Saturday wait
        // for the Sunday, so that Saturday's races do not take every horse that is ready.
        if (Weekday(horse.readyDay) == 6 && random.Chance(0.5)) {
            ++horse.readyDay;
        }
        const int age = AgeIn(horse, race.date.year);
        if ((age >= 7 && random.Chance(0.07)) || random.Chance(0.01) ||
            (horse.flatWins == 0 && horse.starts > 10 && random.Chance(0.1))) {
            horse.retireDay = race.day + 1;
        }
        if (!horse.jumper && !horse.local && age >= 4 && horse.flatWins <= 2 && horse.starts >= 8 &&
            random.Chance(0.01)) {
            horse.jumper = true;
            horse.jumpRating = horse.peak + random.Normal() * 0.7 - 0.3;
        }
    }
}

void SetGoing(std::vector<RacePlan>& plans, SampleRandom& random)
{
    // The going of a racecourse holds for the day: usually good, heavier after rain.
    const bool rain = random.Chance(0.18);
    static constexpr double kRainTurf[] = {0.5, 0.3, 0.2};
    static constexpr double kRainDirt[] = {0.35, 0.4, 0.25};
    const char turf = rain ? static_cast<char>('2' + random.Weighted(kRainTurf, 3)) : (random.Chance(0.9) ? '1' : '2');
    const char dirt = rain ? static_cast<char>('2' + random.Weighted(kRainDirt, 3)) : (random.Chance(0.75) ? '1' : '2');
    for (RacePlan& plan : plans) {
        plan.race.goingTurf = turf;
        plan.race.goingDirt = dirt;
    }
}

// Horses fit to run on `day`; with `stretch`, also those due back within a week (brought
// back early when a race would otherwise not fill).
std::vector<int> FitHorses(Season& season, int day, const SampleDate& date, int stretch = 0)
{
    std::vector<int> pool;
    for (std::size_t h = 0; h < season.world.horses.size(); ++h) {
        Horse& horse = season.world.horses[h];
        if (horse.retireDay <= day || horse.debutDay > day || horse.readyDay > day + stretch) {
            continue;
        }
        if (MaidenTimeOver(horse, date)) {
            horse.retireDay = day;
            continue;
        }
        pool.push_back(static_cast<int>(h));
    }
    return pool;
}

// A race outside JRA for a few of the season's horses: an exchange race at a local
// racecourse or a big race abroad. The rest of the field are horses of those circuits, which
// the feed does not describe.
void RunOutsideRace(DayState& state, int day, bool abroad)
{
    Season& season = state.season;
    World& world = season.world;
    SampleRandom& random = state.random;
    const std::span<const CourseInfo> courses = abroad ? AbroadCourses() : LocalCourses();
    const CourseInfo& course = courses[static_cast<std::size_t>(random.Below(static_cast<int>(courses.size())))];
    Race race;
    race.date = DateOfDay(day);
    race.day = day;
    race.course = &course;
    race.surface =
        abroad && !course.turf.empty() && (course.dirt.empty() || random.Chance(0.75)) ? Surface::Turf : Surface::Dirt;
    const std::span<const int> distances = Distances(course, race.surface);
    race.distance = distances[static_cast<std::size_t>(random.Below(static_cast<int>(distances.size())))];
    race.track = TrackCode(course, race.surface, race.distance);
    race.corners = race.distance <= 1400 ? 2 : 4;
    race.age = AgeRule::ThreePlus;
    race.raceClass = RaceClass::Open;
    const double roll = random.Uniform();
    race.grade = abroad ? (roll < 0.6 ? 'A' : 'B') : (roll < 0.6 ? 'C' : roll < 0.85 ? 'B' : 'A');
    race.weightKind = abroad ? '4' : '2';
    race.name = MakeOutsideRaceName(random, course.code);
    race.number = abroad ? random.Between(1, 10) : 11;
    race.meeting = abroad ? 1 : random.Between(1, 15);
    race.meetingDay = abroad ? 1 : random.Between(1, 6);
    race.postTime = abroad ? 1700 + 100 * random.Below(5) : (random.Chance(0.5) ? 2010 : 1540);
    race.goingTurf = race.surface == Surface::Turf ? '1' : '0';
    race.goingDirt = race.surface == Surface::Dirt ? (random.Chance(0.7) ? '1' : '2') : '0';
    const long long first = abroad ? (race.grade == 'A' ? 2000000 : 1000000)
                                   : (race.grade == 'A'   ? 800000
                                      : race.grade == 'B' ? 450000
                                                          : 300000);
    race.prizes[0] = first;
    for (int place = 2; place <= 5; ++place) {
        race.prizes[static_cast<std::size_t>(place - 1)] = PlacePrize(first, place);
    }

    // The visitors: the best ready horses for the surface among the open class (and the
    // horses of local racing for an exchange race at home).
    std::vector<std::pair<double, int>> candidates;
    for (std::size_t h = 0; h < world.horses.size(); ++h) {
        const Horse& horse = world.horses[h];
        if (state.busy[h] || horse.retireDay <= day || horse.debutDay > day || horse.readyDay > day || horse.jumper ||
            AgeIn(horse, race.date.year) < 3 || horse.surface != race.surface) {
            continue;
        }
        if (!(horse.local && !abroad) && horse.flatWins < (abroad ? 5 : 3)) {
            continue;
        }
        candidates.emplace_back(horse.peak + random.Normal() * 0.3 + (horse.local ? 1.0 : 0.0), static_cast<int>(h));
    }
    if (candidates.empty()) {
        return;
    }
    std::sort(candidates.begin(), candidates.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    const int visitors =
        std::min(static_cast<int>(candidates.size()), abroad ? random.Between(1, 3) : random.Between(2, 5));
    const int fieldSize = std::min(course.maxField, random.Between(10, 14));
    std::vector<Runner> field;
    for (int k = 0; k < visitors; ++k) {
        const Horse& horse = world.horses[static_cast<std::size_t>(candidates[static_cast<std::size_t>(k)].second)];
        Runner runner;
        runner.horse = candidates[static_cast<std::size_t>(k)].second;
        runner.trainer = horse.trainer;
        runner.style = horse.style;
        runner.weight = horse.sex == '2' ? 550 : 570;
        // A rider of the first rank travels with the horse.
        std::vector<double> weights;
        for (const Jockey& jockey : world.jockeys) {
            weights.push_back(jockey.flat && jockey.affiliation != '4' && jockey.affiliation != '3' ? jockey.demand
                                                                                                    : 0.0);
        }
        runner.jockey = random.Weighted(weights.data(), static_cast<int>(weights.size()));
        runner.rating = BaseRating(world, horse, race) + world.jockeys[static_cast<std::size_t>(runner.jockey)].skill;
        runner.market = runner.rating + random.Normal() * 0.3;
        field.push_back(runner);
        state.busy[static_cast<std::size_t>(runner.horse)] = 1;
    }
    const double homeLevel = abroad ? 2.2 : 0.9;
    while (static_cast<int>(field.size()) < fieldSize) {
        Runner runner;
        runner.rating = homeLevel + random.Normal() * 0.5;
        runner.market = runner.rating + random.Normal() * 0.3;
        runner.style = random.Uniform();
        runner.weight = 570;
        field.push_back(runner);
    }
    random.Shuffle(field);
    const std::vector<int> frames = FramesFor(static_cast<int>(field.size()));
    for (std::size_t k = 0; k < field.size(); ++k) {
        field[k].number = static_cast<int>(k) + 1;
        field[k].frame = frames[k];
    }
    race.runners = std::move(field);
    race.registered = static_cast<int>(race.runners.size());
    RunRace(race, random, false);
    season.races.push_back(std::move(race));
    const int index = static_cast<int>(season.races.size()) - 1;
    season.outsideRaces.push_back(index);
    Settle(season, random, index);
}

void RunRaceDay(Season& season, std::uint64_t seed, int day, bool published, int nextRaceDay, int courseCount)
{
    const SampleDate date = DateOfDay(day);
    DayState state{season,
                   day,
                   date,
                   SampleRandom::Stream(seed, kStreamDay, static_cast<std::uint64_t>(day)),
                   std::vector<char>(season.world.horses.size(), 0),
                   {},
                   {}};
    const std::vector<CourseDay> courses = CoursesOfDay(date, courseCount);
    std::vector<std::vector<RacePlan>> cards;
    std::vector<bool> jumpToday;
    for (const CourseDay& courseDay : courses) {
        cards.push_back(PlanCard(courseDay, date, day, state.random));
        SetGoing(cards.back(), state.random);
        bool jump = false;
        for (const RacePlan& plan : cards.back()) {
            jump = jump || plan.race.surface == Surface::Jump;
        }
        jumpToday.push_back(jump);
    }
    AssignJockeyCourses(state, courses, jumpToday);

    // Now and then a few of the best go abroad on a Sunday.
    const bool abroadToday = published && Weekday(day) == 0 && state.random.Chance(0.06);
    if (abroadToday) {
        RunOutsideRace(state, day, true);
    }

    const std::vector<int> pool = FitHorses(season, day, date);
    std::vector<int> stretched;
    std::vector<std::pair<int, RacePlan*>> order;
    for (std::size_t c = 0; c < cards.size(); ++c) {
        for (RacePlan& plan : cards[c]) {
            order.emplace_back(static_cast<int>(c), &plan);
        }
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return Priority(a.second->race) > Priority(b.second->race); });
    for (auto& [courseIndex, plan] : order) {
        plan->race.published = published;
        // A race that does not fill becomes a plain 1-win-class race, on dirt and then on
        // turf, with horses due back within a week brought in if need be.
        bool drawn = DrawField(state, *plan, pool);
        for (Surface surface : {Surface::Dirt, Surface::Turf}) {
            if (drawn) {
                break;
            }
            MakeFallbackRace(*plan, surface, state.random);
            plan->race.goingTurf = cards[static_cast<std::size_t>(courseIndex)][0].race.goingTurf;
            plan->race.goingDirt = cards[static_cast<std::size_t>(courseIndex)][0].race.goingDirt;
            if (stretched.empty()) {
                stretched = FitHorses(season, day, date, 7);
            }
            drawn = DrawField(state, *plan, pool) || DrawField(state, *plan, stretched);
        }
        if (!drawn) {
            plan->race.runners.clear();
            continue;
        }
        DressField(state, plan->race, courseIndex);
        RunRace(plan->race, state.random, true);
    }

    RaceDay raceDay{date, day, {}};
    for (std::vector<RacePlan>& card : cards) {
        for (RacePlan& plan : card) {
            if (plan.race.runners.empty()) {
                continue;
            }
            season.races.push_back(std::move(plan.race));
            const int index = static_cast<int>(season.races.size()) - 1;
            raceDay.races.push_back(index);
            Settle(season, state.random, index);
        }
    }
    season.raceDays.push_back(std::move(raceDay));

    // A midweek exchange race at a local racecourse, some weeks.
    if (published && nextRaceDay - day >= 4 && state.random.Chance(0.3)) {
        std::fill(state.busy.begin(), state.busy.end(), 0);
        RunOutsideRace(state, day + 3, false);
    }
}

} // namespace

std::vector<int> RaceDayNumbers(const SampleDate& start, int count)
{
    std::vector<int> days;
    for (int day = DayNumber(start); static_cast<int>(days.size()) < count; ++day) {
        const int weekday = Weekday(day);
        if (weekday == 6 || weekday == 0) {
            days.push_back(day);
        }
    }
    return days;
}

Season SimulateSeason(std::uint64_t seed, const SampleDate& start, int raceDays, int courses)
{
    Season season;
    const std::vector<int> days = RaceDayNumbers(start, std::max(1, raceDays));
    season.firstDay = days.front();
    season.lastDay = days.back();
    season.world = CreateWorld(seed, season.firstDay, season.lastDay);
    for (std::size_t i = 0; i < days.size(); ++i) {
        const bool last = i + 1 == days.size();
        const int next = last ? days[i] + 7 : days[i + 1];
        RunRaceDay(season, seed, days[i], !last, next, courses);
    }
    return season;
}

} // namespace vornal::samplegen
