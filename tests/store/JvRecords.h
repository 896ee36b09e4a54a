#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "store/JvLayout.h"
#include "text/Format.h"

#include "store/StoreTestSupport.h"

// Hand-made JV-Data records of the kinds the store keeps, with the right lengths and the
// identity fields set, and feed folders for the replay link.
namespace vornal::test {

// A record of `length` bytes (CR LF included): the kind, blanks, CR LF.
inline std::string BlankRecord(std::string_view kind, int length)
{
    std::string record(static_cast<std::size_t>(length) - 2, ' ');
    record.replace(0, kind.size(), kind);
    return record + "\r\n";
}

// `record` with `text` written at 1-based `position`.
inline std::string Put(std::string record, int position, std::string_view text)
{
    record.replace(static_cast<std::size_t>(position) - 1, text.size(), text);
    return record;
}

struct RaceId
{
    std::string date = "20260105"; // yyyymmdd
    std::string course = "06";
    int meeting = 1;
    int day = 1;
    int race = 1;
};

// The identity fields 3..27 of a race record.
inline std::string WithRaceId(std::string record, char division, const RaceId& id,
                              std::string_view created = "20251228")
{
    record = Put(record, 3, std::string(1, division));
    record = Put(record, 4, created);
    return Put(record, 12, id.date + id.course + fmt::sprintf("%02d%02d%02d", id.meeting, id.day, id.race));
}

// An RA record; `name` goes to the race name (bytes 33..).
inline std::string RaRecord(char division, const RaceId& id, std::string_view name = "",
                            std::string_view created = "20251228")
{
    return Put(WithRaceId(BlankRecord("RA", jv::kLengthRA), division, id, created), 33, name);
}

// An SE record of horse number `horse` with horse id `horseId`; `tag` goes to the horse name.
inline std::string SeRecord(char division, const RaceId& id, int horse, std::string_view horseId,
                            std::string_view tag = "", std::string_view created = "20251228")
{
    std::string record = WithRaceId(BlankRecord("SE", jv::kLengthSE), division, id, created);
    record = Put(record, 28, std::to_string((horse + 1) / 2 % 10));
    record = Put(record, 29, fmt::sprintf("%02d", horse));
    record = Put(record, 31, horseId);
    return Put(record, 41, tag);
}

inline std::string HrRecord(char division, const RaceId& id, std::string_view tag = "",
                            std::string_view created = "20251228")
{
    return Put(WithRaceId(BlankRecord("HR", jv::kLengthHR), division, id, created), 103, tag);
}

// A master record: KS or CH with a 5-character code, UM with a 10-digit horse id, at 12.
inline std::string MasterRecord(std::string_view kind, std::string_view code, std::string_view tag = "")
{
    const int length = kind == "UM" ? jv::kLengthUM : kind == "KS" ? jv::kLengthKS : jv::kLengthCH;
    return Put(Put(BlankRecord(kind, length), 12, code), 40, tag);
}

// Writes FEED/stored/<stamp>-<name>.jvd with the records one after another.
inline void WriteStoredFile(const std::filesystem::path& feed, std::string_view stamp, std::string_view name,
                            const std::vector<std::string>& records)
{
    std::string bytes;
    for (const std::string& record : records) {
        bytes += record;
    }
    Spit(feed / "stored" / (std::string(stamp) + "-" + std::string(name) + ".jvd"), bytes);
}

// Every regular file under `folder` with its bytes, by path relative to the folder.
inline std::map<std::string, std::string> Tree(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> files;
    if (!std::filesystem::exists(folder)) {
        return files;
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[entry.path().lexically_relative(folder).string()] = Slurp(entry.path());
        }
    }
    return files;
}

} // namespace vornal::test
