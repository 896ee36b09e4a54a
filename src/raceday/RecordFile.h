#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/AtomicFile.h"

// A store file read whole and seen as a sequence of fixed-length records: each record is
// a stored line plus its CR LF, so record n starts at byte n x the record length.
namespace vornal {

// A record that should be there cannot be read: the file is shorter than the record
// addressed, ends in a cut record, or cannot be read at all. The message (CP932) names the
// file and the 0-based record index.
class RecordReadError : public std::runtime_error
{
public:
    RecordReadError(const std::filesystem::path& file, int recordIndex, std::string message);

    const std::filesystem::path& File() const { return m_file; }
    int RecordIndex() const { return m_recordIndex; }
    // CP932 text for the user.
    const std::string& Message() const { return m_message; }

private:
    std::filesystem::path m_file;
    int m_recordIndex;
    std::string m_message;
};

class RecordFile
{
public:
    // The file's records, or nothing when the file does not exist. Throws RecordReadError
    // when the file exists but cannot be read.
    static std::optional<RecordFile> Open(const std::filesystem::path& file, int recordLength);
    // The largest file of `recordLength`-byte records a sound store holds; Open refuses a
    // larger one before reading it.
    static std::uintmax_t LargestSound(int recordLength);

    // Complete records in the file.
    int Count() const { return m_count; }
    // True when the file ends in a record cut short (its index is Count()).
    bool HasCutRecord() const { return m_bytes.size % static_cast<std::size_t>(m_length) != 0; }

    // Record `index` (CR LF included). Throws RecordReadError when the file holds no
    // complete record there.
    std::string_view Record(int index) const;
    // Record `index`, or nothing when the file holds no complete record there.
    std::optional<std::string_view> TryRecord(int index) const;

    // Throws RecordReadError for a cut last record, so sequential readers stop at a
    // damaged end instead of silently dropping it.
    void RequireWhole() const;
    // Throws RecordReadError naming the first complete record that does not end in CR LF:
    // a byte inserted or lost shifts every later record, and a reader by index would take
    // pieces of two records for one.
    void RequireLineEnds() const;

    const std::filesystem::path& Path() const { return m_path; }
    // The whole file as read.
    std::string_view Bytes() const { return m_bytes.View(); }
    int RecordLength() const { return m_length; }

private:
    RecordFile(std::filesystem::path path, FileBytes bytes, int recordLength);

    std::filesystem::path m_path;
    FileBytes m_bytes;
    int m_length;
    int m_count;
};

// Number of text lines of `bytes` as a line-list reader counts them: every LF ends a line,
// and a last piece without LF is one more line.
int CountTextLines(std::string_view bytes);

} // namespace vornal
