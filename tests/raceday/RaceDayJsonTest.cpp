#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>

#include "raceday/RaceDayJson.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

TEST(JsonWriter, NestingAndSeparators)
{
    std::string out;
    JsonWriter json(out);
    json.BeginObject();
    json.Field("a", 1);
    json.Key("b");
    json.BeginArray();
    json.BeginObject();
    json.EndObject();
    json.Number(2);
    json.BeginArray();
    json.EndArray();
    json.EndArray();
    json.Field("c", true);
    json.EndObject();
    EXPECT_EQ(out, R"({"a":1,"b":[{},2,[]],"c":true})");
}

TEST(JsonWriter, TextsAreUtf8WithBlanksKeptAndEscapes)
{
    std::string out;
    JsonWriter json(out);
    json.BeginArray();
    json.Cp932("\x83\x5C\x83\x93 "); // ソン + blank: 0x5C trail byte is no backslash
    json.Utf8("a\"b\\c\n\x01");
    json.BeginObject();
    json.Field("x", FixedText<4>("  1 "));
    json.EndObject();
    // Escapes at both ends of a text, and whole numbers at their limits.
    json.Utf8("\"mid\\");
    json.Number(std::numeric_limits<int>::min());
    json.Number(std::numeric_limits<long long>::max());
    json.EndArray();
    EXPECT_EQ(out, "[\"ソン \",\"a\\\"b\\\\c\\u000a\\u0001\",{\"x\":\"  1 \"},\"\\\"mid\\\\\","
                   "-2147483648,9223372036854775807]");
}

TEST(JsonWriter, AKeyOutsideAnObjectIsRefused)
{
    std::string out;
    JsonWriter json(out);
    EXPECT_THROW(json.Key("top"), std::logic_error);
    json.BeginArray();
    EXPECT_THROW(json.Field("x", 1), std::logic_error);
    json.BeginObject();
    json.Key("a");
    EXPECT_THROW(json.Key("b"), std::logic_error);
}

TEST(JsonWriter, NumbersReadBackToTheSameDouble)
{
    for (double value : {92.5, 0.1, 1.0 / 3.0, -0.4000000000000057, 10000.0, 1e-300, 123456789.125}) {
        std::string out;
        JsonWriter json(out);
        json.Number(value);
        EXPECT_EQ(std::strtod(out.c_str(), nullptr), value) << out;
        EXPECT_EQ(out.find_first_not_of("0123456789.-+e"), std::string::npos) << out;
    }
}

TEST(JsonWriter, NonFiniteNumbersBecomeNullAndAreCounted)
{
    std::string out;
    JsonWriter json(out);
    json.BeginArray();
    json.Number(std::numeric_limits<double>::quiet_NaN());
    json.Number(std::numeric_limits<double>::infinity());
    json.Number(1.5);
    json.EndArray();
    EXPECT_EQ(out, "[null,null,1.5]");
    EXPECT_EQ(json.NonFiniteCount(), 2);
}

TEST(RaceDayJson, RaceListsItsRunnersAndFivePastRunsUnderTheFieldNames)
{
    auto day = std::make_unique<RaceDay>();
    ClearRaceDay(*day);
    RaceSlot& race = day->Races[2];
    race.RaceLoaded = true;
    race.RunnerCount = 2;
    race.SlotKey = "2026010506010102";
    race.Runners[1].HorseName = Sjis("ソングライン");
    race.Runners[1].Past[4].PastBaseTime = 92.5;
    race.Runners[1].Past[4].PastCorner = {1, 2, 3, 4};
    std::string out;
    JsonWriter json(out);
    WriteRaceJson(json, *day, Sjis("2026年01月05日"), 2);
    EXPECT_EQ(out.rfind(R"({"date":"2026年01月05日","slot":2,"RaceLoaded":true,"SlotKey":"2026010506010102")", 0), 0u);
    EXPECT_NE(out.find(R"("runners":[{"slot":0,)"), std::string::npos);
    EXPECT_NE(out.find(R"({"slot":1,"HorseNo":"",)"), std::string::npos);
    EXPECT_NE(out.find(R"("HorseName":"ソングライン")"), std::string::npos);
    EXPECT_NE(out.find(R"({"k":4,"PastRunPresent":false,)"), std::string::npos);
    EXPECT_NE(out.find(R"("PastCorner":[1,2,3,4])"), std::string::npos);
    EXPECT_NE(out.find(R"("PastBaseTime":92.5,)"), std::string::npos);
    EXPECT_NE(out.find(R"("OverallMin":10000,)"), std::string::npos);
    EXPECT_EQ(out.find(R"("slot":2,"HorseNo")"), std::string::npos) << "only RunnerCount runners";
    EXPECT_EQ(out.back(), '}');
}

TEST(RaceDayJson, DayListsLoadedRacesOnly)
{
    auto day = std::make_unique<RaceDay>();
    ClearRaceDay(*day);
    day->RaceCount = 2;
    day->Races[0].RaceLoaded = true;
    day->Races[1].RaceLoaded = true;
    std::string out;
    JsonWriter json(out);
    WriteDayJson(json, *day, "20260105");
    EXPECT_EQ(out.rfind(R"({"date":"20260105","RaceCount":2,"BetKindSuffix":"","races":[{"date":"20260105","slot":0,)", 0), 0u);
    EXPECT_NE(out.find(R"(,{"date":"20260105","slot":1,)"), std::string::npos);
    EXPECT_EQ(out.find(R"("slot":2,"RaceLoaded")"), std::string::npos);
}

} // namespace
} // namespace vornal
