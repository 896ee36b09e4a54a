#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "samplegen/Courses.h"
#include "samplegen/Programme.h"

namespace vornal::samplegen {
namespace {

std::vector<std::string> Codes(const std::vector<CourseDay>& courses)
{
    std::vector<std::string> codes;
    for (const CourseDay& day : courses) {
        codes.emplace_back(day.course->code);
    }
    return codes;
}

TEST(CoursesOfDay, ACountKeepsOrFillsTheCalendarsCourses)
{
    // Mid-September the calendar races at two courses; early January at three.
    const SampleDate september{2026, 9, 12};
    const SampleDate january{2026, 1, 10};
    ASSERT_EQ(Codes(CoursesOfDay(september)).size(), 2u);
    ASSERT_EQ(Codes(CoursesOfDay(january)).size(), 3u);

    const std::vector<CourseDay> three = CoursesOfDay(september, 3);
    ASSERT_EQ(three.size(), 3u);
    const std::vector<std::string> codes = Codes(three);
    EXPECT_EQ(std::vector(codes.begin(), codes.begin() + 2), Codes(CoursesOfDay(september)));
    EXPECT_EQ(std::set<std::string>(codes.begin(), codes.end()).size(), 3u);
    EXPECT_EQ(three[2].index, 2);
    EXPECT_EQ(three[2].meetingDay, three[0].meetingDay);

    EXPECT_EQ(Codes(CoursesOfDay(january, 3)), Codes(CoursesOfDay(january)));
    EXPECT_EQ(Codes(CoursesOfDay(january, 1)), std::vector<std::string>{Codes(CoursesOfDay(january))[0]});
    EXPECT_EQ(Codes(CoursesOfDay(september, 2)), Codes(CoursesOfDay(september)));
}

} // namespace
} // namespace vornal::samplegen
