#include "raceday/RecordFile.h"

#include <system_error>

#include "app/AtomicFile.h"
#include "text/Encoding.h"

namespace vornal {

RecordReadError::RecordReadError(const std::filesystem::path& file, int recordIndex, std::string message)
    : std::runtime_error(ToUtf8(message)), m_file(file), m_recordIndex(recordIndex), m_message(std::move(message))
{
}

namespace {

[[noreturn]] void ThrowMissingRecord(const std::filesystem::path& file, int index)
{
    throw RecordReadError(file, index,
                          Sjis("ファイルの読み込みに失敗しました: ") + PathText(file) + Sjis(" のレコード ") +
                              std::to_string(index) + Sjis(" がありません。"));
}

} // namespace

RecordFile::RecordFile(std::filesystem::path path, FileBytes bytes, int recordLength)
    : m_path(std::move(path)), m_bytes(std::move(bytes)), m_length(recordLength),
      m_count(static_cast<int>(m_bytes.size / static_cast<std::size_t>(recordLength)))
{
}

std::uintmax_t RecordFile::LargestSound(int recordLength)
{
    // A day has at most 36 races of 18 runners and a horse a few hundred runs: 100,000
    // records of a race kind are far past any sound file. The horse master lists every horse
    // of the service (500,000 records is decades of them), the jockey and trainer masters a
    // few thousand people (50,000).
    std::uintmax_t records = 100'000u;
    if (recordLength == 1609 || recordLength == 1577) {
        records = 500'000u;
    } else if (recordLength == 4173 || recordLength == 3862) {
        records = 50'000u;
    }
    return static_cast<std::uintmax_t>(recordLength) * records;
}

std::optional<RecordFile> RecordFile::Open(const std::filesystem::path& file, int recordLength)
{
    // A damaged or planted file of gigabytes is refused before it is read: it must not take
    // the memory of the machine first.
    FileBytes bytes;
    const BoundedRead read = ReadFileBytesUpTo(file, LargestSound(recordLength), bytes);
    switch (read.outcome) {
    case BoundedRead::Outcome::Missing:
        return std::nullopt;
    case BoundedRead::Outcome::TooLarge:
        throw RecordReadError(file, 0,
                              Sjis("ファイルが大きすぎます: ") + PathText(file) + Sjis("（") +
                                  std::to_string(read.size) + Sjis(" バイト。この種類のファイルは ") +
                                  std::to_string(LargestSound(recordLength)) + Sjis(" バイトまでです）"));
    case BoundedRead::Outcome::Unreadable:
        throw RecordReadError(file, 0, Sjis("ファイルを読めません: ") + PathText(file));
    case BoundedRead::Outcome::Read:
        break;
    }
    return RecordFile(file, std::move(bytes), recordLength);
}

std::optional<std::string_view> RecordFile::TryRecord(int index) const
{
    if (index < 0 || index >= m_count) {
        return std::nullopt;
    }
    return m_bytes.View().substr(static_cast<std::size_t>(index) * static_cast<std::size_t>(m_length),
                                 static_cast<std::size_t>(m_length));
}

std::string_view RecordFile::Record(int index) const
{
    std::optional<std::string_view> record = TryRecord(index);
    if (!record) {
        ThrowMissingRecord(m_path, index);
    }
    return *record;
}

void RecordFile::RequireWhole() const
{
    if (HasCutRecord()) {
        const std::size_t cut = m_bytes.size % static_cast<std::size_t>(m_length);
        throw RecordReadError(m_path, m_count,
                              Sjis("ファイルの読み込みに失敗しました: ") + PathText(m_path) + Sjis(" のレコード ") +
                                  std::to_string(m_count) + Sjis(" が途中で切れています（") + std::to_string(cut) +
                                  Sjis(" バイト、1 件 ") + std::to_string(m_length) + Sjis(" バイト）。"));
    }
}

void RecordFile::RequireLineEnds() const
{
    const std::size_t length = static_cast<std::size_t>(m_length);
    for (int i = 0; i < m_count; ++i) {
        const std::size_t end = (static_cast<std::size_t>(i) + 1) * length;
        if (m_bytes.data[end - 2] != '\r' || m_bytes.data[end - 1] != '\n') {
            throw RecordReadError(m_path, i,
                                  Sjis("ファイルの読み込みに失敗しました: ") + PathText(m_path) + Sjis(" のレコード ") +
                                      std::to_string(i) + Sjis(" の末尾が CR LF ではありません（1 件 ") +
                                      std::to_string(m_length) + Sjis(" バイト）。レコードの位置がずれています。"));
        }
    }
}

int CountTextLines(std::string_view bytes)
{
    int lines = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ++lines;
            start = i + 1;
        }
    }
    return start < bytes.size() ? lines + 1 : lines;
}

} // namespace vornal
