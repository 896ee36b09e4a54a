#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <vector>

#include <sys/resource.h>

#include "app/AppDir.h"
#include "app/AtomicFile.h"
#include "app/Settings.h"
#include "raceday/MasterIndex.h"
#include "raceday/RaceDayLoader.h"
#include "raceday/RaceRecords.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "support/JvRecordBuilder.h"

namespace vornal {
namespace {

using test::BlankRecord;
using test::MakeRA;
using test::MakeSE;
using test::Put;
using test::RaceSpec;
using test::RunSpec;

const std::string kDay = Sjis("2026年01月05日");
const std::string kCourse = "06";

// A day store in a temporary application folder: masters, a race file, a runner file.
class LoaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        day = std::make_unique<RaceDay>();
        WriteMasters();
    }

    void WriteMasters()
    {
        std::string ks = BlankRecord("KS", jv::kLengthKS);
        std::string ch = BlankRecord("CH", jv::kLengthCH);
        test::WriteRecords(JockeyMasterFile(app.Path(), kDay), {ks});
        test::WriteRecords(TrainerMasterFile(app.Path(), kDay), {ch});
    }

    // Races 1..count at one racecourse, each with `registered` runners.
    void WriteRaces(int count, int registered = 8)
    {
        std::vector<std::string> races;
        for (int i = 1; i <= count; ++i) {
            RaceSpec race;
            race.raceNo = i;
            race.registered = registered;
            races.push_back(MakeRA(race));
        }
        test::WriteRecords(RaceFile(app.Path(), kDay), races);
    }

    // The 216-line runner file with every slot of races 1..12 filled.
    void WriteRunners()
    {
        std::vector<std::string> lines;
        for (int r = 1; r <= 12; ++r) {
            for (int h = 1; h <= 18; ++h) {
                RunSpec run;
                run.date = "20260105";
                run.raceNo = r;
                run.horseNo = h;
                run.horseId = "20211" + test::Digits(r * 100 + h, 5);
                lines.push_back(MakeSE(run));
            }
        }
        test::WriteRecords(RunnerFile(app.Path(), kDay, kCourse), lines);
    }

    LoadResult Load(int daysBefore = 1)
    {
        clock.Set(AddDays(LocalDateTime{2026, 1, 5, 10, 0, 0}, -daysBefore));
        LoadOptions options;
        options.appDir = app.Path();
        options.clock = &clock;
        options.convertHorseMaster = convert;
        options.cancel = &cancel;
        LoadResult result = ReadRaceDay(*day, kDay, options);
        // The identification fields follow the analysis passes in a day load.
        for (int r = 0; result.Ok() && r < kRaceSlots; ++r) {
            if (IsRaceSlotUsed(day->RaceRA[r])) {
                FillIdentification(*day, r);
            }
        }
        return result;
    }

    test::TempAppDir app;
    FixedClock clock{LocalDateTime{}};
    CancelFlag cancel;
    std::function<Status(const std::filesystem::path&, std::string_view)> convert;
    std::unique_ptr<RaceDay> day;
};

TEST(LoaderRules, DaysAheadTruncatesTowardZero)
{
    const LocalDateTime morning{2026, 1, 5, 9, 30, 0};
    EXPECT_EQ(DaysAhead(2026, 1, 5, morning), 0);
    EXPECT_EQ(DaysAhead(2026, 1, 4, morning), -1);
    EXPECT_EQ(DaysAhead(2026, 1, 6, morning), 0);
    EXPECT_EQ(DaysAhead(2026, 1, 8, morning), 2);
    EXPECT_EQ(DaysAhead(2026, 3, 1, LocalDateTime{2026, 2, 28, 0, 0, 0}), 1);
    EXPECT_EQ(DaysAhead(2025, 12, 31, LocalDateTime{2026, 1, 1, 0, 0, 0}), -1);
}

TEST(LoaderRules, OddsTexts)
{
    EXPECT_EQ(OddsValue("----"), -1.0);
    EXPECT_EQ(OddsValue("****"), -1.0);
    EXPECT_EQ(OddsValue("    "), -2.0);
    EXPECT_EQ(OddsValue(""), -2.0);
    EXPECT_DOUBLE_EQ(OddsValue("0123"), 12.3);
    EXPECT_DOUBLE_EQ(OddsValue(" 15 "), 1.5);
}

TEST_F(LoaderTest, MissingJockeyMasterMessageDependsOnDaysAhead)
{
    std::filesystem::remove(JockeyMasterFile(app.Path(), kDay));
    WriteRaces(2);
    day->RaceCount = 7; // a previous day stays in memory

    LoadResult near = Load(3);
    EXPECT_EQ(near.outcome, LoadOutcome::MissingMaster);
    EXPECT_EQ(near.message.rfind(Sjis("データが不揃いのようです。"), 0), 0u);
    LoadResult far = Load(7);
    EXPECT_EQ(far.message, Sjis("騎手ﾃﾞｰﾀ が見つかりません。"));
    EXPECT_EQ(day->RaceCount, 7);
}

TEST_F(LoaderTest, MissingTrainerMasterMessage)
{
    std::filesystem::remove(TrainerMasterFile(app.Path(), kDay));
    WriteRaces(2);
    EXPECT_EQ(Load(7).message, Sjis("調教師ﾃﾞｰﾀ が見つかりません。"));
    EXPECT_EQ(Load(4).message.rfind(Sjis("データが不揃いのようです。"), 0), 0u);
    // At 10:00 five calendar days before, the date is 4 whole days and 14 hours ahead.
    EXPECT_EQ(Load(5).message.rfind(Sjis("データが不揃いのようです。"), 0), 0u);
    EXPECT_EQ(Load(6).message, Sjis("調教師ﾃﾞｰﾀ が見つかりません。"));
}

TEST_F(LoaderTest, MissingRaceFileClearsTheDayAndBeeps)
{
    day->Races[0].RaceLoaded = true;
    LoadResult result = Load();
    EXPECT_EQ(result.outcome, LoadOutcome::MissingRaceFile);
    EXPECT_EQ(result.message, Sjis("データ作成が未完了のようです。"));
    EXPECT_TRUE(result.beep);
    EXPECT_FALSE(day->Races[0].RaceLoaded);
}

TEST_F(LoaderTest, AtMost36RacesLoad)
{
    WriteRaces(37);
    ASSERT_TRUE(Load().Ok());
    EXPECT_EQ(day->RaceCount, 36);
    EXPECT_TRUE(day->Races[35].RaceLoaded);
    EXPECT_EQ(jv::Number(day->RaceRA[35], jv::kRaceNo), 36);
}

TEST_F(LoaderTest, OddsPlaceholderOnlyForMoreThanSixRaces)
{
    WriteRaces(6);
    ASSERT_TRUE(Load().Ok());
    EXPECT_FALSE(std::filesystem::exists(WinOddsFile(app.Path(), kDay)));

    WriteRaces(7);
    ASSERT_TRUE(Load().Ok());
    const std::optional<std::string> o1 = ReadFileBytes(WinOddsFile(app.Path(), kDay));
    ASSERT_TRUE(o1);
    std::string expected;
    for (int i = 0; i < 7; ++i) {
        expected += std::string(960, ' ') + "\r\n";
    }
    EXPECT_EQ(*o1, expected);
    // Without odds every runner slot of a loaded race reads as blank odds.
    EXPECT_EQ(day->Races[6].Runners[17].WinOdds, -2.0);
}

TEST_F(LoaderTest, RaceAddedAfterThePlaceholderHasBlankOdds)
{
    WriteRaces(7);
    ASSERT_TRUE(Load().Ok());
    WriteRaces(9); // the race file grew; the O1 file keeps its seven lines
    LoadResult result = Load();
    ASSERT_TRUE(result.Ok()) << ToUtf8(result.message);
    EXPECT_EQ(day->RaceCount, 9);
    EXPECT_EQ(day->Races[8].Runners[0].WinOdds, -2.0);
    EXPECT_EQ(day->RaceO1[8].View(), std::string(jv::kLengthO1, ' '));
}

TEST_F(LoaderTest, RegisteredCountLimitsTheRunnerRecordsRead)
{
    WriteRaces(2, 10);
    WriteRunners();
    ASSERT_TRUE(Load().Ok());
    for (int h = 0; h < 10; ++h) {
        EXPECT_EQ(jv::Number(day->RunnerSE[1][h], jv::se::kHorseNo), h + 1);
        EXPECT_EQ(jv::Number(day->RunnerSE[1][h], jv::kRaceNo), 2);
    }
    for (int h = 10; h < 18; ++h) {
        EXPECT_EQ(day->RunnerSE[1][h].View(), std::string(jv::kLengthSE, ' ')) << h;
    }
    EXPECT_EQ(day->Races[1].RunnerCount, 10);
    EXPECT_EQ(day->Races[1].Runners[9].HorseNo, "10");
    EXPECT_EQ(day->Races[1].Runners[10].HorseNo, "  "); // blank record, blanks kept
}

TEST_F(LoaderTest, ShortRunnerFileStopsTheLoadNamingFileAndRecord)
{
    WriteRaces(3);
    std::vector<std::string> lines;
    for (int i = 0; i < 20; ++i) {
        lines.push_back(BlankRecord("SE", jv::kLengthSE));
    }
    test::WriteRecords(RunnerFile(app.Path(), kDay, kCourse), lines);
    LoadResult result = Load();
    EXPECT_EQ(result.outcome, LoadOutcome::ReadFailed);
    EXPECT_NE(result.message.find(" 20 "), std::string::npos) << ToUtf8(result.message);
    EXPECT_NE(result.message.find(PathText(RunnerFile(app.Path(), kDay, kCourse))), std::string::npos);
    EXPECT_EQ(day->RaceCount, 0);
    EXPECT_FALSE(day->Races[0].RaceLoaded);
}

TEST_F(LoaderTest, FirstOfTwoHorseMasterRecordsWins)
{
    WriteRaces(1, 1);
    WriteRunners();
    const std::string horseId = "2021100101"; // race 1, horse 1
    std::string first = BlankRecord("UM", jv::kLengthUM);
    Put(first, jv::um::kHorseId, horseId);
    Put(first, {1125, 3}, "007");
    std::string second = first;
    Put(second, {1125, 3}, "009");
    std::string other = BlankRecord("UM", jv::kLengthUM);
    Put(other, jv::um::kHorseId, "2099999999");
    test::WriteRecords(HorseMasterFile(app.Path(), kDay), {other, first, second});
    ASSERT_TRUE(Load().Ok());
    EXPECT_EQ(day->RunnerUM[0][0].View(), first);
    EXPECT_EQ(day->Races[0].Runners[0].FinishCounts[0][0], 7);
}

TEST_F(LoaderTest, JockeyAndTrainerMastersKeepTheirLastMatch)
{
    std::string first = BlankRecord("KS", jv::kLengthKS);
    Put(first, jv::ks::kJockeyCode, "01234");
    Put(first, jv::ks::kAffiliation, "1");
    std::string last = first;
    Put(last, jv::ks::kAffiliation, "3");
    test::WriteRecords(JockeyMasterFile(app.Path(), kDay), {first, BlankRecord("KS", jv::kLengthKS), last});
    std::string trainer = BlankRecord("CH", jv::kLengthCH);
    Put(trainer, jv::ch::kTrainerCode, "05678");
    test::WriteRecords(TrainerMasterFile(app.Path(), kDay), {trainer});
    const MasterIndex masters = MasterIndex::Load(app.Path(), kDay);
    ASSERT_TRUE(masters.Jockey("01234"));
    EXPECT_EQ(*masters.Jockey("01234"), last);
    EXPECT_EQ(*masters.Trainer("05678"), trainer);
    EXPECT_FALSE(masters.Jockey("99999"));
    EXPECT_FALSE(masters.Horse("2021100101")); // no horse master file
    EXPECT_EQ(masters.HorseFile(), nullptr);
}

TEST_F(LoaderTest, CutHorseMasterKeepsThePreviousDay)
{
    WriteRaces(1);
    test::WriteRecords(HorseMasterFile(app.Path(), kDay), {BlankRecord("UM", jv::kLengthUM).substr(0, 900)});
    day->RaceCount = 5;
    LoadResult result = Load();
    EXPECT_EQ(result.outcome, LoadOutcome::ReadFailed);
    EXPECT_EQ(day->RaceCount, 5);
}

TEST_F(LoaderTest, MissingHorseMasterIsConvertedFirst)
{
    WriteRaces(1);
    int calls = 0;
    convert = [&](const std::filesystem::path& appDir, std::string_view dayName) {
        ++calls;
        EXPECT_EQ(appDir, app.Path());
        EXPECT_EQ(dayName, kDay);
        return Status::Success();
    };
    ASSERT_TRUE(Load().Ok());
    EXPECT_EQ(calls, 1);
    test::WriteRecords(HorseMasterFile(app.Path(), kDay), {});
    ASSERT_TRUE(Load().Ok());
    EXPECT_EQ(calls, 1);
}

TEST_F(LoaderTest, HorseMasterOfTheEarlierLayoutIsConvertedAndFound)
{
    WriteRaces(1, 1);
    WriteRunners();
    std::string old = BlankRecord("UM", jv::kLengthUMOld);
    Put(old, jv::um::kHorseId, "2021100101");
    test::WriteRecords(OldHorseMasterFile(app.Path(), kDay), {old});
    ASSERT_TRUE(Load().Ok());
    EXPECT_TRUE(std::filesystem::exists(HorseMasterFile(app.Path(), kDay)));
    EXPECT_EQ(jv::Get(day->RunnerUM[0][0], jv::um::kHorseId), "2021100101");
}

TEST_F(LoaderTest, OddsOfTheO1RecordAndAnnouncementTimes)
{
    WriteRaces(1);
    RaceSpec race;
    std::string o1 = BlankRecord("O1", jv::kLengthO1);
    Put(o1, jv::kDate, race.date);
    Put(o1, jv::kCourseCode, kCourse);
    Put(o1, jv::kRaceNo, "01");
    Put(o1, jv::o1::kAnnounced, "01051425");
    Put(o1, jv::Nth(jv::o1::kWinOdds, 8, 1), "0123");
    Put(o1, jv::Nth(jv::o1::kWinOdds, 8, 2), "----");
    Put(o1, jv::Nth(jv::o1::kWinOdds, 8, 3), "****");
    Put(o1, jv::Nth(jv::o1::kPlaceOddsLow, 12, 1), "0011");
    Put(o1, jv::Nth(jv::o1::kPlaceOddsHigh, 12, 1), "0025");
    test::WriteRecords(WinOddsFile(app.Path(), kDay), {o1});
    std::string o2 = BlankRecord("O2", jv::kLengthO2);
    Put(o2, jv::kCourseCode, kCourse);
    Put(o2, jv::kRaceNo, "01");
    Put(o2, jv::o2::kAnnouncedHour, "14");
    Put(o2, jv::o2::kAnnouncedMinute, "20");
    test::WriteRecords(QuinellaOddsFile(app.Path(), kDay), {o2});
    ASSERT_TRUE(Load().Ok());
    const RaceSlot& slot = day->Races[0];
    EXPECT_DOUBLE_EQ(slot.Runners[0].WinOdds, 12.3);
    EXPECT_EQ(slot.Runners[1].WinOdds, -1.0);
    EXPECT_EQ(slot.Runners[2].WinOdds, -1.0);
    EXPECT_EQ(slot.Runners[3].WinOdds, -2.0);
    EXPECT_DOUBLE_EQ(slot.Runners[0].PlaceOddsLow, 1.1);
    EXPECT_DOUBLE_EQ(slot.Runners[0].PlaceOddsHigh, 2.5);
    EXPECT_EQ(slot.OddsO1Time, "1425");
    EXPECT_EQ(slot.OddsO2Time, "1420");
    EXPECT_EQ(day->RaceO2[0].View(), o2);
}

TEST_F(LoaderTest, PayoutRecordGoesToItsRace)
{
    WriteRaces(3);
    RaceSpec race;
    std::string hr = BlankRecord("HR", jv::kLengthHR);
    Put(hr, jv::kDate, race.date);
    Put(hr, jv::kCourseCode, kCourse);
    Put(hr, jv::kRaceNo, "02");
    test::WriteRecords(PayoutFile(app.Path(), kDay), {BlankRecord("", jv::kLengthHR), hr});
    ASSERT_TRUE(Load().Ok());
    EXPECT_EQ(day->RaceHR[1].View(), hr);
    EXPECT_EQ(day->RaceHR[0].View(), std::string(jv::kLengthHR, ' '));
}

TEST_F(LoaderTest, AutoOddsTimeFollowsTheSetting)
{
    WriteRaces(1);
    ASSERT_TRUE(Load().Ok());
    EXPECT_EQ(day->Races[0].AutoOddsTime, "1500"); // post time 1530, default 30 minutes

    ASSERT_TRUE(Settings(SettingsFile(app.Path())).WriteInteger("Time", "AutoOzGet", 0));
    ASSERT_TRUE(Load().Ok());
    EXPECT_TRUE(day->Races[0].AutoOddsTime.empty());
}

TEST_F(LoaderTest, ACancelledReadSaysSo)
{
    WriteRaces(2);
    cancel.Set();
    EXPECT_EQ(Load().outcome, LoadOutcome::Cancelled);
    cancel.Clear();
    EXPECT_TRUE(Load().Ok());
}

TEST_F(LoaderTest, RunnersGetTheirPastRunsAndFigures)
{
    WriteRaces(1, 2);
    WriteRunners();
    const std::string horseId = "2021100101";
    RunSpec earlier;
    earlier.date = "20251201";
    earlier.horseId = horseId;
    earlier.raceNo = 3;
    earlier.time = "1495";
    test::WriteRecords(HorseHistoryFile(app.Path(), horseId), {MakeSE(earlier)});
    RaceSpec pastRace;
    pastRace.date = "20251201";
    pastRace.raceNo = 3;
    test::WriteRecords(ResultHistoryFile(app.Path(), "2025120106"), {MakeRA(pastRace)});
    ASSERT_TRUE(Load().Ok());
    const Runner& runner = day->Races[0].Runners[0];
    EXPECT_DOUBLE_EQ(runner.Past[0].PastBaseTime, 92.5);
    EXPECT_EQ(runner.Past[0].PastRaceKey, jv::View(MakeRA(pastRace), jv::kRaceKey));
    EXPECT_TRUE(runner.Past[4].PastRunPresent);
    EXPECT_FALSE(day->Races[0].Runners[2].Past[0].PastRunPresent);
    EXPECT_EQ(runner.RunnerHorseId, horseId);
    EXPECT_EQ(day->Races[0].SlotKey, "2026010506010101");
}

// --- What a load reports about a damaged store ----------------------------------------

bool Has(const std::string& text, const char* utf8)
{
    return text.find(Sjis(utf8)) != std::string::npos;
}

// A runner the store lacks inside the registered count makes the race incomplete with one
// warning naming the file and the first missing record; its figures are never computed.
TEST_F(LoaderTest, MissingRunnerRecordsMakeTheRaceIncomplete)
{
    test::WriteRecords(HorseMasterFile(app.Path(), kDay), {});
    WriteRaces(4, 8);
    WriteRunners();
    const std::filesystem::path file = RunnerFile(app.Path(), kDay, kCourse);
    std::string bytes = *ReadFileBytes(file);
    auto put = [&](int i, const std::string& record) { bytes.replace(i * jv::kLengthSE, jv::kLengthSE, record); };
    put(22, BlankRecord("", jv::kLengthSE)); // race 2, horse 5 skipped at acquisition
    for (int h = 0; h < 8; ++h) {
        put(36 + h, bytes.substr((37 + h) * jv::kLengthSE, jv::kLengthSE)); // race 3 starts at horse 2
    }
    put(60, BlankRecord("", jv::kLengthSE)); // race 4 registers 8 but holds 6
    put(61, BlankRecord("", jv::kLengthSE));
    ASSERT_TRUE(WriteFileAtomic(file, bytes));

    const LoadResult result = Load();
    ASSERT_TRUE(result.Ok()) << ToUtf8(result.message);
    ASSERT_EQ(result.warnings.size(), 3u);
    const char* texts[] = {"Data/2026年01月05日中山.jvSEr：レコード 22：2R 馬番 5 の出走馬のレコードが空です",
                           "Data/2026年01月05日中山.jvSEr：レコード 36：3R 馬番 1 の出走馬の位置に馬番「02」",
                           "Data/2026年01月05日中山.jvSEr：レコード 60：4R 馬番 7 の出走馬のレコードが空です"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(day->Races[i + 1].incomplete);
        EXPECT_EQ(result.warnings[i].text.rfind(Sjis(texts[i]), 0), 0u) << ToUtf8(result.warnings[i].text);
    }
    EXPECT_FALSE(day->Races[0].incomplete);
    EXPECT_TRUE(day->Races[0].Runners[0].Past[0].PastRunPresent);
    EXPECT_FALSE(day->Races[1].Runners[0].Past[0].PastRunPresent);
}

// A store written elsewhere: a numeric field with stray bytes is named with its file, record
// and field, and still reads by its leading digits; a race number "-1" has no runner lines.
// A missing horse master is told at every load.
TEST_F(LoaderTest, StrayBytesAndAMissingHorseMasterAreWarnedOf)
{
    RaceSpec spec;
    spec.registered = 0;
    std::string race = MakeRA(spec);
    Put(race, jv::ra::kDistance, "1x00");
    test::WriteRecords(RaceFile(app.Path(), kDay), {race});
    for (int load = 0; load < 2; ++load) {
        const LoadResult result = Load();
        ASSERT_EQ(result.warnings.size(), 2u);
        EXPECT_TRUE(Has(result.warnings[0].text, "Data/2026年01月05日.jvUM2：馬マスタのファイルがありません"));
        EXPECT_EQ(result.warnings[1].field, Sjis("距離"));
        EXPECT_EQ(result.warnings[1].text,
                  Sjis("Data/2026年01月05日.jvRA：レコード 0：距離「1x00」に数字でないバイトがあります。"));
    }
    EXPECT_EQ(jv::Number(day->RaceRA[0], jv::ra::kDistance), 1);

    test::WriteRecords(HorseMasterFile(app.Path(), kDay), {});
    Put(race, jv::kRaceNo, "-1");
    Put(race, jv::ra::kRegistered, "01");
    test::WriteRecords(RaceFile(app.Path(), kDay), {race});
    const LoadResult minus = Load();
    ASSERT_EQ(minus.warnings.size(), 2u);
    EXPECT_EQ(minus.warnings[0].field, Sjis("レース番号"));
    EXPECT_TRUE(Has(minus.warnings[1].text, "レース番号「-1」のレースの出走馬は読めません（登録 1 頭）。"));
    EXPECT_TRUE(day->Races[0].incomplete);
}

// The history and odds files are written elsewhere too: a past run, past race or odds record
// with stray bytes is named once, however many runners of the day ran in that race.
TEST_F(LoaderTest, StrayBytesInPastRunsAreWarnedOfOnce)
{
    test::WriteRecords(HorseMasterFile(app.Path(), kDay), {});
    WriteRaces(1, 2);
    WriteRunners();
    for (int h = 1; h <= 2; ++h) {
        RunSpec earlier;
        earlier.horseId = "20211" + test::Digits(100 + h, 5);
        earlier.raceNo = 3;
        earlier.horseNo = h;
        earlier.time = h == 1 ? "1a95" : "1495";
        test::WriteRecords(HorseHistoryFile(app.Path(), earlier.horseId), {MakeSE(earlier)});
    }
    RaceSpec pastRace;
    pastRace.date = "20251201";
    pastRace.raceNo = 3;
    std::string ra = MakeRA(pastRace);
    Put(ra, jv::ra::kDistance, "1x00");
    test::WriteRecords(ResultHistoryFile(app.Path(), "2025120106"), {ra});
    std::string odds = BlankRecord("O1", jv::kLengthO1);
    Put(odds, jv::kCourseCode, kCourse);
    Put(odds, jv::kRaceNo, "01");
    Put(odds, jv::Nth(jv::o1::kWinOdds, 8, 2), "1a23");
    test::WriteRecords(WinOddsFile(app.Path(), kDay), {odds});

    const LoadResult result = Load();
    ASSERT_TRUE(result.Ok()) << ToUtf8(result.message);
    std::string texts;
    for (const LoadWarning& warning : result.warnings) {
        texts += ToUtf8(warning.text) + "\n";
    }
    ASSERT_EQ(result.warnings.size(), 3u) << texts;
    EXPECT_EQ(result.warnings[0].text,
              Sjis("SEI/2021/2021100101.jvSEI：レコード 0：走破タイム「1a95」に数字でないバイトがあります。"));
    EXPECT_EQ(result.warnings[1].text,
              Sjis("Data/2026年01月05日.jvO1：レコード 0：単勝オッズ「1a23」に数字でないバイトがあります。"));
    EXPECT_EQ(result.warnings[2].text,
              Sjis("SEIR/2025/2025120106.jvSERA：レコード 0：距離「1x00」に数字でないバイトがあります。"));
    EXPECT_EQ(result.warnings[2].field, Sjis("距離"));
    EXPECT_TRUE(day->Races[0].Runners[1].Past[0].PastRunPresent);
}

// One byte inserted in record 3 of 36 races keeps the line count but shifts every later
// record: refused, naming the file and the first record that does not end in CR LF.
TEST_F(LoaderTest, AMisalignedRaceFileIsRefused)
{
    WriteRaces(36, 0);
    std::string bytes = *ReadFileBytes(RaceFile(app.Path(), kDay));
    ASSERT_TRUE(WriteFileAtomic(RaceFile(app.Path(), kDay), bytes.insert(3 * jv::kLengthRA + 40, "X")));
    const LoadResult result = Load();
    EXPECT_EQ(result.outcome, LoadOutcome::ReadFailed);
    EXPECT_TRUE(Has(result.message, " のレコード 3 の末尾が CR LF ではありません")) << ToUtf8(result.message);
    EXPECT_NE(result.message.find(PathText(RaceFile(app.Path(), kDay))), std::string::npos);
}

// A store that cannot be written (a file-size limit of 0 fails every write, for root too)
// loads with blank odds and a warning. A date never stored or a missing folder says so.
TEST_F(LoaderTest, AReadOnlyStoreLoadsAndAnUnknownDayIsSaidPlainly)
{
    test::WriteRecords(HorseMasterFile(app.Path(), kDay), {});
    WriteRaces(7, 0);
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit none = before;
    none.rlim_cur = 0;
    auto* const previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &none), 0);
    const LoadResult result = Load();
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);
    ASSERT_TRUE(result.Ok()) << ToUtf8(result.message);
    EXPECT_FALSE(std::filesystem::exists(WinOddsFile(app.Path(), kDay)));
    ASSERT_EQ(result.warnings.size(), 1u);
    EXPECT_TRUE(Has(result.warnings[0].text, "Data/2026年01月05日.jvO1：オッズのファイルを作成できません（"));
    EXPECT_EQ(day->Races[6].Runners[0].WinOdds, -2.0);

    LoadOptions options;
    options.appDir = app.Path();
    options.clock = &clock;
    EXPECT_EQ(ReadRaceDay(*day, Sjis("2026年01月06日"), options).message,
              Sjis("2026年01月06日 のデータは保存されていません。"));
    options.appDir = app.Path() / "nowhere";
    EXPECT_EQ(ReadRaceDay(*day, kDay, options).outcome, LoadOutcome::NoAppFolder);
}

} // namespace
} // namespace vornal
