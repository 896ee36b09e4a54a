#include "vocab/RacingTerms.h"

#include <array>
#include <atomic>

#include "text/Encoding.h"
#include "text/Fields.h"
#include "vocab/CodeNames.h"

namespace vornal {

namespace {

CourseKind LookUpCourseKind(std::string_view courseCode)
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

} // namespace

CourseKind CourseKindOf(std::string_view courseCode)
{
    // The rating and lap passes ask for every past run; the answer for a two-byte code is
    // looked up in the code tables once and kept (-1: not yet).
    struct Known
    {
        Known()
        {
            for (auto& kind : kinds) {
                kind.store(-1, std::memory_order_relaxed);
            }
        }
        std::array<std::atomic<signed char>, 65536> kinds;
    };
    static Known table;
    auto& known = table.kinds;
    if (courseCode.size() != 2) {
        return LookUpCourseKind(courseCode);
    }
    const std::size_t index = static_cast<unsigned char>(courseCode[0]) * 256u + static_cast<unsigned char>(courseCode[1]);
    signed char kind = known[index].load(std::memory_order_relaxed);
    if (kind < 0) {
        kind = static_cast<signed char>(LookUpCourseKind(courseCode));
        known[index].store(kind, std::memory_order_relaxed);
    }
    return static_cast<CourseKind>(kind);
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
