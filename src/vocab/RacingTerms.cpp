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

std::string TrackLabel(std::string_view trackCode, TrackLabelForm form)
{
    const bool full = form == TrackLabelForm::FullWidth;
    const long long code = LeadingNumber(trackCode);
    std::string_view label = full ? "　　" : "";
    if (code == 10) {
        label = "芝直";
    } else if (code >= 11 && code <= 16) {
        label = "芝左";
    } else if (code >= 17 && code <= 22) {
        label = "芝右";
    } else if (code == 23) {
        label = full ? "ダ左" : "ﾀﾞ左";
    } else if (code == 24) {
        label = full ? "ダ右" : "ﾀﾞ右";
    } else if (code == 29) {
        label = full ? "ダ直" : "ﾀﾞ直";
    } else if (code >= 51 && code <= 59) {
        label = "障害";
    }
    return Sjis(label);
}

bool IsTurfPanelTrack(std::string_view trackCode)
{
    return LeadingNumber(trackCode) < 23;
}

std::string PastRunGroundMark(std::string_view trackCode)
{
    const long long code = LeadingNumber(trackCode);
    return code < 23 ? Sjis("芝") : (code <= 24 ? Sjis("ダ") : Sjis("　"));
}

std::string PastRunSurfaceMark(std::string_view trackCode)
{
    const long long code = LeadingNumber(trackCode);
    return code <= 22 ? Sjis("芝") : (code <= 29 ? Sjis("ダ") : Sjis("障"));
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
