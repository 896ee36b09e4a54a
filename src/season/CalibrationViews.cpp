#include "season/CalibrationViews.h"

#include <algorithm>

#include "betting/QuinellaRanks.h"
#include "text/Encoding.h"
#include "text/Format.h"

namespace vornal {
namespace {

CellGrid RankCountView(const RankRateCounts& counts)
{
    constexpr std::array<const char*, kRatingKinds> kKinds = {"実績", "格",   "平均", "ﾛｰﾃ",  "ｺﾞｰﾙ",
                                                              "最終", "基TM", "最良", "脚質", "総合"};
    CellGrid grid(kRankedRunners + 1, kRatingKinds + 1);
    for (int kind = 1; kind <= kRatingKinds; ++kind) {
        grid.Set(0, kind, Sjis(kKinds[static_cast<std::size_t>(kind - 1)]));
    }
    for (int rank = 1; rank <= kRankedRunners; ++rank) {
        grid.Set(rank, 0, fmt::sprintf("%2d", rank));
        for (int kind = 1; kind <= kRatingKinds; ++kind) {
            grid.Set(rank, kind, fmt::sprintf("%5d", counts[kind][rank]));
        }
    }
    return grid;
}

CellGrid ClassRaceView(const CalibrationCounts& counts)
{
    CellGrid grid(kShareClasses + 1, 2);
    grid.Set(0, 0, Sjis("占有率の条件"));
    grid.Set(0, 1, Sjis("レース数"));
    for (int c = 1; c <= kShareClasses; ++c) {
        grid.Set(c, 0, ShareClassLabel(c));
        grid.Set(c, 1, fmt::sprintf("%5d", counts.ClassRaces[static_cast<std::size_t>(c)]));
    }
    return grid;
}

} // namespace

std::string RecalibrateCaption()
{
    return Sjis("表の再計測");
}

std::string CalibrationSummaryCaption()
{
    return Sjis("検証");
}

CellGrid SideBySide(const CellGrid& current, const CellGrid& calibrated)
{
    const int rows = std::max(current.RowCount(), calibrated.RowCount()) + 1;
    CellGrid grid(rows, current.ColumnCount() + calibrated.ColumnCount());
    grid.SetHeaderRows(std::max(current.HeaderRows(), calibrated.HeaderRows()) + 1);
    grid.SetHeaderColumns(current.HeaderColumns());
    grid.Set(0, 0, Sjis("現在の表"));
    grid.Set(0, current.ColumnCount(), Sjis("新しい表"));
    for (int row = 0; row < current.RowCount(); ++row) {
        for (int column = 0; column < current.ColumnCount(); ++column) {
            grid.Set(row + 1, column, current.Cell(row, column));
        }
    }
    for (int row = 0; row < calibrated.RowCount(); ++row) {
        for (int column = 0; column < calibrated.ColumnCount(); ++column) {
            grid.Set(row + 1, current.ColumnCount() + column, calibrated.Cell(row, column));
        }
    }
    return grid;
}

std::vector<TuningTab> CalibrationTabs(const CalibrationResult& result)
{
    const std::vector<TuningTab> current = BuildTuningTabs(result.current);
    const std::vector<TuningTab> calibrated = BuildTuningTabs(result.calibrated);
    std::vector<TuningTab> tabs;
    for (std::size_t t = 0; t < current.size() && t < calibrated.size(); ++t) {
        if (!current[t].DeveloperOnly) {
            continue;
        }
        TuningTab tab{current[t].Caption, true, {}};
        for (std::size_t v = 0; v < current[t].Views.size() && v < calibrated[t].Views.size(); ++v) {
            tab.Views.push_back({current[t].Views[v].Caption,
                                 SideBySide(current[t].Views[v].Grid, calibrated[t].Views[v].Grid)});
        }
        if (tab.Caption == Sjis("ﾃﾞｰﾀﾃｰﾌﾞﾙ")) {
            tab.Views.push_back({Sjis("件数"), RankCountView(result.rankCounts)});
        } else if (tab.Caption == Sjis("順位ﾃｰﾌﾞﾙ")) {
            tab.Views.push_back({Sjis("レース数"), ClassRaceView(result.training)});
        }
        tabs.push_back(std::move(tab));
    }
    return tabs;
}

} // namespace vornal
