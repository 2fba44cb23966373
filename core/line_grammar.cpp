#include "core/line_grammar.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "core/calendar.h"

namespace suelvan {
namespace {

// How many '!' follow the blank at `pos` as a word of their own: 1..3, else 0. The
// levels come in no order, so the usual case is counted without a branch to mispredict.
int MarkerAt(std::string_view s, std::size_t pos) {
    if (pos + 5 < s.size()) {
        std::uint32_t word;
        std::memcpy(&word, s.data() + pos + 1, 4);
        // 0x80 in each byte that is '!', exactly (no borrow between the bytes).
        const std::uint32_t x = word ^ 0x21212121u;
        const std::uint32_t bang = ~(((x & 0x7F7F7F7Fu) + 0x7F7F7F7Fu) | x | 0x7F7F7F7Fu);
        const std::uint32_t other = ~bang & 0x80808080u;
        const int n = (std::endian::native == std::endian::little ? std::countr_zero(other)
                                                                  : std::countl_zero(other)) >>
                      3;
        const bool wordEnds = s[pos + 1 + static_cast<std::size_t>(n)] == ' ';
        return (n <= 3 && wordEnds) ? n : 0;
    }
    std::size_t n = 0;
    while (n < 4 && pos + 1 + n < s.size() && s[pos + 1 + n] == '!') ++n;
    const std::size_t end = pos + 1 + n;
    return n <= 3 && (end == s.size() || s[end] == ' ') ? static_cast<int>(n) : 0;
}

// Whether "Landung?" follows the blank at `pos` as a word of its own.
bool LandingAt(std::string_view s, std::size_t pos) {
    constexpr std::size_t kLength = 8;
    const std::size_t end = pos + 1 + kLength;
    if (end > s.size()) return false;
    std::uint64_t word;
    std::uint64_t landing;
    std::memcpy(&word, s.data() + pos + 1, kLength);
    std::memcpy(&landing, "Landung?", kLength);
    return (word == landing) & (end == s.size() || s[end] == ' ');
}

}  // namespace

// Every diary line starts here, so it is written without loops.
int ParseClock(std::string_view s, std::size_t& pos) {
    const std::size_t n = s.size() - pos;
    const char* c = s.data() + pos;
    if (n < 4 || !IsDigit(c[0])) return -1;
    int hour = c[0] - '0';
    std::size_t at = 1;
    if (c[1] != ':') {
        if (!IsDigit(c[1]) || n < 5 || c[2] != ':') return -1;
        hour = hour * 10 + (c[1] - '0');
        at = 2;
    }
    if (hour > 23 || !IsDigit(c[at + 1]) || !IsDigit(c[at + 2]) || c[at + 1] > '5') return -1;
    pos += at + 3;
    return hour * 60 + (c[at + 1] - '0') * 10 + (c[at + 2] - '0');
}

std::optional<HeaderLine> ParseHeaderLine(std::string_view line, const std::vector<std::string>& weekdays) {
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    const std::size_t comma = line.find(", ");
    if (comma == 0 || comma == std::string_view::npos) return std::nullopt;
    const std::string_view weekday = line.substr(0, comma);
    const bool oneWord = weekday.find_first_of("0123456789 ,") == std::string_view::npos;
    if (!oneWord && std::find(weekdays.begin(), weekdays.end(), weekday) == weekdays.end())
        return std::nullopt;
    // Day, month and year: digits between the dots, of any length, to tell a date that
    // does not exist from a line that is no header.
    std::size_t pos = comma + 2;
    std::string_view parts[3];  // day, month, year
    int values[3] = {};
    for (int part = 0; part < 3; ++part) {
        if (part > 0 && (pos >= line.size() || line[pos++] != '.')) return std::nullopt;
        const std::size_t start = pos;
        while (pos < line.size() && IsDigit(line[pos])) {
            if (pos - start < 6) values[part] = values[part] * 10 + (line[pos] - '0');
            ++pos;
        }
        parts[part] = line.substr(start, pos - start);
        if (parts[part].empty()) return std::nullopt;
    }
    if (pos != line.size()) return std::nullopt;
    const bool exists = parts[0].size() <= 2 && parts[1].size() <= 2 && parts[2].size() >= 3 &&
                        parts[2].size() <= 4 && parts[2][0] != '0' &&
                        IsCalendarDate(values[2], values[1], values[0]);
    if (!exists) return HeaderLine{};
    return HeaderLine{DayNumber(values[2], values[1], values[0])};
}

std::optional<int> ParseDayHeader(std::string_view line, const std::vector<std::string>& weekdays) {
    const std::optional<HeaderLine> header = ParseHeaderLine(line, weekdays);
    return header ? header->day : std::nullopt;
}

std::optional<ParsedEntry> ParseEntryLine(std::string_view line) {
    std::size_t pos = 0;
    const int minute = ParseClock(line, pos);
    if (minute < 0) return std::nullopt;
    ParsedEntry entry{minute, 0, false, line.size()};
    if (pos == line.size()) return entry;
    if (line[pos] != ' ') return std::nullopt;
    entry.level = MarkerAt(line, pos);
    if (entry.level > 0) pos += 1 + static_cast<std::size_t>(entry.level);
    if (pos < line.size() && LandingAt(line, pos)) {
        entry.landing = true;
        pos += 9;
    }
    entry.noteAt = pos < line.size() ? pos + 1 : line.size();
    return entry;
}

}  // namespace suelvan
