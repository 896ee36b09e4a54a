#include "present/TuningViews.h"

#include <array>
#include <functional>

#include "text/Encoding.h"
#include "text/Format.h"

namespace vornal {
namespace {

constexpr std::array<const char*, kRatingKinds> kKindCaptions = {"実績", "格",   "平均", "ﾛｰﾃ",  "ｺﾞｰﾙ",
                                                                 "最終", "基TM", "最良", "脚質", "総合"};

// Rank rows 1..18 of a rating-kind table, "%5.2f".
CellGrid RankRateView(const std::function<double(int kind, int rank)>& value)
{
    CellGrid grid(kRankedRunners + 1, kRatingKinds + 1);
    for (int kind = 1; kind <= kRatingKinds; ++kind) {
        grid.Set(0, kind, Sjis(kKindCaptions[static_cast<std::size_t>(kind - 1)]));
    }
    for (int rank = 1; rank <= kRankedRunners; ++rank) {
        grid.Set(rank, 0, fmt::sprintf("%2d", rank));
        for (int kind = 1; kind <= kRatingKinds; ++kind) {
            grid.Set(rank, kind, fmt::sprintf("%5.2f", value(kind, rank)));
        }
    }
    return grid;
}

CellGrid FieldRankView(const TuningTables& tables)
{
    constexpr int kFirstField = 5;
    CellGrid grid(kRankedRunners - kFirstField + 2, kRankedRunners + 1);
    for (int k = 1; k <= kRankedRunners; ++k) {
        grid.Set(0, k, fmt::sprintf("%2d", k) + Sjis("人気"));
    }
    for (int n = kFirstField; n <= kRankedRunners; ++n) {
        const int row = n - kFirstField + 1;
        grid.Set(row, 0, fmt::sprintf("%2d", n) + Sjis("頭"));
        for (int k = 1; k <= kRankedRunners; ++k) {
            if (const double rate = tables.FieldRankWin(n, k); rate != 0.0) {
                grid.Set(row, k, fmt::sprintf("%5.2f", rate));
            }
        }
    }
    return grid;
}

CellGrid ShareClassView(const TuningTables& tables)
{
    constexpr std::array<const char*, kShareClasses> kRows = {"49.8未満", "53.5以下", "56.6以下", "59.2以下",
                                                              "62.4以下", "65.1以下", "68.4以下", "68.5以上"};
    constexpr std::array<const char*, kShareStats> kColumns = {"1000未満", "2000未満", "3000未満", "4000未満",
                                                               "4000以上", "8000以上", "単勝平均", "馬連平均"};
    CellGrid grid(kShareClasses + 1, kShareStats + 1);
    grid.Set(0, 0, Sjis("占有率の条件"));
    for (int s = 1; s <= kShareStats; ++s) {
        grid.Set(0, s, Sjis(kColumns[static_cast<std::size_t>(s - 1)]));
    }
    for (int c = 1; c <= kShareClasses; ++c) {
        grid.Set(c, 0, Sjis(kRows[static_cast<std::size_t>(c - 1)]));
        for (int s = 1; s <= kShareStats; ++s) {
            const double value = tables.ShareClassStat(c, static_cast<ShareStat>(s));
            grid.Set(c, s, fmt::sprintf(s <= 6 ? "%5.1f" : "%5.0f", value));
        }
    }
    return grid;
}

CellGrid BaseLapView(const TuningTables& tables)
{
    constexpr std::array<int, kLapDistances> kDistances = {1000, 1200, 1400, 1600, 1700, 1800,
                                                           2000, 2100, 2200, 2300, 2400, 2500};
    constexpr std::array<const char*, 6> kColumns = {"芝勝ﾀｲﾑ", "芝前半SP", "芝後半SP",
                                                     "ダ勝ﾀｲﾑ", "ダ前半SP", "ダ後半SP"};
    CellGrid grid(kLapDistances + 1, 7);
    grid.Set(0, 0, Sjis("距離"));
    for (int c = 0; c < 6; ++c) {
        grid.Set(0, c + 1, Sjis(kColumns[static_cast<std::size_t>(c)]));
    }
    for (int d = 1; d <= kLapDistances; ++d) {
        grid.Set(d, 0, std::to_string(kDistances[static_cast<std::size_t>(d - 1)]));
        for (int c = 0; c < 6; ++c) {
            const double value =
                tables.BaseLap(d, c < 3 ? LapSurface::Turf : LapSurface::Dirt, static_cast<LapMeasure>(c % 3));
            if (value > 0) {
                grid.Set(d, c + 1, fmt::sprintf("%5.1f", value));
            }
        }
    }
    return grid;
}

CellGrid ThresholdView(const TuningTables& tables)
{
    constexpr std::array<const char*, kLapCategories> kRows = {"芝短", "芝中", "ダ短", "ダ中"};
    CellGrid grid(kLapCategories + 1, 4);
    grid.Set(0, 0, Sjis("識別"));
    grid.Set(0, 1, "38%");
    grid.Set(0, 2, "50%");
    grid.Set(0, 3, "90%");
    for (int c = 1; c <= kLapCategories; ++c) {
        grid.Set(c, 0, Sjis(kRows[static_cast<std::size_t>(c - 1)]));
        for (int p = 0; p < 3; ++p) {
            grid.Set(c, p + 1, fmt::sprintf("%6.2f", tables.Threshold(c, static_cast<ThresholdLevel>(p))));
        }
    }
    return grid;
}

// One category: three blocks "J-Z", "J-K", "Z-K" at rows 0, 7 and 14, bucket i of the first
// rank as the column and j of the second as the row.
CellGrid RankPairView(const TuningTables& tables, int category)
{
    constexpr std::array<const char*, 3> kPairs = {"J-Z", "J-K", "Z-K"};
    CellGrid grid(3 * (kRankBuckets + 1), kRankBuckets + 1);
    for (int pair = 0; pair < 3; ++pair) {
        const int top = pair * (kRankBuckets + 1);
        grid.Set(top, 0, kPairs[static_cast<std::size_t>(pair)]);
        for (int i = 1; i <= kRankBuckets; ++i) {
            grid.Set(top, i, std::to_string(i));
        }
        for (int j = 1; j <= kRankBuckets; ++j) {
            grid.Set(top + j, 0, std::to_string(j));
            for (int i = 1; i <= kRankBuckets; ++i) {
                grid.Set(top + j, i,
                         fmt::sprintf("%5.1f", tables.RankPair(category, static_cast<RankPairKind>(pair), i, j)));
            }
        }
    }
    return grid;
}

// A rotation sheet: past runs k = 1..11 as the columns, finishing buckets as the rows.
template <class T>
CellGrid RotationView(const TuningGrid<T, kRotationRuns + 1, kRotationBuckets + 1>& table, const char* format)
{
    CellGrid grid(kRotationBuckets + 1, kRotationRuns + 1);
    for (int k = 1; k <= kRotationRuns; ++k) {
        grid.Set(0, k, fmt::sprintf("%2d", k) + Sjis("走"));
    }
    for (int b = 1; b <= kRotationBuckets; ++b) {
        grid.Set(b, 0, b < kRotationBuckets ? fmt::sprintf("%2d", b) + Sjis("着") : Sjis("未"));
        for (int k = 1; k <= kRotationRuns; ++k) {
            grid.Set(b, k, fmt::sprintf(format, table[static_cast<std::size_t>(k)][static_cast<std::size_t>(b)]));
        }
    }
    return grid;
}

CellGrid RankHitView(const TuningTables& tables)
{
    CellGrid grid(kQuinellaRanks + 1, 2 * kShareClasses + 1);
    for (int c = 1; c <= kShareClasses; ++c) {
        grid.Set(0, c, Sjis("的中率") + std::to_string(c));
        grid.Set(0, kShareClasses + c, Sjis("期待値") + std::to_string(c));
    }
    for (int rank = 1; rank <= kQuinellaRanks; ++rank) {
        grid.Set(rank, 0, fmt::sprintf("%3d", rank));
        for (int c = 1; c <= kShareClasses; ++c) {
            grid.Set(rank, c, fmt::sprintf("%6.1f", tables.RankHitRate(c, rank)));
            grid.Set(rank, kShareClasses + c, fmt::sprintf("%6.1f", tables.RankExpectedValue(c, rank)));
        }
    }
    return grid;
}

} // namespace

std::vector<TuningTab> BuildTuningTabs(const TuningTables& tables)
{
    std::vector<TuningTab> tabs;
    tabs.push_back(
        {Sjis("ﾃﾞｰﾀﾃｰﾌﾞﾙ"),
         true,
         {{Sjis("単勝配当用"), RankRateView([&](int kind, int rank) { return tables.RankWin(kind, rank); })},
          {Sjis("馬連配当用"), RankRateView([&](int kind, int rank) { return tables.RankTopTwo(kind, rank); })},
          {Sjis("単勝人気統計"), FieldRankView(tables)}}});
    tabs.push_back({Sjis("参考資料"), false, {{Sjis("配当別実現確率"), ShareClassView(tables)}}});
    tabs.push_back({Sjis("基準ﾗｯﾌﾟﾃﾞｰﾀ表"),
                    false,
                    {{Sjis("基準ﾗｯﾌﾟﾃﾞｰﾀ表"), BaseLapView(tables)},
                     {Sjis("仕切値"), ThresholdView(tables)},
                     {Sjis("芝短距離"), RankPairView(tables, 1)},
                     {Sjis("芝中距離"), RankPairView(tables, 2)},
                     {Sjis("ﾀﾞｰﾄ短距離"), RankPairView(tables, 3)},
                     {Sjis("ﾀﾞｰﾄ中距離"), RankPairView(tables, 4)}}});
    const RotationStatsTables& stats = tables.RotationStats;
    tabs.push_back({Sjis("ローテーション値"),
                    true,
                    {{Sjis("ﾚｰｽ数"), RotationView(stats.Races, "%5d")},
                     {Sjis("勝数"), RotationView(stats.Wins, "%5d")},
                     {Sjis("勝率"), RotationView(stats.WinRate, "%5.5f")},
                     {Sjis("連対数"), RotationView(stats.TopTwo, "%5d")},
                     {Sjis("連対率"), RotationView(stats.TopTwoRate, "%5.5f")},
                     {Sjis("３着内数"), RotationView(stats.TopThree, "%5d")},
                     {Sjis("複勝率"), RotationView(stats.TopThreeRate, "%5.5f")},
                     {Sjis("補正ＲＴ-勝率"), RotationView(tables.RotationTable, "%5.5f")},
                     {Sjis("補正ＲＴ-連対率"), RotationView(tables.RotationTopTwoTable, "%5.5f")},
                     {Sjis("補正ＲＴ-複勝率"), RotationView(tables.RotationTopThreeTable, "%5.5f")}}});
    tabs.push_back({Sjis("順位ﾃｰﾌﾞﾙ"), true, {{Sjis("順位ﾃｰﾌﾞﾙ"), RankHitView(tables)}}});
    return tabs;
}

} // namespace vornal
