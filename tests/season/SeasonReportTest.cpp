#include <gtest/gtest.h>

#include "raceday/JsonWriter.h"
#include "season/SeasonGrid.h"
#include "season/SeasonReport.h"
#include "season/SeasonReportJson.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

SeasonRace Race(const char* course, const char* track, int distance, const char* condition, int runners)
{
    SeasonRace race;
    race.courseCode = course;
    race.trackCode = track;
    race.distance = distance;
    race.condition = condition;
    race.runners = runners;
    return race;
}

SeasonBet Bet(BetType type, int race, int payout, double decision)
{
    SeasonBet bet;
    bet.type = type;
    bet.race = race;
    bet.points = 1;
    bet.hit = payout > 0;
    bet.payout = payout;
    bet.decisionPayout = decision;
    return bet;
}

// Two hand-made days of one method: what each breakdown files a race under.
SeasonRun HandMadeRun()
{
    SeasonRun run;
    run.methods.push_back({"no1", {}});
    SeasonDay first;
    first.dayName = Sjis("2026年01月31日");
    first.loaded = true;
    first.races = {Race("06", "10", 1000, "703", 8), Race("06", "24", 1800, "005", 14),
                   Race("08", "51", 3000, "999", 12)};
    SeasonMethodDay judged;
    judged.bets = {Bet(BetType::Win, 0, 350, 199.9), Bet(BetType::Quinella, 1, 0, 0), Bet(BetType::Wide, 2, 0, 10000)};
    first.methods.push_back(judged);
    SeasonDay second;
    second.dayName = Sjis("2026年02月01日");
    second.loaded = true;
    second.races = {Race("08", "17", 2400, "016", 18)};
    judged.bets = {Bet(BetType::Win, 0, 0, 500), Bet(BetType::Place, 0, 0, 500)};
    second.methods.push_back(judged);
    for (SeasonDay* day : {&first, &second}) {
        for (const SeasonBet& bet : day->methods[0].bets) {
            BetTypeTotals& t = day->methods[0].totals[bet.type];
            t.Points += bet.points;
            t.Hits += bet.hit ? 1 : 0;
            t.Returned += bet.payout;
        }
    }
    run.days = {first, second};
    return run;
}

std::vector<std::string> Labels(const MethodReport& method, Breakdown by)
{
    std::vector<std::string> labels;
    for (const BreakdownTable& table : method.breakdowns) {
        if (table.by == by) {
            for (const BreakdownRow& row : table.rows) {
                labels.push_back(ToUtf8(row.label));
            }
        }
    }
    return labels;
}

TEST(SeasonReport, BreakdownsFileEachRaceUnderItsBand)
{
    const SeasonReport report = BuildSeasonReport(HandMadeRun(), {});
    ASSERT_EQ(report.methods.size(), 1u);
    const MethodReport& method = report.methods[0];
    using Labels_ = std::vector<std::string>;
    EXPECT_EQ(Labels(method, Breakdown::Course), (Labels_{"中山", "京都"}));
    // The straight turf course (10) is turf; 51 is a steeplechase.
    EXPECT_EQ(Labels(method, Breakdown::Surface), (Labels_{"芝", "ダート", "障害"}));
    EXPECT_EQ(Labels(method, Breakdown::Distance), (Labels_{"1400m以下", "1401-1800m", "2201m以上"}));
    EXPECT_EQ(Labels(method, Breakdown::Class), (Labels_{"未勝利", "1勝ｸﾗｽ", "3勝ｸﾗｽ", "オープン"}));
    EXPECT_EQ(Labels(method, Breakdown::Field), (Labels_{"8頭以下", "9-12頭", "13-16頭", "17頭以上"}));
    EXPECT_EQ(Labels(method, Breakdown::Month), (Labels_{"2026年01月", "2026年02月"}));
    EXPECT_EQ(Labels(method, Breakdown::Odds), (Labels_{"不明", "200円未満", "500-999円", "10000円以上"}));

    // Day 1: +250 win, -100 quinella, -100 wide; day 2: -200. Races in order, all types:
    // +250, -100, -100, -200: the longest losing run is three races, one day.
    const SeriesFigures& all = method.series[kAllTypes];
    EXPECT_EQ(all.cumulative, (std::vector<long long>{50, -150}));
    EXPECT_EQ(all.drawdown.yen, 200);
    EXPECT_EQ(all.drawdown.days, 1);
    EXPECT_EQ(all.losingRaces, 3);
    EXPECT_EQ(all.losingDays, 1);

    // The grid has one row per label and bet type with points; the JSON names every part.
    const CellGrid grid = BreakdownGrid(method.breakdowns[static_cast<std::size_t>(Breakdown::Odds)]);
    EXPECT_EQ(grid.RowCount(), 1 + 5);
    std::string json;
    JsonWriter writer(json);
    WriteSeasonReportJson(writer, report);
    for (const char* key : {"\"totals\":", "\"breakdowns\":", "\"curve\":", "\"drawdown\":", "\"streak\":",
                            "\"interval\":", "\"calibration\":", "\"hitRates\":", "\"mode\":\"stored\""}) {
        EXPECT_NE(json.find(key), std::string::npos) << key;
    }
}

} // namespace
} // namespace vornal
