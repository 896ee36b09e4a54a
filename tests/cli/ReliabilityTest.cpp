#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "app/StoreLock.h"
#include "cli/CliRun.h"
#include "support/TestFiles.h"
#include "text/Encoding.h"

// The command-line faces of the store's and the tables' refusals, on a short sample season.
namespace vornal::test {
namespace {

std::string AppDirArg(const std::filesystem::path& appDir)
{
    return "--app-dir " + ShellQuote(appDir.string()) + " ";
}

bool Mentions(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class ShortSeason : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_root = std::filesystem::temp_directory_path() / ("vornal-reliability-" + std::to_string(::getpid()));
        std::filesystem::remove_all(s_root);
        const CliResult generated =
            RunCli(AppDirArg(s_root / "tuning") + "samplegen --feed " + ShellQuote((s_root / "feed").string()) +
                   " --seed 5 --days 3 --tuning " + ShellQuote((s_root / "tuning").string()));
        const std::size_t from = generated.out.find("--from \"");
        if (generated.exitCode == 0 && from != std::string::npos) {
            s_from = generated.out.substr(from + 8, 19);
        }
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(s_root); }

    // A fresh application folder with the season's tuning files.
    std::filesystem::path FreshApp(const std::string& name) const
    {
        const std::filesystem::path app = s_root / name;
        std::filesystem::create_directories(app);
        for (const char* file : {"GateAdj.dat", "RT.dat", "senuj.dat"}) {
            std::filesystem::copy_file(s_root / "tuning" / file, app / file);
        }
        return app;
    }
    // A fresh application folder holding the acquired season.
    std::filesystem::path AcquiredApp(const std::string& name) const
    {
        const std::filesystem::path app = FreshApp(name);
        EXPECT_EQ(RunCli(AcquireArgs(app)).exitCode, 0);
        return app;
    }
    // A copy of the season's feed to damage.
    std::filesystem::path FeedCopy(const std::string& name) const
    {
        const std::filesystem::path feed = s_root / name;
        std::filesystem::copy(s_root / "feed", feed, std::filesystem::copy_options::recursive);
        return feed;
    }
    std::string AcquireArgs(const std::filesystem::path& app) const
    {
        return AppDirArg(app) + "acquire --feed " + ShellQuote((s_root / "feed").string()) + " --from " +
               ShellQuote(s_from);
    }

    static inline std::filesystem::path s_root;
    static inline std::string s_from;
};

// A value out of its bounds in a tuning file stops the load with the file and record named,
// and no figure reaches the output, neither as JSON nor as the listing.
TEST_F(ShortSeason, TuningValueOutOfBoundsPrintsNoFigures)
{
    ASSERT_FALSE(s_from.empty());
    const std::filesystem::path app = FreshApp("tuning-bounds");
    ASSERT_EQ(RunCli(AcquireArgs(app)).exitCode, 0);
    std::filesystem::copy_file(std::filesystem::path(VORNAL_TEST_DATA_DIR) / "broken" / "tuning" / "GateAdj-1e300.dat",
                               app / "GateAdj.dat", std::filesystem::copy_options::overwrite_existing);
    for (const std::string command : {"day --date 20260103 --json", "race --date 20260103 --slot 0"}) {
        const CliResult quiet = RunCli(AppDirArg(app) + command);
        EXPECT_EQ(quiet.exitCode, 1) << command;
        EXPECT_EQ(quiet.out, "") << command;
        const CliResult told = RunCli(AppDirArg(app) + command, true);
        EXPECT_TRUE(Mentions(told.out, "GateAdj.dat：レコード 4 のバイト 288 からの値 1e+300 が範囲外です"))
            << told.out;
    }
}

// Two acquisitions into one folder once interleaved and lost history lines. While another
// writer holds the folder, acquire --no-wait refuses and writes nothing; without it the
// command says it waits and runs when the other is done. The run ends with its skip count.
TEST_F(ShortSeason, OneWriterAtATime)
{
    ASSERT_FALSE(s_from.empty());
    const std::filesystem::path app = FreshApp("one-writer");
    Result<StoreLock> other = TryLockStore(app);
    ASSERT_TRUE(other);

    const CliResult refused = RunCli(AcquireArgs(app) + " --no-wait", true);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(Mentions(refused.out, "別の処理がこのフォルダのデータを書き込み中です。")) << refused.out;
    EXPECT_TRUE(std::filesystem::is_empty(app / "Data"));

    std::thread release([&other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        other.value.Release();
    });
    const CliResult waited = RunCli(AcquireArgs(app), true);
    release.join();
    EXPECT_EQ(waited.exitCode, 0);
    EXPECT_TRUE(Mentions(waited.out, "書き込み中です。 waiting for it to finish")) << waited.out.substr(0, 300);
    EXPECT_FALSE(std::filesystem::is_empty(app / "Data"));
    // The entries published before the draw are the season's only drops.
    EXPECT_TRUE(Mentions(waited.out, "\nスキップしたレコード: ")) << waited.out.substr(waited.out.size() - 300);
    EXPECT_TRUE(Mentions(waited.out, "件（馬番未確定 ")) << waited.out.substr(waited.out.size() - 300);
}

// A day whose store lost a runner line and its horse master: the load goes on, each warning
// on the error stream and under "warnings", the race marked in the listing and the JSON.
TEST_F(ShortSeason, WarningsOfALoadReachTheErrorStreamAndTheJson)
{
    ASSERT_FALSE(s_from.empty());
    const std::filesystem::path app = FreshApp("warnings");
    ASSERT_EQ(RunCli(AcquireArgs(app)).exitCode, 0);
    const std::string good = RunCli(AppDirArg(app) + "day --date 20260103 --json").out;
    ASSERT_FALSE(Mentions(good, "\"warnings\":"));
    ASSERT_FALSE(Mentions(good, "\"incomplete\":"));

    const std::filesystem::path runnerFile = app / "Data" / "2026年01月03日中山.jvSEr";
    std::string bytes = Slurp(runnerFile);
    ASSERT_FALSE(bytes.empty());
    Spit(runnerFile, bytes.replace(555, 553, std::string(553, ' '))); // race 1, horse 2
    std::filesystem::remove(app / "Data" / "2026年01月03日.jvUM2");

    const CliResult listed = RunCli(AppDirArg(app) + "day --date 20260103", true);
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_TRUE(Mentions(listed.out, "vornal-cli: 警告: Data/2026年01月03日.jvUM2：馬マスタのファイルがありません"))
        << listed.out.substr(0, 600);
    EXPECT_TRUE(Mentions(listed.out, "jvSEr：レコード 1：1R 馬番 2 の出走馬のレコードが空です"))
        << listed.out.substr(0, 600);
    EXPECT_TRUE(Mentions(listed.out, "出走馬のデータが欠けているため、このレースは評価も買い目もありません。"));
    const std::string json = RunCli(AppDirArg(app) + "day --date 20260103 --json").out;
    EXPECT_TRUE(
        Mentions(json, "\"warnings\":[{\"file\":\"Data/2026年01月03日.jvUM2\",\"record\":-1,\"field\":\"\",\"text\":"))
        << json.substr(0, 600);
    EXPECT_TRUE(Mentions(RunCli(AppDirArg(app) + "race --date 20260103 --slot 0 --json").out,
                         "\"slot\":0,\"warnings\":[{\"file\":\"Data/2026年01月03日.jvUM2\""));
    // The race: no bets, and not one runner (the blank one least of all) rated or priced.
    const std::size_t at = json.find("\"incomplete\":true");
    ASSERT_NE(at, std::string::npos);
    const std::string after = json.substr(at);
    const std::string raceJson = after.substr(0, after.find("{\"date\":"));
    EXPECT_TRUE(
        Mentions(raceJson, "\"BetCombos\":[\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"],\"BetRunner\":0"));
    for (const char* figure :
         {"\"PredictedWinPayout\":", "\"RankAchievement\":", "\"WinRank\":", "\"AchievementProb\":"}) {
        for (std::size_t f = raceJson.find(figure); f != std::string::npos; f = raceJson.find(figure, f + 1)) {
            EXPECT_EQ(raceJson.substr(f + std::string(figure).size(), 2), "0,") << figure;
        }
    }
}


std::filesystem::path DayFile(const std::filesystem::path& app, const char* name)
{
    return app / "Data" / (std::string("2026年01月03日") + name);
}

// The feed file whose name holds `part`, and the byte offset of its first line of `kind`.
std::pair<std::filesystem::path, std::size_t> FirstLine(const std::filesystem::path& feed, const std::string& part,
                                                        const std::string& kind)
{
    for (const auto& entry : std::filesystem::directory_iterator(feed / "stored")) {
        if (!Mentions(entry.path().filename().string(), part)) {
            continue;
        }
        const std::string bytes = Slurp(entry.path());
        for (std::size_t at = 0; at < bytes.size(); at = bytes.find('\n', at) + 1) {
            if (bytes.compare(at, kind.size(), kind) == 0) {
                return {entry.path(), at};
            }
            if (bytes.find('\n', at) == std::string::npos) {
                break;
            }
        }
    }
    return {};
}

// The pages of printed page data, each its items alone (without its page number).
std::vector<std::string> PrintedPages(const std::string& json)
{
    const std::string mark = "{\"number\":";
    std::vector<std::string> pages;
    for (std::size_t at = json.find(mark); at != std::string::npos;) {
        const std::size_t items = json.find(',', at);
        at = json.find(mark, items);
        std::string page = json.substr(items, at == std::string::npos ? at : at - items);
        // The last page ends in the closing of the document, the others in a comma.
        page.erase(page.find_last_not_of(",]}\n") + 1);
        pages.push_back(page);
    }
    return pages;
}

// A race line the load leaves out (a blank year) keeps its slot. The race sheets print every
// other race once, as the sound day prints it, with no empty page for that slot and with the
// day's last race; the all-bets sheet leaves the race out without opening extra pages.
TEST_F(ShortSeason, ARaceLeftOutOfTheDayIsLeftOutOfThePrintsAlone)
{
    ASSERT_FALSE(s_from.empty());
    const std::filesystem::path app = AcquiredApp("blank-year-print");
    const std::string print = AppDirArg(app) + "print --date 20260103 --json --sheet ";
    std::vector<std::string> sheets = PrintedPages(RunCli(print + "race").out);
    const std::vector<std::string> bets = PrintedPages(RunCli(print + "allbets").out);
    ASSERT_GT(sheets.size(), 3u);
    ASSERT_GT(bets.size(), 1u);

    std::string races = Slurp(DayFile(app, ".jvRA"));
    Spit(DayFile(app, ".jvRA"), races.replace(2 * 1272 + 11, 4, "    "));
    sheets.erase(sheets.begin() + 2);
    const CliResult printed = RunCli(print + "race");
    ASSERT_EQ(printed.exitCode, 0);
    EXPECT_EQ(PrintedPages(printed.out), sheets);
    EXPECT_TRUE(Mentions(printed.out, "\"lastPage\":" + std::to_string(sheets.size()) + ","));
    // --slot names the race slot still: slot 3 is now the third sheet, slot 2 has none.
    const CliResult third = RunCli(print + "race --slot 3");
    EXPECT_EQ(PrintedPages(third.out), std::vector<std::string>{sheets[2]});
    EXPECT_TRUE(Mentions(third.out, "{\"number\":3,"));
    EXPECT_EQ(RunCli(print + "race --slot 2").exitCode, 1);

    // The race's racecourse page loses the race's row; the other pages stay as they were.
    const std::vector<std::string> damagedBets = PrintedPages(RunCli(print + "allbets").out);
    ASSERT_EQ(damagedBets.size(), bets.size());
    EXPECT_NE(damagedBets[0], bets[0]);
    EXPECT_TRUE(std::equal(bets.begin() + 1, bets.end(), damagedBets.begin() + 1));
}

// A stored day damaged in one place at a time. What changes a figure without a word is now
// either a warning naming file, record and field, or a refusal: a race line with a blank
// year, a jockey missing from the jockey master, an emptied trainer master, an odds file cut
// by one byte, an odds file larger than any day can have.
TEST_F(ShortSeason, DamageInAStoredDayIsWarnedOrRefused)
{
    ASSERT_FALSE(s_from.empty());
    const std::filesystem::path app = AcquiredApp("damaged-day");
    const std::string day = AppDirArg(app) + "day --date 20260103";
    const CliResult sound = RunCli(day + " --json", true);
    ASSERT_EQ(sound.exitCode, 0);
    ASSERT_FALSE(Mentions(sound.out, "警告"));

    std::string races = Slurp(DayFile(app, ".jvRA"));
    Spit(DayFile(app, ".jvRA"), races.replace(2 * 1272 + 11, 4, "    "));
    const std::string jockeys = Slurp(DayFile(app, ".jvKS"));
    const std::string firstJockey = jockeys.substr(11, 5);
    Spit(DayFile(app, ".jvKS"), jockeys.substr(4173));
    Spit(DayFile(app, ".jvCH"), "");
    const CliResult warned = RunCli(day, true);
    EXPECT_EQ(warned.exitCode, 0);
    EXPECT_TRUE(Mentions(warned.out, "警告: Data/2026年01月03日.jvRA：レコード 2：開催年「    」のため、03R のレースは読み込めません。"))
        << warned.out.substr(0, 800);
    EXPECT_TRUE(Mentions(warned.out, "の出走馬の騎手コード「" + firstJockey + "」が騎手マスタにありません。"))
        << warned.out.substr(0, 800);
    EXPECT_TRUE(Mentions(warned.out, "警告: Data/2026年01月03日.jvCH：調教師マスタのファイルが空です。"));
    EXPECT_TRUE(Mentions(RunCli(day + " --json").out, "\"field\":\"開催年\""));
    // A byte inserted in the jockey master: refused with the record named, not rated from
    // pieces of two records.
    std::string shifted = jockeys.substr(4173);
    Spit(DayFile(app, ".jvKS"), shifted.insert(100, "x"));
    const CliResult misaligned = RunCli(day, true);
    EXPECT_EQ(misaligned.exitCode, 1);
    EXPECT_TRUE(Mentions(misaligned.out, ".jvKS のレコード 0 の末尾が CR LF ではありません（1 件 4173 バイト）。"))
        << misaligned.out;
    EXPECT_FALSE(Mentions(misaligned.out, "Assertion"));
    Spit(DayFile(app, ".jvKS"), jockeys.substr(4173));

    const std::string odds = Slurp(DayFile(app, ".jvO1"));
    ASSERT_EQ(odds.size() % 962, 0u);
    Spit(DayFile(app, ".jvO1"), odds.substr(0, odds.size() - 1));
    const CliResult cut = RunCli(day + " --json", true);
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_TRUE(Mentions(cut.out, ".jvO1 のレコード " + std::to_string(odds.size() / 962 - 1) +
                                      " が途中で切れています（961 バイト、1 件 962 バイト）。"))
        << cut.out;
    EXPECT_FALSE(Mentions(cut.out, "{\"date\""));

    // Sparse: the refusal must come before a byte is read.
    std::filesystem::resize_file(DayFile(app, ".jvO1"), std::uintmax_t{1} << 31);
    const CliResult huge = RunCli(day, true);
    EXPECT_EQ(huge.exitCode, 1);
    EXPECT_TRUE(Mentions(huge.out, "ファイルが大きすぎます: ")) << huge.out;
}

// Damaged records of a feed are each named with the race, jockey or file line they were
// about, and a line too long to read is passed over: the run completes and moves its
// from-time, so a rerun does not stop at the same line.
TEST_F(ShortSeason, FeedDamageIsNamedAndPassedOver)
{
    ASSERT_FALSE(s_from.empty());
    const std::filesystem::path feed = FeedCopy("damaged-feed");
    const auto [masters, ksAt] = FirstLine(feed, "MASTERS", "KS");
    ASSERT_FALSE(masters.empty());
    std::string bytes = Slurp(masters);
    const std::string jockey = bytes.substr(ksAt + 11, 5);
    Spit(masters, bytes.erase(ksAt + 1000, 1));
    const auto [cards, raAt] = FirstLine(feed, "RACE-CARDS", "RA");
    ASSERT_FALSE(cards.empty());
    bytes = Slurp(cards);
    Spit(cards, bytes.erase(raAt + 100, 1) + std::string(70000, '9') + "\r\n");

    const std::filesystem::path app = FreshApp("damaged-feed-app");
    const CliResult run =
        RunCli(AppDirArg(app) + "acquire --feed " + ShellQuote(feed.string()) + " --from " + ShellQuote(s_from), true);
    EXPECT_EQ(run.exitCode, 0) << run.out.substr(run.out.size() - std::min<std::size_t>(run.out.size(), 600));
    EXPECT_TRUE(Mentions(run.out, "スキップ:KS/レコード長4172（騎手コード " + jockey + "）"));
    EXPECT_TRUE(Mentions(run.out, "スキップ:RA/レコード長1271（2026年01月10日中山01R）"));
    EXPECT_TRUE(Mentions(run.out, "スキップ:JVReadエラー:ダウンロードしたファイル内容が異常です。(-403)（" +
                                      cards.filename().string() + " の "))
        << run.out.substr(0, 300);
    EXPECT_TRUE(Mentions(Slurp(app / "vornal.ini"), "LastTime="));
}

// The settings file and the rule sets are read with the checks the windows apply: a value
// out of its range is said with section and key and the default used; a rule-set line the
// settings window would refuse is named and skipped, never read as a set that bets nothing.
TEST_F(ShortSeason, SettingsAndRuleSetsAreCheckedAsTheWindowsCheckThem)
{
    ASSERT_FALSE(s_from.empty());
    const std::filesystem::path app = AcquiredApp("checked-settings");
    const std::string tail = ", 5,18,1000,3000, 5,18,1000,3000";
    const std::string blanks(26, ',');
    Spit(app / "UserSet.usd",
         Sjis("良,実績確率, 1" + blanks + tail + "\r\n" + "順位,実績確率,19" + blanks + tail + "\r\n" +
              "名前,謎の評価, 1" + blanks + tail + "\r\n" + "距離,実績確率, 1" + blanks +
              ", 5,18,千,3000, 5,18,1000,3000\r\n"));
    const CliResult sets = RunCli(AppDirArg(app) + "usersets", true);
    EXPECT_TRUE(Mentions(sets.out, "0\t良\t")) << sets.out;
    EXPECT_TRUE(Mentions(sets.out, "UserSet.usd の 2 行目は3 項目目の順位「19」が 1～18 ではないため、読み飛ばしました。"));
    EXPECT_TRUE(Mentions(sets.out, "UserSet.usd の 3 行目は「単勝・芝の入力が不正です。」のため、読み飛ばしました。"));
    EXPECT_TRUE(Mentions(sets.out, "UserSet.usd の 4 行目は32 項目目の距離「千」が数字ではないため、読み飛ばしました。"));
    EXPECT_FALSE(Mentions(sets.out, "1\t順位\t"));

    Spit(app / "vornal.ini", "[Time]\r\nAutoOzGet=-30\r\n[kaime]\r\nNo=x\r\n");
    const CliResult day = RunCli(AppDirArg(app) + "day --date 20260103", true);
    EXPECT_EQ(day.exitCode, 0);
    EXPECT_TRUE(Mentions(day.out, "設定 [Time] AutoOzGet の値 \"-30\" は範囲外です（0～59）。既定値 30 を使います。"));
    EXPECT_TRUE(Mentions(day.out, "設定 [kaime] No の値 \"x\" は整数ではありません（0～3）。既定値 0 を使います。"));
}

// Answers of the component that are not JV-Data at all are no results and no odds: the
// commands fail instead of reporting the records as read.
TEST_F(ShortSeason, RealTimeAnswersThatAreNotDataFail)
{
    ASSERT_FALSE(s_from.empty());
    const std::filesystem::path app = AcquiredApp("noise");
    const std::filesystem::path feed = FeedCopy("noise-feed");
    std::string noise;
    unsigned seed = 7;
    for (int line = 0; line < 40; ++line) {
        for (int i = 0; i < 300; ++i) {
            seed = seed * 1103515245u + 12345u;
            const char c = static_cast<char>((seed >> 16) & 0xFF);
            noise += c == '\n' || c == '\r' ? 'x' : c;
        }
        noise += "\r\n";
    }
    Spit(feed / "realtime" / "0B12" / "20260103.jvd", noise);
    const std::string race = Slurp(DayFile(app, ".jvRA")).substr(11, 16);
    Spit(feed / "realtime" / "0B30" / (race + ".jvd"), noise);
    const std::string before = Slurp(DayFile(app, ".jvHR"));

    const CliResult results = RunCli(AppDirArg(app) + "results --feed " + ShellQuote(feed.string()) + " --date 20260103", true);
    EXPECT_EQ(results.exitCode, 1);
    EXPECT_TRUE(Mentions(results.out, "40 of 40 records read for 2026年01月03日 are not JV-Data")) << results.out;
    EXPECT_EQ(Slurp(DayFile(app, ".jvHR")), before);
    const CliResult odds =
        RunCli(AppDirArg(app) + "odds --feed " + ShellQuote(feed.string()) + " --date 20260103 --slot 0", true);
    EXPECT_EQ(odds.exitCode, 1);
    EXPECT_TRUE(Mentions(odds.out, "40 件のレコードが JV-Data ではないため、読み捨てました。")) << odds.out;
}

// A time-series file under a race's name that holds a race of another year is not this
// race's odds: it is named and skipped, and the import does not report success.
TEST_F(ShortSeason, ATimeSeriesSnapshotOfAnotherDateIsRefused)
{
    ASSERT_FALSE(s_from.empty());
    const std::filesystem::path app = AcquiredApp("other-date");
    const std::string race = Slurp(DayFile(app, ".jvRA")).substr(11, 16);
    ASSERT_EQ(race.substr(0, 8), "20260103");
    std::string snapshot = "O12202512312025" + race.substr(4) + "01031000";
    snapshot.resize(960, ' ');
    const std::filesystem::path folder = s_root / "other-date-series";
    Spit(folder / "20260103" / (race.substr(8) + ".jvO1"), snapshot + "\r\n");
    // The next race's file, sparse and larger than any day's snapshots: refused unread.
    const std::string next = Slurp(DayFile(app, ".jvRA")).substr(1272 + 11, 16);
    Spit(folder / "20260103" / (next.substr(8) + ".jvO1"), "");
    std::filesystem::resize_file(folder / "20260103" / (next.substr(8) + ".jvO1"), std::uintmax_t{1} << 30);

    const CliResult imported =
        RunCli(AppDirArg(app) + "tsodds --folder " + ShellQuote(folder.string()) + " --date 20260103", true);
    EXPECT_EQ(imported.exitCode, 1);
    EXPECT_TRUE(Mentions(imported.out, "1件目: レースキー 2025" + race.substr(4) + " は別のレースのオッズです（このレースは " +
                                           race + "）"))
        << imported.out;
    EXPECT_TRUE(Mentions(imported.out, ".jvO1: ファイルが大きすぎます（1073741824 バイト）")) << imported.out;
    EXPECT_TRUE(Mentions(imported.out, "0 races taken")) << imported.out;
}

// What cannot be written is a failure, and nothing is written through a link leading out
// of the application folder: a planted result-history folder, a planted lock file.
TEST_F(ShortSeason, WritesFailLoudlyAndStayInTheFolder)
{
    ASSERT_FALSE(s_from.empty());
    const std::filesystem::path app = AcquiredApp("unwritable");
    std::filesystem::create_directory(app / "2026年馬連_No01.ksr");
    const CliResult backtest = RunCli(AppDirArg(app) + "backtest --method no1 --write-ksr", true);
    EXPECT_EQ(backtest.exitCode, 1);
    EXPECT_TRUE(Mentions(backtest.out, "could not be written")) << backtest.out.substr(0, 400);

    const std::filesystem::path planted = FreshApp("planted");
    const std::filesystem::path outside = s_root / "outside";
    std::filesystem::create_directories(outside);
    std::filesystem::create_directories(planted / "SEIR");
    std::filesystem::create_directory_symlink(outside, planted / "SEIR" / "2026");
    const CliResult acquired = RunCli(AcquireArgs(planted), true);
    EXPECT_EQ(acquired.exitCode, 1);
    EXPECT_TRUE(Mentions(acquired.out, "はアプリケーションフォルダの外を指すシンボリックリンクのため、書き込みません。"));
    EXPECT_TRUE(std::filesystem::is_empty(outside));

    const std::filesystem::path locked = FreshApp("dangling-lock");
    std::filesystem::create_symlink(outside / "lock", locked / "vornal.lock");
    RunCli(AppDirArg(locked) + "dates");
    EXPECT_FALSE(std::filesystem::exists(outside / "lock"));
}

// A folder that is not there, a name the system cannot take, a loop of links: each a
// message and a failing exit, never an abort or an empty answer.
TEST_F(ShortSeason, FolderAndPathErrorsAreMessages)
{
    for (const char* command : {"dates", "usersets", "backtest --method no1", "report --method no1"}) {
        const CliResult missing = RunCli(AppDirArg(s_root / "no-such-folder") + command, true);
        EXPECT_EQ(missing.exitCode, 1) << command;
        EXPECT_TRUE(Mentions(missing.out, "アプリケーションフォルダがありません: ")) << command;
    }
    const std::filesystem::path app = FreshApp("paths");
    const std::string longName = (s_root / std::string(300, 'a')).string();
    std::filesystem::create_symlink(s_root / "loop-b", s_root / "loop-a");
    std::filesystem::create_symlink(s_root / "loop-a", s_root / "loop-b");
    for (const std::string& command :
         {"acquire --feed " + ShellQuote(longName), "acquire --feed " + ShellQuote((s_root / "loop-a" / "x").string()),
          "tsodds --folder " + ShellQuote(longName) + " --date 20260103"}) {
        const CliResult failed = RunCli(AppDirArg(app) + command, true);
        EXPECT_EQ(failed.exitCode, 1) << command << failed.out;
        EXPECT_TRUE(Mentions(failed.out, "File name too long") || Mentions(failed.out, "symbolic links"))
            << failed.out;
    }
}

} // namespace
} // namespace vornal::test
