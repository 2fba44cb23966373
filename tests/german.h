// Shared by the tests: the weekday names a German desktop supplies, and readable dates in
// failure messages and test names.
#pragma once

#include <cstdlib>
#include <ostream>

#include "core/calendar.h"
#include "core/day_header.h"
#include "core/minutes.h"

namespace suelvan {

inline void PrintTo(const LocalDateTime& t, std::ostream* out) {
    *out << t.day << '.' << t.month << '.' << t.year << ' ' << t.hour << ':' << t.minute / 10 << t.minute % 10
         << ':' << t.second / 10 << t.second % 10;
    if (t.utcOffset != 0) *out << (t.utcOffset > 0 ? " +" : " -") << std::abs(t.utcOffset) / 60 << "min";
}

namespace test {

inline const WeekdayNames kGerman{"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                  "Donnerstag", "Freitag", "Samstag"};

}  // namespace test
}  // namespace suelvan
