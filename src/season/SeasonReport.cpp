#include "season/SeasonReport.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "betting/QuinellaRanks.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"
#include "vocab/CodeNames.h"
#include "vocab/RacingTerms.h"

namespace vornal {
namespace {

// The payout band edges, yen per 100-yen ticket: a band holds [edge, next edge).
constexpr std::array<double, 6> kPayoutEdges{200, 500, 1000, 2000, 5000, 10000};

// Youngest-age condition codes in the order of the classes, lowest first.
constexpr std::array<std::string_view, 7> kClassOrder{"701", "702", "703", "005", "010", "016", "999"};

// splitmix64: a small generator whose sequence is fixed by its seed on every platform.
class Draws
{
public:
    explicit Draws(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }

private:
    std::uint64_t m_state;
};

double RateOf(long long staked, long long returned)
{
    return staked > 0 ? 100.0 * static_cast<double>(returned) / static_cast<double>(staked) : 0.0;
}

std::pair<std::string, std::string> SurfaceKey(const SeasonRace& race)
{
    if (IsSteeplechaseTrack(race.trackCode)) {
        return {"3", Sjis("障害")};
    }
    if (IsTurfTrack(static_cast<int>(LeadingNumber(race.trackCode)))) {
        return {"1", Sjis("芝")};
    }
    return {"2", Sjis("ダート")};
}

std::pair<std::string, std::string> DistanceKey(int metres)
{
    if (metres <= 1400) {
        return {"1", Sjis("1400m以下")};
    }
    if (metres <= 1800) {
        return {"2", Sjis("1401-1800m")};
    }
    if (metres <= 2200) {
        return {"3", Sjis("1801-2200m")};
    }
    return {"4", Sjis("2201m以上")};
}

std::pair<std::string, std::string> FieldKey(int runners)
{
    if (runners <= 8) {
        return {"1", Sjis("8頭以下")};
    }
    if (runners <= 12) {
        return {"2", Sjis("9-12頭")};
    }
    if (runners <= 16) {
        return {"3", Sjis("13-16頭")};
    }
    return {"4", Sjis("17頭以上")};
}

std::pair<std::string, std::string> ClassKey(const std::string& code)
{
    const auto at = std::find(kClassOrder.begin(), kClassOrder.end(), code);
    std::string name = Trim(ConditionClassName(code));
    if (name.empty()) {
        name = Sjis("条件") + code;
    }
    if (at != kClassOrder.end()) {
        return {fmt::sprintf("%d", static_cast<int>(at - kClassOrder.begin())), name};
    }
    return {"9" + code, name};
}

std::pair<std::string, std::string> KeyOf(Breakdown by, const SeasonDay& day, const SeasonRace& race,
                                          const SeasonBet& bet)
{
    switch (by) {
    case Breakdown::Course:
        return {race.courseCode, TrimRight(CourseName(race.courseCode, CourseForm::Short))};
    case Breakdown::Surface:
        return SurfaceKey(race);
    case Breakdown::Distance:
        return DistanceKey(race.distance);
    case Breakdown::Class:
        return ClassKey(race.condition);
    case Breakdown::Field:
        return FieldKey(race.runners);
    case Breakdown::Month: {
        const std::string month = day.dayName.substr(0, 10); // "YYYY年MM月"
        return {month, month};
    }
    case Breakdown::Odds: {
        const int band = PayoutBand(bet.decisionPayout);
        return {fmt::sprintf("%d", band), PayoutBandLabel(band)};
    }
    }
    return {};
}

void Add(BetTypeTotals& totals, const SeasonBet& bet)
{
    totals.Points += bet.points;
    totals.Hits += bet.hit ? 1 : 0;
    totals.Returned += bet.payout;
}

SeriesFigures Figures(const std::vector<Outcome>& days, const std::vector<Outcome>& races,
                      const SeasonReportOptions& options)
{
    SeriesFigures figures;
    std::vector<long long> profits;
    long long sum = 0;
    for (const Outcome& day : days) {
        profits.push_back(day.Profit());
        sum += day.Profit();
        figures.cumulative.push_back(sum);
    }
    figures.drawdown = MaxDrawdown(profits);
    figures.losingDays = LongestLosingRun(days);
    figures.losingRaces = LongestLosingRun(races);
    figures.interval = BootstrapReturnRate(days, options.seed, options.resamples);
    return figures;
}

MethodReport ReportMethod(const SeasonRun& run, std::size_t m, const SeasonReportOptions& options)
{
    MethodReport report;
    report.name = run.methods[m].name;
    report.betKindSuffix = BetKindSuffixOf(run.methods[m].method);
    struct RowWork
    {
        BreakdownRow row;
        std::vector<std::array<Outcome, kBetTypes.size()>> days; // per loaded day of the run
    };
    std::vector<std::map<std::string, RowWork>> rows(options.by.size());
    std::size_t dayIndex = 0;
    std::array<std::vector<Outcome>, kSeriesCount> dayOutcomes;
    std::array<std::vector<Outcome>, kSeriesCount> raceOutcomes;
    std::array<HitRateRow, 9> hitRates{};
    for (const SeasonDay& day : run.days) {
        if (!day.loaded) {
            continue;
        }
        const SeasonMethodDay& judged = day.methods[m];
        report.totals += judged.totals;
        report.dayTotals.push_back(judged.totals);
        for (std::size_t s = 0; s < kSeriesCount; ++s) {
            Outcome outcome;
            for (BetType type : kBetTypes) {
                if (s == kAllTypes || s == static_cast<std::size_t>(type)) {
                    outcome.staked += judged.totals[type].Staked();
                    outcome.returned += judged.totals[type].Returned;
                }
            }
            dayOutcomes[s].push_back(outcome);
        }
        std::vector<std::array<Outcome, kSeriesCount>> perRace(day.races.size());
        for (const SeasonBet& bet : judged.bets) {
            const SeasonRace& race = day.races[static_cast<std::size_t>(bet.race)];
            for (std::size_t b = 0; b < options.by.size(); ++b) {
                auto [order, label] = KeyOf(options.by[b], day, race, bet);
                RowWork& work = rows[b][order];
                work.row.order = order;
                work.row.label = label;
                Add(work.row.totals[bet.type], bet);
                work.days.resize(dayIndex + 1);
                Outcome& outcome = work.days[dayIndex][static_cast<std::size_t>(bet.type)];
                outcome.staked += 100LL * bet.points;
                outcome.returned += bet.payout;
            }
            for (std::size_t s : {static_cast<std::size_t>(bet.type), kAllTypes}) {
                perRace[static_cast<std::size_t>(bet.race)][s].staked += 100LL * bet.points;
                perRace[static_cast<std::size_t>(bet.race)][s].returned += bet.payout;
            }
            if (bet.type == BetType::Quinella && bet.points > 0) {
                for (int c : {0, bet.shareClass}) {
                    HitRateRow& row = hitRates[static_cast<std::size_t>(std::clamp(c, 0, 8))];
                    row.points += 1;
                    row.hits += bet.hit ? 1 : 0;
                    row.expectedRate += bet.expectedHitRate; // summed here, averaged below
                }
            }
        }
        for (const auto& race : perRace) {
            for (std::size_t s = 0; s < kSeriesCount; ++s) {
                raceOutcomes[s].push_back(race[s]);
            }
        }
        ++dayIndex;
    }
    for (std::size_t b = 0; b < options.by.size(); ++b) {
        BreakdownTable table;
        table.by = options.by[b];
        for (auto& [order, work] : rows[b]) {
            // Days on which the row had no bet hold no stake, as in the whole-run interval.
            work.days.resize(dayIndex);
            for (std::size_t t = 0; t < kBetTypes.size(); ++t) {
                if (work.row.totals.ByType[t].Points == 0) {
                    continue;
                }
                std::vector<Outcome> days;
                for (const auto& day : work.days) {
                    days.push_back(day[t]);
                }
                work.row.intervals[t] = BootstrapReturnRate(days, options.seed, options.resamples);
            }
            table.rows.push_back(std::move(work.row));
        }
        report.breakdowns.push_back(std::move(table));
    }
    for (std::size_t s = 0; s < kSeriesCount; ++s) {
        report.series[s] = Figures(dayOutcomes[s], raceOutcomes[s], options);
    }
    for (std::size_t c = 1; c <= 8; ++c) {
        hitRates[c].shareClass = static_cast<int>(c);
    }
    for (HitRateRow& row : hitRates) {
        if (row.points > 0) {
            row.expectedRate /= row.points;
        }
    }
    // All classes first, then the classes that had points.
    report.hitRates.push_back(hitRates[0]);
    for (std::size_t c = 1; c <= 8; ++c) {
        if (hitRates[c].points > 0) {
            report.hitRates.push_back(hitRates[c]);
        }
    }
    return report;
}

} // namespace

std::string_view BreakdownName(Breakdown by)
{
    static constexpr std::array<std::string_view, 7> kNames{"course", "surface", "distance", "class",
                                                            "field",  "month",   "odds"};
    return kNames[static_cast<std::size_t>(by)];
}

std::optional<Breakdown> BreakdownByName(std::string_view name)
{
    for (Breakdown by : kBreakdowns) {
        if (BreakdownName(by) == name) {
            return by;
        }
    }
    return std::nullopt;
}

std::string BreakdownCaption(Breakdown by)
{
    static constexpr std::array<const char*, 7> kCaptions{"競馬場", "馬場", "距離", "クラス", "頭数", "月", "オッズ"};
    return Sjis(kCaptions[static_cast<std::size_t>(by)]);
}

std::string SeriesName(std::size_t series)
{
    return series < kBetTypes.size() ? BetTypeName(kBetTypes[series]) : Sjis("合計");
}

Drawdown MaxDrawdown(const std::vector<long long>& dailyProfit)
{
    Drawdown worst;
    long long cumulative = 0;
    long long peak = 0;
    int below = 0;
    for (long long profit : dailyProfit) {
        cumulative += profit;
        if (cumulative >= peak) {
            peak = cumulative;
            below = 0;
            continue;
        }
        ++below;
        worst.yen = std::max(worst.yen, peak - cumulative);
        worst.days = std::max(worst.days, below);
    }
    return worst;
}

int LongestLosingRun(const std::vector<Outcome>& outcomes)
{
    int longest = 0;
    int run = 0;
    for (const Outcome& outcome : outcomes) {
        if (outcome.staked == 0) {
            continue;
        }
        run = outcome.returned < outcome.staked ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

ReturnInterval BootstrapReturnRate(const std::vector<Outcome>& days, std::uint64_t seed, int resamples)
{
    ReturnInterval interval;
    std::vector<Outcome> staked;
    long long stakedSum = 0;
    long long returnedSum = 0;
    for (const Outcome& day : days) {
        if (day.staked > 0) {
            staked.push_back(day);
            stakedSum += day.staked;
            returnedSum += day.returned;
        }
    }
    interval.days = static_cast<int>(staked.size());
    interval.rate = RateOf(stakedSum, returnedSum);
    if (staked.empty() || resamples < 1) {
        interval.low = interval.high = interval.rate;
        return interval;
    }
    Draws draws(seed);
    std::vector<double> rates;
    rates.reserve(static_cast<std::size_t>(resamples));
    for (int i = 0; i < resamples; ++i) {
        long long s = 0;
        long long r = 0;
        for (std::size_t d = 0; d < staked.size(); ++d) {
            const Outcome& day = staked[draws.Below(staked.size())];
            s += day.staked;
            r += day.returned;
        }
        rates.push_back(RateOf(s, r));
    }
    std::sort(rates.begin(), rates.end());
    const double last = static_cast<double>(rates.size() - 1);
    interval.low = rates[static_cast<std::size_t>(std::floor(0.05 * last))];
    interval.high = rates[static_cast<std::size_t>(std::ceil(0.95 * last))];
    return interval;
}

int PayoutBand(double payout)
{
    if (!(payout > 0)) {
        return 0;
    }
    int band = 1;
    for (double edge : kPayoutEdges) {
        if (payout >= edge) {
            ++band;
        }
    }
    return band;
}

std::string PayoutBandLabel(int band)
{
    static constexpr std::array<const char*, 8> kLabels{"不明",        "200円未満",   "200-499円",   "500-999円",
                                                        "1000-1999円", "2000-4999円", "5000-9999円", "10000円以上"};
    return Sjis(kLabels[static_cast<std::size_t>(std::clamp(band, 0, 7))]);
}

std::vector<CalibrationRow> Calibrate(const std::vector<std::pair<double, int>>& predictedPaid)
{
    std::array<CalibrationRow, 8> bands{};
    for (const auto& [predicted, paid] : predictedPaid) {
        CalibrationRow& row = bands[static_cast<std::size_t>(PayoutBand(predicted))];
        ++row.count;
        row.meanPredicted += predicted;
        row.meanPaid += paid;
    }
    std::vector<CalibrationRow> rows;
    for (std::size_t b = 0; b < bands.size(); ++b) {
        CalibrationRow row = bands[b];
        row.band = static_cast<int>(b);
        if (row.count == 0) {
            continue;
        }
        row.meanPredicted /= row.count;
        row.meanPaid /= row.count;
        rows.push_back(row);
    }
    return rows;
}

SeasonReport BuildSeasonReport(const SeasonRun& run, const SeasonReportOptions& options)
{
    SeasonReport report;
    report.seed = options.seed;
    report.resamples = options.resamples;
    report.cancelled = run.cancelled;
    std::vector<std::pair<double, int>> win;
    std::vector<std::pair<double, int>> quinella;
    for (const SeasonDay& day : run.days) {
        if (!day.loaded) {
            report.failedDays.push_back(day.dayName);
            continue;
        }
        report.days.push_back(day.dayName);
        report.modes.push_back(day.mode);
        for (const SeasonRace& race : day.races) {
            if (race.paidWin > 0) {
                win.emplace_back(race.predictedWin, race.paidWin);
            }
            if (race.paidQuinella > 0) {
                quinella.emplace_back(race.predictedQuinella, race.paidQuinella);
            }
        }
    }
    report.winCalibration = Calibrate(win);
    report.quinellaCalibration = Calibrate(quinella);
    for (std::size_t m = 0; m < run.methods.size(); ++m) {
        report.methods.push_back(ReportMethod(run, m, options));
    }
    return report;
}

} // namespace vornal
