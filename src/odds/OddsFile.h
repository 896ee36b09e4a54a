#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Status.h"

// The day's ".jvO1" file: line i holds the O1 record (960 bytes, no line end) of race slot
// i, and every line plus CR LF is 962 bytes, so readers find record i at byte i * 962. The
// odds commands replace whole lines and must never write a line of another length.
namespace vornal {

// Bytes of a stored O1 line (the record without its CR LF).
inline constexpr std::size_t kO1LineBytes = 960;

class OddsFile
{
public:
    // Reads `file`. Nothing when it does not exist; a failure naming the file when it
    // exists but cannot be read, and naming the file and the record (0-based) when a line is
    // not 960 bytes followed by CR LF.
    static Result<std::optional<OddsFile>> Load(const std::filesystem::path& file);

    const std::filesystem::path& Path() const { return m_path; }
    int LineCount() const { return static_cast<int>(m_lines.size()); }
    // Line `index`, or the empty text past the end.
    std::string_view Line(int index) const;
    // Replaces line `index` with `line` (kO1LineBytes bytes). A file made when the day had
    // fewer races is first lengthened with blank lines, so the line lands at its index.
    void Replace(int index, std::string_view line);
    // Writes the file whole, every line followed by CR LF, through WriteFileAtomic.
    Status Save() const;

private:
    std::filesystem::path m_path;
    std::vector<std::string> m_lines;
};

} // namespace vornal
