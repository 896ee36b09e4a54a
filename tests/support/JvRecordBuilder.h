#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "store/JvLayout.h"
#include "support/TestFiles.h"
#include "text/Format.h"

// The one builder of hand-made JV-Data records for the tests: records of the kinds the store
// keeps with the right lengths and their identity fields, the fields of a race and of a run,
// store files, application folders and feed folders for the replay link.
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

// Writes `value` into `field`, right-aligned digits are the caller's business: the value
// is cut or blank-padded on the right to the field's length.
inline void Put(std::string& record, jv::FieldPos field, std::string_view value)
{
    std::string piece(value.substr(0, static_cast<std::size_t>(field.length)));
    piece.resize(static_cast<std::size_t>(field.length), ' ');
    record.replace(static_cast<std::size_t>(field.position - 1), piece.size(), piece);
}

inline std::string Digits(long long value, int width)
{
    std::string text = std::to_string(value);
    return std::string(text.size() < static_cast<std::size_t>(width) ? width - text.size() : 0, '0') + text;
}

struct RaceSpec
{
    std::string date = "20260105";
    std::string course = "06";
    int raceNo = 1;
    int distance = 1800;
    std::string track = "17";
    int registered = 8;
    std::string goingTurf = "1";
    std::string goingDirt = "1";
    std::string postTime = "1530";
};

inline std::string MakeRA(const RaceSpec& spec)
{
    std::string ra = BlankRecord("RA", jv::kLengthRA);
    Put(ra, jv::kDate, spec.date);
    Put(ra, jv::kCourseCode, spec.course);
    Put(ra, jv::kMeeting, "01");
    Put(ra, jv::kMeetingDay, "01");
    Put(ra, jv::kRaceNo, Digits(spec.raceNo, 2));
    Put(ra, jv::ra::kDistance, Digits(spec.distance, 4));
    Put(ra, jv::ra::kTrack, spec.track);
    Put(ra, jv::ra::kRegistered, Digits(spec.registered, 2));
    Put(ra, jv::ra::kGoingTurf, spec.goingTurf);
    Put(ra, jv::ra::kGoingDirt, spec.goingDirt);
    Put(ra, jv::ra::kPostTime, spec.postTime);
    return ra;
}

struct RunSpec
{
    std::string date = "20251201";
    std::string course = "06";
    int raceNo = 1;
    int horseNo = 1;
    std::string horseId = "2021100001";
    std::string time = "1495";  // mSSf
    std::string last3F = "350"; // SSf
    std::string timeDiff = "-000";
    int place = 1;
    int corner4 = 0;
};

inline std::string MakeSE(const RunSpec& spec)
{
    std::string se = BlankRecord("SE", jv::kLengthSE);
    Put(se, jv::kDate, spec.date);
    Put(se, jv::kCourseCode, spec.course);
    Put(se, jv::kMeeting, "01");
    Put(se, jv::kMeetingDay, "01");
    Put(se, jv::kRaceNo, Digits(spec.raceNo, 2));
    Put(se, jv::se::kFrameNo, std::to_string((spec.horseNo + 1) / 2));
    Put(se, jv::se::kHorseNo, Digits(spec.horseNo, 2));
    Put(se, jv::se::kHorseId, spec.horseId);
    Put(se, jv::se::kTime, spec.time);
    Put(se, jv::se::kLast3F, spec.last3F);
    Put(se, jv::se::kTimeDiff, spec.timeDiff);
    Put(se, jv::se::kFinalPosition, Digits(spec.place, 2));
    if (spec.corner4 > 0) {
        Put(se, jv::Nth(jv::se::kCorner, 2, 4), Digits(spec.corner4, 2));
    }
    return se;
}

// Writes records (each already ending in CR LF) to `file`, creating its folder.
inline void WriteRecords(const std::filesystem::path& file, const std::vector<std::string>& records)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const std::string& record : records) {
        out << record;
    }
}

// A fresh application folder with its store folders, removed at the end.
class TempAppDir : public TempDir
{
public:
    TempAppDir()
    {
        for (const char* folder : {"Data", "SEI", "SEIR"}) {
            std::filesystem::create_directories(Path() / folder);
        }
    }
};

} // namespace vornal::test
