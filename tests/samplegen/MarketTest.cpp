#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "samplegen/Courses.h"
#include "samplegen/Market.h"

namespace vornal::samplegen {
namespace {

// A race of `runners` horses with the given win shares, finishing in horse-number order
// unless positions are set afterwards.
Race MakeRace(const std::vector<double>& shares)
{
    Race race;
    race.course = FindCourse("05");
    race.registered = static_cast<int>(shares.size());
    const int runners = static_cast<int>(shares.size());
    for (int i = 0; i < runners; ++i) {
        Runner runner;
        runner.number = i + 1;
        runner.frame = runners <= 8 ? i + 1 : std::min(8, i / 2 + 1);
        runner.position = i + 1;
        race.runners.push_back(runner);
    }
    PriceWinPool(race, shares);
    return race;
}

std::vector<double> Shares(int runners)
{
    // Falling shares summing to 1: the favourite first.
    std::vector<double> shares;
    double total = 0;
    for (int i = 0; i < runners; ++i) {
        shares.push_back(1.0 / (i + 1.5));
        total += shares.back();
    }
    for (double& share : shares) {
        share /= total;
    }
    return shares;
}

TEST(Market, OddsRoundDownToATenthWithinTheirRange)
{
    EXPECT_EQ(OddsTenths(kWinReturn, 0.25), 32);
    EXPECT_EQ(OddsTenths(kWinReturn, 0.8), 10);
    EXPECT_EQ(OddsTenths(kWinReturn, 0.95), 10); // never below even money
    EXPECT_EQ(OddsTenths(kWinReturn, 0.3), 26);  // 2.666.. -> 2.6
    EXPECT_EQ(OddsTenths(kPairReturn, 1e-9), 99999);
}

TEST(Market, PopularityFollowsTheOddsWithTiesSharingARank)
{
    Race race = MakeRace({0.3, 0.3, 0.2, 0.2});
    EXPECT_EQ(race.runners[0].popularity, 1);
    EXPECT_EQ(race.runners[1].popularity, 1);
    EXPECT_EQ(race.runners[2].popularity, 3);
    EXPECT_EQ(race.runners[3].popularity, 3);
}

TEST(Market, AClearResultPaysEveryPoolOnce)
{
    Race race = MakeRace(Shares(12));
    const Payouts pay = Settle(race);
    ASSERT_EQ(pay.win.size(), 1u);
    EXPECT_EQ(pay.win[0].first, 1);
    EXPECT_EQ(pay.win[0].yen, race.runners[0].oddsTenths * 10);
    EXPECT_EQ(pay.win[0].popularity, 1);
    ASSERT_EQ(pay.place.size(), 3u);
    for (const PayEntry& entry : pay.place) {
        EXPECT_LE(entry.first, 3);
        EXPECT_GE(entry.yen, 100);
        EXPECT_EQ(entry.yen % 10, 0);
    }
    ASSERT_EQ(pay.quinella.size(), 1u);
    EXPECT_EQ(std::pair(pay.quinella[0].first, pay.quinella[0].second), std::pair(1, 2));
    EXPECT_EQ(pay.quinella[0].popularity, 1); // the two favourites are the favourite pair
    ASSERT_EQ(pay.bracket.size(), 1u);
    EXPECT_EQ(std::pair(pay.bracket[0].first, pay.bracket[0].second),
              std::pair(1, 1)); // horses 1 and 2 share bracket 1
    ASSERT_EQ(pay.wide.size(), 3u);
    // The longer-priced winning pair pays more than the favourite pair.
    EXPECT_LT(pay.wide[0].yen, pay.wide[2].yen);
}

TEST(Market, FewerStartersPayFewerPlacesAndNoBracketQuinella)
{
    Race race = MakeRace(Shares(7));
    const Payouts pay = Settle(race);
    EXPECT_EQ(pay.place.size(), 2u);
    EXPECT_TRUE(pay.bracket.empty());
    EXPECT_EQ(PlacesPaid(4), 0);
    EXPECT_EQ(PlacesPaid(5), 2);
    EXPECT_EQ(PlacesPaid(8), 3);
}

TEST(Market, ADeadHeatForFirstSplitsTheWinPool)
{
    Race race = MakeRace(Shares(10));
    race.runners[3].position = 1; // horse 4 dead-heats with horse 1
    race.runners[1].position = 3;
    race.runners[2].position = 4;
    const Payouts pay = Settle(race);
    ASSERT_EQ(pay.win.size(), 2u);
    // Each winner's backers get their stake and half of what is left of the pool.
    const double left = kWinReturn - race.runners[0].winShare - race.runners[3].winShare;
    for (const PayEntry& entry : pay.win) {
        const double share = race.runners[static_cast<std::size_t>(entry.first - 1)].winShare;
        EXPECT_EQ(entry.yen, static_cast<long long>((1.0 + left / 2 / share) * 10.0) * 10);
        EXPECT_LT(entry.yen, race.runners[static_cast<std::size_t>(entry.first - 1)].oddsTenths * 10);
    }
    ASSERT_EQ(pay.quinella.size(), 1u);
    EXPECT_EQ(std::pair(pay.quinella[0].first, pay.quinella[0].second), std::pair(1, 4));
    EXPECT_EQ(pay.wide.size(), 3u); // 1-4, 1-2, 2-4 with horse 2 third
}

TEST(Market, ADeadHeatForThirdPaysFourPlacesAndFiveWidePairs)
{
    Race race = MakeRace(Shares(14));
    race.runners[3].position = 3; // horses 3 and 4 dead-heat for third
    const Payouts pay = Settle(race);
    EXPECT_EQ(pay.place.size(), 4u);
    ASSERT_EQ(pay.wide.size(), 5u);
    for (const PayEntry& entry : pay.wide) {
        EXPECT_FALSE(entry.first == 3 && entry.second == 4) << "two horses third together are not a winning pair";
    }
    EXPECT_EQ(pay.quinella.size(), 1u);
}

TEST(Market, ScratchedHorsesAreOutOfEveryPool)
{
    Race race = MakeRace(Shares(10));
    race.runners[5].status = RunStatus::Scratched;
    race.runners[5].position = 0;
    std::vector<double> shares = Shares(10);
    shares[5] = 0;
    PriceWinPool(race, shares);
    EXPECT_EQ(race.runners[5].oddsTenths, 0);
    EXPECT_EQ(race.runners[5].popularity, 0);
    for (const PoolShare& pair : QuinellaShares(shares)) {
        EXPECT_NE(pair.first, 6);
        EXPECT_NE(pair.second, 6);
    }
    const OddsBoard board = MakeOddsBoard(race, shares);
    EXPECT_EQ(board.win[5], kOddsNoSale);
    EXPECT_EQ(board.placeLow[5], kOddsNoSale);
}

TEST(Market, PlacePayoutsLieWithinTheAnnouncedPlaceOdds)
{
    Race race = MakeRace(Shares(16));
    std::reverse(race.runners.begin(), race.runners.end()); // the outsiders finish first
    for (std::size_t i = 0; i < race.runners.size(); ++i) {
        race.runners[i].number = static_cast<int>(i) + 1;
    }
    std::vector<double> shares;
    for (const Runner& runner : race.runners) {
        shares.push_back(runner.winShare);
    }
    const OddsBoard board = MakeOddsBoard(race, shares);
    const Payouts pay = Settle(race);
    ASSERT_EQ(pay.place.size(), 3u);
    for (const PayEntry& entry : pay.place) {
        const std::size_t i = static_cast<std::size_t>(entry.first - 1);
        EXPECT_GE(entry.yen, board.placeLow[i] * 10);
        EXPECT_LE(entry.yen, board.placeHigh[i] * 10);
    }
}

TEST(Market, PoolSharesAreProbabilitiesOfTheOrder)
{
    const std::vector<double> shares = Shares(9);
    double quinella = 0;
    for (const PoolShare& pair : QuinellaShares(shares)) {
        quinella += pair.share;
    }
    EXPECT_NEAR(quinella, 1.0, 1e-12);
    const std::vector<double> place = PlaceShares(shares, 3);
    EXPECT_NEAR(std::accumulate(place.begin(), place.end(), 0.0), 1.0, 1e-12);
    EXPECT_GT(place[0], place[8]);
    // A favourite's place share is smaller than its win share: others place more often
    // than they win.
    EXPECT_LT(place[0], shares[0]);
}

} // namespace
} // namespace vornal::samplegen
