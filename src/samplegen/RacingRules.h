#pragma once

#include <string>

#include "samplegen/SeasonModel.h"

// Rules of JRA racing the sample season follows: ages, classes, prize money, carried
// weights and the codes the data service gives them.
namespace vornal::samplegen {

// A horse's age in a given year (racing ages change on 1 January).
inline int AgeIn(const Horse& horse, int year)
{
    return year - horse.birthYear;
}

// Seconds a mile a horse of this age still lacks of its mature ability in this month:
// two-year-olds are far from it, three-year-olds close the gap during the year, and from
// seven on the loss comes back.
double MaturityLoss(int age, int month);

// 0 for newcomer and maiden races, 1..3 for the win classes, 4 for open races.
int ClassLevel(RaceClass raceClass);
// The class of a horse with this many wins.
int LevelOfWins(int wins);

// The 3-digit race condition code: 701 newcomer, 703 maiden, 005/010/016 win classes, 999 open.
std::string ConditionCode(RaceClass raceClass);
// The 2-digit race kind code: 11 two-year-olds .. 14 four and up; 18/19 steeplechases.
std::string RaceKindCode(AgeRule age, bool jump);

// First prize in hundreds of yen; places 2..5 take 40, 25, 15 and 10 percent of it.
long long FirstPrize(RaceClass raceClass, char grade, bool special, bool jump);
// The main prize of finishing position 1..5 (0 beyond).
long long PlacePrize(long long firstPrize, int position);
// The class-setting ("earned") prize a winner of this race adds, hundreds of yen.
long long EarnedForWin(RaceClass raceClass, long long firstPrize);

// Carried weight in tenths of a kg for a horse in a race of the given weight kind.
// `handicapEdge` is the horse's rating above the field's average, used by handicaps.
int CarriedWeight(const Race& race, const Horse& horse, double handicapEdge, int wins);

} // namespace vornal::samplegen
