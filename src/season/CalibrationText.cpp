#include "season/CalibrationText.h"

#include "text/Encoding.h"
#include "text/Format.h"

namespace vornal {
namespace {

// Paid over predicted across every band: the mean paid of all races over their mean
// predicted payout.
std::pair<int, double> Overall(const std::vector<CalibrationRow>& rows)
{
    int count = 0;
    double predicted = 0.0;
    double paid = 0.0;
    for (const CalibrationRow& row : rows) {
        count += row.count;
        predicted += row.count * row.meanPredicted;
        paid += row.count * row.meanPaid;
    }
    return {count, predicted > 0 ? paid / predicted : 0.0};
}

std::string Range(const std::vector<std::string>& days)
{
    if (days.empty()) {
        return {};
    }
    return days.front() + " - " + days.back() + fmt::sprintf(Sjis("（%d日）"), static_cast<int>(days.size()));
}

// The row label of a gap table: the share class, the past run, the rating kind.
std::string RowLabel(std::size_t table, int row)
{
    if (table <= 1) {
        return fmt::sprintf(Sjis("占有率%d"), row);
    }
    if (table == 2) {
        return fmt::sprintf(Sjis("%2d走"), row);
    }
    return fmt::sprintf(Sjis("種別%d"), row);
}

} // namespace

CalibrationFigures FiguresOf(const SeasonReport& report)
{
    CalibrationFigures figures;
    for (const MethodReport& method : report.methods) {
        CalibrationFigures::Method m;
        m.name = method.name;
        for (const HitRateRow& row : method.hitRates) {
            if (row.shareClass == 0) {
                m.quinellaPoints = row.points;
                m.quinellaHitRate = row.Rate();
                m.quinellaExpectedRate = row.expectedRate;
            }
        }
        for (std::size_t t = 0; t < kBetTypes.size(); ++t) {
            m.returnRate[t] = method.totals.ByType[t].Rate();
            m.points[t] = method.totals.ByType[t].Points;
        }
        figures.methods.push_back(m);
    }
    std::tie(figures.winRaces, figures.winPaidOverPredicted) = Overall(report.winCalibration);
    std::tie(figures.quinellaRaces, figures.quinellaPaidOverPredicted) = Overall(report.quinellaCalibration);
    return figures;
}

std::vector<std::string> CalibrationTextLines(const CalibrationResult& result)
{
    std::vector<std::string> lines;
    lines.push_back(Sjis("学習\t") + Range(result.trainingDays));
    lines.push_back(Sjis("検証\t") + Range(result.heldOutDays));
    lines.push_back(fmt::sprintf(Sjis("縮小の重み\t%g（件数 n のセルは (n×実測＋%g×現在値)÷(n＋%g)）"), result.prior,
                                 result.prior, result.prior));
    lines.push_back({});
    lines.push_back(Sjis("[検証日の実測との差]（セルの件数で重み付けした平均絶対差、ポイント）"));
    lines.push_back(Sjis("表\t件数\t現在の表\t新しい表"));
    for (std::size_t t = 0; t < result.before.gaps.size() && t < result.after.gaps.size(); ++t) {
        const CalibrationGap& old = result.before.gaps[t];
        const CalibrationGap& now = result.after.gaps[t];
        lines.push_back(fmt::sprintf("%s\t%lld\t%.3f\t%.3f", old.table, static_cast<long long>(now.trials), old.gap,
                                     now.gap));
    }
    for (std::size_t t = 0; t < result.before.gaps.size() && t < result.after.gaps.size(); ++t) {
        const CalibrationGap& old = result.before.gaps[t];
        const CalibrationGap& now = result.after.gaps[t];
        lines.push_back({});
        lines.push_back("[" + old.table + "]");
        lines.push_back(Sjis("行\t件数\t現在の表\t新しい表"));
        for (std::size_t row = 1; row < old.rowGap.size() && row < now.rowGap.size(); ++row) {
            lines.push_back(fmt::sprintf("%s\t%lld\t%.3f\t%.3f", RowLabel(t, static_cast<int>(row)),
                                         static_cast<long long>(now.rowTrials[row]), old.rowGap[row],
                                         now.rowGap[row]));
        }
    }
    const CalibrationFigures before = FiguresOf(result.before.report);
    const CalibrationFigures after = FiguresOf(result.after.report);
    lines.push_back({});
    lines.push_back(Sjis("[検証日の成績分析]\t現在の表\t新しい表"));
    lines.push_back(fmt::sprintf(Sjis("単勝 払戻÷予想配当\t%.3f（%dレース）\t%.3f（%dレース）"),
                                 before.winPaidOverPredicted, before.winRaces, after.winPaidOverPredicted,
                                 after.winRaces));
    lines.push_back(fmt::sprintf(Sjis("馬連 払戻÷予想配当\t%.3f（%dレース）\t%.3f（%dレース）"),
                                 before.quinellaPaidOverPredicted, before.quinellaRaces,
                                 after.quinellaPaidOverPredicted, after.quinellaRaces));
    for (std::size_t m = 0; m < before.methods.size() && m < after.methods.size(); ++m) {
        const CalibrationFigures::Method& old = before.methods[m];
        const CalibrationFigures::Method& now = after.methods[m];
        lines.push_back(fmt::sprintf(Sjis("%s 馬連的中率／期待的中率\t%.2f%%／%.2f%%（%d点）\t%.2f%%／%.2f%%（%d点）"),
                                     old.name, old.quinellaHitRate, old.quinellaExpectedRate, old.quinellaPoints,
                                     now.quinellaHitRate, now.quinellaExpectedRate, now.quinellaPoints));
        for (std::size_t t = 0; t < kBetTypes.size(); ++t) {
            lines.push_back(fmt::sprintf(Sjis("%s %s回収率\t%.1f%%（%d点）\t%.1f%%（%d点）"), old.name,
                                         BetTypeName(kBetTypes[t]), old.returnRate[t], old.points[t],
                                         now.returnRate[t], now.points[t]));
        }
    }
    return lines;
}

namespace {

void WriteGaps(JsonWriter& json, const std::vector<CalibrationGap>& gaps)
{
    json.BeginArray();
    for (const CalibrationGap& gap : gaps) {
        json.BeginObject();
        json.Key("table");
        json.Cp932(gap.table);
        json.Key("trials");
        json.Number(static_cast<long long>(gap.trials));
        json.Field("gap", gap.gap);
        json.Key("rows");
        json.BeginArray();
        for (std::size_t row = 1; row < gap.rowGap.size(); ++row) {
            json.BeginObject();
            json.Field("row", static_cast<int>(row));
            json.Key("trials");
            json.Number(static_cast<long long>(gap.rowTrials[row]));
            json.Field("gap", gap.rowGap[row]);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
}

void WriteFigures(JsonWriter& json, const CalibrationFigures& figures)
{
    json.BeginObject();
    json.Field("winRaces", figures.winRaces);
    json.Field("winPaidOverPredicted", figures.winPaidOverPredicted);
    json.Field("quinellaRaces", figures.quinellaRaces);
    json.Field("quinellaPaidOverPredicted", figures.quinellaPaidOverPredicted);
    json.Key("methods");
    json.BeginArray();
    for (const CalibrationFigures::Method& method : figures.methods) {
        json.BeginObject();
        json.Key("name");
        json.Utf8(method.name);
        json.Field("quinellaPoints", method.quinellaPoints);
        json.Field("quinellaHitRate", method.quinellaHitRate);
        json.Field("quinellaExpectedRate", method.quinellaExpectedRate);
        json.Key("returnRate");
        json.BeginObject();
        for (std::size_t t = 0; t < kBetTypes.size(); ++t) {
            json.Key(ToUtf8(BetTypeName(kBetTypes[t])));
            json.Number(method.returnRate[t]);
        }
        json.EndObject();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

void WriteDays(JsonWriter& json, std::string_view key, const std::vector<std::string>& days)
{
    json.Key(key);
    json.BeginArray();
    for (const std::string& day : days) {
        json.Cp932(day);
    }
    json.EndArray();
}

} // namespace

void WriteCalibrationJson(JsonWriter& json, const CalibrationResult& result)
{
    json.BeginObject();
    WriteDays(json, "training", result.trainingDays);
    WriteDays(json, "heldOut", result.heldOutDays);
    WriteDays(json, "failed", result.failedDays);
    json.Field("prior", result.prior);
    json.Key("gapsBefore");
    WriteGaps(json, result.before.gaps);
    json.Key("gapsAfter");
    WriteGaps(json, result.after.gaps);
    json.Key("before");
    WriteFigures(json, FiguresOf(result.before.report));
    json.Key("after");
    WriteFigures(json, FiguresOf(result.after.report));
    json.EndObject();
}

} // namespace vornal
