// The odds files: a day's ".jvO1" as the odds commands and the import read it, and the same
// bytes as the lines of a time-series snapshot file. An accepted ".jvO1" holds only lines of
// 960 bytes; the import takes a line into its race only when the line names that race.
#include <memory>
#include <vector>

#include "FuzzSupport.h"
#include "odds/OddsFile.h"
#include "odds/OddsImport.h"
#include "odds/TimeSeriesOdds.h"
#include "raceday/RaceDay.h"
#include "store/JvLayout.h"
#include "text/Fields.h"

namespace {

void Put(std::string& record, vornal::jv::FieldPos field, std::string_view text)
{
    record.replace(static_cast<std::size_t>(field.position - 1), text.size(), text);
}

// A day of twelve races at racecourse "06", sixteen runners each, whose odds file is `file`.
std::unique_ptr<vornal::RaceDay> MakeDay(const std::filesystem::path& file)
{
    namespace jv = vornal::jv;
    auto day = std::make_unique<vornal::RaceDay>();
    day->OddsO1Path = file;
    for (int r = 0; r < 12; ++r) {
        std::string ra(jv::kLengthRA - 2, ' ');
        Put(ra, jv::kYear, "2026");
        Put(ra, jv::kCourseCode, "06");
        Put(ra, jv::kRaceNo, (r < 9 ? "0" : "") + std::to_string(r + 1));
        Put(ra, jv::ra::kRegistered, "16");
        day->RaceRA[static_cast<std::size_t>(r)] = ra + "\r\n";
    }
    return day;
}

std::vector<std::string> Lines(std::string_view bytes)
{
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string line(bytes.substr(0, end));
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::filesystem::path file = vornal::fuzz::ScratchDir() / "day.jvO1";
    static const std::unique_ptr<vornal::RaceDay> day = MakeDay(file);
    const std::string_view input = vornal::fuzz::Input(data, size);
    vornal::fuzz::WriteInput(file, input);

    vornal::Result<std::optional<vornal::OddsFile>> odds = vornal::OddsFile::Load(file);
    if (odds && odds.value) {
        for (int i = 0; i < odds.value->LineCount(); ++i) {
            if (odds.value->Line(i).size() != vornal::kO1LineBytes) {
                vornal::fuzz::Broken("an accepted odds file with a line that is not 960 bytes");
            }
        }
        (void)vornal::ImportAllOdds(*day);
        for (int r = 0; r < 12; ++r) {
            const std::string_view taken = day->RaceO1[static_cast<std::size_t>(r)].View();
            if (!vornal::IsBlank(taken.substr(0, vornal::kO1LineBytes)) &&
                vornal::jv::View(taken, vornal::jv::kCourseCode) != "06") {
                vornal::fuzz::Broken("odds of another racecourse taken into a race");
            }
            day->RaceO1[static_cast<std::size_t>(r)] = std::string_view{};
        }
    }
    // The snapshot file of a race: its lines, whatever their length, and the nearest one to
    // every odds time a race can have.
    const std::vector<std::string> lines = Lines(input);
    for (int minutes : {0, 9 * 60 + 30, 15 * 60 + 40, 23 * 60 + 59}) {
        const int best = vornal::NearestSnapshot(lines, minutes);
        if (best < -1 || best >= static_cast<int>(lines.size())) {
            vornal::fuzz::Broken("a snapshot outside the file");
        }
    }
    (void)vornal::OddsTimeMinutes(input.substr(0, 4));
    return 0;
}
