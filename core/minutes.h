// The minutes field: how long ago a disturbance was, read as it has always been read.
#pragma once

#include <string_view>

#include "core/calendar.h"

namespace suelvan {

// Reads the number that leads a text the way the minutes box has always been read:
// blanks, tabs and line feeds are skipped wherever they stand; sign, digits, one
// decimal point, exponent, or &H / &O integers; 0 when the text holds no number.
// Throws std::range_error when the number is too large to read.
double ReadLeadingNumber(std::string_view text);

// The time moved back by the minutes the text holds (rounded to whole minutes,
// halves away from zero); "0" exactly leaves it unchanged. With `localAt` the minutes
// are elapsed time, so a daylight-saving change in between is seen; without it they are
// counted on the wall clock. Throws std::range_error when the number is too large or the
// result leaves 1.1.100 0:00:00 .. 31.12.9999 23:59:59.
LocalDateTime ApplyMinutesBack(const LocalDateTime& now, std::string_view minutesText,
                               const LocalTimeAt& localAt = {});

}  // namespace suelvan
