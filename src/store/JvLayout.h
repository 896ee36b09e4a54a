#pragma once

#include <string>
#include <string_view>

#include "text/Fields.h"

// Byte positions (1-based) and lengths of the JV-Data fields the system reads or writes.
// The readers of the store, the loader and the sample-season writer all take their
// positions from here. Record lengths include the CR LF that ends every record.
namespace vornal::jv {

struct FieldPos
{
    int position; // 1-based
    int length;
};

// Bytes of `record` at `field`, blank-padded when the record is short.
inline std::string Get(std::string_view record, FieldPos field)
{
    return Field(record, field.position, field.length);
}
inline std::string_view View(std::string_view record, FieldPos field)
{
    return FieldView(record, field.position, field.length);
}
inline long long Number(std::string_view record, FieldPos field)
{
    return LeadingNumber(View(record, field));
}
// The n-th (1-based) of a run of equal fields spaced `stride` bytes apart.
constexpr FieldPos Nth(FieldPos first, int stride, int n)
{
    return {first.position + stride * (n - 1), first.length};
}

// Record lengths, CR LF included. A stored line is the record without its CR LF.
constexpr int kLengthRA = 1272;
constexpr int kLengthSE = 555;
constexpr int kLengthHR = 719;
constexpr int kLengthO1 = 962;
constexpr int kLengthO2 = 2042;
constexpr int kLengthUM = 1609;
constexpr int kLengthUMOld = 1577;
constexpr int kLengthKS = 4173;
constexpr int kLengthCH = 3862;

// Identity fields shared by the race records (RA, SE, HR, O1, O2).
constexpr FieldPos kRecordKind{1, 2};
constexpr FieldPos kDataDivision{3, 1};
constexpr FieldPos kCreationDate{4, 8};
constexpr FieldPos kYear{12, 4};
constexpr FieldPos kMonthDay{16, 4};
constexpr FieldPos kDate{12, 8}; // yyyymmdd
constexpr FieldPos kCourseCode{20, 2};
constexpr FieldPos kMeeting{22, 2};
constexpr FieldPos kMeetingDay{24, 2};
constexpr FieldPos kRaceNo{26, 2};
constexpr FieldPos kRaceKey{12, 16};
// Year, month-day and racecourse: names the result-history file of a race.
constexpr FieldPos kDateCourse{12, 10};

namespace ra {
constexpr FieldPos kRaceName{33, 60};
constexpr FieldPos kShortName{605, 6};
constexpr FieldPos kGrade{615, 1};
constexpr FieldPos kRaceKind{617, 2};
constexpr FieldPos kRaceSymbol{619, 3};
constexpr FieldPos kWeightKind{622, 1};
// Race condition codes: 2-year-olds, 3-year-olds, 4-year-olds, 5 and older, youngest age.
constexpr FieldPos kCondition{623, 3}; // Nth(kCondition, 3, i) for i = 1..5
constexpr FieldPos kConditionYoungest{635, 3};
constexpr FieldPos kDistance{698, 4};
constexpr FieldPos kTrack{706, 2};
constexpr FieldPos kPostTime{874, 4};
constexpr FieldPos kRegistered{882, 2};
constexpr FieldPos kGoingTurf{889, 1};
constexpr FieldPos kGoingDirt{890, 1};
} // namespace ra

namespace se {
constexpr FieldPos kFrameNo{28, 1};
constexpr FieldPos kHorseNo{29, 2};
constexpr FieldPos kHorseId{31, 10};
constexpr FieldPos kHorseIdFolder{31, 4};
constexpr FieldPos kHorseName{41, 36};
constexpr FieldPos kSex{79, 1};
constexpr FieldPos kCoatColour{81, 2};
constexpr FieldPos kTrainerCode{86, 5};
constexpr FieldPos kTrainerName{91, 8};
constexpr FieldPos kCarriedWeight{289, 3};
constexpr FieldPos kJockeyCode{297, 5};
constexpr FieldPos kJockeyName{307, 8};
constexpr FieldPos kArrivalOrder{333, 2};
constexpr FieldPos kFinalPosition{335, 2};
constexpr FieldPos kTime{339, 4};
constexpr FieldPos kCorner{352, 2}; // Nth(kCorner, 2, c) for c = 1..4
constexpr FieldPos kWinOdds{360, 4};
constexpr FieldPos kPopularity{364, 2};
constexpr FieldPos kLast3F{391, 3};
constexpr FieldPos kTimeDiff{532, 4};
} // namespace se

namespace um {
constexpr FieldPos kHorseId{12, 10};
// Prize totals in hundreds of yen: flat main, jump main, flat added, jump added, flat
// earned, jump earned. Nth(kPrize, 9, i) for i = 1..6.
constexpr FieldPos kPrize{1053, 9};
// Finishing counts 1st..5th and other, six 3-digit counts a group.
constexpr FieldPos kTotalCounts{1107, 3};
constexpr int kCountGroupLength = 18;
// First count of each group the loader takes, in the loader's order.
constexpr int kCountGroups[] = {1125, 1161, 1179, 1215, 1233, 1269, 1287, 1305, 1323, 1341, 1359, 1377,
                                1395, 1413, 1431, 1449, 1467, 1485, 1503, 1521, 1539, 1557, 1575};
// Groups present in the record but not taken: overall 1107, turf straight 1143, dirt
// straight 1197, jump 1251.
// Every group by name. Overall counts JRA, local and overseas runs; all others JRA runs only.
constexpr int kGroupOverall = 1107;
constexpr int kGroupJra = 1125;
constexpr int kGroupTurfStraight = 1143;
constexpr int kGroupTurfRight = 1161;
constexpr int kGroupTurfLeft = 1179;
constexpr int kGroupDirtStraight = 1197;
constexpr int kGroupDirtRight = 1215;
constexpr int kGroupDirtLeft = 1233;
constexpr int kGroupJump = 1251;
// Going 1..4 (good, yielding, soft, heavy): turf, dirt and jump groups in that order.
constexpr int kGroupTurfGoing = 1269; // + (going - 1) * kCountGroupLength
constexpr int kGroupDirtGoing = 1341;
constexpr int kGroupJumpGoing = 1413;
// Distance bands up to 1600 m, 1601..2200 m and 2201 m or more: turf, then dirt.
constexpr int kGroupTurfDistance = 1485; // + band * kCountGroupLength
constexpr int kGroupDirtDistance = 1539;
} // namespace um

namespace ks {
constexpr FieldPos kJockeyCode{12, 5};
constexpr FieldPos kAffiliation{231, 1};
// Six 6-digit counts 1st..5th and other each.
constexpr FieldPos kThisYearFlat{1060, 6};
constexpr FieldPos kThisYearJump{1096, 6};
constexpr FieldPos kLastYearFlat{2112, 6};
constexpr FieldPos kLastYearJump{2148, 6};
} // namespace ks

namespace ch {
constexpr FieldPos kTrainerCode{12, 5};
constexpr FieldPos kAffiliation{195, 1};
constexpr FieldPos kThisYearFlat{749, 6};
constexpr FieldPos kThisYearJump{785, 6};
constexpr FieldPos kLastYearFlat{1801, 6};
constexpr FieldPos kLastYearJump{1837, 6};
} // namespace ch

namespace o1 {
constexpr FieldPos kAnnounced{28, 8}; // month-day-hour-minute
constexpr FieldPos kAnnouncedHour{32, 2};
constexpr FieldPos kAnnouncedMinute{34, 2};
constexpr FieldPos kWinOdds{46, 4};         // horse n at Nth(kWinOdds, 8, n)
constexpr FieldPos kPlaceOddsLow{270, 4};   // horse n at Nth(kPlaceOddsLow, 12, n)
constexpr FieldPos kPlaceOddsHigh{274, 4};  // horse n at Nth(kPlaceOddsHigh, 12, n)
constexpr FieldPos kBracketOdds{606, 5};    // combination k at Nth(kBracketOdds, 9, k)
} // namespace o1

namespace o2 {
constexpr FieldPos kAnnounced{28, 8}; // month-day-hour-minute
constexpr FieldPos kAnnouncedHour{32, 2};
constexpr FieldPos kAnnouncedMinute{34, 2};
constexpr FieldPos kQuinellaOdds{45, 6}; // combination q at Nth(kQuinellaOdds, 13, q)
} // namespace o2

namespace hr {
// One payout table of the HR record: `entries` entries `stride` bytes apart.
struct PayTable
{
    FieldPos key;
    FieldPos payout;
    FieldPos popularity;
    int entries;
    int stride;
};
constexpr PayTable kWin{{103, 2}, {105, 9}, {114, 2}, 3, 13};
constexpr PayTable kPlace{{142, 2}, {144, 9}, {153, 2}, 5, 13};
constexpr PayTable kBracketQuinella{{207, 2}, {209, 9}, {218, 2}, 3, 13};
constexpr PayTable kQuinella{{246, 4}, {250, 9}, {259, 3}, 3, 16};
constexpr PayTable kWide{{294, 4}, {298, 9}, {307, 3}, 7, 16};
} // namespace hr

} // namespace vornal::jv
