#include "store/HorseMasterConversion.h"

#include <system_error>
#include <vector>

#include "store/StoreLines.h"
#include "store/StorePaths.h"
#include "text/Fields.h"

namespace vornal {
namespace {

constexpr int kPedigreeEntries = 14;
constexpr int kOldPedigreeEntryLength = 44; // 8-byte number, 36-byte name
constexpr int kOldDataLength = kOldHorseMasterLength - 2;

} // namespace

std::string ConvertOldHorseMasterRecord(std::string_view oldRecord)
{
    const std::string old = Field(oldRecord, 1, kOldDataLength);
    const auto bytes = [&old](int from, int to) { return std::string_view(old).substr(from - 1, to - from + 1); };
    std::string line;
    line.reserve(kHorseMasterLineLength);
    line += bytes(1, 204);
    // The pedigree: each registration number gains two leading blanks (8 -> 10 bytes).
    for (int i = 0; i < kPedigreeEntries; ++i) {
        const int first = 205 + i * kOldPedigreeEntryLength;
        line += "  ";
        line += bytes(first, first + kOldPedigreeEntryLength - 1);
    }
    line += bytes(821, 854);
    line += "  ";
    line += bytes(855, 860);
    line += "  ";
    line += bytes(861, 1575);
    return line;
}

HorseMasterConversion ConvertHorseMaster(const std::filesystem::path& appDir, std::string_view dayName)
{
    HorseMasterConversion result;
    const std::filesystem::path input = OldHorseMasterFile(appDir, dayName);
    std::error_code ec;
    if (!std::filesystem::exists(input, ec)) {
        return result;
    }
    const std::optional<std::string> bytes = ReadFileBytes(input);
    if (!bytes) {
        result.io = Status::Failure("cannot read " + PathText(input));
        return result;
    }
    std::vector<std::string> lines;
    const std::size_t count = bytes->size() / kOldHorseMasterLength;
    lines.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        lines.push_back(ConvertOldHorseMasterRecord(
            std::string_view(*bytes).substr(i * kOldHorseMasterLength, kOldHorseMasterLength)));
    }
    result.records = static_cast<int>(lines.size());
    if (lines.empty()) {
        return result;
    }
    result.io = WriteFileAtomic(HorseMasterFile(appDir, dayName), JoinLines(lines));
    result.written = result.io.ok;
    return result;
}

} // namespace vornal
