#include "raceday/PastPerformance.h"

#include "store/JvLayout.h"
#include "store/StorePaths.h"

namespace vornal {

void ReadHistory(RaceDay& day, int race, int runner, long long raceDate, FileCache& files,
                 const TakenRecord& taken)
{
    const std::string horseId = jv::Get(day.RunnerSE[race][runner], jv::se::kHorseId);
    if (!IsValidHorseId(horseId) || raceDate <= 0) {
        return;
    }
    const RecordFile* history = files.Get(HorseHistoryFile(files.AppDir(), horseId), jv::kLengthSE);
    if (history == nullptr) {
        return;
    }
    history->RequireWhole();
    int count = 0;
    // The file is in ascending date order; walking it backwards meets the latest runs
    // first. Runs on or after the race date are skipped, so an old date loads as it was.
    for (int i = history->Count() - 1; i >= 0 && count < kPastRuns; --i) {
        const std::string_view record = history->Record(i);
        const long long runDate = LeadingNumber(jv::View(record, jv::kDate));
        if (runDate > 0 && runDate < raceDate) {
            day.PastSE[race][runner][count++] = record;
            if (taken) {
                taken(*history, i, record);
            }
        }
    }
}

void ReadPastRaces(RaceDay& day, int race, int runner, FileCache& files, const TakenRecord& taken)
{
    for (int k = 0; k < kPastRuns; ++k) {
        const SeRecord& run = day.PastSE[race][runner][k];
        const std::string dateCourse = jv::Get(run, jv::kDateCourse);
        if (dateCourse.size() != 10 || !IsValidDateDigits(std::string_view(dateCourse).substr(0, 8)) ||
            !IsKnownCourseCode(std::string_view(dateCourse).substr(8, 2))) {
            continue; // a blank run, or bytes that cannot name a store file
        }
        const RecordFile* races = files.GetByKey(dateCourse, jv::kLengthRA,
                                                 [&] { return ResultHistoryFile(files.AppDir(), dateCourse); });
        if (races == nullptr) {
            continue;
        }
        races->RequireWhole();
        if (const int i = files.FindRace(*races, jv::View(run, jv::kRaceNo)); i >= 0) {
            const std::string_view record = races->Record(i);
            day.PastRA[race][runner][k] = record;
            if (taken) {
                taken(*races, i, record);
            }
        }
    }
}

} // namespace vornal
