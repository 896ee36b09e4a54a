#include "samplegen/Market.h"

#include <algorithm>
#include <cmath>

#include "vocab/Combinations.h"

namespace vornal::samplegen {
namespace {

// Value of a winning ticket per unit staked: the winners get their stake back plus an equal
// part of what is left of the pool for each winning entry. Never less than the stake.
double TicketValue(double returnRate, double totalWinningShare, int winningEntries, double share)
{
    if (share <= 0 || winningEntries <= 0) {
        return 1.0;
    }
    const double value = 1.0 + (returnRate - totalWinningShare) / winningEntries / share;
    return std::max(1.0, value);
}

long long YenOf(double value)
{
    // Ten-yen steps, rounded down; the small epsilon keeps 2.0 from becoming 1.9.
    return static_cast<long long>(std::floor(value * 10.0 + 1e-9)) * 10;
}

int PopularityOf(const std::vector<PoolShare>& pool, double share)
{
    int better = 0;
    for (const PoolShare& entry : pool) {
        if (entry.share > share) {
            ++better;
        }
    }
    return better + 1;
}

double ShareOf(const std::vector<PoolShare>& pool, int a, int b)
{
    if (a > b) {
        std::swap(a, b);
    }
    for (const PoolShare& entry : pool) {
        if (entry.first == a && entry.second == b) {
            return entry.share;
        }
    }
    return 0;
}

// Probability that a, then b, then c fill the first three places.
double Ordered3(const std::vector<double>& p, std::size_t a, std::size_t b, std::size_t c)
{
    const double restA = 1.0 - p[a];
    const double restAB = restA - p[b];
    if (restA <= 0 || restAB <= 0) {
        return 0;
    }
    return p[a] * p[b] / restA * p[c] / restAB;
}

double Ordered2(const std::vector<double>& p, std::size_t a, std::size_t b)
{
    const double restA = 1.0 - p[a];
    return restA <= 0 ? 0 : p[a] * p[b] / restA;
}

struct Finisher
{
    int number;
    int position;
};

std::vector<Finisher> FinishersUpTo(const Race& race, int lastPosition)
{
    std::vector<Finisher> finishers;
    for (const Runner& runner : race.runners) {
        if (runner.position >= 1 && runner.position <= lastPosition) {
            finishers.push_back({runner.number, runner.position});
        }
    }
    std::sort(finishers.begin(), finishers.end(), [](const Finisher& a, const Finisher& b) {
        return a.position != b.position ? a.position < b.position : a.number < b.number;
    });
    return finishers;
}

void PayPairs(std::vector<PayEntry>& out, const std::vector<std::pair<int, int>>& winners,
              const std::vector<PoolShare>& pool, std::size_t capacity)
{
    double total = 0;
    for (const auto& [a, b] : winners) {
        total += ShareOf(pool, a, b);
    }
    for (const auto& [a, b] : winners) {
        if (out.size() >= capacity) {
            break;
        }
        const double share = ShareOf(pool, a, b);
        if (share <= 0) {
            continue;
        }
        const long long yen = YenOf(TicketValue(kPairReturn, total, static_cast<int>(winners.size()), share));
        out.push_back({std::min(a, b), std::max(a, b), yen, PopularityOf(pool, share)});
    }
}

} // namespace

int Starters(const Race& race)
{
    int starters = 0;
    for (const Runner& runner : race.runners) {
        if (runner.status != RunStatus::Scratched) {
            ++starters;
        }
    }
    return starters;
}

int PlacesPaid(int starters)
{
    return starters >= 8 ? 3 : starters >= 5 ? 2 : 0;
}

bool BracketSold(const Race& race)
{
    return race.registered >= 9;
}

int OddsTenths(double returnRate, double share)
{
    if (share <= 0) {
        return 99999;
    }
    const double tenths = std::floor(returnRate / share * 10.0 + 1e-9);
    return static_cast<int>(std::clamp(tenths, 10.0, 99999.0));
}

std::vector<double> SharesFromRatings(const Race& race, const std::vector<double>& ratings, double temperature)
{
    std::vector<double> shares(race.runners.size(), 0.0);
    double best = -1e9;
    for (std::size_t i = 0; i < race.runners.size(); ++i) {
        if (race.runners[i].status != RunStatus::Scratched) {
            best = std::max(best, ratings[i]);
        }
    }
    double total = 0;
    for (std::size_t i = 0; i < race.runners.size(); ++i) {
        if (race.runners[i].status != RunStatus::Scratched) {
            shares[i] = std::exp((ratings[i] - best) / temperature);
            total += shares[i];
        }
    }
    for (double& share : shares) {
        share = total > 0 ? share / total : 0;
    }
    return shares;
}

void PriceWinPool(Race& race, const std::vector<double>& winShares)
{
    for (std::size_t i = 0; i < race.runners.size(); ++i) {
        Runner& runner = race.runners[i];
        runner.winShare = winShares[i];
        runner.oddsTenths =
            runner.status == RunStatus::Scratched ? 0 : std::min(OddsTenths(kWinReturn, winShares[i]), 9999);
    }
    for (Runner& runner : race.runners) {
        if (runner.status == RunStatus::Scratched) {
            runner.popularity = 0;
            continue;
        }
        int shorter = 0;
        for (const Runner& other : race.runners) {
            if (other.status != RunStatus::Scratched && other.oddsTenths < runner.oddsTenths) {
                ++shorter;
            }
        }
        runner.popularity = shorter + 1;
    }
}

std::vector<double> PlaceShares(const std::vector<double>& p, int places)
{
    const std::size_t n = p.size();
    std::vector<double> shares(n, 0.0);
    if (places <= 0) {
        return shares;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] <= 0) {
            continue;
        }
        double chance = p[i];
        for (std::size_t a = 0; a < n; ++a) {
            if (a == i || p[a] <= 0) {
                continue;
            }
            chance += Ordered2(p, a, i);
            if (places >= 3) {
                for (std::size_t b = 0; b < n; ++b) {
                    if (b != i && b != a && p[b] > 0) {
                        chance += Ordered3(p, a, b, i);
                    }
                }
            }
        }
        shares[i] = chance;
    }
    double total = 0;
    for (double s : shares) {
        total += s;
    }
    for (double& s : shares) {
        s = total > 0 ? s / total : 0;
    }
    return shares;
}

std::vector<PoolShare> QuinellaShares(const std::vector<double>& p)
{
    std::vector<PoolShare> pool;
    double total = 0;
    for (std::size_t a = 0; a < p.size(); ++a) {
        for (std::size_t b = a + 1; b < p.size(); ++b) {
            if (p[a] > 0 && p[b] > 0) {
                const double chance = Ordered2(p, a, b) + Ordered2(p, b, a);
                pool.push_back({static_cast<int>(a) + 1, static_cast<int>(b) + 1, chance});
                total += chance;
            }
        }
    }
    for (PoolShare& entry : pool) {
        entry.share = total > 0 ? entry.share / total : 0;
    }
    return pool;
}

std::vector<PoolShare> WideShares(const std::vector<double>& p)
{
    std::vector<PoolShare> pool;
    double total = 0;
    const std::size_t n = p.size();
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = a + 1; b < n; ++b) {
            if (p[a] <= 0 || p[b] <= 0) {
                continue;
            }
            // Both in the first three: first and second, or one of them third behind a
            // third horse in the first two.
            double chance = Ordered2(p, a, b) + Ordered2(p, b, a);
            for (std::size_t x = 0; x < n; ++x) {
                if (x == a || x == b || p[x] <= 0) {
                    continue;
                }
                chance += Ordered3(p, a, x, b) + Ordered3(p, b, x, a) + Ordered3(p, x, a, b) + Ordered3(p, x, b, a);
            }
            pool.push_back({static_cast<int>(a) + 1, static_cast<int>(b) + 1, chance});
            total += chance;
        }
    }
    for (PoolShare& entry : pool) {
        entry.share = total > 0 ? entry.share / total : 0;
    }
    return pool;
}

std::vector<PoolShare> BracketShares(const Race& race, const std::vector<PoolShare>& quinella)
{
    std::vector<PoolShare> pool;
    for (int a = 1; a <= 8; ++a) {
        for (int b = a; b <= 8; ++b) {
            pool.push_back({a, b, 0.0});
        }
    }
    for (const PoolShare& pair : quinella) {
        int fa = race.runners[static_cast<std::size_t>(pair.first - 1)].frame;
        int fb = race.runners[static_cast<std::size_t>(pair.second - 1)].frame;
        if (fa > fb) {
            std::swap(fa, fb);
        }
        pool[static_cast<std::size_t>(BracketIndex(fa, fb) - 1)].share += pair.share;
    }
    return pool;
}

Payouts Settle(const Race& race)
{
    Payouts pay;
    const int starters = Starters(race);
    std::vector<double> p(race.runners.size());
    for (std::size_t i = 0; i < race.runners.size(); ++i) {
        p[i] = race.runners[i].winShare;
    }

    // Win: every horse placed first (several after a dead heat).
    const std::vector<Finisher> winners = FinishersUpTo(race, 1);
    double winTotal = 0;
    for (const Finisher& f : winners) {
        winTotal += p[static_cast<std::size_t>(f.number - 1)];
    }
    for (const Finisher& f : winners) {
        if (pay.win.size() >= 3) {
            break;
        }
        const Runner& runner = race.runners[static_cast<std::size_t>(f.number - 1)];
        const long long yen =
            YenOf(TicketValue(kWinReturn, winTotal, static_cast<int>(winners.size()), runner.winShare));
        pay.win.push_back({f.number, 0, yen, runner.popularity});
    }

    // Place: every horse within the places paid (more after a dead heat for the last one).
    const int places = PlacesPaid(starters);
    if (places > 0) {
        const std::vector<double> q = PlaceShares(p, places);
        const std::vector<Finisher> placed = FinishersUpTo(race, places);
        double placedTotal = 0;
        for (const Finisher& f : placed) {
            placedTotal += q[static_cast<std::size_t>(f.number - 1)];
        }
        for (const Finisher& f : placed) {
            if (pay.place.size() >= 5) {
                break;
            }
            const double share = q[static_cast<std::size_t>(f.number - 1)];
            int popularity = 1;
            for (double other : q) {
                if (other > share) {
                    ++popularity;
                }
            }
            const long long yen = YenOf(TicketValue(kWinReturn, placedTotal, static_cast<int>(placed.size()), share));
            pay.place.push_back({f.number, 0, yen, popularity});
        }
    }

    // Pairs: first and second; after a dead heat for first, the pairs of the winners.
    std::vector<std::pair<int, int>> firstTwo;
    const std::vector<Finisher> topTwo = FinishersUpTo(race, 2);
    if (winners.size() >= 2) {
        for (std::size_t i = 0; i < winners.size(); ++i) {
            for (std::size_t j = i + 1; j < winners.size(); ++j) {
                firstTwo.emplace_back(winners[i].number, winners[j].number);
            }
        }
    } else if (winners.size() == 1) {
        for (const Finisher& f : topTwo) {
            if (f.position == 2) {
                firstTwo.emplace_back(winners[0].number, f.number);
            }
        }
    }
    const std::vector<PoolShare> quinella = QuinellaShares(p);
    PayPairs(pay.quinella, firstTwo, quinella, 3);

    if (BracketSold(race)) {
        const std::vector<PoolShare> bracket = BracketShares(race, quinella);
        std::vector<std::pair<int, int>> frames;
        for (const auto& [a, b] : firstTwo) {
            int fa = race.runners[static_cast<std::size_t>(a - 1)].frame;
            int fb = race.runners[static_cast<std::size_t>(b - 1)].frame;
            const std::pair<int, int> pair{std::min(fa, fb), std::max(fa, fb)};
            if (std::find(frames.begin(), frames.end(), pair) == frames.end()) {
                frames.push_back(pair);
            }
        }
        PayPairs(pay.bracket, frames, bracket, 3);
    }

    // Wide: any two of the first three, but not two horses that dead-heated for third.
    std::vector<std::pair<int, int>> wide;
    const std::vector<Finisher> topThree = FinishersUpTo(race, 3);
    for (std::size_t i = 0; i < topThree.size(); ++i) {
        for (std::size_t j = i + 1; j < topThree.size(); ++j) {
            if (topThree[i].position <= 2) {
                wide.emplace_back(topThree[i].number, topThree[j].number);
            }
        }
    }
    if (starters >= 3) {
        PayPairs(pay.wide, wide, WideShares(p), 7);
    }
    return pay;
}

OddsBoard MakeOddsBoard(const Race& race, const std::vector<double>& winShares)
{
    OddsBoard board;
    const std::size_t n = race.runners.size();
    board.win.assign(n, kOddsBlank);
    board.placeLow.assign(n, kOddsBlank);
    board.placeHigh.assign(n, kOddsBlank);
    board.bracket.fill(kOddsNoSale);
    board.quinella.fill(kOddsBlank);

    const int places = PlacesPaid(Starters(race));
    const std::vector<double> q = PlaceShares(winShares, places);
    std::vector<double> sorted;
    for (std::size_t i = 0; i < n; ++i) {
        if (race.runners[i].status == RunStatus::Scratched) {
            board.win[i] = kOddsNoSale;
            board.placeLow[i] = kOddsNoSale;
            board.placeHigh[i] = kOddsNoSale;
            continue;
        }
        board.win[i] = std::min(OddsTenths(kWinReturn, winShares[i]), 9999);
        sorted.push_back(q[i]);
    }
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < n && places > 0; ++i) {
        if (race.runners[i].status == RunStatus::Scratched) {
            continue;
        }
        // Lowest place odds when the horse is placed with the best-backed others, highest
        // with the least-backed.
        double heaviest = q[i];
        double lightest = q[i];
        int takenHeavy = 0;
        int takenLight = 0;
        bool skippedSelfHeavy = false;
        bool skippedSelfLight = false;
        for (std::size_t k = sorted.size(); k-- > 0 && takenHeavy < places - 1;) {
            if (!skippedSelfHeavy && sorted[k] == q[i]) {
                skippedSelfHeavy = true;
                continue;
            }
            heaviest += sorted[k];
            ++takenHeavy;
        }
        for (std::size_t k = 0; k < sorted.size() && takenLight < places - 1; ++k) {
            if (!skippedSelfLight && sorted[k] == q[i]) {
                skippedSelfLight = true;
                continue;
            }
            lightest += sorted[k];
            ++takenLight;
        }
        const double low = TicketValue(kWinReturn, heaviest, places, q[i]);
        const double high = TicketValue(kWinReturn, lightest, places, q[i]);
        board.placeLow[i] = std::min(static_cast<int>(std::floor(low * 10.0 + 1e-9)), 9999);
        board.placeHigh[i] = std::min(static_cast<int>(std::floor(high * 10.0 + 1e-9)), 9999);
    }
    if (places == 0) {
        for (std::size_t i = 0; i < n; ++i) {
            board.placeLow[i] = kOddsNoSale;
            board.placeHigh[i] = kOddsNoSale;
        }
    }

    const std::vector<PoolShare> quinella = QuinellaShares(winShares);
    for (int a = 1; a <= static_cast<int>(n); ++a) {
        for (int b = a + 1; b <= static_cast<int>(n); ++b) {
            board.quinella[static_cast<std::size_t>(QuinellaIndex(a, b) - 1)] = kOddsNoSale;
        }
    }
    for (const PoolShare& pair : quinella) {
        board.quinella[static_cast<std::size_t>(QuinellaIndex(pair.first, pair.second) - 1)] =
            std::min(OddsTenths(kPairReturn, pair.share), 99999);
    }
    if (BracketSold(race)) {
        for (const PoolShare& pair : BracketShares(race, quinella)) {
            if (pair.share > 0) {
                board.bracket[static_cast<std::size_t>(BracketIndex(pair.first, pair.second) - 1)] =
                    std::min(OddsTenths(kPairReturn, pair.share), 99999);
            }
        }
    }
    return board;
}

} // namespace vornal::samplegen
