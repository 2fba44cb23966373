// Date and time texts of the noise log: the clock, the day header and the entry time.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace suelvan {

// A plain calendar value in local time: no time zone, no daylight-saving flag.
struct LocalDateTime {
    int year = 2000;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..59; takes part in arithmetic, never shown

    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// Full weekday names in the user's language, UTF-8; index 0 is Sunday (weekday 1).
using WeekdayNames = std::array<std::string, 7>;

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

// The time moved back by the minutes the text holds (rounded to whole minutes,
// halves away from zero); "0" exactly leaves it unchanged. Throws std::range_error
// when the number is too large or the result leaves 1.1.100 0:00:00 .. 31.12.9999 23:59:59.
LocalDateTime ApplyMinutesBack(const LocalDateTime& now, std::string_view minutesText);

}  // namespace suelvan
