#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "app/AppDir.h"
#include "store/Acquisition.h"
#include "store/DayStoreWriter.h"
#include "store/MasterFiles.h"
#include "store/RecordFiling.h"
#include "store/ReplayLink.h"
#include "store/StorePaths.h"

#include "store/AcquisitionSupport.h"

// The run's in-memory batch must leave exactly the bytes that storing record by record
// leaves: the plain way, where every record loads its file, changes one line, sorts and
// saves it. The reference below does that with its own file handling.
namespace vornal {
namespace {

using test::RaceId;

class PerRecordWriter : public DayStoreWriter
{
public:
    Status UpsertRaceLine(const std::filesystem::path& path, std::string_view record, bool dropBlankFirst) override
    {
        std::vector<std::string> lines = Load(path);
        const std::string line(record.substr(0, record.size() - 2));
        const std::string key(record.substr(11, 16));
        bool replaced = false;
        for (std::string& existing : lines) {
            if (existing.size() > 11 && existing.substr(11, 16) == key) {
                existing = line;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            lines.push_back(line);
        }
        std::sort(lines.begin(), lines.end());
        if (dropBlankFirst && !lines.empty() &&
            lines.front().find_first_not_of(std::string("\0\t\r\n ", 5)) == std::string::npos) {
            lines.erase(lines.begin());
        }
        Save(path, lines);
        return Status::Success();
    }

    Status PutRunnerLine(const std::filesystem::path& path, std::string_view record) override
    {
        const int race = std::stoi(std::string(record.substr(25, 2)));
        const int horse = std::stoi(std::string(record.substr(28, 2)));
        if (race < 1 || race > 12 || horse < 1 || horse > 18) {
            return Status::Success();
        }
        std::vector<std::string> lines =
            std::filesystem::exists(path) ? Load(path) : std::vector<std::string>(216, std::string(553, ' '));
        lines.resize(std::max<std::size_t>(lines.size(), 216), std::string(553, ' '));
        lines[static_cast<std::size_t>((race - 1) * 18 + horse - 1)] = std::string(record.substr(0, record.size() - 2));
        Save(path, lines);
        return Status::Success();
    }

private:
    static std::vector<std::string> Load(const std::filesystem::path& path)
    {
        std::vector<std::string> lines;
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::size_t start = 0;
        while (start < bytes.size()) {
            const std::size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
            lines.push_back(bytes.substr(start, end - start));
            start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        }
        return lines;
    }
    static void Save(const std::filesystem::path& path, const std::vector<std::string>& lines)
    {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        for (const std::string& line : lines) {
            out << line << "\r\n";
        }
    }
};

// A small deterministic generator, so the feed is the same on every machine.
class Dice
{
public:
    int Roll(int sides)
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((m_state >> 33) % static_cast<unsigned long long>(sides));
    }

private:
    unsigned long long m_state = 20260110;
};

// Race days around "today" (10 January 2026), two racecourses each, runs of a pool of
// horses, corrections of earlier records in later files, every data division, masters.
void WriteFeed(const std::filesystem::path& feed)
{
    Dice dice;
    const std::string divisions = "1234567AB90";
    const char* days[] = {"20251227", "20251228", "20260104", "20260105", "20260106", "20260110", "20260111"};
    const char* courses[] = {"05", "06", "08", "09", "44"};
    std::vector<std::string> records;
    for (const char* day : days) {
        for (int c = 0; c < 2; ++c) {
            RaceId id;
            id.date = day;
            id.course = courses[dice.Roll(5)];
            for (id.race = 1; id.race <= 9; ++id.race) {
                const char division = divisions[static_cast<std::size_t>(dice.Roll(11))];
                records.push_back(test::RaRecord(division, id, "race" + std::to_string(dice.Roll(1000))));
                for (int horse = 1; horse <= 4 + dice.Roll(8); ++horse) {
                    const std::string horseId = "20190" + std::to_string(10000 + dice.Roll(120));
                    records.push_back(test::SeRecord(divisions[static_cast<std::size_t>(dice.Roll(11))], id,
                                                     horse + (dice.Roll(40) == 0 ? 12 : 0), horseId,
                                                     "run" + std::to_string(dice.Roll(1000))));
                }
                records.push_back(test::HrRecord(division, id, std::to_string(dice.Roll(9999))));
            }
        }
    }
    // One race of a date whose stored file has two blank lines: only one of them goes.
    RaceId lone;
    lone.date = "20251220";
    records.push_back(test::RaRecord('1', lone));
    for (int i = 0; i < 30; ++i) {
        records.push_back(test::MasterRecord("KS", "0" + std::to_string(1000 + dice.Roll(50)), "k"));
        records.push_back(test::MasterRecord("CH", "0" + std::to_string(2000 + dice.Roll(50)), "c"));
        records.push_back(test::MasterRecord("UM", "20190" + std::to_string(10000 + dice.Roll(120)), "u"));
    }
    // Later files repeat some records with other contents: the newer record wins its line.
    const std::size_t original = records.size();
    for (int i = 0; i < 150; ++i) {
        std::string again = records[static_cast<std::size_t>(dice.Roll(static_cast<int>(original)))];
        again = test::Put(again, 45, "corrected" + std::to_string(i));
        records.push_back(again);
    }
    std::size_t start = 0;
    for (int file = 0; start < records.size(); ++file) {
        const std::size_t count =
            std::min<std::size_t>(records.size() - start, 40 + static_cast<std::size_t>(dice.Roll(80)));
        test::WriteStoredFile(
            feed, fmt::sprintf("202601%02d%02d0000", 3 + file / 24, file % 24), "f",
            {records.begin() + static_cast<long>(start), records.begin() + static_cast<long>(start + count)});
        start += count;
    }
}

// A store from an earlier run, with the marks of other writers: an unsorted race file with
// blank lines and LF line ends, a short runner file, a history line, an old master file.
void WriteEarlierStore(const std::filesystem::path& app)
{
    RaceId id;
    id.date = "20260105";
    id.course = "06";
    const std::string day = DayNameFromDigits(id.date);
    id.race = 7;
    std::string late = test::RaRecord('1', id);
    id.race = 2;
    std::string early = test::RaRecord('1', id);
    test::Spit(RaceFile(app, day), late.substr(0, 1270) + "\n\n   \n" + early.substr(0, 1270));
    id.date = "20251220";
    test::Spit(RaceFile(app, DayNameFromDigits(id.date)),
               "\r\n\r\n" + test::RaRecord('1', id).substr(0, 1270) + "\r\n");
    test::Spit(RunnerFile(app, day, "08"), std::string(553, ' ') + "\r\n");
    test::Spit(HorseHistoryFile(app, "2019010005"), test::SeRecord('7', id, 3, "2019010005").substr(0, 553) + "\r\n");
    test::Spit(JockeyMasterFile(app, DayNameFromDigits("20260104")), "earlier\r\n");
}

TEST(StoreEquivalence, BatchLeavesTheBytesOfThePerRecordRewrite)
{
    test::TempDir feed;
    WriteFeed(feed.Path());
    const FixedClock clock({2026, 1, 10, 10, 0, 0});

    test::TempDir batched;
    ASSERT_TRUE(EnsureAppFolders(batched.Path()));
    WriteEarlierStore(batched.Path());
    {
        ReplayLink link(feed.Path());
        link.JVInit(kJvSoftwareId);
        Settings settings(SettingsFile(batched.Path()));
        CancelFlag cancel;
        test::RecordingView view;
        Acquisition window(link, batched.Path(), settings, clock, cancel, view);
        window.SetFromTime({2026, 1, 1, 0, 0, 0});
        window.Start();
        ASSERT_EQ(window.Outcome(), AcquisitionOutcome::Completed);
        ASSERT_GT(window.ReadCount(), 10);
        std::filesystem::remove(SettingsFile(batched.Path()));
    }

    test::TempDir plain;
    ASSERT_TRUE(EnsureAppFolders(plain.Path()));
    WriteEarlierStore(plain.Path());
    {
        ReplayLink link(feed.Path());
        link.JVInit(kJvSoftwareId);
        ASSERT_EQ(link.JVOpen(kBulkDataSpec, "20260101000000", kBulkOpenOption).code, 0);
        PerRecordWriter writer;
        std::set<std::string> dates;
        MasterLists masters;
        AcquisitionFiler filer(plain.Path(), writer, RecentRaceCutoff(clock.Now()), dates, masters);
        std::string record;
        std::string fileName;
        std::vector<std::string> reported;
        int result = 0;
        while ((result = link.JVRead(record, kJvReadBufferSize, fileName)) != kJvReadEnd) {
            if (result > 0) {
                ASSERT_TRUE(filer.File(record, reported));
            }
        }
        ASSERT_TRUE(WriteMasterFiles(plain.Path(), masters, dates, 110).io);
    }

    const auto expected = test::Tree(plain.Path());
    const auto actual = test::Tree(batched.Path());
    ASSERT_GT(expected.size(), 100u);
    EXPECT_EQ(actual.size(), expected.size());
    for (const auto& [name, bytes] : expected) {
        const auto found = actual.find(name);
        ASSERT_NE(found, actual.end()) << ToUtf8(name);
        EXPECT_TRUE(found->second == bytes) << ToUtf8(name);
    }
}

} // namespace
} // namespace vornal
