#include "vocab/RacingTerms.h"

#include "text/Encoding.h"
#include "text/Fields.h"
#include "vocab/CodeNames.h"

namespace vornal {

CourseKind CourseKindOf(std::string_view courseCode)
{
    const std::string region = Trim(CourseRegion(courseCode));
    if (region.empty()) {
        return CourseKind::Unknown;
    }
    if (region == Sjis("地方")) {
        return CourseKind::Local;
    }
    if (region == Sjis("海外")) {
        return CourseKind::Overseas;
    }
    return CourseKind::Jra;
}

bool IsJraCourseCode(std::string_view courseCode)
{
    return courseCode.size() == 2 && IsAllDigits(courseCode) && LeadingNumber(courseCode) >= 1 &&
           LeadingNumber(courseCode) <= 10;
}

bool IsSteeplechaseTrack(std::string_view trackCode)
{
    return !trackCode.empty() && trackCode.front() == '5';
}

bool IsTurfTrack(int trackCode)
{
    return trackCode >= 10 && trackCode <= 22;
}

bool IsCurvedTurfTrack(int trackCode)
{
    return trackCode >= 11 && trackCode <= 22;
}

} // namespace vornal
