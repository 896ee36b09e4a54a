#pragma once

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/TuningTables.h"
#include "raceday/RaceDay.h"
#include "store/JvLayout.h"

// Hand-built race days for the rating tests: a race record, runner entries, horse masters
// and past runs with just the fields the rating pass reads.
namespace vornal::ratingtest {

inline void Put(std::string& record, jv::FieldPos field, std::string_view text)
{
    std::string piece(text.substr(0, static_cast<std::size_t>(field.length)));
    piece.resize(static_cast<std::size_t>(field.length), ' ');
    record.replace(static_cast<std::size_t>(field.position - 1), piece.size(), piece);
}

inline std::string Digits(long long value, int width)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*lld", width, value);
    return buffer;
}

// A race of `runners` registered runners at 中山 on 2026-01-05 in slot `race`. Every
// runner gets horse number slot + 1, 55.0 kg, jockey "00001" and trainer "01001" and no
// past run.
inline void SetRace(RaceDay& day, int race, int runners, std::string_view course = "06")
{
    std::string ra(jv::kLengthRA, ' ');
    Put(ra, jv::kYear, "2026");
    Put(ra, jv::kMonthDay, "0105");
    Put(ra, jv::kCourseCode, course);
    Put(ra, jv::kRaceNo, "11");
    Put(ra, jv::ra::kRegistered, Digits(runners, 2));
    day.RaceRA[race] = ra;
    for (int s = 0; s < runners; ++s) {
        std::string se(jv::kLengthSE, ' ');
        Put(se, jv::se::kHorseNo, Digits(s + 1, 2));
        Put(se, jv::se::kCarriedWeight, "550");
        Put(se, jv::se::kJockeyCode, "00001");
        Put(se, jv::se::kTrainerCode, "01001");
        day.RunnerSE[race][s] = se;
    }
    day.RaceCount = std::max(day.RaceCount, race + 1);
}

// Changes one field of a runner's entry record.
inline void SetEntry(RaceDay& day, int race, int slot, jv::FieldPos field, std::string_view text)
{
    std::string se(day.RunnerSE[race][slot].View());
    Put(se, field, text);
    day.RunnerSE[race][slot] = se;
}

// Horse master totals: the six prize totals (hundreds of yen) and six placing counts.
inline void SetHorse(RaceDay& day, int race, int slot, const std::vector<long long>& prizes,
                     const std::vector<int>& counts)
{
    std::string um(jv::kLengthUM, ' ');
    for (std::size_t i = 0; i < prizes.size(); ++i) {
        Put(um, jv::Nth(jv::um::kPrize, 9, static_cast<int>(i) + 1), Digits(prizes[i], 9));
    }
    for (std::size_t i = 0; i < counts.size(); ++i) {
        Put(um, jv::Nth(jv::um::kTotalCounts, 3, static_cast<int>(i) + 1), Digits(counts[i], 3));
    }
    day.RunnerUM[race][slot] = um;
}

struct PastRunSpec
{
    std::string course = "06"; // racecourse code of the run
    std::string arrival = "01";
    std::string finalPosition = "01";
    std::string timeDiff = "-002";
    std::string weight = "550";
};

// Past run `k` (0 = the latest) of a runner, with its key as the past-performance pass
// leaves it.
inline void SetRun(RaceDay& day, int race, int slot, int k, const PastRunSpec& run)
{
    std::string se(jv::kLengthSE, ' ');
    Put(se, jv::kYear, "2025");
    Put(se, jv::kMonthDay, "1201");
    Put(se, jv::kCourseCode, run.course);
    Put(se, jv::se::kArrivalOrder, run.arrival);
    Put(se, jv::se::kFinalPosition, run.finalPosition);
    Put(se, jv::se::kTimeDiff, run.timeDiff);
    Put(se, jv::se::kCarriedWeight, run.weight);
    day.PastSE[race][slot][k] = se;
    day.Races[race].Runners[slot].Past[k].PastRunKey = "20251201" + run.course;
}

// Tables with the built-in values and a rotation table whose cell [k][b] is
// 0.01 x (11 - b) + 0.001 x k, so every cell is distinct.
inline TuningTables MakeTables()
{
    TuningTables tables;
    SetBuiltInTables(tables);
    for (int k = 1; k <= kRotationRuns; ++k) {
        for (int b = 1; b <= kRotationBuckets; ++b) {
            tables.RotationTable[k][b] = 0.01 * (11 - b) + 0.001 * k;
        }
    }
    return tables;
}

// A master record of `length` bytes ending in CR LF, with a code, an affiliation and four
// runs of six counts at the given positions.
inline std::string MasterRecord(int length, jv::FieldPos codeField, std::string_view code,
                                jv::FieldPos affiliationField, std::string_view affiliation,
                                const std::vector<jv::FieldPos>& countFields,
                                const std::vector<std::vector<int>>& counts)
{
    std::string record(static_cast<std::size_t>(length - 2), ' ');
    record += "\r\n";
    Put(record, codeField, code);
    Put(record, affiliationField, affiliation);
    for (std::size_t run = 0; run < counts.size() && run < countFields.size(); ++run) {
        for (std::size_t i = 0; i < counts[run].size(); ++i) {
            Put(record, jv::Nth(countFields[run], 6, static_cast<int>(i) + 1), Digits(counts[run][i], 6));
        }
    }
    return record;
}

// Counts in the order this year flat, this year jump, last year flat, last year jump.
inline std::string JockeyRecord(std::string_view code, std::string_view affiliation,
                                const std::vector<std::vector<int>>& counts = {})
{
    return MasterRecord(jv::kLengthKS, jv::ks::kJockeyCode, code, jv::ks::kAffiliation, affiliation,
                        {jv::ks::kThisYearFlat, jv::ks::kThisYearJump, jv::ks::kLastYearFlat, jv::ks::kLastYearJump},
                        counts);
}

inline std::string TrainerRecord(std::string_view code, std::string_view affiliation,
                                 const std::vector<std::vector<int>>& counts = {})
{
    return MasterRecord(jv::kLengthCH, jv::ch::kTrainerCode, code, jv::ch::kAffiliation, affiliation,
                        {jv::ch::kThisYearFlat, jv::ch::kThisYearJump, jv::ch::kLastYearFlat, jv::ch::kLastYearJump},
                        counts);
}

inline void WriteFile(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace vornal::ratingtest
