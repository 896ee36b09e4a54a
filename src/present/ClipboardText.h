#pragma once

#include <string>

#include "present/CellGrid.h"
#include "raceday/RaceDay.h"
#include "vocab/CodeNames.h"

// The texts the "ｸﾘｯﾌﾟﾎﾞｰﾄﾞ" buttons put on the clipboard: a title, CR LF, then every row of
// the table with its cells joined by TAB and ended by CR LF, header row included. The window
// hands the text to the clipboard as plain text; everything else is made here.
namespace vornal {

// Title, CR LF, and the rows of `grid` (GridLines with CR LF).
std::string ClipboardText(const CellGrid& grid, std::string_view title);

// "2026年01月05日": the date of the loaded day, from race slot 0's SlotKey. The title of the
// four day-summary tables.
std::string DayTitle(const RaceDay& day);

// The date of race slot `race`, its racecourse name in `form` and its race number as stored
// (two digits), then "R": "2026年01月05日中山11R" (short form, the past-run table) or
// "2026年01月05日中山  11R" (display form, the ranking table).
std::string RaceTitle(const RaceDay& day, int race, CourseForm form);

// The lap card's title: RaceTitle in the display form, CR LF, and the statistics block of
// four TAB-separated lines joined by CR LF: the column captions, then "勝ちタイム　　",
// "前半スピード　" and "後半スピード　" with the sample count, mean and the two spreads as
// the lap statistics panel shows them.
std::string LapCardTitle(const RaceDay& day, int race);

} // namespace vornal
