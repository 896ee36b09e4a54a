#include "present/RaceList.h"

#include "present/RaceLabels.h"
#include "text/Encoding.h"
#include "text/Format.h"
#include "vocab/CodeNames.h"

namespace vornal {

std::string RaceListText(const RaceSlot& race)
{
    return CourseName(SlotCourseCode(race), CourseForm::Short) + fmt::sprintf("%d", MeetingNumber(race)) + Sjis("回 ") +
           fmt::sprintf("%d", MeetingDayNumber(race)) + Sjis("日") + fmt::sprintf("%2d", RaceNumber(race)) + "R";
}

std::vector<RaceListEntry> BuildRaceList(const RaceDay& day)
{
    std::vector<RaceListEntry> entries;
    for (int r = 0; r < kRaceSlots; ++r) {
        if (HasMeetingYear(day, r)) {
            entries.push_back({r, RaceListText(day.Races[r]), day.Races[r].incomplete});
        }
    }
    return entries;
}

} // namespace vornal
