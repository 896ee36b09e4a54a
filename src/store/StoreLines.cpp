#include "store/StoreLines.h"

#include <algorithm>

#include "store/JvLayout.h"
#include "store/StorePaths.h"
#include "text/Fields.h"
#include "vocab/TextHelpers.h"

namespace vornal {
namespace {

constexpr std::size_t kRunnerLineLength = jv::kLengthSE - 2;

} // namespace

std::vector<std::string> SplitLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') {
            continue;
        }
        lines.emplace_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < bytes.size()) {
        lines.emplace_back(bytes.substr(start));
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::size_t size = 0;
    for (const std::string& line : lines) {
        size += line.size() + 2;
    }
    std::string bytes;
    bytes.reserve(size);
    for (const std::string& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

std::string StoredLine(std::string_view record)
{
    return std::string(record.substr(0, record.size() >= 2 ? record.size() - 2 : 0));
}

std::string BlankRecordPrefix(std::string_view record)
{
    return OverwriteAt(std::string(record), "000000000", 3);
}

bool UpsertRaceLine(std::vector<std::string>& lines, std::string_view record, bool dropBlankFirst)
{
    std::string line = StoredLine(record);
    const std::string_view key = FieldView(record, jv::kRaceKey.position, jv::kRaceKey.length);
    auto same = std::find_if(lines.begin(), lines.end(), [&](const std::string& existing) {
        return FieldView(existing, jv::kRaceKey.position, jv::kRaceKey.length) == key;
    });
    const bool wasSorted = std::is_sorted(lines.begin(), lines.end());
    bool changed = true;
    if (same != lines.end()) {
        changed = !wasSorted || *same != line;
        lines.erase(same);
    }
    // The other lines are sorted already unless the file came from elsewhere; then a single
    // insertion gives the same order as sorting the whole list (equal lines are identical).
    if (std::is_sorted(lines.begin(), lines.end())) {
        lines.insert(std::upper_bound(lines.begin(), lines.end(), line), std::move(line));
    } else {
        lines.push_back(std::move(line));
        std::sort(lines.begin(), lines.end());
    }
    if (dropBlankFirst && !lines.empty() && TrimView(lines.front()).empty()) {
        lines.erase(lines.begin());
        changed = true;
    }
    return changed;
}

std::optional<int> RunnerSlot(std::string_view seRecord)
{
    const long long race = jv::Number(seRecord, jv::kRaceNo);
    const long long horse = jv::Number(seRecord, jv::se::kHorseNo);
    if (race < 1 || race > kRunnerRaces || horse < 1 || horse > kRunnerSlotsPerRace) {
        return std::nullopt;
    }
    return static_cast<int>((race - 1) * kRunnerSlotsPerRace + (horse - 1));
}

std::vector<std::string> BlankRunnerLines()
{
    return std::vector<std::string>(kRunnerFileLines, std::string(kRunnerLineLength, ' '));
}

bool PutRunnerLine(std::vector<std::string>& lines, std::string_view seRecord)
{
    const std::optional<int> slot = RunnerSlot(seRecord);
    if (!slot) {
        return false;
    }
    bool changed = false;
    if (lines.size() < static_cast<std::size_t>(kRunnerFileLines)) {
        lines.resize(kRunnerFileLines, std::string(kRunnerLineLength, ' '));
        changed = true;
    }
    std::string line = StoredLine(seRecord);
    std::string& target = lines[static_cast<std::size_t>(*slot)];
    if (target != line) {
        target = std::move(line);
        changed = true;
    }
    return changed;
}

} // namespace vornal
