#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "app/Status.h"

// The time-series folder as the time-series import reads it: <folder>/<YYYYMMDD>/<JJKKNNRR>.jvO1,
// one O1 record of 960 bytes a line (CR LF), one line per announcement of the race, oldest
// first as they were recorded. The odds recorder adds to it here, one snapshot at a time.
namespace vornal {

// The file of the race of O1 record `snapshot` in `folder`; empty when the record's date
// (bytes 12..19) or race codes (bytes 20..27) cannot name a file.
std::filesystem::path SnapshotFilePath(const std::filesystem::path& folder, std::string_view snapshot);

enum class SnapshotAppend { Appended, AlreadyThere };

struct SnapshotAppendResult
{
    SnapshotAppend outcome = SnapshotAppend::AlreadyThere;
    // A last line left unfinished by an interrupted writer, dropped from the file (CP932), or
    // empty. The line had no line end and was no whole record, so no reader could use it.
    std::string droppedTornLine;
};

// Adds `snapshot` (a 960-byte O1 record, no line end) at the end of its race's file, unless
// a line of the same race with the same announcement time (bytes 28..35) is there already.
// The file and its folder are made when missing. The file is replaced whole through
// WriteFileAtomic, so a kill leaves the old file or the new one. Fails, changing nothing,
// for a record that is not 960 bytes or names no file, and when the file cannot be read or
// written.
Result<SnapshotAppendResult> AppendSnapshot(const std::filesystem::path& folder, std::string_view snapshot);

} // namespace vornal
