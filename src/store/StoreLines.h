#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The line rules of the day store files, on the lines of one file held in memory. Every
// stored line is a JV-Data record without its CR LF, and a file is its lines each followed
// by CR LF, so a line plus its line end is exactly the record length and the readers seek
// record i at byte i times the record length.
namespace vornal {

// The lines of a file's bytes. CR LF, LF and a lone CR each end a line; a last line without
// a line end still counts; an empty file has no lines.
std::vector<std::string> SplitLines(std::string_view bytes);

// The bytes of a file of `lines`: every line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// A record as a stored line: the record without its last two bytes (its CR LF).
std::string StoredLine(std::string_view record);

// The record with bytes 3..11 (data division and creation date) overwritten by
// "000000000", so that a file of such lines sorts by race key.
std::string BlankRecordPrefix(std::string_view record);

// Stores one race-keyed record in `lines`: the first line whose bytes 12..27 equal the
// record's race key is replaced by the record's line, or the line is added; then the lines
// are sorted ascending byte by byte, and with `dropBlankFirst` a first line that is empty
// or blank after trimming is removed (only that one). Returns false when the lines are
// exactly as before.
bool UpsertRaceLine(std::vector<std::string>& lines, std::string_view record, bool dropBlankFirst);

// The line index of a runner: (race number - 1) x 18 + (horse number - 1), for race numbers
// 1..12 (SE bytes 26..27) and horse numbers 1..18 (bytes 29..30); nothing outside the grid.
std::optional<int> RunnerSlot(std::string_view seRecord);

// A runner file with every slot empty: 216 lines of 553 blanks.
std::vector<std::string> BlankRunnerLines();

// Stores one SE record in its slot of a runner file's `lines` (an existing file shorter
// than 216 lines is first filled up with empty slots). A record outside the grid is not
// stored. Returns false when the lines are exactly as before.
bool PutRunnerLine(std::vector<std::string>& lines, std::string_view seRecord);

} // namespace vornal
