#include "core/calendar.h"

#include <array>

namespace suelvan {
namespace {

// Days since 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant's algorithm).
constexpr std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct CivilDate {
    std::int64_t year;
    int month;
    int day;
};

constexpr CivilDate CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (m <= 2), m, d};
}

static_assert(DaysFromCivil(1970, 1, 1) == 0);
static_assert(DaysFromCivil(2000, 3, 1) == 11017);
static_assert(CivilFromDays(DaysFromCivil(2008, 2, 29)).day == 29);

constexpr std::int64_t kSecondsPerDay = 86400;

}  // namespace

int DayNumber(int year, int month, int day) { return static_cast<int>(DaysFromCivil(year, month, day)); }

CalendarDate DateOfDayNumber(int dayNumber) {
    const CivilDate date = CivilFromDays(dayNumber);
    return {static_cast<int>(date.year), date.month, date.day};
}

bool IsCalendarDate(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > 31) return false;
    const CivilDate back = CivilFromDays(DaysFromCivil(year, month, day));
    return back.year == year && back.month == month && back.day == day;
}

std::string IsoDate(int dayNumber) {
    std::string text;
    AppendIsoDate(text, dayNumber);
    return text;
}

void AppendIsoDate(std::string& out, int dayNumber) {
    char text[10];
    out.append(text, PutIsoDate(text, dayNumber));
}

char* PutIsoDate(char* at, int dayNumber) {
    const CalendarDate d = DateOfDayNumber(dayNumber);
    const auto digit = [](int n) { return static_cast<char>('0' + n % 10); };
    *at++ = digit(d.year / 1000);
    *at++ = digit(d.year / 100);
    *at++ = digit(d.year / 10);
    *at++ = digit(d.year);
    *at++ = '-';
    *at++ = digit(d.month / 10);
    *at++ = digit(d.month);
    *at++ = '-';
    *at++ = digit(d.day / 10);
    *at++ = digit(d.day);
    return at;
}

std::string GermanDate(int dayNumber) {
    const CalendarDate d = DateOfDayNumber(dayNumber);
    return std::to_string(d.day) + "." + std::to_string(d.month) + "." + std::to_string(d.year);
}

int WeekdayOfDayNumber(int dayNumber) { return ((dayNumber + 4) % 7 + 7) % 7 + 1; }

int WeekdayNumber(const LocalDateTime& date) {
    // 1970-01-01 was a Thursday, weekday 5.
    return WeekdayOfDayNumber(DayNumber(date.year, date.month, date.day));
}

std::string_view GermanWeekday(int dayNumber) {
    static constexpr std::array<std::string_view, 7> kNames{"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                                            "Donnerstag", "Freitag", "Samstag"};
    return kNames[static_cast<std::size_t>(WeekdayOfDayNumber(dayNumber) - 1)];
}

std::string ClockText(int minute) {
    char text[5];
    return {text, PutClockText(text, minute)};
}

char* PutClockText(char* at, int minute) {
    *at++ = static_cast<char>('0' + minute / 600);
    *at++ = static_cast<char>('0' + minute / 60 % 10);
    *at++ = ':';
    *at++ = static_cast<char>('0' + minute % 60 / 10);
    *at++ = static_cast<char>('0' + minute % 10);
    return at;
}

std::string ShortClockText(int minute) {
    return std::to_string(minute / 60) + ":" + static_cast<char>('0' + minute % 60 / 10) +
           static_cast<char>('0' + minute % 10);
}

std::string NightName(int night) {
    const CalendarDate a = DateOfDayNumber(night);
    const CalendarDate b = DateOfDayNumber(night + 1);
    if (a.year != b.year) return GermanDate(night) + "/" + GermanDate(night + 1);
    if (a.month != b.month)
        return std::to_string(a.day) + "." + std::to_string(a.month) + "./" + GermanDate(night + 1);
    return std::to_string(a.day) + "./" + GermanDate(night + 1);
}

std::string CreatedText(const LocalDateTime& now) {
    return GermanDate(DayNumber(now.year, now.month, now.day)) + " " +
           ShortClockText(now.hour * 60 + now.minute);
}

std::int64_t WallSeconds(const LocalDateTime& t) {
    return DaysFromCivil(t.year, t.month, t.day) * kSecondsPerDay + t.hour * 3600 + t.minute * 60 + t.second;
}

LocalDateTime FromWallSeconds(std::int64_t s) {
    std::int64_t days = s / kSecondsPerDay;
    std::int64_t rest = s % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    const CivilDate date = CivilFromDays(days);
    return {static_cast<int>(date.year),
            date.month,
            date.day,
            static_cast<int>(rest / 3600),
            static_cast<int>(rest / 60 % 60),
            static_cast<int>(rest % 60)};
}

std::int64_t ToUnixSeconds(const LocalDateTime& t) { return WallSeconds(t) - t.utcOffset; }

LocalDateTime FromUnixSeconds(std::int64_t unixSeconds, int utcOffset) {
    LocalDateTime t = FromWallSeconds(unixSeconds + utcOffset);
    t.utcOffset = utcOffset;
    return t;
}

}  // namespace suelvan
