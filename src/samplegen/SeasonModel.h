#pragma once

#include <array>
#include <climits>
#include <string>
#include <vector>

#include "samplegen/Courses.h"
#include "samplegen/SampleDate.h"

// The hidden truth of the sample season and what was seen of it: the horses, riders and
// trainers with their real abilities, every race with its runners, results, odds and
// payouts. The record writers turn this into JV-Data; nothing here is text of the feed
// except the names, which are kept as the CP932 bytes the records carry.
namespace vornal::samplegen {

// Finishing counts 1st, 2nd, 3rd, 4th, 5th and unplaced, the grouping of every master.
using PlaceCounts = std::array<int, 6>;

// The bucket of PlaceCounts a finishing position falls in (position 0 = did not finish).
inline int PlaceBucket(int position)
{
    return position >= 1 && position <= 5 ? position - 1 : 5;
}

enum class RaceClass { Newcomer, Maiden, Win1, Win2, Win3, Open };
enum class AgeRule { TwoYear, ThreeYear, ThreePlus, FourPlus };
enum class RunStatus { Ran, Scratched, Stopped };

// A rider's or trainer's finishing counts of one year, flat and jumps.
struct YearRecord
{
    int year = 0;
    PlaceCounts flat{};
    PlaceCounts jump{};
};

struct Jockey
{
    std::string code;       // 5 digits
    std::string shortName;  // 8 bytes CP932
    char affiliation = '1'; // '1' east, '2' west, '3' invited from local racing, '4' from abroad
    double skill = 0;       // seconds a mile the rider is worth
    double demand = 1;      // how readily trainers book him
    bool flat = true;
    bool jumps = false;
    int activeFrom = INT_MIN; // day numbers of a short-term licence
    int activeTo = INT_MAX;
    std::vector<YearRecord> before; // counts of the years before the season (the season's own year up to its start)
};

struct Trainer
{
    std::string code;
    std::string shortName;
    char affiliation = '1';
    double quality = 0; // seconds a mile his horses gain
    std::vector<YearRecord> before;
};

// What a horse had done at JRA before the season began.
struct PriorCareer
{
    PlaceCounts flat{};
    PlaceCounts jump{};
    long long flatPrize = 0; // main prize, hundreds of yen
    long long jumpPrize = 0;
    long long flatAdded = 0;  // added prize
    long long flatEarned = 0; // the prize that sets the horse's class
    long long jumpEarned = 0;
};

struct RunRef
{
    int race = 0;
    int runner = 0;
};

struct Horse
{
    std::string id;   // 10 digits: birth year, breed "1", serial
    std::string name; // 36 bytes CP932
    int birthYear = 0;
    char sex = '1';   // '1' colt or horse, '2' filly or mare, '3' gelding
    std::string coat; // coat colour code
    int trainer = 0;
    bool local = false; // trained at a local racecourse, runs only in races open to such horses
    // Hidden ability: seconds a mile faster than a 1-win-class winner, at maturity.
    double peak = 0;
    double jumpRating = 0;
    Surface surface = Surface::Turf; // preferred flat surface
    double offSurface = 0;           // seconds a mile lost on the other surface
    int bestDistance = 1600;
    double style = 0.5; // 0 front-runner .. 1 closer
    bool jumper = false;
    int debutDay = 0; // first day it may run
    int readyDay = 0; // next day it may run
    int retireDay = INT_MAX;
    int flatWins = 0; // JRA wins, the season's and before
    int jumpWins = 0;
    int starts = 0; // JRA starts, the season's and before
    PriorCareer prior;
    std::vector<RunRef> runs; // in date order
};

struct Runner
{
    int horse = -1; // -1: a local or foreign horse outside the sample world
    int jockey = -1;
    int trainer = -1;
    int frame = 0;
    int number = 0;
    int weight = 0;      // carried weight, tenths of a kg
    double rating = 0;   // true ability on the day, seconds a mile
    double market = 0;   // the betting public's estimate of it
    double style = 0.5;  // running style: 0 makes the running, 1 comes from behind
    double winShare = 0; // share of the win pool
    int oddsTenths = 0;
    int popularity = 0;
    RunStatus status = RunStatus::Ran;
    int position = 0;   // final position (also the order of arrival); 0 when not placed
    double seconds = 0; // exact finishing time
    int timeTenths = 0;
    int last3FTenths = 0;
    std::array<int, 4> corners{};
    int marginTenths = 0; // behind the winner; the winner's is minus its lead
    long long prize = 0;  // hundreds of yen
    long long addedPrize = 0;
    long long earned = 0; // class-setting prize won here
};

struct PayEntry
{
    int first = 0;  // horse or bracket number
    int second = 0; // for pairs
    long long yen = 0;
    int popularity = 0;
};

struct Payouts
{
    std::vector<PayEntry> win, place, bracket, quinella, wide;
};

struct Race
{
    SampleDate date;
    int day = 0;
    const CourseInfo* course = nullptr;
    int meeting = 1;
    int meetingDay = 1;
    int number = 1;
    Surface surface = Surface::Turf;
    int distance = 1600;
    std::string track;
    int corners = 4;
    AgeRule age = AgeRule::ThreePlus;
    RaceClass raceClass = RaceClass::Win1;
    char grade = ' ';
    std::string symbol = "000";
    char weightKind = '4';
    bool fillies = false;
    bool designated = false; // open to horses of local racing
    std::string name;        // UTF-8; empty for a general race
    int postTime = 1000;     // hhmm
    char goingTurf = '1';
    char goingDirt = '1';
    int registered = 0; // horses on the card, outside horses included
    std::array<long long, 5> prizes{};
    std::vector<Runner> runners; // by horse number
    Payouts pay;
    bool published = true; // results released (every race day but the last)
};

struct RaceDay
{
    SampleDate date;
    int day = 0;
    std::vector<int> races; // JRA races of the day, by racecourse and race number
};

struct World
{
    std::vector<Horse> horses;
    std::vector<Jockey> jockeys;
    std::vector<Trainer> trainers;
};

struct Season
{
    World world;
    std::vector<Race> races;       // every race in date order, JRA and outside
    std::vector<RaceDay> raceDays; // the JRA race days
    std::vector<int> outsideRaces; // local exchange races and races abroad
    int firstDay = 0;
    int lastDay = 0; // the race day whose results are not yet out
};

} // namespace vornal::samplegen
