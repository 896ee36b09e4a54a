#include "present/RaceList.h"

#include "present/RaceLabels.h"
#include "text/Encoding.h"
#include "text/Format.h"
#include "vocab/CodeNames.h"
#include "vocab/RaceTexts.h"

namespace vornal {

std::string RaceListText(const RaceSlot& race)
{
    return CourseName(SlotCourseCode(race), CourseForm::Short) +
           MeetingDayText(MeetingNumber(race), MeetingDayNumber(race), true) + RaceNumberLabel(RaceNumber(race));
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
