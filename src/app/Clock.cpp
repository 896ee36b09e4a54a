#include "app/Clock.h"

#include <chrono>
#include <ctime>

#include "text/Format.h"

namespace vornal {

LocalDateTime SystemClock::Now() const
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

const Clock& DefaultClock()
{
    static const SystemClock clock;
    return clock;
}

std::string FormatDateTime(const LocalDateTime& time)
{
    return fmt::sprintf("%04d/%02d/%02d %02d:%02d:%02d", time.year, time.month, time.day, time.hour, time.minute,
                        time.second);
}

namespace {

std::chrono::year_month_day CivilDate(int year, int month, int day)
{
    return std::chrono::year_month_day{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                       std::chrono::day{static_cast<unsigned>(day)}};
}

} // namespace

bool IsCalendarDate(int year, int month, int day)
{
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && CivilDate(year, month, day).ok();
}

long long DaysSinceEpoch(int year, int month, int day)
{
    return std::chrono::sys_days{CivilDate(year, month, day)}.time_since_epoch().count();
}

LocalDateTime AddDays(const LocalDateTime& time, int days)
{
    using namespace std::chrono;
    const year_month_day date{year{time.year}, month{static_cast<unsigned>(time.month)},
                              day{static_cast<unsigned>(time.day)}};
    const year_month_day moved{sys_days{date} + std::chrono::days{days}};
    LocalDateTime out = time;
    out.year = static_cast<int>(moved.year());
    out.month = static_cast<int>(static_cast<unsigned>(moved.month()));
    out.day = static_cast<int>(static_cast<unsigned>(moved.day()));
    return out;
}

} // namespace vornal
