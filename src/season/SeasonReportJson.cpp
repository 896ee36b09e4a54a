#include "season/SeasonReportJson.h"

#include "betting/QuinellaRanks.h"
#include "results/DayTotalsJson.h"
#include "text/Encoding.h"
#include "text/Format.h"

namespace vornal {
namespace {

std::string ShareClassText(int shareClass)
{
    return shareClass == 0 ? Sjis("全体") : ShareClassLabel(shareClass);
}

void WriteCalibration(JsonWriter& json, const std::vector<CalibrationRow>& rows)
{
    json.BeginArray();
    for (const CalibrationRow& row : rows) {
        json.BeginObject();
        json.Key("band");
        json.Cp932(PayoutBandLabel(row.band));
        json.Field("count", row.count);
        json.Field("meanPredicted", row.meanPredicted);
        json.Field("meanPaid", row.meanPaid);
        json.Field("ratio", row.Ratio());
        json.EndObject();
    }
    json.EndArray();
}

template <typename Write> void PerSeries(JsonWriter& json, Write write)
{
    json.BeginObject();
    for (std::size_t s = 0; s < kSeriesCount; ++s) {
        json.Key(ToUtf8(SeriesName(s)));
        write(s);
    }
    json.EndObject();
}

void WriteMethod(JsonWriter& json, const SeasonReport& report, const MethodReport& method)
{
    json.BeginObject();
    json.Key("method");
    json.Utf8(method.name);
    json.Key("BetKindSuffix");
    json.Cp932(method.betKindSuffix);
    json.Key("totals");
    WriteDayTotalsJson(json, method.totals);
    json.Key("breakdowns");
    json.BeginObject();
    for (const BreakdownTable& table : method.breakdowns) {
        json.Key(BreakdownName(table.by));
        json.BeginArray();
        for (const BreakdownRow& row : table.rows) {
            json.BeginObject();
            json.Key("key");
            json.Cp932(row.label);
            json.Key("totals");
            WriteDayTotalsJson(json, row.totals);
            json.Key("intervals");
            json.BeginObject();
            for (BetType type : kBetTypes) {
                if (row.totals[type].Points == 0) {
                    continue;
                }
                const ReturnInterval& interval = row.intervals[static_cast<std::size_t>(type)];
                json.Key(ToUtf8(BetTypeName(type)));
                json.BeginObject();
                json.Field("low", interval.low);
                json.Field("high", interval.high);
                json.Field("days", interval.days);
                json.EndObject();
            }
            json.EndObject();
            json.EndObject();
        }
        json.EndArray();
    }
    json.EndObject();
    json.Key("curve");
    json.BeginArray();
    for (std::size_t d = 0; d < report.days.size(); ++d) {
        json.BeginObject();
        json.Key("date");
        json.Cp932(report.days[d]);
        json.Key("profit");
        PerSeries(json, [&](std::size_t s) {
            long long profit = 0;
            for (BetType type : kBetTypes) {
                if (s == kAllTypes || s == static_cast<std::size_t>(type)) {
                    profit += method.dayTotals[d][type].Returned - method.dayTotals[d][type].Staked();
                }
            }
            json.Number(profit);
        });
        json.Key("cumulative");
        PerSeries(json, [&](std::size_t s) { json.Number(method.series[s].cumulative[d]); });
        json.EndObject();
    }
    json.EndArray();
    json.Key("drawdown");
    PerSeries(json, [&](std::size_t s) {
        json.BeginObject();
        json.Key("yen");
        json.Number(method.series[s].drawdown.yen);
        json.Field("days", method.series[s].drawdown.days);
        json.EndObject();
    });
    json.Key("streak");
    PerSeries(json, [&](std::size_t s) {
        json.BeginObject();
        json.Field("days", method.series[s].losingDays);
        json.Field("races", method.series[s].losingRaces);
        json.EndObject();
    });
    json.Key("interval");
    PerSeries(json, [&](std::size_t s) {
        const ReturnInterval& interval = method.series[s].interval;
        json.BeginObject();
        json.Field("rate", interval.rate);
        json.Field("low", interval.low);
        json.Field("high", interval.high);
        json.Field("days", interval.days);
        json.EndObject();
    });
    json.Key("calibration");
    json.BeginObject();
    json.Key("win");
    WriteCalibration(json, report.winCalibration);
    json.Key("quinella");
    WriteCalibration(json, report.quinellaCalibration);
    json.Key("hitRates");
    json.BeginArray();
    for (const HitRateRow& row : method.hitRates) {
        json.BeginObject();
        json.Key("shareClass");
        json.Cp932(ShareClassText(row.shareClass));
        json.Field("points", row.points);
        json.Field("hits", row.hits);
        json.Field("rate", row.Rate());
        json.Field("expected", row.expectedRate);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    json.EndObject();
}

std::string CsvField(const std::string& utf8)
{
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) {
        return utf8;
    }
    std::string quoted = "\"";
    for (char c : utf8) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string Money(long long yen)
{
    return fmt::sprintf("%lld", yen);
}

std::string Decimal(double value, int digits)
{
    return fmt::sprintf("%.*f", digits, value);
}

void AppendTotalsRows(std::string& out, const std::string& prefix, const DayTotals& totals)
{
    for (BetType type : kBetTypes) {
        const BetTypeTotals& t = totals[type];
        out += prefix + CsvField(ToUtf8(BetTypeName(type))) + "," + fmt::sprintf("%d,%d,", t.Points, t.Hits) +
               Money(t.Staked()) + "," + Money(t.Returned) + "," + (t.Points > 0 ? Decimal(t.Rate(), 1) : "") + "\r\n";
    }
}

} // namespace

const char* DecisionModeName(DecisionMode mode)
{
    return mode == DecisionMode::DecisionTime ? "decision" : "stored";
}

void WriteSeasonReportJson(JsonWriter& json, const SeasonReport& report)
{
    json.BeginObject();
    json.Key("days");
    json.BeginArray();
    for (std::size_t d = 0; d < report.days.size(); ++d) {
        json.BeginObject();
        json.Key("date");
        json.Cp932(report.days[d]);
        json.Key("mode");
        json.Utf8(DecisionModeName(report.modes[d]));
        json.EndObject();
    }
    json.EndArray();
    json.Key("failed");
    json.BeginArray();
    for (const std::string& day : report.failedDays) {
        json.Cp932(day);
    }
    json.EndArray();
    json.Key("seed");
    json.Number(static_cast<long long>(report.seed));
    json.Field("resamples", report.resamples);
    json.Key("methods");
    json.BeginArray();
    for (const MethodReport& method : report.methods) {
        WriteMethod(json, report, method);
    }
    json.EndArray();
    json.EndObject();
}

std::string BreakdownCsv(const MethodReport& method, const BreakdownTable& table)
{
    std::string out = "method,breakdown,key,type,points,hits,staked,returned,rate\r\n";
    for (const BreakdownRow& row : table.rows) {
        AppendTotalsRows(out,
                         CsvField(method.name) + "," + std::string(BreakdownName(table.by)) + "," +
                             CsvField(ToUtf8(row.label)) + ",",
                         row.totals);
    }
    return out;
}

std::vector<CsvTable> SeasonReportCsv(const SeasonReport& report)
{
    std::vector<CsvTable> tables;
    std::string breakdowns = "method,breakdown,key,type,points,hits,staked,returned,rate\r\n";
    std::string curve = "method,date,mode";
    for (std::size_t s = 0; s < kSeriesCount; ++s) {
        curve += "," + ToUtf8(SeriesName(s)) + " profit," + ToUtf8(SeriesName(s)) + " cumulative";
    }
    curve += "\r\n";
    std::string figures = "method,type,drawdown yen,drawdown days,losing days,losing races,rate,low,high,days\r\n";
    std::string hitRates = "method,share class,points,hits,rate,expected\r\n";
    for (const MethodReport& method : report.methods) {
        for (const BreakdownTable& table : method.breakdowns) {
            const std::string csv = BreakdownCsv(method, table);
            breakdowns += csv.substr(csv.find("\r\n") + 2);
        }
        for (std::size_t d = 0; d < report.days.size(); ++d) {
            curve += CsvField(method.name) + "," + ToUtf8(report.days[d]) + "," + DecisionModeName(report.modes[d]);
            for (std::size_t s = 0; s < kSeriesCount; ++s) {
                long long profit = 0;
                for (BetType type : kBetTypes) {
                    if (s == kAllTypes || s == static_cast<std::size_t>(type)) {
                        profit += method.dayTotals[d][type].Returned - method.dayTotals[d][type].Staked();
                    }
                }
                curve += "," + Money(profit) + "," + Money(method.series[s].cumulative[d]);
            }
            curve += "\r\n";
        }
        for (std::size_t s = 0; s < kSeriesCount; ++s) {
            const SeriesFigures& f = method.series[s];
            figures += CsvField(method.name) + "," + ToUtf8(SeriesName(s)) + "," + Money(f.drawdown.yen) + "," +
                       fmt::sprintf("%d,%d,%d,", f.drawdown.days, f.losingDays, f.losingRaces) +
                       Decimal(f.interval.rate, 1) + "," + Decimal(f.interval.low, 1) + "," +
                       Decimal(f.interval.high, 1) + "," + fmt::sprintf("%d", f.interval.days) + "\r\n";
        }
        for (const HitRateRow& row : method.hitRates) {
            hitRates += CsvField(method.name) + "," + CsvField(ToUtf8(ShareClassText(row.shareClass))) + "," +
                        fmt::sprintf("%d,%d,", row.points, row.hits) + Decimal(row.Rate(), 2) + "," +
                        Decimal(row.expectedRate, 2) + "\r\n";
        }
    }
    std::string calibration = "type,band,count,mean predicted,mean paid,ratio\r\n";
    for (const auto& [type, rows] :
         {std::pair{BetType::Win, &report.winCalibration}, std::pair{BetType::Quinella, &report.quinellaCalibration}}) {
        for (const CalibrationRow& row : *rows) {
            calibration += ToUtf8(BetTypeName(type)) + "," + ToUtf8(PayoutBandLabel(row.band)) + "," +
                           fmt::sprintf("%d,", row.count) + Decimal(row.meanPredicted, 1) + "," +
                           Decimal(row.meanPaid, 1) + "," + Decimal(row.Ratio(), 3) + "\r\n";
        }
    }
    tables.push_back({"breakdowns.csv", std::move(breakdowns)});
    tables.push_back({"curve.csv", std::move(curve)});
    tables.push_back({"figures.csv", std::move(figures)});
    tables.push_back({"calibration.csv", std::move(calibration)});
    tables.push_back({"hitrates.csv", std::move(hitRates)});
    return tables;
}

} // namespace vornal
