#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "app/AtomicFile.h"

// Horse master records come in two layouts: the current one of 1609 bytes (".jvUM2" files)
// and an earlier one of 1577 bytes (".jvUMA" files, kept from earlier stores). The earlier
// layout is two bytes narrower in four places: the 14 pedigree numbers are 8 instead of 10
// bytes, and one 6-byte field is 8 bytes now. The conversion widens each place with two
// leading blanks and copies everything else byte for byte, so the horse id (bytes 12..21)
// keeps its place.
namespace vornal {

inline constexpr int kOldHorseMasterLength = 1577;
inline constexpr int kHorseMasterLineLength = 1607;

// The current-layout line (1607 bytes, no CR LF) of one earlier-layout record (its first
// 1575 bytes; a shorter record reads as padded with blanks).
std::string ConvertOldHorseMasterRecord(std::string_view oldRecord);

struct HorseMasterConversion
{
    int records = 0;      // records converted
    bool written = false; // the .jvUM2 file was written
    Status io;
};

// Builds Data/<day>.jvUM2 from Data/<day>.jvUMA: one line per 1577-byte input record, in
// input order, replacing any earlier .jvUM2 file. A missing or empty input writes nothing
// and is no error; an unreadable input fails. So does an input that is not whole records
// (a partial record at the end) or holds a record that is not a horse master record (not
// "UM", not ending in CR LF, a horse id that is not ten digits): the message names the file
// and the record (counted from 1), and nothing is written.
HorseMasterConversion ConvertHorseMaster(const std::filesystem::path& appDir, std::string_view dayName);

} // namespace vornal
