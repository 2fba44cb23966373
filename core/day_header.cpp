#include "core/day_header.h"

namespace suelvan {

std::string MakeDayHeader(const LocalDateTime& date, const WeekdayNames& names) {
    return names[static_cast<std::size_t>(WeekdayNumber(date) - 1)] + ", " + std::to_string(date.day) + "." +
           std::to_string(date.month) + "." + std::to_string(date.year);
}

std::string MakeEntryTime(const LocalDateTime& time) {
    return std::to_string(time.hour) + ":" + static_cast<char>('0' + time.minute / 10) +
           static_cast<char>('0' + time.minute % 10);
}

std::string MakeClockText(const LocalDateTime& instant, const WeekdayNames& names) {
    return MakeDayHeader(instant, names) + " " + MakeEntryTime(instant);
}

}  // namespace suelvan
