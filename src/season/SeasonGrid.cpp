#include "season/SeasonGrid.h"

#include "text/Encoding.h"
#include "text/Format.h"

namespace vornal {
namespace {

void Headers(CellGrid& grid, std::initializer_list<std::string> headers)
{
    int column = 0;
    for (const std::string& header : headers) {
        grid.Set(0, column++, header);
    }
}

std::string Percent(double value)
{
    return fmt::sprintf("%6.1f%%", value);
}

} // namespace

CellGrid BreakdownGrid(const BreakdownTable& table)
{
    int rows = 1;
    for (const BreakdownRow& row : table.rows) {
        for (BetType type : kBetTypes) {
            rows += (row.totals[type].Points > 0 || row.totals[type].Hits > 0) ? 1 : 0;
        }
    }
    CellGrid grid(rows, 10);
    Headers(grid, {BreakdownCaption(table.by), Sjis("券種"), Sjis("買い点数"), Sjis("的中点数"), Sjis("的中率"),
                   Sjis("買い金額"), Sjis("回収金額"), Sjis("回収率"), Sjis("下限"), Sjis("上限")});
    int r = 1;
    for (const BreakdownRow& row : table.rows) {
        for (BetType type : kBetTypes) {
            const BetTypeTotals& t = row.totals[type];
            if (t.Points == 0 && t.Hits == 0) {
                continue;
            }
            const ReturnInterval& interval = row.intervals[static_cast<std::size_t>(type)];
            grid.Set(r, 0, row.label);
            grid.Set(r, 1, BetTypeName(type));
            grid.Set(r, 2, fmt::sprintf("%6d", t.Points));
            grid.Set(r, 3, fmt::sprintf("%6d", t.Hits));
            grid.Set(r, 4, t.Points > 0 ? Percent(100.0 * t.Hits / t.Points) : std::string());
            grid.Set(r, 5, fmt::sprintf("%10lld", t.Staked()));
            grid.Set(r, 6, fmt::sprintf("%10lld", t.Returned));
            grid.Set(r, 7, t.RateText());
            grid.Set(r, 8, t.Points > 0 ? Percent(interval.low) : std::string());
            grid.Set(r, 9, t.Points > 0 ? Percent(interval.high) : std::string());
            ++r;
        }
    }
    return grid;
}

CellGrid FiguresGrid(const MethodReport& method)
{
    CellGrid grid(static_cast<int>(kSeriesCount) + 1, 9);
    Headers(grid, {Sjis("券種"), Sjis("最大ドローダウン"), Sjis("期間"), Sjis("最長連敗"), Sjis("連敗レース"),
                   Sjis("回収率"), Sjis("下限"), Sjis("上限"), Sjis("日数")});
    for (std::size_t s = 0; s < kSeriesCount; ++s) {
        const SeriesFigures& f = method.series[s];
        const int r = static_cast<int>(s) + 1;
        grid.Set(r, 0, SeriesName(s));
        grid.Set(r, 1, fmt::sprintf(Sjis("%9lld円"), f.drawdown.yen));
        grid.Set(r, 2, fmt::sprintf(Sjis("%4d日"), f.drawdown.days));
        grid.Set(r, 3, fmt::sprintf(Sjis("%4d日"), f.losingDays));
        grid.Set(r, 4, fmt::sprintf("%5dR", f.losingRaces));
        grid.Set(r, 5, Percent(f.interval.rate));
        grid.Set(r, 6, Percent(f.interval.low));
        grid.Set(r, 7, Percent(f.interval.high));
        grid.Set(r, 8, fmt::sprintf(Sjis("%4d日"), f.interval.days));
    }
    return grid;
}

CellGrid CalibrationGrid(const std::vector<CalibrationRow>& rows)
{
    CellGrid grid(static_cast<int>(rows.size()) + 1, 5);
    Headers(grid, {Sjis("配当帯"), Sjis("件数"), Sjis("予想平均"), Sjis("払戻平均"), Sjis("比率")});
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CalibrationRow& row = rows[i];
        const int r = static_cast<int>(i) + 1;
        grid.Set(r, 0, PayoutBandLabel(row.band));
        grid.Set(r, 1, fmt::sprintf("%6d", row.count));
        grid.Set(r, 2, fmt::sprintf("%10.1f", row.meanPredicted));
        grid.Set(r, 3, fmt::sprintf("%10.1f", row.meanPaid));
        grid.Set(r, 4, fmt::sprintf("%7.3f", row.Ratio()));
    }
    return grid;
}

} // namespace vornal
