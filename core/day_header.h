// What the window shows and writes for an instant: the day header and the entry time.
#pragma once

#include <array>
#include <string>

#include "core/calendar.h"

namespace suelvan {

// Full weekday names in the user's language, UTF-8; index 0 is Sunday (weekday 1).
using WeekdayNames = std::array<std::string, 7>;

// "<weekday>, d.m.yyyy"
std::string MakeDayHeader(const LocalDateTime& date, const WeekdayNames& names);
// "h:mm"
std::string MakeEntryTime(const LocalDateTime& time);
// The day header, a blank, the entry time: all of one instant.
std::string MakeClockText(const LocalDateTime& instant, const WeekdayNames& names);

}  // namespace suelvan
