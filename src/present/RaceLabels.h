#pragma once

#include <string>
#include <string_view>

#include "raceday/RaceDay.h"

// Short labels of a race that the race list, the day-summary tables and the race header
// share. All results are CP932.
namespace vornal {

// The SlotKey parts as numbers: meeting (characters 11-12), day (13-14), race (15-16).
int MeetingNumber(const RaceSlot& race);
int MeetingDayNumber(const RaceSlot& race);
int RaceNumber(const RaceSlot& race);
// The racecourse code of the SlotKey (characters 9-10).
std::string SlotCourseCode(const RaceSlot& race);

// The first two characters of the racecourse's display name: "東京", "岩見", "ｱﾒ".
std::string CourseFirstTwo(std::string_view courseCode);

// True when the race record of slot `race` has a 開催年 (RA 12, 4 bytes): such a slot gets a
// race-list entry and a row in the day-summary tables.
bool HasMeetingYear(const RaceDay& day, int race);

// Going label of a going code: 1 "良　", 2 "稍重", 3 "重　", 4 "不良", "　　" otherwise.
std::string GoingLabel(int going);

// The class text of the youngest-age condition code: "701" "新馬　　　", "702" "未出走　　",
// "703" "未勝利　　", "999" "ｵｰﾌﾟﾝ　　 ", "005" "1勝ｸﾗｽ　　", "010" "2勝ｸﾗｽ　　",
// "016" "3勝ｸﾗｽ    ", any other code c "%4d" of c x 100 followed by "万円下" (the old
// prize-money classes: "020" is "2000万円下").
std::string ConditionText(std::string_view conditionCode);

// True for a steeplechase (track code starting with "5") or a race for newcomers or
// unraced horses ("701", "702"): races without lap figures.
bool WithoutLapFigures(const RaceSlot& race);

} // namespace vornal
