#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <vector>

#include <sys/resource.h>

#include "app/AtomicFile.h"
#include "raceday/RaceDayLoader.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "RecordBuilder.h"

// What a load reports about a damaged store, and what it refuses.
namespace vornal {
namespace {

using test::BlankRecord;
using test::MakeRA;
using test::MakeSE;
using test::Put;
using test::RaceSpec;
using test::RunSpec;

const std::string kDay = Sjis("2026年01月05日");

bool Has(const std::string& text, const char* utf8)
{
    return text.find(Sjis(utf8)) != std::string::npos;
}

class LoadWarningsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::WriteRecords(JockeyMasterFile(app.Path(), kDay), {BlankRecord(jv::kLengthKS, "KS")});
        test::WriteRecords(TrainerMasterFile(app.Path(), kDay), {BlankRecord(jv::kLengthCH, "CH")});
        test::WriteRecords(HorseMasterFile(app.Path(), kDay), {});
        runners.assign(216, BlankRecord(jv::kLengthSE));
    }

    void WriteRaces(int count, int registered)
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

    // Runner slot `slot` of race `raceNo` holds horse number `horseNo`.
    void PutRunner(int raceNo, int slot, int horseNo)
    {
        RunSpec run;
        run.date = "20260105";
        run.raceNo = raceNo;
        run.horseNo = horseNo;
        run.horseId = "20211" + test::Digits(raceNo * 100 + horseNo, 5);
        runners[static_cast<std::size_t>((raceNo - 1) * 18 + slot)] = MakeSE(run);
    }
    void FillRace(int raceNo, int count)
    {
        for (int h = 0; h < count; ++h) {
            PutRunner(raceNo, h, h + 1);
        }
    }
    void WriteRunners() { test::WriteRecords(RunnerFile(app.Path(), kDay, "06"), runners); }

    LoadResult Load()
    {
        LoadOptions options;
        options.appDir = app.Path();
        options.clock = &clock;
        options.convertHorseMaster = [](const std::filesystem::path&, std::string_view) { return Status::Success(); };
        return ReadRaceDay(*day, kDay, options);
    }

    test::TempAppDir app;
    FixedClock clock{LocalDateTime{2026, 1, 4, 10, 0, 0}};
    std::vector<std::string> runners;
    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();
};

// A runner the store lacks inside the registered count (a blank slot, a first runner that is
// not horse 1, a registered count above the runners filed, no runner file at all) makes the
// race incomplete, with one warning naming the file and the first missing record; a whole
// race beside them stays as it is.
TEST_F(LoadWarningsTest, MissingRunnerRecordsMakeTheRaceIncomplete)
{
    WriteRaces(5, 8);
    FillRace(1, 8);
    FillRace(2, 8);
    runners[18 + 4] = BlankRecord(jv::kLengthSE); // race 2, horse 5 skipped at acquisition
    for (int h = 0; h < 8; ++h) {
        PutRunner(3, h, h + 2); // race 3 starts at horse number 2
    }
    FillRace(4, 6); // race 4 registers 8 but holds 6
    FillRace(5, 8);
    runners[4 * 18 + 7] = BlankRecord(jv::kLengthSE, "SE"); // a record with no horse number
    WriteRunners();

    const LoadResult result = Load();
    ASSERT_TRUE(result.Ok()) << ToUtf8(result.message);
    EXPECT_FALSE(day->Races[0].incomplete);
    for (int r = 1; r < 5; ++r) {
        EXPECT_TRUE(day->Races[r].incomplete) << r;
    }
    ASSERT_EQ(result.warnings.size(), 4u);
    const int records[] = {22, 36, 3 * 18 + 6, 4 * 18 + 7};
    for (int i = 0; i < 4; ++i) {
        const LoadWarning& warning = result.warnings[static_cast<std::size_t>(i)];
        EXPECT_EQ(warning.file, Sjis("Data/2026年01月05日中山.jvSEr"));
        EXPECT_EQ(warning.record, records[i]);
        EXPECT_EQ(warning.text.rfind(warning.file + Sjis("：レコード ") + std::to_string(records[i]) + Sjis("："), 0), 0u)
            << ToUtf8(warning.text);
    }
    EXPECT_TRUE(Has(result.warnings[1].text, "3R 馬番 1 の出走馬の位置に馬番「02」")) << ToUtf8(result.warnings[1].text);
    // The whole race keeps its past-performance figures; the others get none.
    EXPECT_TRUE(day->Races[0].Runners[0].Past[0].PastRunPresent);
    EXPECT_FALSE(day->Races[1].Runners[0].Past[0].PastRunPresent);

    std::filesystem::remove(RunnerFile(app.Path(), kDay, "06"));
    const LoadResult noFile = Load();
    ASSERT_TRUE(noFile.Ok());
    ASSERT_EQ(noFile.warnings.size(), 5u);
    EXPECT_EQ(noFile.warnings[0].record, -1);
    EXPECT_TRUE(Has(noFile.warnings[0].text, "出走馬のファイルがありません（1R、登録 8 頭）")) << ToUtf8(noFile.warnings[0].text);
    EXPECT_TRUE(day->Races[0].incomplete);
}

TEST_F(LoadWarningsTest, AMissingHorseMasterIsToldAtEveryLoad)
{
    std::filesystem::remove(HorseMasterFile(app.Path(), kDay));
    WriteRaces(1, 0);
    for (int load = 0; load < 2; ++load) {
        const LoadResult result = Load();
        ASSERT_TRUE(result.Ok());
        ASSERT_EQ(result.warnings.size(), 1u) << load;
        EXPECT_EQ(result.warnings[0].file, Sjis("Data/2026年01月05日.jvUM2"));
        EXPECT_TRUE(Has(result.warnings[0].text, "馬マスタのファイルがありません")) << ToUtf8(result.warnings[0].text);
    }
}

// A store written elsewhere: each numeric field with stray bytes is named with its file and
// record, and still reads by its leading digits.
TEST_F(LoadWarningsTest, StrayBytesInNumericFieldsAreWarnedOf)
{
    std::vector<std::string> races;
    for (int i = 1; i <= 2; ++i) {
        RaceSpec race;
        race.raceNo = i;
        race.registered = 1;
        races.push_back(MakeRA(race));
    }
    Put(races[1], jv::ra::kDistance, "1x00");
    test::WriteRecords(RaceFile(app.Path(), kDay), races);
    FillRace(1, 1);
    FillRace(2, 1);
    Put(runners[0], jv::se::kWinOdds, "1a23");
    WriteRunners();
    std::string hr = BlankRecord(jv::kLengthHR, "HR");
    Put(hr, jv::kDate, "20260105");
    Put(hr, jv::kCourseCode, "06");
    Put(hr, jv::kRaceNo, "01");
    Put(hr, jv::Nth(jv::hr::kWin.payout, jv::hr::kWin.stride, 1), "00\x8A\x82");
    test::WriteRecords(PayoutFile(app.Path(), kDay), {hr});

    const LoadResult result = Load();
    ASSERT_TRUE(result.Ok()) << ToUtf8(result.message);
    ASSERT_EQ(result.warnings.size(), 3u);
    EXPECT_EQ(result.warnings[0].file, Sjis("Data/2026年01月05日中山.jvSEr"));
    EXPECT_EQ(result.warnings[0].record, 0);
    EXPECT_EQ(result.warnings[0].field, Sjis("単勝オッズ"));
    EXPECT_EQ(result.warnings[1].file, Sjis("Data/2026年01月05日.jvRA"));
    EXPECT_EQ(result.warnings[1].record, 1);
    EXPECT_EQ(result.warnings[1].field, Sjis("距離"));
    EXPECT_TRUE(Has(result.warnings[1].text, "距離「1x00」に数字でないバイトがあります。")) << ToUtf8(result.warnings[1].text);
    EXPECT_EQ(result.warnings[2].field, Sjis("払戻"));
    EXPECT_TRUE(Has(result.warnings[2].text, "払戻「00??")) << ToUtf8(result.warnings[2].text);
    EXPECT_EQ(jv::Number(day->RaceRA[1], jv::ra::kDistance), 1);

    // A race number "-1" has no runner lines: the race is incomplete as well.
    Put(races[1], jv::kRaceNo, "-1");
    test::WriteRecords(RaceFile(app.Path(), kDay), races);
    const LoadResult minus = Load();
    ASSERT_TRUE(minus.Ok());
    EXPECT_TRUE(day->Races[1].incomplete);
    ASSERT_EQ(minus.warnings.size(), 4u);
    EXPECT_EQ(minus.warnings[1].field, Sjis("レース番号"));
    EXPECT_EQ(minus.warnings[2].text,
              Sjis("Data/2026年01月05日.jvRA：レコード 1：レース番号「-1」のレースの出走馬は読めません（登録 1 頭）。"
                   "このレースは不完全なため、評価も買い目もありません。"));
}

// One byte inserted in record 3 of 36 races keeps the line count but shifts every later
// record: the load is refused naming the file and the first record that does not end in
// CR LF, and the day is left empty.
TEST_F(LoadWarningsTest, AMisalignedRaceFileIsRefused)
{
    std::string bytes;
    for (int i = 1; i <= 36; ++i) {
        RaceSpec race;
        race.raceNo = i;
        race.registered = 0;
        bytes += MakeRA(race);
    }
    bytes.insert(3 * jv::kLengthRA + 40, "X");
    ASSERT_TRUE(WriteFileAtomic(RaceFile(app.Path(), kDay), bytes));

    const LoadResult result = Load();
    EXPECT_EQ(result.outcome, LoadOutcome::ReadFailed);
    EXPECT_TRUE(Has(result.message, " のレコード 3 の末尾が CR LF ではありません")) << ToUtf8(result.message);
    EXPECT_NE(result.message.find(PathText(RaceFile(app.Path(), kDay))), std::string::npos);
    EXPECT_EQ(day->RaceCount, 0);
}

// A store that cannot be written still loads: no placeholder odds file, blank odds in memory
// and a warning. (A file-size limit of 0 makes every write fail, for root too.)
TEST_F(LoadWarningsTest, AStoreThatCannotBeWrittenLoadsWithBlankOdds)
{
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
    EXPECT_EQ(result.warnings[0].file, Sjis("Data/2026年01月05日.jvO1"));
    EXPECT_TRUE(Has(result.warnings[0].text, "オッズは空のまま読み込みます。")) << ToUtf8(result.warnings[0].text);
    EXPECT_EQ(day->RaceCount, 7);
    EXPECT_EQ(day->Races[6].Runners[0].WinOdds, -2.0);
}

// Neither a missing folder nor a date the store never held is a day with data missing.
TEST_F(LoadWarningsTest, AnUnknownDayOrFolderIsSaidPlainly)
{
    const LoadResult unknown = [&] {
        LoadOptions options;
        options.appDir = app.Path();
        options.clock = &clock;
        return ReadRaceDay(*day, Sjis("2026年01月06日"), options);
    }();
    EXPECT_EQ(unknown.outcome, LoadOutcome::UnknownDay);
    EXPECT_EQ(unknown.message, Sjis("2026年01月06日 のデータは保存されていません。"));

    LoadOptions options;
    options.appDir = app.Path() / "nowhere";
    options.clock = &clock;
    const LoadResult noFolder = ReadRaceDay(*day, kDay, options);
    EXPECT_EQ(noFolder.outcome, LoadOutcome::NoAppFolder);
    EXPECT_TRUE(Has(noFolder.message, "アプリケーションフォルダがありません: ")) << ToUtf8(noFolder.message);
}

} // namespace
} // namespace vornal
