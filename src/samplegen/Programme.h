#pragma once

#include <vector>

#include "samplegen/SampleRandom.h"
#include "samplegen/SeasonModel.h"

// The racing calendar and the programme of each race day: which racecourses race on a
// weekend, their meeting and day numbers, and the twelve races each of them runs.
namespace vornal::samplegen {

struct CourseDay
{
    const CourseInfo* course = nullptr;
    int meeting = 1;    // meeting of the year at this course
    int meetingDay = 1; // day of the meeting, 1..8
    int index = 0;      // 0 and 1: the two main courses of the weekend, 2: the third
};

// The racecourses racing on a Saturday or Sunday. The year is cut into blocks of four
// weekends; each block gives two or three courses, with the meeting number counting the
// course's earlier blocks in that year. `courses` 1..3 keeps that many of them, filling a
// two-course block's third place with a spare course; 0 keeps the calendar's own.
std::vector<CourseDay> CoursesOfDay(const SampleDate& date, int courses = 0);

// A race of the programme before its field is drawn.
struct RacePlan
{
    Race race; // everything but the runners and results
    int fieldTarget = 14;
};

// The twelve races of one racecourse on one day, in race-number order.
std::vector<RacePlan> PlanCard(const CourseDay& courseDay, const SampleDate& date, int day, SampleRandom& random);

// A plain older-horse race of the 1-win class, the programme's fallback when too few horses
// are fit for the race first planned.
void MakeFallbackRace(RacePlan& plan, Surface surface, SampleRandom& random);

} // namespace vornal::samplegen
