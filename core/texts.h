// Date and time texts of the noise log: the clock, the day header and the entry time.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace suelvan {

// A plain calendar value in local time: no time zone, no daylight-saving flag.
struct LocalDateTime {
    int year = 2000;
    int month = 1;      // 1..12
    int day = 1;        // 1..31
    int hour = 0;       // 0..23
    int minute = 0;     // 0..59
    int second = 0;     // 0..59; takes part in arithmetic, never shown
    int utcOffset = 0;  // seconds east of UTC at this instant; 0 where nobody knows the zone

    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// Full weekday names in the user's language, UTF-8; index 0 is Sunday (weekday 1).
using WeekdayNames = std::array<std::string, 7>;

// Days since 1970-01-01 of a calendar date, and back: the arithmetic of the report.
int DayNumber(int year, int month, int day);
struct CalendarDate {
    int year;
    int month;
    int day;
};
CalendarDate DateOfDayNumber(int dayNumber);
bool IsCalendarDate(int year, int month, int day);
// "YYYY-MM-DD", four-digit year.
std::string IsoDate(int dayNumber);
void AppendIsoDate(std::string& out, int dayNumber);
// 1 = Sunday ... 7 = Saturday.
int WeekdayOfDayNumber(int dayNumber);

// 1 = Sunday ... 7 = Saturday.
int WeekdayNumber(const LocalDateTime& date);

// "<weekday>, d.m.yyyy"
std::string MakeDayHeader(const LocalDateTime& date, const WeekdayNames& names);
// "h:mm"
std::string MakeEntryTime(const LocalDateTime& time);
// The day header, a blank, the entry time: all of one instant.
std::string MakeClockText(const LocalDateTime& instant, const WeekdayNames& names);

// Reads the number that leads a text the way the minutes box has always been read:
// blanks, tabs and line feeds are skipped wherever they stand; sign, digits, one
// decimal point, exponent, or &H / &O integers; 0 when the text holds no number.
// Throws std::range_error when the number is too large to read.
double ReadLeadingNumber(std::string_view text);

// Seconds since 1970-01-01 0:00 UTC of a reading, through its utcOffset.
std::int64_t ToUnixSeconds(const LocalDateTime& t);
// The reading at `unixSeconds` on a clock `utcOffset` seconds ahead of UTC.
LocalDateTime FromUnixSeconds(std::int64_t unixSeconds, int utcOffset = 0);

// The local wall-clock reading at an instant (seconds since 1970 UTC). Only the platform
// knows the time zone and its daylight-saving rules, so it hands this in.
using LocalTimeAt = std::function<LocalDateTime(std::int64_t unixSeconds)>;

// The time moved back by the minutes the text holds (rounded to whole minutes,
// halves away from zero); "0" exactly leaves it unchanged. With `localAt` the minutes
// are elapsed time, so a daylight-saving change in between is seen; without it they are
// counted on the wall clock. Throws std::range_error when the number is too large or the
// result leaves 1.1.100 0:00:00 .. 31.12.9999 23:59:59.
LocalDateTime ApplyMinutesBack(const LocalDateTime& now, std::string_view minutesText,
                               const LocalTimeAt& localAt = {});

}  // namespace suelvan
