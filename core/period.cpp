#include "core/period.h"

#include <algorithm>

#include "core/calendar.h"

namespace suelvan {

int LastNight(const NightRule& night, int today, int minute) {
    // A night named N begins on day N, or on N + 1 when it begins before noon.
    const int beginsOn = night.start < kHalfDay ? 1 : 0;
    const int startedToday = today - beginsOn;
    return minute >= night.start ? startedToday : startedToday - 1;
}

int ShownEnd(int from, int to, int today) { return std::max(from, std::min(to, today)); }

Period PeriodOf(QuickPeriod choice, int today, int minute, const NightRule& night) {
    const CalendarDate date = DateOfDayNumber(today);
    const int monthStart = DayNumber(date.year, date.month, 1);
    switch (choice) {
        case QuickPeriod::LastNight: return {std::nullopt, std::nullopt, LastNight(night, today, minute)};
        case QuickPeriod::LastSevenDays: return {today - 6, today, std::nullopt};
        case QuickPeriod::ThisMonth: {
            const int next =
                date.month == 12 ? DayNumber(date.year + 1, 1, 1) : DayNumber(date.year, date.month + 1, 1);
            return {monthStart, std::min(today, next - 1), std::nullopt};
        }
        case QuickPeriod::LastMonth: {
            const CalendarDate before = DateOfDayNumber(monthStart - 1);
            return {DayNumber(before.year, before.month, 1), monthStart - 1, std::nullopt};
        }
        case QuickPeriod::ThisYear: return {DayNumber(date.year, 1, 1), today, std::nullopt};
        case QuickPeriod::Everything: break;
    }
    return {};
}

}  // namespace suelvan
