#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/HitJudgement.h"
#include "season/SeasonRun.h"

// The season report over a season run: per method and bet type the points, hits, staked,
// returned and return rate, broken down by racecourse, surface, distance band, race class,
// field size, month and the odds band of the bet when it was chosen; the profit curve day
// by day with its deepest drawdown, the longest losing streaks and a bootstrap interval of
// the return rate; and how the predicted payouts compare with what the races paid.
//
// Bands (yen per 100-yen ticket for odds and payouts):
//   distance  1400m以下, 1401-1800m, 1801-2200m, 2201m以上
//   field     8頭以下 (judged as 枠連, no ワイド), 9-12頭, 13-16頭, 17頭以上
//   payout    200円未満, 200-499円, 500-999円, 1000-1999円, 2000-4999円, 5000-9999円,
//             10000円以上; "不明" when nothing was known
// Labels are CP932.
namespace vornal {

enum class Breakdown { Course, Surface, Distance, Class, Field, Month, Odds };
inline constexpr std::array<Breakdown, 7> kBreakdowns{Breakdown::Course, Breakdown::Surface, Breakdown::Distance,
                                                      Breakdown::Class,  Breakdown::Field,   Breakdown::Month,
                                                      Breakdown::Odds};

// "course", "surface", "distance", "class", "field", "month", "odds".
std::string_view BreakdownName(Breakdown by);
std::optional<Breakdown> BreakdownByName(std::string_view name);
// The caption of a breakdown (CP932): "競馬場", "馬場", "距離", "クラス", "頭数", "月", "オッズ".
std::string BreakdownCaption(Breakdown by);

// The series of the profit figures: the four bet types, and all of them together.
inline constexpr std::size_t kSeriesCount = kBetTypes.size() + 1;
inline constexpr std::size_t kAllTypes = kBetTypes.size();
// The bet type name, or "合計" for kAllTypes (CP932).
std::string SeriesName(std::size_t series);

// Staked and returned of one day or race, yen.
struct Outcome
{
    long long staked = 0;
    long long returned = 0;
    long long Profit() const { return returned - staked; }
};

// The deepest fall of the cumulative profit below its running peak (which starts at 0,
// before the first day), in yen, and the longest time the curve spent below a peak it had
// reached, in days: from the day after the peak to the day it is reached again, or to the
// end. A day that ends level with the peak is not below it.
struct Drawdown
{
    long long yen = 0;
    int days = 0;
};
Drawdown MaxDrawdown(const std::vector<long long>& dailyProfit);

// The most consecutive losing entries (returned below staked); entries without a stake
// neither break nor extend a run, a break-even entry breaks it.
int LongestLosingRun(const std::vector<Outcome>& outcomes);

// The return rate (returned ÷ staked × 100) over `days`, and its bootstrap 90 % interval:
// `resamples` draws of as many days with replacement, the 5th and 95th percentile of their
// rates. The days without a stake are left out first. The same seed gives the same interval.
struct ReturnInterval
{
    double rate = 0.0;
    double low = 0.0;
    double high = 0.0;
    int days = 0; // days with a stake
};
ReturnInterval BootstrapReturnRate(const std::vector<Outcome>& days, std::uint64_t seed, int resamples);

// The payout band of a payout (yen per 100-yen ticket): its order (0 for unknown, 1..7) and
// label.
int PayoutBand(double payout);
std::string PayoutBandLabel(int band);

struct BreakdownRow
{
    std::string order; // sorts the rows
    std::string label;
    DayTotals totals;
    // Per bet type, the bootstrap interval of the row's return rate over the race days.
    std::array<ReturnInterval, kBetTypes.size()> intervals{};
};

struct BreakdownTable
{
    Breakdown by = Breakdown::Course;
    std::vector<BreakdownRow> rows;
};

// Predicted against paid, per band of the predicted payout. Every paid race is in exactly
// one band.
struct CalibrationRow
{
    int band = 0;
    int count = 0;
    double meanPredicted = 0.0;
    double meanPaid = 0.0;
    double Ratio() const { return meanPredicted > 0 ? meanPaid / meanPredicted : 0.0; }
};
std::vector<CalibrationRow> Calibrate(const std::vector<std::pair<double, int>>& predictedPaid);

// The 馬連 points of a share class against the hit rate RankHitTable gives for the share
// class and the quinella rank of each (the mean over the points). Class 0 is all classes.
struct HitRateRow
{
    int shareClass = 0;
    int points = 0;
    int hits = 0;
    double expectedRate = 0.0; // percent
    double Rate() const { return points > 0 ? 100.0 * hits / points : 0.0; }
};

struct SeriesFigures
{
    std::vector<long long> cumulative; // per day of the run
    Drawdown drawdown;
    int losingDays = 0;
    int losingRaces = 0;
    ReturnInterval interval;
};

struct MethodReport
{
    std::string name;          // as the user wrote it
    std::string betKindSuffix; // CP932
    DayTotals totals;
    std::vector<DayTotals> dayTotals; // per day of the run
    std::vector<BreakdownTable> breakdowns;
    std::array<SeriesFigures, kSeriesCount> series;
    std::vector<HitRateRow> hitRates;
};

struct SeasonReportOptions
{
    std::vector<Breakdown> by{kBreakdowns.begin(), kBreakdowns.end()};
    std::uint64_t seed = 1;
    int resamples = 2000;
};

struct SeasonReport
{
    std::vector<std::string> days;   // the loaded days, oldest first
    std::vector<DecisionMode> modes; // per day
    std::vector<std::string> failedDays;
    std::vector<MethodReport> methods;
    std::vector<CalibrationRow> winCalibration;
    std::vector<CalibrationRow> quinellaCalibration;
    std::uint64_t seed = 1;
    int resamples = 0;
    bool cancelled = false;
};

SeasonReport BuildSeasonReport(const SeasonRun& run, const SeasonReportOptions& options);

} // namespace vornal
