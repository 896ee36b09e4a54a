#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "raceday/RaceDay.h"
#include "store/JvLayout.h"

// Hand-built race days for the lap, axis-code and ability-deviation tests: a race record
// with the few fields those passes read, and past runs set field by field.
namespace vornal::laptest {

inline void Put(std::string& record, jv::FieldPos field, std::string_view text)
{
    record.replace(static_cast<std::size_t>(field.position - 1), text.size(), text);
}

struct RaceSpec
{
    std::string course = "05"; // 東京
    std::string distance = "1600";
    std::string track = "11";      // turf
    std::string condition = "005"; // youngest-age condition: 1勝クラス
    int registered = 4;
};

// Loads race slot `r` of `day` with a race of `spec`.
inline void SetRace(RaceDay& day, int r, const RaceSpec& spec)
{
    std::string ra(jv::kLengthRA, ' ');
    Put(ra, jv::kYear, "2026");
    Put(ra, jv::kMonthDay, "0105");
    Put(ra, jv::kCourseCode, spec.course);
    Put(ra, jv::kRaceNo, "01");
    Put(ra, jv::ra::kConditionYoungest, spec.condition);
    Put(ra, jv::ra::kDistance, spec.distance);
    Put(ra, jv::ra::kTrack, spec.track);
    char registered[3];
    registered[0] = static_cast<char>('0' + spec.registered / 10);
    registered[1] = static_cast<char>('0' + spec.registered % 10);
    registered[2] = '\0';
    Put(ra, jv::ra::kRegistered, registered);
    day.RaceRA[r] = ra;
    day.Races[r].RaceLoaded = true;
    day.Races[r].RunnerCount = spec.registered;
    if (day.RaceCount <= r) {
        day.RaceCount = r + 1;
    }
}

struct RunSpec
{
    std::string course = "05";
    int distance = 1600;
    std::string track = "11";
    std::string going = "1";
    std::string time = "1345"; // 1:34.5
    std::string last3f = "345";
    int place = 3;
    std::string timeDiff = "+005";
};

inline void SetRun(PastRun& run, const RunSpec& spec)
{
    run.PastRunPresent = true;
    run.PastRunKey = "20251201" + spec.course;
    run.PastDistance = spec.distance;
    run.PastTrack = spec.track;
    run.PastGoing = spec.going;
    run.PastTime = spec.time;
    run.PastLast3F = spec.last3f;
    run.PastPlace = spec.place;
    run.PastTimeDiff = spec.timeDiff;
}

inline std::unique_ptr<RaceDay> NewDay()
{
    auto day = std::make_unique<RaceDay>();
    ClearRaceDay(*day);
    BlankRaceDayRecords(*day);
    return day;
}

} // namespace vornal::laptest
