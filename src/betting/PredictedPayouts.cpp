#include "betting/PredictedPayouts.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "raceday/RunnerRanking.h"
#include "store/JvLayout.h"
#include "text/Fields.h"
#include "vocab/Combinations.h"

namespace vornal {
namespace {

constexpr double kLowestPayout = 100.0;
constexpr double kHighestPayout = 9999900.0;
// A top-two chance is never priced above 80 %: the pool keeps the rest.
constexpr double kTopTwoChanceCap = 80.0;

// A payout cut down to a multiple of 10 (the fraction dropped toward zero) and kept within
// the bounds a ticket can pay.
double BoundedPayout(double x)
{
    double payout = std::trunc(x / 10.0) * 10.0;
    if (payout < kLowestPayout) {
        return kLowestPayout;
    }
    if (payout > kHighestPayout) {
        return kHighestPayout;
    }
    return payout;
}

// The ranks of the ten rating kinds, in the order that indexes the rank tables.
std::array<int, kRatingKinds> KindRanks(const Runner& runner)
{
    return {runner.RankAchievement,  runner.RankClass,     runner.RankAvgMargin, runner.RankRotation,
            runner.RankGoal,         runner.RankFinalGoal, runner.RankBaseTime,  runner.RankBestBaseTime,
            runner.RunningStyleRank, runner.RankOverallMin};
}

double Share(double value, double sum)
{
    return sum == 0.0 ? 0.0 : value / sum * 100.0;
}

// Rank by a share, descending; equal shares (at three decimals) go to the higher
// achievement probability, then to the higher horse number.
void RankByShare(std::span<Runner> runners, double Runner::*share, int Runner::*rankField)
{
    RankRunners(runners, RankDirection::Descending, rankField, [share](const Runner& runner) {
        RankEntry entry;
        entry.keys[0] = {runner.*share, 3};
        entry.keys[1] = {runner.AchievementProb, 3};
        entry.keyCount = 2;
        return entry;
    });
}

// Popularity rank of every combination with a payout: the lowest payout first, equal
// payouts (at one decimal) to the lower combination number.
void RankQuinellas(RaceSlot& race)
{
    std::vector<RankEntry> entries;
    for (int k = 1; k <= kQuinellaCount; ++k) {
        if (race.PredictedQuinellaPayout[k] > 0.0) {
            RankEntry entry;
            entry.slot = k;
            entry.horseNo = k;
            entry.keys[0] = {race.PredictedQuinellaPayout[k], 1};
            entries.push_back(entry);
        }
    }
    RankEntries(entries, RankDirection::Ascending, race.QuinellaRank);
}

// Margin behind the B-share leader: 0 for the leader, (B1 - B2) / 4.7 x 0.2 for the
// runner-up, and half a tenth per point of share behind the runner-up for the rest.
void PredictMargins(std::span<Runner> runners)
{
    // Searches start below every share, so a runner with share 0 can still lead; equal
    // shares go to the lower slot.
    int leader = -1;
    double b1 = -1.0;
    for (std::size_t h = 0; h < runners.size(); ++h) {
        if (runners[h].BShare > b1) {
            b1 = runners[h].BShare;
            leader = static_cast<int>(h);
        }
    }
    if (leader < 0) {
        return;
    }
    int second = -1;
    double b2 = -1.0;
    for (std::size_t h = 0; h < runners.size(); ++h) {
        if (static_cast<int>(h) != leader && runners[h].BShare > b2) {
            b2 = runners[h].BShare;
            second = static_cast<int>(h);
        }
    }
    runners[static_cast<std::size_t>(leader)].PredictedMargin = 0.0;
    if (second < 0) {
        return;
    }
    double m2 = (b1 - b2) / 4.7 * 0.2;
    for (std::size_t h = 0; h < runners.size(); ++h) {
        if (static_cast<int>(h) == leader) {
            continue;
        }
        runners[h].PredictedMargin = static_cast<int>(h) == second ? m2 : (b2 - runners[h].BShare) * 0.5 * 0.2 + m2;
    }
}

void ComputeRace(RaceDay& day, int r, const TuningTables& tables)
{
    std::string_view ra = day.RaceRA[r].View();
    std::string_view course = jv::View(ra, jv::kCourseCode);
    if (IsBlank(course) || course == "00" || IsBlank(jv::View(ra, jv::kYear)) || day.Races[r].incomplete) {
        return;
    }
    const int n = static_cast<int>(std::clamp<long long>(jv::Number(ra, jv::ra::kRegistered), 0, kRunnerSlots));
    // The field-size table starts at 3 runners; a smaller field is weighed like one of 3.
    const int fieldRow = std::max(n, kMinFieldRankRunners);

    RaceSlot& race = day.Races[r];
    std::span<Runner> runners(race.Runners.data(), static_cast<std::size_t>(n));

    std::array<double, kRunnerSlots> a{};
    std::array<double, kRunnerSlots> t{};
    std::array<double, kRunnerSlots> c{};
    double sumA = 0.0;
    double sumT = 0.0;
    double sumC = 0.0;
    for (int h = 0; h < n; ++h) {
        std::array<int, kRatingKinds> ranks = KindRanks(runners[h]);
        for (int kind = 1; kind <= kRatingKinds; ++kind) {
            int q = ranks[static_cast<std::size_t>(kind - 1)];
            if (q < 1) {
                continue;
            }
            // The field-size factor is taken at the runner's rank in the kind, not at its
            // popularity.
            double fieldFactor = tables.FieldRankWin(fieldRow, q);
            a[h] += tables.RankWin(kind, q) * fieldFactor;
            t[h] += tables.RankTopTwo(kind, q) * fieldFactor;
            c[h] += tables.RankWin(kind, q);
        }
        sumA += a[h];
        sumT += t[h];
        sumC += c[h];
    }

    for (int h = 0; h < n; ++h) {
        Runner& runner = runners[h];
        runner.WinShare = Share(a[h], sumA);
        runner.TopTwoShare = Share(t[h], sumT);
        runner.BShare = Share(c[h], sumC);
        runner.PredictedWinPayout = PredictedWinPayoutOf(runner.WinShare);
        double chance = 2.0 * runner.TopTwoShare;
        runner.TopTwoChance = chance >= kTopTwoChanceCap ? kTopTwoChanceCap : chance;
    }

    RankByShare(runners, &Runner::WinShare, &Runner::WinRank);
    RankByShare(runners, &Runner::BShare, &Runner::BRank);

    race.PopularityShare = 0.0;
    for (const Runner& runner : runners) {
        if (runner.WinRank >= 1 && runner.WinRank <= 3) {
            race.PopularityShare += runner.WinShare;
        }
    }

    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            int k = QuinellaIndex(i + 1, j + 1);
            double prob = (runners[i].TopTwoChance / 100.0) * (runners[j].TopTwoChance / 100.0);
            race.QuinellaProb[k] = prob;
            race.PredictedQuinellaPayout[k] = PredictedQuinellaPayoutOf(prob);
        }
    }
    RankQuinellas(race);
    PredictMargins(runners);
}

} // namespace

double PredictedWinPayoutOf(double winShare)
{
    if (!(winShare > 0.0)) {
        return 0.0;
    }
    return BoundedPayout(80.0 / winShare * 100.0);
}

double PredictedQuinellaPayoutOf(double quinellaProb)
{
    if (!(quinellaProb > 0.0)) {
        return 0.0;
    }
    return BoundedPayout(75.0 / quinellaProb);
}

void ComputePredictedPayouts(RaceDay& day, const TuningTables& tables)
{
    for (int r = 0; r < kRaceSlots; ++r) {
        ComputeRace(day, r, tables);
    }
}

} // namespace vornal
