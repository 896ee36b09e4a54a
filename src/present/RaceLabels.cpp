#include "present/RaceLabels.h"

#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"
#include "vocab/CodeNames.h"

namespace vornal {

int MeetingNumber(const RaceSlot& race)
{
    return static_cast<int>(FieldNumber(race.SlotKey.View(), 11, 2));
}

int MeetingDayNumber(const RaceSlot& race)
{
    return static_cast<int>(FieldNumber(race.SlotKey.View(), 13, 2));
}

int RaceNumber(const RaceSlot& race)
{
    return static_cast<int>(FieldNumber(race.SlotKey.View(), 15, 2));
}

std::string SlotCourseCode(const RaceSlot& race)
{
    return Field(race.SlotKey.View(), 9, 2);
}

std::string CourseFirstTwo(std::string_view courseCode)
{
    // Characters, not bytes: a kanji name is four bytes, a half-width katakana one two.
    const std::string name = CourseName(courseCode, CourseForm::Display);
    std::size_t end = 0;
    for (int c = 0; c < 2 && end < name.size(); ++c) {
        end += CharLength(name, end);
    }
    return name.substr(0, end);
}

bool HasMeetingYear(const RaceDay& day, int race)
{
    return race >= 0 && race < kRaceSlots && !IsBlank(FieldView(day.RaceRA[race].View(), 12, 4));
}

std::string GoingLabel(int going)
{
    switch (going) {
    case 1:
        return Sjis("良　");
    case 2:
        return Sjis("稍重");
    case 3:
        return Sjis("重　");
    case 4:
        return Sjis("不良");
    default:
        return Sjis("　　");
    }
}

std::string ConditionText(std::string_view conditionCode)
{
    if (conditionCode == "701") {
        return Sjis("新馬　　　");
    }
    if (conditionCode == "702") {
        return Sjis("未出走　　");
    }
    if (conditionCode == "703") {
        return Sjis("未勝利　　");
    }
    if (conditionCode == "999") {
        return Sjis("ｵｰﾌﾟﾝ　　 ");
    }
    if (conditionCode == "005") {
        return Sjis("1勝ｸﾗｽ　　");
    }
    if (conditionCode == "010") {
        return Sjis("2勝ｸﾗｽ　　");
    }
    if (conditionCode == "016") {
        return Sjis("3勝ｸﾗｽ    ");
    }
    return fmt::sprintf("%4lld", LeadingNumber(conditionCode) * 100) + Sjis("万円下");
}

bool WithoutLapFigures(const RaceSlot& race)
{
    const std::string_view youngest = race.ConditionCodes[4].View();
    return race.TrackCode.View().starts_with("5") || youngest == "701" || youngest == "702";
}

} // namespace vornal
