#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/AppDir.h"
#include "cli/CliRun.h"
#include "odds/OddsRecorder.h"
#include "odds/TimeSeriesOdds.h"
#include "session/DaySession.h"
#include "store/ReplayLink.h"
#include "store/StorePaths.h"
#include "support/TestFiles.h"
#include "text/Encoding.h"
#include "text/Fields.h"

namespace vornal {
namespace {

namespace fs = std::filesystem;
using test::CliResult;
using test::RunCli;
using test::ShellQuote;

// The replay link with faults at chosen real-time opens (counted from 1): an error answer,
// or a call that hangs for minutes on the clock before it fails, as a bridge call past its
// deadline does.
class FaultyLink : public ReplayLink
{
public:
    FaultyLink(fs::path feed, SimulatedClock& clock) : ReplayLink(std::move(feed)), m_clock(clock) {}
    std::map<int, int> openErrors; // open number -> code
    std::map<int, int> readErrors; // open number -> JVRead code after the open succeeded
    std::map<int, int> hangs;      // open number -> minutes
    int opens = 0;

    int JVRTOpen(std::string_view spec, std::string_view key) override
    {
        ++opens;
        if (auto hang = hangs.find(opens); hang != hangs.end()) {
            m_clock.Advance(hang->second);
            return -401;
        }
        if (auto error = openErrors.find(opens); error != openErrors.end()) {
            return error->second;
        }
        m_readError = readErrors.contains(opens) ? readErrors[opens] : 0;
        return ReplayLink::JVRTOpen(spec, key);
    }
    int JVRead(std::string& record, int size, std::string& file) override
    {
        if (m_readError != 0) {
            return std::exchange(m_readError, 0);
        }
        return ReplayLink::JVRead(record, size, file);
    }

private:
    SimulatedClock& m_clock;
    int m_readError = 0;
};

// A generated season acquired into an application folder, and its last day loaded: the
// generator's own time-series files are what a recording of the morning must come to.
class OddsRecordingTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_root = fs::temp_directory_path() / ("vornal-recording-" + std::to_string(::getpid()));
        fs::remove_all(s_root);
        const std::string app = ShellQuote((s_root / "app").string());
        const CliResult generated =
            RunCli("samplegen --feed " + ShellQuote((s_root / "feed").string()) + " --days 2 --courses 2 --tuning " +
                   app + " --timeseries " + ShellQuote((s_root / "ts").string()));
        ASSERT_EQ(generated.exitCode, 0) << generated.out;
        const std::size_t at = generated.out.find("--from \"");
        ASSERT_NE(at, std::string::npos);
        ASSERT_EQ(RunCli("--app-dir " + app + " acquire --feed " + ShellQuote((s_root / "feed").string()) +
                         " --from '" + generated.out.substr(at + 8, 19) + "'")
                      .exitCode,
                  0);
        s_day = StoredDayNames(s_root / "app").front();
    }
    static void TearDownTestSuite() { fs::remove_all(s_root); }

    void SetUp() override
    {
        m_app = s_root / ("app-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_app);
        fs::copy(s_root / "app", m_app, fs::copy_options::recursive);
        m_session = std::make_unique<DaySession>(m_app);
        ASSERT_TRUE(m_session->LoadDay(s_day).Ok()) << ToUtf8(s_day);
        m_races = RecordingRaces(*m_session->Day());
        ASSERT_GE(m_races.size(), 12u);
        m_options.seriesFolder = m_app / "recorded";
        m_options.everyMinutes = 10;
    }

    std::string Digits() const { return DayDigits(s_day); }
    LocalDateTime At(int hour, int minute) const
    {
        const std::string d = Digits();
        return {std::stoi(d.substr(0, 4)), std::stoi(d.substr(4, 2)), std::stoi(d.substr(6, 2)), hour, minute, 0};
    }
    // Every recorded file by its name under the day's folder.
    std::map<std::string, std::string> Files(const fs::path& folder) const
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(folder / Digits())) {
            files[entry.path().filename().string()] = test::Slurp(entry.path());
        }
        return files;
    }
    OddsRecordingReport Record(JvLink& link, SimulatedClock& clock, const CancelFlag& cancel,
                               const std::function<void(const RecordingStatus&)>& status = {})
    {
        EXPECT_EQ(link.JVInit(kJvSoftwareId), 0);
        return m_session->RecordOdds(link, m_races, Digits(), m_options, clock, cancel, status);
    }

    static inline fs::path s_root;
    static inline std::string s_day;
    fs::path m_app;
    std::unique_ptr<DaySession> m_session;
    std::vector<RecordedRace> m_races;
    OddsRecordingOptions m_options;
};

// Every line a whole record, no announcement twice.
void ExpectSoundFile(const std::string& name, const std::string& bytes)
{
    std::set<std::string> announced;
    for (const std::string& line : SplitLfLines(bytes)) {
        EXPECT_EQ(line.size(), 960u) << name;
        EXPECT_TRUE(announced.insert(line.substr(27, 8)).second) << name << " " << line.substr(27, 8);
    }
    EXPECT_TRUE(bytes.ends_with("\r\n")) << name;
}

TEST_F(OddsRecordingTest, ARaceMorningOnAClockRecordsWhatTheImportTakes)
{
    SimulatedClock clock(At(8, 50));
    ReplayLink link(s_root / "feed");
    link.SetClock(&clock);
    CancelFlag cancel;
    int locked = 0;
    m_session->SetWriteObserver([&](std::string_view what) { locked += what == "recordodds" ? 1 : 0; });
    std::vector<RecordingStatus> waits;
    const OddsRecordingReport report = Record(link, clock, cancel, [&](const RecordingStatus& status) {
        if (status.waiting) {
            waits.push_back(status);
        }
    });
    EXPECT_TRUE(report.refusal.empty());
    EXPECT_FALSE(report.cancelled);
    EXPECT_EQ(report.status.errors, 0);
    EXPECT_EQ(report.status.racesDone, static_cast<int>(m_races.size()));
    // Each snapshot written under the store lock, taken for that write alone.
    EXPECT_EQ(locked, report.status.snapshots);
    ASSERT_FALSE(waits.empty());
    EXPECT_EQ(waits.front().nextFetch->hour * 60 + waits.front().nextFetch->minute, 9 * 60);

    // The fetches every ten minutes and at each post time catch every announcement the
    // generator wrote, in its order: the files are the outside program's files byte for byte.
    const std::map<std::string, std::string> recorded = Files(m_options.seriesFolder);
    EXPECT_EQ(recorded, Files(s_root / "ts"));
    EXPECT_EQ(recorded.size(), m_races.size());

    // The import takes each race's snapshot from the recording.
    ASSERT_TRUE(ChooseOddsFolder(m_app, m_options.seriesFolder));
    const TimeSeriesReport imported = m_session->ImportTimeSeriesOdds();
    EXPECT_EQ(imported.taken, static_cast<int>(m_races.size()));
    EXPECT_TRUE(imported.skipped.empty());

    // A recording on a clock past every post time has nothing left to fetch.
    SimulatedClock evening(At(20, 0));
    link.SetClock(&evening);
    const OddsRecordingReport late = Record(link, evening, cancel);
    EXPECT_EQ(late.status.fetches, 0);
    EXPECT_EQ(Files(m_options.seriesFolder), recorded);
}

TEST_F(OddsRecordingTest, FailedAndHungFetchesAreLoggedRetriedAndLoseNothingSeen)
{
    SimulatedClock clock(At(8, 50));
    FaultyLink link(s_root / "feed", clock);
    link.SetClock(&clock);
    // Early in the morning: open errors and a read error; later the link hangs 25 minutes.
    link.openErrors = {{3, -502}, {40, -504}, {41, -504}};
    link.readErrors = {{60, -503}};
    link.hangs = {{300, 25}};
    CancelFlag cancel;
    const OddsRecordingReport report = Record(link, clock, cancel);
    EXPECT_FALSE(report.cancelled);
    EXPECT_EQ(report.status.errors, 5);
    EXPECT_EQ(report.status.racesDone, static_cast<int>(m_races.size()));
    const std::string log = test::Slurp(m_app / "ErrorLog.txt");
    for (const std::string& line : report.errorLines) {
        EXPECT_NE(log.find(line), std::string::npos) << ToUtf8(line);
    }
    EXPECT_NE(ToUtf8(report.errorLines.front()).find("R:ｵｯｽﾞ取得エラー："), std::string::npos)
        << ToUtf8(report.errorLines.front());

    // Every file is sound and holds, in order, announcements the generator made; each race
    // keeps its last announcement before the off. Only what was announced and replaced again
    // while the link hung can be missing.
    const std::map<std::string, std::string> reference = Files(s_root / "ts");
    const std::map<std::string, std::string> recorded = Files(m_options.seriesFolder);
    ASSERT_EQ(recorded.size(), reference.size());
    int missing = 0;
    for (const auto& [name, bytes] : recorded) {
        ExpectSoundFile(name, bytes);
        const std::vector<std::string> expected = SplitLfLines(reference.at(name));
        const std::vector<std::string> lines = SplitLfLines(bytes);
        std::size_t e = 0;
        for (const std::string& line : lines) {
            while (e < expected.size() && expected[e] != line) {
                ++e;
                ++missing;
            }
            ASSERT_LT(e, expected.size()) << name << ": a line the generator never wrote, or out of order";
            ++e;
        }
        EXPECT_EQ(lines.back(), expected.back()) << name;
    }
    EXPECT_GT(missing, 0);
    EXPECT_LE(missing, 3 * static_cast<int>(m_races.size()));
}

TEST_F(OddsRecordingTest, ACancelKeepsEverySnapshotAndARestartAddsOnlyTheRest)
{
    SimulatedClock clock(At(8, 50));
    ReplayLink link(s_root / "feed");
    link.SetClock(&clock);
    CancelFlag cancel;
    const OddsRecordingReport first = Record(link, clock, cancel, [&](const RecordingStatus& status) {
        if (status.snapshots >= 100) {
            cancel.Set();
        }
    });
    EXPECT_TRUE(first.cancelled);
    int kept = 0;
    for (const auto& [name, bytes] : Files(m_options.seriesFolder)) {
        ExpectSoundFile(name, bytes);
        kept += static_cast<int>(SplitLfLines(bytes).size());
    }
    EXPECT_EQ(kept, first.status.snapshots);

    // The restart goes over the morning again from the start.
    SimulatedClock again(At(8, 50));
    link.SetClock(&again);
    CancelFlag go;
    const OddsRecordingReport second = Record(link, again, go);
    EXPECT_FALSE(second.cancelled);
    EXPECT_EQ(second.duplicates, first.status.snapshots);
    EXPECT_EQ(Files(m_options.seriesFolder), Files(s_root / "ts"));
}

} // namespace
} // namespace vornal
