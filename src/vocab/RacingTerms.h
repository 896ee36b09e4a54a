#pragma once

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

} // namespace vornal
