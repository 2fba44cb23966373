// The period a report covers: dates, or one night; and the window's quick choices.
#pragma once

#include <optional>

#include "core/night_rule.h"

namespace suelvan {

struct Period {
    std::optional<int> from;  // day numbers, inclusive
    std::optional<int> to;
    std::optional<int> night;  // only the entries of this night (named by its evening)
};

// The report window's quick choices of a period.
enum class QuickPeriod { LastNight, LastSevenDays, ThisMonth, LastMonth, ThisYear, Everything };
// The last day a period of these days is shown with: never past today, never before its
// first.
int ShownEnd(int from, int to, int today);

// The period a quick choice means on `today` at `minute` under `night`.
Period PeriodOf(QuickPeriod choice, int today, int minute, const NightRule& night);
// The most recent night under the rule that has begun by `minute` of `today`.
int LastNight(const NightRule& night, int today, int minute);

}  // namespace suelvan
