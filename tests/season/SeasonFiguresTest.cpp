#include <gtest/gtest.h>

#include "season/SeasonReport.h"

namespace vornal {
namespace {

TEST(SeasonFigures, DrawdownOfHandMadeCurves)
{
    EXPECT_EQ(MaxDrawdown({}).yen, 0);
    const Drawdown flat = MaxDrawdown({0, 0, 0, 0});
    EXPECT_EQ(flat.yen, 0);
    EXPECT_EQ(flat.days, 0);
    // Every day a loss: the peak is the start, before the first day.
    const Drawdown losses = MaxDrawdown({-100, -300, -200});
    EXPECT_EQ(losses.yen, 600);
    EXPECT_EQ(losses.days, 3);
    // A single spike, then flat: the curve stays on its peak.
    const Drawdown spike = MaxDrawdown({0, 5000, 0, 0});
    EXPECT_EQ(spike.yen, 0);
    EXPECT_EQ(spike.days, 0);
    // A spike given back in part: the drawdown is measured from the spike.
    const Drawdown back = MaxDrawdown({5000, -3000, -1000, 500});
    EXPECT_EQ(back.yen, 4000);
    EXPECT_EQ(back.days, 3);
    // Ties: a day level with the peak ends the time below it; two equal falls count once
    // each, the longer stay below wins.
    const Drawdown ties = MaxDrawdown({1000, -500, 500, -500, -100, 600});
    EXPECT_EQ(ties.yen, 600);
    EXPECT_EQ(ties.days, 2);
}

TEST(SeasonFigures, LosingRunsSkipEntriesWithoutAStake)
{
    EXPECT_EQ(LongestLosingRun({}), 0);
    EXPECT_EQ(LongestLosingRun({{100, 0}, {100, 0}, {100, 0}}), 3);
    // A day without bets does not break a run; a break-even one does.
    EXPECT_EQ(LongestLosingRun({{100, 0}, {0, 0}, {100, 50}, {100, 100}, {100, 0}}), 2);
    EXPECT_EQ(LongestLosingRun({{100, 300}, {100, 200}}), 0);
}

TEST(SeasonFigures, BootstrapIsReproducibleAndHoldsTheEstimate)
{
    std::vector<Outcome> days;
    for (int d = 0; d < 40; ++d) {
        days.push_back({1000, (d % 7) * 300LL});
    }
    days.push_back({0, 0}); // no stake: left out
    const ReturnInterval first = BootstrapReturnRate(days, 7, 1000);
    const ReturnInterval again = BootstrapReturnRate(days, 7, 1000);
    EXPECT_EQ(first.low, again.low);
    EXPECT_EQ(first.high, again.high);
    EXPECT_EQ(first.days, 40);
    EXPECT_NEAR(first.rate, 100.0 * 34500 / 40000, 1e-9); // 300 yen x (5 x 21 + 10)
    EXPECT_LT(first.low, first.rate);
    EXPECT_GT(first.high, first.rate);
    const ReturnInterval other = BootstrapReturnRate(days, 8, 1000);
    EXPECT_TRUE(other.low != first.low || other.high != first.high);

    const ReturnInterval none = BootstrapReturnRate({{0, 0}}, 1, 100);
    EXPECT_EQ(none.days, 0);
    EXPECT_EQ(none.low, 0.0);
}

TEST(SeasonFigures, PayoutBandsAndCalibrationCoverEveryRaceOnce)
{
    EXPECT_EQ(PayoutBand(0), 0);
    EXPECT_EQ(PayoutBand(-2), 0);
    EXPECT_EQ(PayoutBand(100), 1);
    EXPECT_EQ(PayoutBand(199.9), 1);
    EXPECT_EQ(PayoutBand(200), 2);
    EXPECT_EQ(PayoutBand(9999), 6);
    EXPECT_EQ(PayoutBand(10000), 7);

    const std::vector<std::pair<double, int>> races{{150, 300}, {250, 200}, {480, 600}, {0, 1000}, {20000, 900}};
    const std::vector<CalibrationRow> rows = Calibrate(races);
    int count = 0;
    for (const CalibrationRow& row : rows) {
        count += row.count;
    }
    EXPECT_EQ(count, 5);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].band, 0); // no prediction: a band of its own
    EXPECT_EQ(rows[2].band, 2);
    EXPECT_EQ(rows[2].count, 2);
    EXPECT_DOUBLE_EQ(rows[2].meanPredicted, 365);
    EXPECT_DOUBLE_EQ(rows[2].meanPaid, 400);
    EXPECT_DOUBLE_EQ(rows[2].Ratio(), 400.0 / 365);
}

} // namespace
} // namespace vornal
