#include "samplegen/Programme.h"

#include <array>
#include <cmath>

#include "samplegen/RacingRules.h"
#include "samplegen/SampleNames.h"

namespace vornal::samplegen {
namespace {

// Racecourses of each block of four weekends, January first: the eastern and western main
// courses, then the summer or local course.
constexpr std::array<std::array<const char*, 3>, 13> kBlocks = {{
    {"06", "08", "07"},
    {"05", "08", "10"},
    {"06", "09", "07"},
    {"06", "09", "03"},
    {"05", "08", "04"},
    {"05", "09", "02"},
    {"03", "07", "02"},
    {"04", "10", "01"},
    {"04", "10", "01"},
    {"06", "09", nullptr},
    {"05", "08", "04"},
    {"05", "08", "03"},
    {"06", "09", "07"},
}};

struct SlotKind
{
    AgeRule age;
    RaceClass raceClass;
};

bool IsSunday(int day)
{
    return Weekday(day) == 0;
}

int PickDistance(const CourseInfo& course, Surface surface, AgeRule age, RaceClass raceClass, char grade,
                 SampleRandom& random)
{
    const std::span<const int> distances = Distances(course, surface);
    std::vector<double> weights;
    for (int d : distances) {
        double w = 3.0;
        if (surface == Surface::Turf && d >= 2500) {
            w = 1.0;
        }
        if (surface == Surface::Dirt && d >= 2100) {
            w = 0.7;
        }
        if (d >= 3000 && surface != Surface::Jump) {
            w = raceClass == RaceClass::Open ? 0.6 : 0.0;
        }
        if ((age == AgeRule::TwoYear && d > 2000) || (raceClass == RaceClass::Newcomer && d > 2000)) {
            w = 0.0;
        }
        if (grade == 'A' || grade == 'B') {
            w = d >= 1600 ? w * 2 : w * 0.5;
        }
        weights.push_back(w);
    }
    const int index = random.Weighted(weights.data(), static_cast<int>(weights.size()));
    return distances[static_cast<std::size_t>(index)];
}

int FieldTarget(RaceClass raceClass, char grade, bool jump, SampleRandom& random)
{
    if (jump) {
        return random.Between(8, 14);
    }
    switch (grade) {
    case 'A':
        return random.Between(16, 18);
    case 'B':
        return random.Between(10, 16);
    case 'C':
        return random.Between(12, 18);
    default:
        break;
    }
    switch (raceClass) {
    case RaceClass::Newcomer:
        return random.Between(8, 16);
    case RaceClass::Maiden:
        return random.Chance(0.6) ? random.Between(16, 18) : random.Between(11, 16);
    case RaceClass::Win1:
        return random.Between(10, 16);
    case RaceClass::Win2:
        return random.Between(9, 16);
    case RaceClass::Win3:
        return random.Between(8, 14);
    case RaceClass::Open:
        return random.Between(9, 16);
    }
    return 14;
}

char WeightKind(const Race& race, SampleRandom& random)
{
    if (race.surface == Surface::Jump) {
        return race.raceClass == RaceClass::Open ? '2' : '4';
    }
    const bool young = race.age == AgeRule::TwoYear || race.age == AgeRule::ThreeYear;
    switch (race.grade) {
    case 'A':
        return young ? '3' : '4';
    case 'B':
        return random.Chance(0.7) ? '2' : '4';
    case 'C':
        return random.Chance(0.5) ? '2' : '1';
    case 'L':
        return random.Chance(0.6) ? '2' : '1';
    case 'E':
        if (race.raceClass == RaceClass::Open) {
            return random.Chance(0.6) ? '2' : '1';
        }
        if (race.raceClass == RaceClass::Win3) {
            return random.Chance(0.4) ? '1' : '4';
        }
        return young ? '3' : (random.Chance(0.3) ? '1' : '4');
    default:
        return young ? '3' : '4';
    }
}

std::string SymbolCode(const Race& race)
{
    // Mixed races (foreign-bred horses admitted), "designated" for the general races, "[designated]"
    // for the special ones, the local-racing marker for races open to local horses; fillies'
    // races carry the sex marker.
    if (race.surface == Surface::Jump) {
        return "001";
    }
    std::string code = (race.grade == 'A' || race.grade == 'B') && race.age != AgeRule::TwoYear ? "N" : "A";
    code += race.fillies ? '2' : '0';
    code += race.designated ? '4' : (race.grade == ' ' ? '1' : '3');
    return code;
}

SlotKind SlotOf(int slot, const SampleDate& date, SampleRandom& random)
{
    const int m = date.month;
    const bool firstHalf = m <= 5;
    const bool twoYearNewcomers = m >= 7 || (m == 6 && date.day >= 7);
    const bool twoYearMaidens = m >= 7;
    const bool twoYearClass = m >= 8;
    const bool threeYearMaidens = m < 9 || (m == 9 && date.day <= 10);
    const bool threeYearNewcomers = m <= 3;
    if (firstHalf) {
        switch (slot) {
        case 5:
            return {AgeRule::ThreeYear,
                    threeYearNewcomers && random.Chance(m <= 2 ? 0.5 : 0.25) ? RaceClass::Newcomer : RaceClass::Maiden};
        case 6:
            return {AgeRule::ThreeYear, RaceClass::Win1};
        case 7:
            return {AgeRule::FourPlus, RaceClass::Win1};
        case 8:
        case 12:
            return {AgeRule::FourPlus, random.Chance(0.5) ? RaceClass::Win1 : RaceClass::Win2};
        case 9:
            return random.Chance(0.4)
                       ? SlotKind{AgeRule::ThreeYear, RaceClass::Win1}
                       : SlotKind{AgeRule::FourPlus, random.Chance(0.5) ? RaceClass::Win1 : RaceClass::Win2};
        case 10:
            return {AgeRule::FourPlus, random.Chance(0.6) ? RaceClass::Win2 : RaceClass::Win3};
        default:
            return {AgeRule::ThreeYear, RaceClass::Maiden};
        }
    }
    const SlotKind older1{AgeRule::ThreePlus, RaceClass::Win1};
    switch (slot) {
    case 1:
    case 3:
        return threeYearMaidens ? SlotKind{AgeRule::ThreeYear, RaceClass::Maiden}
               : twoYearMaidens ? SlotKind{AgeRule::TwoYear, RaceClass::Maiden}
                                : older1;
    case 2:
    case 4:
        return twoYearMaidens     ? SlotKind{AgeRule::TwoYear, RaceClass::Maiden}
               : threeYearMaidens ? SlotKind{AgeRule::ThreeYear, RaceClass::Maiden}
                                  : older1;
    case 5:
        return twoYearNewcomers ? SlotKind{AgeRule::TwoYear, RaceClass::Newcomer} : older1;
    case 6:
        return twoYearNewcomers && random.Chance(0.3) ? SlotKind{AgeRule::TwoYear, RaceClass::Newcomer} : older1;
    case 8:
    case 12:
        return {AgeRule::ThreePlus, random.Chance(0.5) ? RaceClass::Win1 : RaceClass::Win2};
    case 9:
        return twoYearClass && random.Chance(0.4) ? SlotKind{AgeRule::TwoYear, RaceClass::Win1} : older1;
    case 10:
        return {AgeRule::ThreePlus, random.Chance(0.6) ? RaceClass::Win2 : RaceClass::Win3};
    default:
        return older1;
    }
}

void PlanMainRace(Race& race, const CourseDay& courseDay, const SampleDate& date, int day, SampleRandom& random)
{
    const bool sunday = IsSunday(day);
    const double gradedChance = courseDay.index < 2 ? (sunday ? 0.85 : 0.35) : (sunday ? 0.25 : 0.1);
    const bool firstHalf = date.month <= 5;
    race.age = firstHalf ? AgeRule::FourPlus : AgeRule::ThreePlus;
    race.raceClass = RaceClass::Open;
    if (random.Chance(gradedChance)) {
        const double roll = random.Uniform();
        race.grade = roll < (courseDay.index < 2 && sunday ? 0.08 : 0.0) ? 'A' : roll < 0.35 ? 'B' : 'C';
        if (firstHalf && random.Chance(0.25)) {
            race.age = AgeRule::ThreeYear;
        } else if (date.month >= 10 && random.Chance(0.2)) {
            race.age = AgeRule::TwoYear;
        }
        race.fillies = random.Chance(0.15);
        return;
    }
    const double roll = random.Uniform();
    race.grade = roll < 0.4 ? 'L' : 'E';
    if (roll >= 0.7) {
        race.raceClass = RaceClass::Win3;
    }
}

int PostTime(int raceNumber, int courseIndex)
{
    // Races every half hour with a lunch break after the fourth; the courses of a day are
    // staggered by ten minutes so the main races do not clash.
    static constexpr int kMinutes[] = {0, 595, 625, 655, 685, 735, 765, 795, 825, 855, 890, 925, 965};
    static constexpr int kOffset[] = {10, 20, 0};
    const int minutes = kMinutes[raceNumber] + kOffset[courseIndex % 3];
    return minutes / 60 * 100 + minutes % 60;
}

void FinishPlan(RacePlan& plan, SampleRandom& random)
{
    Race& race = plan.race;
    race.track = TrackCode(*race.course, race.surface, race.distance);
    race.corners = CornerCount(*race.course, race.surface, race.distance);
    race.weightKind = WeightKind(race, random);
    race.symbol = SymbolCode(race);
    const bool special = race.grade != ' ';
    race.prizes[0] = FirstPrize(race.raceClass, race.grade, special, race.surface == Surface::Jump);
    for (int place = 2; place <= 5; ++place) {
        race.prizes[static_cast<std::size_t>(place - 1)] = PlacePrize(race.prizes[0], place);
    }
    plan.fieldTarget =
        std::min(FieldTarget(race.raceClass, race.grade, race.surface == Surface::Jump, random), race.course->maxField);
}

} // namespace

std::vector<CourseDay> CoursesOfDay(const SampleDate& date, int courses)
{
    const int day = DayNumber(date);
    const int saturday = Weekday(day) == 0 ? day - 1 : day;
    const SampleDate saturdayDate = DateOfDay(saturday);
    const int week = (DayOfYear(saturdayDate) - 1) / 7;
    const std::size_t block = static_cast<std::size_t>(std::min(week / 4, 12));
    // The spare third course of a block that has two; it is not counted in the meetings.
    constexpr const char* kSpare = "07";
    const std::size_t wanted = courses >= 1 && courses <= 3 ? static_cast<std::size_t>(courses) : 3;
    std::vector<CourseDay> result;
    for (std::size_t i = 0; i < wanted; ++i) {
        const char* code = kBlocks[block][i];
        if (code == nullptr) {
            if (courses != 3) {
                continue;
            }
            code = kSpare;
        }
        CourseDay courseDay;
        courseDay.course = FindCourse(code);
        courseDay.index = static_cast<int>(i);
        courseDay.meeting = 1;
        for (std::size_t earlier = 0; earlier < block; ++earlier) {
            for (const char* other : kBlocks[earlier]) {
                if (other != nullptr && std::string_view(other) == code) {
                    ++courseDay.meeting;
                }
            }
        }
        courseDay.meetingDay = (week % 4) * 2 + (Weekday(day) == 0 ? 2 : 1);
        result.push_back(courseDay);
    }
    return result;
}

std::vector<RacePlan> PlanCard(const CourseDay& courseDay, const SampleDate& date, int day, SampleRandom& random)
{
    const CourseInfo& course = *courseDay.course;
    const bool jumpToday = !course.jump.empty() && random.Chance(0.5);
    const int jumpSlot = IsSunday(day) ? 4 : 8;
    std::vector<RacePlan> plans;
    for (int number = 1; number <= 12; ++number) {
        RacePlan plan;
        Race& race = plan.race;
        race.date = date;
        race.day = day;
        race.course = &course;
        race.meeting = courseDay.meeting;
        race.meetingDay = courseDay.meetingDay;
        race.number = number;
        race.postTime = PostTime(number, courseDay.index);
        if (number == jumpSlot && jumpToday) {
            race.surface = Surface::Jump;
            race.age = date.month <= 5 ? AgeRule::FourPlus : AgeRule::ThreePlus;
            race.raceClass = random.Chance(0.65) ? RaceClass::Maiden : RaceClass::Open;
            if (race.raceClass == RaceClass::Open && random.Chance(0.12)) {
                race.grade = 'H';
            }
        } else if (number == 11) {
            PlanMainRace(race, courseDay, date, day, random);
        } else {
            const SlotKind kind = SlotOf(number, date, random);
            race.age = kind.age;
            race.raceClass = kind.raceClass;
            if (number == 9 || number == 10) {
                race.grade = 'E';
            }
        }
        if (race.surface != Surface::Jump) {
            const double dirtChance = number == 1 || number == 12                                     ? 0.7
                                      : (race.grade == 'A' || race.grade == 'B' || race.grade == 'C') ? 0.15
                                                                                                      : 0.5;
            race.surface = random.Chance(dirtChance) ? Surface::Dirt : Surface::Turf;
            if (race.age == AgeRule::TwoYear && race.grade != ' ') {
                race.surface = Surface::Turf;
            }
        }
        race.distance = PickDistance(course, race.surface, race.age, race.raceClass, race.grade, random);
        if (race.grade != ' ' && race.surface != Surface::Jump) {
            race.fillies = race.fillies || random.Chance(0.08);
            race.designated = race.grade != 'A' && random.Chance(0.15);
            const int level =
                race.grade == 'E' ? (race.raceClass == RaceClass::Open ? 1 : 0) : (race.grade == 'L' ? 1 : 2);
            race.name = MakeRaceName(random, course.code, date.month, level);
        } else if (race.grade == 'H') {
            race.name = MakeRaceName(random, course.code, date.month, 2);
        }
        FinishPlan(plan, random);
        plans.push_back(std::move(plan));
    }
    return plans;
}

void MakeFallbackRace(RacePlan& plan, Surface surface, SampleRandom& random)
{
    Race& race = plan.race;
    race.surface = surface;
    race.age = race.date.month <= 5 ? AgeRule::FourPlus : AgeRule::ThreePlus;
    race.raceClass = RaceClass::Win1;
    race.grade = ' ';
    race.fillies = false;
    race.designated = false;
    race.name.clear();
    race.distance = PickDistance(*race.course, race.surface, race.age, race.raceClass, race.grade, random);
    FinishPlan(plan, random);
}

} // namespace vornal::samplegen
