#include "samplegen/SampleDate.h"

#include "text/Fields.h"
#include "text/Format.h"

namespace vornal::samplegen {

int DayNumber(const SampleDate& date)
{
    // Civil-date arithmetic with March as the first month, so the leap day ends the year.
    const int y = date.year - (date.month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int monthIndex = date.month > 2 ? date.month - 3 : date.month + 9;
    const int dayOfYear = (153 * monthIndex + 2) / 5 + date.day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

SampleDate DateOfDay(int dayNumber)
{
    const int z = dayNumber + 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const int dayOfEra = z - era * 146097;
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int monthIndex = (5 * dayOfYear + 2) / 153;
    SampleDate date;
    date.day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    date.month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    date.year = yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0);
    return date;
}

int Weekday(int dayNumber)
{
    // 1970-01-01 was a Thursday.
    const int w = (dayNumber + 4) % 7;
    return w < 0 ? w + 7 : w;
}

int DayOfYear(const SampleDate& date)
{
    return DayNumber(date) - DayNumber({date.year, 1, 1}) + 1;
}

std::optional<SampleDate> ParseIsoDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !IsAllDigits(text.substr(0, 4)) ||
        !IsAllDigits(text.substr(5, 2)) || !IsAllDigits(text.substr(8, 2))) {
        return std::nullopt;
    }
    SampleDate date{static_cast<int>(LeadingNumber(text.substr(0, 4))),
                    static_cast<int>(LeadingNumber(text.substr(5, 2))),
                    static_cast<int>(LeadingNumber(text.substr(8, 2)))};
    if (date.year < 1900 || date.month < 1 || date.month > 12 || date.day < 1 || DateOfDay(DayNumber(date)) != date) {
        return std::nullopt;
    }
    return date;
}

std::string DateDigits(const SampleDate& date)
{
    return fmt::sprintf("%04d%02d%02d", date.year, date.month, date.day);
}

std::string MonthDayDigits(const SampleDate& date)
{
    return fmt::sprintf("%02d%02d", date.month, date.day);
}

std::string IsoText(const SampleDate& date)
{
    return fmt::sprintf("%04d-%02d-%02d", date.year, date.month, date.day);
}

} // namespace vornal::samplegen
