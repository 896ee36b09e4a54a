#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "store/JvLayout.h"

// Builders of JV-Data records and store files for the race-day tests.
#include "support/TestFiles.h"

namespace vornal::test {

// A record of `length` bytes (CR LF included) of blanks with its kind in bytes 1..2.
inline std::string BlankRecord(int length, std::string_view kind = "")
{
    std::string record(static_cast<std::size_t>(length - 2), ' ');
    record.replace(0, kind.size(), kind);
    return record + "\r\n";
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
    std::string ra = BlankRecord(jv::kLengthRA, "RA");
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
    std::string se = BlankRecord(jv::kLengthSE, "SE");
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
