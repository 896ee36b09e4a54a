#include "app/TuningTables.h"

#include <gtest/gtest.h>

using namespace vornal;

namespace {

TuningTables BuiltIn()
{
    TuningTables tables;
    SetBuiltInTables(tables);
    return tables;
}

// Rating kinds by their place in the rank tables.
constexpr int kAchievement = 1;
constexpr int kClass = 2;
constexpr int kOverallMin = 10;

// ---- payout tables ----

TEST(BuiltInTables, RankRatesAreIndexedByKindThenRank)
{
    const TuningTables t = BuiltIn();
    // First rank row and its transposition partner: 格 at rank 1 against 実績 at rank 2.
    EXPECT_DOUBLE_EQ(t.RankWin(kAchievement, 1), 21.87);
    EXPECT_DOUBLE_EQ(t.RankWin(kClass, 1), 20.19);
    EXPECT_DOUBLE_EQ(t.RankWin(kAchievement, 2), 14.90);
    EXPECT_DOUBLE_EQ(t.RankWin(kOverallMin, 1), 13.40);
    // The tail: 総合min has 0 at rank 17 but 0.10 at rank 18; 脚質 at rank 18 is 0.28.
    EXPECT_DOUBLE_EQ(t.RankWin(kOverallMin, 17), 0.0);
    EXPECT_DOUBLE_EQ(t.RankWin(kOverallMin, 18), 0.10);
    EXPECT_DOUBLE_EQ(t.RankWin(9, 18), 0.28);
    EXPECT_DOUBLE_EQ(t.RankWin(kAchievement, 18), 0.01);

    EXPECT_DOUBLE_EQ(t.RankTopTwo(kAchievement, 1), 36.63);
    EXPECT_DOUBLE_EQ(t.RankTopTwo(kAchievement, 4), 18.38);
    EXPECT_DOUBLE_EQ(t.RankTopTwo(kOverallMin, 1), 26.40);
    EXPECT_DOUBLE_EQ(t.RankTopTwo(7, 17), 0.56);
    EXPECT_DOUBLE_EQ(t.RankTopTwo(kOverallMin, 18), 0.50);
    // The plain arrays hold the same values at the same indices.
    EXPECT_DOUBLE_EQ(t.RankTopTwoRate[kOverallMin][18], 0.50);
}

TEST(BuiltInTables, FieldRankWinRateRowsEndAtTheFieldSize)
{
    const TuningTables t = BuiltIn();
    EXPECT_DOUBLE_EQ(t.FieldRankWin(3, 1), 48.6);
    EXPECT_DOUBLE_EQ(t.FieldRankWin(3, 3), 13.9);
    EXPECT_DOUBLE_EQ(t.FieldRankWin(3, 4), 0.0);
    EXPECT_DOUBLE_EQ(t.FieldRankWin(10, 10), 0.5);
    EXPECT_DOUBLE_EQ(t.FieldRankWin(10, 11), 0.0);
    EXPECT_DOUBLE_EQ(t.FieldRankWin(17, 4), 6.1);
    EXPECT_DOUBLE_EQ(t.FieldRankWin(18, 1), 27.1);
    EXPECT_DOUBLE_EQ(t.FieldRankWin(18, 18), 0.2);
    for (int n = 3; n <= 18; ++n) {
        EXPECT_GT(t.FieldRankWin(n, n), 0.0) << n;
        for (int k = n + 1; k <= 18; ++k) {
            EXPECT_EQ(t.FieldRankWin(n, k), 0.0) << n << " " << k;
        }
    }
    // Fields outside 3..18 have no row.
    EXPECT_EQ(t.FieldRankWin(2, 1), 0.0);
    EXPECT_EQ(t.FieldRankWin(19, 1), 0.0);
}

TEST(BuiltInTables, ShareClassStatsByClassAndColumn)
{
    const TuningTables t = BuiltIn();
    EXPECT_DOUBLE_EQ(t.ShareClassStat(1, ShareStat::Under1000), 12.0);
    EXPECT_DOUBLE_EQ(t.ShareClassStat(1, ShareStat::From8000), 22.9);
    EXPECT_DOUBLE_EQ(t.ShareClassStat(1, ShareStat::WinAverage), 1079);
    EXPECT_DOUBLE_EQ(t.ShareClassStat(2, ShareStat::Under4000), 4.8);
    EXPECT_DOUBLE_EQ(t.ShareClassStat(8, ShareStat::Under1000), 43.2);
    EXPECT_DOUBLE_EQ(t.ShareClassStat(8, ShareStat::QuinellaAverage), 2577);
    EXPECT_EQ(t.ShareClassStat(0, ShareStat::Under1000), 0.0);
    EXPECT_EQ(t.ShareClassStat(9, ShareStat::Under1000), 0.0);
}

// ---- rating and lap tables ----

TEST(BuiltInTables, SmallFieldGateAdjustmentAndFieldSizeIndex)
{
    const TuningTables t = BuiltIn();
    // A race of 7 runners takes 1.492 .. 1.491 for slots 0..6.
    int f = FieldSizeIndex(7);
    EXPECT_EQ(f, 0);
    EXPECT_DOUBLE_EQ(t.GateAdj(f, 0), 1.492);
    EXPECT_DOUBLE_EQ(t.GateAdj(f, 3), 1.464);
    EXPECT_DOUBLE_EQ(t.GateAdj(f, 6), 1.491);
    EXPECT_EQ(t.GateAdj(f, 7), 0.0);
    EXPECT_EQ(FieldSizeIndex(1), 0);
    EXPECT_EQ(FieldSizeIndex(8), 1);
    EXPECT_EQ(FieldSizeIndex(18), 11);
}

TEST(BuiltInTables, LapDistanceIndexAndBaseFigures)
{
    const TuningTables t = BuiltIn();
    EXPECT_EQ(LapDistanceIndex(1000), 1);
    EXPECT_EQ(LapDistanceIndex(1700), 5);
    EXPECT_EQ(LapDistanceIndex(2100), 8);
    EXPECT_EQ(LapDistanceIndex(2500), 12);
    EXPECT_EQ(LapDistanceIndex(1150), kNoLapDistance);
    EXPECT_EQ(LapDistanceIndex(1900), kNoLapDistance);
    EXPECT_EQ(LapDistanceIndex(0), kNoLapDistance);

    EXPECT_DOUBLE_EQ(t.BaseLap(1, LapSurface::Turf, LapMeasure::WinTime), 95.8);
    EXPECT_DOUBLE_EQ(t.BaseLap(1, LapSurface::Dirt, LapMeasure::SecondHalfSpeed), 37.9);
    EXPECT_DOUBLE_EQ(t.BaseLap(12, LapSurface::Turf, LapMeasure::FirstHalfSpeed), 37.4);
    EXPECT_DOUBLE_EQ(t.BaseLap(12, LapSurface::Turf, LapMeasure::SecondHalfSpeed), 36.5);
    // 2000 m has no dirt standard, 2100 m no turf standard.
    EXPECT_EQ(t.BaseLap(7, LapSurface::Dirt, LapMeasure::WinTime), 0.0);
    EXPECT_EQ(t.BaseLap(8, LapSurface::Turf, LapMeasure::WinTime), 0.0);
    EXPECT_DOUBLE_EQ(t.BaseLap(8, LapSurface::Dirt, LapMeasure::WinTime), 87.3);
    EXPECT_DOUBLE_EQ(t.BaseLap(10, LapSurface::Dirt, LapMeasure::FirstHalfSpeed), 38.3);
    // A distance without an index reads as no standard.
    EXPECT_EQ(t.BaseLap(LapDistanceIndex(1150), LapSurface::Turf, LapMeasure::WinTime), 0.0);
}

TEST(BuiltInTables, ThresholdsAndRankPairsByCategory)
{
    const TuningTables t = BuiltIn();
    EXPECT_DOUBLE_EQ(t.Threshold(1, ThresholdLevel::Percent38), 20.00);
    EXPECT_DOUBLE_EQ(t.Threshold(1, ThresholdLevel::Percent90), 9.09);
    EXPECT_DOUBLE_EQ(t.Threshold(4, ThresholdLevel::Percent50), 20.35);
    EXPECT_DOUBLE_EQ(t.Threshold(4, ThresholdLevel::Percent90), 9.30);

    // Turf short, column i = 3, row j = 1 holds 13.3/7.9/6.1; column 1, row 3 holds
    // 2.4/4.8/10.3: i is the first rank of the pair.
    EXPECT_DOUBLE_EQ(t.RankPair(1, RankPairKind::JZ, 3, 1), 13.3);
    EXPECT_DOUBLE_EQ(t.RankPair(1, RankPairKind::JK, 3, 1), 7.9);
    EXPECT_DOUBLE_EQ(t.RankPair(1, RankPairKind::ZK, 3, 1), 6.1);
    EXPECT_DOUBLE_EQ(t.RankPair(1, RankPairKind::JZ, 1, 3), 2.4);
    EXPECT_DOUBLE_EQ(t.RankPair(1, RankPairKind::ZK, 1, 3), 10.3);
    EXPECT_DOUBLE_EQ(t.RankPair(1, RankPairKind::ZK, 6, 1), 1.2);
    // Last corner of each category.
    EXPECT_DOUBLE_EQ(t.RankPair(2, RankPairKind::JZ, 6, 6), 0.6);
    EXPECT_DOUBLE_EQ(t.RankPair(3, RankPairKind::JZ, 6, 1), 0.5);
    EXPECT_DOUBLE_EQ(t.RankPair(4, RankPairKind::JZ, 6, 6), 0.7);
    EXPECT_DOUBLE_EQ(t.RankPair(4, RankPairKind::JK, 1, 1), 9.9);
    EXPECT_DOUBLE_EQ(t.RankPair(4, RankPairKind::ZK, 1, 1), 11.3);
}

TEST(BuiltInTables, LookupsOutsideTheTablesReadZero)
{
    const TuningTables t = BuiltIn();
    EXPECT_EQ(t.RankWin(0, 1), 0.0);
    EXPECT_EQ(t.RankWin(11, 1), 0.0);
    EXPECT_EQ(t.RankWin(1, 0), 0.0);
    EXPECT_EQ(t.RankTopTwo(1, 19), 0.0);
    EXPECT_EQ(t.GateAdj(-1, 0), 0.0);
    EXPECT_EQ(t.GateAdj(FieldSizeIndex(19), 0), 0.0);
    EXPECT_EQ(t.GateAdj(0, 18), 0.0);
    EXPECT_EQ(t.Rotation(0, 1), 0.0);
    EXPECT_EQ(t.Rotation(12, 1), 0.0);
    EXPECT_EQ(t.Rotation(1, 11), 0.0);
    EXPECT_EQ(t.RankHitRate(0, 1), 0.0);
    EXPECT_EQ(t.RankExpectedValue(1, 154), 0.0);
    EXPECT_EQ(t.BaseLap(0, LapSurface::Turf, LapMeasure::WinTime), 0.0);
    EXPECT_EQ(t.BaseLap(13, LapSurface::Turf, LapMeasure::WinTime), 0.0);
    EXPECT_EQ(t.Threshold(5, ThresholdLevel::Percent38), 0.0);
    EXPECT_EQ(t.RankPair(0, RankPairKind::JZ, 1, 1), 0.0);
    EXPECT_EQ(t.RankPair(1, RankPairKind::JZ, 7, 1), 0.0);
    EXPECT_EQ(t.RankPair(1, RankPairKind::JZ, 1, 0), 0.0);
}

TEST(BuiltInTables, FileTablesAreLeftAsTheyAre)
{
    TuningTables tables;
    tables.GateAdjTable[5][4] = 2.5;
    tables.RotationTable[2][3] = 0.25;
    tables.RankHitTable[3][100].HitRate = 7.5;
    SetBuiltInTables(tables);
    EXPECT_EQ(tables.GateAdj(5, 4), 2.5);
    EXPECT_EQ(tables.Rotation(2, 3), 0.25);
    EXPECT_EQ(tables.RankHitRate(3, 100), 7.5);
}

} // namespace
