#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/TuningFiles.h"
#include "app/TuningTables.h"
#include "raceday/RaceDay.h"

// The tuning tables measured again on the user's own stored days.
//
// What is counted, from every loaded race with results:
//   RankHitTable   per share class (of the race's popularity share) the races with a paid
//                  馬連, and per quinella rank the paid 馬連 of that rank and what they paid.
//                  Hit rate = hits / races × 100; expected value = paid yen / 100 / races
//                  (the return of buying that rank in every race of the class).
//   RotationStats  per past run k = 1..5 and finishing bucket b of that run (the rating
//                  pass's bucketing: the place 1..8, 9 for ninth or worse, 10 for no usable
//                  run or no place) the starters that finished, their wins, top-two and
//                  top-three finishes; rates as fractions. The race day holds five past runs,
//                  so rows k = 6..11 (which the ratings never read) keep the shipped values.
//   RankWinRate,   per rating kind 1..10 and rank 1..18 the finishers holding that rank, their
//   RankTopTwoRate wins and top-two finishes; rates in percent.
// A runner counts when it has a finishing position (scratched and non-finishing runners
// have none); a dead heat counts every paid 馬連 and every winner. A race listed without its
// runner records (not rated or priced) counts nowhere.
//
// Shrinkage: a cell seen n times is (n × observed + w × shipped) / (n + w), w the prior
// weight (kDefaultPriorWeight: worth 100 races or starters). An empty cell keeps the shipped
// value; a cell seen far more often than w is close to what was observed. For RankHitTable
// n is the races of the class, so every rank of a class moves by the same weight and the
// hit rates of a class still add up to what the shipped ones add up to.
namespace vornal {

inline constexpr double kDefaultPriorWeight = 100.0;

template <typename T> using RankHitGrid = TuningGrid<T, kShareClasses + 1, kQuinellaRanks + 1>;
template <typename T> using RotationGrid = TuningGrid<T, kRotationRuns + 1, kRotationBuckets + 1>;
template <typename T> using RankRateGrid = TuningGrid<T, kRatingKinds + 1, kRankedRunners + 1>;

struct CalibrationCounts
{
    int Races = 0; // races with results

    std::array<std::int32_t, kShareClasses + 1> ClassRaces{};
    RankHitGrid<std::int32_t> RankHits{};
    RankHitGrid<std::int64_t> RankPaid{}; // yen per 100-yen ticket, summed

    RotationGrid<std::int32_t> Starters{};
    RotationGrid<std::int32_t> Wins{};
    RotationGrid<std::int32_t> TopTwo{};
    RotationGrid<std::int32_t> TopThree{};

    RankRateCounts Ranked{};
    RankRateGrid<std::int32_t> RankWins{};
    RankRateGrid<std::int32_t> RankTopTwo{};

    void Add(const CalibrationCounts& other);
};

// Counts the races of a loaded day (every pass run) into `counts`.
void CountDay(const RaceDay& day, CalibrationCounts& counts);

// (n × observed + prior × shipped) / (n + prior); `shipped` when n is 0.
double Shrink(double observed, std::int64_t n, double shipped, double prior);

// The tables the ratings and predicted payouts use (RotationStats with its normalised
// tables, RankWinRate, RankTopTwoRate) replaced by the shrunk counts. `rankCounts` receives
// the counts behind the rank rates, for "RankRate.dat".
void CalibrateRatingTables(TuningTables& tables, const CalibrationCounts& counts, double prior,
                           RankRateCounts& rankCounts);

// RankHitTable replaced by the shrunk counts. Its ranks and share classes come from the
// predicted payouts, so count it on days run with the rating tables it will be used with.
void CalibrateRankHitTable(TuningTables& tables, const CalibrationCounts& counts, double prior);

// One table against the rates observed on other days: per row (share class, past run,
// rating kind) and in all, the mean of |table − observed| over the cells, each cell weighted
// by the trials behind its observed rate (races of the class, starters, ranked runners).
// Gaps are in percentage points; an expected value (a return ratio) in hundredths.
struct CalibrationGap
{
    std::string table; // "的中率", "期待値", "RT勝率", "単勝配当用", "馬連配当用" (CP932)
    std::vector<std::int64_t> rowTrials; // per row 1.., index 0 unused
    std::vector<double> rowGap;
    std::int64_t trials = 0;
    double gap = 0.0;
};
std::vector<CalibrationGap> CalibrationGaps(const TuningTables& tables, const CalibrationCounts& observed);

} // namespace vornal
