#include "results/HitJudgementFiles.h"

#include <system_error>

#include "results/HitEvaluation.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/FileNames.h"

namespace vornal {
namespace {

// The suffix comes from the betting method, for user rule sets from a name the user typed:
// it must not carry a separator or a control character into the path. The walk is by
// character, as the trail byte of a double-byte character may be 0x5C.
bool IsPlainFileName(std::string_view name)
{
    if (name.empty() || !IsValidCp932(name)) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); i += CharLength(name, i)) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (CharLength(name, i) == 1 && (c < 0x20 || c == 0x7F || c == '/' || c == '\\')) {
            return false;
        }
    }
    return true;
}

Status FileDayLine(const std::filesystem::path& file, std::string_view line)
{
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(file, ec);
    std::string old;
    if (std::filesystem::is_regular_file(status)) {
        std::optional<std::string> bytes = ReadFileBytes(file);
        if (!bytes) {
            return Status::Failure("cannot read " + PathText(file));
        }
        old = std::move(*bytes);
    } else if (status.type() == std::filesystem::file_type::none ||
               (std::filesystem::exists(status) && !std::filesystem::is_directory(status))) {
        // Neither a file nor missing (a pipe would block the read): nothing to file into.
        return Status::Failure("cannot read " + PathText(file) + ": not a file");
    }
    // A folder of the name holds no lines; replacing it fails with the system's cause.
    return WriteFileAtomic(file, FileHitLine(old, line));
}

} // namespace

bool HitFilesEnabled(const std::filesystem::path& appDir)
{
    std::error_code ec;
    return std::filesystem::exists(appDir / kHitFileSwitchName, ec);
}

Status WriteHitJudgementFiles(const std::filesystem::path& appDir, std::string_view dayName, const RaceDay& day,
                              const DayTotals& totals, bool withoutSwitch)
{
    if ((!withoutSwitch && !HitFilesEnabled(appDir)) || RaceListCount(day) < 2) {
        return Status::Success();
    }
    const std::array<std::string, kBetTypes.size()> lines = HitFileLines(day, dayName, totals);
    for (BetType type : kBetTypes) {
        const std::string name = HitFileName(dayName, type, day.BetKindSuffix);
        if (!IsDayName(dayName) || !IsPlainFileName(name)) {
            // Shown through one round trip so that bytes that are no CP932 text show as "?".
            return Status::Failure("cannot write the hit file " + ToCp932(ToUtf8(name)) + ": not a file name");
        }
        const std::string& line = lines[static_cast<std::size_t>(type)];
        if (line.empty()) {
            continue;
        }
        if (Status filed = FileDayLine(NamedPath(appDir, name), line); !filed) {
            return filed;
        }
    }
    return Status::Success();
}

Status RunHitJudgement(RaceDay& day, const std::filesystem::path& appDir, std::string_view dayName, DayTotals& totals)
{
    EvaluateDayHits(day);
    totals = JudgeHits(day);
    return WriteHitJudgementFiles(appDir, dayName, day, totals);
}

} // namespace vornal
