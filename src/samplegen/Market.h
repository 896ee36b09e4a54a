#pragma once

#include <array>
#include <vector>

#include "samplegen/SeasonModel.h"

// The betting market of a race: how the money of each pool spreads over the horses and
// combinations, the odds that follow from it, and the payouts once the order is known.
// Pools are parimutuel: the takeout is kept, the winning tickets share the rest, and every
// odds figure and payout is rounded down to ten yen a hundred-yen ticket, as at the track.
namespace vornal::samplegen {

constexpr double kWinReturn = 0.80;   // win and place pools
constexpr double kPairReturn = 0.775; // bracket quinella, quinella and wide

// A combination of two horse (or bracket) numbers, first < second (brackets may repeat).
struct PoolShare
{
    int first = 0;
    int second = 0;
    double share = 0;
};

// Places paid: 3 with eight or more starters, 2 with five to seven, none below.
int PlacesPaid(int starters);
// Bracket quinella is sold only when nine or more horses are on the card.
bool BracketSold(const Race& race);
int Starters(const Race& race);

// Odds in tenths of a pool entry with this share of the pool: the return divided by the share,
// rounded down to a tenth, at least 1.0 and at most 9999.9.
int OddsTenths(double returnRate, double share);

// Pool shares of one market, indexed like the race's runners (a scratched horse holds 0).
// `winShares` are the win pool's; the other pools follow from it by the usual model of the
// order of finish (each next place drawn among the rest in proportion to win chances).
std::vector<double> PlaceShares(const std::vector<double>& winShares, int places);
std::vector<PoolShare> QuinellaShares(const std::vector<double>& winShares);
std::vector<PoolShare> WideShares(const std::vector<double>& winShares);
std::vector<PoolShare> BracketShares(const Race& race, const std::vector<PoolShare>& quinella);

// Win shares from the market's ratings: proportional to exp(rating / temperature) over the
// horses that start.
std::vector<double> SharesFromRatings(const Race& race, const std::vector<double>& ratings, double temperature);

// Sets each runner's win share, odds and popularity (1 + the number of runners at shorter
// odds, so equal odds share a popularity) from `winShares`.
void PriceWinPool(Race& race, const std::vector<double>& winShares);

// The payouts of the five pools from the finishing order and the runners' win shares.
Payouts Settle(const Race& race);

// One odds announcement of a race: win, place (lowest and highest) and bracket quinella
// odds as the O1 record carries them, and the quinella odds of the O2 record. In tenths;
// kOddsNoSale marks a horse or combination without sale, kOddsBlank one that does not exist.
constexpr int kOddsNoSale = -1;
constexpr int kOddsBlank = -2;
struct OddsBoard
{
    std::vector<int> win, placeLow, placeHigh; // by horse number - 1
    std::array<int, 36> bracket{};
    std::array<int, 153> quinella{};
};
OddsBoard MakeOddsBoard(const Race& race, const std::vector<double>& winShares);

} // namespace vornal::samplegen
