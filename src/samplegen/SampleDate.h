#pragma once

#include <optional>
#include <string>
#include <string_view>

// Calendar dates of the sample season, counted as days so that rest periods and weekdays
// are plain arithmetic.
namespace vornal::samplegen {

struct SampleDate
{
    int year = 2000;
    int month = 1;
    int day = 1;

    friend bool operator==(const SampleDate&, const SampleDate&) = default;
};

// Days since 1970-01-01 (proleptic Gregorian calendar), and back.
int DayNumber(const SampleDate& date);
SampleDate DateOfDay(int dayNumber);
// 0 = Sunday .. 6 = Saturday.
int Weekday(int dayNumber);
// Day of the year, 1 for 1 January.
int DayOfYear(const SampleDate& date);

// "YYYY-MM-DD" with a real calendar date; nothing otherwise.
std::optional<SampleDate> ParseIsoDate(std::string_view text);

// "yyyymmdd".
std::string DateDigits(const SampleDate& date);
// "mmdd".
std::string MonthDayDigits(const SampleDate& date);
// "yyyy-mm-dd".
std::string IsoText(const SampleDate& date);

} // namespace vornal::samplegen
