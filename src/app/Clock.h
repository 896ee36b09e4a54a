#pragma once

#include <string>

// The time of day as the user sees it (local time), and the clock that supplies it. Every
// rule that depends on "now" or "today" takes a Clock so that tests can fix the moment.
namespace vornal {

// A broken-down local date and time. Months and days count from 1.
struct LocalDateTime
{
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

class Clock
{
public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() const = 0;
};

// The machine's clock in the local time zone.
class SystemClock : public Clock
{
public:
    LocalDateTime Now() const override;
};

// A clock standing still at one moment (tests, replays).
class FixedClock : public Clock
{
public:
    explicit FixedClock(LocalDateTime now) : m_now(now) {}
    LocalDateTime Now() const override { return m_now; }
    void Set(LocalDateTime now) { m_now = now; }

private:
    LocalDateTime m_now;
};

// The process-wide system clock, for callers that have nothing to inject.
const Clock& DefaultClock();

// "yyyy/mm/dd hh:nn:ss", the form of time stamps in the settings file and the error log.
std::string FormatDateTime(const LocalDateTime& time);

// Calendar dates, on std::chrono's proleptic Gregorian calendar: the one date arithmetic of
// the system. True for a real date (29 February only in leap years).
bool IsCalendarDate(int year, int month, int day);
// Days from 1970-01-01 to the date (negative before it).
long long DaysSinceEpoch(int year, int month, int day);

// The same time of day `days` calendar days later (earlier when negative); month and year
// ends and leap days are followed. The time fields are kept as they are.
LocalDateTime AddDays(const LocalDateTime& time, int days);

} // namespace vornal
