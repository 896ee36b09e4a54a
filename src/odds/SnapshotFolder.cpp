#include "odds/SnapshotFolder.h"

#include <system_error>

#include "app/AtomicFile.h"
#include "odds/OddsFile.h"
#include "store/JvLayout.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"

namespace vornal {
namespace {

// Racecourse codes of races abroad are capital letters; every other byte names no file.
bool IsCodeText(std::string_view text)
{
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) {
            return false;
        }
    }
    return !text.empty();
}

} // namespace

std::filesystem::path SnapshotFilePath(const std::filesystem::path& folder, std::string_view snapshot)
{
    const std::string_view date = FieldView(snapshot, 12, 8);
    const std::string_view race = FieldView(snapshot, 20, 8);
    if (!IsValidDateDigits(date) || race.size() != 8 || !IsCodeText(race)) {
        return {};
    }
    return folder / std::string(date) / (std::string(race) + ".jvO1");
}

Result<SnapshotAppendResult> AppendSnapshot(const std::filesystem::path& folder, std::string_view snapshot)
{
    using Answer = Result<SnapshotAppendResult>;
    if (snapshot.size() != kO1LineBytes) {
        return Answer::Failure(Sjis("O1レコードの長さが違います: ") + std::to_string(snapshot.size()) + Sjis("バイト"));
    }
    const std::filesystem::path file = SnapshotFilePath(folder, snapshot);
    if (file.empty()) {
        return Answer::Failure(Sjis("レースキーがファイル名になりません: ") + std::string(FieldView(snapshot, 12, 16)));
    }
    std::error_code ec;
    std::string bytes;
    if (std::filesystem::exists(file, ec)) {
        std::optional<std::string> read = ReadFileBytes(file);
        if (!read) {
            return Answer::Failure(Sjis("読み込めません: ") + PathText(file));
        }
        bytes = std::move(*read);
    } else if (std::filesystem::create_directories(file.parent_path(), ec); ec) {
        return Answer::Failure(Sjis("フォルダを作れません: ") + PathText(file.parent_path()));
    }

    SnapshotAppendResult result;
    // A writer killed halfway (the outside program, or a copy) leaves a last line without
    // its end; appended after, this record would be glued to it and both lost to the reader.
    if (!bytes.empty() && bytes.back() != '\n') {
        const std::size_t start = bytes.rfind('\n') == std::string::npos ? 0 : bytes.rfind('\n') + 1;
        std::string_view torn = std::string_view(bytes).substr(start);
        if (torn.ends_with('\r')) {
            torn.remove_suffix(1);
        }
        if (torn.size() == kO1LineBytes) {
            bytes += "\r\n";
        } else {
            result.droppedTornLine = std::string(torn);
            bytes.resize(start);
        }
    }
    const std::string_view race = FieldView(snapshot, 12, 16);
    const std::string_view announced = jv::View(snapshot, jv::o1::kAnnounced);
    for (const std::string& line : SplitLfLines(bytes)) {
        if (FieldView(line, 12, 16) == race && jv::View(line, jv::o1::kAnnounced) == announced) {
            result.outcome = SnapshotAppend::AlreadyThere;
            if (!result.droppedTornLine.empty()) {
                if (Status saved = WriteFileAtomic(file, bytes); !saved) {
                    return Answer::Failure(saved.message);
                }
            }
            return Answer::Success(std::move(result));
        }
    }
    bytes.append(snapshot);
    bytes += "\r\n";
    if (Status saved = WriteFileAtomic(file, bytes); !saved) {
        return Answer::Failure(saved.message);
    }
    result.outcome = SnapshotAppend::Appended;
    return Answer::Success(std::move(result));
}

} // namespace vornal
