#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <unistd.h>

#include "app/AtomicFile.h"
#include "app/TuningFiles.h"
#include "cli/CliRun.h"
#include "odds/TimeSeriesOdds.h"
#include "raceday/JsonWriter.h"
#include "season/SeasonReport.h"
#include "season/SeasonReportJson.h"
#include "session/DaySession.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

namespace fs = std::filesystem;
using test::CliResult;
using test::RunCli;
using test::ShellQuote;

std::vector<SeasonMethod> Methods()
{
    std::vector<SeasonMethod> methods(3);
    methods[0] = {"no1", {}};
    methods[1] = {"no2", {}};
    methods[1].method.kind = BetMethodKind::No2;
    methods[2] = {"sp1", {}};
    methods[2].method.kind = BetMethodKind::Developer1;
    return methods;
}

std::string Json(const SeasonReport& report)
{
    std::string out;
    JsonWriter json(out);
    WriteSeasonReportJson(json, report);
    return out;
}

void ExpectSameTotals(const DayTotals& a, const DayTotals& b, const std::string& where)
{
    for (BetType type : kBetTypes) {
        EXPECT_EQ(a[type].Points, b[type].Points) << where;
        EXPECT_EQ(a[type].Hits, b[type].Hits) << where;
        EXPECT_EQ(a[type].Returned, b[type].Returned) << where;
    }
}

// A generated season of five days whose last day has its results retrieved, so that it has
// both results and the outside program's time-series odds.
class SeasonRunTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_root = fs::temp_directory_path() / ("vornal-season-" + std::to_string(::getpid()));
        fs::remove_all(s_root);
        fs::create_directories(s_root);
        const std::string app = "--app-dir " + Q("app") + " ";
        const CliResult generated =
            RunCli("samplegen --feed " + Q("feed") + " --days 5 --tuning " + Q("app") + " --timeseries " + Q("ts"));
        ASSERT_EQ(generated.exitCode, 0) << generated.out;
        const std::size_t at = generated.out.find("--from \"");
        ASSERT_NE(at, std::string::npos);
        ASSERT_EQ(
            RunCli(app + "acquire --feed " + Q("feed") + " --from '" + generated.out.substr(at + 8, 19) + "'").exitCode,
            0);
        s_days = StoredDayNames(s_root / "app");
        ASSERT_EQ(s_days.size(), 5u);
        ASSERT_EQ(RunCli(app + "results --feed " + Q("feed") + " --date " + DayDigits(s_days.front())).exitCode, 0);
    }
    static void TearDownTestSuite() { fs::remove_all(s_root); }
    static std::string Q(const char* name) { return ShellQuote((s_root / name).string()); }
    static fs::path App() { return s_root / "app"; }

    static inline fs::path s_root;
    static inline std::vector<std::string> s_days; // newest first
};

TEST_F(SeasonRunTest, ThreadsGiveTheSameRunAsOneThread)
{
    SeasonRunOptions one;
    one.threads = 1;
    SeasonRunOptions three;
    three.threads = 3;
    const SeasonRun a = RunSeason(App(), Methods(), one);
    const SeasonRun b = RunSeason(App(), Methods(), three);
    ASSERT_EQ(a.days.size(), 5u);
    ASSERT_EQ(b.days.size(), a.days.size());
    for (std::size_t d = 0; d < a.days.size(); ++d) {
        EXPECT_EQ(a.days[d].dayName, b.days[d].dayName);
        ASSERT_TRUE(a.days[d].loaded && b.days[d].loaded);
        for (std::size_t m = 0; m < 3; ++m) {
            ExpectSameTotals(a.days[d].methods[m].totals, b.days[d].methods[m].totals, a.days[d].dayName);
            EXPECT_EQ(a.days[d].methods[m].hitLines, b.days[d].methods[m].hitLines);
            EXPECT_EQ(a.days[d].methods[m].bets.size(), b.days[d].methods[m].bets.size());
        }
    }
    EXPECT_EQ(Json(BuildSeasonReport(a, {})), Json(BuildSeasonReport(b, {})));
}

TEST_F(SeasonRunTest, ReportTotalsAreTheDayLoadsAndEveryBreakdownAddsUp)
{
    const SeasonRun run = RunSeason(App(), Methods(), {});
    const SeasonReport report = BuildSeasonReport(run, {});
    ASSERT_EQ(report.days.size(), 5u);
    ASSERT_EQ(report.methods.size(), 3u);
    int paidWin = 0;
    int paidQuinella = 0;
    for (const SeasonDay& day : run.days) {
        for (const SeasonRace& race : day.races) {
            paidWin += race.paidWin > 0 ? 1 : 0;
            paidQuinella += race.paidQuinella > 0 ? 1 : 0;
        }
    }
    EXPECT_GT(paidWin, 40);
    for (std::size_t m = 0; m < 3; ++m) {
        const MethodReport& method = report.methods[m];
        // Each method alone, in one session day after day, as a backtest loads them.
        DaySession session(App());
        session.SetBetMethod(Methods()[m].method);
        DayTotals loaded;
        for (const std::string& day : report.days) {
            ASSERT_TRUE(session.LoadDay(day).Ok());
            loaded += session.Totals();
        }
        ExpectSameTotals(method.totals, loaded, method.name);
        EXPECT_GT(method.totals[BetType::Quinella].Points, 0) << method.name;
        ASSERT_EQ(method.breakdowns.size(), kBreakdowns.size());
        for (const BreakdownTable& table : method.breakdowns) {
            DayTotals sum;
            for (const BreakdownRow& row : table.rows) {
                sum += row.totals;
            }
            ExpectSameTotals(sum, method.totals, method.name + " " + std::string(BreakdownName(table.by)));
        }
        const SeriesFigures& all = method.series[kAllTypes];
        ASSERT_EQ(all.cumulative.size(), 5u);
        long long staked = 0;
        long long returned = 0;
        for (BetType type : kBetTypes) {
            staked += method.totals[type].Staked();
            returned += method.totals[type].Returned;
        }
        EXPECT_EQ(all.cumulative.back(), returned - staked);
        EXPECT_NEAR(method.series[static_cast<std::size_t>(BetType::Quinella)].interval.rate,
                    method.totals[BetType::Quinella].Rate(), 1e-9);
        EXPECT_GE(all.interval.high, all.interval.rate);
        EXPECT_LE(all.interval.low, all.interval.rate);
        ASSERT_FALSE(method.hitRates.empty());
        EXPECT_EQ(method.hitRates[0].points, method.totals[BetType::Quinella].Points);
        int classPoints = 0;
        for (std::size_t r = 1; r < method.hitRates.size(); ++r) {
            classPoints += method.hitRates[r].points;
        }
        EXPECT_EQ(classPoints, method.hitRates[0].points);
    }
    int win = 0;
    for (const CalibrationRow& row : report.winCalibration) {
        win += row.count;
    }
    int quinella = 0;
    for (const CalibrationRow& row : report.quinellaCalibration) {
        quinella += row.count;
    }
    EXPECT_EQ(win, paidWin);
    EXPECT_EQ(quinella, paidQuinella);
}

TEST_F(SeasonRunTest, ACancelKeepsTheDaysBeforeTheFirstMissingOne)
{
    CancelFlag cancel;
    cancel.Set();
    SeasonRunOptions options;
    options.cancel = &cancel;
    const SeasonRun cancelled = RunSeason(App(), Methods(), options);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.days.empty());
    // A range holds only its days, and a run of it is not cancelled.
    options.cancel = nullptr;
    options.from = s_days[3];
    options.to = s_days[1];
    const SeasonRun range = RunSeason(App(), Methods(), options);
    EXPECT_FALSE(range.cancelled);
    ASSERT_EQ(range.days.size(), 3u);
    EXPECT_EQ(range.days.front().dayName, s_days[3]);
    EXPECT_EQ(range.days.back().dayName, s_days[1]);
}

TEST_F(SeasonRunTest, DecisionTimeTakesTheSnapshotsAndLeavesTheStore)
{
    const fs::path app = s_root / "decision";
    fs::copy(App(), app, fs::copy_options::recursive);
    ASSERT_TRUE(ChooseOddsFolder(app, s_root / "ts"));
    const std::string lastDay = s_days.front();
    const fs::path oddsFile = WinOddsFile(app, lastDay);
    // The first load of a day writes its odds placeholder; the store is compared after it.
    RunSeason(app, Methods(), {});
    const std::optional<std::string> before = ReadFileBytes(oddsFile);
    ASSERT_TRUE(before);

    SeasonRunOptions options;
    options.decisionTime = true;
    const SeasonRun decided = RunSeason(app, Methods(), options);
    options.decisionTime = false;
    const SeasonRun stored = RunSeason(app, Methods(), options);
    ASSERT_EQ(decided.days.size(), 5u);
    // The sample season has the morning's odds of every day, so every day is judged at
    // decision time, each race on a snapshot.
    for (const SeasonDay& day : decided.days) {
        EXPECT_EQ(day.mode, DecisionMode::DecisionTime) << day.dayName;
        EXPECT_EQ(day.snapshots, static_cast<int>(day.races.size())) << day.dayName;
    }
    EXPECT_EQ(stored.days.back().mode, DecisionMode::Stored);
    EXPECT_EQ(ReadFileBytes(oddsFile), before);

    // The single-runner bets of the last day are now priced at the snapshot's win odds.
    const std::vector<SeasonBet>& bets = decided.days.back().methods[0].bets;
    const std::vector<SeasonBet>& plain = stored.days.back().methods[0].bets;
    ASSERT_EQ(bets.size(), plain.size());
    int repriced = 0;
    for (std::size_t i = 0; i < bets.size(); ++i) {
        repriced += (bets[i].type == BetType::Win && bets[i].decisionPayout != plain[i].decisionPayout) ? 1 : 0;
        // A snapshot holds no quinella odds: the pairs keep their predicted payouts in yen.
        if (bets[i].type == BetType::Quinella || bets[i].type == BetType::Wide) {
            EXPECT_EQ(bets[i].decisionPayout, plain[i].decisionPayout) << i;
        }
    }
    EXPECT_GT(repriced, 0);
    ExpectSameTotals(decided.days.back().methods[0].totals, stored.days.back().methods[0].totals, lastDay);
}

// Learning on the first three days, judged on the last two; the files land in a folder of
// their own until the user confirms replacing the ones in use.
TEST_F(SeasonRunTest, CalibrateWritesNewTablesBesideAndReplacesOnlyWhenConfirmed)
{
    const fs::path app = s_root / "calibrate";
    fs::copy(App(), app, fs::copy_options::recursive);
    const std::string cli = "--app-dir " + ShellQuote(app.string()) + " calibrate --threads 2 --from " +
                            DayDigits(s_days.back()) + " --to " + DayDigits(s_days.front());
    const std::optional<std::string> shippedRt = ReadFileBytes(app / "RT.dat");
    ASSERT_TRUE(shippedRt);

    const CliResult run = RunCli(cli + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("\"heldOut\":[\"" + ToUtf8(s_days[1]) + "\",\"" + ToUtf8(s_days[0]) + "\"]"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(ReadFileBytes(app / "RT.dat"), shippedRt);
    EXPECT_FALSE(fs::exists(app / kRankRateFileName));

    // The new files read as tuning files and differ from the tables in use.
    const fs::path check = s_root / "calibrate-check";
    fs::create_directories(check);
    fs::copy_file(app / "GateAdj.dat", check / "GateAdj.dat");
    for (const char* name : {"RT.dat", "senuj.dat", kRankRateFileName}) {
        fs::copy_file(app / "calibrated" / name, check / name);
    }
    TuningTables shipped;
    TuningTables calibrated;
    ASSERT_TRUE(LoadTuningTables(app, shipped));
    ASSERT_TRUE(LoadTuningTables(check, calibrated));
    EXPECT_NE(shipped.RankWinRate, calibrated.RankWinRate);
    EXPECT_NE(shipped.RotationStats.Races, calibrated.RotationStats.Races);
    EXPECT_NE(shipped.RankHitTable[1][1].HitRate + shipped.RankHitTable[8][1].HitRate,
              calibrated.RankHitTable[1][1].HitRate + calibrated.RankHitTable[8][1].HitRate);

    // The files in use are replaced only when confirmed, and never by --out.
    const CliResult unconfirmed = RunCli(cli + " --install");
    EXPECT_EQ(unconfirmed.exitCode, 2);
    EXPECT_EQ(RunCli(cli + " --out " + ShellQuote(app.string())).exitCode, 1);
    EXPECT_EQ(ReadFileBytes(app / "RT.dat"), shippedRt);
    EXPECT_FALSE(fs::exists(app / "RT.dat.old"));

    ASSERT_EQ(RunCli(cli + " --install --yes").exitCode, 0);
    EXPECT_EQ(ReadFileBytes(app / "RT.dat.old"), shippedRt);
    EXPECT_EQ(ReadFileBytes(app / "RT.dat"), ReadFileBytes(app / "calibrated" / "RT.dat"));
    EXPECT_TRUE(fs::exists(app / kRankRateFileName));
    EXPECT_FALSE(fs::exists(app / (std::string(kRankRateFileName) + ".old")));
    // A second install keeps the shipped file as the one kept.
    ASSERT_EQ(RunCli(cli + " --install --yes").exitCode, 0);
    EXPECT_EQ(ReadFileBytes(app / "RT.dat.old"), shippedRt);
}

TEST_F(SeasonRunTest, DecisionTimeRefusesTheSnapshotsTheImportRefuses)
{
    // Four races of the last day get a damaged snapshot file: a cut line, another year's
    // race under the same name, announcements of another day, a stray byte in the odds.
    const fs::path app = s_root / "refused";
    const fs::path series = s_root / "ts-damaged";
    fs::copy(App(), app, fs::copy_options::recursive);
    fs::copy(s_root / "ts", series, fs::copy_options::recursive);
    ASSERT_TRUE(ChooseOddsFolder(app, series));
    const std::string lastDay = s_days.front();
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(series / DayDigits(lastDay))) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 5u);
    const auto rewrite = [](const fs::path& file, std::size_t at, std::string_view bytes) {
        std::optional<std::string> text = ReadFileBytes(file);
        ASSERT_TRUE(text);
        for (std::size_t line = 0; line < text->size(); line = text->find('\n', line) + 1) {
            text->replace(line + at, bytes.size(), bytes);
            if (text->find('\n', line) == std::string::npos) {
                break;
            }
        }
        ASSERT_TRUE(WriteFileAtomic(file, *text));
    };
    {
        std::optional<std::string> text = ReadFileBytes(files[0]);
        ASSERT_TRUE(text);
        ASSERT_TRUE(WriteFileAtomic(files[0], *text + "O1cut\r\n"));
    }
    rewrite(files[1], 11, "1999"); // the year of the race key
    rewrite(files[2], 27, "0101"); // the month and day of the announcement
    rewrite(files[3], 45, "1X23"); // the win odds of horse 1

    SeasonRunOptions options;
    options.decisionTime = true;
    const SeasonRun decided = RunSeason(app, Methods(), options);
    ASSERT_EQ(decided.days.size(), 5u);
    const SeasonDay& day = decided.days.back();

    DaySession session(app);
    ASSERT_TRUE(session.LoadDay(lastDay).Ok());
    const TimeSeriesReport imported = session.ImportTimeSeriesOdds();
    ASSERT_TRUE(imported.io) << imported.io.message;
    EXPECT_EQ(day.snapshots, imported.taken);
    EXPECT_EQ(day.snapshots, static_cast<int>(files.size()) - 4);
    EXPECT_EQ(day.skippedSnapshots, imported.skipped);
    EXPECT_EQ(day.skippedSnapshots.size(), 3u); // the other day's announcements are simply not there
}

} // namespace
} // namespace vornal
