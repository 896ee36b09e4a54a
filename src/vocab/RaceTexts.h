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

// The race label of a race number: " 9R", "11R" ("%2d" and "R"). The form of the race list,
// the day tables, the hit report and the sheets.
std::string RaceNumberLabel(long long raceNumber);
// The race label of the two race-number bytes of a record, as the status and error lines
// write it: " 9R", "11R", and "  R" when the bytes hold no number (blank, "00", not digits).
std::string RecordRaceLabel(std::string_view raceNoBytes);
// The race label with the two race-number bytes as they stand ("09R"): the titles of copied
// and printed tables, and the record names of the acquisition's skipped records.
std::string StoredRaceLabel(std::string_view raceNoBytes);

} // namespace vornal
