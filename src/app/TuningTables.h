#pragma once

#include <array>
#include <cstdint>
#include <filesystem>

#include "app/AtomicFile.h"

// The fixed statistical tables that weigh the ratings, the payout predictions and the lap
// analysis. Three come from binary files shipped beside the executable ("GateAdj.dat",
// "RT.dat", "senuj.dat"); the others are built in. They are filled once at start-up and
// never change while the program runs.
//
// Every table is stored with the indices the racing statistics use: where an index counts
// from 1 (ranks, past-run numbers, share classes, distance indices, categories) element 0
// is unused and stays 0. Entries a table leaves unset are 0. The lookup functions check
// their indices and give 0 outside the table, so a caller never reads out of bounds.
namespace vornal {

inline constexpr const char* kGateAdjFileName = "GateAdj.dat";
inline constexpr const char* kRotationFileName = "RT.dat";
inline constexpr const char* kRankHitFileName = "senuj.dat";

inline constexpr int kGateFieldSizes = 12;  // field-size index f = 0..11
inline constexpr int kGateSlots = 18;       // runner slot 0..17
inline constexpr int kRotationRuns = 11;    // past-run number k = 1..11
inline constexpr int kRotationBuckets = 10; // finishing bucket b = 1..8, 9 = ninth or worse, 10 = none
inline constexpr int kShareClasses = 8;     // popularity-share class 1..8
inline constexpr int kQuinellaRanks = 153;  // quinella popularity rank 1..153
inline constexpr int kRatingKinds = 10;     // rating kind 1..10, see RankWin
inline constexpr int kRankedRunners = 18;   // rank 1..18
inline constexpr int kMinFieldRankRunners = 3;
inline constexpr int kShareStats = 8;     // ShareStat 1..8
inline constexpr int kLapDistances = 12;  // distance index 1..12
inline constexpr int kNoLapDistance = 99; // a distance without base lap figures
inline constexpr int kLapCategories = 4;  // 1 turf short, 2 turf middle, 3 dirt short, 4 dirt middle
inline constexpr int kRankBuckets = 6;    // rank bucket 1..6 of the lap mark

enum class LapSurface { Turf = 0, Dirt = 1 };

// The three figures of a standard race: winning time figure "勝ﾀｲﾑ", first-half speed
// "前半SP", second-half speed "後半SP".
enum class LapMeasure { WinTime = 0, FirstHalfSpeed = 1, SecondHalfSpeed = 2 };

// The three thresholds "38%", "50%" and "90%" of the lap mark.
enum class ThresholdLevel { Percent38 = 0, Percent50 = 1, Percent90 = 2 };

// The three rank pairs of the lap mark: "J-Z", "J-K", "Z-K".
enum class RankPairKind { JZ = 0, JK = 1, ZK = 2 };

// The columns of the share-class statistics: the percentage of races whose winning payout
// was below 1000, 2000, 3000, 4000 yen, 4000 or more, 8000 or more, then the average win
// and quinella payouts in yen.
enum class ShareStat {
    Under1000 = 1,
    Under2000 = 2,
    Under3000 = 3,
    Under4000 = 4,
    From4000 = 5,
    From8000 = 6,
    WinAverage = 7,
    QuinellaAverage = 8,
};

template <typename T, int Rows, int Columns> using TuningGrid = std::array<std::array<T, Columns>, Rows>;

// The finishing statistics of "RT.dat" by past-run number k (1..11) and finishing bucket
// b (1..10), as stored in the file.
struct RotationStatsTables
{
    TuningGrid<std::int32_t, kRotationRuns + 1, kRotationBuckets + 1> Races{};
    TuningGrid<std::int32_t, kRotationRuns + 1, kRotationBuckets + 1> Wins{};
    TuningGrid<double, kRotationRuns + 1, kRotationBuckets + 1> WinRate{};
    TuningGrid<std::int32_t, kRotationRuns + 1, kRotationBuckets + 1> TopTwo{};
    TuningGrid<double, kRotationRuns + 1, kRotationBuckets + 1> TopTwoRate{};
    TuningGrid<std::int32_t, kRotationRuns + 1, kRotationBuckets + 1> TopThree{};
    TuningGrid<double, kRotationRuns + 1, kRotationBuckets + 1> TopThreeRate{};
};

// Hit rate (percent) and expected value (a return ratio, 1.0 = break-even) of one quinella
// popularity rank in one share class.
struct RankHitEntry
{
    double HitRate = 0.0;
    double ExpectedValue = 0.0;
};

struct TuningTables
{
    // Gate adjustment [f][slot]. Row 0 (fields of up to 7 runners) is built in and holds
    // slots 0..6; rows 1..11 (8..18 runners) come from "GateAdj.dat".
    TuningGrid<double, kGateFieldSizes, kGateSlots> GateAdjTable{};

    // "RT.dat" as stored, and the three tables derived from it: each k-row of a rate table
    // divided by that row's sum, so every row sums to 1. The ratings use RotationTable
    // (the normalised win rates). [k 1..11][b 1..10].
    RotationStatsTables RotationStats;
    TuningGrid<double, kRotationRuns + 1, kRotationBuckets + 1> RotationTable{};
    TuningGrid<double, kRotationRuns + 1, kRotationBuckets + 1> RotationTopTwoTable{};
    TuningGrid<double, kRotationRuns + 1, kRotationBuckets + 1> RotationTopThreeTable{};

    // "senuj.dat": [share class 1..8][quinella rank 1..153].
    TuningGrid<RankHitEntry, kShareClasses + 1, kQuinellaRanks + 1> RankHitTable{};

    // Win and top-two percentages of the runner ranked r by a rating, [kind 1..10][rank 1..18].
    TuningGrid<double, kRatingKinds + 1, kRankedRunners + 1> RankWinRate{};
    TuningGrid<double, kRatingKinds + 1, kRankedRunners + 1> RankTopTwoRate{};

    // Win percentage of the k-th favourite in a field of n runners, [n 3..18][k 1..18];
    // 0 where k > n.
    TuningGrid<double, kRankedRunners + 1, kRankedRunners + 1> FieldRankWinRate{};

    // Payout statistics by popularity-share class, [class 1..8][ShareStat 1..8].
    TuningGrid<double, kShareClasses + 1, kShareStats + 1> ShareClassStats{};

    // Standard race figures [distance index 1..12][surface][measure]; 0 means no standard.
    std::array<std::array<std::array<double, 3>, 2>, kLapDistances + 1> BaseLapTable{};

    // The lap-mark thresholds "仕切値" [category 1..4][level].
    std::array<std::array<double, 3>, kLapCategories + 1> ThresholdTable{};

    // Percentages by two rank buckets [category 1..4][pair][i 1..6][j 1..6]; in pair "J-Z"
    // i is the J bucket and j the Z bucket, and so on.
    std::array<std::array<TuningGrid<double, kRankBuckets + 1, kRankBuckets + 1>, 3>, kLapCategories + 1>
        RankPairTable{};

    // Gate adjustment for field-size index f (see FieldSizeIndex) and runner slot 0..17.
    double GateAdj(int fieldSizeIndex, int slot) const;
    // Normalised win rate of finishing bucket b (1..10) in past run k (1..11).
    double Rotation(int pastRun, int bucket) const;
    // Hit rate 的中率 (percent) and expected value 期待値 of quinella rank 1..153 in share
    // class 1..8.
    double RankHitRate(int shareClass, int rank) const;
    double RankExpectedValue(int shareClass, int rank) const;
    // Win and top-two percentage of rank 1..18 in rating kind 1..10. The kinds, in order:
    // 実績確率, 格, 平均着差, 修正ﾛｰﾃ, ｺﾞｰﾙ着差, 最終ｺﾞｰﾙ, 基準TM, 最良基準TM, 脚質, 総合min.
    double RankWin(int kind, int rank) const;
    double RankTopTwo(int kind, int rank) const;
    // Win percentage of favourite 1..18 in a field of 3..18 runners.
    double FieldRankWin(int runners, int favourite) const;
    // One statistic of share class 1..8.
    double ShareClassStat(int shareClass, ShareStat stat) const;
    // A standard race figure for distance index 1..12 (see LapDistanceIndex).
    double BaseLap(int distanceIndex, LapSurface surface, LapMeasure measure) const;
    // A lap-mark threshold of category 1..4.
    double Threshold(int category, ThresholdLevel level) const;
    // The percentage of rank buckets i and j (1..6) in a pair of category 1..4.
    double RankPair(int category, RankPairKind pair, int i, int j) const;
};

// The field-size index of the gate adjustment and the jockey-and-trainer coefficient:
// 0 for up to 7 registered runners, otherwise runners - 7 (8 -> 1, ..., 18 -> 11).
int FieldSizeIndex(int registeredRunners);

// The distance index of the base lap figures: 1000 m -> 1, 1200 -> 2, 1400 -> 3, 1600 -> 4,
// 1700 -> 5, 1800 -> 6, 2000 -> 7, 2100 -> 8, 2200 -> 9, 2300 -> 10, 2400 -> 11,
// 2500 -> 12; any other distance -> kNoLapDistance.
int LapDistanceIndex(int distanceMetres);

// Fills the built-in tables: gate adjustment row 0, RankWinRate, RankTopTwoRate,
// FieldRankWinRate, ShareClassStats, BaseLapTable, ThresholdTable and RankPairTable. The
// tables read from files are left as they are.
void SetBuiltInTables(TuningTables& tables);

// The file loaders. Each reads the whole file once and decodes its little-endian records.
// A missing file fails with "<name> が見つかりません。", an unreadable one, a file shorter
// than the records read, a value that is not a finite number or lies outside the bounds its
// meaning allows, or (for "RT.dat") a past-run row whose rates sum to 0 fails with a
// message naming the file and the record; the tables are then left unchanged. The bounds:
// a gate adjustment -10..10, an "RT.dat" count 0 or more and rate 0..1, a "senuj.dat" hit
// rate 0..100 (percent) and expected value 0..1000.
//
// "GateAdj.dat": records of 72 doubles; records 4..14 give rows f = 1..11 of the gate
// adjustment, doubles 36..53 of a record being slots 0..17.
Status LoadGateAdj(const std::filesystem::path& file, TuningTables& tables);
// "RT.dat": the second record of 4400 bytes holds the seven statistics tables; the three
// normalised tables are derived from its rates.
Status LoadRotation(const std::filesystem::path& file, TuningTables& tables);
// "senuj.dat": the first record, per share class 1..8 the 153 hit rates and then the 153
// expected values of ranks 1..153.
Status LoadRankHit(const std::filesystem::path& file, TuningTables& tables);

// Everything the start-up sequence builds, in its order: "GateAdj.dat", the built-in tables,
// "RankRate.dat" over the built-in rank rates when the file is there (see TuningFiles.h),
// "RT.dat", "senuj.dat", all files from `appDir`. Stops at the first failure, whose message
// the start-up shows before ending the program.
Status LoadTuningTables(const std::filesystem::path& appDir, TuningTables& tables);

} // namespace vornal
