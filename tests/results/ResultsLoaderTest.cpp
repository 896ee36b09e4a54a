#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "raceday/RaceDayJson.h"
#include "results/ResultsLoader.h"
#include "store/JvLayout.h"

namespace vornal {
namespace {

void Put(std::string& record, jv::FieldPos field, std::string_view text)
{
    ASSERT_EQ(text.size(), static_cast<std::size_t>(field.length));
    record.replace(static_cast<std::size_t>(field.position - 1), text.size(), text);
}

// Entry i (1-based) of a payout table.
void PutEntry(std::string& hr, const jv::hr::PayTable& table, int i, std::string_view key, std::string_view payout,
              std::string_view popularity)
{
    Put(hr, jv::Nth(table.key, table.stride, i), key);
    Put(hr, jv::Nth(table.payout, table.stride, i), payout);
    Put(hr, jv::Nth(table.popularity, table.stride, i), popularity);
}

std::string Record(int length)
{
    std::string record(static_cast<std::size_t>(length), ' ');
    record.replace(11, 4, "2026");
    return record;
}

std::string Entry(std::string_view finish, std::string_view odds, std::string_view popularity)
{
    std::string se = Record(jv::kLengthSE);
    Put(se, jv::se::kFinalPosition, finish);
    Put(se, jv::se::kWinOdds, odds);
    Put(se, jv::se::kPopularity, popularity);
    return se;
}

std::unique_ptr<RaceDay> DayWithRace(int runners)
{
    auto day = std::make_unique<RaceDay>();
    ClearRaceDay(*day);
    BlankRaceDayRecords(*day);
    day->RaceRA[0] = Record(jv::kLengthRA);
    day->Races[0].RaceLoaded = true;
    day->Races[0].RunnerCount = runners;
    day->RaceCount = 1;
    return day;
}

TEST(ResultsLoaderRunners, FinishPopularityAndFinalOdds)
{
    auto day = DayWithRace(4);
    day->RunnerSE[0][0] = Entry("01", "0123", "02");
    day->RunnerSE[0][1] = Entry("00", "0000", "00"); // scratched: nothing to take
    day->RunnerSE[0][2] = Entry(" 7", "1234", "11");
    day->RunnerSE[0][3] = Entry("  ", "    ", "  ");
    day->Races[0].Runners[1].FinalWinOdds = 5.5;     // an earlier value stays
    day->RunnerSE[0][4] = Entry("02", "0031", "01"); // beyond the registered count

    LoadResults(*day);

    const auto& runners = day->Races[0].Runners;
    EXPECT_EQ(runners[0].FinishPos, 1);
    EXPECT_EQ(runners[0].WinPopularity, 2);
    EXPECT_DOUBLE_EQ(runners[0].FinalWinOdds, 12.3);
    EXPECT_EQ(runners[1].FinishPos, 0);
    EXPECT_EQ(runners[1].WinPopularity, 0);
    EXPECT_EQ(runners[1].FinalWinOdds, 5.5);
    EXPECT_EQ(runners[2].FinishPos, 7);
    EXPECT_EQ(runners[2].WinPopularity, 11);
    EXPECT_DOUBLE_EQ(runners[2].FinalWinOdds, 123.4);
    EXPECT_EQ(runners[3].FinishPos, 0);
    EXPECT_EQ(runners[3].FinalWinOdds, 0.0);
    EXPECT_EQ(runners[4].FinishPos, 0);
}

TEST(ResultsLoaderPayouts, RunnerTablesInRecordOrderWithDeadHeats)
{
    auto day = DayWithRace(10);
    std::string hr = Record(jv::kLengthHR);
    PutEntry(hr, jv::hr::kWin, 1, "03", "000000450", "02");
    PutEntry(hr, jv::hr::kWin, 2, "08", "      980", "05"); // dead heat for first
    PutEntry(hr, jv::hr::kPlace, 1, "03", "000000160", "02");
    PutEntry(hr, jv::hr::kPlace, 5, "10", "000001230", "09");
    day->RaceHR[0] = hr;

    LoadResults(*day);

    const RaceSlot& race = day->Races[0];
    EXPECT_EQ(race.WinResult[0].Key, 3);
    EXPECT_EQ(race.WinResult[0].Payout, 450);
    EXPECT_EQ(race.WinResult[0].Popularity, 2);
    EXPECT_EQ(race.WinResult[1].Key, 8);
    EXPECT_EQ(race.WinResult[1].Payout, 980);
    EXPECT_EQ(race.WinResult[1].Popularity, 5);
    EXPECT_EQ(race.WinResult[2].Key, 0);
    EXPECT_EQ(race.WinResult[2].Payout, 0);
    EXPECT_EQ(race.PlaceResult[0].Payout, 160);
    EXPECT_EQ(race.PlaceResult[4].Key, 10);
    EXPECT_EQ(race.PlaceResult[4].Payout, 1230);
    EXPECT_EQ(race.PlaceResult[4].Popularity, 9);
}

TEST(ResultsLoaderPayouts, PairKeysAsCombinationText)
{
    auto day = DayWithRace(12);
    std::string hr = Record(jv::kLengthHR);
    PutEntry(hr, jv::hr::kBracketQuinella, 1, "36", "000000870", "04");
    PutEntry(hr, jv::hr::kQuinella, 1, "0306", "000001520", "006");
    PutEntry(hr, jv::hr::kQuinella, 2, "1112", "000023450", "101");
    PutEntry(hr, jv::hr::kWide, 1, "0306", "000000480", "005");
    PutEntry(hr, jv::hr::kWide, 7, "0912", "000003300", "033");
    day->RaceHR[0] = hr;

    LoadResults(*day);

    const RaceSlot& race = day->Races[0];
    EXPECT_EQ(race.BracketResult[0].Key, " 3- 6");
    EXPECT_EQ(race.BracketResult[0].Payout, 870);
    EXPECT_EQ(race.BracketResult[0].Popularity, 4);
    EXPECT_EQ(race.QuinellaResult[0].Key, " 3- 6");
    EXPECT_EQ(race.QuinellaResult[0].Payout, 1520);
    EXPECT_EQ(race.QuinellaResult[0].Popularity, 6);
    EXPECT_EQ(race.QuinellaResult[1].Key, "11-12");
    EXPECT_EQ(race.QuinellaResult[1].Popularity, 101);
    EXPECT_EQ(race.QuinellaResult[2].Key, " 0- 0"); // empty entry: matches no bet
    EXPECT_EQ(race.QuinellaResult[2].Payout, 0);
    EXPECT_EQ(race.WideResult[0].Key, " 3- 6");
    EXPECT_EQ(race.WideResult[6].Key, " 9-12");
    EXPECT_EQ(race.WideResult[6].Payout, 3300);
    EXPECT_EQ(race.WideResult[6].Popularity, 33);
    EXPECT_EQ(race.WideResult[3].Key, " 0- 0");
}

TEST(ResultsLoaderPayouts, BlankPayoutRecordGivesZerosAndEmptyPairs)
{
    auto day = DayWithRace(8);
    LoadResults(*day);
    const RaceSlot& race = day->Races[0];
    for (const RunnerPayout& entry : race.PlaceResult) {
        EXPECT_EQ(entry.Key, 0);
        EXPECT_EQ(entry.Payout, 0);
    }
    for (const PairPayout& entry : race.WideResult) {
        EXPECT_EQ(entry.Key, " 0- 0");
        EXPECT_EQ(entry.Payout, 0);
    }
    EXPECT_EQ(race.BracketResult[2].Key, " 0- 0");
}

TEST(ResultsLoaderRaces, SlotsWithoutAYearAreSkipped)
{
    auto day = DayWithRace(2);
    std::string hr = Record(jv::kLengthHR);
    PutEntry(hr, jv::hr::kQuinella, 1, "0102", "000000300", "001");
    day->RaceHR[1] = hr;
    day->RunnerSE[1][0] = Entry("01", "0015", "01");
    day->Races[1].RunnerCount = 2;

    LoadResults(*day);

    EXPECT_TRUE(day->Races[1].QuinellaResult[0].Key.empty());
    EXPECT_EQ(day->Races[1].Runners[0].FinishPos, 0);
    EXPECT_EQ(day->Races[0].QuinellaResult[0].Key, " 0- 0");
}

TEST(ResultsLoaderJson, ResultsAppearUnderTheirFieldNames)
{
    auto day = DayWithRace(1);
    std::string hr = Record(jv::kLengthHR);
    PutEntry(hr, jv::hr::kQuinella, 1, "0306", "000001520", "006");
    day->RaceHR[0] = hr;
    day->RunnerSE[0][0] = Entry("02", "0123", "03");
    LoadResults(*day);

    std::string out;
    JsonWriter json(out);
    WriteRaceJson(json, *day, "20260105", 0);

    EXPECT_NE(out.find(R"("QuinellaResult":[{"Key":" 3- 6","Payout":1520,"Popularity":6},)"), std::string::npos);
    EXPECT_NE(out.find(R"("WinResult":[{"Key":0,"Payout":0,"Popularity":0},)"), std::string::npos);
    EXPECT_NE(out.find(R"("FinishPos":2,"WinPopularity":3,"FinalWinOdds":12.3)"), std::string::npos);
    for (const char* key :
         {"PlaceResult", "BracketResult", "WideResult", "LapMark", "AbilityDeviation", "RIndexRank"}) {
        EXPECT_NE(out.find(std::string("\"") + key + "\":"), std::string::npos) << key;
    }
}

} // namespace
} // namespace vornal
