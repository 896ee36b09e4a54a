#include "vocab/RaceTexts.h"

#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"
#include "vocab/TextHelpers.h"

namespace vornal {

std::string DateText(std::string_view yyyymmdd)
{
    return Field(yyyymmdd, 1, 4) + Sjis("年") + Field(yyyymmdd, 5, 2) + Sjis("月") + Field(yyyymmdd, 7, 2) + Sjis("日");
}

std::string SpacedDateText(std::string_view yyyymmdd)
{
    return Field(yyyymmdd, 1, 4) + Sjis("年") + fmt::sprintf("%2lld", FieldNumber(yyyymmdd, 5, 2)) + Sjis("月") +
           fmt::sprintf("%2lld", FieldNumber(yyyymmdd, 7, 2)) + Sjis("日");
}

std::string MeetingDayText(long long meeting, long long day, bool spaced)
{
    return fmt::sprintf("%lld", meeting) + (spaced ? Sjis("回 ") : Sjis("回")) + fmt::sprintf("%lld", day) + Sjis("日");
}

std::string RaceNumberLabel(long long raceNumber)
{
    return fmt::sprintf("%2lldR", raceNumber);
}

std::string RecordRaceLabel(std::string_view raceNoBytes)
{
    return SpaceForZero(raceNoBytes) + "R";
}

std::string StoredRaceLabel(std::string_view raceNoBytes)
{
    return std::string(raceNoBytes) + "R";
}

} // namespace vornal
