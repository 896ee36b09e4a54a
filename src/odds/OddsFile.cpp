#include "odds/OddsFile.h"

#include <system_error>

#include "app/AtomicFile.h"
#include "raceday/RecordFile.h"
#include "text/Encoding.h"

namespace vornal {

Result<std::optional<OddsFile>> OddsFile::Load(const std::filesystem::path& file)
{
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        return Result<std::optional<OddsFile>>::Success(std::nullopt);
    }
    // One line per race of the day: a file past that is refused before it is read.
    const std::uintmax_t largest = RecordFile::LargestSound(static_cast<int>(kO1LineBytes) + 2);
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (!ec && size > largest) {
        return Result<std::optional<OddsFile>>::Failure(Sjis("ファイルが大きすぎます: ") + PathText(file) + Sjis("（") +
                                                        std::to_string(size) + Sjis(" バイト。この種類のファイルは ") +
                                                        std::to_string(largest) + Sjis(" バイトまでです）"));
    }
    std::optional<std::string> bytes = ReadFileBytes(file);
    if (!bytes) {
        return Result<std::optional<OddsFile>>::Failure(Sjis("読み込めません: ") + PathText(file));
    }
    OddsFile odds;
    odds.m_path = file;
    std::size_t start = 0;
    while (start < bytes->size()) {
        std::size_t end = bytes->find('\n', start);
        const bool last = end == std::string::npos;
        if (last) {
            end = bytes->size();
        }
        std::string line = bytes->substr(start, end - start);
        // The loader reads this file by record index: a line of another length or without
        // its CR LF shifts every record after it, and writing the file back would keep the
        // damage. Such a file is refused whole.
        if (last || line.size() != kO1LineBytes + 1 || line.back() != '\r') {
            const int index = static_cast<int>(odds.m_lines.size());
            return Result<std::optional<OddsFile>>::Failure(
                Sjis("ファイルの読み込みに失敗しました: ") + PathText(file) + Sjis(" のレコード ") +
                std::to_string(index) + Sjis(" が 960 バイトと CR LF ではありません。レコードの位置がずれています。"));
        }
        line.pop_back();
        odds.m_lines.push_back(std::move(line));
        start = end + 1;
    }
    return Result<std::optional<OddsFile>>::Success(std::move(odds));
}

std::string_view OddsFile::Line(int index) const
{
    if (index < 0 || index >= LineCount()) {
        return {};
    }
    return m_lines[static_cast<std::size_t>(index)];
}

void OddsFile::Replace(int index, std::string_view line)
{
    if (index < 0) {
        return;
    }
    while (LineCount() <= index) {
        m_lines.emplace_back(kO1LineBytes, ' ');
    }
    m_lines[static_cast<std::size_t>(index)] = std::string(line);
}

Status OddsFile::Save() const
{
    std::string bytes;
    bytes.reserve(m_lines.size() * (kO1LineBytes + 2));
    for (const std::string& line : m_lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return WriteFileAtomic(m_path, bytes);
}

} // namespace vornal
