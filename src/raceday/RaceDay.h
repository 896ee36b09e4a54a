#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "raceday/FixedText.h"
#include "store/JvLayout.h"
#include "vocab/Combinations.h"

// The race day in memory: up to 36 races of one date, up to 18 runners each, five earlier
// runs per runner, and every value the analysis, payout, betting and result passes derive
// from them. It is one value of fixed arrays (about 10 MB): hold it on the heap
// (std::make_unique<RaceDay>()) and pass it by reference.
//
// Indices:
//   race slot r      0..35  position of the race in the day's race file (not the race number)
//   runner slot h    0..17  horse number - 1
//   past run k       0..4   0 = the most recent earlier run
//   quinella q       1..153 combination numbering of vocab/Combinations.h; element 0 unused
//   bracket b        1..36  likewise; element 0 unused
//   bet i            1..10  bet combination number; element 0 unused
//   result entry     0-based, in the payout record's order (entry 1 of a table is [0])
//
// Missing values: 10000 in the minimum-type figures (OverallMin, the past-run gaps, the lap
// speeds), 0 in base times, ability fields and ranks; odds are -1 for a "----"/"****" text
// and -2 for a blank one.
namespace vornal {

constexpr int kRaceSlots = 36;
constexpr int kRunnerSlots = 18;
constexpr int kPastRuns = 5;
constexpr int kFinishCountGroups = 23;
constexpr int kFinishCountPlaces = 6; // 1st, 2nd, 3rd, 4th, 5th, other
constexpr int kBetSlots = 10;
constexpr double kNoValue = 10000.0;

using RaRecord = RecordText<jv::kLengthRA>;
using SeRecord = RecordText<jv::kLengthSE>;
using HrRecord = RecordText<jv::kLengthHR>;
using O1Record = RecordText<jv::kLengthO1>;
using O2Record = RecordText<jv::kLengthO2>;
using UmRecord = RecordText<jv::kLengthUM>;

// One earlier run of a runner.
struct PastRun
{
    // Identification, copied from the run's SE record and its race's RA record.
    bool PastRunPresent = false;     // set for all five k of every runner below RunnerCount
    FixedText<16> PastRaceKey;       // SE 12..27
    FixedText<10> PastRunKey;        // SE 12 (4), 16 (4), 20 (2): date and racecourse
    int PastDistance = 0;            // RA 698, metres
    int PastPlace = 0;               // SE 335, final position
    FixedText<4> PastTime;           // SE 339, mSSf
    FixedText<3> PastLast3F;         // SE 391, SSf
    FixedText<2> PastTrack;          // RA 706
    FixedText<1> PastGoing;          // RA 889 on turf, RA 890 on dirt, empty otherwise
    FixedText<2> PastHorseNo;        // SE 29
    FixedText<1> PastFrameNo;        // SE 28
    std::array<int, 4> PastCorner{}; // SE 352, 354, 356, 358: corners 1..4
    FixedText<4> PastTimeDiff;       // SE 532, sign and three digits in tenths
    FixedText<6> PastRaceName3;      // RA 605
    FixedText<1> PastGrade;          // RA 615
    FixedText<2> PastRaceKind;       // RA 617
    FixedText<3> PastRaceSymbol;     // RA 619
    FixedText<1> PastWeightKind;     // RA 622
    FixedText<3> PastCondition;      // RA 635
    int PastPopularity = 0;          // SE 364

    // Speed figures of the past-performance pass.
    double PastBaseTime = 0.0;  // 0 when not computed
    double PastAdjLast3F = 0.0; // distance-adjusted last 600 m, seconds
    double PastFirstPace = 0.0; // seconds per 600 m before the last 600 m
    double PastWinnerBaseTime = 0.0;
    double PastNearLast3F = 0.0; // PastAdjLast3F of a run within 200 m of today
    double PastWinnerFirstPace = 0.0;
    double PastBaseTimeGap = kNoValue;
    double PastLast3FGap = kNoValue;
    double PastFirstPaceGap = kNoValue;
    double PastRankKey = kNoValue;
    int PastGapRank = 0;        // 1 = smallest key of the race; 0 = not ranked
    FixedText<3> PastGradeCode; // base-time, first-pace, last-600 m grade digits
    FixedText<6> PastAxisCode;

    // Working values of the rating pass.
    FixedText<2> PastFinish;
    FixedText<4> PastMargin;
    FixedText<3> PastWeight;

    // Ability deviation pass.
    double RIndex = 0.0;
    int RIndexRank = 0;
    double RTime = 0.0;
    int RTimeRank = 0;
};

// One runner slot of a race.
struct Runner
{
    // Identification (loader, from RunnerSE).
    FixedText<2> HorseNo;        // SE 29
    FixedText<1> FrameNo;        // SE 28
    FixedText<10> RunnerHorseId; // SE 31
    FixedText<18> HorseName;     // SE 41, first 18 bytes
    FixedText<1> SexCode;        // SE 79
    int CoatColourCode = 0;      // SE 81..82 as a number
    FixedText<3> CarriedWeight;  // SE 289, tenths of a kilogram
    FixedText<5> JockeyCode;     // SE 297
    FixedText<8> JockeyName;     // SE 307
    FixedText<5> TrainerCode;    // SE 86
    FixedText<8> TrainerName;    // SE 91
    // Counts of 1st..5th and other places for the 23 horse-master groups the loader takes
    // (jv::um::kCountGroups order).
    std::array<std::array<int, kFinishCountPlaces>, kFinishCountGroups> FinishCounts{};

    // Odds: not cleared by ClearRaceDay; the loader sets them for all 18 slots.
    double WinOdds = 0.0;
    double PlaceOddsLow = 0.0;
    double PlaceOddsHigh = 0.0;

    // Ratings.
    int TotalPrize = 0; // units of 10,000 yen
    int TotalStarts = 0;
    double ClassValue = 0.0;
    double ClassShare = 0.0;
    double ClassMargin = 0.0;
    double JockeyRate = 0.0;  // fraction
    double TrainerRate = 0.0; // fraction
    int CareerRuns = 0;
    double CareerAdj = 0.0;
    double AvgMargin = 0.0;
    double AvgWeight = 0.0;
    double GateAdj = 0.0;
    double RawGoalMargin = 0.0;
    double GoalMargin = 0.0;
    double RelMargin = 0.0;
    double ConditionTerm = 0.0;
    double GoalShare = 0.0;
    double FinalGoalMargin = 0.0;
    double RotationValue = 0.0;
    double RotationShare = 0.0;
    double RotationPayout = 0.0;
    double RotationWinRate = 0.0;
    double RotationExcess = 0.0;
    double AchievementProb = 0.0; // fraction
    int RankAchievement = 0;
    int RankClass = 0;
    int RankAvgMargin = 0;
    int RankRotation = 0;
    int RankGoal = 0;
    int RankFinalGoal = 0;
    int RankBaseTime = 0;
    int RankBestBaseTime = 0;
    int RankOverallMin = 0;

    // Predicted payouts.
    double WinShare = 0.0;
    double TopTwoShare = 0.0;
    double TopTwoChance = 0.0;
    double BShare = 0.0;
    double PredictedWinPayout = 0.0;
    int WinRank = 0;
    int BRank = 0;
    double PredictedMargin = 0.0;

    // Lap analysis and ability deviation.
    double RecordTime = kNoValue;
    double FrontSpeed = kNoValue;
    double BackSpeed = kNoValue;
    double AbilityIndex = 0.0;
    double AbilityTime = 0.0;
    double Stamina = 0.0;
    int RankAbility = 0;
    int RankAbilityTime = 0;
    int RankStamina = 0;
    int RankRecordTime = 0;
    int RankFrontSpeed = 0;
    int RankBackSpeed = 0;
    FixedText<1> LapMark;
    double AbilityDeviation = 0.0;

    // Running style (past-performance pass).
    double AvgCorner4 = 0.0;
    double RunningStyle = 0.0;
    double Corner4StdDev = 0.0;
    int RunningStyleRank = 0;

    // Base times (past-performance pass; RunnerAxisCode by the axis-code step).
    double BestBaseTime = 0.0;
    double OverallMin = kNoValue;
    double AvgAdjLast3F = 0.0;
    double Last3FOffset = 0.0;
    int Last3FOffsetRank = 0;
    FixedText<3> BestGradeCode;
    FixedText<6> RunnerAxisCode;

    // Results.
    int FinishPos = 0;
    int WinPopularity = 0;
    double FinalWinOdds = 0.0;

    std::array<PastRun, kPastRuns> Past{};
};

// One entry of a win or place payout table: horse number, yen per 100-yen ticket, popularity.
struct RunnerPayout
{
    int Key = 0;
    int Payout = 0;
    int Popularity = 0;
};

// One entry of a pair payout table: the five-character combination text (" 3- 6").
struct PairPayout
{
    FixedText<5> Key;
    int Payout = 0;
    int Popularity = 0;
};

// One race slot.
struct RaceSlot
{
    // Identification and header (loader).
    bool RaceLoaded = false;
    // Set by the load when runner records of the registered count are missing from the store
    // (a blank record, a record of another horse number, no runner file): such a race is
    // listed but neither rated, priced nor bet, so no blank runner gets a figure. The load's
    // verdict rather than a figure of the race, named like the JSON's own keys and written
    // there only when set.
    bool incomplete = false;
    FixedText<16> SlotKey;       // RA 12..27
    FixedText<60> RaceName;      // RA 33
    FixedText<6> RaceShortName;  // RA 605
    FixedText<1> GradeCode;      // RA 615
    FixedText<1> WeightKindCode; // RA 622
    // Condition codes for 2-year-olds, 3-year-olds, 4-year-olds, 5 and older, youngest.
    std::array<FixedText<3>, 5> ConditionCodes{};
    FixedText<2> RaceKindCode; // RA 617
    FixedText<4> DistanceText; // RA 698
    FixedText<2> TrackCode;    // RA 706
    FixedText<4> PostTime;     // RA 874, "hhmm"
    int RunnerCount = 0;       // RA 882: every per-runner loop runs over 0..RunnerCount-1
    FixedText<5> AutoOddsTime; // "hhmm"; empty when not set
    FixedText<5> OddsO1Time;   // "hhmm" of the O1 record
    FixedText<5> OddsO2Time;   // "hhmm" of the O2 record

    // Past-run statistics of the race (past-performance pass).
    double RaceMeanWinnerBase = 0.0;
    double RaceMeanLast3F = 0.0;
    double RaceMeanFirstPace = 0.0;
    double RaceSdWinnerBase = 0.0;
    double RaceSdLast3F = 0.0;
    double RaceSdFirstPace = 0.0;
    int RaceCountWinnerBase = 0; // values that entered the winner base-time figures
    int RaceCountLast3F = 0;
    int RaceCountFirstPace = 0;

    // Lap statistics panel: the three spreads and their negatives.
    std::array<double, 3> LapSpreadPlus{};
    std::array<double, 3> LapSpreadMinus{};

    // Combinations (predicted payouts, quinella ranking, imported odds). 1-based.
    std::array<double, kQuinellaCount + 1> QuinellaProb{};
    std::array<double, kQuinellaCount + 1> PredictedQuinellaPayout{};
    std::array<int, kQuinellaCount + 1> QuinellaRank{};
    std::array<double, kBracketCount + 1> BracketOddsValue{};
    double PopularityShare = 0.0;

    // Ability deviation.
    double AbilityMean = 0.0;
    double AbilitySpread = 0.0;
    int PastRowCount = 0;

    // Results: entries in the payout record's order.
    std::array<RunnerPayout, 3> WinResult{};
    std::array<RunnerPayout, 5> PlaceResult{};
    std::array<PairPayout, 3> BracketResult{};
    std::array<PairPayout, 3> QuinellaResult{};
    std::array<PairPayout, 7> WideResult{};

    std::array<Runner, kRunnerSlots> Runners{};
};

// The bets of one race and their judgement. Not touched by ClearRaceDay: the day pipeline
// and the betting combinations rewrite it on every run. Bet arrays are 1-based (1..10).
struct BetRecord
{
    std::array<FixedText<5>, kBetSlots + 1> BetCombos{}; // empty = no bet; only 1..3 are filled
    int BetRunner = 0;                                   // horse number, 0 = none
    std::array<double, kQuinellaCount + 1> CumulativeHitRate{};
    std::array<FixedText<4>, kQuinellaCount + 1> RankMark{};
    std::array<bool, kBetSlots + 1> WideHit{};
    std::array<int, kBetSlots + 1> WideHitPay{};
    std::array<bool, kBetSlots + 1> QuinellaHit{};
    std::array<int, kBetSlots + 1> QuinellaHitPay{};
    bool WinHit = false;
    int WinHitPay = 0;
    bool PlaceHit = false;
    int PlaceHitPay = 0;
    // Bet types with a result ("U", "W", "T", "F"), empty otherwise.
    FixedText<1> ResultMarkQuinella;
    FixedText<1> ResultMarkWide;
    FixedText<1> ResultMarkWin;
    FixedText<1> ResultMarkPlace;
};

struct RaceDay
{
    RaceDay() = default;
    // A day is about 10 MB: it is never copied by accident, only through Clone.
    RaceDay(const RaceDay&) = delete;
    RaceDay& operator=(const RaceDay&) = delete;
    std::unique_ptr<RaceDay> Clone() const;

    // Days live in blocks of their own (raceday/DayBlock.h).
    static void* operator new(std::size_t size);
    static void operator delete(void* day, std::size_t size) noexcept;

    int RaceCount = 0;                // RA records read from the day's race file (0..36)
    std::filesystem::path OddsO1Path; // DayName + ".jvO1"
    std::filesystem::path OddsO2Path; // DayName + ".jvO2"

    // Raw records, blank-filled by the loader before every load.
    std::array<RaRecord, kRaceSlots> RaceRA{};
    std::array<HrRecord, kRaceSlots> RaceHR{};
    std::array<O1Record, kRaceSlots> RaceO1{};
    std::array<O2Record, kRaceSlots> RaceO2{};
    std::array<std::array<SeRecord, kRunnerSlots>, kRaceSlots> RunnerSE{};
    std::array<std::array<UmRecord, kRunnerSlots>, kRaceSlots> RunnerUM{};
    std::array<std::array<std::array<SeRecord, kPastRuns>, kRunnerSlots>, kRaceSlots> PastSE{};
    std::array<std::array<std::array<RaRecord, kPastRuns>, kRunnerSlots>, kRaceSlots> PastRA{};

    std::array<RaceSlot, kRaceSlots> Races{};
    std::array<BetRecord, kRaceSlots> Bets{};
    std::string BetKindSuffix; // "_No01", "_No02", "_" + user set name, "_SP01".."_SP03"

private:
    struct CloneTag
    {
    };
    RaceDay(const RaceDay& other, CloneTag);
};

// The "初期化" command: resets every derived field of every race slot to its initial value
// (texts empty, numbers 0, flags false, the no-value figures 10000) and the day counters.
// The raw records, the runners' odds and the bet records are left as they are: the loader
// blank-fills the records and sets the odds itself, and the day pipeline rewrites the bets.
void ClearRaceDay(RaceDay& day);

// Blank-fills every raw record of every race slot (RaceRA, RaceHR, RaceO1, RaceO2,
// RunnerSE, RunnerUM, PastSE, PastRA).
void BlankRaceDayRecords(RaceDay& day);

// A day as ClearRaceDay and BlankRaceDayRecords leave `kept` (or a new day when null),
// built without copying the whole block: a new day, then only what a clearing keeps (the
// runners' odds, the bet records and BetKindSuffix) copied from `kept`.
std::unique_ptr<RaceDay> ClearedRaceDay(const RaceDay* kept);

} // namespace vornal
