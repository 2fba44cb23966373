// Any minutes text and any time in range: either a valid time in range, or a range_error.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include "core/calendar.h"
#include "core/day_header.h"
#include "core/minutes.h"

namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
int DaysIn(int y, int m) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}
bool Valid(const suelvan::LocalDateTime& t) {
    return t.year >= 100 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= DaysIn(t.year, t.month) && t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 &&
           t.second >= 0 && t.second < 60;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6) return 0;
    suelvan::LocalDateTime now{
        100 + (data[0] | data[1] << 8) % 9900, 1 + data[2] % 12, 1, data[3] % 24, data[4] % 60, data[5] % 60};
    now.day = 1 + data[2] / 12 % DaysIn(now.year, now.month);
    const std::string_view text(reinterpret_cast<const char*>(data + 6), size - 6);
    try {
        const suelvan::LocalDateTime moved = suelvan::ApplyMinutesBack(now, text);
        if (!Valid(moved)) std::abort();
        if (moved.second != now.second) std::abort();  // whole minutes only
        if (text == "0" && !(moved == now)) std::abort();
    } catch (const std::range_error&) {
    }
    return 0;
}
