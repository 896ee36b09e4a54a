#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <thread>
#include <atomic>
#include <vector>

#include <unistd.h>

#include "cli/CliRun.h"
#include "raceday/RaceDayJson.h"
#include "raceday/JsonWriter.h"
#include "session/DaySession.h"
#include "app/AppDir.h"
#include "app/Settings.h"
#include "store/ReplayLink.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

namespace fs = std::filesystem;
using test::CliResult;
using test::RunCli;
using test::ShellQuote;

// A small generated store shared by the tests of this file (generating it takes a moment).
class DaySessionTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_root = fs::temp_directory_path() / ("vornal-session-" + std::to_string(::getpid()));
        fs::remove_all(s_root);
        fs::create_directories(s_root);
        const std::string app = ShellQuote((s_root / "app").string());
        const std::string feed = ShellQuote((s_root / "feed").string());
        const CliResult generated = RunCli("samplegen --feed " + feed + " --days 3 --tuning " + app);
        ASSERT_EQ(generated.exitCode, 0) << generated.out;
        const std::size_t at = generated.out.find("--from \"");
        ASSERT_NE(at, std::string::npos);
        const std::string from = generated.out.substr(at + 8, 19);
        ASSERT_EQ(RunCli("--app-dir " + app + " acquire --feed " + feed + " --from '" + from + "'").exitCode, 0);
        s_days = StoredDayNames(s_root / "app");
        ASSERT_EQ(s_days.size(), 3u);
    }
    static void TearDownTestSuite() { fs::remove_all(s_root); }

    static std::string Json(const RaceDay& day, const std::string& dayName)
    {
        std::string out;
        JsonWriter json(out);
        WriteDayJson(json, day, dayName);
        return out;
    }

    static fs::path App() { return s_root / "app"; }

    static inline fs::path s_root;
    static inline std::vector<std::string> s_days;
};

TEST_F(DaySessionTest, PassesRunInTheirFixedOrderAroundTheIdentificationFields)
{
    DaySession session(App());
    std::vector<std::string> order;
    session.SetPassObserver([&](DayPassKind pass, const RaceDay& day) {
        static const char* kNames[] = {"ratings", "payouts", "lap", "axis", "results", "pipeline"};
        order.push_back(std::string(kNames[static_cast<int>(pass)]) + (day.Races[0].SlotKey.empty() ? "" : "+id"));
    });
    ASSERT_TRUE(session.LoadDay(s_days[1]).Ok());
    EXPECT_EQ(order, (std::vector<std::string>{"ratings", "payouts", "lap", "axis", "results+id", "pipeline+id"}));
}

TEST_F(DaySessionTest, ACancelledLoadAtAnyPassLeavesTheShownDayAsItWas)
{
    DaySession session(App());
    ASSERT_TRUE(session.LoadDay(s_days[0]).Ok());
    const RaceDay* shown = session.Day();
    const std::string before = Json(*shown, s_days[0]);

    for (int at = 0; at <= static_cast<int>(DayPassKind::DayPipeline); ++at) {
        CancelFlag cancel;
        session.SetPassObserver([&](DayPassKind pass, const RaceDay&) {
            if (static_cast<int>(pass) == at) {
                cancel.Set();
            }
        });
        const LoadResult result = session.LoadDay(s_days[1], nullptr, &cancel);
        // The flag set during a pass is seen before the next one; set during the last, the
        // load has finished and stands.
        if (at < static_cast<int>(DayPassKind::DayPipeline)) {
            EXPECT_EQ(result.outcome, LoadOutcome::Cancelled) << at;
            EXPECT_EQ(session.Day(), shown) << at;
            EXPECT_EQ(session.DayName(), s_days[0]);
            EXPECT_EQ(Json(*session.Day(), s_days[0]), before) << at;
        } else {
            EXPECT_TRUE(result.Ok());
            EXPECT_EQ(session.DayName(), s_days[1]);
        }
    }
    // Cancelled before it starts: nothing read at all.
    CancelFlag early;
    early.Set();
    session.SetPassObserver(nullptr);
    ASSERT_TRUE(session.LoadDay(s_days[0]).Ok());
    EXPECT_EQ(session.LoadDay(s_days[1], nullptr, &early).outcome, LoadOutcome::Cancelled);
    EXPECT_EQ(session.DayName(), s_days[0]);
}

TEST_F(DaySessionTest, AFreshLoadGivesWhatALoadInPlaceGives)
{
    for (const std::string& first : s_days) {
        for (const std::string& second : s_days) {
            DaySession session(App());
            ASSERT_TRUE(session.LoadDay(first).Ok());
            ASSERT_TRUE(session.LoadDay(second).Ok());
            // The store read into one day after the other, in place.
            auto inPlace = std::make_unique<RaceDay>();
            LoadOptions options;
            options.appDir = App();
            ASSERT_TRUE(ReadRaceDay(*inPlace, first, options).Ok());
            ASSERT_TRUE(ReadRaceDay(*inPlace, second, options).Ok());
            for (int r = 0; r < kRaceSlots; ++r) {
                for (int h = 0; h < kRunnerSlots; ++h) {
                    const Runner& kept = session.Day()->Races[r].Runners[h];
                    const Runner& expected = inPlace->Races[r].Runners[h];
                    ASSERT_EQ(kept.WinOdds, expected.WinOdds) << r << " " << h;
                    ASSERT_EQ(kept.PlaceOddsLow, expected.PlaceOddsLow) << r << " " << h;
                }
            }
            // And the day itself does not depend on what was shown before.
            DaySession alone(App());
            ASSERT_TRUE(alone.LoadDay(second).Ok());
            EXPECT_EQ(Json(*session.Day(), second), Json(*alone.Day(), second));
        }
    }
    // A missing master refuses the load and the previous day stays shown.
    DaySession session(App());
    ASSERT_TRUE(session.LoadDay(s_days[0]).Ok());
    const fs::path master = JockeyMasterFile(App(), s_days[1]);
    fs::rename(master, master.string() + ".away");
    EXPECT_EQ(session.LoadDay(s_days[1]).outcome, LoadOutcome::MissingMaster);
    fs::rename(master.string() + ".away", master);
    EXPECT_EQ(session.DayName(), s_days[0]);
}

TEST_F(DaySessionTest, CloneIsTheSameDay)
{
    DaySession session(App());
    ASSERT_TRUE(session.LoadDay(s_days[1]).Ok());
    const std::unique_ptr<RaceDay> copy = session.Day()->Clone();
    EXPECT_EQ(Json(*copy, s_days[1]), Json(*session.Day(), s_days[1]));
}

} // namespace
} // namespace vornal

namespace vornal {
namespace {

TEST_F(DaySessionTest, ADayPreparedOnAnotherThreadWhileTheShownDayIsRead)
{
    DaySession session(App());
    ASSERT_TRUE(session.LoadDay(s_days[0]).Ok());
    const std::string shown = Json(*session.Day(), s_days[0]);

    PreparedDay prepared;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        prepared = session.PrepareDay(s_days[1]);
        done = true;
    });
    // The face keeps reading (and showing) the day while the next one is prepared.
    int reads = 0;
    while (!done && reads < 50) {
        EXPECT_EQ(Json(*session.Day(), s_days[0]), shown);
        ++reads;
    }
    worker.join();
    EXPECT_EQ(session.DayName(), s_days[0]);
    ASSERT_TRUE(session.AdoptDay(std::move(prepared)).Ok());
    EXPECT_EQ(session.DayName(), s_days[1]);

    DaySession alone(App());
    ASSERT_TRUE(alone.LoadDay(s_days[1]).Ok());
    EXPECT_EQ(Json(*session.Day(), s_days[1]), Json(*alone.Day(), s_days[1]));
}

TEST_F(DaySessionTest, AMethodChangeRerunsThePipelineAlone)
{
    DaySession session(App());
    ASSERT_TRUE(session.LoadDay(s_days[0]).Ok());
    const RaceDay& day = *session.Day();
    EXPECT_EQ(day.BetKindSuffix, "_No01");
    const auto payouts = day.Races[0].PredictedQuinellaPayout;
    const double prob = day.Races[0].Runners[0].AchievementProb;

    int passes = 0;
    session.SetPassObserver([&](DayPassKind, const RaceDay&) { ++passes; });
    session.SetBetMethod(BetMethod{BetMethodKind::No2, std::nullopt});
    ASSERT_TRUE(session.RerunDayPipeline());
    EXPECT_EQ(passes, 0);
    EXPECT_EQ(session.Day(), &day) << "the same day, not a reload";
    EXPECT_EQ(day.BetKindSuffix, "_No02");
    EXPECT_EQ(day.Races[0].PredictedQuinellaPayout, payouts);
    EXPECT_EQ(day.Races[0].Runners[0].AchievementProb, prob);

    // The user method without a set: the day says so, bets nothing and files nothing.
    session.SetBetMethod(BetMethod{BetMethodKind::User, std::nullopt});
    ASSERT_TRUE(session.RerunDayPipeline());
    ASSERT_FALSE(session.PipelineMessages().empty());
    EXPECT_EQ(session.PipelineMessages()[0], NoUserSetMessage());
    for (const BetRecord& bets : day.Bets) {
        EXPECT_TRUE(bets.BetCombos[1].empty());
        EXPECT_EQ(bets.BetRunner, 0);
    }
    EXPECT_EQ(session.Totals()[BetType::Quinella].Points, 0);
}

} // namespace
} // namespace vornal

namespace vornal {
namespace {

TEST_F(DaySessionTest, TheMastersAreReadOncePerLoad)
{
    // The rating pass rates from the masters the load indexed: the files may be gone by then.
    DaySession session(App());
    const fs::path jockeys = JockeyMasterFile(App(), s_days[1]);
    const fs::path aside = jockeys.string() + ".aside";
    session.SetPassObserver([&](DayPassKind pass, const RaceDay&) {
        if (pass == DayPassKind::Ratings) {
            fs::rename(jockeys, aside);
        }
    });
    const LoadResult result = session.LoadDay(s_days[1]);
    fs::rename(aside, jockeys);
    EXPECT_TRUE(result.Ok()) << ToUtf8(result.message);
    DaySession again(App());
    ASSERT_TRUE(again.LoadDay(s_days[1]).Ok());
    EXPECT_EQ(Json(*session.Day(), s_days[1]), Json(*again.Day(), s_days[1]));
}

} // namespace
} // namespace vornal

namespace vornal {
namespace {

TEST_F(DaySessionTest, EveryFieldOfTheRaceDayIsInTheJson)
{
    // The field names as the model declares them, read from its header, so a field added
    // there and forgotten in the JSON fails here.
    std::ifstream header(std::string(VORNAL_SOURCE_DIR) + "/raceday/RaceDay.h");
    const std::regex field(R"(^\s+[A-Za-z:<>, 0-9_+]+\s+([A-Z][A-Za-z0-9]*)(\{\})?( = [^;]*)?;)");
    // The raw records and the containers are reached through their fields; the file paths
    // are the machine's, not the day's.
    const std::set<std::string> notInJson = {"RaceRA", "RaceHR", "RaceO1", "RaceO2", "RunnerSE", "RunnerUM",
                                             "PastSE", "PastRA", "Races",  "Runners", "Past",     "Bets",
                                             "OddsO1Path", "OddsO2Path"};
    DaySession session(App());
    ASSERT_TRUE(session.LoadDay(s_days[1]).Ok());
    const std::string json = Json(*session.Day(), s_days[1]);
    int checked = 0;
    for (std::string line; std::getline(header, line);) {
        std::smatch match;
        if (std::regex_search(line, match, field) && notInJson.count(match[1]) == 0) {
            EXPECT_NE(json.find("\"" + match[1].str() + "\":"), std::string::npos) << match[1];
            ++checked;
        }
    }
    EXPECT_GT(checked, 150);
}

// Runs last: it rewrites the odds file of the newest day.
TEST_F(DaySessionTest, QuickOddsRefreshTheOddsOfTheRaceButNotTheBets)
{
    DaySession session(App());
    ASSERT_TRUE(session.LoadDay(s_days[0]).Ok());
    const RaceDay& day = *session.Day();
    const RaceSlot before = day.Races[2];
    const RaceSlot neighbour = day.Races[3];
    const BetRecord bets = day.Bets[2];
    ASSERT_GT(before.PredictedQuinellaPayout[1], 0.0) << "predicted before the import";

    ReplayLink link(s_root / "feed");
    ASSERT_EQ(link.JVInit(kJvSoftwareId), 0);
    CancelFlag cancel;
    const OddsFetchReport report = session.FetchOdds(link, 2, cancel);
    EXPECT_EQ(report.racesOpened, 1);
    EXPECT_GT(report.recordsStored, 0);
    EXPECT_EQ(report.ErrorCount(), 0);

    const RaceSlot& after = session.Day()->Races[2];
    EXPECT_NE(after.OddsO1Time, before.OddsO1Time);
    for (int h = 0; h < after.RunnerCount; ++h) {
        EXPECT_TRUE(after.Runners[h].WinOdds > 0.0 || after.Runners[h].WinOdds == -1.0) << h;
    }
    EXPECT_GT(after.BracketOddsValue[1], 0.0);
    // The store holds no quinella odds records: the race keeps its predicted payouts, which
    // its bets, matrix and sheets rest on.
    EXPECT_EQ(after.PredictedQuinellaPayout, before.PredictedQuinellaPayout);
    // The day pipeline is not rerun: the bets stay as the load chose them.
    EXPECT_EQ(session.Day()->Bets[2].BetCombos, bets.BetCombos);
    // Other races keep their odds.
    EXPECT_EQ(session.Day()->Races[3].OddsO1Time, neighbour.OddsO1Time);
    EXPECT_EQ(session.Day()->Races[3].PredictedQuinellaPayout, neighbour.PredictedQuinellaPayout);
}

TEST_F(DaySessionTest, APreparedRerunLeavesTheShownDayUntilAdopted)
{
    DaySession session(App());
    ASSERT_TRUE(session.LoadDay(s_days[0]).Ok());
    const RaceDay* shown = session.Day();
    session.SetBetMethod(BetMethod{BetMethodKind::No2, std::nullopt});
    PreparedDay rerun = session.PreparePipelineRerun();
    ASSERT_TRUE(rerun.result.Ok());
    ASSERT_TRUE(rerun.day);
    EXPECT_EQ(shown->BetKindSuffix, "_No01");
    EXPECT_EQ(rerun.day->BetKindSuffix, "_No02");
    ASSERT_TRUE(session.AdoptDay(std::move(rerun)).Ok());
    EXPECT_EQ(session.Day()->BetKindSuffix, "_No02");
    EXPECT_EQ(session.DayName(), s_days[0]);
}

// A view that sets the run's cancel flag from "the window's thread" once the download began.
struct CancellingView : AcquisitionView
{
    CancelFlag* cancel = nullptr;
    std::vector<std::string> messages;
    void SetLine(int, const std::string&) override {}
    void SetBar(int bar, int position, int) override
    {
        if (bar == 0 && position > 0) {
            std::thread([flag = cancel] { flag->Set(); }).join();
        }
    }
    void ClearCreatedFiles() override {}
    void AddCreatedFile(const std::string&) override {}
    void ShowMessage(const std::string& text) override { messages.push_back(ToUtf8(text)); }
    void Beep() override {}
};

TEST_F(DaySessionTest, AnAcquisitionOnAWorkerStopsAtAFlagSetByAnotherThread)
{
    const fs::path feed = s_root / "feed";
    const fs::path app = s_root / "acquire-cancel";
    fs::create_directories(app);
    std::ofstream(feed / "link.ini") << "[link]\ndownload=3\n";
    ReplayLink link(feed);
    ASSERT_EQ(link.JVInit(kJvSoftwareId), 0);
    CancelFlag cancel;
    CancellingView view;
    view.cancel = &cancel;
    const Settings settings(SettingsFile(app));
    DaySession session(app);
    Acquisition acquisition(link, app, settings, DefaultClock(), cancel, view);
    acquisition.SetFromTime({2000, 1, 1, 0, 0, 0});
    AcquisitionOutcome outcome = AcquisitionOutcome::None;
    std::thread worker([&] { outcome = session.Acquire(acquisition).value; });
    worker.join();
    fs::remove(feed / "link.ini");
    EXPECT_EQ(outcome, AcquisitionOutcome::Cancelled);
    ASSERT_FALSE(view.messages.empty());
    EXPECT_EQ(view.messages.back(), "JVCancel:キャンセルされました");
    EXPECT_TRUE(StoredDayNames(app).empty());
}

// Every swap of the day shown is announced with the new day; the old one is gone by then.
TEST_F(DaySessionTest, EverySwapOfTheDayShownTellsItsHoldersTheNewDay)
{
    DaySession session(App());
    std::vector<const RaceDay*> told;
    const int handle = session.OnDayReplaced([&](const RaceDay& day) {
        EXPECT_EQ(&day, session.Day());
        told.push_back(&day);
    });
    ASSERT_TRUE(session.LoadDay(s_days[0]).Ok());
    ASSERT_EQ(told.size(), 1u);
    // A refused load swaps nothing and tells no one.
    EXPECT_FALSE(session.LoadDay("2026\x94N13\x8c\x8e" "40\x93\xfa").Ok());
    EXPECT_EQ(told.size(), 1u);
    ASSERT_TRUE(session.AdoptDay(session.PreparePipelineRerun()).Ok());
    ASSERT_EQ(told.size(), 2u);
    ReplayLink link(s_root / "feed");
    ASSERT_EQ(link.JVInit(kJvSoftwareId), 0);
    CancelFlag cancel;
    session.FetchOdds(link, std::nullopt, cancel);
    ASSERT_EQ(told.size(), 3u);
    // Refused without a time-series folder: no swap.
    EXPECT_TRUE(session.ImportTimeSeriesOdds().refused);
    EXPECT_EQ(told.size(), 3u);
    session.ForgetDayReplaced(handle);
    ASSERT_TRUE(session.LoadDay(s_days[1]).Ok());
    EXPECT_EQ(told.size(), 3u);
}

} // namespace
} // namespace vornal

namespace vornal {
namespace {

TEST_F(DaySessionTest, ALoadThatFailsAfterTheClearShowsTheDateEmpty)
{
    // Each face adopts the load it prepared; a missing race file or a cut runner file must
    // leave neither the half-read day nor the previous date's races under the new date.
    const auto expectEmptied = [](LoadOutcome expected) {
        DaySession session(App());
        ASSERT_TRUE(session.LoadDay(s_days[0]).Ok());
        ASSERT_GT(RaceListCount(*session.Day()), 0);
        int told = 0;
        session.OnDayReplaced([&](const RaceDay&) { ++told; });
        const LoadResult failed = session.LoadDay(s_days[1]);
        EXPECT_EQ(failed.outcome, expected);
        EXPECT_FALSE(failed.message.empty());
        EXPECT_EQ(told, 1);
        EXPECT_EQ(session.DayName(), s_days[1]);
        EXPECT_EQ(RaceListCount(*session.Day()), 0);
        EXPECT_EQ(session.Totals()[BetType::Win].Points, 0);
        EXPECT_TRUE(session.Day()->BetKindSuffix.empty());
    };

    const fs::path raceFile = RaceFile(App(), s_days[1]);
    fs::rename(raceFile, raceFile.string() + ".away");
    expectEmptied(LoadOutcome::MissingRaceFile);
    fs::rename(raceFile.string() + ".away", raceFile);

    fs::path runnerFile;
    for (const fs::directory_entry& entry : fs::directory_iterator(raceFile.parent_path())) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(raceFile.stem().string()) && name.ends_with(".jvSEr")) {
            runnerFile = entry.path();
        }
    }
    ASSERT_FALSE(runnerFile.empty());
    fs::copy_file(runnerFile, runnerFile.string() + ".whole");
    fs::resize_file(runnerFile, 1000);
    expectEmptied(LoadOutcome::ReadFailed);
    fs::rename(runnerFile.string() + ".whole", runnerFile);
}

} // namespace
} // namespace vornal
