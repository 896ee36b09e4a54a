#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "app/Clock.h"
#include "app/SettingKeys.h"
#include "app/Settings.h"
#include "app/AppDir.h"
#include "odds/OddsFile.h"
#include "odds/OddsImport.h"
#include "odds/OddsTimeSetting.h"
#include "odds/QuickOdds.h"
#include "odds/SnapshotFolder.h"
#include "odds/TimeSeriesOdds.h"
#include "raceday/RaceDayLoader.h"
#include "store/JvLayout.h"
#include "store/StorePaths.h"
#include "store/StoreTestSupport.h"
#include "text/Encoding.h"
#include "vocab/JvResultMessage.h"

namespace vornal::test {
namespace {

namespace fs = std::filesystem;

void Put(std::string& record, jv::FieldPos field, std::string_view value)
{
    record.replace(static_cast<std::size_t>(field.position - 1), value.size(), value);
}

// An O1 line (960 bytes) of race `raceNo` at racecourse `course` on 2026-01-11, announced
// `announced` (month-day-hour-minute).
std::string O1Line(std::string_view course, std::string_view raceNo, std::string_view announced, char division = '1')
{
    std::string line(kO1LineBytes, ' ');
    Put(line, jv::kRecordKind, "O1");
    line[2] = division;
    Put(line, jv::kYear, "2026");
    Put(line, jv::kMonthDay, "0111");
    Put(line, jv::kCourseCode, course);
    Put(line, jv::kMeeting, "01");
    Put(line, jv::kMeetingDay, "04");
    Put(line, jv::kRaceNo, raceNo);
    Put(line, jv::o1::kAnnounced, announced);
    return line;
}

const std::string kDay = "2026\x94\x4e" "01\x8c\x8e" "11\x93\xfa"; // 2026年01月11日

// A day of three races (05 race 9, 05 race 10, 06 race 1) with its blank .jvO1 file.
struct DayFixture
{
    TempDir dir;
    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();
    FixedClock clock{LocalDateTime{2026, 1, 11, 9, 5, 7}};
    NullProgress progress;
    CancelFlag cancel;

    DayFixture()
    {
        BlankRaceDayRecords(*day);
        const std::pair<const char*, const char*> races[] = {{"05", "09"}, {"05", "10"}, {"06", "01"}};
        for (int r = 0; r < 3; ++r) {
            std::string ra(jv::kLengthRA - 2, ' ');
            Put(ra, jv::kRecordKind, "RA");
            Put(ra, jv::kYear, "2026");
            Put(ra, jv::kMonthDay, "0111");
            Put(ra, jv::kCourseCode, races[r].first);
            Put(ra, jv::kMeeting, "01");
            Put(ra, jv::kMeetingDay, "04");
            Put(ra, jv::kRaceNo, races[r].second);
            Put(ra, jv::ra::kRegistered, "03");
            day->RaceRA[r] = ra + "\r\n";
            day->Races[r].RaceLoaded = true;
        }
        day->RaceCount = 3;
        day->OddsO1Path = WinOddsFile(dir.Path(), kDay);
        std::string blank;
        for (int r = 0; r < 3; ++r) {
            blank += std::string(kO1LineBytes, ' ') + "\r\n";
        }
        Spit(day->OddsO1Path, blank);
    }

    std::string StoredLine(int index) const
    {
        return Slurp(day->OddsO1Path).substr(static_cast<std::size_t>(index) * (kO1LineBytes + 2), kO1LineBytes);
    }
};

// A component that answers JVRTOpen with `openResults` in turn and hands out `records`.
class ScriptedLink : public JvLink
{
public:
    std::deque<int> openResults;
    std::deque<std::string> records; // each without CR LF; "#-502" answers -502 instead
    std::vector<std::string> openedKeys;

    int JVInit(std::string_view) override { return 0; }
    std::string Version() const override { return "0490"; }
    int JVSetUIProperties() override { return 0; }
    JvOpenResult JVOpen(std::string_view, std::string_view, int) override { return {}; }
    int JVStatus() override { return 0; }
    int JVRead(std::string& record, int, std::string&) override
    {
        if (records.empty()) {
            return kJvReadEnd;
        }
        std::string next = records.front();
        records.pop_front();
        if (next.starts_with("#")) {
            return std::stoi(next.substr(1));
        }
        record = next + "\r\n";
        return static_cast<int>(record.size());
    }
    int JVRTOpen(std::string_view, std::string_view key) override
    {
        openedKeys.emplace_back(key);
        const int result = openResults.empty() ? 0 : openResults.front();
        if (!openResults.empty()) {
            openResults.pop_front();
        }
        return result;
    }
    void JVCancel() override {}
    int JVSkip() override { return 0; }
    int JVClose() override { return 0; }
};

TEST(QuickOdds, StoresOnlyNewerRecordsOfRacesOfTheDay)
{
    DayFixture f;
    ScriptedLink link;
    link.records = {
        O1Line("05", "09", "01110930"),
        O1Line("05", "09", "01110930").replace(45, 4, "0123"), // same announcement time: not newer
        O1Line("05", "10", "01111000", '9'),                   // race cancelled
        O1Line("05", "10", "01111000", '0'),                   // deleted by the service
        O1Line("07", "09", "01111000"),                        // a race the day does not have
        O1Line("06", "01", "01111000").substr(0, 900),          // cut short
        O1Line("05", "10", "01111000").replace(45, 4, "1a23"),   // would read 0.1
        "#-3",
        O1Line("06", "01", "01110950"),
    };
    OddsFetchContext context{link, f.dir.Path(), f.clock, f.progress, f.cancel, {}};
    OddsFetchReport report;
    StoreOddsRecords(*f.day, context, report);

    EXPECT_EQ(report.recordsRead, 8);
    EXPECT_EQ(report.recordsStored, 2);
    EXPECT_EQ(f.StoredLine(0), O1Line("05", "09", "01110930"));
    EXPECT_EQ(f.StoredLine(1), std::string(kO1LineBytes, ' '));
    EXPECT_EQ(f.StoredLine(2), O1Line("06", "01", "01110950"));
    ASSERT_EQ(report.failures.size(), 2u) << "the cut record and the stray byte are reported, not stored";
    EXPECT_EQ(report.failures[1].rfind(Sjis("O1レコードの単勝オッズ「1a23」に数字でないバイトがあります: "), 0), 0u)
        << ToUtf8(report.failures[1]);
    EXPECT_EQ(Slurp(f.day->OddsO1Path).size(), 3u * (kO1LineBytes + 2));
}

TEST(QuickOdds, MarkersAndBytesBetweenTheOddsPassAStrayByteInTheLastOddsDoesNot)
{
    DayFixture f;
    ScriptedLink link;
    link.records = {
        O1Line("05", "09", "01110930").replace(45 + 8, 4, "----"),        // horse 2 without odds
        O1Line("05", "10", "01110930").replace(49, 1, "x"),               // horse 1's popularity, between odds
        O1Line("06", "01", "01110930").replace(605 + 9 * 35 + 4, 1, "?"), // bracket 36's odds
    };
    OddsFetchContext context{link, f.dir.Path(), f.clock, f.progress, f.cancel, {}};
    OddsFetchReport report;
    StoreOddsRecords(*f.day, context, report);

    EXPECT_EQ(report.recordsStored, 2);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].rfind(Sjis("O1レコードの枠連オッズ「"), 0), 0u) << ToUtf8(report.failures[0]);
}

// A race filed late moves every later race down a line of the odds file: the line of race
// 05-10 then holds 06-01's odds of a later time. The fresh record of 05-10 replaces them,
// or 05-10 would keep another race's odds for good.
TEST(QuickOdds, OddsOfAnotherRaceInTheLineAreReplacedWhateverTheirTime)
{
    DayFixture f;
    std::string bytes = Slurp(f.day->OddsO1Path);
    Spit(f.day->OddsO1Path, bytes.replace(kO1LineBytes + 2, kO1LineBytes, O1Line("06", "01", "01111530")));
    ScriptedLink link;
    link.records = {O1Line("05", "10", "01111000"), O1Line("05", "10", "01110900")};
    OddsFetchContext context{link, f.dir.Path(), f.clock, f.progress, f.cancel, {}};
    OddsFetchReport report;
    StoreOddsRecords(*f.day, context, report);
    EXPECT_EQ(report.recordsStored, 1);
    EXPECT_EQ(f.StoredLine(1), O1Line("05", "10", "01111000")) << "then only a newer record of the race";
}

TEST(QuickOdds, OpenErrorShowsAndLogsTheRaceAndTheNextRaceFollows)
{
    DayFixture f;
    ScriptedLink link;
    link.openResults = {-504, 0, 0};
    link.records = {O1Line("05", "10", "01110930")};
    struct Lines : NullProgress
    {
        std::vector<std::string> shown;
        void SetLine(int line, const std::string& text) override
        {
            if (line == 0) {
                shown.push_back(text);
            }
        }
    } progress;
    int beeps = 0;
    OddsFetchContext context{link, f.dir.Path(), f.clock, progress, f.cancel, [&beeps] { ++beeps; }};
    const OddsFetchReport report = FetchAllOdds(*f.day, context);

    const std::string status = Sjis("東京 9R:ｵｯｽﾞ取得エラー：") + JvResultMessage("JVRTOpen", -504);
    ASSERT_GE(progress.shown.size(), 3u);
    EXPECT_EQ(progress.shown[0], Sjis("東京 9オッズ取得中"));
    EXPECT_EQ(progress.shown[1], status);
    EXPECT_EQ(progress.shown[2], "");
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(report.racesOpened, 2);
    ASSERT_EQ(report.errorLines.size(), 1u);
    EXPECT_EQ(report.errorLines[0], Sjis("【エラー】09:05:07：") + status);
    EXPECT_NE(Slurp(ErrorLogFile(f.dir.Path())).find(report.errorLines[0] + "\r\n"), std::string::npos);
    EXPECT_EQ(link.openedKeys.size(), 3u);
    // The fetched race is imported into the day.
    EXPECT_EQ(f.day->Races[1].OddsO1Time, "0930");
}

TEST(QuickOdds, AllRacesAreWrittenOnceAtTheEndAndACancelKeepsTheRacesBefore)
{
    DayFixture f;
    struct WatchedLink : ScriptedLink
    {
        std::function<void()> opened;
        int JVRTOpen(std::string_view spec, std::string_view key) override
        {
            opened();
            return ScriptedLink::JVRTOpen(spec, key);
        }
    } link;
    const std::string first = O1Line("05", "09", "01110930");
    const std::string second = O1Line("05", "10", "01110931");
    link.records = {first, "#0", second, "#0", O1Line("06", "01", "01110932")};
    std::vector<std::string> firstLineAtOpen;
    link.opened = [&] {
        firstLineAtOpen.push_back(f.StoredLine(0));
        if (firstLineAtOpen.size() == 3) {
            f.cancel.Set(); // the third race is opened, then the user cancels
        }
    };
    OddsFetchContext context{link, f.dir.Path(), f.clock, f.progress, f.cancel, {}};
    const OddsFetchReport report = FetchAllOdds(*f.day, context);

    ASSERT_EQ(firstLineAtOpen.size(), 3u);
    EXPECT_EQ(firstLineAtOpen[2], std::string(kO1LineBytes, ' ')); // nothing written mid-run
    EXPECT_EQ(f.StoredLine(0), first);
    EXPECT_EQ(f.StoredLine(1), second);
    EXPECT_EQ(f.StoredLine(2), std::string(kO1LineBytes, ' '));
    EXPECT_EQ(report.recordsStored, 2);
    EXPECT_FALSE(report.storeFailed);
    EXPECT_EQ(f.day->Races[1].OddsO1Time, "0931");
}

TEST(OddsImport, ReadsMarkersBlanksAndTenths)
{
    DayFixture f;
    std::string line = O1Line("05", "09", "01110930");
    Put(line, jv::Nth(jv::o1::kWinOdds, 8, 1), "----");
    Put(line, jv::Nth(jv::o1::kWinOdds, 8, 3), "0035"); // horse 2 stays blank
    Put(line, jv::Nth(jv::o1::kPlaceOddsLow, 12, 1), "****");
    Put(line, jv::Nth(jv::o1::kPlaceOddsHigh, 12, 1), "0040");
    Put(line, jv::Nth(jv::o1::kPlaceOddsLow, 12, 3), "0012");
    Put(line, jv::Nth(jv::o1::kPlaceOddsHigh, 12, 3), "0019");
    Put(line, jv::Nth(jv::o1::kBracketOdds, 9, 1), "*****");
    Put(line, jv::Nth(jv::o1::kBracketOdds, 9, 2), "01234");
    OddsFile file = *OddsFile::Load(f.day->OddsO1Path).value;
    file.Replace(0, line);
    ASSERT_TRUE(file.Save());
    std::string o2(jv::kLengthO2 - 2, ' ');
    Put(o2, jv::Nth(jv::o2::kQuinellaOdds, 13, 1), "------");
    Put(o2, jv::Nth(jv::o2::kQuinellaOdds, 13, 2), "012345");
    Put(o2, jv::o2::kAnnounced, "01110945");
    f.day->RaceO2[0] = o2;

    ASSERT_TRUE(ImportOdds(*f.day, 0));
    const RaceSlot& race = f.day->Races[0];
    EXPECT_EQ(race.Runners[0].WinOdds, -1.0);
    EXPECT_EQ(race.Runners[1].WinOdds, -2.0);
    EXPECT_DOUBLE_EQ(race.Runners[2].WinOdds, 3.5);
    EXPECT_EQ(race.Runners[0].PlaceOddsLow, -1.0);
    EXPECT_EQ(race.Runners[0].PlaceOddsHigh, -1.0) << "the low text decides for both";
    EXPECT_EQ(race.Runners[1].PlaceOddsHigh, -2.0);
    EXPECT_DOUBLE_EQ(race.Runners[2].PlaceOddsLow, 1.2);
    EXPECT_DOUBLE_EQ(race.Runners[2].PlaceOddsHigh, 1.9);
    EXPECT_EQ(race.BracketOddsValue[1], -1.0);
    EXPECT_DOUBLE_EQ(race.BracketOddsValue[2], 123.4);
    EXPECT_EQ(race.BracketOddsValue[3], -2.0);
    EXPECT_EQ(race.PredictedQuinellaPayout[1], -1.0);
    EXPECT_DOUBLE_EQ(race.PredictedQuinellaPayout[2], 1234.5);
    EXPECT_EQ(race.PredictedQuinellaPayout[3], -2.0);
    EXPECT_EQ(race.OddsO1Time, "0930");
    EXPECT_EQ(race.OddsO2Time, "0945");

    // A line that belongs to another race is not taken: the record the load read stays.
    file.Replace(1, O1Line("05", "11", "01111000"));
    ASSERT_TRUE(file.Save());
    f.day->RaceO1[1] = O1Line("05", "10", "01110900") + "\r\n";
    ASSERT_TRUE(ImportOdds(*f.day, 1));
    EXPECT_EQ(f.day->Races[1].OddsO1Time, "0900");
}

// Quick odds come without O2 records, and a failed fetch imports too: a race whose market
// has no quinella odds must keep the predicted payouts its bets and sheets rest on.
TEST(OddsImport, PredictedQuinellaPayoutsStayUntilTheMarketHasOdds)
{
    DayFixture f;
    for (int race : {0, 1}) {
        f.day->Races[race].PredictedQuinellaPayout[1] = 880.0;
        f.day->Races[race].PredictedQuinellaPayout[2] = 1520.0;
    }
    f.day->RaceO2[0] = std::string(jv::kLengthO2 - 2, ' ');
    std::string o2(jv::kLengthO2 - 2, ' ');
    Put(o2, jv::Nth(jv::o2::kQuinellaOdds, 13, 1), "------");
    f.day->RaceO2[1] = o2;
    ASSERT_TRUE(ImportOdds(*f.day, 0));
    ASSERT_TRUE(ImportOdds(*f.day, 1));
    for (int race : {0, 1}) {
        EXPECT_EQ(f.day->Races[race].PredictedQuinellaPayout[1], 880.0) << race;
        EXPECT_EQ(f.day->Races[race].PredictedQuinellaPayout[2], 1520.0) << race;
    }

    Put(o2, jv::Nth(jv::o2::kQuinellaOdds, 13, 2), "000412");
    f.day->RaceO2[1] = o2;
    ASSERT_TRUE(ImportOdds(*f.day, 1));
    EXPECT_EQ(f.day->Races[1].PredictedQuinellaPayout[1], -1.0) << "the market's whole table is taken";
    EXPECT_DOUBLE_EQ(f.day->Races[1].PredictedQuinellaPayout[2], 41.2);
}

// A byte inserted in record 1 shifts every record after it: the odds commands refuse the
// file naming the record instead of reading, or writing back, records made of two halves.
TEST(OddsImport, AMisalignedOddsFileIsRefused)
{
    DayFixture f;
    std::string bytes = Slurp(f.day->OddsO1Path);
    bytes.insert(kO1LineBytes + 2 + 100, "X");
    Spit(f.day->OddsO1Path, bytes);
    const Result<std::optional<OddsFile>> loaded = OddsFile::Load(f.day->OddsO1Path);
    ASSERT_FALSE(loaded);
    EXPECT_NE(loaded.message().find(Sjis(" のレコード 1 が 960 バイトと CR LF ではありません")), std::string::npos)
        << ToUtf8(loaded.message());
    const Status imported = ImportOdds(*f.day, 0);
    EXPECT_FALSE(imported);
    // Read once for every race, the file still fails each race as it did read race by race.
    const std::vector<Status> each = ImportEveryRaceOdds(*f.day, 3);
    ASSERT_EQ(each.size(), 3u);
    for (const Status& failed : each) {
        EXPECT_EQ(failed.message, imported.message);
    }
    EXPECT_FALSE(ImportAllOdds(*f.day));
    EXPECT_EQ(Slurp(f.day->OddsO1Path), bytes);
}

std::string Snapshot(std::string_view announced)
{
    return O1Line("05", "09", announced);
}

TEST(TimeSeriesOdds, NearestSnapshotOfTheRaceDay)
{
    const int target = 15 * 60 + 10;
    EXPECT_EQ(NearestSnapshot({Snapshot("01111458"), Snapshot("01111505"), Snapshot("01111515")}, target), 1);
    EXPECT_EQ(NearestSnapshot({Snapshot("01111515"), Snapshot("01111505")}, target), 0) << "the first of a tie";
    EXPECT_EQ(NearestSnapshot({Snapshot("01101510"), Snapshot("01111300")}, target), 1) << "not the day before";
    EXPECT_EQ(NearestSnapshot({Snapshot("01101510")}, target), -1);
    // A blank odds time reads as minute 0: the earliest snapshot of the day.
    EXPECT_EQ(OddsTimeMinutes(""), 0);
    EXPECT_EQ(NearestSnapshot({Snapshot("01111000"), Snapshot("01110900"), Snapshot("01111200")}, 0), 1);
    // 1000 minutes or more away is no snapshot of the race.
    EXPECT_EQ(NearestSnapshot({Snapshot("01111640")}, 0), -1);
    EXPECT_EQ(NearestSnapshot({Snapshot("01111639")}, 0), 0);
}

TEST(TimeSeriesOdds, RefusesTornLinesAndReportsAMissingDayFile)
{
    DayFixture f;
    const fs::path folder = f.dir.Path() / "series";
    ASSERT_TRUE(ChooseOddsFolder(f.dir.Path(), folder));
    f.day->Races[0].AutoOddsTime = "0930";
    f.day->Races[1].AutoOddsTime = "1000";
    Spit(folder / "20260111" / "05010409.jvO1", Snapshot("01110920") + "\r\n" + Snapshot("01110935") + "\r\n");
    const std::string torn = O1Line("05", "10", "01110955").substr(0, 959);
    Spit(folder / "20260111" / "05010410.jvO1", O1Line("05", "10", "01110950") + "\r\n" + torn + "\r\n");
    f.day->Races[2].AutoOddsTime = "0950";
    Spit(folder / "20260111" / "06010401.jvO1", O1Line("06", "01", "01110950").replace(273, 4, "12x4") + "\r\n");

    const TimeSeriesReport report = ImportTimeSeriesOdds(f.dir.Path(), f.day.get());
    ASSERT_TRUE(report.io) << ToUtf8(report.io.message);
    EXPECT_EQ(report.taken, 1);
    EXPECT_EQ(report.message, Sjis("1ﾚｰｽ分の単ｵｯｽﾞを取りこみました。"));
    ASSERT_EQ(report.skipped.size(), 2u);
    EXPECT_NE(report.skipped[0].find("05010410.jvO1"), std::string::npos);
    EXPECT_NE(report.skipped[0].find(Sjis(" 2行目")), std::string::npos);
    EXPECT_NE(report.skipped[1].find(Sjis("06010401.jvO1 1件目: 複勝オッズ「12x4」に数字でないバイトがあります")),
              std::string::npos)
        << ToUtf8(report.skipped[1]);
    EXPECT_EQ(f.StoredLine(2), std::string(kO1LineBytes, ' '));
    EXPECT_EQ(f.StoredLine(0), Snapshot("01110935"));
    EXPECT_EQ(f.StoredLine(1), std::string(kO1LineBytes, ' '));
    EXPECT_EQ(f.day->Races[0].OddsO1Time, "0935") << "the import follows";

    fs::remove(f.day->OddsO1Path);
    const TimeSeriesReport missing = ImportTimeSeriesOdds(f.dir.Path(), f.day.get());
    EXPECT_FALSE(missing.io);
    EXPECT_NE(missing.io.message.find(".jvO1"), std::string::npos);
    EXPECT_FALSE(fs::exists(f.day->OddsO1Path)) << "the day file is not made up";

    ASSERT_TRUE(ChooseOddsFolder(f.dir.Path(), f.dir.Path()));
    EXPECT_EQ(ImportTimeSeriesOdds(f.dir.Path(), f.day.get()).message, Sjis("時系列ｵｯｽﾞﾌｫﾙﾀﾞ指定をしてください。"));
    ASSERT_TRUE(ChooseOddsFolder(f.dir.Path(), folder));
    EXPECT_EQ(ImportTimeSeriesOdds(f.dir.Path(), nullptr).message,
              Sjis("ｵｯｽﾞを読み込みたい当日の開催日ﾃﾞｰﾀを読み込んでください。"));
}

TEST(OddsTime, PostTimeLessTheSettingAndTheWindowsRange)
{
    EXPECT_EQ(AutoOddsTimeOf("1540", 30), "1510");
    EXPECT_EQ(AutoOddsTimeOf("1005", 10), "0955");
    EXPECT_EQ(AutoOddsTimeOf("1005", 0), "");
    EXPECT_EQ(AutoOddsTimeOf("0000", 30), "");
    EXPECT_EQ(AutoOddsTimeOf("    ", 30), "");

    TempDir dir;
    EXPECT_EQ(OddsTimeSetting(dir.Path()), 30);
    EXPECT_FALSE(SetOddsTimeSetting(dir.Path(), 2));
    EXPECT_FALSE(SetOddsTimeSetting(dir.Path(), 60));
    EXPECT_EQ(OddsTimeSetting(dir.Path()), 30);
    EXPECT_TRUE(SetOddsTimeSetting(dir.Path(), 59));
    EXPECT_EQ(OddsTimeSetting(dir.Path()), 59);
}

// The recorder's appends: a new announcement goes at the end of its race's file, one the file
// holds already changes nothing, and a last line torn by an interrupted writer is dropped
// rather than glued to the new record.
TEST(SnapshotFolder, AppendsNewAnnouncementsOnceAndMendsATornEnd)
{
    test::TempDir folder;
    const std::string first = O1Line("05", "09", "01110900");
    const std::filesystem::path file = folder.Path() / "20260111" / "05010409.jvO1";
    EXPECT_EQ(SnapshotFilePath(folder.Path(), first), file);

    Result<SnapshotAppendResult> added = AppendSnapshot(folder.Path(), first);
    ASSERT_TRUE(added) << added.message();
    EXPECT_EQ(added.value.outcome, SnapshotAppend::Appended);
    // The same announcement read again, even with other odds: already recorded.
    added = AppendSnapshot(folder.Path(), std::string(first).replace(45, 4, "0123"));
    ASSERT_TRUE(added);
    EXPECT_EQ(added.value.outcome, SnapshotAppend::AlreadyThere);
    EXPECT_EQ(Slurp(file), first + "\r\n");

    Spit(file, Slurp(file) + first.substr(0, 300)); // a copy killed halfway
    const std::string second = O1Line("05", "09", "01110910");
    added = AppendSnapshot(folder.Path(), second);
    ASSERT_TRUE(added);
    EXPECT_EQ(added.value.outcome, SnapshotAppend::Appended);
    EXPECT_EQ(added.value.droppedTornLine.size(), 300u);
    EXPECT_EQ(Slurp(file), first + "\r\n" + second + "\r\n");

    // Nothing that would tear the file or name a path outside the folder.
    EXPECT_FALSE(AppendSnapshot(folder.Path(), second.substr(0, 959)));
    EXPECT_FALSE(AppendSnapshot(folder.Path(), std::string(second).replace(19, 8, "../../x/")));
    EXPECT_EQ(Slurp(file), first + "\r\n" + second + "\r\n");
}

} // namespace
} // namespace vornal::test
