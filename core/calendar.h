// Calendar arithmetic of the diary and the report: plain values, no time zone of its own.
#pragma once

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
// The same written at `at`; where it ends.
char* PutIsoDate(char* at, int dayNumber);
// "1.12.2026"
std::string GermanDate(int dayNumber);
// 1 = Sunday ... 7 = Saturday.
int WeekdayOfDayNumber(int dayNumber);
int WeekdayNumber(const LocalDateTime& date);
// The German weekday name of a day number: the report's own, not the header's.
std::string_view GermanWeekday(int dayNumber);
// "HH:MM" of a minute of the day.
std::string ClockText(int minute);
char* PutClockText(char* at, int minute);
// "6:05", as the diary writes times.
std::string ShortClockText(int minute);
// The night named by its evening: "8./9.12.2026", "30.11./1.12.2026", "31.12.2026/1.1.2027"
std::string NightName(int night);
// "9.12.2026 7:05": when a report was made.
std::string CreatedText(const LocalDateTime& now);

// Seconds since 1970-01-01 0:00 on the wall clock of the reading, its offset ignored.
std::int64_t WallSeconds(const LocalDateTime& t);
LocalDateTime FromWallSeconds(std::int64_t seconds);
// Seconds since 1970-01-01 0:00 UTC of a reading, through its utcOffset.
std::int64_t ToUnixSeconds(const LocalDateTime& t);
// The reading at `unixSeconds` on a clock `utcOffset` seconds ahead of UTC.
LocalDateTime FromUnixSeconds(std::int64_t unixSeconds, int utcOffset = 0);

// The local wall-clock reading at an instant (seconds since 1970 UTC). Only the platform
// knows the time zone and its daylight-saving rules, so it hands this in.
using LocalTimeAt = std::function<LocalDateTime(std::int64_t unixSeconds)>;

}  // namespace suelvan
