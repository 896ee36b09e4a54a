#pragma once

#include <string>
#include <string_view>

// The date and meeting texts of races as the screens, printouts and store names write them,
// CP932.
namespace vornal {

// "2026年01月05日" from eight date digits (year, month, day) as they stand; bytes past the
// end of a short text read as blanks. The form of the store's day names and of the titles.
std::string DateText(std::string_view yyyymmdd);

// "2026年 1月 5日": the year as it stands, month and day read as numbers and written "%2d".
// The form of the race panel and the printed sheets.
std::string SpacedDateText(std::string_view yyyymmdd);

// "3回 5日" (spaced) or "3回5日": meeting and day numbers without leading zeros.
std::string MeetingDayText(long long meeting, long long day, bool spaced);

} // namespace vornal
