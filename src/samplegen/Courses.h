#pragma once

#include <span>
#include <string>
#include <string_view>

// The racecourses of the sample season: which distances each course runs on each surface,
// how its track is laid out and how fast it rides. Used by the programme planner and the
// race simulation alike, so a distance is never run where the course has no start for it.
namespace vornal::samplegen {

enum class Surface { Turf, Dirt, Jump };

enum class CourseRegion { Jra, Local, Abroad };

struct CourseInfo
{
    std::string_view code; // JV-Data racecourse code
    CourseRegion region;
    bool leftHanded;
    bool east;                 // JRA: near the eastern training centre
    std::span<const int> turf; // distances in metres
    std::span<const int> dirt;
    std::span<const int> jump;
    double turfPace; // time multiplier against the national standard
    double dirtPace;
    int maxField;
};

// The ten JRA racecourses, 01..10 in code order.
std::span<const CourseInfo> JraCourses();
// Local racecourses that hold exchange races open to JRA horses.
std::span<const CourseInfo> LocalCourses();
// Foreign racecourses visited by Japanese horses.
std::span<const CourseInfo> AbroadCourses();
// The course with this code among all three lists; nullptr for an unknown code.
const CourseInfo* FindCourse(std::string_view code);

std::span<const int> Distances(const CourseInfo& course, Surface surface);

// JV-Data track code of a race: turf left/right and inner/outer loops, dirt left/right,
// steeplechase courses 51..59.
std::string TrackCode(const CourseInfo& course, Surface surface, int distance);

// Corners the field passes and the data service reports (0 on a straight course, 2 for a
// race started on the back straight, else 4). Positions are given for the last corners.
int CornerCount(const CourseInfo& course, Surface surface, int distance);

// Winning time in seconds of a horse rated 0 (a 1-win-class winner) on good going at a
// course of standard pace.
double StandardTime(Surface surface, int distance);

// Time of the last 600 m of the winner of a standard race.
double StandardLast3F(Surface surface, int distance);

} // namespace vornal::samplegen
