#include "store/HorseMasterConversion.h"

#include <system_error>
#include <vector>

#include "store/JvLayout.h"
#include "store/StoreLines.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"

namespace vornal {
namespace {

constexpr int kPedigreeEntries = 14;
constexpr int kOldPedigreeEntryLength = 44; // 8-byte number, 36-byte name
constexpr int kOldDataLength = kOldHorseMasterLength - 2;

// Why one earlier-layout record cannot be a horse master line; empty when it can. Its kind,
// its line end and its horse id are what a truncated or foreign file gets wrong first.
std::string OldRecordDefect(std::string_view record)
{
    if (jv::View(record, jv::kRecordKind) != "UM") {
        return Sjis("レコード種別が UM ではありません");
    }
    const std::string_view body = record.substr(0, record.size() - 2);
    if (!record.ends_with("\r\n") || body.find_first_of("\r\n") != std::string_view::npos) {
        return Sjis("改行位置が違います");
    }
    if (!IsValidHorseId(jv::View(record, jv::um::kHorseId))) {
        return Sjis("血統登録番号が数字 10 桁ではありません");
    }
    return {};
}

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
    // A file that is not whole records of the earlier layout is refused as a whole: a day
    // with part of its horse master would load with flattened figures and no word.
    const std::string fileName = DayFileName(dayName, kOldHorseMasterExt);
    const std::size_t count = bytes->size() / kOldHorseMasterLength;
    if (bytes->size() % kOldHorseMasterLength != 0) {
        result.io = Status::Failure(
            fileName + fmt::sprintf(Sjis("：%d 件目のレコードが途中で切れています（%d バイト、1 件 %d バイト）。"),
                                    count + 1, bytes->size() % kOldHorseMasterLength, kOldHorseMasterLength));
        return result;
    }
    std::vector<std::string> lines;
    lines.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view record =
            std::string_view(*bytes).substr(i * kOldHorseMasterLength, kOldHorseMasterLength);
        if (const std::string defect = OldRecordDefect(record); !defect.empty()) {
            result.io = Status::Failure(fileName + fmt::sprintf(Sjis("：%d 件目のレコードの%s。"), i + 1, defect));
            return result;
        }
        lines.push_back(ConvertOldHorseMasterRecord(record));
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
