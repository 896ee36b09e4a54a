#include "samplegen/RacingRules.h"

#include <algorithm>
#include <cmath>

namespace vornal::samplegen {

double MaturityLoss(int age, int month)
{
    switch (age) {
    case 0:
    case 1:
        return 3.0;
    case 2:
        return 1.6 - 0.08 * std::max(0, month - 6);
    case 3:
        return 1.0 - 0.075 * (month - 1);
    case 4:
        return std::max(0.0, 0.1 - 0.02 * (month - 1));
    case 5:
        return 0;
    case 6:
        return 0.08;
    case 7:
        return 0.25;
    default:
        return 0.45 + 0.15 * (age - 8);
    }
}

int ClassLevel(RaceClass raceClass)
{
    switch (raceClass) {
    case RaceClass::Newcomer:
    case RaceClass::Maiden:
        return 0;
    case RaceClass::Win1:
        return 1;
    case RaceClass::Win2:
        return 2;
    case RaceClass::Win3:
        return 3;
    case RaceClass::Open:
        return 4;
    }
    return 0;
}

int LevelOfWins(int wins)
{
    return std::min(wins, 4);
}

std::string ConditionCode(RaceClass raceClass)
{
    switch (raceClass) {
    case RaceClass::Newcomer:
        return "701";
    case RaceClass::Maiden:
        return "703";
    case RaceClass::Win1:
        return "005";
    case RaceClass::Win2:
        return "010";
    case RaceClass::Win3:
        return "016";
    case RaceClass::Open:
        return "999";
    }
    return "000";
}

std::string RaceKindCode(AgeRule age, bool jump)
{
    if (jump) {
        return age == AgeRule::FourPlus ? "19" : "18";
    }
    switch (age) {
    case AgeRule::TwoYear:
        return "11";
    case AgeRule::ThreeYear:
        return "12";
    case AgeRule::ThreePlus:
        return "13";
    case AgeRule::FourPlus:
        return "14";
    }
    return "00";
}

long long FirstPrize(RaceClass raceClass, char grade, bool special, bool jump)
{
    if (jump) {
        if (grade == 'F') {
            return 660000;
        }
        if (grade == 'G' || grade == 'H') {
            return 400000;
        }
        return raceClass == RaceClass::Open ? 170000 : 90000;
    }
    switch (grade) {
    case 'A':
        return 1500000;
    case 'B':
        return 620000;
    case 'C':
        return 410000;
    case 'L':
        return 250000;
    default:
        break;
    }
    switch (raceClass) {
    case RaceClass::Newcomer:
        return 70000;
    case RaceClass::Maiden:
        return 55000;
    case RaceClass::Win1:
        return special ? 95000 : 80000;
    case RaceClass::Win2:
        return special ? 130000 : 110000;
    case RaceClass::Win3:
        return special ? 190000 : 180000;
    case RaceClass::Open:
        return 240000;
    }
    return 0;
}

long long PlacePrize(long long firstPrize, int position)
{
    static constexpr int kPercent[] = {100, 40, 25, 15, 10};
    if (position < 1 || position > 5) {
        return 0;
    }
    return firstPrize * kPercent[position - 1] / 100;
}

long long EarnedForWin(RaceClass raceClass, long long firstPrize)
{
    // Winning a class race lifts the horse by a fixed amount; open races count half the
    // first prize.
    switch (raceClass) {
    case RaceClass::Newcomer:
    case RaceClass::Maiden:
        return 40000;
    case RaceClass::Win1:
        return 50000;
    case RaceClass::Win2:
        return 60000;
    case RaceClass::Win3:
        return 90000;
    case RaceClass::Open:
        return firstPrize / 2;
    }
    return 0;
}

int CarriedWeight(const Race& race, const Horse& horse, double handicapEdge, int wins)
{
    const int age = AgeIn(horse, race.date.year);
    const bool female = horse.sex == '2';
    int kg10 = 0;
    if (race.surface == Surface::Jump) {
        kg10 = 600 + (race.weightKind == '2' ? std::min(wins, 3) * 10 : 0) - (female ? 20 : 0);
        return kg10;
    }
    // Weight for age: juveniles 55 kg, three-year-olds 57 kg in their own races and less
    // against their elders until the autumn; fillies and mares 2 kg less.
    if (age <= 2) {
        kg10 = 550;
    } else if (age == 3 && (race.age == AgeRule::ThreeYear || race.age == AgeRule::TwoYear)) {
        kg10 = 570;
    } else if (age == 3) {
        kg10 = race.date.month <= 9 ? 550 : 570;
    } else {
        kg10 = 580;
    }
    if (female) {
        kg10 -= 20;
    }
    switch (race.weightKind) {
    case '1': {
        // Handicaps put about 2 kg on a horse for each second a mile it is thought better.
        const double kg = 55.0 + handicapEdge * 2.0 - (female ? 1.0 : 0.0);
        const double halfKg = std::round(std::clamp(kg, 48.0, 60.0) * 2.0) / 2.0;
        return static_cast<int>(std::lround(halfKg * 10.0));
    }
    case '2':
        // Allowance races add a kilogram for each win beyond the class.
        return kg10 + std::clamp(wins - 3, 0, 3) * 10;
    default:
        return kg10;
    }
}

} // namespace vornal::samplegen
