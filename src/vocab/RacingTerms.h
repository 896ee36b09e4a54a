#pragma once

#include <string>
#include <string_view>

// The racing concepts several passes decide: what kind of racecourse a code names and which
// surface a track code is. Where the passes really read a code differently, each reading
// has its own function here, with the reason.
namespace vornal {

enum class CourseKind {
    Jra,      // one of the ten JRA racecourses (01..10), or a local meeting held at one (58..61)
    Local,    // local racing (30..57)
    Overseas, // a racecourse abroad
    Unknown,  // blank or not in the code table
};

// The kind by the racecourse table's region (CourseRegion): a local meeting held at a JRA
// racecourse carries that racecourse's name and so counts as JRA here.
CourseKind CourseKindOf(std::string_view courseCode);

// True for the codes "01".."10" alone. Past-run figures (base times, indices, axis codes)
// need the JRA's own timing, which a local meeting at a JRA racecourse does not have, so
// these passes take the code, not the region.
bool IsJraCourseCode(std::string_view courseCode);

// True for a steeplechase track: the track code begins with "5".
bool IsSteeplechaseTrack(std::string_view trackCode);

// True for a turf track code, 10..22 (straight, left- and right-handed turf).
bool IsTurfTrack(int trackCode);

// True for a turf track code 11..22: the lap tables and the developer method have no row for
// the straight turf course (10), whose times run with the dirt ones.
bool IsCurvedTurfTrack(int trackCode);

enum class TrackLabelForm {
    HalfWidth, // "ﾀﾞ左": tables, the race panel, the CLI; empty for a code without a label
    FullWidth, // "ダ左": the printed bet sheet; "　　" for a code without a label
};

// Track label of a track code read as a number: 10 芝直, 11..16 芝左, 17..22 芝右, 23 ダ左,
// 24 ダ右, 29 ダ直, 51..59 障害. Codes 25..28 (dirt courses the label set has no name for)
// and every other code have no label.
std::string TrackLabel(std::string_view trackCode, TrackLabelForm form = TrackLabelForm::HalfWidth);

// True when the race panel paints the track green: a code below 23 (blank reads as 0).
bool IsTurfPanelTrack(std::string_view trackCode);

// One-character surface of a past run in the past-run table: "芝" below 23, "ダ" for 23 and
// 24, a full-width blank for 25 and above (the codes the table's owner could not name).
std::string PastRunGroundMark(std::string_view trackCode);

// One-character surface of a past run in the race card and the detail grid: "芝" up to 22,
// "ダ" up to 29 (25..29 are dirt courses), "障" above. These views read 25..29 as dirt, as
// the rating does for a past run, where the past-run table leaves them blank.
std::string PastRunSurfaceMark(std::string_view trackCode);

} // namespace vornal
