#include "odds/OddsImport.h"

#include <algorithm>
#include <array>

#include "app/AtomicFile.h"
#include "odds/OddsFile.h"
#include "raceday/RaceDayLoader.h"
#include "results/HitJudgement.h"
#include "store/JvLayout.h"
#include "text/Fields.h"

namespace vornal {
namespace {

std::string CourseAndRace(std::string_view record)
{
    return jv::Get(record, jv::kCourseCode) + jv::Get(record, jv::kRaceNo);
}

// The day's ".jvO1" file, read the first time a race asks for it and then kept for the
// races after it.
class DayOddsFile
{
public:
    explicit DayOddsFile(const std::filesystem::path& path) : m_path(path) {}

    const Result<std::optional<OddsFile>>& Get()
    {
        if (!m_file) {
            m_file = OddsFile::Load(m_path);
        }
        return *m_file;
    }

private:
    const std::filesystem::path& m_path;
    std::optional<Result<std::optional<OddsFile>>> m_file;
};

Status ImportOddsFrom(RaceDay& day, int race, DayOddsFile& oddsFile);

} // namespace

double MarkedOddsValue(std::string_view text, std::size_t width)
{
    const std::string_view trimmed = TrimView(text);
    if (trimmed == std::string(width, '-') || trimmed == std::string(width, '*')) {
        return -1.0;
    }
    if (trimmed.empty()) {
        return -2.0;
    }
    return static_cast<double>(LeadingNumber(trimmed)) / 10.0;
}

bool HasQuinellaOdds(const RaceDay& day, int race)
{
    const O2Record& o2 = day.RaceO2[race];
    for (int q = 1; q <= kQuinellaCount; ++q) {
        if (MarkedOddsValue(jv::View(o2, jv::Nth(jv::o2::kQuinellaOdds, 13, q)), 6) > 0.0) {
            return true;
        }
    }
    return false;
}

Status ImportOdds(RaceDay& day, int race)
{
    DayOddsFile oddsFile(day.OddsO1Path);
    return ImportOddsFrom(day, race, oddsFile);
}

namespace {

Status ImportOddsFrom(RaceDay& day, int race, DayOddsFile& oddsFile)
{
    if (race < 0 || race >= kRaceSlots) {
        return Status::Success();
    }
    const RaRecord& ra = day.RaceRA[race];
    RaceSlot& slot = day.Races[race];
    const int registered = std::clamp(static_cast<int>(jv::Number(ra, jv::ra::kRegistered)), 0, kRunnerSlots);

    const std::string key = CourseAndRace(ra);
    if (!day.OddsO1Path.empty() && jv::Number(ra, jv::kRaceNo) >= 1 &&
        !IsBlank(jv::View(ra, jv::kCourseCode)) && !IsBlank(jv::View(ra, jv::kRaceNo))) {
        const Result<std::optional<OddsFile>>& file = oddsFile.Get();
        if (!file) {
            return file.status;
        }
        // Only a whole record is taken: a line cut short would shift every field after it.
        if (file.value && file.value->Line(race).size() == kO1LineBytes &&
            CourseAndRace(file.value->Line(race)) == key) {
            day.RaceO1[race] = file.value->Line(race);
        }
    }

    const O1Record& o1 = day.RaceO1[race];
    for (int h = 0; h < registered; ++h) {
        Runner& runner = slot.Runners[h];
        runner.WinOdds = OddsValue(jv::View(o1, jv::Nth(jv::o1::kWinOdds, 8, h + 1)));
        // The low place text decides for both: a horse without place odds has neither.
        const double low = OddsValue(jv::View(o1, jv::Nth(jv::o1::kPlaceOddsLow, 12, h + 1)));
        if (low < 0.0) {
            runner.PlaceOddsLow = low;
            runner.PlaceOddsHigh = low;
        } else {
            runner.PlaceOddsLow = low;
            runner.PlaceOddsHigh =
                static_cast<double>(jv::Number(o1, jv::Nth(jv::o1::kPlaceOddsHigh, 12, h + 1))) / 10.0;
        }
    }
    for (int k = 1; k <= kBracketCount; ++k) {
        slot.BracketOddsValue[k] = MarkedOddsValue(jv::View(o1, jv::Nth(jv::o1::kBracketOdds, 9, k)), 5);
    }
    const O2Record& o2 = day.RaceO2[race];
    std::array<double, kQuinellaCount + 1> market{};
    // The same test as HasQuinellaOdds, on the values it takes anyway.
    bool priced = false;
    for (int q = 1; q <= kQuinellaCount; ++q) {
        market[q] = MarkedOddsValue(jv::View(o2, jv::Nth(jv::o2::kQuinellaOdds, 13, q)), 6);
        priced = priced || market[q] > 0.0;
    }
    // A race without any quinella odds (no O2 record yet, or nothing announced) keeps its
    // predicted payouts: the bets, the matrix and the sheets rest on them.
    if (priced) {
        std::copy(market.begin() + 1, market.end(), slot.PredictedQuinellaPayout.begin() + 1);
    }
    slot.OddsO1Time = jv::Get(o1, jv::o1::kAnnouncedHour) + jv::Get(o1, jv::o1::kAnnouncedMinute);
    slot.OddsO2Time = jv::Get(o2, jv::o2::kAnnouncedHour) + jv::Get(o2, jv::o2::kAnnouncedMinute);
    return Status::Success();
}

} // namespace

Status ImportAllOdds(RaceDay& day)
{
    DayOddsFile oddsFile(day.OddsO1Path);
    const int count = RaceListCount(day);
    for (int r = 0; r < count; ++r) {
        if (Status imported = ImportOddsFrom(day, r, oddsFile); !imported) {
            return imported;
        }
    }
    return Status::Success();
}

std::vector<Status> ImportEveryRaceOdds(RaceDay& day, int count)
{
    DayOddsFile oddsFile(day.OddsO1Path);
    std::vector<Status> failed;
    for (int r = 0; r < count; ++r) {
        if (Status imported = ImportOddsFrom(day, r, oddsFile); !imported) {
            failed.push_back(std::move(imported));
        }
    }
    return failed;
}

} // namespace vornal
