// Shared by the tests: the weekday names a German desktop supplies.
#pragma once

#include "core/texts.h"

namespace suelvan::test {

inline const WeekdayNames kGerman{"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                  "Donnerstag", "Freitag", "Samstag"};

}  // namespace suelvan::test
