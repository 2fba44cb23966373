#include "core/texts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>

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

constexpr std::int64_t ToSeconds(const LocalDateTime& t) {
    return DaysFromCivil(t.year, t.month, t.day) * kSecondsPerDay + t.hour * 3600 + t.minute * 60 + t.second;
}

constexpr std::int64_t kFirstSecond = ToSeconds({100, 1, 1, 0, 0, 0});
constexpr std::int64_t kLastSecond = ToSeconds({9999, 12, 31, 23, 59, 59});

LocalDateTime FromSeconds(std::int64_t s) {
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

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// The user's text in a message, shortened so a pasted novel cannot flood the dialog.
std::string Quoted(std::string_view text) {
    constexpr std::size_t kShown = 40;
    if (text.size() <= kShown) return "\"" + std::string(text) + "\"";
    std::size_t cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // keep UTF-8 whole
    return "\"" + std::string(text.substr(0, cut)) + "...\"";
}

[[noreturn]] void ThrowTooLarge(std::string_view text) {
    throw std::range_error("Die Minutenangabe " + Quoted(text) + " ist zu groß.");
}

// Hands out the characters of a text with blanks, tabs and line feeds left out.
class Reader {
   public:
    explicit Reader(std::string_view text) : text_(text) { Skip(); }
    char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    void Next() {
        ++pos_;
        Skip();
    }

   private:
    void Skip() {
        while (pos_ < text_.size() && IsSkipped(text_[pos_])) ++pos_;
    }
    std::string_view text_;
    std::size_t pos_ = 0;
};

double ReadRadixInteger(Reader& in, int radix, std::string_view text) {
    std::uint64_t value = 0;
    for (int digit; (digit = DigitValue(in.Peek())) < radix; in.Next()) {
        if (value > (UINT64_MAX - static_cast<unsigned>(digit)) / static_cast<unsigned>(radix)) {
            ThrowTooLarge(text);
        }
        value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(digit);
    }
    return static_cast<double>(value);
}

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
    const CalendarDate d = DateOfDayNumber(dayNumber);
    const auto digit = [](int n) { return static_cast<char>('0' + n % 10); };
    const char text[] = {digit(d.year / 1000),
                         digit(d.year / 100),
                         digit(d.year / 10),
                         digit(d.year),
                         '-',
                         digit(d.month / 10),
                         digit(d.month),
                         '-',
                         digit(d.day / 10),
                         digit(d.day)};
    out.append(text, sizeof text);
}

int WeekdayOfDayNumber(int dayNumber) { return ((dayNumber + 4) % 7 + 7) % 7 + 1; }

int WeekdayNumber(const LocalDateTime& date) {
    const std::int64_t days = DaysFromCivil(date.year, date.month, date.day);
    // 1970-01-01 was a Thursday, weekday 5.
    return static_cast<int>(((days + 4) % 7 + 7) % 7) + 1;
}

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

double ReadLeadingNumber(std::string_view text) {
    Reader in(text);
    if (in.Peek() == '&') {
        in.Next();
        const char kind = in.Peek();
        if (kind != 'h' && kind != 'H' && kind != 'o' && kind != 'O') return 0;
        in.Next();
        return ReadRadixInteger(in, kind == 'h' || kind == 'H' ? 16 : 8, text);
    }

    bool negative = false;
    if (in.Peek() == '+' || in.Peek() == '-') {
        negative = in.Peek() == '-';
        in.Next();
    }
    std::string digits;  // the mantissa's digits, without the point
    int pointAt = -1;    // how many of them stand before the point
    for (char c; (c = in.Peek()) != '\0'; in.Next()) {
        if (IsDigit(c)) {
            digits += c;
        } else if (c == '.' && pointAt < 0) {
            pointAt = static_cast<int>(digits.size());
        } else {
            break;
        }
    }
    if (digits.empty()) return 0;
    if (pointAt < 0) pointAt = static_cast<int>(digits.size());

    // Saturates: a larger exponent is out of range either way.
    std::int64_t exponent = 0;
    if (in.Peek() == 'e' || in.Peek() == 'E') {
        in.Next();
        bool negativeExponent = false;
        if (in.Peek() == '+' || in.Peek() == '-') {
            negativeExponent = in.Peek() == '-';
            in.Next();
        }
        for (; IsDigit(in.Peek()); in.Next()) {
            exponent = std::min<std::int64_t>(exponent * 10 + (in.Peek() - '0'), 1'000'000'000);
        }
        if (negativeExponent) exponent = -exponent;
    }

    const auto firstNonZero = digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos) return 0;
    // Decimal magnitude of the first significant digit.
    const std::int64_t magnitude = pointAt - static_cast<std::int64_t>(firstNonZero) - 1 + exponent;
    if (magnitude > 308) ThrowTooLarge(text);
    if (magnitude < -320) return 0;

    const std::string normal = "0." + digits.substr(firstNonZero) + "e" + std::to_string(magnitude + 1);
    double value = 0;
    const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (magnitude > 0) ThrowTooLarge(text);
        value = 0;
    } else if (error != std::errc{} || end != normal.data() + normal.size()) {
        ThrowTooLarge(text);  // cannot happen for the text built above
    }
    return negative ? -value : value;
}

std::int64_t ToUnixSeconds(const LocalDateTime& t) { return ToSeconds(t) - t.utcOffset; }

LocalDateTime FromUnixSeconds(std::int64_t unixSeconds, int utcOffset) {
    LocalDateTime t = FromSeconds(unixSeconds + utcOffset);
    t.utcOffset = utcOffset;
    return t;
}

LocalDateTime ApplyMinutesBack(const LocalDateTime& now, std::string_view minutesText,
                               const LocalTimeAt& localAt) {
    if (minutesText == "0") return now;
    const double minutes = std::round(ReadLeadingNumber(minutesText));
    const double seconds = static_cast<double>(ToSeconds(now)) - minutes * 60;
    const auto outOfRange = [&] {
        return std::range_error("Die um " + Quoted(minutesText) +
                                " Minuten verschobene Zeit liegt außerhalb von 1.1.100 bis 31.12.9999.");
    };
    if (!(seconds >= static_cast<double>(kFirstSecond) && seconds <= static_cast<double>(kLastSecond))) {
        throw outOfRange();
    }
    const std::int64_t shift = static_cast<std::int64_t>(minutes) * 60;
    if (!localAt) {
        LocalDateTime moved = FromSeconds(ToSeconds(now) - shift);
        moved.utcOffset = now.utcOffset;
        return moved;
    }
    const LocalDateTime moved = localAt(ToUnixSeconds(now) - shift);
    if (ToSeconds(moved) < kFirstSecond || ToSeconds(moved) > kLastSecond) throw outOfRange();
    return moved;
}

}  // namespace suelvan
