// The grammar of a diary line read back: a day header, or an entry. Lines are bytes as in
// the file; nothing here decodes text.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace suelvan {

// "Wochentag, T.M.JJJJ": a weekday, a comma and a blank, day, month and year, trailing
// blanks allowed. The weekday is one word without digits, in any language, or one of
// `weekdays` as they stand in the file (the desktop's names, which may have two words or
// a '?' for a letter Windows-1252 lacks).
struct HeaderLine {
    // Empty for a line shaped like a header whose date does not exist (31.11., a year of
    // two or five digits): its entries have no date.
    std::optional<int> day;
};
std::optional<HeaderLine> ParseHeaderLine(std::string_view line,
                                          const std::vector<std::string>& weekdays = {});
// The day number of a header naming a real date.
std::optional<int> ParseDayHeader(std::string_view line, const std::vector<std::string>& weekdays = {});

struct ParsedEntry {
    int minute;
    int level;
    bool landing;
    std::size_t noteAt;  // offset of the note in the line; npos-free: size() when none
};
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Every diary line is looked at here: inline, for the reader's loop.

// "H:MM" or "HH:MM" at `pos`, hour 0..23, as minutes of the day, `pos` moved past it;
// -1 when there is none. Written without loops.
inline int ParseClock(std::string_view s, std::size_t& pos) {
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

namespace detail {

// How many '!' follow the blank at `pos` as a word of their own: 1..3, else 0. The
// levels come in no order, so the usual case is counted without a branch to mispredict.
inline int MarkerAt(std::string_view s, std::size_t pos) {
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
inline bool LandingAt(std::string_view s, std::size_t pos) {
    constexpr std::size_t kLength = 8;
    const std::size_t end = pos + 1 + kLength;
    if (end > s.size()) return false;
    std::uint64_t word;
    std::uint64_t landing;
    std::memcpy(&word, s.data() + pos + 1, kLength);
    std::memcpy(&landing, "Landung?", kLength);
    return (word == landing) & (end == s.size() || s[end] == ' ');
}

}  // namespace detail

// "H:MM[ !| !!| !!!][ Landung?][ note]"
inline std::optional<ParsedEntry> ParseEntryLine(std::string_view line) {
    std::size_t pos = 0;
    const int minute = ParseClock(line, pos);
    if (minute < 0) return std::nullopt;
    ParsedEntry entry{minute, 0, false, line.size()};
    if (pos == line.size()) return entry;
    if (line[pos] != ' ') return std::nullopt;
    entry.level = detail::MarkerAt(line, pos);
    if (entry.level > 0) pos += 1 + static_cast<std::size_t>(entry.level);
    if (pos < line.size() && detail::LandingAt(line, pos)) {
        entry.landing = true;
        pos += 9;
    }
    entry.noteAt = pos < line.size() ? pos + 1 : line.size();
    return entry;
}

}  // namespace suelvan
