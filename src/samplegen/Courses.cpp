#include "samplegen/Courses.h"

#include <array>

namespace vornal::samplegen {
namespace {

// Distances run at each course (metres), from the published course layouts.
constexpr int kSapporoTurf[] = {1200, 1500, 1800, 2000, 2600};
constexpr int kSapporoDirt[] = {1000, 1700, 2400};
constexpr int kHakodateTurf[] = {1000, 1200, 1800, 2000, 2600};
constexpr int kHakodateDirt[] = {1000, 1700, 2400};
constexpr int kFukushimaTurf[] = {1200, 1800, 2000, 2600};
constexpr int kFukushimaDirt[] = {1150, 1700, 2400};
constexpr int kFukushimaJump[] = {2750, 3380};
constexpr int kNiigataTurf[] = {1000, 1200, 1400, 1600, 1800, 2000, 2200, 2400};
constexpr int kNiigataDirt[] = {1200, 1800, 2500};
constexpr int kNiigataJump[] = {2850, 3250};
constexpr int kTokyoTurf[] = {1400, 1600, 1800, 2000, 2300, 2400, 2500, 3400};
constexpr int kTokyoDirt[] = {1300, 1400, 1600, 2100};
constexpr int kTokyoJump[] = {3000, 3110};
constexpr int kNakayamaTurf[] = {1200, 1600, 1800, 2000, 2200, 2500, 3600};
constexpr int kNakayamaDirt[] = {1200, 1800, 2400, 2500};
constexpr int kNakayamaJump[] = {2880, 3200, 3350, 4100};
constexpr int kChukyoTurf[] = {1200, 1400, 1600, 2000, 2200, 3000};
constexpr int kChukyoDirt[] = {1200, 1400, 1800, 1900};
constexpr int kChukyoJump[] = {3000, 3300};
constexpr int kKyotoTurf[] = {1200, 1400, 1600, 1800, 2000, 2200, 2400, 3000, 3200};
constexpr int kKyotoDirt[] = {1200, 1400, 1800, 1900};
constexpr int kKyotoJump[] = {2910, 3170, 3930};
constexpr int kHanshinTurf[] = {1200, 1400, 1600, 1800, 2000, 2200, 2400, 2600, 3000, 3200};
constexpr int kHanshinDirt[] = {1200, 1400, 1800, 2000};
constexpr int kHanshinJump[] = {2970, 3140, 3900};
constexpr int kKokuraTurf[] = {1200, 1700, 1800, 2000, 2600};
constexpr int kKokuraDirt[] = {1000, 1700, 2400};
constexpr int kKokuraJump[] = {2860, 3390};

constexpr std::span<const int> kNone{};

const std::array<CourseInfo, 10> kJra = {{
    {"01", CourseRegion::Jra, false, true, kSapporoTurf, kSapporoDirt, kNone, 1.010, 1.005, 16},
    {"02", CourseRegion::Jra, false, true, kHakodateTurf, kHakodateDirt, kNone, 1.010, 1.006, 16},
    {"03", CourseRegion::Jra, false, true, kFukushimaTurf, kFukushimaDirt, kFukushimaJump, 1.002, 1.004, 16},
    {"04", CourseRegion::Jra, true, true, kNiigataTurf, kNiigataDirt, kNiigataJump, 0.995, 0.998, 18},
    {"05", CourseRegion::Jra, true, true, kTokyoTurf, kTokyoDirt, kTokyoJump, 0.994, 1.002, 18},
    {"06", CourseRegion::Jra, false, true, kNakayamaTurf, kNakayamaDirt, kNakayamaJump, 1.004, 1.000, 16},
    {"07", CourseRegion::Jra, true, false, kChukyoTurf, kChukyoDirt, kChukyoJump, 1.000, 1.003, 18},
    {"08", CourseRegion::Jra, false, false, kKyotoTurf, kKyotoDirt, kKyotoJump, 0.995, 0.997, 18},
    {"09", CourseRegion::Jra, false, false, kHanshinTurf, kHanshinDirt, kHanshinJump, 1.002, 1.000, 18},
    {"10", CourseRegion::Jra, false, false, kKokuraTurf, kKokuraDirt, kKokuraJump, 0.998, 0.999, 16},
}};

// Local exchange races are run on deep sand, a couple of percent slower than JRA dirt.
constexpr int kOiDirt[] = {1200, 1600, 1800, 2000};
constexpr int kFunabashiDirt[] = {1000, 1600, 1800, 2400};
constexpr int kKawasakiDirt[] = {1400, 1600, 2100};
constexpr int kUrawaDirt[] = {1400, 2000};
constexpr int kSonodaDirt[] = {1400, 1870};
constexpr int kNagoyaDirt[] = {1500, 2000};
constexpr int kMoriokaDirt[] = {1200, 1600, 2000};
constexpr int kMonbetsuDirt[] = {1200, 1800};

const std::array<CourseInfo, 8> kLocal = {{
    {"44", CourseRegion::Local, false, true, kNone, kOiDirt, kNone, 1.0, 1.025, 16},
    {"43", CourseRegion::Local, true, true, kNone, kFunabashiDirt, kNone, 1.0, 1.028, 14},
    {"45", CourseRegion::Local, true, true, kNone, kKawasakiDirt, kNone, 1.0, 1.030, 14},
    {"42", CourseRegion::Local, true, true, kNone, kUrawaDirt, kNone, 1.0, 1.032, 12},
    {"50", CourseRegion::Local, false, false, kNone, kSonodaDirt, kNone, 1.0, 1.035, 12},
    {"48", CourseRegion::Local, false, false, kNone, kNagoyaDirt, kNone, 1.0, 1.033, 12},
    {"35", CourseRegion::Local, true, true, kNone, kMoriokaDirt, kNone, 1.0, 1.027, 16},
    {"30", CourseRegion::Local, false, true, kNone, kMonbetsuDirt, kNone, 1.0, 1.030, 16},
}};

constexpr int kShaTinTurf[] = {1200, 1600, 2000, 2400};
constexpr int kMeydanTurf[] = {1800, 2410};
constexpr int kMeydanDirt[] = {1900};
constexpr int kLongchampTurf[] = {2400};
constexpr int kRiyadhTurf[] = {2100};
constexpr int kRiyadhDirt[] = {1800};

const std::array<CourseInfo, 4> kAbroad = {{
    {"G0", CourseRegion::Abroad, false, false, kShaTinTurf, kNone, kNone, 0.998, 1.0, 14},
    {"C7", CourseRegion::Abroad, true, false, kMeydanTurf, kMeydanDirt, kNone, 1.000, 1.004, 16},
    {"A8", CourseRegion::Abroad, false, false, kLongchampTurf, kNone, kNone, 1.015, 1.0, 18},
    {"K6", CourseRegion::Abroad, true, false, kRiyadhTurf, kRiyadhDirt, kNone, 1.002, 1.006, 14},
}};

bool OuterTurf(std::string_view code, int distance)
{
    // Courses with a separate outer loop, and the distances that start on it.
    if (code == "06") {
        return distance == 1200 || distance == 1600 || distance == 2200;
    }
    if (code == "08") {
        return distance == 1800 || distance == 2200 || distance == 2400 || distance == 3000 || distance == 3200;
    }
    if (code == "09") {
        return distance == 1600 || distance == 1800 || distance == 2400 || distance == 2600;
    }
    if (code == "04") {
        return distance == 1600 || distance == 1800;
    }
    return false;
}

} // namespace

std::span<const CourseInfo> JraCourses()
{
    return kJra;
}

std::span<const CourseInfo> LocalCourses()
{
    return kLocal;
}

std::span<const CourseInfo> AbroadCourses()
{
    return kAbroad;
}

const CourseInfo* FindCourse(std::string_view code)
{
    for (std::span<const CourseInfo> list : {JraCourses(), LocalCourses(), AbroadCourses()}) {
        for (const CourseInfo& course : list) {
            if (course.code == code) {
                return &course;
            }
        }
    }
    return nullptr;
}

std::span<const int> Distances(const CourseInfo& course, Surface surface)
{
    switch (surface) {
    case Surface::Turf:
        return course.turf;
    case Surface::Dirt:
        return course.dirt;
    case Surface::Jump:
        return course.jump;
    }
    return {};
}

std::string TrackCode(const CourseInfo& course, Surface surface, int distance)
{
    switch (surface) {
    case Surface::Turf:
        if (course.code == "04" && distance == 1000) {
            return "10"; // the straight course
        }
        if (course.leftHanded) {
            return OuterTurf(course.code, distance) ? "12" : "11";
        }
        if (course.code == "09" && distance == 3200) {
            return "20"; // outer loop first, inner loop home
        }
        return OuterTurf(course.code, distance) ? "18" : "17";
    case Surface::Dirt:
        return course.leftHanded ? "23" : "24";
    case Surface::Jump:
        // Long steeplechases cross the turf twice or use the cross-country banks.
        if (distance >= 3900) {
            return "51";
        }
        return distance >= 3200 ? "55" : "54";
    }
    return "00";
}

int CornerCount(const CourseInfo& course, Surface surface, int distance)
{
    if (surface == Surface::Jump) {
        return 4;
    }
    if (surface == Surface::Turf && course.code == "04" && distance == 1000) {
        return 0;
    }
    if (distance <= 1400) {
        return 2;
    }
    // One-turn miles: the long back straights of the left-handed courses and the outer loops.
    if (distance <= 1600 && (course.code == "05" || course.code == "07")) {
        return 2;
    }
    if (surface == Surface::Turf && distance <= 1800 && OuterTurf(course.code, distance)) {
        return 2;
    }
    return 4;
}

double StandardTime(Surface surface, int distance)
{
    switch (surface) {
    case Surface::Turf:
        return 69.2 + 0.0635 * (distance - 1200);
    case Surface::Dirt:
        return 72.6 + 0.068 * (distance - 1200);
    case Surface::Jump:
        return 3.0 + 0.0665 * distance;
    }
    return 0;
}

double StandardLast3F(Surface surface, int distance)
{
    switch (surface) {
    case Surface::Turf:
        return 34.3 + 0.0003 * (distance - 1200);
    case Surface::Dirt:
        return 36.8 + 0.0008 * (distance - 1200);
    case Surface::Jump:
        return 0; // steeplechases report the average furlong instead
    }
    return 0;
}

} // namespace vornal::samplegen
